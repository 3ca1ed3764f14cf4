#include "app/Display.h"
#include "app/FatalError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// Each case runs in a re-executed child of this test program ("threadsafe" death tests).
// In the child: standard input holds `answer` and then ends, and standard output, where
// fatalError writes, goes to the standard error that EXPECT_EXIT matches.
void startChild(const char* answer) {
    int fds[2];
    if (pipe(fds) != 0 || write(fds[1], answer, std::strlen(answer)) < 0) std::abort();
    close(fds[1]);
    dup2(fds[0], STDIN_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

}

// An answered prompt is checked on the real game with broken data.
TEST(FatalError, PromptsAndExitsWith69EvenOnEmptyInput) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT({ startChild(""); fatalError("Something is wrong!"); }, testing::ExitedWithCode(FATAL_EXIT_CODE),
                "Something is wrong!\nEnter any key to quit\\.\\.\\.$");
}

TEST(Display, AWindowThatCannotBeMadeIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT({ startChild("x\n"); setenv("SDL_VIDEODRIVER", "no_such_driver", 1); Display().create("WM"); },
                testing::ExitedWithCode(FATAL_EXIT_CODE), "SDL Window could not be created!\nEnter any key to quit");
}
