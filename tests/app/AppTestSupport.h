#pragma once
// Shared by the app tests: events pushed into SDL's real queue, as the window system
// would deliver them, and counting lines in what the game printed.

#include "support/TestData.h"

#include <SDL2/SDL.h>

#include <string>

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
