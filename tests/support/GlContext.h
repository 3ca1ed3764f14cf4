#pragma once
// One hidden 1024 x 768 window with a current OpenGL context for a whole test
// program; GL tests call requireGlContext() first. Needs DISPLAY (test.sh runs Xvfb).
// Any GL error fails the running test: contexts made here report through the driver's
// debug output at the offending call; a context made elsewhere (the game's own window)
// is checked when the test ends and watched from then on.

#include <SDL2/SDL.h>

SDL_Window* requireGlContext();

// First GL error since the last call, 0 when none (drains the queue).
unsigned int takeGlError();
