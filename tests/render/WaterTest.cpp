#include "RenderTestSupport.h"

#include "render/WaterRenderer.h"
#include "render/WaterTargets.h"
#include "render/WaterTile.h"
#include "world/Camera.h"

#include <gtest/gtest.h>

namespace {

constexpr float MOVE_TOLERANCE = 1e-5f;

GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void expectDisplayBound() {
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 1024, 768}));
}

struct Attachment {
    GLint type = 0, name = 0;
};

Attachment attachment(GLuint frameBuffer, GLenum point) {
    Attachment a;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &a.type);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &a.name);
    return a;
}

struct TextureLevel {
    GLint width = 0, height = 0, format = 0, minFilter = 0, magFilter = 0;
};

TextureLevel textureLevel(GLuint texture) {
    TextureLevel t;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &t.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &t.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &t.format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &t.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &t.magFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    return t;
}

void fill(GLuint frameBuffer, float r, float g, float b) {
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

class WaterRendering : public testing::Test {
protected:
    void SetUp() override {
        requireGlContext();
        targets.createReflectionTarget();
        targets.createRefractionTarget();
        shader = &programs().water;
        renderer = std::make_unique<WaterRenderer>(loader, *shader, Transforms::makeProjectionMatrix(1024, 768),
                                                   targets);
    }

    void TearDown() override {
        targets.cleanUp();
        loader.cleanUp();
    }

    Pixel drawTileAndReadCentre(const Camera& camera) {
        glViewport(0, 0, 1024, 768);
        glDisable(GL_BLEND);
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        WaterTile tile(0, 0, 0);
        renderer->render({&tile}, camera, 0.0f);
        return readWindowPixel(512, 384);
    }

    ModelLoader loader;
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

    struct Expected {
        GLuint texture;
        GLint width, height, format;
    };
    for (const Expected& e : {Expected{targets.reflectionTexture, 320, 180, GL_RGB},
                              Expected{targets.refractionTexture, 1280, 720, GL_RGB},
                              Expected{targets.refractionDepthTexture, 1280, 720, GL_DEPTH_COMPONENT32}}) {
        const TextureLevel t = textureLevel(e.texture);
        EXPECT_EQ(t.width, e.width) << e.texture;
        EXPECT_EQ(t.height, e.height) << e.texture;
        EXPECT_EQ(t.format, e.format) << e.texture;
        EXPECT_EQ(t.minFilter, GL_LINEAR) << e.texture;
        EXPECT_EQ(t.magFilter, GL_LINEAR) << e.texture;
    }
    glBindRenderbuffer(GL_RENDERBUFFER, targets.reflectionDepthBuffer);
    GLint bufferWidth = 0, bufferHeight = 0;
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &bufferWidth);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &bufferHeight);
    EXPECT_EQ(bufferWidth, 320);
    EXPECT_EQ(bufferHeight, 180);

    struct Attached {
        GLuint frameBuffer;
        GLenum point;
        GLint type;
        GLuint name;
    };
    for (const Attached& e :
         {Attached{targets.reflectionFrameBuffer, GL_COLOR_ATTACHMENT0, GL_TEXTURE, targets.reflectionTexture},
          Attached{targets.reflectionFrameBuffer, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, targets.reflectionDepthBuffer},
          Attached{targets.refractionFrameBuffer, GL_COLOR_ATTACHMENT0, GL_TEXTURE, targets.refractionTexture},
          Attached{targets.refractionFrameBuffer, GL_DEPTH_ATTACHMENT, GL_TEXTURE, targets.refractionDepthTexture}}) {
        const Attachment a = attachment(e.frameBuffer, e.point);
        EXPECT_EQ(a.type, e.type) << e.frameBuffer << " " << e.point;
        EXPECT_EQ(GLuint(a.name), e.name) << e.frameBuffer << " " << e.point;
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    }

    targets.bindRefractionTarget();
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 1280, 720}));
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0) << "no texture may stay bound while drawing into a target";
    targets.unbindTargets();
    expectDisplayBound();

    targets.cleanUp();
    EXPECT_FALSE(glIsFramebuffer(targets.reflectionFrameBuffer));
    EXPECT_FALSE(glIsTexture(targets.refractionDepthTexture));
    EXPECT_FALSE(glIsRenderbuffer(targets.reflectionDepthBuffer));
    EXPECT_EQ(takeGlError(), GLenum(GL_NO_ERROR));
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
    Camera above;
    above.position = Vec3(0, 50, 0);
    above.pitch = 90;
    const Pixel down = drawTileAndReadCentre(above);
    EXPECT_GT(down.g, 2 * down.r) << down.r << " " << down.g;

    Camera grazing;
    grazing.position = Vec3(0, 1, 100);
    grazing.pitch = 2;
    const Pixel shallow = drawTileAndReadCentre(grazing);
    EXPECT_GT(shallow.r, 2 * shallow.g) << shallow.r << " " << shallow.g;

    Camera below;
    below.position = Vec3(0, -50, 0);
    below.pitch = -90;
    const Pixel underneath = drawTileAndReadCentre(below);
    EXPECT_EQ(underneath.r + underneath.g + underneath.b, 0) << "the surface is culled from below";
}
