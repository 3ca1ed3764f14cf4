#include "FontBitmap.h"
#include "Generators.h"
#include "ModelNoise.h"
#include "ModelPaint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

// The quest panel and the READY / RESET buttons. Each is drawn in the proportions it has
// on screen (the panel 256 x 192 pixels, the buttons about 102 x 77) at twice that size
// or more, then stored two thirds as high: a texture whose sides are powers of two lets
// the GL driver build its mip-maps with the code it already made for the other
// textures, instead of making new code at start-up (about 0.1 s on a software
// renderer). The GUI quad stretches the rows back; the shader shows the top row at the
// top. Outside the rounded shapes alpha is 0. The speech panel and the glyph atlas are
// stored as drawn: the game shows the atlas one texel to a pixel.
namespace {

const ModelNoise NOISE(0x6017);

constexpr int PANEL_WIDTH = 512;
constexpr int PANEL_HEIGHT = 384;
constexpr int BUTTON_WIDTH = 256;
constexpr int BUTTON_HEIGHT = 192;
// The speech panel, shown at 616 x 180 pixels.
constexpr int SPEECH_WIDTH = 1024;
constexpr int SPEECH_HEIGHT = 256;
// The glyph atlas: 16 x 8 cells of 32 x 64 texels, one per character code, each glyph
// drawn four texels to a font pixel (a cell is eight font pixels wide) from two texels
// inside its cell's top-left corner.
constexpr int ATLAS_SCALE = 4;
constexpr int ATLAS_CELL_WIDTH = 8 * ATLAS_SCALE;
constexpr int ATLAS_CELL_HEIGHT = 64;
constexpr int ATLAS_MARGIN = 2;
const Colour PARCHMENT{238, 222, 180};
const Colour INK{70, 40, 22}; // the quest panel's

// Signed distance in pixels from a pixel centre to a rounded rectangle (negative inside).
double roundedRectDistance(double x, double y, const PixelRect& r, double radius) {
    const double cx = (r.x0 + r.x1) * 0.5, cy = (r.y0 + r.y1) * 0.5;
    const double qx = std::abs(x - cx) - (r.width() * 0.5 - radius);
    const double qy = std::abs(y - cy) - (r.height() * 0.5 - radius);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

void drawCentredText(Image& image, const std::string& text, int centreX, int topY, int scale, const Colour& ink,
                     const Colour& shadow, int shadowOffset) {
    FontBitmap::drawText(image, text, centreX - FontBitmap::textWidth(text, scale) / 2, topY, scale, ink, shadow,
                         shadowOffset);
}

Paint panelBackground(const Texel& p, const PixelRect& shape) {
    constexpr double FRAME = 20.0;
    const double x = p.x + 0.5, y = p.y + 0.5;
    const double d = roundedRectDistance(x, y, shape, 40.0);
    const double alpha = clamp01(0.5 - d) * 255.0;
    if (d > -FRAME) {
        // Wooden frame with a bevel: light on its inner and outer rims, darker between.
        const double grain = NOISE.fractal(p.s * 6.0, p.t * 40.0, 4);
        Colour wood = Colour{112, 74, 42} * (0.75 + 0.45 * grain);
        const double rim = std::min(-d, d + FRAME);
        wood = wood * (0.75 + 0.35 * smoothStep(0.0, 5.0, rim));
        if (-d < 2.5)
            wood = Colour{58, 36, 20};
        return {wood, alpha};
    }
    // Parchment, darker and browner towards the frame.
    const double inner = -d - FRAME;
    const double fibre = NOISE.fractal(p.s * 24.0, p.t * 18.0, 5);
    const double stain = NOISE.fractal(p.s * 4.0 + 7, p.t * 3.0, 3);
    Colour paper = Colour{238, 222, 180} * (0.9 + 0.14 * fibre) * (0.94 + 0.08 * stain);
    paper = mix(Colour{170, 128, 80}, paper, smoothStep(0.0, 26.0, inner));
    if (inner < 3.0)
        paper = paper * 0.6; // shadow under the frame
    return {paper, alpha};
}

// A divider under the heading: a line with a small diamond at its middle.
void drawDivider(Image& image, int centreX, int y, int halfLength, const Colour& ink) {
    for (int x = centreX - halfLength; x <= centreX + halfLength; ++x) {
        const double fade = 1.0 - std::pow(std::abs(x - centreX) / double(halfLength), 4.0);
        for (int dy = -1; dy <= 1; ++dy)
            blendPixel(image, x, y + dy, ink, fade * (dy == 0 ? 1.0 : 0.45));
    }
    for (int dy = -9; dy <= 9; ++dy)
        for (int dx = -9; dx <= 9; ++dx)
            blendPixel(image, centreX + dx, y + dy, ink, clamp01(9.5 - std::abs(dx) - std::abs(dy)));
}

Image makeQuestPanel() {
    Image image(PANEL_WIDTH, PANEL_HEIGHT, 4);
    const PixelRect shape{6, 6, PANEL_WIDTH - 6, PANEL_HEIGHT - 6};
    paintRect(image, {0, 0, PANEL_WIDTH, PANEL_HEIGHT}, [&](const Texel& p) { return panelBackground(p, shape); });
    const Colour ink{70, 40, 22}, heading{128, 38, 24}, soft{196, 170, 128};
    drawCentredText(image, "QUEST", PANEL_WIDTH / 2, 48, 8, heading, soft, 4);
    drawDivider(image, PANEL_WIDTH / 2, 126, 170, ink);
    drawCentredText(image, "Reach the cottage.", PANEL_WIDTH / 2, 168, 4, ink, soft, 2);
    drawCentredText(image, "Check the lamp first.", PANEL_WIDTH / 2, 262, 3, Colour{96, 66, 40}, soft, 2);
    padTransparentColours(image);
    return image;
}

// The parchment and frame of the quest panel, without lettering: the game writes on it.
Image makeSpeechPanel() {
    Image image(SPEECH_WIDTH, SPEECH_HEIGHT, 4);
    const PixelRect shape{6, 6, SPEECH_WIDTH - 6, SPEECH_HEIGHT - 6};
    paintRect(image, {0, 0, SPEECH_WIDTH, SPEECH_HEIGHT}, [&](const Texel& p) { return panelBackground(p, shape); });
    padTransparentColours(image);
    return image;
}

// The quest panel's ink. Texels without ink keep the parchment's colour, so
// that with blending off each glyph shows on a parchment-coloured cell, still legible.
Image makeGlyphAtlas() {
    Image image(16 * ATLAS_CELL_WIDTH, 8 * ATLAS_CELL_HEIGHT, 4);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* texel = image.at(x, y);
            texel[0] = toByte(PARCHMENT.r), texel[1] = toByte(PARCHMENT.g), texel[2] = toByte(PARCHMENT.b);
        }
    for (int code = 33; code < 128; ++code) {
        const char c = char(code);
        if (!FontBitmap::hasGlyph(c))
            continue;
        // The ink laid twice, a texel apart down and right: strokes a texel heavier than
        // the quest panel's, which it shows at half size, read as well at full size.
        FontBitmap::drawText(image, std::string(1, c), code % 16 * ATLAS_CELL_WIDTH + ATLAS_MARGIN,
                             code / 16 * ATLAS_CELL_HEIGHT + ATLAS_MARGIN, ATLAS_SCALE, INK, INK, 1);
    }
    return image;
}

// Three rows become two, each output row the area-weighted mean of the 1.5 input rows
// it covers, with colours weighted by alpha so that transparent texels do not bleed
// into the edges.
Image squeezeRows(const Image& image) {
    Image out(image.width, image.height * 2 / 3, image.channels);
    for (int y = 0; y < out.height; ++y) {
        const int first = y / 2 * 3 + y % 2; // rows first and first + 1
        const double weights[2] = {y % 2 == 0 ? 1.0 : 0.5, y % 2 == 0 ? 0.5 : 1.0};
        for (int x = 0; x < image.width; ++x) {
            double alpha = 0.0, colour[3] = {0.0, 0.0, 0.0}, plain[3] = {0.0, 0.0, 0.0};
            for (int k = 0; k < 2; ++k) {
                const std::uint8_t* in = image.at(x, first + k);
                alpha += weights[k] * in[3];
                for (int c = 0; c < 3; ++c) {
                    colour[c] += weights[k] * in[3] * in[c];
                    plain[c] += weights[k] * in[c];
                }
            }
            std::uint8_t* dst = out.at(x, y);
            for (int c = 0; c < 3; ++c) {
                dst[c] = toByte(alpha > 0.0 ? colour[c] / alpha : plain[c] / 1.5);
            }
            dst[3] = toByte(alpha / 1.5);
        }
    }
    return out;
}

struct ButtonColours {
    Colour top, bottom, border;
};

Image makeButton(const std::string& label, const ButtonColours& colours) {
    Image image(BUTTON_WIDTH, BUTTON_HEIGHT, 4);
    const PixelRect shape{8, 12, BUTTON_WIDTH - 8, BUTTON_HEIGHT - 12};
    paintRect(image, {0, 0, BUTTON_WIDTH, BUTTON_HEIGHT}, [&](const Texel& p) {
        const double x = p.x + 0.5, y = p.y + 0.5;
        const double d = roundedRectDistance(x, y, shape, 44.0);
        const double alpha = clamp01(0.5 - d) * 255.0;
        if (d > -6.0)
            return Paint{colours.border, alpha};
        const double height = (y - shape.y0) / shape.height();
        Colour fill = mix(colours.top, colours.bottom, height);
        fill = fill * (0.96 + 0.06 * NOISE.fractal(p.s * 20.0, p.t * 15.0, 3));
        // Bevel: a light rim along the top edge and a dark one along the bottom.
        const double rim = smoothStep(-6.0, -14.0, d);
        fill = mix(height < 0.5 ? fill * 1.35 : fill * 0.65, fill, rim);
        // Gloss over the upper half.
        if (roundedRectDistance(x, y, {shape.x0 + 16, shape.y0 + 12, shape.x1 - 16, shape.y0 + 70}, 30.0) < 0.0)
            fill = mix(fill, Colour{255, 255, 255}, 0.16);
        return Paint{fill, alpha};
    });
    constexpr int SCALE = 6;
    const int top = BUTTON_HEIGHT / 2 - FontBitmap::CAP_HEIGHT * SCALE / 2;
    drawCentredText(image, label, BUTTON_WIDTH / 2, top, SCALE, Colour{252, 250, 236}, colours.border, 4);
    padTransparentColours(image);
    return image;
}

}

void generateGui(const std::string& resourcesDir) {
    savePng(resourcesDir, "guiQuest.png", squeezeRows(makeQuestPanel()));
    savePng(resourcesDir, "guiReadyButton.png",
            squeezeRows(makeButton("READY", {{96, 186, 84}, {30, 104, 40}, {18, 52, 20}})));
    savePng(resourcesDir, "guiResetButton.png",
            squeezeRows(makeButton("RESET", {{222, 92, 76}, {132, 30, 28}, {64, 16, 14}})));
    savePng(resourcesDir, "guiSpeech.png", makeSpeechPanel());
    savePng(resourcesDir, "guiFont.png", makeGlyphAtlas());
}
