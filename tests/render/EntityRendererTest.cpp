#include "RenderTestSupport.h"

namespace {

constexpr int SHADE_TOLERANCE = 3; // 8-bit steps

class EntityRendering : public RenderTest {
protected:
    void SetUp() override {
        material.textureName = texture(rgba(255, 255, 255));
        model.mesh = square();
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
    Light head{Vec3(0, 0, 5), Vec3(1, 1, 1), Vec3(1, 0, 0)}, overhead{Vec3(0, 1000, -5), Vec3(1, 1, 1), Vec3(1, 0, 0)};
};

}

TEST_F(EntityRendering, TransparentModelsShowBackFacesAndWhatIsDrawnLaterThroughTheirCutOuts) {
    // Left texel kept (alpha at least one half), right texel cut out.
    Material cutOut(texture(2, 1, {rgba(0, 0, 255, 140), rgba(0, 0, 255, 100)}));
    cutOut.hasTransparency = true;
    Model cutOutModel(model.mesh, &cutOut);

    beginPass({&head});
    EXPECT_EQ(drawSquareAndReadCentre(model, 180).r, 0) << "culled back face";
    EXPECT_GT(drawSquareAndReadCentre(cutOutModel, 180).b, 0) << "back face of a transparent model";

    // As in the game: blending on, the cut-out model before the ground and sky behind it.
    beginPass({&head});
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawSquareAndReadCentre(cutOutModel, 0);
    drawSquareAndReadCentre(model, 0, -10, 4); // a white wall
    // The near square covers pixels 366..658 across.
    EXPECT_PRED3(isNear, readWindowPixel(440, 384), (Pixel{0, 0, 255}), SHADE_TOLERANCE);
    EXPECT_PRED3(isNear, readWindowPixel(584, 384), (Pixel{255, 255, 255}), SHADE_TOLERANCE);
}

// No model of the game's uses it, so the pictures cannot show it.
TEST_F(EntityRendering, FakeLightingTakesTheNormalAsStraightUp) {
    material.useFakeLighting = true;
    beginPass({&overhead});
    EXPECT_GE(drawSquareAndReadCentre(model, 0).r, 255 - SHADE_TOLERANCE);
    beginPass({&head});
    EXPECT_LT(drawSquareAndReadCentre(model, 0).r, 128) << "the light in front leaves the ambient share only";
}

TEST_F(EntityRendering, NormalMapsTiltTheShadingRedAlongTheTangentAndGreenUpTheImage) {
    // The square's u direction (+x) as a real tangent, as imported models carry it.
    Mesh* mesh = square();
    glBindVertexArray(mesh->vertexArray);
    loader.storeAttribute(3, 3, {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0});
    loader.unbindVertexArray();

    // The light 45 degrees off the square's normal. A flat map leaves cos 45 = 0.707 of
    // full light (180); a map tilted 45 degrees towards the light faces it (255); tilted
    // the wrong way it would face across it (ambient only). (218, 218) is (0.71, 0.71) unpacked.
    const std::uint32_t flat = rgba(128, 128, 255), red = rgba(218, 128, 218), green = rgba(128, 218, 218);
    // rotZ turns the tangent with the model; lightSide is the light's direction from the
    // square's centre besides 1 along its normal.
    const struct { std::uint32_t map; float rotZ; Vec3 lightSide; int expected; } cases[] = {
        {flat, 0, {1, 0, 0}, 180}, {red, 0, {1, 0, 0}, 255}, {green, 0, {0, 1, 0}, 255}, {red, 90, {0, 1, 0}, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.map << std::dec << " turned " << c.rotZ);
        Material normalMap(texture(c.map));
        Model mapped(mesh, &material, &normalMap);
        Entity entity(&mapped, Vec3(0, 0, -5), 0, 0, c.rotZ, 1, 0);
        Light side(Vec3(0, 0, -5) + 1000.0f * glm::normalize(c.lightSide + Vec3(0, 0, 1)), Vec3(1, 1, 1),
                   Vec3(1, 0, 0));
        beginPass({&side});
        renderer.render({{&mapped, {&entity}}});
        EXPECT_NEAR(readWindowPixel(512, 384).r, c.expected, SHADE_TOLERANCE);
    }
}
