#include "RenderTestSupport.h"

#include "render/Entity.h"
#include "render/EntityRenderer.h"
#include "render/Light.h"
#include "world/Camera.h"
#include "world/Player.h"

namespace {

constexpr int SHADE_TOLERANCE = 3; // 8-bit steps

class EntityRendering : public RenderTest {
protected:
    void SetUp() override {
        material.textureName = texture(rgba(255, 255, 255));
        model.mesh = square();
    }

    void TearDown() override {
        shader->stop();
        RenderTest::TearDown();
    }

    // Camera at the origin looking down -z, black fog, no clipping in effect.
    void beginPass(const std::vector<Light*>& lights) {
        clearWindow();
        shader->start();
        shader->setViewMatrix(Camera());
        shader->setLights(lights);
        shader->setSkyColour(0, 0, 0);
        shader->setClipPlane(Vec4(0, 1, 0, 10000));
    }

    Pixel drawSquareAndReadCentre(Model& square, float rotY, float z = -5.0f, float scale = 1.0f) {
        Entity entity(&square, Vec3(0, 0, z), 0, rotY, 0, scale, 0);
        renderer.render({{&square, {&entity}}});
        return readWindowPixel(512, 384);
    }

    EntityShader* shader = &programs().entity;
    EntityRenderer renderer{*shader, Transforms::makeProjectionMatrix(1024, 768)};
    Material material{0}; // white
    Model model{nullptr, &material}; // the square
};

GLint boundTexture(GLenum unit) {
    glActiveTexture(unit);
    return integerState(GL_TEXTURE_BINDING_2D);
}

}

TEST_F(EntityRendering, EachModelLoadsItsMaterialAtlasCellAndNormalMap) {
    Material normalMap(texture(rgba(128, 128, 255)));
    Model mapped(model.mesh, &material, &normalMap);
    Entity entity(&mapped, Vec3(0, 0, -5), 0, 0, 0, 1, 0);
    Material atlas(material.textureName);
    atlas.numberOfRows = 3;
    atlas.useFakeLighting = true;
    atlas.shineDamper = 10;
    atlas.reflectivity = 0.5f;
    Model atlasModel(model.mesh, &atlas);
    Player player(nullptr, &atlasModel, Vec3(4, 5, -6), 0, 0, 0, 1);
    player.textureIndex = 5; // third column, second row
    const GLuint program = shader->programId;

    beginPass({});
    renderer.render({{&mapped, {&entity}}});
    expectUniform(program, "hasNormalMap", {1});
    EXPECT_EQ(boundTexture(GL_TEXTURE1), GLint(normalMap.textureName));
    renderer.renderSingle(player);

    expectUniform(program, "hasNormalMap", {0});
    expectUniform(program, "offset", {2.0f / 3.0f, 1.0f / 3.0f});
    expectUniform(program, "numberOfRows", {3});
    expectUniform(program, "useFakeLighting", {1});
    expectUniform(program, "shineDamper", {10});
    expectUniform(program, "reflectivity", {0.5f});
    EXPECT_EQ(readMatrix(program, "transformationMatrix")[3], Vec4(4, 5, -6, 1));
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
}

TEST_F(EntityRendering, TransparentModelsShowBackFacesAndLoseFaintTexelsAndLightFallsOffAboveAnAmbientFloorIntoFog) {
    Material faint(texture(rgba(255, 255, 255, 100))), solid(texture(rgba(255, 255, 255, 140)));
    faint.hasTransparency = solid.hasTransparency = true;
    Model faintModel(model.mesh, &faint), solidModel(model.mesh, &solid);

    beginPass({});
    EXPECT_EQ(drawSquareAndReadCentre(model, 180).r, 0) << "culled back face";
    beginPass({});
    EXPECT_GT(drawSquareAndReadCentre(solidModel, 180).r, 0) << "back face of a transparent model";
    beginPass({});
    EXPECT_EQ(drawSquareAndReadCentre(faintModel, 0).r, 0) << "alpha below one half";
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_BACK);

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
