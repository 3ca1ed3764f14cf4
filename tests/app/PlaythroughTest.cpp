// Plays the real game in this process: real window, real scene, events through
// SDL's queue, a fixed 1/60 s frame clock, and the console read back.
#include "AppTestSupport.h"

#include "app/FrameClock.h"
#include "app/Game.h"
#include "assets/ModelLoader.h"
#include "render/SceneRenderer.h"
#include "world/Quest.h"
#include "world/TerrainPicker.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int MAX_WALK_FRAMES = 3000;

class Playthrough : public testing::Test {
protected:
    void SetUp() override {
        setFrameStampSource([this] { return std::llround(double(stamps++) * 1000.0 / 60.0); });
        game.startUp();
        game.setUpScene();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        if (!shutDown) game.shutDown();
        setFrameStampSource(nullptr);
    }

    // Runs frames and returns what they printed.
    std::string frames(int count) {
        testing::internal::CaptureStdout();
        for (int i = 0; i < count; ++i) game.runFrame();
        return testing::internal::GetCapturedStdout();
    }
    // Window pixel of a world point, from the game's own camera and projection.
    glm::ivec2 pixelOf(const Vec3& world) const {
        const Mat4 view = Transforms::makeViewMatrix(game.camera);
        const Vec4 clip = game.sceneRenderer()->getProjectionMatrix() * view * Vec4(world, 1.0f);
        return {int(std::lround((clip.x / clip.w + 1.0f) * 0.5f * 1024.0f)),
                int(std::lround((1.0f - clip.y / clip.w) * 0.5f * 768.0f))};
    }
    std::string clickAt(int x, int y) {
        SDL_WarpMouseInWindow(game.display.window, x, y);
        frames(2); // the motion arrives, then the picker updates with it
        pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
        std::string out = frames(1);
        pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
        return out + frames(1);
    }

    // Zooms all the way out and drags the pitch down to its lowest, so the camera
    // sees about 200 units ahead of its anchor.
    void lookFar() {
        for (int i = 0; i < 20; ++i) pushWheel(-1);
        pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 512, 300);
        pushMotion(512, 300);
        pushMotion(512, 330);
        frames(1);
        pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 512, 330);
        frames(1);
        lookingFar = true;
    }

    // Turns the camera anchor with the arrow keys until it faces the point, and
    // walks it closer if the point is still beyond the view.
    void bringIntoView(const Vec3& target) {
        if (!lookingFar) lookFar();
        const auto headingError = [&] {
            const Vec3 anchor = game.cameraAnchor->getPosition();
            const float wanted = std::atan2(target.x - anchor.x, target.z - anchor.z) / DEGREES_TO_RADIANS;
            return std::remainder(wanted - game.cameraAnchor->getRotY(), 360.0f);
        };
        const auto distance = [&] {
            const Vec3 anchor = game.cameraAnchor->getPosition();
            return std::hypot(target.x - anchor.x, target.z - anchor.z);
        };
        const SDL_Keycode turn = headingError() > 0 ? SDLK_LEFT : SDLK_RIGHT;
        pushKey(SDL_KEYDOWN, turn);
        for (int i = 0; i < 200 && std::fabs(headingError()) >= 3.0f; ++i) frames(1);
        pushKey(SDL_KEYUP, turn);
        frames(1);
        pushKey(SDL_KEYDOWN, SDLK_UP);
        for (int i = 0; i < 600 && distance() >= 150.0f; ++i) frames(1);
        pushKey(SDL_KEYUP, SDLK_UP);
        frames(1);
    }

    // Clicks the ground at (x, z), presses READY and walks until the path is done.
    std::string walkTo(float x, float z) {
        const Vec3 target(x, game.terrain->heightAt(x, z), z);
        bringIntoView(target);
        const glm::ivec2 pixel = pixelOf(target);
        std::string out = clickAt(pixel.x, pixel.y);
        const Vec3 goal = game.path.empty() ? Vec3(Game::HIDDEN) : game.path.back();
        EXPECT_LT(glm::distance(Vec2(goal.x, goal.z), Vec2(x, z)), 1.5f) << "the click sets the goal";
        out += clickAt(READY_X, BUTTON_Y);
        for (int i = 0; i < MAX_WALK_FRAMES && !game.path.empty(); ++i) out += frames(1);
        EXPECT_TRUE(game.path.empty());
        return out + frames(2);
    }

    static constexpr int READY_X = 665, RESET_X = 358, BUTTON_Y = 691;

    Game game;
    std::int64_t stamps = 0;
    bool shutDown = false;
    bool lookingFar = false;
};

}

// What start-up prints is checked on the real binary.
TEST_F(Playthrough, StartUpBuildsTheBlueWindowAndSceneAndQuitEndsAfterOneMoreFrame) {
    int width = 0, height = 0;
    SDL_GetWindowSize(game.display.window, &width, &height);
    EXPECT_STREQ(SDL_GetWindowTitle(game.display.window), "WM");
    EXPECT_EQ(Vec2(width, height), Vec2(1024, 768));
    Vec4 clearColour(0.0f);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, &clearColour.x);
    EXPECT_EQ(clearColour, Vec4(0, 0, 1, 1)) << "until the first frame clears to the sky";
    EXPECT_EQ((std::vector<size_t>{game.entities.size(), game.lights.size(), game.guis.size(), game.waterTiles.size(),
                                   game.switchTextures.size()}),
              (std::vector<size_t>{17, 3, 3, 1, 23}));
    EXPECT_NEAR(game.lights[1]->position.y, game.terrain->heightAt(291, 273) + 10.0f, 1e-4f);
    EXPECT_EQ(game.entities[Game::ENTITY_MARKER]->position, Vec3(Game::HIDDEN));

    frames(3);
    pushQuit();
    const std::int64_t before = stamps;
    game.loop();
    EXPECT_EQ(game.quit, 1);
    EXPECT_EQ(stamps, before + 1); // exactly one frame, and it still ended with its buffer swap
    const std::vector<unsigned int> textures = game.modelLoader()->textures();
    game.shutDown();
    shutDown = true;
    EXPECT_TRUE(game.sceneRenderer() == nullptr && game.terrainPicker() == nullptr);
    for (const unsigned int texture : textures) EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(Playthrough, TheCottageWantsTheLampCheckedFirst) {
    const std::string first = walkTo(295, 265);
    EXPECT_EQ(occurrences(first, Quest::REMINDER), 1) << first;
    EXPECT_EQ(occurrences(first, Quest::WELCOME), 0);

    const std::string detour = walkTo(111, 138) + walkTo(295, 265);
    EXPECT_TRUE(game.lampChecked);
    EXPECT_EQ(occurrences(detour, Quest::REMINDER) + occurrences(detour, Quest::WELCOME), 0)
        << "the owner speaks once until a reset: " << detour;

    clickAt(RESET_X, BUTTON_Y);
    EXPECT_EQ(game.player->getPosition(), game.startPosition);
    EXPECT_FALSE(game.messageShown);
    const std::string again = walkTo(295, 265);
    EXPECT_EQ(occurrences(again, Quest::WELCOME), 1) << again;
}

TEST_F(Playthrough, ClicksOnTheButtonsAndTheGroundSteerTheWalk) {
    clickAt(READY_X, BUTTON_Y);
    EXPECT_TRUE(game.walking);
    clickAt(READY_X, 600); // the READY column, above the button
    EXPECT_FALSE(game.walking);

    clickAt(512, 500);
    ASSERT_EQ(game.path.size(), 1u);
    const Vec3 marker = game.entities[Game::ENTITY_MARKER]->position;
    EXPECT_EQ(marker, game.path.back());
    EXPECT_NEAR(marker.y, game.terrain->heightAt(marker.x, marker.z), 0.05f);

    clickAt(RESET_X, BUTTON_Y);
    EXPECT_TRUE(game.path.empty());
    EXPECT_EQ(game.entities[Game::ENTITY_MARKER]->position, Vec3(Game::HIDDEN));
}

TEST_F(Playthrough, TheFaceLooksAroundWhileThePlayerStands) {
    frames(60);
    const float body = game.player->getRotY();
    float low = 1e9f, high = -1e9f;
    for (int i = 0; i < 120; ++i) {
        frames(1);
        low = std::min(low, game.entities[Game::ENTITY_FACE]->getRotY() - body);
        high = std::max(high, game.entities[Game::ENTITY_FACE]->getRotY() - body);
    }
    EXPECT_NEAR(low, -33.5f, 3.5f) << "swings past 30 degrees each way, but not past 37";
    EXPECT_NEAR(high, 33.5f, 3.5f);

    pushKey(SDL_KEYDOWN, SDLK_w);
    for (int i = 0; i < 20; ++i) {
        frames(1);
        EXPECT_NEAR(game.entities[Game::ENTITY_FACE]->getRotY(), game.player->getRotY(), 2.0f);
        EXPECT_EQ(game.entities[Game::ENTITY_FACE]->position, game.player->getPosition());
    }
}
