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
#include "world/Quest.h"

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
#include <utility>
#include <vector>

namespace {

const std::string REFERENCE_DIR = std::string(WM_SOURCE_DIR) + "/tests/reference/";
const std::string OUTPUT_DIR = std::string(WM_BUILD_DIR) + "/frames/";

constexpr int TILE = 16;                  // pixels
constexpr int DIFF_GAIN = 16;             // difference images show each step 16 times brighter
const unsigned char RED[3] = {255, 0, 0}; // frames failed tiles in difference images

// The largest channel difference a pixel may have and still match, how many pixels of a
// tile may go beyond it, and the largest mean channel difference of a tile.
struct Tolerance {
    int step, pixelsPerTile;
    double tileMean;
};
constexpr Tolerance SAME_RENDERER{2, 2, 255.0};
constexpr Tolerance OTHER_RENDERER{12, 20, 4.0};

// 8-bit RGB, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    unsigned char* at(int x, int y) { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

// The bound read framebuffer, or a texture when one is given; GL's rows run bottom to top.
Picture readGl(int width, int height, unsigned int texture = 0) {
    Picture picture{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    } else {
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    }
    for (int y = 0; y < height / 2; ++y) {
        std::swap_ranges(picture.at(0, y), picture.at(0, y + 1), picture.at(0, height - 1 - y));
    }
    return picture;
}

Picture loadPicture(const std::string& path) {
    Picture picture;
    int channels = 0;
    unsigned char* data = SOIL_load_image(path.c_str(), &picture.width, &picture.height, &channels, SOIL_LOAD_RGB);
    if (data)
        picture.rgb.assign(data, data + size_t(picture.width) * size_t(picture.height) * 3);
    SOIL_free_image_data(data);
    return picture;
}

// The diff shows each pixel's largest step magnified, failed tiles framed in red.
struct Comparison {
    int failedTiles, tiles, largestStep;
    Picture diff;
};

Comparison compare(Picture& expected, Picture& actual, const Tolerance& tolerance) {
    Comparison result{0, 0, 0, Picture{actual.width, actual.height, std::vector<unsigned char>(actual.rgb.size())}};
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
                    std::fill_n(result.diff.at(x, y), 3, (unsigned char)std::min(255, largest * DIFF_GAIN));
                }
            }
            ++result.tiles;
            const double mean = double(sum) / double((endX - tileX) * (endY - tileY) * 3);
            if (beyond <= tolerance.pixelsPerTile && mean <= tolerance.tileMean)
                continue;
            ++result.failedTiles;
            for (int y = tileY; y < endY; ++y) {
                for (int x = tileX; x < endX; ++x) {
                    const bool edge = x == tileX || y == tileY || x == endX - 1 || y == endY - 1;
                    if (edge)
                        std::copy_n(RED, 3, result.diff.at(x, y));
                }
            }
        }
    }
    return result;
}

// A fixed camera, set directly: the orbit camera cannot stand this low or look up.
// The eye at x, z and aboveGround (world units); pitch in degrees, positive looks down;
// yaw in degrees, 0 looks along -z, 90 along +x, 180 along +z; withPasses also keeps the
// main pass and the two water targets.
struct View {
    std::string name;
    float x, aboveGround, z, pitch, yaw;
    bool withPasses;
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

// Compares with the reference, or writes it when re-making the references.
void check(const std::string& name, Picture actual, bool updating, const Tolerance& tolerance) {
    const std::string reference = REFERENCE_DIR + name + ".png", actualPath = OUTPUT_DIR + name + ".actual.png",
                      diffPath = OUTPUT_DIR + name + ".diff.png";
    Picture expected = loadPicture(reference);
    const bool sameSize = expected.width == actual.width && expected.height == actual.height;
    if (updating) {
        ASSERT_TRUE(writePngFile(reference, actual.width, actual.height, 3, actual.rgb)) << reference;
    } else if (!sameSize) {
        writePngFile(actualPath, actual.width, actual.height, 3, actual.rgb);
        ADD_FAILURE() << name << ": no reference of this size at " << reference << "; the frame is at " << actualPath
                      << " (scripts/references.sh makes the references)";
    }
    if (!sameSize)
        return;
    const Comparison result = compare(expected, actual, updating ? SAME_RENDERER : tolerance);
    if (result.failedTiles == 0 && !updating)
        return;
    writePngFile(diffPath, actual.width, actual.height, 3, result.diff.rgb);
    if (updating) {
        std::cout << name << ": " << result.failedTiles << " of " << result.tiles << " tiles changed, " << diffPath
                  << std::endl;
        return;
    }
    writePngFile(actualPath, actual.width, actual.height, 3, actual.rgb);
    ADD_FAILURE() << name << ": " << result.failedTiles << " of " << result.tiles << " tiles differ (largest step "
                  << result.largestStep << ")\n  reference " << reference << "\n  actual    " << actualPath
                  << "\n  diff      " << diffPath;
}

}

// One walk through the views in a fixed order from one start-up, so the frame count, and
// with it the head swing and the ripples' phase, is the same on every run.
TEST(ReferenceFrames, EveryViewMatchesItsReference) {
    setFrameStampSource([frame = std::int64_t(0)]() mutable { return std::llround(double(frame++) * 1000.0 / 60.0); });
    Game g;
    g.startUp();
    g.setUpScene();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

    std::filesystem::create_directories(OUTPUT_DIR);
    const char* update = std::getenv("WM_UPDATE_REFERENCES");
    const bool updating = update && std::string(update) == "1";
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::string recorded;
    Tolerance tolerance = SAME_RENDERER;
    if (updating) {
        std::ofstream(REFERENCE_DIR + "renderer.txt") << renderer << "\n";
    } else if (std::getline(std::ifstream(REFERENCE_DIR + "renderer.txt"), recorded), recorded != renderer) {
        std::cout << "The references were made on \"" << recorded << "\"; this machine draws with \"" << renderer
                  << "\", so the tiles are compared with the looser tolerance." << std::endl;
        tolerance = OTHER_RENDERER;
    }
    const auto checkPicture = [&](const std::string& name, Picture actual) {
        check(name, std::move(actual), updating, tolerance);
    };

    // The player stands at the start facing the first view, the face turned with it, and
    // the marker shows a clicked point beside it.
    const Vec3 start = g.startPosition;
    g.player->rotY = 200.0f;
    g.entities[Game::ENTITY_FACE]->setRotY(200.0f);
    g.entities[Game::ENTITY_MARKER]->setPosition(Vec3(184, g.terrain->heightAt(184, 382), 382));
    g.camera.target = nullptr;

    // Each frame of the real loop is read before the buffer swap.
    Picture frame, mainPass;
    PhaseTimer::setListener([&](Phase phase, bool begin) {
        if (phase == Phase::GUI_SUBMIT && !begin)
            frame = readGl(Display::WIDTH, Display::HEIGHT);
    });
    PhaseTimer::enable(true);
    for (const View& view : VIEWS) {
        g.camera.position = Vec3(view.x, g.terrain->heightAt(view.x, view.z) + view.aboveGround, view.z);
        g.camera.pitch = view.pitch;
        g.camera.yaw = view.yaw;
        g.sceneRenderer()->setPassObserver([&](ScenePass pass, const EntityBatches&, const std::vector<Terrain*>&) {
            if (view.withPasses && pass == ScenePass::MAIN)
                mainPass = readGl(Display::WIDTH, Display::HEIGHT);
        });
        g.runFrame();
        checkPicture(view.name, frame);
        g.sceneRenderer()->setPassObserver(nullptr);
        if (!view.withPasses)
            continue;
        const WaterTargets& targets = g.sceneRenderer()->getWaterTargets();
        checkPicture(view.name + ".main", mainPass);
        checkPicture(view.name + ".reflection", readGl(WaterTargets::REFLECTION_WIDTH, WaterTargets::REFLECTION_HEIGHT,
                                                       targets.reflectionTexture));
        checkPicture(view.name + ".refraction", readGl(WaterTargets::REFRACTION_WIDTH, WaterTargets::REFRACTION_HEIGHT,
                                                       targets.refractionTexture));
    }
    // Last, so the views above see no panel: the start camera, the owner's reminder over it.
    g.camera.target = g.cameraAnchor;
    g.camera.pitch = 45.0f;
    g.say(Quest::REMINDER);
    g.runFrame();
    checkPicture("speech", frame);

    PhaseTimer::enable(false);
    PhaseTimer::setListener(nullptr);
    EXPECT_EQ(g.player->getPosition(), start) << "nothing but the camera moved between the views";
    g.shutDown();
    setFrameStampSource(nullptr);
}
