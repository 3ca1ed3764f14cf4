#include "robustness/OwnDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int XVFB_START_MS = 20000;

class XServer {
public:
    XServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        const int quiet = open("/dev/null", O_WRONLY);
        pid = fork();
        if (pid == 0) {
            // The server must not outlive a test program that is killed.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        close(quiet);
        // Xvfb writes the display number, in one write, once it accepts clients.
        pollfd ready{fds[0], POLLIN, 0};
        char number[16] = {};
        if (poll(&ready, 1, XVFB_START_MS) > 0 && read(fds[0], number, sizeof number - 1) > 0 && strchr(number, '\n')) {
            display = ":" + std::string(number, strchr(number, '\n'));
        }
        close(fds[0]);
    }
    ~XServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

    std::string display;

private:
    pid_t pid = -1;
};

}

const std::string& ownDisplay() {
    static XServer server;
    if (server.display.empty()) ADD_FAILURE() << "Xvfb did not start";
    return server.display;
}
