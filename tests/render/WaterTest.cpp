#include "RenderTestSupport.h"

// The water's pictures (the mirror upside down, the bottom upright, the ripples' shift
// and the surface's winding) show in the reference frames' lake views.

TEST(WaterTargets, MakingOrLeavingATargetBindsTheWindowAgain) {
    requireGlContext();
    WaterTargets targets;
    // The viewport each target sets is checked through the scene's passes.
    for (const auto step :
         {&WaterTargets::createReflectionTarget, &WaterTargets::createRefractionTarget, &WaterTargets::unbindTargets}) {
        if (step == &WaterTargets::unbindTargets)
            targets.bindRefractionTarget();
        glViewport(0, 0, 10, 10);
        (targets.*step)();
        EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(viewport(), WINDOW_VIEWPORT);
    }
    targets.cleanUp();
}

// Sizes, formats and attachments show in the reference frames' water pictures: a
// target without its depth buffer draws hidden things over near ones.
TEST(WaterTargets, NoTextureStaysBoundWhileATargetIsDrawnInto) {
    requireGlContext();
    WaterTargets targets;
    targets.createRefractionTarget();
    glBindTexture(GL_TEXTURE_2D, targets.refractionTexture);
    targets.bindRefractionTarget();
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
    targets.unbindTargets();
    targets.cleanUp();
}

TEST(WaterTargets, CleanUpDeletesTheTargets) {
    requireGlContext();
    WaterTargets targets;
    targets.createReflectionTarget();
    targets.createRefractionTarget();
    targets.cleanUp();
    EXPECT_FALSE(glIsFramebuffer(targets.reflectionFrameBuffer) || glIsTexture(targets.refractionDepthTexture) ||
                 glIsRenderbuffer(targets.reflectionDepthBuffer));
}

TEST(WaterRipples, MoveFactorStaysBelowOneAndAdvancesByTheSameStepRoundTheWrap) {
    // Steady 21 ms frames: somewhere past 165,000 frames a value just below 1 rounds to 1.0f.
    constexpr float FRAME_TIME = 0.021f;
    const double step = WaterRenderer::DISTORTION_SPEED * double(FRAME_TIME);
    float moveFactor = 0;
    int wraps = 0;
    for (int frame = 1; frame <= 200000; ++frame) {
        const float next = WaterRenderer::advanceMoveFactor(moveFactor, FRAME_TIME);
        ASSERT_TRUE(next >= 0.0f && next < 1.0f) << frame << ": " << next;
        // The advance measured round the circle, so a wrap counts as the same step.
        ASSERT_NEAR(std::fmod(double(next) - double(moveFactor) + 1.0, 1.0), step, 1e-7) << frame;
        wraps += next < moveFactor;
        moveFactor = next;
    }
    EXPECT_NEAR(wraps, 200000 * step, 1.0); // float steps drift a little over so many frames
}
