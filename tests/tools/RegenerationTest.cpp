// The committed data files must be exactly what the generator makes today: running it
// again into an empty folder reproduces every file byte for byte, and nothing else.

#include "assets/MipLevels.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::set<std::string> fileNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            names.insert(entry.path().filename().string());
    return names;
}

TEST(Regeneration, GeneratorReproducesTheCommittedFilesExactly) {
    char pattern[] = "/tmp/wm_regenerate_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path output = pattern;
    const std::string command = std::string("\"") + WM_GENERATOR_BINARY + "\" \"" + output.string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const fs::path committed = fs::path(WM_SOURCE_DIR);
    const std::set<std::string> generated = fileNames(output / "Resources");
    EXPECT_EQ(generated, fileNames(committed / "Resources")) << "Resources/ must hold exactly the generated files";
    for (const std::string& name : generated)
        EXPECT_TRUE(readFileBytes(output / "Resources" / name) == readFileBytes(committed / "Resources" / name))
            << "Resources/" << name << " differs";
    for (const char* name : {"docs/assets.png", "packaging/wm.png"})
        EXPECT_TRUE(readFileBytes(output / name) == readFileBytes(committed / name)) << name << " differs";
    fs::remove_all(output);
}

// Big-endian 32-bit value at `at`.
std::uint32_t readWord(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

// The game's images have power-of-two sides, so that building their mip-maps needs no
// new driver code. Textures are 256 or 512 square, sky faces must be, and each image
// holds the channels its shader reads: RGB unless listed here.
TEST(ResourceImages, ArePowerOfTwoImagesWithTheChannelsTheShadersRead) {
    const std::map<std::string, int> notRgb = {
        {"heightmap3.png", 1},     {"terrainLightMap.png", 1}, {"fern.png", 4},
        {"pcFaceTexture1.png", 4}, {"guiQuest.png", 4},        {"guiReadyButton.png", 4},
        {"guiResetButton.png", 4}, {"guiSpeech.png", 4},       {"guiFont.png", 4}};
    int images = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(WM_SOURCE_DIR) / "Resources")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png")
            continue;
        SCOPED_TRACE(name);
        ++images;
        const std::string file = readFileBytes(entry.path());
        ASSERT_GT(file.size(), 25u);
        const std::uint32_t width = readWord(file, 16), height = readWord(file, 20);
        EXPECT_TRUE(MipLevels::canHalve(int(width), int(height))) << width << " x " << height;
        const bool ownSize = name.rfind("gui", 0) == 0 || name == "white.png"; // GUI images keep their proportions
        EXPECT_TRUE(ownSize || (width == height && (width == 256 || width == 512))) << width << " x " << height;
        const int channelsOfColourType[] = {1, 0, 3, 0, 2, 0, 4};
        const int channels = channelsOfColourType[std::min<int>(file[25], 6)];
        EXPECT_EQ(channels, notRgb.count(name) ? notRgb.at(name) : 3);
    }
    EXPECT_GT(images, 20);
}

}
