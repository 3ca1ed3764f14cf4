#include "RenderTestSupport.h"

#include "render/TextRenderer.h"

using TextRendering = RenderTest;

// The real atlas, drawn one texel to a pixel: inside each glyph's quad the window shows
// the atlas texel laid over the red scene by its alpha. Stray ink shows in the speech
// reference frame, but not where a block lies in a box much taller than its lines.
TEST_F(TextRendering, GlyphsShowTheirAtlasTexelsOneToOneAtTheirLaidOutPlaces) {
    const ModelLoader::TextureImage atlas = loader.loadTextureImage("Resources/guiFont.png");
    const std::optional<FontMetrics> font = FontMetrics::fromAtlas(atlas.rgba.data(), atlas.width, atlas.height);
    ASSERT_TRUE(font);
    TextRenderer text(programs().text, atlas.texture, *font, 1024, 768);
    constexpr int LEFT = 100, TOP = 200, WIDTH = 200, HEIGHT = 100;
    text.setText("Hi, you # there", LEFT, TOP, WIDTH, HEIGHT);
    const TextLayout& layout = text.getLayout();
    ASSERT_EQ(layout.lines, (std::vector<std::string>{"Hi, you #", "there"}));
    EXPECT_EQ(text.getTop(), TOP + (HEIGHT - layout.height) / 2);

    clearWindow();
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    text.render();
    glDisable(GL_BLEND);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    std::vector<unsigned char> window(1024 * 768 * 4);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, window.data());
    const auto windowAt = [&](int x, int yFromTop) { return &window[(size_t(767 - yFromTop) * 1024 + size_t(x)) * 4]; };

    int mismatches = 0, inked = 0;
    for (const GlyphQuad& q : layout.quads) {
        for (int y = 0; y < q.height; ++y) {
            for (int x = 0; x < q.width; ++x) {
                const int windowX = LEFT + q.x + x, windowY = text.getTop() + q.y + y;
                const std::uint8_t* texel =
                    &atlas.rgba[(size_t(q.atlasY + y) * size_t(atlas.width) + size_t(q.atlasX + x)) * 4];
                const double alpha = texel[3] / 255.0;
                const std::uint8_t* pixel = windowAt(windowX, windowY);
                const double expected[3] = {texel[0] * alpha + 255 * (1 - alpha), texel[1] * alpha, texel[2] * alpha};
                for (int c = 0; c < 3; ++c)
                    mismatches += std::abs(pixel[c] - expected[c]) > 2.0;
                inked += texel[3] > 0;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(inked, 500);
    text.cleanUp();
}
