#include "robustness/GameProcess.h"

#include "robustness/OwnDisplay.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// xdotool waits for the window itself; this bounds a game that never shows one.
constexpr int XDOTOOL_SECONDS = 60;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void nap() {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
}

}

GameProcess::GameProcess(const fs::path& folder, const fs::path& outputs, size_t addressSpaceBytes, int closedStream)
    : out(outputs / "out.txt"), err(outputs / "err.txt") {
    // Everything the child needs is prepared here: after fork it only calls what is safe there.
    std::vector<std::string> environment{"DISPLAY=" + ownDisplay()};
    if (addressSpaceBytes != 0) {
        // One heap arena and two rasteriser threads: about 450 MB of address space in all.
        environment.insert(environment.end(), {"MALLOC_ARENA_MAX=1", "LP_NUM_THREADS=2"});
    }
    for (char** variable = environ; *variable; ++variable) {
        const std::string inherited(*variable), name = inherited.substr(0, inherited.find('=') + 1);
        const auto sameName = [&name](const std::string& set) { return set.rfind(name, 0) == 0; };
        if (std::none_of(environment.begin(), environment.end(), sameName))
            environment.push_back(inherited);
    }
    const rlimit limit{addressSpaceBytes, addressSpaceBytes};
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>("wm"), nullptr};
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int fds[2];
    if (outFd < 0 || errFd < 0 || pipe(fds) != 0) {
        ADD_FAILURE() << "could not prepare the game's streams";
        return;
    }
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(fds[0], STDIN_FILENO);
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        if (closedStream >= 0)
            close(closedStream);
        if (chdir(folder.c_str()) != 0 || (addressSpaceBytes != 0 && setrlimit(RLIMIT_AS, &limit) != 0))
            _exit(126);
        execve(WM_GAME_BINARY, argv, envp.data());
        _exit(127);
    }
    for (const int fd : {outFd, errFd, fds[0]})
        close(fd);
    input = fds[1];
}

GameProcess::~GameProcess() {
    if (pid > 0 && !exited) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (input >= 0)
        close(input);
}

std::string GameProcess::output() const {
    return readFileBytes(out);
}
std::string GameProcess::errors() const {
    return readFileBytes(err);
}

void GameProcess::answer(const std::string& line) {
    if (write(input, line.data(), line.size()) != ssize_t(line.size()))
        ADD_FAILURE() << "could not write to the game";
}

bool GameProcess::reap() {
    int status = 0;
    if (exited || waitpid(pid, &status, WNOHANG) != pid)
        return exited;
    exited = true;
    exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return true;
}

int GameProcess::waitForExit(double seconds) {
    for (const double end = now() + seconds; !reap() && now() < end;)
        nap();
    return exited ? exitCode : RUNNING;
}

bool GameProcess::waitForOutput(const std::string& text, double seconds, int count) {
    for (const double end = now() + seconds; now() < end; nap()) {
        const bool ended = reap();
        if (occurrences(output(), text) >= count)
            return true;
        if (ended)
            return false;
    }
    return false;
}

bool GameProcess::keys(const std::string& names) const {
    return onWindow("windowfocus --sync key --delay 100 " + names);
}

bool GameProcess::click(int x, int y) const {
    return onWindow("mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

bool GameProcess::onWindow(const std::string& commands) const {
    // Both criteria must match (--all); the pattern follows the options.
    const std::string command = "DISPLAY=" + ownDisplay() + " timeout " + std::to_string(XDOTOOL_SECONDS) +
                                " xdotool search --sync --onlyvisible --all --pid " + std::to_string(pid) +
                                " --name '^WM$' " + commands + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
