#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

// The game's own five programs need no case of their own: every GL fixture here builds
// them first, and a uniform the compiler dropped would end the whole test program.
TEST(ShaderProgram, UniformRemovedByTheCompilerIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string data = std::string(WM_TEST_DATA) + "/shaders/";
    EXPECT_EXIT(
        {
            // fatalError writes to stdout and waits on stdin: match on stderr, answer nothing.
            std::freopen("/dev/null", "r", stdin);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            requireGlContext();
            GuiShader shader(data + "unusedUniform.vert", data + "plain.frag");
        },
        testing::ExitedWithCode(69), "Uniform transformationMatrix not found in shader!");
}
