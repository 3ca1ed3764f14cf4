// Plays the real game in this process: real window, real scene, events through
// SDL's queue, a fixed 1/60 s frame clock, and the console read back.
#include "AppTestSupport.h"

#include "app/FrameClock.h"
#include "app/Game.h"
#include "assets/ModelLoader.h"
#include "assets/PhaseTimer.h"
#include "render/SceneRenderer.h"
#include "world/Quest.h"
#include "world/SceneLayout.h"
#include "world/TerrainPicker.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <tuple>

namespace {

class Playthrough : public testing::Test {
protected:
    void SetUp() override {
        setFrameStampSource([this] { return std::llround(double(stamps++) * 1000.0 / 60.0); });
        game.startUp();
        game.setUpScene();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        if (!shutDown)
            game.shutDown();
        setFrameStampSource(nullptr);
    }

    // Runs frames and returns what they printed.
    std::string frames(int count) {
        testing::internal::CaptureStdout();
        for (int i = 0; i < count; ++i)
            game.runFrame();
        return testing::internal::GetCapturedStdout();
    }
    // A quick click: pressed and released before one frame, then the frame that releases it.
    std::string clickAt(int x, int y) {
        SDL_WarpMouseInWindow(game.display.window, x, y);
        // The motion comes back through the X server, some frames later on a loaded machine.
        for (int i = 0; i < 100 && Vec2(game.input.mouseX, game.input.mouseY) != Vec2(x, y); ++i)
            frames(1);
        pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
        pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
        const std::string out = frames(1);
        return out + frames(1);
    }

    // Puts the player 6 units short of (x, z) and walks it there on a path that READY
    // starts; the clicks that set a path are checked on their own.
    std::string walkInto(float x, float z) {
        game.player->position = Vec3(x, game.terrain->heightAt(x, z - 6), z - 6);
        game.path = {Vec3(x, game.terrain->heightAt(x, z), z)};
        std::string out = clickAt(READY_X, BUTTON_Y);
        for (int i = 0; i < 300 && !game.path.empty(); ++i)
            out += frames(1); // 5 s at most
        EXPECT_TRUE(game.path.empty());
        return out + frames(2);
    }

    static constexpr int READY_X = 665, RESET_X = 358, BUTTON_Y = 691;

    Game game;
    std::int64_t stamps = 0;
    bool shutDown = false;
};

}

// What start-up prints is checked on the real binary.
TEST_F(Playthrough, StartUpOpensABlueWindowTitledWM) {
    int width = 0, height = 0;
    SDL_GetWindowSize(game.display.window, &width, &height);
    EXPECT_STREQ(SDL_GetWindowTitle(game.display.window), "WM");
    EXPECT_EQ(Vec2(width, height), Vec2(1024, 768));
    Vec4 clearColour(0.0f);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, &clearColour.x);
    EXPECT_EQ(clearColour, Vec4(0, 0, 1, 1)) << "until the first frame clears to the sky";
}

TEST_F(Playthrough, QuitEndsTheLoopAfterOneMoreFrame) {
    frames(3);
    SDL_Event quit{SDL_QUIT};
    SDL_PushEvent(&quit);
    const std::int64_t before = stamps;
    game.loop();
    EXPECT_EQ(game.quit, 1);
    EXPECT_EQ(stamps, before + 1); // exactly one frame, and it still ended with its buffer swap
}

TEST_F(Playthrough, ShutDownDeletesTheTexturesAndTheRunsLocals) {
    frames(1);
    const std::vector<unsigned int> textures = game.modelLoader()->textures();
    game.shutDown();
    shutDown = true;
    EXPECT_TRUE(game.sceneRenderer() == nullptr && game.terrainPicker() == nullptr);
    for (const unsigned int texture : textures)
        EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(Playthrough, TheSceneIsBuiltAsTabled) {
    const auto ground = [this](float x, float z) { return game.terrain->heightAt(x, z); };
    // Every 2D texture in the order it was loaded: the water's du/dv map (with the
    // renderer), the terrain's six (background, r, g, b, blend map, light map), the
    // player's, the face's, the cottage's normal map then its colours, the fourteen
    // trees, lamps and ferns, the three GUI images, the camera anchor's, the marker's,
    // then the speech panel's parchment and glyph atlas.
    const std::vector<unsigned int>& loaded = game.modelLoader()->textures();
    ASSERT_EQ(loaded.size(), 32u);

    // The layout's numbers written out once more, as the scene was designed: a slip in
    // the layout header shows here, not only as a moved picture.
    constexpr float ON_GROUND = -1000; // stands for the ground's height at (x, z)
    const struct {
        float x, y, z, scale;
        size_t texture; // in load order
        bool transparent = false;
        int rows = 1, cell = 0;
        float shineDamper = 5, reflectivity = 0.1f;
    } entities[] = {
        // The face, the cottage, seven trees, two lamps, five ferns, the marker.
        {188, ON_GROUND, 377, 0.5f, 8, true, 1, 0, 10},
        {255, -34.6f, 252, 43, 10, true, 1, 0, 75, 1},
        {60, ON_GROUND, 118, 5, 11},
        {292, ON_GROUND, 132, 5, 12},
        {383, ON_GROUND, 106, 5, 13},
        {457, ON_GROUND, 214, 5, 14},
        {461, ON_GROUND, 333, 5, 15},
        {425, ON_GROUND, 421, 5, 16},
        {112, ON_GROUND, 424, 5, 17},
        {291, ON_GROUND, 273, 0.75f, 18},
        {111, ON_GROUND, 138, 0.75f, 19},
        {306, ON_GROUND, 264, 0.5f, 20, true, 2, 0},
        {225, ON_GROUND, 274, 0.5f, 21, true, 2, 1},
        {92, ON_GROUND, 230, 0.5f, 22, true, 2, 2},
        {95, ON_GROUND, 144, 0.5f, 23, true, 2, 3},
        {158, ON_GROUND, 252, 0.5f, 24, true, 2, 0},
        {-100, -100, -100, 1, 29, true},
    };
    ASSERT_EQ(game.entities.size(), std::size(entities));
    for (size_t i = 0; i < std::size(entities); ++i) {
        const auto& row = entities[i];
        const Entity& e = *game.entities[i];
        const Material& m = *e.model->texture;
        const float y = row.y == ON_GROUND ? ground(row.x, row.z) : row.y;
        EXPECT_EQ(std::tuple(e.position, Vec3(e.rotX, e.rotY, e.rotZ), e.scale, e.textureIndex, m.shineDamper,
                             m.reflectivity, m.hasTransparency, m.useFakeLighting, m.numberOfRows, m.textureName,
                             e.model->hasNormalMap),
                  std::tuple(Vec3(row.x, y, row.z), Vec3(0), row.scale, row.cell, row.shineDamper, row.reflectivity,
                             row.transparent, false, row.rows, loaded[row.texture], i == 1))
            << "entity " << i;
    }
    EXPECT_EQ(game.entities[1]->model->normalMap->textureName, loaded[9]);

    const Vec3 start(188, ground(188, 377), 377);
    EXPECT_EQ(game.startPosition, start);
    for (const auto& [player, scale, texture] :
         {std::tuple{game.player, 0.5f, 7}, std::tuple{game.cameraAnchor, 2.0f, 28}}) {
        EXPECT_EQ(std::tuple(player->position, Vec3(player->rotX, player->rotY, player->rotZ), player->scale,
                             player->model->texture->textureName),
                  std::tuple(start, Vec3(0), scale, loaded[texture]));
    }
    EXPECT_EQ(game.camera.target, game.cameraAnchor);

    std::vector<std::tuple<Vec3, Vec3, Vec3>> lights;
    for (const Light* l : game.lights)
        lights.emplace_back(l->position, l->colour, l->attenuation);
    const Vec3 lampColour(1, 0.345f, 0.25f), lampFallOff(1, 0.02f, 0);
    EXPECT_EQ(lights, (std::vector<std::tuple<Vec3, Vec3, Vec3>>{
                          {{-150, 10000, 7900}, {1, 1, 1}, {1, 0, 0}},
                          {{291, ground(291, 273) + 10, 273}, lampColour, lampFallOff},
                          {{111, ground(111, 138) + 10, 138}, lampColour, lampFallOff}}));

    std::vector<std::tuple<unsigned int, Vec2, Vec2>> guis;
    for (const GuiElement* g : game.guis)
        guis.emplace_back(g->texture, g->position, g->scale);
    EXPECT_EQ(guis, (std::vector<std::tuple<unsigned int, Vec2, Vec2>>{{loaded[25], {0.5f, 0.5f}, {0.25f, 0.25f}},
                                                                       {loaded[26], {0.3f, -0.8f}, {0.1f, 0.1f}},
                                                                       {loaded[27], {-0.3f, -0.8f}, {0.1f, 0.1f}}}));

    ASSERT_EQ(game.waterTiles.size(), 1u);
    EXPECT_EQ(Vec3(game.waterTiles[0]->x, game.waterTiles[0]->z, game.waterTiles[0]->height), Vec3(210, 210, -21));

    // The filter switches reach the player's texture, the terrain's four ground textures
    // and blend map (not its light map), and each entity's colours (not the normal map).
    std::vector<unsigned int> switched = {loaded[7], loaded[1], loaded[2], loaded[3], loaded[4], loaded[5]};
    for (const auto& row : entities)
        switched.push_back(loaded[row.texture]);
    EXPECT_EQ(game.switchTextures, switched);
}

// Each walk starts just outside its zone (the lamp's begins at z 129, the door's at 255).
TEST_F(Playthrough, TheCottageWantsTheLampCheckedFirst) {
    const std::string first = walkInto(295, 259);
    EXPECT_EQ(occurrences(first, Quest::REMINDER), 1) << first;
    // Whether the owner speaks again before a reset is the quest's own rule.
    walkInto(111, 133);
    EXPECT_TRUE(game.lampChecked);

    clickAt(RESET_X, BUTTON_Y);
    EXPECT_EQ(game.player->getPosition(), game.startPosition);
    EXPECT_FALSE(game.messageShown);
    const std::string again = walkInto(295, 259);
    EXPECT_EQ(occurrences(again, Quest::WELCOME), 1) << again;
}

// The owner's line shows in the window from the frame that prints it, for six seconds,
// in the panel at the window's top left.
TEST_F(Playthrough, TheOwnersLineShowsInTheWindowForSixSeconds) {
    int parchment = 0; // bright, yellowish pixels in the panel's place at the end of the GUI pass
    PhaseTimer::setListener([&](Phase phase, bool begin) {
        if (phase != Phase::GUI_SUBMIT || begin)
            return;
        std::vector<unsigned char> rgba(600 * 140 * 4);
        glReadPixels(20, 768 - 20 - 140, 600, 140, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        parchment = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            parchment += rgba[i] > 150 && rgba[i + 1] > 130 && rgba[i] > rgba[i + 2] + 30;
    });
    PhaseTimer::enable(true);
    constexpr int PANEL_PIXELS = 600 * 140;
    frames(1);
    EXPECT_LT(parchment, PANEL_PIXELS / 10);

    game.player->position = Vec3(295, game.terrain->heightAt(295, 265), 265);
    EXPECT_EQ(frames(1), std::string(Quest::REMINDER) + "\n");
    EXPECT_GT(parchment, PANEL_PIXELS / 2) << "in the frame that prints the line";
    ASSERT_TRUE(game.speechText());
    std::string shown; // the panel's lines joined again
    for (const std::string& line : game.speechText()->getLayout().lines)
        shown += (shown.empty() ? "" : " ") + line;
    EXPECT_EQ(shown, Quest::REMINDER);

    // One long frame each, on the fixed clock: the panel outlives 5.8 s but not 6.1 s.
    const auto frameLasting = [this](double seconds) {
        stamps += std::llround(seconds * 60.0) - 1;
        frames(1);
    };
    frameLasting(5.8);
    frames(1);
    EXPECT_TRUE(game.isSpeechShown());
    frameLasting(0.3);
    frames(1);
    EXPECT_FALSE(game.isSpeechShown());
    EXPECT_LT(parchment, PANEL_PIXELS / 10);
    PhaseTimer::enable(false);
    PhaseTimer::setListener(nullptr);
}

// Frames in order: the quest rules on where the last frame left the player, then walking,
// events, camera, the player's keys.
TEST_F(Playthrough, TheQuestSpeaksOnTheFrameAfterTheStepIntoTheZone) {
    game.player->position = Vec3(269.9f, game.terrain->heightAt(269.9f, 265), 265);
    EXPECT_EQ(frames(1), "") << "on the border, outside"; // and the frame clock has a frame time now
    game.path = {Vec3(300, game.terrain->heightAt(300, 265), 265)};
    game.walking = true;
    EXPECT_EQ(frames(1), "");
    EXPECT_GT(game.player->getPosition().x, 270);
    tap(SDLK_F8);
    // First, before the frame's own events are handled.
    EXPECT_EQ(frames(1), "Have you checked the lamp? Please do that before you come in.\n"
                         "View Frustum Culling switched.\nView Frustum Culling doesn't work.\n");
}

TEST_F(Playthrough, EventsReachTheCameraAndThePlayerOfTheSameFrame) {
    SDL_Event wheel{SDL_MOUSEWHEEL};
    wheel.wheel.y = 2;
    SDL_PushEvent(&wheel);
    frames(1);
    EXPECT_NEAR(glm::distance(game.camera.position, game.cameraAnchor->getPosition()), 45, 1e-3f);
    // A tap of W within one frame: 50 units a second for that frame of 1/60 s, then no more.
    const Vec3 before = game.player->getPosition();
    tap(SDLK_w);
    frames(1);
    const Vec2 stepped(game.player->position.x, game.player->position.z);
    EXPECT_NEAR(glm::distance(Vec2(before.x, before.z), stepped), 50.0f / 60.0f, 0.05f);
    frames(1);
    EXPECT_EQ(Vec2(game.player->position.x, game.player->position.z), stepped);
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

    // The cursor moving within the click's frame: the point under it, not under the old place.
    pushMotion(600, 450);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 600, 450);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 600, 450);
    frames(2);
    ASSERT_EQ(game.path.size(), 2u);
    EXPECT_NE(game.path.back(), marker);
    EXPECT_EQ(game.path.back(), game.terrainPicker()->getPickedPoint());
    // A held button adds a point every frame it is down.
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 600, 450);
    frames(3);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 600, 450);
    frames(2);
    EXPECT_EQ(game.path.size(), 5u);

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
