#include "world/Camera.h"
#include "world/InputState.h"
#include "world/TerrainPicker.h"
#include "world/TestTerrain.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
constexpr float DIRECTION_TOLERANCE = 1e-5f;
constexpr float POINT_TOLERANCE = 1e-3f;

// Bumps of about +-18 units over the whole terrain.
Terrain makeHills() {
    return makeTerrain(32, [](int gx, int gz) {
        return (unsigned char)(128 + 60 * std::sin(gx * 0.5) * std::cos(gz * 0.3));
    });
}

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

void expectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The halving search run to its full depth, as the reference for the early stop.
Vec3 searchFullDepth(const Terrain& terrain, const Vec3& origin, const Vec3& ray) {
    const auto isBelow = [&](float distance) {
        const Vec3 p = origin + ray * distance;
        return terrain.heightAt(p.x, p.z) > p.y;
    };
    float start = 0, finish = TerrainPicker::RAY_LENGTH;
    for (int depth = 0; depth < TerrainPicker::SEARCH_DEPTH; ++depth) {
        const float half = start + (finish - start) * 0.5f;
        if (!isBelow(start) && isBelow(half)) {
            finish = half;
        } else {
            start = half;
        }
    }
    return origin + ray * (start + (finish - start) * 0.5f);
}

}

TEST_F(TerrainPickerTest, FindsNothingBeforeTheFirstUpdate) {
    EXPECT_EQ(picker.getPickedPoint(), Vec3(0.0f));
    EXPECT_EQ(picker.getMouseRay(), Vec3(0.0f));
}

TEST_F(TerrainPickerTest, CentreRayIsTheViewingDirection) {
    pickAt(512, 384);
    expectNear(picker.getMouseRay(), Vec3(0, -std::sqrt(0.5f), -std::sqrt(0.5f)), DIRECTION_TOLERANCE);
    for (const float yaw : {0.0f, 33.0f, 180.0f, -120.0f}) {
        placeCamera(Vec3(100, 30, 100), 60, yaw);
        pickAt(512, 384);
        const Vec4 seen = Transforms::makeViewMatrix(camera) * Vec4(picker.getMouseRay(), 0);
        expectNear(Vec3(seen), Vec3(0, 0, -1), DIRECTION_TOLERANCE);
    }
}

TEST_F(TerrainPickerTest, RayPassesThroughTheCursorPixel) {
    placeCamera(Vec3(120, 25, 80), 50, 30);
    const Mat4 toClip = Transforms::makeProjectionMatrix(WIDTH, HEIGHT) * Transforms::makeViewMatrix(camera);
    for (const Vec2 mouse : {Vec2(0, 0), Vec2(1023, 767), Vec2(100, 600), Vec2(900, 50)}) {
        pickAt(mouse.x, mouse.y);
        const Vec4 clip = toClip * Vec4(camera.position + picker.getMouseRay() * 10.0f, 1);
        EXPECT_NEAR(clip.x / clip.w, 2 * mouse.x / WIDTH - 1, DIRECTION_TOLERANCE);
        EXPECT_NEAR(clip.y / clip.w, 1 - 2 * mouse.y / HEIGHT, DIRECTION_TOLERANCE);
    }
}

TEST_F(TerrainPickerTest, HitsFlatGroundWhereTheViewMeetsIt) {
    // 45 degrees down from 50 units up meets the ground 50 units ahead.
    expectNear(pickAt(512, 384), Vec3(250, 0, 250), POINT_TOLERANCE);
}

TEST_F(TerrainPickerTest, HitsASlopeOnTheRayAndOnTheGround) {
    terrain = makeTerrain(6, [](int gx, int) { return (unsigned char)(128 + 16 * gx); }); // y = x / 20
    placeCamera(Vec3(100, 60, 250), 30, -70);
    const Vec3 point = pickAt(300, 500);
    const Vec3 ray = picker.getMouseRay();
    const Vec3 eye = camera.position;
    // Solving eye.y + ray.y d = (eye.x + ray.x d) / 20 for the distance d.
    const float distance = (eye.y - eye.x / 20) / (ray.x / 20 - ray.y);
    ASSERT_GT(distance, 0.0f);
    expectNear(point, eye + ray * distance, POINT_TOLERANCE);
    EXPECT_NEAR(terrain.heightAt(point.x, point.z), point.y, POINT_TOLERANCE);
}

TEST_F(TerrainPickerTest, KeepsTheLastPointWhenTheRayFindsNoGround) {
    const Vec3 hit = pickAt(512, 384);
    ASSERT_NE(hit, Vec3(0.0f));
    placeCamera(Vec3(250, -5, 300), 45, 0); // under the ground
    EXPECT_EQ(pickAt(512, 384), hit);
    placeCamera(Vec3(250, 50, 300), 0, 0); // level view: the upper half sees sky
    EXPECT_EQ(pickAt(512, 100), hit);
    placeCamera(Vec3(250, 500, 300), 45, 0); // ground 707 units away, past the ray's end
    EXPECT_EQ(pickAt(512, 384), hit);
}

TEST_F(TerrainPickerTest, StopsEarlyOnlyWhereTheFullSearchGivesTheSamePoint) {
    terrain = makeHills();
    placeCamera(Vec3(250, 60, 480), 35, 10);
    int hits = 0;
    for (int mouseY = 300; mouseY < HEIGHT; mouseY += 47) {
        for (int mouseX = 0; mouseX < WIDTH; mouseX += 73) {
            TerrainPicker fresh(&input, &camera, Transforms::makeProjectionMatrix(WIDTH, HEIGHT), &terrain, WIDTH,
                                HEIGHT);
            input.mouseX = float(mouseX);
            input.mouseY = float(mouseY);
            fresh.update();
            const Vec3 point = fresh.getPickedPoint();
            if (point == Vec3(0.0f)) {
                continue;
            }
            ++hits;
            EXPECT_EQ(point, searchFullDepth(terrain, camera.position, fresh.getMouseRay())) << mouseX << ", " << mouseY;
            EXPECT_NEAR(terrain.heightAt(point.x, point.z), point.y, POINT_TOLERANCE);
        }
    }
    EXPECT_GT(hits, 50);
}
