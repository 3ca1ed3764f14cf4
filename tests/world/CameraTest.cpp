#include "world/Camera.h"
#include "world/InputState.h"
#include "world/Player.h"

#include <gtest/gtest.h>

namespace {

constexpr float TOLERANCE = 1e-3f;

class CameraTest : public testing::Test {
protected:
    CameraTest() {
        camera.input = &input;
        camera.target = &anchor;
        camera.pitch = 45;
    }

    void dragVertically(float mouseDY) {
        input.pressed[Keys::RIGHT_BUTTON] = true;
        input.mouseDY = mouseDY;
    }

    InputState input;
    Player anchor{nullptr, nullptr, Vec3(188, 7.5f, 377), 0, 0, 0, 2};
    Camera camera;
};

}

TEST_F(CameraTest, SitsBehindAndAboveTheAnchor) {
    camera.move();
    EXPECT_NEAR(camera.position.x, 188.0f, TOLERANCE);
    EXPECT_NEAR(camera.position.y, 7.5f + 35.355f, TOLERANCE);
    EXPECT_NEAR(camera.position.z, 341.645f, TOLERANCE);
    EXPECT_FLOAT_EQ(camera.yaw, 180.0f);
}

TEST_F(CameraTest, LooksAtTheAnchorFromAnyHeading) {
    for (const float heading : {0.0f, 37.0f, 90.0f, 200.0f, -75.0f}) {
        anchor.rotY = heading;
        camera.move();
        const Vec4 seen = Transforms::makeViewMatrix(camera) * Vec4(anchor.position, 1);
        EXPECT_NEAR(seen.x, 0.0f, TOLERANCE) << heading;
        EXPECT_NEAR(seen.y, 0.0f, TOLERANCE) << heading;
        EXPECT_NEAR(seen.z, -50.0f, TOLERANCE) << heading;
    }
}

TEST_F(CameraTest, DraggingChangesPitchEveryFrameUntilTheLimits) {
    dragVertically(3);
    camera.move();
    EXPECT_FLOAT_EQ(camera.pitch, 42.0f);
    for (int frame = 0; frame < 5; ++frame) {
        camera.move();
    }
    EXPECT_FLOAT_EQ(camera.pitch, 40.0f);
    dragVertically(-3);
    for (int frame = 0; frame < 30; ++frame) {
        camera.move();
    }
    EXPECT_FLOAT_EQ(camera.pitch, 89.0f);
}

TEST_F(CameraTest, PitchIsNeitherChangedNorClampedWithoutTheRightButton) {
    camera.pitch = 120;
    input.mouseDY = 3;
    input.pressed[Keys::RIGHT_BUTTON] = false;
    input.pressed[Keys::LEFT_BUTTON] = true;
    camera.move();
    EXPECT_FLOAT_EQ(camera.pitch, 120.0f);
}

TEST_F(CameraTest, WheelZoomsInStepsAndStopsAtTheLimits) {
    camera.zoom(2);
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 45.0f);

    camera.distanceFromTarget = 50;
    for (int step = 0; step < 10; ++step) {
        camera.zoom(1);
    }
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 25.0f);
    for (int step = 0; step < 20; ++step) {
        camera.zoom(1);
    }
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 5.0f);

    camera.distanceFromTarget = 6;
    camera.zoom(1);
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 5.0f);
    camera.distanceFromTarget = 94;
    camera.zoom(-1);
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 95.0f);
}
