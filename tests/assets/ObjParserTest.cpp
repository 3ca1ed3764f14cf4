#include "assets/ObjParser.h"
#include "assets/GlReadback.h"
#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "assets/TestFiles.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <regex>
#include <tuple>

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

std::vector<float> slice(const std::vector<float>& values, size_t vertex, size_t width) {
    return std::vector<float>(values.begin() + vertex * width, values.begin() + (vertex + 1) * width);
}

auto arraysOf(const ObjData& data) {
    return std::tie(data.positions, data.textureCoords, data.normals, data.indices);
}

}

TEST(ObjParser, AcceptsOnlyExactKeywordsAndTokenCounts) {
    const ObjData data = parseValid("v 1 2 3\n"
                                    "v  4 5 6\n" // two spaces make five tokens
                                    "v 4 5 6 1\n"
                                    " v 4 5 6\n"
                                    "V 4 5 6\n"
                                    "v 7 8 9 \n" // one trailing space adds no token
                                    "v 10 11 12\r\n"
                                    "v \t13 14 15\n" // white space before a number is skipped
                                    "vt 0.5 0.5\n"
                                    "vn 0 1 0 0\n"
                                    "vn 0 1 0\n"
                                    "v 1 x\nvt a b c\nvn\n" // skipped before any number is read
                                    "\n"
                                    "f 1/1/1 2/1/1 3/1/1 4/1/1\n" // a skipped quad is not the first face...
                                    "v 16 17 18\n"                // ...so positions may still follow
                                    "f 1/1/1 2/1/1 3/1/1");
    EXPECT_EQ(data.positions, (std::vector<float>{1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    EXPECT_EQ(data.indices, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(slice(data.textureCoords, 0, 2), (std::vector<float>{0.5f, 0.5f}));
    EXPECT_EQ(slice(data.normals, 0, 3), (std::vector<float>{0, 1, 0}));
}

TEST(ObjParser, ReadsNumbersExactlyAsStrtodAndStrtolDo) {
    std::vector<std::string> tokens{
        "1e2", "-.5", "+3", "1.5abc", "0x10", "1e400", "-1e400", "1e-400", "1e-310", "3.4028235e38", "3.4028236e38",
        "0x1p3", "-0x10", "0x", "inf", "-inf", "nan", "infinity", "\v5", "\t-2", "+7", "-", "+", ".", "-.", "e5", "1e",
        "1e+", "00012", "-0", "00x1", "3\r", "2abc", "123456789012345678901234567890", "2.4703282292062327e-324",
        "99999999999999999999", "-99999999999999999999", "2147483648",
        "1.0000000596046448", // halfway between two floats once in double: narrowing rounds to even
        // Around the limits of the exact shortcut: 2^53 in the digits, 10^22 in the power, 19 digits.
        "9007199254740992", "9007199254740993", "9007199254740991e-22", "1e22", "1e23", "1e-22", "1e-23",
        "1234567890123456789", "12345678901234567890", "0.00000000000000000001", "00000000000000000000001", "4.9e-324",
        "-0.0e5", "123456.e-3", "1.7976931348623157e308", "0.1", "0.2", "0.30000000000000004",
        // Hexadecimal, NaN payloads and out-of-range values, which from_chars reads otherwise or not at all.
        "0x1p+-9", "0xinf", "0x.8p1", "0x1p2000", "-0x1p-2000", "1000e-330", "nan(0x40000000)", "-nan(077)"};
    std::mt19937 random(11);
    const auto digits = [&random](int most) {
        std::string text(random() % (most + 1), '0');
        for (char& digit : text)
            digit = char('0' + random() % 10);
        return text;
    };
    const char* const signs[] = {"", "", "-", "+"};
    const char* const tails[] = {"", "", "", "\r", "x", "#", "e"};
    // Digit runs past 2^53 and 19 digits with the point anywhere, exponents near 10^22 and far past the float range.
    for (int i = 0; i < 23000; ++i) {
        std::string number = digits(random() % 2 ? 20 : 37);
        if (random() % 2)
            number.insert(random() % (number.size() + 1), ".");
        if (random() % 3 == 0)
            number += std::string(random() % 2 ? "e" : "E") + signs[random() % 4] + digits(random() % 2 ? 2 : 3);
        tokens.push_back(signs[random() % 4] + std::string(random() % 4 ? "" : "00") + number + tails[random() % 7]);
    }
    for (const std::string& token : tokens) {
        char* end = nullptr;
        const float expected = float(std::strtod(token.c_str(), &end));
        const ObjParseResult asFloat = parseObj("v " + token + " 0 0\n");
        ASSERT_EQ(asFloat.ok(), end != token.c_str()) << token;
        EXPECT_TRUE(!asFloat.ok() || std::memcmp(&asFloat.data.positions[0], &expected, sizeof expected) == 0) << token;
        const long index = std::strtol(token.c_str(), &end, 10);
        const ObjParseResult asIndex = parseObj(LISTS + "f 1/1/1 2/1/1 " + token + "/1/1\n");
        ASSERT_EQ(asIndex.ok(), end != token.c_str() && index >= 1 && index <= 3) << token;
        EXPECT_TRUE(!asIndex.ok() || asIndex.data.indices[2] == index - 1) << token;
    }
}

TEST(ObjParser, CubeKeepsOneVertexPerPositionWithItsLastCorner) {
    for (const std::string& text : {CUBE, std::regex_replace(CUBE, std::regex("\n"), "\r\n")}) {
        const ObjData data = parseValid(text);
        ASSERT_EQ((std::vector<size_t>{data.positions.size(), data.textureCoords.size(), data.normals.size(),
                                       data.indices.size()}),
                  (std::vector<size_t>{24, 16, 24, 36}));
        EXPECT_EQ(std::vector<int>(&data.indices[0], &data.indices[6]), (std::vector<int>{0, 2, 1, 0, 3, 2}));
        // Positions 1, 2, 5 and 6 are last used by the bottom faces, 3, 4, 7 and 8 by the top;
        // v stays as written (a flip would swap 0 and 1 in the second coordinate).
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

TEST(ObjParser, RejectsEachMalformedLineNamingItsLineAndReason) {
    struct Case {
        std::string text;
        int line;
        std::string reason;
    };
    const Case cases[] = {
        {TRIANGLE + "f 1/1 2/1/1 3/1/1\n", 8, "face corner \"1/1\" does not have all three indices"},
        {TRIANGLE + "f 1/1/1 2/1/1  \n", 8, "face corner \"\" does not have all three indices"},
        {TRIANGLE + "f 1/1/1 2//1 3/1/1\n", 8, "face corner \"2//1\" has an empty texture index"},
        {TRIANGLE + "f 1/1/1 2/1/x 3/1/1\n", 8, "face corner \"2/1/x\" has a normal index that is not a number"},
        {TRIANGLE + "f 0/1/1 2/1/1 3/1/1\n", 8, "face index 0 is not positive"},
        {TRIANGLE + "f 1/1/1 4/1/1 3/1/1\n", 8, "face index 4 is past the 3 positions"},
        {TRIANGLE + "f 1/3/1 2/1/1 3/1/1\n", 8, "texture index 3 is past the 2 texture coordinates"},
        {TRIANGLE + "f 1/1/1 2/1/2 3/1/1\n", 8, "normal index 2 is past the 1 normals"},
        {TRIANGLE + "f 1/1/1 2/1/1 99999999999999999999/1/1\n", 8,
         "face index 9223372036854775807 is past the 3 positions"},
        {TRIANGLE + "vt 1 0\n# late\nv 1 1 1\n", 10, "position declared after the first face"},
        {"v 1 x 2\n", 1, "\"x\" is not a number"},
        {"\n\nv 1  2\n", 3, "empty number"},
        {"vt 0.5 \r\n", 1, "\"\r\" is not a number"},
    };
    for (const Case& c : cases) {
        const ObjParseResult result = parseObj(c.text);
        EXPECT_EQ(result.errorLine, c.line) << c.text;
        EXPECT_EQ(result.error, c.reason) << c.text;
    }
}

TEST(ObjParserFile, ReadInPiecesGivesAndUploadsWhatTheWholeTextGives) {
    requireGlContext();
    // Long enough to span several read pieces, with a comment line longer than one
    // piece, carriage returns, and a last line without a line end.
    std::string text = CUBE + "# " + std::string(600000, 'x') + "\r\n";
    for (int i = 0; i < 40000; ++i)
        text += "vt 0." + std::to_string(i) + " " + std::to_string(i % 7) + "\r\n";
    text += "f 8/40003/6 1/1/1 2/40004/2";
    const std::string path = writeTextFile("objParserPieces.obj", text);
    ObjParseResult fromFile;
    ASSERT_TRUE(parseObjFile(path, fromFile));
    const ObjParseResult whole = parseObj(text);
    ASSERT_TRUE(whole.ok()) << whole.error;
    EXPECT_EQ(fromFile.errorLine, 0);
    EXPECT_EQ(arraysOf(fromFile.data), arraysOf(whole.data));
    EXPECT_EQ(slice(whole.data.textureCoords, 7, 2), (std::vector<float>{0.39998f, 0})); // vt number 40003
    ModelLoader loader;
    const Mesh* mesh = loader.loadObjModel(path);
    EXPECT_EQ(mesh->vertexCount, int(whole.data.indices.size()));
    EXPECT_EQ(std::make_tuple(readAttribute(mesh->vertexArray, 0), readAttribute(mesh->vertexArray, 1),
                              readAttribute(mesh->vertexArray, 2), readIndices(mesh->vertexArray)),
              arraysOf(whole.data));
    loader.cleanUp();

    // An error deep in the file names the same line either way.
    const std::string broken = text + "\nf 1/1/1 2/1/1 3/1/x\n";
    ASSERT_TRUE(parseObjFile(writeTextFile("objParserPiecesBroken.obj", broken), fromFile));
    EXPECT_EQ(fromFile.errorLine, parseObj(broken).errorLine);
    EXPECT_EQ(fromFile.error, "face corner \"3/1/x\" has a normal index that is not a number");
    EXPECT_FALSE(parseObjFile(testing::TempDir() + "no-such-dir/none.obj", fromFile));
}
