#include "world/TextLayout.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// A character of the text: its bytes and its code; every code above 127 stands for
// "no glyph", as the atlas covers ASCII only.
struct Character {
    std::string bytes;
    std::uint32_t code = 0;
};

constexpr std::uint32_t NOT_ASCII = 0x80;

std::vector<Character> decodeUtf8(const std::string& text) {
    std::vector<Character> characters;
    for (size_t i = 0; i < text.size();) {
        const auto lead = std::uint8_t(text[i]);
        // A lead byte takes as many continuation bytes as it announces and finds; any other
        // byte stands alone.
        const size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        size_t length = 1;
        while (length < announced && i + length < text.size() && (std::uint8_t(text[i + length]) & 0xC0) == 0x80) {
            ++length;
        }
        characters.push_back({text.substr(i, length), lead < 0x80 ? std::uint32_t(lead) : NOT_ASCII});
        i += length;
    }
    return characters;
}

struct Line {
    std::string text;
    std::vector<std::uint32_t> codes;

    void append(const Character& c) {
        text += c.bytes;
        codes.push_back(c.code);
    }
    // A word, after a space unless it starts the line.
    void appendWord(const std::vector<Character>& word) {
        if (!isEmpty()) {
            append(Character{" ", ' '});
        }
        for (const Character& c : word) {
            append(c);
        }
    }
    bool isEmpty() const { return codes.empty(); }
};

// From the first glyph's left edge to the last one's inked right edge.
int widthOf(const FontMetrics& font, const std::vector<std::uint32_t>& codes) {
    int pen = 0, width = 0;
    for (const std::uint32_t code : codes) {
        const FontMetrics::Glyph& glyph = font.glyph(code);
        width = std::max(width, pen + glyph.width);
        pen += glyph.advance;
    }
    return width;
}

int widthWith(const FontMetrics& font, Line line, const std::vector<Character>& word) {
    line.appendWord(word);
    return widthOf(font, line.codes);
}

// Greedy breaking of one paragraph: as many words on a line as fit.
void breakParagraph(const FontMetrics& font, const std::vector<std::vector<Character>>& words, int maxWidth,
                    std::vector<Line>& lines) {
    Line line;
    for (const std::vector<Character>& word : words) {
        if (widthWith(font, line, word) <= maxWidth) {
            line.appendWord(word);
            continue;
        }
        if (!line.isEmpty()) {
            lines.push_back(std::exchange(line, Line{}));
        }
        if (widthWith(font, line, word) <= maxWidth) {
            line.appendWord(word);
            continue;
        }
        // A word wider than a line on its own: as many of its glyphs on each line as fit.
        for (const Character& c : word) {
            Line trial = line;
            trial.append(c);
            if (!line.isEmpty() && widthOf(font, trial.codes) > maxWidth) {
                lines.push_back(std::exchange(line, Line{}));
            }
            line.append(c);
        }
    }
    lines.push_back(line);
}

std::vector<Line> breakLines(const FontMetrics& font, const std::string& text, int maxWidth) {
    std::vector<Line> lines;
    std::vector<std::vector<Character>> words(1);
    const auto endParagraph = [&] {
        if (words.back().empty()) {
            words.pop_back();
        }
        breakParagraph(font, words, maxWidth, lines);
        words.assign(1, {});
    };
    for (const Character& c : decodeUtf8(text)) {
        if (c.code == '\n') {
            endParagraph();
        } else if (c.code == ' ') {
            if (!words.back().empty()) {
                words.emplace_back();
            }
        } else {
            words.back().push_back(c);
        }
    }
    endParagraph();
    return lines;
}

}

TextLayout TextLayout::lay(const FontMetrics& font, const std::string& text, int maxWidth, TextAlign align) {
    TextLayout layout;
    if (text.empty()) {
        return layout;
    }
    const std::vector<Line> lines = breakLines(font, text, maxWidth);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int width = widthOf(font, lines[i].codes);
        int penX = align == TextAlign::CENTRE ? std::max(0, (maxWidth - width) / 2) : 0;
        const int y = int(i) * font.lineHeight();
        for (const std::uint32_t code : lines[i].codes) {
            const FontMetrics::Glyph& glyph = font.glyph(code);
            if (code != ' ') {
                layout.quads.push_back({penX, y, glyph.width, font.glyphHeight(), glyph.atlasX, glyph.atlasY});
            }
            penX += glyph.advance;
        }
        layout.lines.push_back(lines[i].text);
        layout.lineWidths.push_back(width);
    }
    layout.height = int(lines.size() - 1) * font.lineHeight() + font.glyphHeight();
    return layout;
}
