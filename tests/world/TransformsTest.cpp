#include "world/Camera.h"
#include "world/Transforms.h"

#include <gtest/gtest.h>

namespace {

constexpr float TOLERANCE = 1e-5f;

void expectNear(const Vec4& actual, const Vec4& expected) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], TOLERANCE) << "component " << i;
    }
}

void expectNear(const Mat4& actual, const Mat4& expected) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(actual[column][row], expected[column][row], TOLERANCE) << column << "," << row;
        }
    }
}

Mat4 translation(float x, float y, float z) {
    Mat4 m(1.0f);
    m[3] = Vec4(x, y, z, 1.0f);
    return m;
}

}

TEST(Transforms, ModelMatrixWithoutChangesIsIdentity) {
    expectNear(Transforms::makeModelMatrix(Vec3(0.0f), 0, 0, 0, 1), Mat4(1.0f));
}

TEST(Transforms, RotationAboutXTurnsUpIntoPlusZ) {
    const Mat4 m = Transforms::makeModelMatrix(Vec3(0.0f), 90, 0, 0, 1);
    expectNear(m * Vec4(0, 1, 0, 0), Vec4(0, 0, 1, 0));
}

TEST(Transforms, ModelMatrixScalesThenRotatesZYXThenTranslates) {
    // (1,0,0) scaled by 2, turned 90 about y to (0,0,-2), moved by (1,2,3).
    expectNear(Transforms::makeModelMatrix(Vec3(1, 2, 3), 0, 90, 0, 2) * Vec4(1, 0, 0, 1), Vec4(1, 2, 1, 1));
    // z first takes +x to +y, then x takes +y to +z; the other order would give +y.
    expectNear(Transforms::makeModelMatrix(Vec3(0.0f), 90, 0, 90, 1) * Vec4(1, 0, 0, 0), Vec4(0, 0, 1, 0));
}

TEST(Transforms, GuiMatrixPlacesQuadCornerAndDropsDepth) {
    const Mat4 m = Transforms::makeModelMatrix(Vec2(0.5f, -0.5f), Vec2(0.25f, 0.25f));
    expectNear(m * Vec4(1, 1, 0, 1), Vec4(0.75f, -0.25f, 0, 1));
    expectNear(m[2], Vec4(0.0f));
}

TEST(Transforms, ViewOfUnturnedCameraIsTranslation) {
    Camera camera;
    camera.position = Vec3(10, 20, 30);
    expectNear(Transforms::makeViewMatrix(camera), translation(-10, -20, -30));
}

TEST(Transforms, ViewMapsEyeToOriginAndPitchLooksDown) {
    const Vec3 eye(5, 40, -7);
    const Mat4 view = Transforms::makeViewMatrix(eye, 45, 0);
    expectNear(view * Vec4(eye, 1), Vec4(0, 0, 0, 1));
    // With pitch 45 and yaw 0 the eye looks along (0, -1, -1): that point is straight ahead.
    expectNear(view * Vec4(eye + Vec3(0, -3, -3), 1), Vec4(0, 0, -4.2426405f, 1));
    // Yaw 90 turns the view towards +x.
    expectNear(Transforms::makeViewMatrix(eye, 0, 90) * Vec4(eye + Vec3(2, 0, 0), 1), Vec4(0, 0, -2, 1));
}

TEST(Transforms, ProjectionHasSeventyDegreeHorizontalView) {
    const Mat4 p = Transforms::makeProjectionMatrix(1024, 768);
    EXPECT_NEAR(p[0][0], 1.428148f, 1e-6f);
    EXPECT_NEAR(p[1][1], 1.904197f, 1e-6f);
    EXPECT_FLOAT_EQ(p[2][2], -1.0002f);
    EXPECT_FLOAT_EQ(p[2][3], -1.0f);
    EXPECT_FLOAT_EQ(p[3][2], -0.20002f);
    EXPECT_EQ(p[3][3], 0.0f);
    int zeros = 0;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            zeros += p[column][row] == 0.0f;
        }
    }
    EXPECT_EQ(zeros, 11);
    // Points on the near and far planes land on depth -1 and +1.
    const Vec4 nearPoint = p * Vec4(0, 0, -0.1f, 1), farPoint = p * Vec4(0, 0, -1000, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-4f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-4f);
}
