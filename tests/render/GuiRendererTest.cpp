#include "RenderTestSupport.h"

// Where the buttons and the panel lie, and that depth testing is back on after them, show
// in every reference frame; the blending does not.
using GuiRendering = RenderTest;

TEST_F(GuiRendering, ElementsBlendOverTheSceneByTheirAlphaWithoutDepthTesting) {
    clearWindow();
    // The scene red, its depth cleared to the near plane so that any depth-tested draw fails.
    glClearColor(1, 0, 0, 1);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_BLEND); // the game's blending switch, on from the start
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Blue, from opaque on the left through half to clear on the right.
    GuiElement panel(texture(3, 1, {rgba(0, 0, 255, 255), rgba(0, 0, 255, 128), rgba(0, 0, 255, 0)}), Vec2(0, 0),
                     Vec2(0.75f, 0.5f));
    GuiRenderer(programs().gui, loader).render({&panel});
    glDisable(GL_BLEND);

    // Thirds of the panel, which spans pixels 128..896 across.
    EXPECT_EQ(readWindowPixel(256, 384), (Pixel{0, 0, 255}));
    EXPECT_PRED3(isNear, readWindowPixel(512, 384), (Pixel{127, 0, 128}), 1);
    EXPECT_EQ(readWindowPixel(768, 384), (Pixel{255, 0, 0}));
}
