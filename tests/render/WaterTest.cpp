#include "RenderTestSupport.h"

namespace {

// A target's picture in four flat quarters, listed as seen: top left, top right,
// bottom left, bottom right.
void paint(GLuint frameBuffer, int width, int height, const std::array<Vec3, 4>& quarters) {
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < 4; ++i) {
        glScissor(i % 2 * width / 2, i < 2 ? height / 2 : 0, width / 2, height / 2);
        glClearColor(quarters[i].r, quarters[i].g, quarters[i].b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

const Vec3 BLACK(0, 0, 0), WHITE(1, 1, 1);
const std::array<Vec3, 4> DARK = {BLACK, BLACK, BLACK, BLACK};
// Quarters told apart by which channels are lit, whatever share of the mix they get.
const std::array<Vec3, 4> QUARTERS = {Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 1), WHITE};

// Which of QUARTERS a pixel shows, or -1.
int quarterShown(const Pixel& p) {
    // A channel over 100 is lit: above the tint's share, below a quarter's.
    const auto at = std::find(QUARTERS.begin(), QUARTERS.end(), Vec3(p.r > 100, p.g > 100, p.b > 100));
    return at == QUARTERS.end() ? -1 : int(at - QUARTERS.begin());
}

class WaterRendering : public RenderTest {
protected:
    void SetUp() override {
        targets.createReflectionTarget();
        targets.createRefractionTarget();
    }

    void TearDown() override {
        targets.cleanUp();
        RenderTest::TearDown();
    }

    Pixel drawTileAndReadCentre(const Vec3& cameraPosition, float pitch) {
        clearWindow();
        Camera camera;
        camera.position = cameraPosition;
        camera.pitch = pitch;
        WaterTile tile(0, 0, 0);
        renderer.render({&tile}, camera, 0.0f);
        return readWindowPixel(512, 384);
    }

    // Replaces the renderer's du/dv map with a one texel wide column, rows from v = 0, and
    // sets the pictures the reflection and refraction show, each 4 quarters (see paint).
    void setScene(const std::vector<std::uint32_t>& ripples, const std::array<Vec3, 4>& reflection,
                  const std::array<Vec3, 4>& refraction) {
        fillTexture(loader.textures().front(), 1, int(ripples.size()), ripples); // the loader's only texture
        paint(targets.reflectionFrameBuffer, 320, 180, reflection);
        paint(targets.refractionFrameBuffer, 1280, 720, refraction);
    }

    WaterTargets targets;
    WaterRenderer renderer{loader, programs().water, Transforms::makeProjectionMatrix(1024, 768), targets};
};

}

TEST(WaterTargets, MakingOrLeavingATargetBindsTheWindowAgain) {
    requireGlContext();
    WaterTargets targets;
    const auto expectWindowBound = [] {
        EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(viewport(), WINDOW_VIEWPORT);
        glViewport(0, 0, 10, 10);
    };
    glViewport(0, 0, 10, 10);
    targets.createReflectionTarget();
    expectWindowBound();
    targets.createRefractionTarget();
    expectWindowBound();
    // The viewport each target sets is checked through the scene's passes.
    targets.bindRefractionTarget();
    targets.unbindTargets();
    expectWindowBound();
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

TEST_F(WaterRendering, TheReflectionIsUpsideDownTheRefractionUprightAndGrazingViewsShowTheReflection) {
    // A still surface; straight down the bottom shows through, as it is.
    setScene({rgba(128, 128, 0)}, DARK, QUARTERS);
    drawTileAndReadCentre(Vec3(0, 50, 0), 90);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quarterShown(readWindowPixel(256 + i % 2 * 512, 192 + i / 2 * 384)), i);
    }

    // 20 degrees down from 10 above the water: the upper half of the screen sees the
    // surface 5 degrees below the horizon, mostly mirror, and the mirror shows what
    // the camera below the surface saw in the lower half of its picture.
    setScene({rgba(128, 128, 0)}, QUARTERS, DARK);
    drawTileAndReadCentre(Vec3(0, 10, 110), 20);
    EXPECT_EQ(quarterShown(readWindowPixel(256, 192)), 2) << "bottom left";
    EXPECT_EQ(quarterShown(readWindowPixel(768, 192)), 3) << "bottom right";

    EXPECT_EQ(drawTileAndReadCentre(Vec3(0, -50, 0), -90), Pixel{}) << "the surface is culled from below";
}

TEST_F(WaterRendering, RipplesAdvanceWithFrameTimeAndShiftThePicturesByFourHundredthsOfTheScreenInBands) {
    // The du/dv map repeats six times across the 240 units of a tile, so each of its
    // two rows covers a band 20 units deep: z 0..20 the first row, -20..0 the second.
    // Full red pushes the lookups right, no red left, each of the two samples by the
    // wave strength, 0.02 of the screen: 0.04, 41 pixels, together.
    setScene({rgba(255, 128, 0), rgba(0, 128, 0)}, DARK, {BLACK, WHITE, BLACK, WHITE});
    // Three frames of 1/60 s move the ripples on by 0.0015 (the wrap is checked on the step
    // function above), too little to move the bands.
    for (int i = 0; i < 3; ++i) renderer.render({}, Camera(), 1.0f / 60.0f);
    const Vec3 eye(0, 60, 0);
    drawTileAndReadCentre(eye, 90);
    EXPECT_NEAR(renderer.getMoveFactor(), 0.0015f, 1e-5f);
    expectUniform(programs().water.programId, "moveFactor", {0.0015f});

    // Where the dark half of the picture meets the light one, at the depth of each band.
    for (const auto& [z, edgeX] : {std::pair{10.0f, 512 - 41}, std::pair{-10.0f, 512 + 41}}) {
        const Mat4 projection = Transforms::makeProjectionMatrix(1024, 768);
        const int y = windowPixelOf(projection, Transforms::makeViewMatrix(eye, 90, 0), Vec3(0, 0, z)).y;
        EXPECT_LT(readWindowPixel(edgeX - 6, y).r, 50) << z;
        EXPECT_GT(readWindowPixel(edgeX + 6, y).r, 150) << z;
    }
}
