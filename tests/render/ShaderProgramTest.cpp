#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const std::string DATA = std::string(WM_TEST_DATA) + "/shaders/";

// Fatal paths end the process: run them in a re-executed child whose stdout (where
// fatalError writes) goes to stderr for matching and whose stdin is empty.
void prepareFatalChild() {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
}

void routeFatalOutput() {
    std::freopen("/dev/null", "r", stdin);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

}

TEST(ShaderProgram, AllFiveGameProgramsBuildWithEveryUniformActive) {
    prepareFatalChild();
    EXPECT_EXIT(
        {
            routeFatalOutput();
            programs();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ShaderProgram, UniformRemovedByTheCompilerIsFatal) {
    prepareFatalChild();
    EXPECT_EXIT(
        {
            routeFatalOutput();
            requireGlContext();
            GuiShader shader(DATA + "unusedUniform.vert", DATA + "plain.frag");
        },
        testing::ExitedWithCode(69), "Uniform transformationMatrix not found in shader!");
}
