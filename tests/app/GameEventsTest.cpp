#include "app/Game.h"
#include "support/GlContext.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <sstream>

namespace {

class GameEvents : public testing::Test {
protected:
    void SetUp() override {
        requireGlContext();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        game.camera.input = &game.input;
    }

    void key(Uint32 type, SDL_Keycode sym) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
    void tap(SDL_Keycode sym) {
        key(SDL_KEYDOWN, sym);
        key(SDL_KEYUP, sym);
    }
    void motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    void wheel(int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = y;
        SDL_PushEvent(&e);
    }
    // Handles everything queued and returns what the game printed.
    std::string frame() {
        testing::internal::CaptureStdout();
        game.handleEvents();
        return testing::internal::GetCapturedStdout();
    }

    Game game;
};

GLint textureParameter(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

}

TEST_F(GameEvents, KeysAndButtonsAreHeldUntilReleased) {
    key(SDL_KEYDOWN, SDLK_w);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_RIGHT;
    SDL_PushEvent(&button);
    frame();
    EXPECT_TRUE(game.input.isHeld(SDLK_w));
    EXPECT_TRUE(game.input.isHeld(SDL_BUTTON_RIGHT));
    key(SDL_KEYUP, SDLK_w);
    button.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&button);
    frame();
    ASSERT_EQ(game.input.pressed.count(SDLK_w), 1u);
    EXPECT_FALSE(game.input.pressed[SDLK_w]);
    EXPECT_FALSE(game.input.isHeld(SDL_BUTTON_RIGHT));
    EXPECT_EQ(game.input.mouseX, 0.0f);
    EXPECT_EQ(game.input.mouseDX, 0.0f);
}

TEST_F(GameEvents, FunctionKeysAreNotHeldButTheirReleaseIsRecorded) {
    key(SDL_KEYDOWN, SDLK_F3);
    frame();
    EXPECT_EQ(game.input.pressed.count(SDLK_F3), 0u);
    EXPECT_TRUE(game.wireframe);
    key(SDL_KEYUP, SDLK_F3);
    frame();
    ASSERT_EQ(game.input.pressed.count(SDLK_F3), 1u);
    EXPECT_FALSE(game.input.pressed[SDLK_F3]);
    tap(SDLK_F3); // back to filled polygons for the other tests
    frame();
}

TEST_F(GameEvents, MouseDeltasArePerFrameAndTheFirstMotionMovesNothing) {
    motion(300, 200);
    frame();
    EXPECT_TRUE(game.input.hasMouse);
    EXPECT_EQ(game.input.mouseX, 300.0f);
    EXPECT_EQ(game.input.mouseDX, 0.0f);
    EXPECT_EQ(game.input.mouseDY, 0.0f);

    motion(305, 190);
    motion(310, 185);
    frame();
    EXPECT_EQ(game.input.lastMouseX, 305.0f);
    EXPECT_EQ(game.input.mouseDX, 10.0f); // both events of the frame add up
    EXPECT_EQ(game.input.mouseDY, -15.0f);

    frame(); // the mouse rests
    EXPECT_EQ(game.input.mouseDX, 0.0f);
    EXPECT_EQ(game.input.mouseDY, 0.0f);
    EXPECT_EQ(game.input.mouseX, 310.0f);
}

TEST_F(GameEvents, WheelZoomsWithinItsLimits) {
    game.camera.distanceFromTarget = 6;
    wheel(1);
    frame();
    EXPECT_EQ(game.camera.distanceFromTarget, 5.0f);
    game.camera.distanceFromTarget = 94;
    wheel(-1);
    frame();
    EXPECT_EQ(game.camera.distanceFromTarget, 95.0f);
    game.camera.distanceFromTarget = 50;
    wheel(2);
    frame();
    EXPECT_EQ(game.camera.distanceFromTarget, 45.0f);
}

TEST_F(GameEvents, EscapeAndTheQuitEventEndTheLoop) {
    tap(SDLK_ESCAPE);
    frame();
    EXPECT_EQ(game.quit, 1);
    Game other;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    other.handleEvents();
    EXPECT_EQ(other.quit, 1);
}

TEST_F(GameEvents, SwitchesPrintTheirLinesAndSetGlState) {
    game.blending = true;
    tap(SDLK_F9);
    EXPECT_EQ(frame(), "Transparency switched.\n");
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    tap(SDLK_F9);
    frame();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA);

    tap(SDLK_F3);
    EXPECT_EQ(frame(), "Wireframe switched\n");
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    tap(SDLK_F3);
    frame();
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);

    tap(SDLK_F8);
    EXPECT_EQ(frame(), "View Frustum Culling switched.\nView Frustum Culling doesn't work.\n");
    tap(SDLK_F2);
    EXPECT_EQ(frame(), "Frame Time switched.\n");
    EXPECT_TRUE(game.printFps);
}

TEST_F(GameEvents, HelpHasEighteenLines) {
    tap(SDLK_F1);
    const std::string text = frame();
    std::istringstream lines(text);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 18u);
    EXPECT_EQ(all[0], "Displaying Help.");
    EXPECT_EQ(all[4], "");
    EXPECT_EQ(all[7], "Reach the cottage.");
    EXPECT_EQ(all[8], "");
    EXPECT_EQ(all[17], "(The player is also movable with WASD for debug purposes.)");
}

TEST_F(GameEvents, FilterSwitchesCoverAllFourCombinations) {
    GLuint textures[2];
    glGenTextures(2, textures);
    game.switchTextures = {textures[0], textures[1]};
    game.mipmapQuality = true;
    game.samplingQuality = true;
    const struct {
        SDL_Keycode key;
        const char* line;
        GLint min, mag;
    } steps[] = {
        {SDLK_F4, "Texture Sampling Quality switched.\n", GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR},
        {SDLK_F5, "Mip - Mapping Quality switched.\n", GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {SDLK_F4, "Texture Sampling Quality switched.\n", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {SDLK_F5, "Mip - Mapping Quality switched.\n", GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
    };
    for (const auto& step : steps) {
        tap(step.key);
        EXPECT_EQ(frame(), step.line);
        for (const GLuint texture : textures) {
            EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), step.min);
            EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MAG_FILTER), step.mag);
        }
    }
    glDeleteTextures(2, textures);
    EXPECT_EQ(takeGlError(), 0u);
}
