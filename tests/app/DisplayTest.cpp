#include "AppTestSupport.h"

#include "app/Display.h"
#include "app/FatalError.h"

#include <gtest/gtest.h>

TEST(Display, AWindowThatCannotBeMadeIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startChild("x\n");
            setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
            Display().create("WM");
        },
        testing::ExitedWithCode(FATAL_EXIT_CODE), "SDL Window could not be created!\nEnter any key to quit");
}
