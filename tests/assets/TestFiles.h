#pragma once
// Files written by the asset tests into the test temp folder; each returns the path written.

#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

inline std::string writeTextFile(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string writePng(const std::string& name, int width, int height, int channels,
                            const std::vector<unsigned char>& pixels) {
    const std::string path = testing::TempDir() + name;
    EXPECT_TRUE(writePngFile(path, width, height, channels, pixels)) << path;
    return path;
}
