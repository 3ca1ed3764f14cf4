// The real wm binary on the test program's own X server, driven from outside with
// xdotool and an X client message, as a player's desktop would.
#include "robustness/GameProcess.h"
#include "robustness/OwnDisplay.h"
#include "robustness/ScratchGame.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <unistd.h>

namespace {

constexpr double START_SECONDS = 60.0;
const std::string STARTED = "Transparency switched.\n"; // printed twice once the scene is set up

// Calls use(display, window) with the game's top-level window on our server; false
// when there is none.
template <typename Use>
bool withGameWindow(Use use) {
    Display* x = XOpenDisplay(ownDisplay().c_str());
    if (!x)
        return false;
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); // a game just gone is no reason to exit
    Window root = DefaultRootWindow(x), parent = 0, *children = nullptr, game = 0;
    unsigned int count = 0;
    XQueryTree(x, root, &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && !game; ++i) {
        char* name = nullptr;
        if (XFetchName(x, children[i], &name) && name && std::string(name) == "WM")
            game = children[i];
        XFree(name);
    }
    XFree(children);
    const bool used = game && use(x, game);
    XCloseDisplay(x);
    return used;
}

// A window manager's close button: WM_DELETE_WINDOW to the game's window.
bool closeWindow() {
    return withGameWindow([](Display* x, Window game) {
        XEvent event{};
        event.xclient = {ClientMessage, 0, False, x, game, XInternAtom(x, "WM_PROTOCOLS", False), 32, {}};
        event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False)); // at CurrentTime, 0
        return XSendEvent(x, game, False, NoEventMask, &event) != 0;
    });
}

// The game window's pixels in a 48-pixel square around window pixel (x, y); empty when
// they cannot be read.
std::string pixelsAround(int x, int y) {
    std::string pixels;
    withGameWindow([&](Display* display, Window game) {
        XImage* image = XGetImage(display, game, x - 24, y - 24, 48, 48, AllPlanes, ZPixmap);
        if (image)
            pixels.assign(image->data, size_t(image->bytes_per_line) * size_t(image->height));
        if (image)
            XDestroyImage(image);
        return true;
    });
    return pixels;
}

// Waits until the pixels around (x, y) are no longer `before`.
bool waitForChange(int x, int y, const std::string& before, double seconds) {
    for (int i = 0; i < int(seconds * 10); ++i, usleep(100000)) {
        const std::string now = pixelsAround(x, y);
        if (!now.empty() && now != before)
            return true;
    }
    return false;
}

}

// The tests below and every bad-data case that plays on end with Escape; this one ends
// with the close button.
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

// xdotool's plain click presses and releases the button at once, well within one frame.
// One on the ground puts the marker there; one on READY walks the player onto it.
TEST(GameBinary, QuickClicksMarkTheGroundAndStartTheWalk) {
    constexpr int GROUND_X = 300, GROUND_Y = 600, READY_X = 665, READY_Y = 691;
    ScratchGame scratch;
    GameProcess game(scratch.folder, scratch.root);
    ASSERT_TRUE(game.keys("F2"));
    ASSERT_TRUE(game.waitForOutput(" fps\n", START_SECONDS)) << "frames are drawn; " << game.errors();
    const std::string ground = pixelsAround(GROUND_X, GROUND_Y);
    ASSERT_FALSE(ground.empty());
    ASSERT_TRUE(game.click(GROUND_X, GROUND_Y));
    ASSERT_TRUE(waitForChange(GROUND_X, GROUND_Y, ground, 10)) << "no marker";
    const std::string marked = pixelsAround(GROUND_X, GROUND_Y);
    ASSERT_TRUE(game.click(READY_X, READY_Y));
    EXPECT_TRUE(waitForChange(GROUND_X, GROUND_Y, marked, 30)) << "the player never came";
    game.keys("Escape");
    EXPECT_EQ(game.waitForExit(20), 0);
}
