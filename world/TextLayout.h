#pragma once
// Lays a string out in lines no wider than a given width, broken at spaces, and places
// one quad per glyph. Pure: sizes are atlas texels, drawn one to one as pixels, from the
// text block's top-left with y down. Used by the text renderer; tested on its own.

#include "world/FontMetrics.h"

#include <string>
#include <vector>

enum class TextAlign { LEFT, CENTRE };

struct GlyphQuad {
    int x = 0, y = 0;           // top-left in the block, pixels
    int width = 0, height = 0;  // pixels
    int atlasX = 0, atlasY = 0; // top-left texel in the atlas
};

struct TextLayout {
    std::vector<std::string> lines; // each line's text as broken, spaces collapsed
    std::vector<int> lineWidths;    // pixels
    std::vector<GlyphQuad> quads;   // one per glyph; spaces have none
    int height = 0;                 // pixels, first line's top to last line's glyph bottom

    // Runs of spaces collapse to one and vanish at line breaks; '\n' breaks a line; a word
    // wider than maxWidth is broken between glyphs. Bytes outside ASCII are read as UTF-8,
    // one placeholder per character.
    static TextLayout lay(const FontMetrics& font, const std::string& text, int maxWidth, TextAlign align);
};
