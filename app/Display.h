#pragma once
// The one window and its OpenGL context, the GL start state, and the frame end.

#include <SDL2/SDL.h>

#include <string>

class Display {
public:
    static constexpr int WIDTH = 1024;
    static constexpr int HEIGHT = 768;

    SDL_Window* window = nullptr;

    // Window, context, GLEW and the start state; each failure is fatal.
    void create(std::string title);
    // Presents the frame and updates frameTime.
    void endFrame();
};
