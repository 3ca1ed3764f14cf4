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

    Pixel drawSquareAndReadCentre() {
        Entity entity(&model, Vec3(0, 0, -5), 0, 0, 0, 1, 0);
        renderer.render({{&model, {&entity}}});
        return readWindowPixel(512, 384);
    }

    EntityShader* shader = &programs().entity;
    EntityRenderer renderer{*shader, Transforms::makeProjectionMatrix(1024, 768)};
    Material material{0};            // white
    Model model{nullptr, &material}; // the square
    Light head{Vec3(0, 0, 5), Vec3(1, 1, 1), Vec3(1, 0, 0)}, overhead{Vec3(0, 1000, -5), Vec3(1, 1, 1), Vec3(1, 0, 0)};
};

}

// Cut-outs, the back faces of transparent models and what shows through them are the
// ferns' in the reference frames; the normal map and its tangent frame the cottage's.

// No model of the game's uses it, so the pictures cannot show it.
TEST_F(EntityRendering, FakeLightingTakesTheNormalAsStraightUp) {
    material.useFakeLighting = true;
    beginPass({&overhead});
    EXPECT_GE(drawSquareAndReadCentre().r, 255 - SHADE_TOLERANCE);
    beginPass({&head});
    EXPECT_LT(drawSquareAndReadCentre().r, 128) << "the light in front leaves the ambient share only";
}
