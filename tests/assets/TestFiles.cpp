#include "assets/TestFiles.h"

#include <gtest/gtest.h>

#include "support/TestData.h"

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
