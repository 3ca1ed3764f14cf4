// A directory where a data file belongs opens like a file on Linux and reads as
// nothing (or, asked for its size, as 2^63 bytes). The readers must refuse it as a file
// they cannot open, not crash on it or load it as an empty model or shader.
#include "assets/ModelLoader.h"
#include "assets/ObjParser.h"
#include "render/ShaderProgram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class DirectoryInput : public testing::Test {
protected:
    // The same path in a death test's re-run child.
    void SetUp() override {
        fs::create_directories(directory);
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }

    const std::string directory = testing::TempDir() + "wm-directory-input";
};

// fatalError prints on standard output and then reads standard input: a death test
// sees only the error stream and must not wait.
void routeFatalOutput() {
    if (!std::freopen("/dev/null", "r", stdin)) {
        std::_Exit(2);
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

}

TEST_F(DirectoryInput, TheObjParserDoesNotReadADirectory) {
    ObjParseResult result;
    EXPECT_FALSE(parseObjFile(directory, result));
}

TEST_F(DirectoryInput, AnObjModelThatIsADirectoryEndsStartUp) {
    EXPECT_EXIT(
        {
            routeFatalOutput();
            ModelLoader loader;
            readObjModel(directory, loader);
            std::exit(0);
        },
        testing::ExitedWithCode(69), "Failed to open " + directory);
}

TEST_F(DirectoryInput, AShaderSourceThatIsADirectoryCannotBeRead) {
    std::string source = "untouched";
    EXPECT_FALSE(ShaderProgram::readSource(directory, source));
}
