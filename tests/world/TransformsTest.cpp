#include "world/Camera.h"
#include "world/Transforms.h"

#include <gtest/gtest.h>

namespace {
constexpr float TOLERANCE = 1e-5f;
void expectNear(const Vec4& actual, const Vec4& expected) { EXPECT_LT(glm::distance(actual, expected), TOLERANCE); }
}

TEST(Transforms, ModelMatrixScalesThenRotatesZYXThenTranslates) {
    // (1,0,0) scaled by 2, turned 90 about y to (0,0,-2), moved by (1,2,3).
    expectNear(Transforms::makeModelMatrix(Vec3(1, 2, 3), 0, 90, 0, 2) * Vec4(1, 0, 0, 1), Vec4(1, 2, 1, 1));
    // z first takes +x to +y, then x takes +y to +z; the other order would give +y.
    expectNear(Transforms::makeModelMatrix(Vec3(0.0f), 90, 0, 90, 1) * Vec4(1, 0, 0, 0), Vec4(0, 0, 1, 0));
}

TEST(Transforms, ViewMapsEyeToOriginAndPitchLooksDownYawTurnsRight) {
    const Vec3 eye(5, 40, -7);
    const Mat4 view = Transforms::makeViewMatrix(eye, 45, 0);
    expectNear(view * Vec4(eye, 1), Vec4(0, 0, 0, 1));
    // With pitch 45 and yaw 0 the eye looks along (0, -1, -1): that point is straight ahead.
    expectNear(view * Vec4(eye + Vec3(0, -3, -3), 1), Vec4(0, 0, -4.2426405f, 1));
    expectNear(Transforms::makeViewMatrix(eye, 0, 90) * Vec4(eye + Vec3(2, 0, 0), 1), Vec4(0, 0, -2, 1));
}

TEST(Transforms, ProjectionHasSeventyDegreeHorizontalViewFromNearToFarPlane) {
    const Mat4 p = Transforms::makeProjectionMatrix(1024, 768);
    // x scale 1 / tan(35 degrees); y scale that times the 4:3 aspect.
    EXPECT_NEAR(p[0][0], 1.428148f, 1e-6f);
    EXPECT_NEAR(p[1][1], 1.904197f, 1e-6f);
    const Vec4 nearPoint = p * Vec4(0, 0, -0.1f, 1), farPoint = p * Vec4(0, 0, -1000, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-4f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-4f);
}
