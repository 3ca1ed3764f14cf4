#include "AppTestSupport.h"

#include "app/FatalError.h"

#include <gtest/gtest.h>

// An answered prompt is checked on the real game with broken data.
TEST(FatalError, PromptsAndExitsWith69EvenOnEmptyInput) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startChild("");
            fatalError("Something is wrong!");
        },
        testing::ExitedWithCode(FATAL_EXIT_CODE), "Something is wrong!\nEnter any key to quit\\.\\.\\.$");
}
