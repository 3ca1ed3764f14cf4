#include "RenderTestSupport.h"

#include "render/WaterRenderer.h"
#include "render/WaterTargets.h"
#include "render/WaterTile.h"
#include "world/Camera.h"

#include <cmath>
#include <string>

namespace {

constexpr float MOVE_TOLERANCE = 1e-5f;

void expectDisplayBound() {
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
}

GLint depthAttachment(GLuint frameBuffer, GLenum name) {
    GLint value = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, name, &value);
    return value;
}

void fill(GLuint frameBuffer, float r, float g, float b) {
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// A target's picture in four flat quarters, listed as seen: top left, top right,
// bottom left, bottom right.
void paintQuarters(GLuint frameBuffer, int width, int height, const std::array<Vec3, 4>& quarters) {
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
// Quarters told apart by which channels are lit, whatever share of the mix they get.
const std::array<Vec3, 4> QUARTERS = {Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 1), WHITE};
const char* const QUARTER_NAMES[] = {"top left", "top right", "bottom left", "bottom right"};

std::string quarterShown(const Pixel& p) {
    constexpr int LIT = 100; // above the tint's share, below a quarter's
    const bool r = p.r > LIT, g = p.g > LIT, b = p.b > LIT;
    for (int i = 0; i < 4; ++i) {
        if (Vec3(r, g, b) == QUARTERS[i]) {
            return QUARTER_NAMES[i];
        }
    }
    return "none";
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

    // Replaces the renderer's du/dv map with a one texel wide column, rows from v = 0.
    void setRipples(const std::vector<std::uint32_t>& rows) {
        // This fixture's loader has loaded nothing but that map.
        glBindTexture(GL_TEXTURE_2D, loader.textures().front());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, GLsizei(rows.size()), 0, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }

    WaterTargets targets;
    WaterShader* shader = &programs().water;
    WaterRenderer renderer{loader, *shader, Transforms::makeProjectionMatrix(1024, 768), targets};
};

}

TEST(WaterTargets, TargetsHaveTheirSizesFormatsAndAttachments) {
    requireGlContext();
    WaterTargets targets;
    glViewport(0, 0, 10, 10);
    targets.createReflectionTarget();
    expectDisplayBound();
    glViewport(0, 0, 10, 10);
    targets.createRefractionTarget();
    expectDisplayBound();

    const struct {
        GLuint texture;
        GLint width, height, format;
    } images[] = {{targets.reflectionTexture, 320, 180, GL_RGB},
                  {targets.refractionTexture, 1280, 720, GL_RGB},
                  {targets.refractionDepthTexture, 1280, 720, GL_DEPTH_COMPONENT32}};
    for (const auto& e : images) {
        SCOPED_TRACE(e.texture);
        GLint width = 0, height = 0, format = 0, minFilter = 0, magFilter = 0;
        glBindTexture(GL_TEXTURE_2D, e.texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ((std::array<GLint, 5>{width, height, format, minFilter, magFilter}),
                  (std::array<GLint, 5>{e.width, e.height, e.format, GL_LINEAR, GL_LINEAR}));
    }
    const struct {
        GLuint frameBuffer;
        GLint type;
        GLuint name;
    } depths[] = {{targets.reflectionFrameBuffer, GL_RENDERBUFFER, targets.reflectionDepthBuffer},
                  {targets.refractionFrameBuffer, GL_TEXTURE, targets.refractionDepthTexture}};
    // The colour attachments, and a depth buffer of the right size, show in the pictures.
    for (const auto& e : depths) {
        SCOPED_TRACE(e.frameBuffer);
        EXPECT_EQ(depthAttachment(e.frameBuffer, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), e.type);
        EXPECT_EQ(GLuint(depthAttachment(e.frameBuffer, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME)), e.name);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    }

    // The viewport each target sets is checked through the scene's passes.
    glBindTexture(GL_TEXTURE_2D, targets.reflectionTexture);
    targets.bindRefractionTarget();
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0) << "no texture may stay bound while drawing into a target";
    targets.unbindTargets();
    expectDisplayBound();

    targets.cleanUp();
    EXPECT_FALSE(glIsFramebuffer(targets.reflectionFrameBuffer));
    EXPECT_FALSE(glIsTexture(targets.refractionDepthTexture));
    EXPECT_FALSE(glIsRenderbuffer(targets.reflectionDepthBuffer));
}

// The wrap itself is checked on the step function below.
TEST_F(WaterRendering, RipplesAdvanceWithFrameTimeIntoTheShader) {
    WaterTile tile(210, 210, -21);
    for (int i = 0; i < 3; ++i) {
        renderer.render({&tile}, Camera(), 1.0f / 60.0f);
    }
    EXPECT_NEAR(renderer.getMoveFactor(), 0.0015f, MOVE_TOLERANCE);
    expectUniform(shader->programId, "moveFactor", {0.0015f});
}

TEST(WaterRipples, MoveFactorStaysBelowOneAndAdvancesByTheSameStepRoundTheWrap) {
    // Steady 21 ms frames: somewhere past 165,000 frames a value just below 1 rounds to 1.0f.
    constexpr float FRAME_TIME = 0.021f;
    const double step = WaterRenderer::DISTORTION_SPEED * double(FRAME_TIME);
    float moveFactor = 0;
    int wraps = 0;
    for (int frame = 1; frame <= 200000; ++frame) {
        const float next = WaterRenderer::advanceMoveFactor(moveFactor, FRAME_TIME);
        ASSERT_GE(next, 0.0f) << frame;
        ASSERT_LT(next, 1.0f) << frame;
        // The advance measured round the circle, so a wrap counts as the same step.
        const double advance = std::fmod(double(next) - double(moveFactor) + 1.0, 1.0);
        ASSERT_NEAR(advance, step, 1e-7) << frame;
        wraps += next < moveFactor;
        moveFactor = next;
    }
    EXPECT_NEAR(wraps, 200000 * step, 1.0); // float steps drift a little over so many frames
}

TEST_F(WaterRendering, TheReflectionIsUpsideDownTheRefractionUprightAndGrazingViewsShowTheReflection) {
    setRipples({rgba(128, 128, 0)}); // a still surface
    // Straight down the bottom shows through, as it is.
    fill(targets.reflectionFrameBuffer, 0, 0, 0);
    paintQuarters(targets.refractionFrameBuffer, 1280, 720, QUARTERS);
    drawTileAndReadCentre(Vec3(0, 50, 0), 90);
    const glm::ivec2 quarterCentres[] = {{256, 192}, {768, 192}, {256, 576}, {768, 576}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quarterShown(readWindowPixel(quarterCentres[i].x, quarterCentres[i].y)), QUARTER_NAMES[i]);
    }

    // 20 degrees down from 10 above the water: the upper half of the screen sees the
    // surface 5 degrees below the horizon, mostly mirror, and the mirror shows what
    // the camera below the surface saw in the lower half of its picture.
    paintQuarters(targets.reflectionFrameBuffer, 320, 180, QUARTERS);
    fill(targets.refractionFrameBuffer, 0, 0, 0);
    drawTileAndReadCentre(Vec3(0, 10, 110), 20);
    EXPECT_EQ(quarterShown(readWindowPixel(256, 192)), "bottom left");
    EXPECT_EQ(quarterShown(readWindowPixel(768, 192)), "bottom right");

    EXPECT_EQ(drawTileAndReadCentre(Vec3(0, -50, 0), -90), Pixel{}) << "the surface is culled from below";
}

TEST_F(WaterRendering, RipplesShiftThePicturesByFourHundredthsOfTheScreenInBandsTwentyUnitsWide) {
    // The du/dv map repeats six times across the 240 units of a tile, so each of its
    // two rows covers a band 20 units deep: z 0..20 the first row, -20..0 the second.
    // Full red pushes the lookups right, no red left, each of the two samples by the
    // wave strength, 0.02 of the screen: 0.04, 41 pixels, together.
    setRipples({rgba(255, 128, 0), rgba(0, 128, 0)});
    fill(targets.reflectionFrameBuffer, 0, 0, 0);
    paintQuarters(targets.refractionFrameBuffer, 1280, 720, {BLACK, WHITE, BLACK, WHITE});
    const Vec3 eye(0, 60, 0);
    drawTileAndReadCentre(eye, 90);

    const Mat4 view = Transforms::makeViewMatrix(eye, 90, 0);
    const Mat4 projection = Transforms::makeProjectionMatrix(1024, 768);
    const struct {
        float z;
        int edgeX; // where the dark half of the picture meets the light one
    } bands[] = {{10, 512 - 41}, {-10, 512 + 41}};
    for (const auto& band : bands) {
        SCOPED_TRACE(band.z);
        const int y = windowPixelOf(projection, view, Vec3(0, 0, band.z)).y;
        EXPECT_LT(readWindowPixel(band.edgeX - 6, y).r, 50);
        EXPECT_GT(readWindowPixel(band.edgeX + 6, y).r, 150);
    }
}
