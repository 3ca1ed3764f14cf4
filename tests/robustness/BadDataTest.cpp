// The real game started on broken data files, one replaced file at a time. Every case
// must end in the game's own words: a fatal message naming the file and exit code 69
// after the prompt is answered, or, for images it can do without, one warning line and
// a game that goes on playing and quits cleanly on Escape. Never a signal or a hang.
#include "app/HeapTuning.h"
#include "robustness/GameProcess.h"
#include "robustness/ScratchGame.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Start-up takes a second or two; sanitizer builds are several times slower.
constexpr double START_SECONDS = 45.0, EXIT_SECONDS = 20.0;
constexpr int FPS_LINES = 4; // two seconds of frames
const std::string PROMPT = "Enter any key to quit...";
// Address space for the cases that run the game short of memory: the game itself
// needs about 450 MB (see GameProcess), so a few hundred more are left for loading.
constexpr size_t MEGABYTE = size_t(1) << 20, MEMORY_LIMIT = 600 * MEGABYTE;

using Maker = std::function<void(const fs::path&)>;

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const Maker nothing = [](const fs::path&) {};
const Maker directory = [](const fs::path& path) { fs::create_directory(path); };
// Opening a FIFO waits for a writer that never comes.
const Maker fifo = [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); };
// A link to a device that never ends.
const Maker endless = [](const fs::path& path) { fs::create_symlink("/dev/zero", path); };

Maker text(std::string content) {
    return [content](const fs::path& path) { writeBytes(path, content); };
}

Maker greyPng(int width, int height, int channels = 1) {
    const std::vector<unsigned char> pixels(size_t(width) * height * channels, 128);
    return [=](const fs::path& path) { ASSERT_TRUE(writePngFile(path, width, height, channels, pixels)); };
}

// The repository's file changed by `edit` before it is written.
Maker edited(std::string relativePath, std::function<void(std::string&)> edit) {
    return [=](const fs::path& path) {
        std::string bytes = readFileBytes(fs::path(WM_SOURCE_DIR) / relativePath);
        edit(bytes);
        writeBytes(path, bytes);
    };
}

Maker truncated(std::string path) {
    return edited(path, [](std::string& bytes) { bytes.resize(bytes.size() / 2); });
}

// The zlib header of the first image-data chunk destroyed.
Maker corrupt(std::string relativePath) {
    return edited(relativePath, [](std::string& bytes) {
        const size_t chunk = bytes.find("IDAT");
        ASSERT_NE(chunk, std::string::npos);
        bytes[chunk + 4] = bytes[chunk + 5] = '\xff';
    });
}

// A PNG header that claims another size; the decoder sizes its buffer from the header
// before it reads any pixels.
Maker claimedSize(std::string relativePath, unsigned width, unsigned height) {
    return edited(relativePath, [=](std::string& bytes) {
        ASSERT_EQ(bytes.substr(12, 4), "IHDR");
        for (int i = 0; i < 4; ++i) {
            bytes[size_t(16 + i)] = char(width >> (24 - 8 * i));
            bytes[size_t(20 + i)] = char(height >> (24 - 8 * i));
        }
    });
}

// head, then line `count` times, then tail.
Maker repeated(std::string head, std::string line, size_t count, std::string tail) {
    return [=](const fs::path& path) {
        std::ofstream file(path, std::ios::binary);
        file << head;
        for (size_t i = 0; i < count; ++i)
            file << line;
        file << tail;
    };
}

// Three corners, one texture coordinate and one normal: lines 1 to 5.
const std::string OBJ_LISTS = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
const std::string TREE = "Resources/tree.obj", COTTAGE = "Resources/cottage.obj", HEIGHTS = "Resources/heightmap3.png",
                  MUD = "Resources/mud.png", FONT = "Resources/guiFont.png";

Maker objWithFace(const std::string& face) {
    return text(OBJ_LISTS + face + "\n");
}

// A GUI vertex shader with the given output declaration and body of main.
Maker guiVertexShader(const std::string& outDeclaration, const std::string& body) {
    return text("#version 330\nin vec2 position;\n" + outDeclaration +
                "uniform mat4 transformationMatrix;\nvoid main(void) {\n" + body + "}\n");
}

struct Case {
    std::string name;
    std::string file; // relative to the game's folder
    Maker make;
    std::vector<std::string> message; // fatal cases: pieces the fatal line must hold
    std::string errors = "";          // the whole error stream, as a regular expression
    size_t memoryLimit = 0;           // address space for the game in bytes, 0 for none
};

std::string warning(const std::string& file, const std::string& why = "[^\n]+") {
    return "Warning: could not load image " + file + ": " + why + "\n";
}

// Files the game cannot open, each in the three ways a player's folder can break.
void addUnopenable(std::vector<Case>& cases, const std::string& tag, const std::string& file, bool viaFifo) {
    const std::string fatal = "Failed to open " + file;
    cases.push_back({tag + "Missing", file, nothing, {fatal}, file + ": No such file or directory\n"});
    cases.push_back({tag + "IsADirectory", file, directory, {fatal}, file + ": Is a directory\n"});
    cases.push_back({tag + (viaFifo ? "IsAFifo" : "IsEndless"),
                     file,
                     viaFifo ? fifo : endless,
                     {fatal},
                     file + ": Not a regular file\n"});
}

std::vector<Case> fatalCases() {
    std::vector<Case> cases = {
        {"ObjCornerWithTwoIndices", TREE, objWithFace("f 1/1 2/1/1 3/1/1"), {TREE + ":6:", "1/1", "three indices"}},
        {"ObjIndexNotANumber", TREE, objWithFace("f a/1/1 2/1/1 3/1/1"), {TREE + ":6:", "a/1/1", "not a number"}},
        {"ObjCoordinateNotANumber", TREE, text("v 0 zero 0\n" + OBJ_LISTS), {TREE + ":1:", "zero", "not a number"}},
        {"ObjIndexZero", TREE, objWithFace("f 1/1/1 0/1/1 3/1/1"), {TREE + ":6:", "0", "not positive"}},
        {"ObjPositionPastItsList", TREE, objWithFace("f 1/1/1 2/1/1 4/1/1"), {TREE + ":6:", "4", "past"}},
        {"ObjPositionAfterTheFirstFace",
         TREE,
         objWithFace("f 1/1/1 2/1/1 3/1/1\nv 1 1 1"),
         {TREE + ":7:", "first face"}},
        {"HeightMapNotSquare", HEIGHTS, greyPng(64, 32), {HEIGHTS, "not square"}},
        {"HeightMapOnePixel", HEIGHTS, greyPng(1, 1), {HEIGHTS, "2 x 2"}},
        {"HeightMapCorrupt", HEIGHTS, corrupt(HEIGHTS), {HEIGHTS}},
        {"HeightMapTooLarge", HEIGHTS, greyPng(2049, 2049), {HEIGHTS, "larger than 2048 x 2048"}},
        {"HeightMapIsAFifo", HEIGHTS, fifo, {HEIGHTS, "Not a regular file"}},
        {"ShaderDoesNotCompile",
         "Shaders/entityVertexShader.vert",
         text("#version 330\nvoid main(void) {\n    gl_Position = vec4(1.0) +;\n}\n"),
         {"Shader Shaders/entityVertexShader.vert failed to compile!"}},
        {"ShadersDoNotLink",
         "Shaders/guiVertexShader.vert",
         guiVertexShader("out vec3 textureCoords;\n", "gl_Position = transformationMatrix * vec4(position, 0.0, 1.0);\n"
                                                      "textureCoords = vec3(position, 0.0);\n"),
         {"Shaders failed to link!"}},
        {"ShaderLacksAUsedUniform",
         "Shaders/guiVertexShader.vert",
         guiVertexShader("out vec2 textureCoords;\n",
                         "gl_Position = vec4(position, 0.0, 1.0);\ntextureCoords = position;\n"),
         {"Uniform transformationMatrix not found in shader!"}},
        {"CottageNotImportable",
         COTTAGE,
         edited("Resources/shack2.png", [](std::string& b) { b.resize(4096); }),
         {COTTAGE}},
        {"CottageWithoutTextureCoordinates",
         COTTAGE,
         text("v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n"),
         {COTTAGE, "texture coordinates"}},
        // Short of memory: 100 MB of positions, and headers that claim a huge image.
        {"ObjNeedsMoreThanTheMemory",
         TREE,
         repeated("", "v 0 0 0\n", 100 * MEGABYTE / 8, "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n"),
         {"Ran out of memory loading " + TREE},
         "",
         MEMORY_LIMIT},
        // Assimp catches the allocation failure itself: five million faces of about 100 bytes each.
        {"CottageNeedsMoreThanTheMemory",
         COTTAGE,
         repeated("v 0 0 0\n", "f 1 1 1\n", 5 * 1000 * 1000, ""),
         {"Ran out of memory loading " + COTTAGE},
         "",
         MEMORY_LIMIT},
        {"TextureClaimsMoreThanTheMemory",
         MUD,
         claimedSize(MUD, 12000, 12000),
         {"Ran out of memory loading " + MUD},
         "",
         MEMORY_LIMIT},
        {"HeightMapClaimsMoreThanTheMemory",
         HEIGHTS,
         claimedSize(HEIGHTS, 30000, 30000),
         {"Ran out of memory loading " + HEIGHTS},
         "",
         MEMORY_LIMIT},
    };
    addUnopenable(cases, "Obj", TREE, true);
    addUnopenable(cases, "Cottage", COTTAGE, true);
    addUnopenable(cases, "Shader", "Shaders/guiFragmentShader.frag", false);
    return cases;
}

const std::vector<Case> runningCases = {
    {"TextureTruncated", MUD, truncated(MUD), {}, warning(MUD)},
    {"TextureIsADirectory", MUD, directory, {}, warning(MUD)},
    {"TextureIsEndless", MUD, endless, {}, warning(MUD)},
    {"TextureTooWideForGl", MUD, greyPng(40000, 1), {}, warning(MUD, "40000 x 1 pixels, more than [^\n]+")},
    {"TextureMissing", "Resources/guiQuest.png", nothing, {}, warning("Resources/guiQuest.png")},
    {"CubeMapFaceIsAFifo", "Resources/skyboxLeft.png", fifo, {}, warning("Resources/skyboxLeft.png")},
    // GL takes only square faces of one size: say so instead of a black sky.
    {"CubeMapFaceOfAnotherSize",
     "Resources/skyboxBack.png",
     greyPng(64, 64, 3),
     {},
     warning("Resources/skyboxBack.png", "[^\n]*64 x 64[^\n]*512[^\n]*")},
    {"CubeMapFaceNotSquare",
     "Resources/skyboxRight.png",
     greyPng(64, 32, 3),
     {},
     warning("Resources/skyboxRight.png", "[^\n]*square")},
    // Without its glyph atlas the game plays on with its lines on the console only.
    {"AtlasMissing", FONT, nothing, {}, warning(FONT)},
    {"AtlasTruncated", FONT, truncated(FONT), {}, warning(FONT)},
    {"AtlasTooWideForGl", FONT, greyPng(40000, 1), {}, warning(FONT, "40000 x 1 pixels, more than [^\n]+")},
    {"AtlasOfNoWholeCells",
     FONT,
     greyPng(30, 20),
     {},
     "Warning: " + FONT + " is no glyph atlas \\(30 x 20 pixels\\)[^\n]+\n"},
    // A model without faces is valid: it draws nothing and says nothing.
    {"ObjWithoutFaces", TREE, text(OBJ_LISTS), {}, ""},
    {"SmallestHeightMap", HEIGHTS, greyPng(2, 2), {}, ""},
    // A model's memory follows its lines, not its size: 64 MB of comments cost nothing.
    {"ObjOfOneTriangleInLongComments",
     TREE,
     repeated(OBJ_LISTS + "f 1/1/1 2/1/1 3/1/1\n", "#" + std::string(1022, 'x') + "\n", 64 * 1024, ""),
     {},
     "",
     MEMORY_LIMIT},
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// Starts the game on the case's data; the error stream is checked when the test ends.
class BadData : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        // AddressSanitizer, which keeps its own heap, reserves terabytes of address space
        // up front: such a build cannot start under any limit.
        if (GetParam().memoryLimit != 0 && !canTuneHeap())
            GTEST_SKIP() << "the release build runs this case";
        GetParam().make(scratch.replace(GetParam().file));
        game.emplace(scratch.folder, scratch.root, GetParam().memoryLimit);
    }
    void TearDown() override {
        if (!game)
            return;
        const std::string errors = game->errors();
        EXPECT_TRUE(std::regex_match(errors, std::regex(GetParam().errors)))
            << "error stream:\n"
            << errors << "\nwanted: " << GetParam().errors;
    }
    std::string state() {
        return "exit " + std::to_string(game->waitForExit(0)) + "\n" + game->output() + game->errors();
    }

    ScratchGame scratch;
    std::optional<GameProcess> game;
};
class FatalData : public BadData {};
class RecoverableData : public BadData {};

}

TEST_P(FatalData, EndsWithItsMessageAndCode69) {
    ASSERT_TRUE(game->waitForOutput(PROMPT, START_SECONDS)) << "no prompt; " << state();
    EXPECT_EQ(game->waitForExit(0.3), GameProcess::RUNNING) << "it should wait for an answer";
    game->answer("1\n");
    EXPECT_EQ(game->waitForExit(EXIT_SECONDS), 69);

    std::string out = game->output();
    ASSERT_TRUE(out.size() > PROMPT.size() && out.substr(out.size() - PROMPT.size() - 1) == "\n" + PROMPT) << out;
    out.resize(out.size() - PROMPT.size() - 1);
    const std::string message = out.substr(out.rfind('\n') + 1);
    for (const std::string& piece : GetParam().message) {
        EXPECT_NE(message.find(piece), std::string::npos) << "message: " << message << "\nwanted: " << piece;
    }
}

TEST_P(RecoverableData, KeepsPlayingAndQuitsCleanly) {
    // Frame-rate lines come only from a running frame loop.
    ASSERT_TRUE(game->keys("F2")) << "no window; " << state();
    ASSERT_TRUE(game->waitForOutput(" fps\n", START_SECONDS, FPS_LINES)) << state();
    EXPECT_EQ(game->output().find(PROMPT), std::string::npos);
    // A fast game closes its window on the key press, before xdotool sends the release,
    // and xdotool then reports an error: the exit code alone tells whether Escape worked.
    game->keys("Escape");
    EXPECT_EQ(game->waitForExit(EXIT_SECONDS), 0);
}

INSTANTIATE_TEST_SUITE_P(BadData, FatalData, testing::ValuesIn(fatalCases()), caseName);
INSTANTIATE_TEST_SUITE_P(BadData, RecoverableData, testing::ValuesIn(runningCases), caseName);
