#include "AppTestSupport.h"

#include "app/Game.h"
#include "support/GlContext.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

class GameEvents : public testing::Test {
protected:
    void SetUp() override {
        requireGlContext();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        game.camera.input = &game.input;
    }

    // Handles everything queued and returns what the game printed.
    std::string frame() {
        testing::internal::CaptureStdout();
        game.handleEvents();
        return testing::internal::GetCapturedStdout();
    }

    Game game;
};

// The minifying and magnifying filters of a 2D texture.
std::pair<GLint, GLint> filtersOf(GLuint texture) {
    GLint min = 0, mag = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    return {min, mag};
}

}

TEST_F(GameEvents, KeysAndButtonsAreHeldUntilReleased) {
    pushKey(SDL_KEYDOWN, SDLK_w);
    pushKey(SDL_KEYDOWN, SDLK_F2);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 40, 30);
    frame();
    EXPECT_TRUE(game.input.isHeld(SDLK_w) && game.input.isHeld(SDL_BUTTON_RIGHT));
    EXPECT_EQ(game.input.pressed.count(SDLK_F2), 0u);

    pushKey(SDL_KEYUP, SDLK_w);
    pushKey(SDL_KEYUP, SDLK_F2);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 40, 30);
    frame();
    for (const int code : {int(SDLK_w), int(SDLK_F2), SDL_BUTTON_RIGHT}) {
        ASSERT_EQ(game.input.pressed.count(code), 1u) << code << " has its release recorded";
        EXPECT_FALSE(game.input.pressed[code]) << code;
    }
    EXPECT_FALSE(game.input.hasMouse || game.input.mouseX != 0.0f) << "buttons are no mouse motion";
}

// The first motion moves nothing; later ones add up within a frame.
TEST_F(GameEvents, MouseDeltasArePerFrame) {
    const auto mouse = [this] { return Vec3(game.input.mouseX, game.input.mouseDX, game.input.mouseDY); };
    pushMotion(300, 200);
    frame();
    EXPECT_TRUE(game.input.hasMouse);
    EXPECT_EQ(mouse(), Vec3(300, 0, 0));
    pushMotion(305, 190);
    pushMotion(310, 185);
    frame();
    EXPECT_EQ(mouse(), Vec3(310, 10, -15)) << "both events of the frame add up";
    frame(); // the mouse rests
    EXPECT_EQ(mouse(), Vec3(310, 0, 0));
}

// A press shorter than a frame is seen by that frame; a key's auto-repeat is no new press.
TEST_F(GameEvents, PressAndReleaseInOneFrameHoldForThatFrameOnly) {
    tap(SDLK_a);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 0, 0);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0);
    for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEBUTTONDOWN}) {
        pushButton(type, SDL_BUTTON_RIGHT, 0, 0);
    }
    pushKey(SDL_KEYDOWN, SDLK_d);
    frame();
    for (const int code : {int(SDLK_a), SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, int(SDLK_d)}) {
        EXPECT_TRUE(game.input.isHeld(code)) << code;
    }
    pushKey(SDL_KEYDOWN, SDLK_d); // repeated while held
    pushKey(SDL_KEYUP, SDLK_d);
    frame();
    EXPECT_FALSE(game.input.isHeld(SDLK_a) || game.input.isHeld(SDL_BUTTON_LEFT) || game.input.isHeld(SDLK_d));
    EXPECT_TRUE(game.input.isHeld(SDL_BUTTON_RIGHT)) << "down last";
}

TEST_F(GameEvents, EachFunctionKeyPrintsItsLines) {
    const struct {
        SDL_Keycode key;
        const char* lines;
    } keys[] = {
        {SDLK_F1, "Displaying Help.\nMove the camera with the arrow - keys.\n"
                  "Change camera pitch by holding the right mouse button and moving the mouse.\n"
                  "Change zoom with the scrollwheel.\n\nMove the player by clicking and then hitting READY.\n"
                  "Reset the player by hitting RESET.\nReach the cottage.\n\nPress F1 for help.\n"
                  "Press F2 to print FPS.\nPress F3 to switch wireframe mode.\n"
                  "Press F4 to switch texture sampling quality.\nPress F5 to switch mip - mapping quality.\n"
                  "Press F8 to switch view frustum culling.\nPress F9 to switch alpha blending.\n"
                  "Press F11 to switch fullscreen mode.\n"
                  "(The player is also movable with WASD for debug purposes.)\n"},
        {SDLK_F2, "Frame Time switched.\n"},
        {SDLK_F3, "Wireframe switched\n"},
        {SDLK_F4, "Texture Sampling Quality switched.\n"},
        {SDLK_F5, "Mip - Mapping Quality switched.\n"},
        {SDLK_F8, "View Frustum Culling switched.\nView Frustum Culling doesn't work.\n"},
        {SDLK_F9, "Transparency switched.\n"},
    };
    for (const auto& k : keys) {
        tap(k.key);
        EXPECT_EQ(frame(), k.lines) << SDL_GetKeyName(k.key);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); // F3 left the shared context in wireframe
}

TEST_F(GameEvents, SwitchKeysFlipTheirState) {
    game.blending = true;
    tap(SDLK_F9);
    frame();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    tap(SDLK_F9);
    frame();
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &source);
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && source == GL_SRC_ALPHA);

    GLint modes[2] = {0, 0};
    for (const GLint mode : {GL_LINE, GL_FILL}) {
        tap(SDLK_F3);
        frame();
        glGetIntegerv(GL_POLYGON_MODE, modes);
        EXPECT_EQ(modes[0], mode);
    }
    // F2's switch shows as frame-rate lines from the game binary.
}

TEST_F(GameEvents, FilterKeysStepTheTexturesThroughAllFourFilterPairs) {
    GLuint textures[2];
    glGenTextures(2, textures);
    game.switchTextures = {textures[0], textures[1]};
    game.mipmapQuality = true;
    game.samplingQuality = true;
    const struct {
        SDL_Keycode key;
        GLint min, mag;
    } steps[] = {
        {SDLK_F4, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR},
        {SDLK_F5, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {SDLK_F4, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {SDLK_F5, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
    };
    for (const auto& step : steps) {
        tap(step.key);
        frame();
        for (const GLuint texture : textures)
            EXPECT_EQ(filtersOf(texture), std::make_pair(step.min, step.mag));
    }
    glDeleteTextures(2, textures);
}

// Without a window the switch cannot succeed.
TEST_F(GameEvents, AFailedFullscreenSwitchIsReportedOnTheErrorStream) {
    tap(SDLK_F11);
    testing::internal::CaptureStderr();
    EXPECT_EQ(frame(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Switching fullscreen failed: " + std::string(SDL_GetError()) + "\n");
}

// Real fullscreen, not the desktop-sized kind, and back, silently.
TEST_F(GameEvents, FullscreenKeySwitchesBackAndForth) {
    game.display.window = requireGlContext();
    for (const Uint32 mode : {Uint32(SDL_WINDOW_FULLSCREEN), Uint32(0)}) {
        tap(SDLK_F11);
        testing::internal::CaptureStderr();
        EXPECT_EQ(frame(), "");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(SDL_GetWindowFlags(game.display.window) & SDL_WINDOW_FULLSCREEN_DESKTOP, mode);
    }
}
