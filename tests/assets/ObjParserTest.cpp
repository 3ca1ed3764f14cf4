#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "assets/ObjParser.h"
#include "assets/GlReadback.h"
#include "assets/TestFiles.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <regex>

namespace {

// Eight corners, twelve triangles; each face pair has its own normal, and the
// texture coordinates differ per corner, so the last corner of each position shows.
const std::string CUBE = "# cube\nmtllib cube.mtl\no Cube\n"
                         "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
                         "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                         "vn 0 0 -1\nvn 0 0 1\nvn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\n"
                         "usemtl Wood\ns off\n"
                         "f 1/1/1 3/3/1 2/2/1\nf 1/1/1 4/4/1 3/3/1\n"  // back
                         "f 5/1/2 6/2/2 7/3/2\nf 5/1/2 7/3/2 8/4/2\n"  // front
                         "f 1/1/3 5/2/3 8/3/3\nf 1/1/3 8/3/3 4/4/3\n"  // left
                         "f 2/1/4 3/4/4 7/3/4\nf 2/1/4 7/3/4 6/2/4\n"  // right
                         "f 1/1/5 2/2/5 6/3/5\nf 1/1/5 6/3/5 5/4/5\n"  // bottom
                         "f 4/1/6 8/4/6 7/3/6\nf 4/1/6 7/3/6 3/2/6\n"; // top

// Three positions, two texture coordinates and a normal (lines 1-6), and a triangle
// over them (line 7): the base of the malformed-line cases.
const std::string LISTS = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n";
const std::string TRIANGLE = LISTS + "f 1/1/1 2/2/1 3/1/1\n";

ObjData parseValid(const std::string& text) {
    ObjParseResult result = parseObj(text);
    EXPECT_TRUE(result.ok()) << "line " << result.errorLine << ": " << result.error;
    return std::move(result.data);
}

void expectRejected(const std::string& text, int line, const std::string& reason) {
    const ObjParseResult result = parseObj(text);
    EXPECT_FALSE(result.ok()) << text;
    EXPECT_EQ(result.errorLine, line) << text;
    EXPECT_EQ(result.error, reason) << text;
}

std::vector<float> slice(const std::vector<float>& values, size_t vertex, size_t width) {
    return std::vector<float>(values.begin() + vertex * width, values.begin() + (vertex + 1) * width);
}

std::string withCrLf(const std::string& text) {
    return std::regex_replace(text, std::regex("\n"), "\r\n");
}

}

TEST(SplitString, KeepsEmptyPiecesButNoneAfterAFinalDelimiter) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(splitString("", ' '), Pieces{});
    EXPECT_EQ(splitString("v 1 2", ' '), (Pieces{"v", "1", "2"}));
    EXPECT_EQ(splitString("v  1", ' '), (Pieces{"v", "", "1"}));
    EXPECT_EQ(splitString(" v", ' '), (Pieces{"", "v"}));
    EXPECT_EQ(splitString("v 1 ", ' '), (Pieces{"v", "1"}));
    EXPECT_EQ(splitString("v 1  ", ' '), (Pieces{"v", "1", ""}));
    EXPECT_EQ(splitString(" ", ' '), Pieces{""});
    EXPECT_EQ(splitString("1//3", '/'), (Pieces{"1", "", "3"}));
}

TEST(ObjParser, AcceptsOnlyExactKeywordsAndTokenCounts) {
    const ObjData data = parseValid("v 1 2 3\n"
                                    "v  4 5 6\n" // two spaces make five tokens
                                    "v 4 5 6 1\n"
                                    "\tv 4 5 6\n"
                                    " v 4 5 6\n"
                                    "V 4 5 6\n"
                                    "v 4 5\n"
                                    "v 7 8 9 \n" // one trailing space adds no token
                                    "v 10 11 12\r\n"
                                    "v \t13 14 15\n" // white space before a number is skipped
                                    "vt 0.25 0.75 0\n"
                                    "vt 0.5 0.5\n"
                                    "vn 0 1 0 0\n"
                                    "vn 0 1 0\n"
                                    "\n"
                                    "g group\n"
                                    "f 1/1/1 2/1/1 3/1/1 4/1/1\n" // a quad is skipped, not an error
                                    "f 1/1/1 2/1/1 3/1/1");
    EXPECT_EQ(data.positions, (std::vector<float>{1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(data.indices, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(slice(data.textureCoords, 0, 2), (std::vector<float>{0.5f, 0.5f}));
    EXPECT_EQ(slice(data.normals, 0, 3), (std::vector<float>{0, 1, 0}));
}

TEST(ObjParser, SkippedQuadIsNotTheFirstFace) {
    const ObjData data = parseValid("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                                    "f 1/1/1 2/1/1 3/1/1 3/1/1\nv 1 1 0\nf 4/1/1 2/1/1 3/1/1\n");
    EXPECT_EQ(data.positions.size(), 12u);
    EXPECT_EQ(data.indices, (std::vector<int>{3, 1, 2}));
}

TEST(ObjParser, ConvertsNumbersLikeStrtodNarrowedToFloat) {
    const ObjData data = parseValid("v 1e2 -.5 +3\n"
                                    "v 1.5abc 0x10 7\n"
                                    // Rounds to the double halfway between two floats, then to
                                    // the even one; a direct float conversion would round up.
                                    "v 1.0000000596046448 0 0\n"
                                    "vt 0 0\nvn 0 0 1\n"
                                    "f 1/1/1 2/+1/1 3/1/1junk\n");
    EXPECT_EQ(data.positions, (std::vector<float>{100, -0.5f, 3, 1.5f, 16, 7, 1.0f, 0, 0}));
    EXPECT_EQ(data.indices, (std::vector<int>{0, 1, 2}));
}

TEST(ObjParser, ReadsNumbersExactlyAsStrtodAndStrtolDo) {
    std::vector<std::string> tokens{"1e400", "-1e400", "1e-400", "1e-310", "3.4028235e38", "3.4028236e38", "0x1p3",
                                    "-0x10", "0x", "inf", "-inf", "nan", "infinity", "\v5", "\t-2", "+7", "-", "+",
                                    ".", "-.", "e5", "1e", "1e+", "00012", "-0", "00x1", "3\r", "2abc",
                                    "123456789012345678901234567890", "2.4703282292062327e-324",
                                    "99999999999999999999", "-99999999999999999999", "2147483648"};
    std::mt19937 random(11);
    const auto digits = [&random](int most) {
        std::string text;
        for (int count = int(random() % (most + 1)); count > 0; --count) {
            text += char('0' + random() % 10);
        }
        return text;
    };
    const char* const signs[] = {"", "", "-", "+"};
    const char* const tails[] = {"", "", "", "\r", "x", "#", "e"};
    for (int i = 0; i < 3000; ++i) {
        std::string token = signs[random() % 4] + digits(12);
        if (random() % 2) {
            token += "." + digits(25);
        }
        if (random() % 3 == 0) {
            token += std::string(random() % 2 ? "e" : "E") + signs[random() % 4] + digits(3);
        }
        tokens.push_back(token + tails[random() % 7]);
    }
    for (const std::string& token : tokens) {
        char* end = nullptr;
        const float expected = float(std::strtod(token.c_str(), &end));
        const ObjParseResult asFloat = parseObj("v " + token + " 0 0\n");
        ASSERT_EQ(asFloat.ok(), end != token.c_str()) << token;
        if (asFloat.ok()) {
            EXPECT_EQ(std::memcmp(&asFloat.data.positions[0], &expected, sizeof expected), 0) << token;
        }
        const long index = std::strtol(token.c_str(), &end, 10);
        const ObjParseResult asIndex = parseObj(LISTS + "f 1/1/1 2/1/1 " + token + "/1/1\n");
        ASSERT_EQ(asIndex.ok(), end != token.c_str() && index >= 1 && index <= 3) << token;
        if (asIndex.ok()) {
            EXPECT_EQ(asIndex.data.indices[2], index - 1) << token;
        }
    }
}

TEST(ObjParser, CubeKeepsOneVertexPerPositionWithItsLastCorner) {
    for (const std::string& text : {CUBE, withCrLf(CUBE)}) {
        const ObjData data = parseValid(text);
        ASSERT_EQ(data.positions.size(), 24u);
        ASSERT_EQ(data.textureCoords.size(), 16u);
        ASSERT_EQ(data.normals.size(), 24u);
        ASSERT_EQ(data.indices.size(), 36u);
        EXPECT_EQ(std::vector<int>(data.indices.begin(), data.indices.begin() + 6), (std::vector<int>{0, 2, 1, 0, 3, 2}));
        EXPECT_EQ(slice(data.positions, 6, 3), (std::vector<float>{1, 1, 1}));
        // Positions 1, 2, 5 and 6 are last used by the bottom faces, 3, 4, 7 and 8 by the top.
        const std::vector<float> down{0, -1, 0}, up{0, 1, 0};
        const std::vector<std::vector<float>> lastNormals{down, down, up, up, down, down, up, up};
        const std::vector<std::vector<float>> lastTextureCoords{{0, 0}, {1, 0}, {1, 0}, {0, 0},
                                                                {0, 1}, {1, 1}, {1, 1}, {0, 1}};
        for (size_t vertex = 0; vertex < 8; ++vertex) {
            EXPECT_EQ(slice(data.normals, vertex, 3), lastNormals[vertex]) << vertex;
            EXPECT_EQ(slice(data.textureCoords, vertex, 2), lastTextureCoords[vertex]) << vertex;
        }
    }
}

TEST(ObjParser, KeepsVUnflippedAndLeavesUnusedPositionsEmpty) {
    const ObjData data = parseValid("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nvt 0.25 0.75\nvn 0 0 1\n"
                                    "f 1/1/1 2/1/1 3/1/1\n");
    EXPECT_EQ(slice(data.textureCoords, 0, 2), (std::vector<float>{0.25f, 0.75f}));
    EXPECT_EQ(slice(data.textureCoords, 3, 2), (std::vector<float>{0, 0}));
    EXPECT_EQ(slice(data.normals, 3, 3), (std::vector<float>{0, 0, 0}));
}

TEST(ObjParser, WithoutFacesHasPositionsOnly) {
    const ObjData data = parseValid("v 1 2 3\nvt 0 1\nvn 0 1 0\n");
    EXPECT_EQ(data.positions.size(), 3u);
    EXPECT_TRUE(data.indices.empty());
    EXPECT_TRUE(data.textureCoords.empty());
    EXPECT_TRUE(data.normals.empty());
    EXPECT_TRUE(parseValid("").positions.empty());
}

TEST(ObjParser, RejectsCornersThatWouldIndexOutsideTheLists) {
    const std::string& base = TRIANGLE;
    expectRejected(base + "f 1/1 2/1/1 3/1/1\n", 8, "face corner \"1/1\" does not have all three indices");
    expectRejected(base + "f 1/1/1 2/1/1  \n", 8, "face corner \"\" does not have all three indices");
    expectRejected(base + "f 1/1/1 2//1 3/1/1\n", 8, "face corner \"2//1\" has an empty texture index");
    expectRejected(base + "f /1/1 2/1/1 3/1/1\n", 8, "face corner \"/1/1\" has an empty face index");
    expectRejected(base + "f 1/1/ 2/1/1 3/1/1\n", 8, "face corner \"1/1/\" does not have all three indices");
    expectRejected(base + "f 1/1/1 2/1/x 3/1/1\n", 8, "face corner \"2/1/x\" has a normal index that is not a number");
    expectRejected(base + "f 0/1/1 2/1/1 3/1/1\n", 8, "face index 0 is not positive");
    expectRejected(base + "f -1/1/1 2/1/1 3/1/1\n", 8, "face index -1 is not positive");
    expectRejected(base + "f 1/1/1 4/1/1 3/1/1\n", 8, "face index 4 is past the 3 positions");
    expectRejected(base + "f 1/3/1 2/1/1 3/1/1\n", 8, "texture index 3 is past the 2 texture coordinates");
    expectRejected(base + "f 1/1/1 2/1/2 3/1/1\n", 8, "normal index 2 is past the 1 normals");
    expectRejected(base + "f 1/1/1 2/1/1 99999999999999999999/1/1\n", 8,
                   "face index 9223372036854775807 is past the 3 positions");
}

TEST(ObjParser, RejectsPositionsAfterTheFirstFaceAndNonNumbers) {
    expectRejected(TRIANGLE + "vt 1 0\n# late\nv 1 1 1\n", 10, "position declared after the first face");
    expectRejected("v 1 x 2\n", 1, "\"x\" is not a number");
    expectRejected("\n\nv 1  2\n", 3, "empty number");
    expectRejected("vt 0.5 \r\n", 1, "\"\r\" is not a number");
    expectRejected("vn 0 1 -\n", 1, "\"-\" is not a number");
    // A line that fails the keyword or token count is skipped before any number is read.
    EXPECT_TRUE(parseObj("v 1 x\nvt a b c\nvn\n").ok());
}

TEST(ObjParserFile, UploadsTheParsedArrays) {
    requireGlContext();
    ModelLoader loader;
    const std::string path = writeTextFile("objParserCube.obj", CUBE);
    const Mesh* mesh = readObjModel(path, loader);
    EXPECT_EQ(mesh->vertexCount, 36);
    EXPECT_EQ(loader.buffers().size(), 5u);
    const ObjData data = parseValid(CUBE);
    EXPECT_EQ(readIndices(mesh->vertexArray), data.indices);
    EXPECT_EQ(readAttribute(mesh->vertexArray, 0), data.positions);
    EXPECT_EQ(readAttribute(mesh->vertexArray, 1), data.textureCoords);
    EXPECT_EQ(readAttribute(mesh->vertexArray, 2), data.normals);
    loader.cleanUp();
}

TEST(ObjParserFileDeathTest, MissingFileEndsStartUp) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ModelLoader loader;
    EXPECT_EXIT(
        {
            prepareFatalChild();
            readObjModel("tests/data/none.obj", loader);
        },
        testing::ExitedWithCode(69), "tests/data/none\\.obj: No such file or directory\nFailed to open tests/data/none\\.obj\n");
}

TEST(ObjParserFileDeathTest, MalformedFileEndsStartUpNamingFileAndLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ModelLoader loader;
    const std::string path = writeTextFile("objParserMalformed.obj", TRIANGLE + "f 1/1/1 2/1/1 9/1/1\n");
    EXPECT_EXIT(
        {
            prepareFatalChild();
            readObjModel(path, loader);
        },
        testing::ExitedWithCode(69), "objParserMalformed\\.obj:8: face index 9 is past the 3 positions\n");
}
