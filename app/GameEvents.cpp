#include "app/Game.h"

#include "world/InputState.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <iostream>

// world/ reads keys without SDL; its codes must stay SDL's own.
static_assert(Keys::W == SDLK_w && Keys::A == SDLK_a && Keys::S == SDLK_s && Keys::D == SDLK_d);
static_assert(Keys::RIGHT == SDLK_RIGHT && Keys::LEFT == SDLK_LEFT && Keys::DOWN == SDLK_DOWN && Keys::UP == SDLK_UP);
static_assert(Keys::LEFT_BUTTON == SDL_BUTTON_LEFT && Keys::MIDDLE_BUTTON == SDL_BUTTON_MIDDLE &&
              Keys::RIGHT_BUTTON == SDL_BUTTON_RIGHT);

namespace {

constexpr const char* HELP_TEXT[] = {
    "Displaying Help.",
    "Move the camera with the arrow - keys.",
    "Change camera pitch by holding the right mouse button and moving the mouse.",
    "Change zoom with the scrollwheel.",
    "",
    "Move the player by clicking and then hitting READY.",
    "Reset the player by hitting RESET.",
    "Reach the cottage.",
    "",
    "Press F1 for help.",
    "Press F2 to print FPS.",
    "Press F3 to switch wireframe mode.",
    "Press F4 to switch texture sampling quality.",
    "Press F5 to switch mip - mapping quality.",
    "Press F8 to switch view frustum culling.",
    "Press F9 to switch alpha blending.",
    "Press F11 to switch fullscreen mode.",
    "(The player is also movable with WASD for debug purposes.)",
};

}

void Game::handleEvents() {
    input.startFrame();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: quit = 1; break;
        case SDL_KEYDOWN:
            switch (event.key.keysym.sym) {
            case SDLK_ESCAPE: quit = 1; break;
            case SDLK_F1: showHelp(); break;
            case SDLK_F2: switchPrintFps(); break;
            case SDLK_F3: switchWireframe(); break;
            case SDLK_F4: switchSamplingQuality(); break;
            case SDLK_F5: switchMipmapQuality(); break;
            case SDLK_F8: switchCulling(); break;
            case SDLK_F9: switchBlending(); break;
            case SDLK_F11: switchFullscreen(); break;
            default: input.press(event.key.keysym.sym); break;
            }
            break;
        case SDL_KEYUP: input.release(event.key.keysym.sym); break;
        case SDL_MOUSEMOTION: {
            const bool hadMouse = input.hasMouse;
            if (hadMouse) {
                input.lastMouseX = input.mouseX;
                input.lastMouseY = input.mouseY;
            }
            input.mouseX = float(event.motion.x);
            input.mouseY = float(event.motion.y);
            // The first position ever seen has no predecessor to move from.
            if (hadMouse) {
                input.mouseDX += input.mouseX - input.lastMouseX;
                input.mouseDY += input.mouseY - input.lastMouseY;
            }
            input.hasMouse = true;
            break;
        }
        case SDL_MOUSEBUTTONDOWN: input.press(event.button.button); break;
        case SDL_MOUSEBUTTONUP: input.release(event.button.button); break;
        case SDL_MOUSEWHEEL: camera.zoom(event.wheel.y); break;
        default: break;
        }
    }
}

void Game::showHelp() {
    for (const char* line : HELP_TEXT) {
        std::cout << line << std::endl;
    }
}

void Game::switchPrintFps() {
    printFps = !printFps;
    std::cout << "Frame Time switched." << std::endl;
}

void Game::switchWireframe() {
    wireframe = !wireframe;
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
    std::cout << "Wireframe switched" << std::endl;
}

void Game::switchSamplingQuality() {
    samplingQuality = !samplingQuality;
    applyTextureFilters();
    std::cout << "Texture Sampling Quality switched." << std::endl;
}

void Game::switchMipmapQuality() {
    mipmapQuality = !mipmapQuality;
    applyTextureFilters();
    std::cout << "Mip - Mapping Quality switched." << std::endl;
}

void Game::switchCulling() {
    std::cout << "View Frustum Culling switched." << std::endl;
    std::cout << "View Frustum Culling doesn't work." << std::endl;
}

void Game::switchBlending() {
    blending = !blending;
    if (blending) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    std::cout << "Transparency switched." << std::endl;
}

void Game::switchFullscreen() {
    const bool isFullscreen = (SDL_GetWindowFlags(display.window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (SDL_SetWindowFullscreen(display.window, isFullscreen ? 0 : SDL_WINDOW_FULLSCREEN) < 0) {
        std::cerr << "Error: Switching fullscreen failed: " << SDL_GetError() << std::endl;
    }
}

void Game::applyTextureFilters() {
    GLint minFilter = GL_NEAREST_MIPMAP_NEAREST;
    GLint magFilter = GL_NEAREST;
    if (mipmapQuality && samplingQuality) {
        minFilter = GL_LINEAR_MIPMAP_LINEAR;
        magFilter = GL_LINEAR;
    } else if (mipmapQuality) {
        minFilter = GL_NEAREST_MIPMAP_LINEAR;
        magFilter = GL_LINEAR;
    } else if (samplingQuality) {
        minFilter = GL_LINEAR_MIPMAP_NEAREST;
        magFilter = GL_LINEAR;
    }
    for (const unsigned int texture : switchTextures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    }
}
