// GL errors fail GL tests, and the whole scene draws without one.
#include "app/AppTestSupport.h"
#include "app/FrameClock.h"
#include "app/Game.h"
#include "render/GlDebug.h"
#include "robustness/GameProcess.h"
#include "support/TestData.h"
#include "robustness/OwnDisplay.h"
#include "support/GlContext.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int FRAMES_PER_STEP = 3;

std::vector<std::string>& seenErrors() {
    static std::vector<std::string> seen;
    return seen;
}

// Reports of the current context also go to seenErrors(); the recorder is added once.
void recordErrors() {
    static bool added = false;
    if (added) {
        enableGlErrorChecks(nullptr);
        return;
    }
    added = true;
    enableGlErrorChecks([](const std::string& message) { seenErrors().push_back(message); });
}

void provokeInvalidEnum() {
    glEnable(GLenum(0xFFFF));
}

}

TEST(GlErrors, AnErrorFailsTheTestThatMadeIt) {
    requireGlContext();
    recordErrors();
    seenErrors().clear();
    EXPECT_NONFATAL_FAILURE(provokeInvalidEnum(), "GL error 0x");
    ASSERT_EQ(seenErrors().size(), 1u);
    EXPECT_NE(seenErrors()[0].find("GL error 0x"), std::string::npos);
    takeGlError();
}

TEST(GlErrors, FramesOfTheWholeSceneWithEverySwitchMakeNone) {
    // The game's window on a server of its own: other tests look for windows named WM.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        setenv("DISPLAY", ownDisplay().c_str(), 1);
    }
    std::int64_t stamp = 0;
    setFrameStampSource([&stamp] { return stamp++ * 1000 / 60; });
    Game game;
    testing::internal::CaptureStdout();
    game.openWindow();
    recordErrors();
    seenErrors().clear();
    const bool checked = glErrorChecksActive();
    game.buildShaders();
    game.setUpScene();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (int i = 0; i < FRAMES_PER_STEP; ++i) {
        game.runFrame();
    }
    // Wireframe, sampling, mip-mapping, blending, each on and off again; help in between.
    for (const SDL_Keycode key : {SDLK_F3, SDLK_F4, SDLK_F5, SDLK_F9, SDLK_F1, SDLK_F3, SDLK_F4, SDLK_F5, SDLK_F9}) {
        tap(key);
        for (int i = 0; i < FRAMES_PER_STEP; ++i) {
            game.runFrame();
        }
    }
    game.shutDown();
    const std::string out = testing::internal::GetCapturedStdout();
    setFrameStampSource(nullptr);

    EXPECT_TRUE(checked);
    EXPECT_EQ(occurrences(out, "Transparency switched."), 4) << out;
    EXPECT_TRUE(seenErrors().empty()) << seenErrors().front();
}
