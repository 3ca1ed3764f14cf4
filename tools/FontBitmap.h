#pragma once
// A small bitmap font for the GUI images: glyphs 5 pixels wide (fewer for narrow
// letters) and 7 high above the baseline, plus 2 rows for descenders. Each glyph pixel is
// drawn as a scale x scale block, so text stays crisp at any whole-number scale.

#include "ModelPaint.h"

#include <string>
#include <vector>

class FontBitmap {
public:
    static constexpr int CAP_HEIGHT = 7; // glyph rows above the baseline
    static constexpr int DESCENT = 2;    // rows below it
    static constexpr int SPACING = 1;    // empty columns between glyphs

    // Rows of a glyph, '#' for ink, top row first; empty for characters the font lacks.
    static const std::vector<std::string>& glyph(char c);
    static bool hasGlyph(char c);
    // Width in image pixels of text drawn at the given scale.
    static int textWidth(const std::string& text, int scale);
    // Draws text with its cap line at topY; a shadow of the given colour is laid first,
    // offset by shadowOffset pixels right and down (0 for none).
    static void drawText(Image& image, const std::string& text, int leftX, int topY, int scale, const Colour& colour,
                         const Colour& shadow, int shadowOffset);
};
