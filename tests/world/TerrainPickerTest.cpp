#include "world/TerrainPicker.h"
#include "world/Camera.h"
#include "world/InputState.h"
#include "world/TestTerrain.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
constexpr float DIRECTION_TOLERANCE = 1e-5f, POINT_TOLERANCE = 1e-3f;

class TerrainPickerTest : public testing::Test {
protected:
    TerrainPickerTest() { placeCamera(Vec3(250, 50, 300), 45, 0); }

    void placeCamera(const Vec3& position, float pitch, float yaw) {
        camera.position = position;
        camera.pitch = pitch;
        camera.yaw = yaw;
    }

    Vec3 pickAt(float mouseX, float mouseY) {
        input.mouseX = mouseX;
        input.mouseY = mouseY;
        picker.update();
        return picker.getPickedPoint();
    }

    InputState input;
    Camera camera;
    Terrain terrain = makeFlatTerrain();
    TerrainPicker picker{&input, &camera, Transforms::makeProjectionMatrix(WIDTH, HEIGHT), &terrain, WIDTH, HEIGHT};
};

// The halving search run to its full depth, as the reference for the early stop.
Vec3 fullSearch(const Terrain& terrain, const Vec3& origin, const Vec3& ray) {
    const auto isBelow = [&](float d) {
        const Vec3 p = origin + ray * d;
        return terrain.heightAt(p.x, p.z) > p.y;
    };
    float start = 0, finish = TerrainPicker::RAY_LENGTH;
    for (int depth = 0; depth < TerrainPicker::SEARCH_DEPTH; ++depth) {
        const float half = start + (finish - start) * 0.5f;
        if (!isBelow(start) && isBelow(half))
            finish = half;
        else
            start = half;
    }
    return origin + ray * (start + (finish - start) * 0.5f);
}

}

TEST_F(TerrainPickerTest, RayLeavesTheEyeThroughTheCursorPixelAndHitsTheGroundWhereItMeetsIt) {
    terrain = makeTerrain(6, [](int gx, int) { return (unsigned char)(128 + 16 * gx); }); // y = x / 20
    placeCamera(Vec3(250, 60, 250), 50, -70);
    const Mat4 toClip = Transforms::makeProjectionMatrix(WIDTH, HEIGHT) * Transforms::makeViewMatrix(camera);
    for (const Vec2& mouse : {Vec2(512, 384), Vec2(0, 0), Vec2(1023, 767), Vec2(100, 600), Vec2(900, 50)}) {
        const Vec3 point = pickAt(mouse.x, mouse.y), ray = picker.getMouseRay(), eye = camera.position;
        EXPECT_NEAR(glm::length(ray), 1.0f, DIRECTION_TOLERANCE);
        const Vec4 clip = toClip * Vec4(eye + ray * 10.0f, 1);
        EXPECT_NEAR(clip.x / clip.w, 2 * mouse.x / WIDTH - 1, DIRECTION_TOLERANCE) << mouse.x;
        EXPECT_NEAR(clip.y / clip.w, 1 - 2 * mouse.y / HEIGHT, DIRECTION_TOLERANCE) << mouse.y;
        // Solving eye.y + ray.y d = (eye.x + ray.x d) / 20 for the distance d.
        const float distance = (eye.y - eye.x / 20) / (ray.x / 20 - ray.y);
        EXPECT_LT(glm::distance(point, eye + ray * distance), POINT_TOLERANCE) << mouse.x << ", " << mouse.y;
    }
}

TEST_F(TerrainPickerTest, KeepsTheLastPointWhenTheRayFindsNone) {
    const Vec3 hit = pickAt(512, 384);
    placeCamera(Vec3(250, -5, 300), 45, 0); // under the ground
    EXPECT_EQ(pickAt(512, 384), hit);
    placeCamera(Vec3(250, 50, 300), 0, 0); // level view: the upper half sees sky
    EXPECT_EQ(pickAt(512, 100), hit);
    placeCamera(Vec3(250, 500, 300), 45, 0); // ground 707 units away, past the ray's end
    EXPECT_EQ(pickAt(512, 384), hit);
}

TEST_F(TerrainPickerTest, StopsEarlyOnlyWhereTheFullSearchGivesTheSamePoint) {
    terrain = makeTerrain(32, [](int gx, int gz) { // bumps of about +-18 units
        return (unsigned char)(128 + 60 * std::sin(gx * 0.5) * std::cos(gz * 0.3));
    });
    placeCamera(Vec3(250, 60, 480), 35, 10);
    // Every sampled ray meets the bumps, so a missed or wrong search shows as a different point.
    for (int mouseY = 300; mouseY < HEIGHT; mouseY += 47) {
        for (int mouseX = 0; mouseX < WIDTH; mouseX += 73) {
            const Vec3 point = pickAt(float(mouseX), float(mouseY));
            EXPECT_EQ(point, fullSearch(terrain, camera.position, picker.getMouseRay())) << mouseX << ' ' << mouseY;
        }
    }
}
