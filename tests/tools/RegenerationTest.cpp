// The committed data files must be exactly what the generator makes today: running it
// again into an empty folder reproduces every file byte for byte, and nothing else.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> fileNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) names.insert(entry.path().filename().string());
    return names;
}

class Regeneration : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/wm_regenerate_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        output = pattern;
    }
    void TearDown() override { fs::remove_all(output); }
    fs::path output;
};

TEST_F(Regeneration, GeneratorReproducesTheCommittedFilesExactly) {
    const std::string command = std::string("\"") + WM_GENERATOR_BINARY + "\" \"" + output.string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const fs::path committed = fs::path(WM_SOURCE_DIR);
    const std::set<std::string> generated = fileNames(output / "Resources");
    ASSERT_FALSE(generated.empty());
    EXPECT_EQ(generated, fileNames(committed / "Resources")) << "Resources/ must hold exactly the generated files";
    for (const std::string& name : generated)
        EXPECT_TRUE(readBytes(output / "Resources" / name) == readBytes(committed / "Resources" / name))
            << "Resources/" << name << " differs";
    ASSERT_TRUE(fs::exists(output / "docs" / "assets.png"));
    EXPECT_TRUE(readBytes(output / "docs" / "assets.png") == readBytes(committed / "docs" / "assets.png"))
        << "docs/assets.png differs";
}

}
