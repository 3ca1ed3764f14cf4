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

// Where the buttons and the panel lie shows in every reference frame.
TEST_F(GuiRendering, ElementsAreUprightInListOrderWithoutDepthTestingWhichIsOnAgainAfterwards) {
    // Top row red, bottom row green, as an image file lists them.
    GuiElement panel(texture(1, 2, {rgba(255, 0, 0), rgba(0, 255, 0)}), Vec2(0, 0), Vec2(0.5f, 0.5f));
    GuiElement badge(texture(rgba(0, 0, 255)), Vec2(0.25f, 0.25f), Vec2(0.1f, 0.1f));
    renderer.render({&panel, &badge});

    EXPECT_EQ(readWindowPixel(400, 250), (Pixel{255, 0, 0}));
    EXPECT_EQ(readWindowPixel(400, 500), (Pixel{0, 255, 0}));
    EXPECT_EQ(readWindowPixel(640, 288), (Pixel{0, 0, 255})) << "the badge drawn over the panel";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

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
