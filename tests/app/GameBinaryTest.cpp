// The real wm binary under the test's X server, driven from outside with xdotool
// and an X client message, as a player's desktop would.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

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

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// One run of the game: its own working folder, standard input on a pipe, and
// standard output and error in files.
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
        for (auto end = now() + seconds; now() < end;) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    bool waitForOutput(const std::function<bool(const std::string&)>& done, double seconds) const {
        for (auto end = now() + seconds; now() < end;) {
            if (done(output())) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    static double now() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

private:
    fs::path out, err;
    pid_t pid = -1;
    int input = -1;
    bool exited = false;
};

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

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

constexpr double START_SECONDS = 60.0;

}

TEST_F(GameBinary, AnswersFunctionKeysAndQuitsOnEscape) {
    GameProcess game(WM_SOURCE_DIR, scratch);
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return o.size() >= 46; }, START_SECONDS))
        << game.output() << game.errors();
    keys(game, "F1");
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return o.find("(The player is also") != std::string::npos; }, 20));
    keys(game, "F8 F2");
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return occurrences(o, " fps\n") >= 2; }, 30))
        << game.output();
    keys(game, "Escape");
    EXPECT_EQ(game.waitForExit(10), 0);

    const std::string out = game.output();
    EXPECT_EQ(out.rfind("Transparency switched.\nTransparency switched.\nDisplaying Help.\n", 0), 0u) << out;
    std::istringstream lines(out);
    std::string line;
    int helpLines = 0;
    bool inHelp = false;
    while (std::getline(lines, line)) {
        if (line == "Displaying Help.") {
            inHelp = true;
        }
        if (inHelp) {
            ++helpLines;
        }
        if (line.rfind("(The player", 0) == 0) {
            inHelp = false;
        }
    }
    EXPECT_EQ(helpLines, 18);
    EXPECT_NE(out.find("View Frustum Culling switched.\nView Frustum Culling doesn't work.\nFrame Time switched.\n"),
              std::string::npos);
    const size_t fps = out.find(" fps\n");
    ASSERT_NE(fps, std::string::npos);
    EXPECT_EQ(out[fps - 5], '\n'); // four characters of the rate, then " fps"
}

TEST_F(GameBinary, ClosingTheWindowEndsWithZero) {
    GameProcess game(WM_SOURCE_DIR, scratch);
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return o.size() >= 46; }, START_SECONDS));
    keys(game, "F3"); // a key round trip proves the window is up and handling events
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return o.find("Wireframe") != std::string::npos; }, 20));
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(game.waitForExit(10), 0);
}

TEST_F(GameBinary, MissingShadersEndWithTheSystemErrorAndCode69) {
    const fs::path folder = scratch / "game";
    fs::create_directories(folder);
    fs::create_directory_symlink(fs::path(WM_SOURCE_DIR) / "Resources", folder / "Resources");
    GameProcess game(folder, scratch);
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return o.find("quit...") != std::string::npos; }, START_SECONDS));
    EXPECT_EQ(game.waitForExit(0.5), -1); // it waits for an answer
    game.answer("1\n");
    EXPECT_EQ(game.waitForExit(10), 69);
    EXPECT_EQ(game.output(), "Failed to open Shaders/entityVertexShader.vert\nEnter any key to quit...");
    EXPECT_EQ(game.errors(), "Shaders/entityVertexShader.vert: No such file or directory\n");
}

TEST_F(GameBinary, AMissingModelFileEndsWithCode69) {
    const fs::path folder = scratch / "game";
    fs::create_directories(folder / "Resources");
    fs::create_directory_symlink(fs::path(WM_SOURCE_DIR) / "Shaders", folder / "Shaders");
    for (const auto& entry : fs::directory_iterator(fs::path(WM_SOURCE_DIR) / "Resources")) {
        if (entry.path().filename() != "tree.obj") {
            fs::create_symlink(entry.path(), folder / "Resources" / entry.path().filename());
        }
    }
    GameProcess game(folder, scratch);
    ASSERT_TRUE(game.waitForOutput([](const std::string& o) { return o.find("quit...") != std::string::npos; }, START_SECONDS));
    game.answer("\n");
    game.answer("x\n");
    EXPECT_EQ(game.waitForExit(10), 69);
    EXPECT_NE(game.output().find("Failed to open Resources/tree.obj\nEnter any key to quit..."), std::string::npos)
        << game.output();
    EXPECT_EQ(game.errors(), "Resources/tree.obj: No such file or directory\n");
}
