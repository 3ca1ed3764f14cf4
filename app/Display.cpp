#include "app/Display.h"

#include "app/FatalError.h"
#include "app/FrameClock.h"
#include "render/GlDebug.h"

#include <GL/glew.h>

#include <iostream>

void Display::create(std::string title) {
    window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, WIDTH, HEIGHT,
                              SDL_WINDOW_OPENGL);
    if (window == nullptr) {
        fatalError("SDL Window could not be created!");
    }
    if (SDL_GL_CreateContext(window) == nullptr) {
        fatalError("SDL_GL context could not be created!");
    }
    if (glewInit() != GLEW_OK) {
        fatalError("Could not initialize glew!");
    }
#ifndef NDEBUG
    // Debug builds name every GL error on the error stream as it happens.
    enableGlErrorChecks([](const std::string& message) { std::cerr << message << std::endl; });
#endif
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    SDL_GL_SetSwapInterval(1);
    glViewport(0, 0, WIDTH, HEIGHT);
    lastFrameStamp = frameStamp();
}

void Display::endFrame() {
    SDL_GL_SwapWindow(window);
    markFrameEnd();
}
