#include "world/Camera.h"
#include "world/InputState.h"
#include "world/Player.h"

#include <gtest/gtest.h>

namespace {
constexpr float TOLERANCE = 1e-3f;
}

TEST(Camera, OrbitsTheAnchorAtThePitchTheRightDragAndTheDistanceTheWheelSet) {
    InputState input;
    Player anchor(nullptr, nullptr, Vec3(188, 7.5f, 377), 0, 0, 0, 2);
    Camera camera;
    camera.input = &input;
    camera.target = &anchor;
    camera.pitch = 45;
    camera.move();
    // 50 units away at 45 degrees: 35.355 behind an anchor heading 0 (Up walks it towards +z), and as high.
    EXPECT_LT(glm::distance(camera.position, Vec3(188, 7.5f + 35.355f, 377 - 35.355f)), TOLERANCE);

    camera.pitch = 120;
    input.mouseDY = 3;
    input.pressed[Keys::LEFT_BUTTON] = true;
    camera.move();
    EXPECT_FLOAT_EQ(camera.pitch, 120.0f) << "neither changed nor clamped without the right button";
    camera.pitch = 45;
    input.pressed[Keys::RIGHT_BUTTON] = true;
    camera.move();
    EXPECT_FLOAT_EQ(camera.pitch, 42.0f);
    for (int frame = 0; frame < 5; ++frame)
        camera.move();
    EXPECT_FLOAT_EQ(camera.pitch, 40.0f);
    input.mouseDY = -3;
    for (int frame = 0; frame < 30; ++frame)
        camera.move();
    EXPECT_FLOAT_EQ(camera.pitch, 89.0f);

    // The wheel zooms in steps of 2.5 and stops at 5 and 95.
    camera.zoom(2);
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 45.0f);
    for (int step = 0; step < 20; ++step)
        camera.zoom(1);
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 5.0f);
    for (int step = 0; step < 40; ++step)
        camera.zoom(-1);
    EXPECT_FLOAT_EQ(camera.distanceFromTarget, 95.0f);

    // Whatever the heading, the new pitch and distance put the anchor straight ahead, 95 away.
    for (const float heading : {37.0f, 90.0f, 200.0f, -75.0f}) {
        anchor.rotY = heading;
        camera.move();
        const Vec4 seen = Transforms::makeViewMatrix(camera) * Vec4(anchor.position, 1);
        EXPECT_LT(glm::distance(Vec3(seen), Vec3(0, 0, -95)), TOLERANCE) << heading;
    }
}
