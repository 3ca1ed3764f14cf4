#include "assets/TestFiles.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

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
    EXPECT_NE(stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels), 0) << path;
    return path;
}

void prepareFatalChild() {
    if (!std::freopen("/dev/null", "r", stdin)) std::abort();
    std::fflush(stdout); // what the test program printed so far stays out of the message
    dup2(STDERR_FILENO, STDOUT_FILENO);
}
