// The real wm binary on the test program's own X server, driven from outside with
// xdotool and an X client message, as a player's desktop would.
#include "robustness/GameProcess.h"
#include "robustness/OwnDisplay.h"
#include "robustness/ScratchGame.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <unistd.h>

namespace {

constexpr double START_SECONDS = 60.0;
const std::string STARTED = "Transparency switched.\n"; // printed twice once the scene is set up

// A window manager's close button: WM_DELETE_WINDOW to the game's window.
bool closeWindow() {
    Display* x = XOpenDisplay(ownDisplay().c_str());
    if (!x) return false;
    bool sent = false;
    Window root = DefaultRootWindow(x), parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(x, root, &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && !sent; ++i) {
        char* name = nullptr;
        if (XFetchName(x, children[i], &name) && name && std::string(name) == "WM") {
            XEvent event{};
            event.xclient = {ClientMessage, 0, False, x, children[i], XInternAtom(x, "WM_PROTOCOLS", False), 32, {}};
            event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False)); // at CurrentTime, 0
            sent = XSendEvent(x, children[i], False, NoEventMask, &event) != 0;
        }
        XFree(name);
    }
    XFree(children);
    XCloseDisplay(x);
    return sent;
}

}

// Escape is a key like F1 and F2 on the way in, and sets the same quit flag as the close
// button (both checked in-process): ending with the close button covers both halves.
// The sound driver named does not exist: the game needs no sound and plays on without it.
TEST(GameBinary, PlaysWithoutSoundAnswersFunctionKeysAndEndsWithZeroOnTheCloseButton) {
    ScratchGame scratch;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    GameProcess game(scratch.folder, scratch.root);
    unsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(game.waitForOutput(STARTED, START_SECONDS, 2)) << game.output() << game.errors();
    ASSERT_TRUE(game.keys("F1 F2"));
    ASSERT_TRUE(game.waitForOutput(" fps\n", 30, 2)) << game.output();
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(game.waitForExit(10), 0);

    // The texts are checked in-process; here, that the keys reached the game in order.
    const std::string out = game.output();
    EXPECT_EQ(out.rfind(STARTED + STARTED + "Displaying Help.\n", 0), 0u) << out;
    EXPECT_NE(out.find("for debug purposes.)\nFrame Time switched.\n"), std::string::npos) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("\n[^\n]{4} fps\n"))) << "four characters of the rate, then fps";
}

// A script or service manager may start the game with a standard stream closed: the game
// plays on, its console lines going nowhere rather than into whatever took the stream's place.
TEST(GameBinary, PlaysAndEndsWithZeroWithAnyStandardStreamClosed) {
    for (const int closed : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        ScratchGame scratch;
        GameProcess game(scratch.folder, scratch.root, 0, closed);
        ASSERT_TRUE(game.keys("F1 F2 sleep 1")) << "stream " << closed << " closed: no window";
        if (closed != STDOUT_FILENO) {
            EXPECT_TRUE(game.waitForOutput(" fps\n", 30)) << game.output();
        }
        // A fast game closes its window on the key press and xdotool then reports an error:
        // the exit code alone tells whether Escape worked.
        game.keys("Escape");
        EXPECT_EQ(game.waitForExit(20), 0) << "stream " << closed << " closed";
    }
}
