#include "RenderTestSupport.h"

#include "render/WaterRenderer.h"
#include "render/WaterTargets.h"
#include "render/WaterTile.h"
#include "world/Camera.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr float MOVE_TOLERANCE = 1e-5f;

void expectDisplayBound() {
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
}

GLint attachmentParameter(GLuint frameBuffer, GLenum point, GLenum name) {
    GLint value = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, name, &value);
    return value;
}

void fill(GLuint frameBuffer, float r, float g, float b) {
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

class WaterRendering : public RenderTest {
protected:
    void SetUp() override {
        shader = &programs().water;
        targets.createReflectionTarget();
        targets.createRefractionTarget();
        renderer = std::make_unique<WaterRenderer>(loader, *shader, Transforms::makeProjectionMatrix(1024, 768),
                                                   targets);
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
        renderer->render({&tile}, camera, 0.0f);
        return readWindowPixel(512, 384);
    }

    WaterTargets targets;
    WaterShader* shader = nullptr;
    std::unique_ptr<WaterRenderer> renderer;
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
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, targets.reflectionDepthBuffer);
    GLint bufferSize[2] = {};
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &bufferSize[0]);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &bufferSize[1]);
    EXPECT_EQ(bufferSize[0], 320);
    EXPECT_EQ(bufferSize[1], 180);

    const struct {
        GLuint frameBuffer;
        GLenum point;
        GLint type;
        GLuint name;
    } attachments[] = {
        {targets.reflectionFrameBuffer, GL_COLOR_ATTACHMENT0, GL_TEXTURE, targets.reflectionTexture},
        {targets.reflectionFrameBuffer, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, targets.reflectionDepthBuffer},
        {targets.refractionFrameBuffer, GL_COLOR_ATTACHMENT0, GL_TEXTURE, targets.refractionTexture},
        {targets.refractionFrameBuffer, GL_DEPTH_ATTACHMENT, GL_TEXTURE, targets.refractionDepthTexture}};
    for (const auto& e : attachments) {
        SCOPED_TRACE(testing::Message() << "frame buffer " << e.frameBuffer << ", point " << e.point);
        EXPECT_EQ(attachmentParameter(e.frameBuffer, e.point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), e.type);
        EXPECT_EQ(GLuint(attachmentParameter(e.frameBuffer, e.point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME)), e.name);
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

TEST_F(WaterRendering, RipplesAdvanceWithFrameTimeAndWrapBelowOne) {
    const Camera camera;
    WaterTile tile(210, 210, -21);
    EXPECT_EQ(renderer->getMoveFactor(), 0.0f);
    for (int i = 0; i < 3; ++i) {
        renderer->render({&tile}, camera, 1.0f / 60.0f);
    }
    EXPECT_NEAR(renderer->getMoveFactor(), 0.0015f, MOVE_TOLERANCE);
    expectUniform(shader->programId, "moveFactor", {0.0015f});
    renderer->render({&tile}, camera, 0.0f);
    EXPECT_NEAR(renderer->getMoveFactor(), 0.0015f, MOVE_TOLERANCE) << "a zero-length frame moves nothing";
    for (int i = 0; i < 33; ++i) {
        renderer->render({&tile}, camera, 1.0f);
    }
    EXPECT_NEAR(renderer->getMoveFactor(), 0.9915f, MOVE_TOLERANCE);
    renderer->render({&tile}, camera, 1.0f);
    EXPECT_NEAR(renderer->getMoveFactor(), 0.0215f, MOVE_TOLERANCE);
}

TEST_F(WaterRendering, LookingDownShowsTheBottomAndGrazingViewsTheReflection) {
    fill(targets.reflectionFrameBuffer, 1, 0, 0);
    fill(targets.refractionFrameBuffer, 0, 1, 0);
    const Pixel down = drawTileAndReadCentre(Vec3(0, 50, 0), 90);
    EXPECT_GT(down.g, 2 * down.r) << down;
    const Pixel grazing = drawTileAndReadCentre(Vec3(0, 1, 100), 2);
    EXPECT_GT(grazing.r, 2 * grazing.g) << grazing;
    EXPECT_EQ(drawTileAndReadCentre(Vec3(0, -50, 0), -90), Pixel{}) << "the surface is culled from below";
}
