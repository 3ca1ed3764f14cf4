#include "render/TextRenderer.h"

#include "render/GuiShader.h"
#include "world/Transforms.h"

#include <GL/glew.h>

#include <algorithm>
#include <vector>

namespace {
constexpr int FLOATS_PER_VERTEX = 4; // x, y in pixels; u, v in the atlas

// Two triangles a glyph, corners in block pixels with their atlas coordinates.
std::vector<float> makeVertices(const TextLayout& layout, const FontMetrics& font) {
    std::vector<float> vertices;
    vertices.reserve(layout.quads.size() * 6 * FLOATS_PER_VERTEX);
    const float atlasWidth = float(font.atlasWidth()), atlasHeight = float(font.atlasHeight());
    for (const GlyphQuad& q : layout.quads) {
        const float x0 = float(q.x), y0 = float(q.y), x1 = float(q.x + q.width), y1 = float(q.y + q.height);
        const float u0 = float(q.atlasX) / atlasWidth, v0 = float(q.atlasY) / atlasHeight;
        const float u1 = float(q.atlasX + q.width) / atlasWidth, v1 = float(q.atlasY + q.height) / atlasHeight;
        const float corners[6][4] = {{x0, y0, u0, v0}, {x0, y1, u0, v1}, {x1, y0, u1, v0},
                                     {x1, y0, u1, v0}, {x0, y1, u0, v1}, {x1, y1, u1, v1}};
        for (const auto& corner : corners) {
            vertices.insert(vertices.end(), corner, corner + FLOATS_PER_VERTEX);
        }
    }
    return vertices;
}
}

TextRenderer::TextRenderer(GuiShader& program, unsigned int atlas, const FontMetrics& metrics, int width, int height)
    : shader(&program), atlasTexture(atlas), font(metrics), windowWidth(width), windowHeight(height) {
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &buffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = FLOATS_PER_VERTEX * sizeof(float);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void TextRenderer::setText(const std::string& text, int left, int top, int width, int height) {
    layout = TextLayout::lay(font, text, width, TextAlign::CENTRE);
    blockLeft = left;
    blockTop = top + std::max(0, (height - layout.height) / 2);
    const std::vector<float> vertices = makeVertices(layout, font);
    vertexCount = int(vertices.size()) / FLOATS_PER_VERTEX;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(float)), vertices.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void TextRenderer::render() const {
    if (vertexCount == 0) {
        return;
    }
    // Block pixels to device coordinates: y runs down the window.
    const Vec2 origin(-1.0f + 2.0f * float(blockLeft) / float(windowWidth),
                      1.0f - 2.0f * float(blockTop) / float(windowHeight));
    shader->start();
    shader->setTransformation(
        Transforms::makeModelMatrix(origin, Vec2(2.0f / float(windowWidth), -2.0f / float(windowHeight))));
    glBindVertexArray(vertexArray);
    glDisable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, atlasTexture);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glEnable(GL_DEPTH_TEST);
    glBindVertexArray(0);
    shader->stop();
}

void TextRenderer::cleanUp() {
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    buffer = 0;
    vertexArray = 0;
    vertexCount = 0;
}
