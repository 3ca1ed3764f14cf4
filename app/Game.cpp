#include "app/Game.h"

#include "app/FrameClock.h"
#include "assets/ModelLoader.h"
#include "render/SceneRenderer.h"
#include "world/HeadSwing.h"
#include "world/PathWalking.h"
#include "world/Quest.h"
#include "world/TerrainPicker.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {
// Timer, audio, video, joystick, haptic, game controller and events.
constexpr Uint32 ALL_SUBSYSTEMS = 0x7231;
// What the game cannot do without; audio and haptics are optional here.
constexpr Uint32 ESSENTIAL_SUBSYSTEMS = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;
constexpr float SPEECH_SECONDS = 6.0f;
// The speech panel in window pixels: top left, clear of the quest panel, the buttons and
// the player at the start camera; the text box inside its frame.
constexpr int SPEECH_LEFT = 12, SPEECH_TOP = 12, SPEECH_WIDTH = 616, SPEECH_HEIGHT = 180;
constexpr int SPEECH_MARGIN_X = 24, SPEECH_MARGIN_Y = 22;
}

Game::Game() {
    camera.distanceFromTarget = 50.0f;
}

Game::~Game() = default;

void Game::startUp() {
    openWindow();
    buildShaders();
}

void Game::openWindow() {
    // A machine without a sound card or haptics fails the full set as a whole,
    // and SDL then shuts video down again; the game needs only the essentials.
    if (SDL_Init(ALL_SUBSYSTEMS) != 0) {
        SDL_Init(ESSENTIAL_SUBSYSTEMS);
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    display.create("WM");

    camera.input = &input;
    camera.position = Vec3(100.0f, 35.0f, 50.0f);
    camera.pitch = 45.0f;
    camera.yaw = 0.0f;
}

void Game::buildShaders() {
    entityShader.emplace("Shaders/entityVertexShader.vert", "Shaders/entityFragmentShader.frag");
    terrainShader.emplace("Shaders/terrainVertexShader.vert", "Shaders/terrainFragmentShader.frag");
    skyboxShader.emplace("Shaders/skyboxVertexShader.vert", "Shaders/skyboxFragmentShader.frag");
    waterShader.emplace("Shaders/waterVertexShader.vert", "Shaders/waterFragmentShader.frag");
    guiShader.emplace("Shaders/guiVertexShader.vert", "Shaders/guiFragmentShader.frag");
    textShader.emplace("Shaders/guiTextVertexShader.vert", "Shaders/guiFragmentShader.frag");

    wireframe = false;
    blending = true;
    mipmapQuality = true;
    samplingQuality = true;
    walking = false;
}

void Game::run() {
    setUpScene();
    loop();
    shutDown();
}

void Game::loop() {
    while (quit == 0) {
        runFrame();
    }
}

void Game::runFrame() {
    checkQuest();
    if (walking) {
        walkPath();
    }
    const std::string fpsLine = frameRate.sample(double(SDL_GetTicks()), printFps);
    if (!fpsLine.empty()) {
        std::cout << fpsLine << std::endl;
    }
    handleEvents();
    camera.move();
    player->move(*terrain, frameTime);

    Entity* face = entities[ENTITY_FACE];
    face->setPosition(player->getPosition());
    if (player->isMoving()) {
        face->setRotY(player->getRotY());
    }
    HeadSwing::update(player->rotY, face->rotY, headSwing);

    // The picker looks under the cursor before the click step, so a click takes the point
    // it was made on even when the cursor moved there within the same frame.
    picker->update();
    processPlayerInput(*picker);
    renderer->drawScene(*player, *terrain, entities, waterTiles, lights, camera, frameTime);
    drawGui();
    display.endFrame();
}

// The speech panel comes after the fixed elements, whose list stays as it is.
void Game::drawGui() {
    if (!isSpeechShown()) {
        renderer->drawGui(guis);
        return;
    }
    std::vector<GuiElement*> shown = guis;
    shown.push_back(&*speechPanel);
    renderer->drawGui(shown, speechRenderer.get());
}

void Game::shutDown() {
    if (speechRenderer) {
        speechRenderer->cleanUp();
        speechRenderer.reset();
    }
    renderer->cleanUp();
    picker.reset();
    renderer.reset();
    loader->cleanUp();
    loader.reset();
}

// frameTime is still the last frame's: the panel counts down the time it has been shown.
void Game::checkQuest() {
    speechSecondsLeft = std::max(0.0f, speechSecondsLeft - frameTime);
    const Vec3 position = player->getPosition();
    if (const char* line = Quest::update(lampChecked, messageShown, position.x, position.z)) {
        std::cout << line << std::endl;
        say(line);
    }
}

void Game::say(const std::string& line) {
    speechLine = line;
    speechSecondsLeft = SPEECH_SECONDS;
    if (speechRenderer) {
        speechRenderer->setText(line, SPEECH_LEFT + SPEECH_MARGIN_X, SPEECH_TOP + SPEECH_MARGIN_Y,
                                SPEECH_WIDTH - 2 * SPEECH_MARGIN_X, SPEECH_HEIGHT - 2 * SPEECH_MARGIN_Y);
    }
}

bool Game::isSpeechShown() const {
    return speechRenderer && speechPanel && speechSecondsLeft > 0.0f;
}

void Game::addSpeechPanel(ModelLoader& modelLoader, const std::string& panelFile, const std::string& atlasFile) {
    // Pixels to device coordinates, as the fixed elements are placed.
    const Vec2 centre(float(2 * SPEECH_LEFT + SPEECH_WIDTH) / Display::WIDTH - 1.0f,
                      1.0f - float(2 * SPEECH_TOP + SPEECH_HEIGHT) / Display::HEIGHT);
    const Vec2 halfSize(float(SPEECH_WIDTH) / Display::WIDTH, float(SPEECH_HEIGHT) / Display::HEIGHT);
    speechPanel.emplace(modelLoader.loadTexture(panelFile), centre, halfSize);
    const ModelLoader::TextureImage atlas = modelLoader.loadTextureImage(atlasFile);
    if (atlas.rgba.empty()) {
        return; // the loader has said why
    }
    const std::optional<FontMetrics> font = FontMetrics::fromAtlas(atlas.rgba.data(), atlas.width, atlas.height);
    if (!font) {
        std::cerr << "Warning: " << atlasFile << " is no glyph atlas (" << atlas.width << " x " << atlas.height
                  << " pixels): the owner's lines show on the console only" << std::endl;
        return;
    }
    speechRenderer = std::make_unique<TextRenderer>(*textShader, atlas.texture, *font, Display::WIDTH, Display::HEIGHT);
}

void Game::walkPath() {
    if (::walkPath(*player, path, *terrain, frameTime) == WalkStep::PathEmpty) {
        moveMarker(Vec3(HIDDEN, HIDDEN, HIDDEN));
    }
}

void Game::processPlayerInput(TerrainPicker& pointPicker) {
    if (input.isHeld(Keys::LEFT_BUTTON)) {
        walking = false;
        const Vec3 point = pointPicker.getPickedPoint();
        int mouseX = 0, mouseY = 0;
        SDL_GetMouseState(&mouseX, &mouseY);
        switch (classifyClick(mouseX, mouseY, Display::WIDTH, Display::HEIGHT)) {
        case ClickTarget::Ready: walking = true; break;
        case ClickTarget::Reset:
            walking = false;
            moveMarker(Vec3(HIDDEN, HIDDEN, HIDDEN));
            player->position = startPosition;
            path.clear();
            messageShown = false;
            break;
        case ClickTarget::ButtonColumn: break;
        case ClickTarget::Terrain:
            path.push_back(point);
            moveMarker(point);
            break;
        }
    }
    moveAnchor(*cameraAnchor, input, *terrain, frameTime);
}

void Game::moveMarker(const Vec3& position) {
    entities[ENTITY_MARKER]->setPosition(position);
}
