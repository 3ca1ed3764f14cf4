#include "RenderTestSupport.h"

#include "render/Entity.h"
#include "render/EntityRenderer.h"
#include "render/Light.h"
#include "world/Camera.h"
#include "world/Player.h"

#include <gtest/gtest.h>

namespace {

constexpr int CENTRE_X = 512, CENTRE_Y = 384;
constexpr int SHADE_TOLERANCE = 3; // 8-bit steps

class EntityRendering : public testing::Test {
protected:
    void SetUp() override {
        shader = &programs().entity;
        renderer = std::make_unique<EntityRenderer>(*shader, Transforms::makeProjectionMatrix(1024, 768));
        white = makeSolidTexture(rgba(255, 255, 255));
        square = makeSquare(loader);
    }

    void TearDown() override {
        shader->stop();
        loader.cleanUp();
        glDeleteTextures(1, &white);
    }

    // Camera at the origin looking down -z, black fog, no clipping in effect.
    void beginPass(const std::vector<Light*>& lights) {
        glViewport(0, 0, 1024, 768);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        shader->start();
        shader->setViewMatrix(Camera());
        shader->setLights(lights);
        shader->setSkyColour(0, 0, 0);
        shader->setClipPlane(Vec4(0, 1, 0, 10000));
    }

    Pixel drawSquareAndReadCentre(Model& model, float rotY, float z = -5.0f, float scale = 1.0f) {
        Entity entity(&model, Vec3(0, 0, z), 0, rotY, 0, scale, 0);
        renderer->render({{&model, {&entity}}});
        return readWindowPixel(CENTRE_X, CENTRE_Y);
    }

    ModelLoader loader;
    EntityShader* shader = nullptr;
    std::unique_ptr<EntityRenderer> renderer;
    GLuint white = 0;
    Mesh* square = nullptr;
};

GLint boundTexture(GLenum unit) {
    GLint name = 0;
    glActiveTexture(unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

}

TEST(EntityRenderer, AtlasOffsetIsTheCornerOfTheCellCountedRowByRow) {
    const Vec2 twoRows[4] = {{0, 0}, {0.5f, 0}, {0, 0.5f}, {0.5f, 0.5f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(EntityRenderer::atlasOffset(i, 2), twoRows[i]) << i;
    }
    EXPECT_EQ(EntityRenderer::atlasOffset(0, 1), Vec2(0, 0));
    const Vec2 threeRows = EntityRenderer::atlasOffset(5, 3);
    EXPECT_NEAR(threeRows.x, 2.0f / 3.0f, UNIFORM_TOLERANCE);
    EXPECT_NEAR(threeRows.y, 1.0f / 3.0f, UNIFORM_TOLERANCE);
}

TEST_F(EntityRendering, UnusedLightSlotsAreEmptiedAndExtraLightsIgnored) {
    std::vector<Light> five;
    for (int i = 0; i < 5; ++i) {
        five.emplace_back(Vec3(float(i), 10, 0), Vec3(0.1f * float(i + 1)), Vec3(1, 0.01f * float(i), 0));
    }
    std::vector<Light*> lights;
    for (Light& light : five) {
        lights.push_back(&light);
    }
    shader->start();
    shader->setLights(lights);
    expectUniform(shader->programId, "lightPosition[3]", {3, 10, 0});
    expectUniform(shader->programId, "lightColour[3]", {0.4f, 0.4f, 0.4f});
    expectUniform(shader->programId, "attenuation[3]", {1, 0.03f, 0});

    lights.resize(3);
    shader->setLights(lights);
    expectUniform(shader->programId, "lightPosition[2]", {2, 10, 0});
    expectUniform(shader->programId, "lightColour[2]", {0.3f, 0.3f, 0.3f});
    expectUniform(shader->programId, "lightPosition[3]", {0, 0, 0});
    expectUniform(shader->programId, "lightColour[3]", {0, 0, 0});
    expectUniform(shader->programId, "attenuation[3]", {1, 0, 0});
}

TEST_F(EntityRendering, PlayerIsDrawnWithItsMaterialAndAtlasCell) {
    Material material(white);
    material.numberOfRows = 2;
    material.useFakeLighting = true;
    material.shineDamper = 10;
    material.reflectivity = 0.5f;
    Model model(square, &material);
    Player player(nullptr, &model, Vec3(4, 5, -6), 0, 0, 0, 1);
    player.textureIndex = 3;
    const GLuint sentinel = makeSolidTexture(rgba(1, 2, 3));
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sentinel);

    beginPass({});
    renderer->renderSingle(player);

    const GLuint program = shader->programId;
    expectUniform(program, "offset", {0.5f, 0.5f});
    expectUniform(program, "numberOfRows", {2});
    expectUniform(program, "useFakeLighting", {1});
    expectUniform(program, "hasNormalMap", {0});
    expectUniform(program, "shineDamper", {10});
    expectUniform(program, "reflectivity", {0.5f});
    const Mat4 placed = readMatrix(program, "transformationMatrix");
    EXPECT_EQ(placed[3], Vec4(4, 5, -6, 1));
    EXPECT_EQ(boundTexture(GL_TEXTURE1), GLint(sentinel)) << "a model without a normal map leaves unit 1 alone";
    GLint vertexArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(vertexArray, 0);
    glDeleteTextures(1, &sentinel);
}

TEST_F(EntityRendering, NormalMapGoesToUnitOneAndItsFlagClearsForTheNextModel) {
    const GLuint normals = makeSolidTexture(rgba(128, 128, 255));
    Material colour(white);
    Material normalMap(normals);
    Model mapped(square, &colour, &normalMap);
    Model plain(square, &colour);
    Entity entity(&mapped, Vec3(0, 0, -5), 0, 0, 0, 1, 0);
    Player player(nullptr, &plain, Vec3(0, 0, -5), 0, 0, 0, 1);

    beginPass({});
    renderer->render({{&mapped, {&entity}}});
    expectUniform(shader->programId, "hasNormalMap", {1});
    EXPECT_EQ(boundTexture(GL_TEXTURE1), GLint(normals));
    renderer->renderSingle(player);
    expectUniform(shader->programId, "hasNormalMap", {0});
    EXPECT_EQ(takeGlError(), GLenum(GL_NO_ERROR));
    glDeleteTextures(1, &normals);
}

TEST_F(EntityRendering, TransparentModelsShowBackFacesAndLoseFaintTexels) {
    const GLuint faint = makeSolidTexture(rgba(255, 255, 255, 100));
    const GLuint solid = makeSolidTexture(rgba(255, 255, 255, 140));
    Material opaque(white), faintMaterial(faint), solidMaterial(solid);
    faintMaterial.hasTransparency = solidMaterial.hasTransparency = true;
    Model opaqueModel(square, &opaque), faintModel(square, &faintMaterial), solidModel(square, &solidMaterial);

    beginPass({});
    EXPECT_EQ(drawSquareAndReadCentre(opaqueModel, 180).r, 0) << "culled back face";
    beginPass({});
    EXPECT_GT(drawSquareAndReadCentre(solidModel, 180).r, 0) << "back face of a transparent model";
    beginPass({});
    EXPECT_EQ(drawSquareAndReadCentre(faintModel, 0).r, 0) << "alpha below one half";
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint culled = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &culled);
    EXPECT_EQ(culled, GL_BACK);
    glDeleteTextures(1, &faint);
    glDeleteTextures(1, &solid);
}

TEST_F(EntityRendering, LightFallsOffAboveAnAmbientFloorAndFadesIntoFog) {
    Material material(white);
    Model model(square, &material);
    Light head(Vec3(0, 0, 5), Vec3(1, 1, 1), Vec3(1, 0, 0));
    // 10 units from the square: 1 / (1 + 0.03 * 10 + 0.01 * 100) = 0.4348 of full light.
    Light fading(Vec3(0, 0, 5), Vec3(1, 1, 1), Vec3(1, 0.03f, 0.01f));
    Light behind(Vec3(0, 0, -50), Vec3(1, 1, 1), Vec3(1, 0, 0));
    Light overhead(Vec3(0, 1000, -5), Vec3(1, 1, 1), Vec3(1, 0, 0));

    beginPass({&head});
    EXPECT_GE(drawSquareAndReadCentre(model, 0).r, 255 - SHADE_TOLERANCE);
    beginPass({&fading});
    EXPECT_NEAR(drawSquareAndReadCentre(model, 0).r, 111, SHADE_TOLERANCE);
    beginPass({&behind});
    const int ambient = drawSquareAndReadCentre(model, 0).r;
    EXPECT_GT(ambient, 40);
    EXPECT_LT(ambient, 90);

    // Fake lighting takes the normal as straight up: the light in front no longer counts.
    material.useFakeLighting = true;
    beginPass({&head});
    EXPECT_EQ(drawSquareAndReadCentre(model, 0).r, ambient);
    beginPass({&overhead});
    EXPECT_GE(drawSquareAndReadCentre(model, 0).r, 255 - SHADE_TOLERANCE);

    beginPass({&overhead});
    shader->setSkyColour(1, 0, 0);
    const Pixel far = drawSquareAndReadCentre(model, 0, -900, 300);
    EXPECT_GT(far.r, 240);
    EXPECT_LT(far.g, 30) << "fog all but complete near the far plane";
}
