#pragma once
// Draws a block of text over the frame through the GUI's text program: one quad per
// glyph from a glyph atlas, one atlas texel to a window pixel. Owns its vertex array and
// buffer, deleted in cleanUp; the atlas texture belongs to the model loader. Blending
// follows the game's switch, as for the GUI elements.

#include "world/FontMetrics.h"
#include "world/TextLayout.h"

#include <string>

class GuiShader;

class TextRenderer {
public:
    // The window size is in pixels: the space the text is placed in.
    TextRenderer(GuiShader& program, unsigned int atlas, const FontMetrics& metrics, int width, int height);

    // Lays text out in a box of window pixels (top-left corner, y down), each line
    // centred across and the block centred down, and uploads its quads.
    void setText(const std::string& text, int left, int top, int width, int height);
    void render() const;
    // Deletes the vertex array and buffer; once, with the context current.
    void cleanUp();

    const TextLayout& getLayout() const { return layout; }
    int getTop() const { return blockTop; } // window pixels, the block's first line

private:
    GuiShader* shader = nullptr;
    unsigned int atlasTexture = 0;
    FontMetrics font;
    int windowWidth = 0, windowHeight = 0;
    unsigned int vertexArray = 0;
    unsigned int buffer = 0;
    int vertexCount = 0;
    TextLayout layout;
    int blockLeft = 0, blockTop = 0;
};
