#include "world/FontMetrics.h"

namespace {
// Below this an alpha is the edge of a filtered texel, not ink.
constexpr std::uint8_t INK_ALPHA = 8;
}

std::optional<FontMetrics> FontMetrics::fromAtlas(const std::uint8_t* rgba, int width, int height) {
    if (!rgba || width < COLUMNS || height < ROWS || width % COLUMNS != 0 || height % ROWS != 0) {
        return std::nullopt;
    }
    FontMetrics metrics;
    const int cellWidth = width / COLUMNS, cellHeight = height / ROWS;
    metrics.atlasSize = {width, height};
    const int gap = cellWidth / 8, space = cellWidth / 2;
    for (int code = 0; code < COLUMNS * ROWS; ++code) {
        const int cellX = code % COLUMNS * cellWidth, cellY = code / COLUMNS * cellHeight;
        int left = cellWidth, right = -1;
        for (int y = 0; y < cellHeight; ++y) {
            const std::uint8_t* row = rgba + (size_t(cellY + y) * size_t(width) + size_t(cellX)) * 4;
            for (int x = 0; x < cellWidth; ++x) {
                if (row[x * 4 + 3] < INK_ALPHA) {
                    continue;
                }
                left = x < left ? x : left;
                right = x > right ? x : right;
                metrics.inkHeight = y + 1 > metrics.inkHeight ? y + 1 : metrics.inkHeight;
            }
        }
        Glyph& glyph = metrics.glyphs[size_t(code)];
        metrics.inked[size_t(code)] = right >= 0;
        glyph.atlasX = cellX + (right >= 0 ? left : 0);
        glyph.atlasY = cellY;
        glyph.width = right >= 0 ? right - left + 1 : 0;
        glyph.advance = right >= 0 ? glyph.width + gap : space;
    }
    if (!metrics.inked[PLACEHOLDER]) {
        return std::nullopt;
    }
    return metrics;
}

bool FontMetrics::hasGlyph(std::uint32_t code) const {
    return code == ' ' || (code < std::uint32_t(COLUMNS * ROWS) && code != PLACEHOLDER && inked[code]);
}

const FontMetrics::Glyph& FontMetrics::glyph(std::uint32_t code) const {
    return glyphs[hasGlyph(code) ? code : PLACEHOLDER];
}
