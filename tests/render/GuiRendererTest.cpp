#include "RenderTestSupport.h"

#include "render/GuiElement.h"
#include "render/GuiRenderer.h"

namespace {

class GuiRendering : public RenderTest {
protected:
    void SetUp() override {
        clearWindow();
        // Depth cleared to the near plane: any depth-tested draw would fail.
        glClearDepth(0.0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
    }

    GuiRenderer renderer{programs().gui, loader};
};

}

TEST_F(GuiRendering, ElementsCoverTheirRectanglesUprightInListOrderWithoutDepthTesting) {
    GuiElement ready(texture(rgba(255, 255, 255)), Vec2(0.3f, -0.8f), Vec2(0.1f, 0.1f));
    renderer.render({&ready});

    // x 0.2..0.4 is pixels 614.4..716.8 from the left; y -0.9..-0.7 is 652.8..729.6 from the top.
    const struct {
        int x, y;
        bool lit;
    } edges[] = {{614, 690, true}, {716, 690, true}, {613, 690, false}, {717, 690, false},
                 {660, 653, true}, {660, 729, true}, {660, 652, false}, {660, 730, false}};
    for (const auto& e : edges) {
        const Pixel p = readWindowPixel(e.x, e.y);
        EXPECT_EQ(p.r + p.g + p.b > 0, e.lit) << e.x << "," << e.y;
    }
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    // Top row red, bottom row green, as an image file lists them.
    GuiElement panel(texture(1, 2, {rgba(255, 0, 0), rgba(0, 255, 0)}), Vec2(0, 0), Vec2(0.5f, 0.5f));
    GuiElement badge(texture(rgba(0, 0, 255)), Vec2(0.25f, 0.25f), Vec2(0.1f, 0.1f));
    renderer.render({&panel, &badge});

    EXPECT_EQ(readWindowPixel(400, 250), (Pixel{255, 0, 0}));
    EXPECT_EQ(readWindowPixel(400, 500), (Pixel{0, 255, 0}));
    EXPECT_EQ(readWindowPixel(640, 288), (Pixel{0, 0, 255})) << "the badge drawn over the panel";

    glDisable(GL_DEPTH_TEST);
    renderer.render({});
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "also after an empty list";
}

TEST_F(GuiRendering, ElementsBlendOverTheSceneByTheirAlpha) {
    glClearColor(1, 0, 0, 1); // the scene: red
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND); // the game's blending switch, on from the start
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Blue, from opaque on the left through half to clear on the right.
    GuiElement panel(texture(3, 1, {rgba(0, 0, 255, 255), rgba(0, 0, 255, 128), rgba(0, 0, 255, 0)}), Vec2(0, 0),
                     Vec2(0.75f, 0.5f));
    renderer.render({&panel});
    glDisable(GL_BLEND);

    // Thirds of the panel, which spans pixels 128..896 across.
    EXPECT_EQ(readWindowPixel(256, 384), (Pixel{0, 0, 255}));
    EXPECT_TRUE(isNear(readWindowPixel(512, 384), Pixel{127, 0, 128}, 1)) << readWindowPixel(512, 384);
    EXPECT_EQ(readWindowPixel(768, 384), (Pixel{255, 0, 0}));
}
