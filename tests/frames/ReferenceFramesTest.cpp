// Reference frames: fixed views of the real scene, drawn in this process by the real
// Game with the real data and shaders, on a fixed 1/60 s frame clock, compared tile by
// tile with the PNGs in tests/reference/. Together the views show every renderer.
//
// Re-make the references after an intended change of the picture:
//     scripts/references.sh
// (it runs this test with WM_UPDATE_REFERENCES=1, which writes the new PNGs and the GL
// renderer string into tests/reference/, and a magnified difference against the old
// picture as <build>/frames/<name>.diff.png). Look at what moved before committing.
// A failing picture leaves <name>.actual.png and <name>.diff.png in <build>/frames/.
//
// Tolerance, on the renderer the references were made with: a 16 x 16 tile fails when
// more than 2 of its pixels differ by more than 2 steps in a channel. llvmpipe repeats
// itself exactly on one machine; the slack is for another CPU, whose vector width or
// fused multiply-add may round a few pixels differently. On another renderer a tile
// fails when more than 20 of its pixels differ by more than 12 steps, or its mean
// difference exceeds 4 steps: still local, so a changed tree or lake fails.
#include "app/FrameClock.h"
#include "app/Game.h"
#include "assets/PhaseTimer.h"
#include "render/SceneRenderer.h"
#include "render/WaterTargets.h"
#include "support/TestData.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <SOIL/SOIL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

const std::string REFERENCE_DIR = std::string(WM_SOURCE_DIR) + "/tests/reference/";
const std::string OUTPUT_DIR = std::string(WM_BUILD_DIR) + "/frames/";
const std::string RENDERER_FILE = REFERENCE_DIR + "renderer.txt";

constexpr int TILE = 16;        // pixels
constexpr int DIFF_GAIN = 16;   // difference images show each step 16 times brighter

struct Tolerance {
    int step;           // largest channel difference a pixel may have and still match
    int pixelsPerTile;  // pixels per tile allowed beyond `step`
    double tileMean;    // largest mean channel difference of a tile
};
constexpr Tolerance SAME_RENDERER{2, 2, 255.0};
constexpr Tolerance OTHER_RENDERER{12, 20, 4.0};

// 8-bit RGB, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

Picture flipped(Picture picture) {
    const size_t row = size_t(picture.width) * 3;
    for (size_t y = 0; y < size_t(picture.height) / 2; ++y) {
        std::swap_ranges(picture.rgb.begin() + long(y * row), picture.rgb.begin() + long((y + 1) * row),
                         picture.rgb.begin() + long((size_t(picture.height) - 1 - y) * row));
    }
    return picture;
}

// The bound read framebuffer; GL's rows run bottom to top.
Picture readFramebuffer(int width, int height) {
    Picture picture{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return flipped(std::move(picture));
}

Picture readTexture(unsigned int texture, int width, int height) {
    Picture picture{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return flipped(std::move(picture));
}

Picture loadPicture(const std::string& path) {
    Picture picture;
    int channels = 0;
    unsigned char* data = SOIL_load_image(path.c_str(), &picture.width, &picture.height, &channels, SOIL_LOAD_RGB);
    if (data) picture.rgb.assign(data, data + size_t(picture.width) * size_t(picture.height) * 3);
    SOIL_free_image_data(data);
    return picture;
}

bool savePicture(const std::string& path, const Picture& picture) {
    return writePngFile(path, picture.width, picture.height, 3, picture.rgb);
}

struct Comparison {
    int failedTiles = 0;
    int tiles = 0;
    int largestStep = 0;
    Picture diff; // each pixel's largest step magnified, failed tiles framed in red
};

Comparison compare(const Picture& expected, const Picture& actual, const Tolerance& tolerance) {
    Comparison result;
    result.diff = Picture{actual.width, actual.height, std::vector<unsigned char>(actual.rgb.size())};
    for (int tileY = 0; tileY < actual.height; tileY += TILE) {
        for (int tileX = 0; tileX < actual.width; tileX += TILE) {
            const int endX = std::min(tileX + TILE, actual.width), endY = std::min(tileY + TILE, actual.height);
            int beyond = 0;
            long sum = 0;
            for (int y = tileY; y < endY; ++y) {
                for (int x = tileX; x < endX; ++x) {
                    int largest = 0;
                    for (int c = 0; c < 3; ++c) {
                        const int step = std::abs(int(expected.at(x, y)[c]) - int(actual.at(x, y)[c]));
                        largest = std::max(largest, step);
                        sum += step;
                    }
                    beyond += largest > tolerance.step;
                    result.largestStep = std::max(result.largestStep, largest);
                    unsigned char* shown = &result.diff.rgb[(size_t(y) * size_t(actual.width) + size_t(x)) * 3];
                    std::fill_n(shown, 3, (unsigned char)std::min(255, largest * DIFF_GAIN));
                }
            }
            const double mean = double(sum) / double((endX - tileX) * (endY - tileY) * 3);
            ++result.tiles;
            if (beyond <= tolerance.pixelsPerTile && mean <= tolerance.tileMean) continue;
            ++result.failedTiles;
            for (int y = tileY; y < endY; ++y) {
                for (int x = tileX; x < endX; ++x) {
                    if (x != tileX && y != tileY && x != endX - 1 && y != endY - 1) continue;
                    unsigned char* frame = &result.diff.rgb[(size_t(y) * size_t(actual.width) + size_t(x)) * 3];
                    frame[0] = 255;
                    frame[1] = frame[2] = 0;
                }
            }
        }
    }
    return result;
}

// A fixed camera, set directly: the orbit camera cannot stand this low or look up.
struct View {
    const char* name;
    float x, aboveGround, z; // the eye, world units
    float pitch;             // degrees, positive looks down
    float yaw;               // degrees; 0 looks along -z, 90 along +x, 180 along +z
    bool withPasses;         // also keep the main pass and the two water targets
};

// Named for what each is there to show; every view also shows the GUI over the scene.
const std::vector<View> VIEWS = {
    // The player and its face from the front, the marker, the four ground textures.
    {"player", 188, 5, 392, 12, 0, false},
    // Across the lake at the cottage, the lamp and a tree, low enough for the mirror.
    {"lake", 205, 5, 92, 4, 180, true},
    // From the highest corner over the whole terrain into the fog and the sky's band.
    {"horizon", 480, 5, 480, 2, 315, false},
    // The cottage where the sun's highlight on the roof meets the eye.
    {"cottage", 288, 18, 226, 12, 232, false},
    // From above: the lake seen steeply shows its bottom, the roof's normal map, the
    // flowers, and the lamp's light on the path.
    {"above", 262, 40, 290, 45, 0, false},
    // A fern close up, its atlas cell and cut-outs, before the cottage's wall.
    {"fern", 216, 2, 284, 4, 42, false},
    // The quest lamp and its light, a fern with another atlas cell, a tree.
    {"lamp", 114, 3, 170, 1, 340, false},
    // Up into the sky box towards +x: the top face and the +x face above the fog band.
    {"sky", 400, 3, 300, -55, 90, false},
};

std::string rendererName() {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "";
}

class ReferenceFrames : public testing::Test {
protected:
    static void SetUpTestSuite() {
        setFrameStampSource([] { return std::llround(double(stamps++) * 1000.0 / 60.0); });
        game = new Game;
        game->startUp();
        game->setUpScene();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    static void TearDownTestSuite() {
        game->shutDown();
        delete game;
        game = nullptr;
        setFrameStampSource(nullptr);
    }

    // One frame of the real loop; the picture is read before the buffer swap.
    Picture drawFrame() {
        Picture frame;
        PhaseTimer::setListener([&](Phase phase, bool begin) {
            if (phase == Phase::GUI_SUBMIT && !begin) frame = readFramebuffer(Display::WIDTH, Display::HEIGHT);
        });
        PhaseTimer::enable(true);
        game->runFrame();
        PhaseTimer::enable(false);
        PhaseTimer::setListener(nullptr);
        return frame;
    }

    // Compares with the reference, or writes it when re-making the references.
    void check(const std::string& name, const Picture& actual) {
        const std::string reference = REFERENCE_DIR + name + ".png";
        const Picture expected = loadPicture(reference);
        const bool sameSize = expected.width == actual.width && expected.height == actual.height;
        if (updating) {
            ASSERT_TRUE(savePicture(reference, actual)) << reference;
            if (!sameSize) return;
            const Comparison change = compare(expected, actual, SAME_RENDERER);
            const std::string diffPath = OUTPUT_DIR + name + ".diff.png";
            savePicture(diffPath, change.diff);
            std::cout << name << ": " << change.failedTiles << " of " << change.tiles << " tiles changed, " << diffPath
                      << std::endl;
            return;
        }
        const std::string actualPath = OUTPUT_DIR + name + ".actual.png";
        if (!sameSize) {
            savePicture(actualPath, actual);
            ADD_FAILURE() << name << ": no reference of this size at " << reference << "; the frame is at "
                          << actualPath << " (scripts/references.sh makes the references)";
            return;
        }
        const Comparison result = compare(expected, actual, tolerance);
        if (result.failedTiles == 0) return;
        const std::string diffPath = OUTPUT_DIR + name + ".diff.png";
        savePicture(actualPath, actual);
        savePicture(diffPath, result.diff);
        ADD_FAILURE() << name << ": " << result.failedTiles << " of " << result.tiles << " tiles differ (largest step "
                      << result.largestStep << ")\n  reference " << reference << "\n  actual    " << actualPath
                      << "\n  diff      " << diffPath;
    }

    static Game* game;
    static std::int64_t stamps;
    bool updating = false;
    Tolerance tolerance = SAME_RENDERER;
};

Game* ReferenceFrames::game = nullptr;
std::int64_t ReferenceFrames::stamps = 0;

}

// One walk through the views in a fixed order from one start-up, so the frame count,
// and with it the head swing and the ripples' phase, is the same on every run.
TEST_F(ReferenceFrames, EveryViewMatchesItsReference) {
    std::filesystem::create_directories(OUTPUT_DIR);
    const char* update = std::getenv("WM_UPDATE_REFERENCES");
    updating = update && std::string(update) == "1";
    const std::string renderer = rendererName();
    if (updating) {
        std::ofstream(RENDERER_FILE) << renderer << "\n";
    } else {
        std::string recorded;
        std::getline(std::ifstream(RENDERER_FILE), recorded);
        if (recorded != renderer) {
            std::cout << "The references were made on \"" << recorded << "\"; this machine draws with \"" << renderer
                      << "\", so the tiles are compared with the looser tolerance." << std::endl;
            tolerance = OTHER_RENDERER;
        }
    }

    // The player stands at the start facing the first view, the face turned with it, and
    // the marker shows a clicked point beside it.
    Game& g = *game;
    const Vec3 start = g.startPosition;
    g.player->rotY = 200.0f;
    g.entities[Game::ENTITY_FACE]->setRotY(200.0f);
    g.entities[Game::ENTITY_MARKER]->setPosition(Vec3(184, g.terrain->heightAt(184, 382), 382));
    g.camera.target = nullptr;

    for (const View& view : VIEWS) {
        g.camera.position = Vec3(view.x, g.terrain->heightAt(view.x, view.z) + view.aboveGround, view.z);
        g.camera.pitch = view.pitch;
        g.camera.yaw = view.yaw;
        Picture mainPass;
        g.sceneRenderer()->setPassObserver([&](ScenePass pass) {
            if (view.withPasses && pass == ScenePass::MAIN) mainPass = readFramebuffer(Display::WIDTH, Display::HEIGHT);
        });
        const Picture frame = drawFrame();
        g.sceneRenderer()->setPassObserver(nullptr);
        check(view.name, frame);
        if (!view.withPasses) continue;
        const WaterTargets& targets = g.sceneRenderer()->getWaterTargets();
        check(std::string(view.name) + ".main", mainPass);
        check(std::string(view.name) + ".reflection",
              readTexture(targets.reflectionTexture, WaterTargets::REFLECTION_WIDTH, WaterTargets::REFLECTION_HEIGHT));
        check(std::string(view.name) + ".refraction",
              readTexture(targets.refractionTexture, WaterTargets::REFRACTION_WIDTH, WaterTargets::REFRACTION_HEIGHT));
    }
    EXPECT_EQ(g.player->getPosition(), start) << "nothing but the camera moved between the views";
}
