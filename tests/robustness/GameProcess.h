#pragma once
// The real wm binary (WM_GAME_BINARY) as a player runs it: on ownDisplay(), in a given
// working folder, with standard input on a pipe and both output streams in files.
// Killed if still running when the object goes.

#include <filesystem>
#include <string>
#include <sys/types.h>

class GameProcess {
public:
    static constexpr int RUNNING = -1; // still running when the wait ran out

    // Starts WM_GAME_BINARY in folder on ownDisplay(); outputs go to files in outputs.
    // A non-zero addressSpaceBytes limits the game's address space (RLIMIT_AS), with
    // the allocator's arenas and the driver's threads fixed so the game's own needs do
    // not depend on the machine. A closedStream of 0, 1 or 2 starts the game with that
    // standard stream closed.
    GameProcess(const std::filesystem::path& folder, const std::filesystem::path& outputs, size_t addressSpaceBytes = 0,
                int closedStream = -1);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    std::string output() const;
    std::string errors() const;
    void answer(const std::string& line);
    // Exit code, 128 + the signal's number when a signal ended it (as shells say), or
    // RUNNING when it did not end in time.
    int waitForExit(double seconds);
    // Waits until the standard output holds `text` count times.
    bool waitForOutput(const std::string& text, double seconds, int count = 1);
    // Sends key names (xdotool's) to the game's window once it is visible.
    bool keys(const std::string& names) const;
    // Moves the pointer to window pixel (x, y) and clicks the left button there: pressed
    // and released at once, as xdotool's click does.
    bool click(int x, int y) const;

private:
    // Collects the exit status once the game has ended; true from then on.
    bool reap();
    // Runs xdotool commands on the game's window (%1) once it is visible.
    bool onWindow(const std::string& commands) const;

    std::filesystem::path out, err;
    pid_t pid = -1;
    int input = -1;
    bool exited = false;
    int exitCode = RUNNING;
};
