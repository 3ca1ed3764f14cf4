// The real wm binary under the test's X server, driven from outside with xdotool
// and an X client message, as a player's desktop would.
#include "AppTestSupport.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double START_SECONDS = 60.0;
const std::string STARTED = "Transparency switched.\n"; // printed twice once the scene is set up

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Polls until done() holds; false if it still does not after the given seconds.
bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// One run of the game: its own working folder, standard input on a pipe, and
// standard output and error in files. Killed if still running at the end.
class GameProcess {
public:
    GameProcess(const fs::path& folder, const fs::path& outputs) : out(outputs / "out.txt"), err(outputs / "err.txt") {
        int fds[2];
        if (pipe(fds) != 0) {
            ADD_FAILURE() << "pipe failed";
            return;
        }
        pid = fork();
        if (pid == 0) {
            dup2(fds[0], STDIN_FILENO);
            close(fds[1]);
            std::freopen(out.c_str(), "w", stdout);
            std::freopen(err.c_str(), "w", stderr);
            if (chdir(folder.c_str()) != 0) {
                _exit(126);
            }
            execl(WM_GAME_BINARY, "wm", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[0]);
        input = fds[1];
    }
    ~GameProcess() {
        if (pid > 0 && !exited) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (input >= 0) {
            close(input);
        }
    }

    pid_t processId() const { return pid; }
    std::string output() const { return readFile(out); }
    std::string errors() const { return readFile(err); }
    void answer(const std::string& line) {
        if (write(input, line.data(), line.size()) < 0) {
            ADD_FAILURE() << "could not write to the game";
        }
    }
    // Exit code, or -1 if the game did not end within the time (or died by a signal).
    int waitForExit(double seconds) {
        int status = 0;
        if (!waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
            return -1;
        }
        exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool waitForOutput(const std::string& text, double seconds, int count = 1) const {
        return waitUntil([&] { return occurrences(output(), text) >= count; }, seconds);
    }

private:
    fs::path out, err;
    pid_t pid = -1;
    int input = -1;
    bool exited = false;
};

class GameBinary : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/wm-binary-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
    }
    void TearDown() override { fs::remove_all(scratch); }

    // Waits for the game's window, then sends keys to it with xdotool. The search walks
    // every window on the display, and other tests open and close theirs meanwhile: a
    // window gone between listing and asking makes xdotool fail, so it searches again.
    void keys(const GameProcess& game, const std::string& names) {
        const std::string search = "xdotool search --sync --onlyvisible --pid " + std::to_string(game.processId()) +
                                   " --name '^WM$' 2>/dev/null";
        std::string window;
        for (int attempt = 0; attempt < 10 && window.empty(); ++attempt) {
            if (FILE* found = popen(search.c_str(), "r")) {
                char line[64] = {};
                if (std::fgets(line, sizeof(line), found)) window = std::to_string(std::strtoul(line, nullptr, 10));
                pclose(found);
            }
        }
        ASSERT_FALSE(window.empty() || window == "0") << search;
        const std::string command = "xdotool windowfocus --sync " + window + " key --delay 150 " + names;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // A window manager's close button: WM_DELETE_WINDOW to the game's window.
    static bool closeWindow() {
        Display* x = XOpenDisplay(nullptr);
        if (!x) {
            return false;
        }
        bool sent = false;
        Window root = DefaultRootWindow(x), parent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(x, root, &root, &parent, &children, &count);
        for (unsigned int i = 0; i < count && !sent; ++i) {
            char* name = nullptr;
            if (XFetchName(x, children[i], &name) && name && std::string(name) == "WM") {
                XEvent event{};
                event.xclient.type = ClientMessage;
                event.xclient.window = children[i];
                event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
                event.xclient.format = 32;
                event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
                event.xclient.data.l[1] = CurrentTime;
                sent = XSendEvent(x, children[i], False, NoEventMask, &event) != 0;
            }
            XFree(name);
        }
        XFree(children);
        XCloseDisplay(x);
        return sent;
    }

    fs::path scratch;
};

}

// Escape is a key like F1 and F2 on the way in, and sets the same quit flag as the close
// button (both checked in-process): ending with the close button covers both halves.
TEST_F(GameBinary, AnswersFunctionKeysAndEndsWithZeroOnTheCloseButton) {
    GameProcess game(WM_SOURCE_DIR, scratch);
    ASSERT_TRUE(game.waitForOutput(STARTED, START_SECONDS, 2)) << game.output() << game.errors();
    keys(game, "F1 F2");
    ASSERT_TRUE(game.waitForOutput(" fps\n", 30, 2)) << game.output();
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(game.waitForExit(10), 0);

    // The texts are checked in-process; here, that the keys reached the game in order.
    const std::string out = game.output();
    EXPECT_EQ(out.rfind(STARTED + STARTED + "Displaying Help.\n", 0), 0u) << out;
    EXPECT_NE(out.find("for debug purposes.)\nFrame Time switched.\n"), std::string::npos) << out;
    const size_t fps = out.find(" fps\n");
    ASSERT_NE(fps, std::string::npos);
    EXPECT_EQ(out[fps - 5], '\n'); // four characters of the rate, then " fps"
}

TEST_F(GameBinary, AMissingFileEndsWithTheSystemErrorAndCode69AfterAnAnswer) {
    for (const std::string missing : {"Shaders/entityVertexShader.vert", "Resources/tree.obj"}) {
        SCOPED_TRACE(missing);
        // The game's folder links every file of the two folders but the missing one.
        const fs::path folder = scratch / fs::path(missing).stem();
        for (const char* dir : {"Shaders", "Resources"}) {
            fs::create_directories(folder / dir);
            for (const auto& entry : fs::directory_iterator(fs::path(WM_SOURCE_DIR) / dir)) {
                if (fs::path(dir) / entry.path().filename() != missing) {
                    fs::create_symlink(entry.path(), folder / dir / entry.path().filename());
                }
            }
        }
        GameProcess game(folder, folder);
        ASSERT_TRUE(game.waitForOutput("quit...", START_SECONDS)) << game.output() << game.errors();
        EXPECT_EQ(game.waitForExit(0.5), -1) << "it waits for an answer";
        game.answer("\n");
        game.answer("x\n");
        EXPECT_EQ(game.waitForExit(10), 69);
        const std::string out = game.output(), prompt = "Failed to open " + missing + "\nEnter any key to quit...";
        EXPECT_EQ(out.substr(out.size() - std::min(out.size(), prompt.size())), prompt) << out;
        EXPECT_EQ(game.errors(), missing + ": No such file or directory\n");
    }
}
