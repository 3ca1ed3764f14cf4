#include "support/GlContext.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

SDL_Window* requireGlContext() {
    static SDL_Window* window = nullptr;
    if (window) {
        return window;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        std::abort();
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window = SDL_CreateWindow("WM tests", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1024, 768,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window || !SDL_GL_CreateContext(window) || glewInit() != GLEW_OK) {
        std::fprintf(stderr, "no OpenGL context for the tests: %s\n", SDL_GetError());
        std::abort();
    }
    glViewport(0, 0, 1024, 768);
    takeGlError();
    return window;
}

unsigned int takeGlError() {
    GLenum first = GL_NO_ERROR;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        if (first == GL_NO_ERROR) {
            first = e;
        }
    }
    return first;
}
