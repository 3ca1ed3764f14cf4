#include "support/GlContext.h"

#include "render/GlDebug.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

bool handlerAdded = false;

// Switches error reports on for the current context; the failing handler is added once.
void watchGlErrors() {
    enableGlErrorChecks(handlerAdded ? std::function<void(const std::string&)>()
                                     : [](const std::string& message) { ADD_FAILURE() << message; });
    handlerAdded = true;
}

bool hasCurrentContext() {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GL_GetCurrentContext() != nullptr;
}

// Catches errors of contexts that tests make without requireGlContext (the game's own
// Display), and errors that a driver without debug output only queues.
class GlErrorListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        if (hasCurrentContext())
            watchGlErrors();
    }
    void OnTestEnd(const testing::TestInfo&) override {
        if (!hasCurrentContext())
            return;
        // Debug builds of the game switch reports on themselves, perhaps before our handler exists.
        const bool reported = handlerAdded && glErrorChecksActive();
        const GLenum error = takeGlError();
        if (!reported && error != GL_NO_ERROR)
            ADD_FAILURE() << "GL error 0x" << std::hex << error << " during the test";
        watchGlErrors();
    }
};

// Events that end something reach the listeners last-added first, so this one adds its
// failures before the result printer gives the verdict.
const bool LISTENER_INSTALLED = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new GlErrorListener);
    return true;
}();

}

SDL_Window* requireGlContext() {
    static SDL_Window* window = nullptr;
    if (window)
        return window;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        std::abort();
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // On a loaded machine the X server now and then fails one context (GLEW finds no
    // GL version or display); a second try gets one. The reason is printed each time.
    constexpr int ATTEMPTS = 3;
    for (int attempt = 1;; ++attempt) {
        window = SDL_CreateWindow("WM tests", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1024, 768,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
        const GLenum glew = context ? glewInit() : GLenum(GLEW_OK);
        if (context && glew == GLEW_OK) {
            break;
        }
        std::fprintf(stderr, "no OpenGL context for the tests (attempt %d): %s%s\n", attempt, SDL_GetError(),
                     context ? reinterpret_cast<const char*>(glewGetErrorString(glew)) : "");
        if (context)
            SDL_GL_DeleteContext(context);
        if (window)
            SDL_DestroyWindow(window);
        window = nullptr;
        if (attempt == ATTEMPTS)
            std::abort();
        SDL_Delay(500);
    }
    glViewport(0, 0, 1024, 768);
    takeGlError();
    watchGlErrors();
    return window;
}

unsigned int takeGlError() {
    GLenum first = GL_NO_ERROR;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        if (first == GL_NO_ERROR)
            first = e;
    return first;
}
