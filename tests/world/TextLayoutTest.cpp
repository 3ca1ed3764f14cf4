#include "world/TextLayout.h"
#include "world/FontMetrics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace {

// Cells of 20 x 10 texels: glyphs 2 texels apart, a space 10 wide, lines 12 apart.
constexpr int CELL_W = 20, CELL_H = 10;
constexpr int PLACEHOLDER_X = 15 * CELL_W + 1, PLACEHOLDER_Y = 7 * CELL_H;

// An atlas whose listed characters are inked full height from column 1 of their cell.
std::vector<std::uint8_t> atlas(const std::map<int, int>& inkedColumns) {
    std::vector<std::uint8_t> rgba(size_t(16 * CELL_W) * 8 * CELL_H * 4, 0);
    for (const auto& [code, columns] : inkedColumns)
        for (int y = 0; y < CELL_H; ++y)
            for (int x = 1; x <= columns; ++x)
                rgba[(size_t(code / 16 * CELL_H + y) * 16 * CELL_W + size_t(code % 16 * CELL_W + x)) * 4 + 3] = 255;
    return rgba;
}

// 'a' 3 texels wide (advance 5), 'b' 5 (advance 7), the placeholder 4 (advance 6).
FontMetrics font() {
    const std::vector<std::uint8_t> rgba = atlas({{'a', 3}, {'b', 5}, {FontMetrics::PLACEHOLDER, 4}});
    return *FontMetrics::fromAtlas(rgba.data(), 16 * CELL_W, 8 * CELL_H);
}

std::vector<std::string> lines(const std::string& text, int maxWidth) {
    return TextLayout::lay(font(), text, maxWidth, TextAlign::LEFT).lines;
}

using Strings = std::vector<std::string>;
using Quad = std::tuple<int, int, int, int, int, int>;

Quad quad(const GlyphQuad& q) {
    return {q.x, q.y, q.width, q.height, q.atlasX, q.atlasY};
}

}

TEST(FontMetrics, ReadsGlyphsFromTheInkOfEachCellAndRefusesOtherImages) {
    const FontMetrics f = font();
    const FontMetrics::Glyph& a = f.glyph('a');
    EXPECT_EQ(std::tuple(a.atlasX, a.atlasY, a.width, a.advance), std::tuple(1 * CELL_W + 1, 6 * CELL_H, 3, 5));
    EXPECT_EQ(std::tuple(f.glyph(' ').width, f.glyph(' ').advance), std::tuple(0, 10));
    EXPECT_EQ(f.lineHeight(), 12);
    for (const std::uint32_t missing : {std::uint32_t('#'), std::uint32_t('\t'), 200u, 127u}) {
        EXPECT_FALSE(f.hasGlyph(missing));
        EXPECT_EQ(f.glyph(missing).atlasX, PLACEHOLDER_X) << missing;
    }

    const std::vector<std::uint8_t> withoutPlaceholder = atlas({{'a', 3}});
    EXPECT_FALSE(FontMetrics::fromAtlas(withoutPlaceholder.data(), 16 * CELL_W, 8 * CELL_H));
    const std::vector<std::uint8_t> rgba = atlas({{FontMetrics::PLACEHOLDER, 4}});
    EXPECT_FALSE(FontMetrics::fromAtlas(rgba.data(), 16 * CELL_W - 4, 8 * CELL_H)) << "no whole cells across";
    EXPECT_FALSE(FontMetrics::fromAtlas(rgba.data(), 16 * CELL_W, 0));
    EXPECT_FALSE(FontMetrics::fromAtlas(nullptr, 16 * CELL_W, 8 * CELL_H));
}

// "ab" is 10 wide, "ab ab" 32, "ab ab ab" 54.
TEST(TextLayout, BreaksAtSpacesToFitTheWidth) {
    EXPECT_EQ(lines("ab ab ab", 54), Strings{"ab ab ab"});
    EXPECT_EQ(lines("ab ab ab", 53), (Strings{"ab ab", "ab"}));
    EXPECT_EQ(lines("ab ab ab", 31), (Strings{"ab", "ab", "ab"}));
    EXPECT_EQ(lines("  ab   ab ", 32), Strings{"ab ab"}) << "runs of spaces collapse";
    EXPECT_EQ(lines("ab\n\nab", 100), (Strings{"ab", "", "ab"}));
    EXPECT_TRUE(lines("", 100).empty());
}

// "bbb" is 19 wide, "bbbb" 26.
TEST(TextLayout, BreaksAWordWiderThanTheLineBetweenGlyphs) {
    EXPECT_EQ(lines("a bbbb a", 20), (Strings{"a", "bbb", "b a"}));
    EXPECT_EQ(lines("ab", 0), (Strings{"a", "b"})) << "at least one glyph a line";
}

TEST(TextLayout, ShowsThePlaceholderForEveryCharacterWithoutAGlyph) {
    // '#', then the two bytes of an e with an acute accent, then a stray continuation byte.
    const TextLayout layout = TextLayout::lay(font(), "a#\xC3\xA9\x80", 100, TextAlign::LEFT);
    EXPECT_EQ(layout.lines, Strings{"a#\xC3\xA9\x80"});
    ASSERT_EQ(layout.quads.size(), 4u);
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(quad(layout.quads[i]), Quad(5 + 6 * int(i - 1), 0, 4, CELL_H, PLACEHOLDER_X, PLACEHOLDER_Y));
}

TEST(TextLayout, PlacesGlyphsLineByLineLeftOrCentred) {
    const TextLayout left = TextLayout::lay(font(), "ab a\nb", 100, TextAlign::LEFT);
    const int aX = 1 * CELL_W + 1, aY = 6 * CELL_H, bX = 2 * CELL_W + 1;
    EXPECT_EQ(left.lineWidths, (std::vector<int>{25, 5}));
    ASSERT_EQ(left.quads.size(), 4u);
    EXPECT_EQ(quad(left.quads[0]), Quad(0, 0, 3, CELL_H, aX, aY));
    EXPECT_EQ(quad(left.quads[1]), Quad(5, 0, 5, CELL_H, bX, aY));
    EXPECT_EQ(quad(left.quads[2]), Quad(22, 0, 3, CELL_H, aX, aY)) << "past the space";
    EXPECT_EQ(quad(left.quads[3]), Quad(0, 12, 5, CELL_H, bX, aY));
    EXPECT_EQ(left.height, 22);

    const TextLayout centred = TextLayout::lay(font(), "ab a\nb", 30, TextAlign::CENTRE);
    EXPECT_EQ(centred.quads[0].x, 2);
    EXPECT_EQ(centred.quads[3].x, 12);
}
