#pragma once
// Shared by the app tests: events pushed into SDL's real queue, as the window system
// would deliver them, counting lines in what the game printed, and the set-up of a
// death test's child.

#include "support/TestData.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

inline void pushKey(Uint32 type, SDL_Keycode sym) {
    SDL_Event e{type};
    e.key.keysym.sym = sym;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
}

// A key pressed and released.
inline void tap(SDL_Keycode sym) {
    pushKey(SDL_KEYDOWN, sym);
    pushKey(SDL_KEYUP, sym);
}

// A button event at window pixel (x, y).
inline void pushButton(Uint32 type, int button, int x, int y) {
    SDL_Event e{type};
    e.button.button = Uint8(button);
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

inline void pushMotion(int x, int y) {
    SDL_Event e{SDL_MOUSEMOTION};
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

// Each death test runs in a re-executed child of the test program ("threadsafe" death
// tests). In the child: standard input holds `answer` and then ends, and standard output,
// where fatalError writes, goes to the standard error that EXPECT_EXIT matches.
inline void startChild(const char* answer) {
    int fds[2];
    if (pipe(fds) != 0 || write(fds[1], answer, std::strlen(answer)) < 0)
        std::abort();
    close(fds[1]);
    dup2(fds[0], STDIN_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}
