#pragma once
// Where each character's glyph lies in a glyph atlas and how far it advances the pen,
// read from the atlas image itself. The atlas is a grid of 16 x 8 equal cells, one per
// character code 0..127, each eight font pixels wide, glyphs drawn from each cell's top.
// A glyph spans its inked columns and, down, the rows any glyph inks; glyphs stand one
// font pixel apart, and the space, the one glyph without ink, is four wide. Code 127
// holds the placeholder shown for every character the atlas lacks.

#include <array>
#include <cstdint>
#include <optional>

class FontMetrics {
public:
    static constexpr int COLUMNS = 16;
    static constexpr int ROWS = 8;
    static constexpr int PLACEHOLDER = 127;

    struct Glyph {
        int atlasX = 0, atlasY = 0; // the glyph's top-left texel
        int width = 0;              // inked columns, texels
        int advance = 0;            // to the next glyph's left edge, texels
    };

    // rgba holds width x height texels, top row first. Empty when the image cannot be a
    // glyph atlas: sides that are no whole number of cells, or no placeholder glyph.
    static std::optional<FontMetrics> fromAtlas(const std::uint8_t* rgba, int width, int height);

    // The glyph for a character code; the placeholder for codes the atlas lacks.
    const Glyph& glyph(std::uint32_t code) const;
    bool hasGlyph(std::uint32_t code) const;
    int glyphHeight() const { return inkHeight; }                // texels
    int lineHeight() const { return inkHeight + inkHeight / 4; } // texels from line to line
    int atlasWidth() const { return atlasSize[0]; }
    int atlasHeight() const { return atlasSize[1]; }

private:
    std::array<Glyph, std::size_t(COLUMNS) * ROWS> glyphs{};
    std::array<bool, std::size_t(COLUMNS) * ROWS> inked{};
    int inkHeight = 0;
    std::array<int, 2> atlasSize{};
};
