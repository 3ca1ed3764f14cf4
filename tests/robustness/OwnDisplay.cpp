#include "robustness/OwnDisplay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double XVFB_START_SECONDS = 20.0;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct XServer {
    XServer() {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        const std::string fd = std::to_string(fds[1]);
        const int quiet = open("/dev/null", O_WRONLY);
        pid = fork();
        if (pid == 0) {
            // The server must not outlive a test program that is killed.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            // -noreset: a server left by its last client (one game ending before the next
            // starts) would otherwise reset, and a game connecting just then fails.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        close(quiet);
        // Xvfb writes the display number once it accepts clients.
        std::string number;
        for (const double end = now() + XVFB_START_SECONDS; now() < end && number.find('\n') == std::string::npos;) {
            pollfd ready{fds[0], POLLIN, 0};
            if (poll(&ready, 1, 100) > 0) {
                char buffer[16];
                const ssize_t n = read(fds[0], buffer, sizeof buffer);
                if (n <= 0)
                    break;
                number.append(buffer, size_t(n));
            }
        }
        close(fds[0]);
        if (number.find('\n') != std::string::npos)
            display = ":" + number.substr(0, number.find('\n'));
    }
    ~XServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

    std::string display;
    pid_t pid = -1;
};

}

const std::string& ownDisplay() {
    static XServer server;
    if (server.display.empty())
        ADD_FAILURE() << "Xvfb did not start";
    return server.display;
}
