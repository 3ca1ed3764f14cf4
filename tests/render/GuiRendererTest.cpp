#include "RenderTestSupport.h"

#include "render/GuiElement.h"
#include "render/GuiRenderer.h"

#include <gtest/gtest.h>

namespace {

class GuiRendering : public testing::Test {
protected:
    void SetUp() override {
        renderer = std::make_unique<GuiRenderer>(programs().gui, loader);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 1024, 768);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClearDepth(0.0);
        // Depth cleared to the near plane: any depth-tested draw would fail.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
    }

    void TearDown() override {
        for (const GLuint texture : textures) {
            glDeleteTextures(1, &texture);
        }
        loader.cleanUp();
    }

    GLuint texture(int width, int height, const std::vector<std::uint32_t>& texels) {
        textures.push_back(makeTexture(width, height, texels));
        return textures.back();
    }

    bool isLit(int x, int yFromTop) {
        const Pixel p = readWindowPixel(x, yFromTop);
        return p.r + p.g + p.b > 0;
    }

    ModelLoader loader;
    std::unique_ptr<GuiRenderer> renderer;
    std::vector<GLuint> textures;
};

}

TEST_F(GuiRendering, ButtonCoversItsRectangleInWindowPixels) {
    GuiElement ready(texture(1, 1, {rgba(255, 255, 255)}), Vec2(0.3f, -0.8f), Vec2(0.1f, 0.1f));
    renderer->render({&ready});

    // x 0.2..0.4 is pixels 614.4..716.8 from the left; y -0.9..-0.7 is 652.8..729.6 from the top.
    EXPECT_TRUE(isLit(614, 690));
    EXPECT_TRUE(isLit(716, 690));
    EXPECT_FALSE(isLit(613, 690));
    EXPECT_FALSE(isLit(717, 690));
    EXPECT_TRUE(isLit(660, 653));
    EXPECT_TRUE(isLit(660, 729));
    EXPECT_FALSE(isLit(660, 652));
    EXPECT_FALSE(isLit(660, 730));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    glDisable(GL_DEPTH_TEST);
    renderer->render({});
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "also after an empty list";
}

TEST_F(GuiRendering, ImageIsUprightAndLaterElementsCoverEarlierOnes) {
    // Top row red, bottom row green, as an image file lists them.
    GuiElement panel(texture(1, 2, {rgba(255, 0, 0), rgba(0, 255, 0)}), Vec2(0, 0), Vec2(0.5f, 0.5f));
    GuiElement badge(texture(1, 1, {rgba(0, 0, 255)}), Vec2(0.25f, 0.25f), Vec2(0.1f, 0.1f));
    renderer->render({&panel, &badge});

    const Pixel top = readWindowPixel(400, 250);
    const Pixel bottom = readWindowPixel(400, 500);
    const Pixel covered = readWindowPixel(640, 288);
    EXPECT_EQ(top.r, 255);
    EXPECT_EQ(top.g, 0);
    EXPECT_EQ(bottom.g, 255);
    EXPECT_EQ(bottom.r, 0);
    EXPECT_EQ(covered.b, 255);
    EXPECT_EQ(covered.r, 0);
}
