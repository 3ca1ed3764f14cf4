// GL errors fail GL tests, and the whole scene draws without one.
#include "app/AppTestSupport.h"
#include "app/FrameClock.h"
#include "app/Game.h"
#include "render/GlDebug.h"
#include "robustness/OwnDisplay.h"
#include "support/GlContext.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> seenErrors;

// Reports of the current context go to seenErrors; handlers are process-wide, so it is added once.
bool recordErrors() {
    static bool added = false;
    if (std::exchange(added, true))
        return enableGlErrorChecks(nullptr);
    return enableGlErrorChecks([](const std::string& message) { seenErrors.push_back(message); });
}

}

TEST(GlErrors, AnErrorFailsTheTestThatMadeIt) {
    requireGlContext();
    EXPECT_NONFATAL_FAILURE(glEnable(GLenum(0xFFFF)), "GL error 0x");
    takeGlError();
}

TEST(GlErrors, FramesOfTheWholeSceneWithEverySwitchMakeNone) {
    // The game's window on a server of its own: other tests look for windows named WM.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        setenv("DISPLAY", ownDisplay().c_str(), 1);
    std::int64_t stamp = 0;
    setFrameStampSource([&stamp] { return stamp++ * 1000 / 60; });
    Game game;
    testing::internal::CaptureStdout();
    game.openWindow();
    seenErrors.clear();
    EXPECT_TRUE(recordErrors());
    game.buildShaders();
    game.setUpScene();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    // Wireframe, sampling, mip-mapping, blending, each on and off again; help in between.
    for (const SDL_Keycode key :
         {SDLK_UNKNOWN, SDLK_F3, SDLK_F4, SDLK_F5, SDLK_F9, SDLK_F1, SDLK_F3, SDLK_F4, SDLK_F5, SDLK_F9}) {
        if (key != SDLK_UNKNOWN)
            tap(key);
        for (int i = 0; i < 3; ++i)
            game.runFrame();
    }
    game.shutDown();
    const std::string out = testing::internal::GetCapturedStdout();
    setFrameStampSource(nullptr);
    EXPECT_EQ(occurrences(out, "Transparency switched."), 4) << out;
    EXPECT_TRUE(seenErrors.empty()) << seenErrors.front();
}
