#include "world/Transforms.h"

#include <gtest/gtest.h>

namespace {
constexpr float TOLERANCE = 1e-5f;
void expectNear(const Vec4& actual, const Vec4& expected) {
    EXPECT_LT(glm::distance(actual, expected), TOLERANCE);
}
}

TEST(Transforms, ModelMatrixScalesThenRotatesZYXThenTranslates) {
    // (1,0,0) scaled by 2, turned 90 about y to (0,0,-2), moved by (1,2,3).
    expectNear(Transforms::makeModelMatrix(Vec3(1, 2, 3), 0, 90, 0, 2) * Vec4(1, 0, 0, 1), Vec4(1, 2, 1, 1));
    // z first takes +x to +y, then x takes +y to +z; the other order would give +y.
    expectNear(Transforms::makeModelMatrix(Vec3(0.0f), 90, 0, 90, 1) * Vec4(1, 0, 0, 0), Vec4(0, 0, 1, 0));
}
