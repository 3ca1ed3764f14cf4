// The real game started on broken data files, one replaced file at a time. Every case
// must end in the game's own words: a fatal message naming the file and exit code 69
// after the prompt is answered, or, for images it can do without, one warning line and
// a game that goes on playing and quits cleanly on Escape. Never a signal or a hang.
#include "robustness/GameProcess.h"
#include "robustness/ScratchGame.h"

#include <gtest/gtest.h>

#include "support/TestData.h"

#include <fstream>
#include <functional>
#include <regex.h>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Start-up takes a second or two; sanitizer builds are several times slower.
constexpr double START_SECONDS = 45.0;
constexpr double EXIT_SECONDS = 20.0;
constexpr int FPS_LINES = 4; // two seconds of frames
const std::string PROMPT = "Enter any key to quit...";

using Maker = std::function<void(const fs::path&)>;

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

fs::path original(const std::string& relativePath) {
    return fs::path(WM_SOURCE_DIR) / relativePath;
}

Maker nothing() {
    return [](const fs::path&) {};
}

Maker directory() {
    return [](const fs::path& path) { fs::create_directory(path); };
}

// Opening a FIFO waits for a writer that never comes.
Maker fifo() {
    return [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); };
}

// A link to a device that never ends.
Maker endless() {
    return [](const fs::path& path) { fs::create_symlink("/dev/zero", path); };
}

Maker text(std::string content) {
    return [content](const fs::path& path) { writeBytes(path, content); };
}

Maker greyPng(int width, int height, int channels = 1) {
    return [width, height, channels](const fs::path& path) {
        const std::vector<unsigned char> pixels(size_t(width) * height * channels, 128);
        ASSERT_TRUE(writePngFile(path, width, height, channels, pixels));
    };
}

// The first half of the repository's file.
Maker truncated(std::string relativePath) {
    return [relativePath](const fs::path& path) {
        const std::string bytes = readFileBytes(original(relativePath));
        writeBytes(path, bytes.substr(0, bytes.size() / 2));
    };
}

// The first bytes of another kind of file: binary data where text is expected.
Maker prefix(std::string relativePath, size_t bytes) {
    return [relativePath, bytes](const fs::path& path) {
        writeBytes(path, readFileBytes(original(relativePath)).substr(0, bytes));
    };
}

// The repository's file with the zlib header of its first image-data chunk destroyed.
Maker corrupt(std::string relativePath) {
    return [relativePath](const fs::path& path) {
        std::string bytes = readFileBytes(original(relativePath));
        const size_t chunk = bytes.find("IDAT");
        ASSERT_NE(chunk, std::string::npos);
        bytes[chunk + 4] = '\xff';
        bytes[chunk + 5] = '\xff';
        writeBytes(path, bytes);
    };
}

// The repository's PNG with a header that claims another size; the decoder sizes its
// buffer from the header before it reads any pixels.
Maker claimedSize(std::string relativePath, unsigned width, unsigned height) {
    return [relativePath, width, height](const fs::path& path) {
        std::string bytes = readFileBytes(original(relativePath));
        ASSERT_EQ(bytes.substr(12, 4), "IHDR");
        for (int i = 0; i < 4; ++i) {
            bytes[size_t(16 + i)] = char(width >> (24 - 8 * i));
            bytes[size_t(20 + i)] = char(height >> (24 - 8 * i));
        }
        writeBytes(path, bytes);
    };
}

// head, then line `count` times, then tail.
Maker repeated(std::string head, std::string line, size_t count, std::string tail) {
    return [head, line, count, tail](const fs::path& path) {
        std::ofstream file(path, std::ios::binary);
        file << head;
        for (size_t i = 0; i < count; ++i) file << line;
        file << tail;
    };
}

// Three corners, one texture coordinate and one normal: lines 1 to 5.
const std::string OBJ_LISTS = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
const std::string OBJ_TRIANGLE = OBJ_LISTS + "f 1/1/1 2/1/1 3/1/1\n";

// Address space for the cases that run the game short of memory: the game itself
// needs about 450 MB (see GameProcess), so a few hundred more are left for loading.
constexpr size_t MEMORY_LIMIT = size_t(600) << 20;
constexpr size_t MEGABYTE = size_t(1) << 20;

// AddressSanitizer reserves terabytes of address space up front, so a build with it
// cannot start under any such limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ADDRESS_SANITIZER = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool ADDRESS_SANITIZER = true;
#else
constexpr bool ADDRESS_SANITIZER = false;
#endif
#else
constexpr bool ADDRESS_SANITIZER = false;
#endif

Maker objWithFace(const std::string& face) {
    return text(OBJ_LISTS + face + "\n");
}

// A GUI vertex shader with the given output declaration and body of main.
std::string guiVertexShader(const std::string& outDeclaration, const std::string& body) {
    return "#version 330\nin vec2 position;\n" + outDeclaration +
           "uniform mat4 transformationMatrix;\nvoid main(void) {\n" + body + "}\n";
}

struct FatalCase {
    std::string name;
    std::string file;  // relative to the game's folder
    Maker make;
    std::vector<std::string> message; // pieces the fatal line must hold
    std::string errors = "";          // the whole error stream, as an extended regular expression
    size_t memoryLimit = 0;           // address space for the game in bytes, 0 for none
};

struct RunningCase {
    std::string name;
    std::string file;
    Maker make;
    std::string errors; // the whole error stream, as an extended regular expression
    size_t memoryLimit = 0;
};

std::string warning(const std::string& file) {
    return "Warning: could not load image " + file + ": [^\n]+\n";
}

std::string systemError(const std::string& file, const std::string& text) {
    return file + ": " + text + "\n";
}

const std::vector<FatalCase>& fatalCases() {
    static const std::vector<FatalCase> cases = {
        {"ObjCornerWithTwoIndices", "Resources/tree.obj", objWithFace("f 1/1 2/1/1 3/1/1"),
         {"Resources/tree.obj:6:", "1/1", "three indices"}},
        {"ObjIndexNotANumber", "Resources/tree.obj", objWithFace("f a/1/1 2/1/1 3/1/1"),
         {"Resources/tree.obj:6:", "a/1/1", "not a number"}},
        {"ObjCoordinateNotANumber", "Resources/tree.obj", text("v 0 zero 0\n" + OBJ_LISTS),
         {"Resources/tree.obj:1:", "zero", "not a number"}},
        {"ObjIndexZero", "Resources/tree.obj", objWithFace("f 1/1/1 0/1/1 3/1/1"),
         {"Resources/tree.obj:6:", "0", "not positive"}},
        {"ObjPositionPastItsList", "Resources/tree.obj", objWithFace("f 1/1/1 2/1/1 4/1/1"),
         {"Resources/tree.obj:6:", "4", "past"}},
        {"ObjPositionAfterTheFirstFace", "Resources/tree.obj", objWithFace("f 1/1/1 2/1/1 3/1/1\nv 1 1 1"),
         {"Resources/tree.obj:7:", "first face"}},
        {"ObjIsADirectory", "Resources/tree.obj", directory(), {"Failed to open Resources/tree.obj"},
         systemError("Resources/tree.obj", "Is a directory")},
        {"ObjIsAFifo", "Resources/tree.obj", fifo(), {"Failed to open Resources/tree.obj"},
         systemError("Resources/tree.obj", "Not a regular file")},
        {"ObjMissing", "Resources/tree.obj", nothing(), {"Failed to open Resources/tree.obj"},
         systemError("Resources/tree.obj", "No such file or directory")},

        {"HeightMapNotSquare", "Resources/heightmap3.png", greyPng(64, 32),
         {"Resources/heightmap3.png", "not square"}},
        {"HeightMapOnePixel", "Resources/heightmap3.png", greyPng(1, 1), {"Resources/heightmap3.png", "2 x 2"}},
        {"HeightMapCorrupt", "Resources/heightmap3.png", corrupt("Resources/heightmap3.png"),
         {"Resources/heightmap3.png"}},
        {"HeightMapIsADirectory", "Resources/heightmap3.png", directory(), {"Resources/heightmap3.png"}},
        {"HeightMapTooLarge", "Resources/heightmap3.png", greyPng(2049, 2049),
         {"Resources/heightmap3.png", "larger than 2048 x 2048"}},
        {"HeightMapIsAFifo", "Resources/heightmap3.png", fifo(), {"Resources/heightmap3.png", "Not a regular file"}},
        {"HeightMapMissing", "Resources/heightmap3.png", nothing(), {"Resources/heightmap3.png"}},

        {"ShaderMissing", "Shaders/guiFragmentShader.frag", nothing(),
         {"Failed to open Shaders/guiFragmentShader.frag"},
         systemError("Shaders/guiFragmentShader.frag", "No such file or directory")},
        {"ShaderIsADirectory", "Shaders/guiFragmentShader.frag", directory(),
         {"Failed to open Shaders/guiFragmentShader.frag"},
         systemError("Shaders/guiFragmentShader.frag", "Is a directory")},
        {"ShaderIsEndless", "Shaders/guiFragmentShader.frag", endless(),
         {"Failed to open Shaders/guiFragmentShader.frag"},
         systemError("Shaders/guiFragmentShader.frag", "Not a regular file")},
        {"ShaderEmpty", "Shaders/entityFragmentShader.frag", text(""),
         {"Shaders/entityFragmentShader.frag", "compile"}},
        {"ShaderDoesNotCompile", "Shaders/entityVertexShader.vert",
         text("#version 330\nvoid main(void) {\n    gl_Position = vec4(1.0) +;\n}\n"),
         {"Shader Shaders/entityVertexShader.vert failed to compile!"}},
        {"ShadersDoNotLink", "Shaders/guiVertexShader.vert",
         text(guiVertexShader("out vec3 textureCoords;\n",
                              "gl_Position = transformationMatrix * vec4(position, 0.0, 1.0);\n"
                              "textureCoords = vec3(position, 0.0);\n")),
         {"Shaders failed to link!"}},
        {"ShaderLacksAUsedUniform", "Shaders/guiVertexShader.vert",
         text(guiVertexShader("out vec2 textureCoords;\n",
                              "gl_Position = vec4(position, 0.0, 1.0);\ntextureCoords = position;\n")),
         {"Uniform transformationMatrix not found in shader!"}},

        {"CottageNotImportable", "Resources/cottage.obj", prefix("Resources/shack2.png", 4096),
         {"Resources/cottage.obj"}},
        {"CottageWithoutTextureCoordinates", "Resources/cottage.obj",
         text("v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n"),
         {"Resources/cottage.obj", "texture coordinates"}},
        {"CottageIsADirectory", "Resources/cottage.obj", directory(), {"Failed to open Resources/cottage.obj"},
         systemError("Resources/cottage.obj", "Is a directory")},
        {"CottageIsAFifo", "Resources/cottage.obj", fifo(), {"Failed to open Resources/cottage.obj"},
         systemError("Resources/cottage.obj", "Not a regular file")},
        {"CottageMissing", "Resources/cottage.obj", nothing(), {"Failed to open Resources/cottage.obj"},
         systemError("Resources/cottage.obj", "No such file or directory")},

        // Short of memory: 100 MB of positions, and headers that claim a huge image.
        {"ObjNeedsMoreThanTheMemory", "Resources/tree.obj",
         repeated("", "v 0 0 0\n", 100 * MEGABYTE / 8, "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n"),
         {"Ran out of memory loading Resources/tree.obj"}, "", MEMORY_LIMIT},
        {"TextureClaimsMoreThanTheMemory", "Resources/mud.png", claimedSize("Resources/mud.png", 12000, 12000),
         {"Ran out of memory loading Resources/mud.png"}, "", MEMORY_LIMIT},
        {"HeightMapClaimsMoreThanTheMemory", "Resources/heightmap3.png",
         claimedSize("Resources/heightmap3.png", 30000, 30000),
         {"Ran out of memory loading Resources/heightmap3.png"}, "", MEMORY_LIMIT},
    };
    return cases;
}

const std::vector<RunningCase>& runningCases() {
    static const std::vector<RunningCase> cases = {
        {"TextureTruncated", "Resources/mud.png", truncated("Resources/mud.png"), warning("Resources/mud.png")},
        {"TextureCorrupt", "Resources/mud.png", corrupt("Resources/mud.png"), warning("Resources/mud.png")},
        {"TextureIsADirectory", "Resources/mud.png", directory(), warning("Resources/mud.png")},
        {"TextureIsEndless", "Resources/mud.png", endless(), warning("Resources/mud.png")},
        {"TextureTooWideForGl", "Resources/mud.png", greyPng(40000, 1),
         "Warning: could not load image Resources/mud.png: 40000 x 1 pixels, more than [^\n]+\n"},
        {"TextureMissing", "Resources/guiQuest.png", nothing(), warning("Resources/guiQuest.png")},
        {"CubeMapFaceTruncated", "Resources/skyboxFront.png", truncated("Resources/skyboxFront.png"),
         warning("Resources/skyboxFront.png")},
        {"CubeMapFaceIsAFifo", "Resources/skyboxLeft.png", fifo(), warning("Resources/skyboxLeft.png")},
        // GL takes only square faces of one size: say so instead of a black sky.
        {"CubeMapFaceOfAnotherSize", "Resources/skyboxBack.png", greyPng(64, 64, 3),
         "Warning: could not load image Resources/skyboxBack.png: [^\n]*64 x 64[^\n]*512[^\n]*\n"},
        {"CubeMapFaceNotSquare", "Resources/skyboxRight.png", greyPng(64, 32, 3),
         "Warning: could not load image Resources/skyboxRight.png: [^\n]*square\n"},
        // A model without faces is valid: it draws nothing and says nothing.
        {"ObjWithoutFaces", "Resources/tree.obj", text(OBJ_LISTS), ""},
        {"SmallestHeightMap", "Resources/heightmap3.png", greyPng(2, 2), ""},
        // A model's memory follows its lines, not its size: 64 MB of comments cost nothing.
        {"ObjOfOneTriangleInLongComments", "Resources/tree.obj",
         repeated(OBJ_TRIANGLE, "#" + std::string(1022, 'x') + "\n", 64 * 1024, ""), "", MEMORY_LIMIT},
    };
    return cases;
}

// Failures name the case instead of dumping its bytes.
void PrintTo(const FatalCase& c, std::ostream* os) { *os << c.name; }
void PrintTo(const RunningCase& c, std::ostream* os) { *os << c.name; }

template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// The whole stream against a POSIX extended regular expression.
bool matchesWhole(const std::string& text, const std::string& pattern) {
    regex_t compiled;
    if (regcomp(&compiled, ("^" + pattern + "$").c_str(), REG_EXTENDED | REG_NOSUB) != 0) {
        ADD_FAILURE() << "bad pattern " << pattern;
        return false;
    }
    const bool matched = regexec(&compiled, text.c_str(), 0, nullptr, 0) == 0;
    regfree(&compiled);
    return matched;
}

void expectErrors(const std::string& errors, const std::string& pattern) {
    EXPECT_TRUE(matchesWhole(errors, pattern)) << "error stream:\n" << errors << "\nwanted: " << pattern;
}

const char* const NO_LIMIT_UNDER_ASAN =
    "AddressSanitizer cannot run under a limit on address space; the release build runs this case";

class FatalData : public testing::TestWithParam<FatalCase> {};
class RecoverableData : public testing::TestWithParam<RunningCase> {};

}

TEST_P(FatalData, EndsWithItsMessageAndCode69) {
    const FatalCase& c = GetParam();
    if (c.memoryLimit != 0 && ADDRESS_SANITIZER) GTEST_SKIP() << NO_LIMIT_UNDER_ASAN;
    ScratchGame scratch;
    c.make(scratch.replace(c.file));
    GameProcess game(scratch.folder(), scratch.root(), c.memoryLimit);

    ASSERT_TRUE(game.waitForOutput(PROMPT, START_SECONDS))
        << "no prompt; exit " << game.waitForExit(0) << ", signal " << game.signal() << "\n"
        << game.output() << game.errors();
    EXPECT_EQ(game.waitForExit(0.3), GameProcess::RUNNING) << "it should wait for an answer";
    game.answer("1\n");
    EXPECT_EQ(game.waitForExit(EXIT_SECONDS), 69) << "signal " << game.signal();

    const std::string out = game.output();
    ASSERT_GE(out.size(), PROMPT.size() + 1);
    ASSERT_EQ(out.substr(out.size() - PROMPT.size() - 1), "\n" + PROMPT) << out;
    const std::string body = out.substr(0, out.size() - PROMPT.size() - 1);
    const std::string message = body.substr(body.rfind('\n') + 1);
    for (const std::string& piece : c.message) {
        EXPECT_NE(message.find(piece), std::string::npos) << "message: " << message << "\nwanted: " << piece;
    }
    expectErrors(game.errors(), c.errors);
}

TEST_P(RecoverableData, KeepsPlayingAndQuitsCleanly) {
    const RunningCase& c = GetParam();
    if (c.memoryLimit != 0 && ADDRESS_SANITIZER) GTEST_SKIP() << NO_LIMIT_UNDER_ASAN;
    ScratchGame scratch;
    c.make(scratch.replace(c.file));
    GameProcess game(scratch.folder(), scratch.root(), c.memoryLimit);

    // Frame-rate lines come only from a running frame loop.
    ASSERT_TRUE(game.keys("F2")) << "no window; exit " << game.waitForExit(0) << "\n" << game.output() << game.errors();
    ASSERT_TRUE(game.waitForOutput(" fps\n", START_SECONDS, FPS_LINES))
        << "exit " << game.waitForExit(0) << ", signal " << game.signal() << "\n" << game.output() << game.errors();
    EXPECT_EQ(game.output().find(PROMPT), std::string::npos);
    // A fast game closes its window on the key press, before xdotool sends the release,
    // and xdotool then reports an error: the exit code alone tells whether Escape worked.
    game.keys("Escape");
    EXPECT_EQ(game.waitForExit(EXIT_SECONDS), 0) << "signal " << game.signal();
    expectErrors(game.errors(), c.errors);
}

INSTANTIATE_TEST_SUITE_P(BadData, FatalData, testing::ValuesIn(fatalCases()), caseName<FatalCase>);
INSTANTIATE_TEST_SUITE_P(BadData, RecoverableData, testing::ValuesIn(runningCases()), caseName<RunningCase>);
