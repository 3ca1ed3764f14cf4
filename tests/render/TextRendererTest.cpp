#include "RenderTestSupport.h"

#include "render/TextRenderer.h"

#include <set>

using TextRendering = RenderTest;

// The real atlas, drawn one texel to a pixel: inside each glyph's quad the window shows
// the atlas texel laid over the red scene by its alpha, and outside every quad the scene
// is untouched. A missing character draws the placeholder's ink.
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

    std::set<std::pair<int, int>> covered;
    int mismatches = 0, inked = 0, placeholderInk = 0;
    const FontMetrics::Glyph& placeholder = font->glyph(FontMetrics::PLACEHOLDER);
    for (const GlyphQuad& q : layout.quads) {
        for (int y = 0; y < q.height; ++y) {
            for (int x = 0; x < q.width; ++x) {
                const int windowX = LEFT + q.x + x, windowY = text.getTop() + q.y + y;
                covered.insert({windowX, windowY});
                const std::uint8_t* texel = &atlas.rgba[(size_t(q.atlasY + y) * size_t(atlas.width) + size_t(q.atlasX + x)) * 4];
                const double alpha = texel[3] / 255.0;
                const std::uint8_t* pixel = windowAt(windowX, windowY);
                const double expected[3] = {texel[0] * alpha + 255 * (1 - alpha), texel[1] * alpha, texel[2] * alpha};
                for (int c = 0; c < 3; ++c) mismatches += std::abs(pixel[c] - expected[c]) > 2.0;
                inked += texel[3] > 0;
                placeholderInk += texel[3] > 0 && q.atlasX == placeholder.atlasX && q.atlasY == placeholder.atlasY;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(inked, 500);
    EXPECT_GT(placeholderInk, 40) << "'#' has no glyph of its own";
    int outside = 0;
    for (int y = TOP - 10; y < TOP + HEIGHT + 10; ++y)
        for (int x = LEFT - 10; x < LEFT + WIDTH + 10; ++x)
            outside += !covered.count({x, y}) &&
                       !(Pixel{windowAt(x, y)[0], windowAt(x, y)[1], windowAt(x, y)[2]} == Pixel{255, 0, 0});
    EXPECT_EQ(outside, 0);
    text.cleanUp();
}
