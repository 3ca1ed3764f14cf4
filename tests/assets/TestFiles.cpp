#include "assets/TestFiles.h"

#include <gtest/gtest.h>

#include "support/TestData.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

std::string writeTextFile(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string writePng(const std::string& name, int width, int height, int channels,
                     const std::vector<unsigned char>& pixels) {
    const std::string path = testing::TempDir() + name;
    EXPECT_TRUE(writePngFile(path, width, height, channels, pixels)) << path;
    return path;
}

void prepareFatalChild() {
    if (!std::freopen("/dev/null", "r", stdin)) std::abort();
    std::fflush(stdout); // what the test program printed so far stays out of the message
    dup2(STDERR_FILENO, STDOUT_FILENO);
}
