#include "world/HeadSwing.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(HeadSwing, SwingsBetweenBothLimitsTwoDegreesAFrame) {
    float face = 0, swing = 1;
    float low = 0, high = 0;
    for (int frame = 0; frame < 200; ++frame) {
        const float before = face;
        HeadSwing::update(0, face, swing);
        EXPECT_LE(std::abs(face - before), 2.0f);
        low = std::min(low, face);
        high = std::max(high, face);
    }
    // The turn can fall between a frame's two steps, so a frame may end one short.
    EXPECT_GE(low, -35.0f);
    EXPECT_LE(low, -34.0f);
    EXPECT_LE(high, 35.0f);
    EXPECT_GE(high, 34.0f);
}

TEST(HeadSwing, FollowsABodyThatTurnedAway) {
    float face = 0, swing = 1;
    for (int frame = 0; frame < 100; ++frame) {
        HeadSwing::update(90, face, swing);
    }
    EXPECT_GE(face, 90 - 35.0f);
    EXPECT_LE(face, 90 + 35.0f);
}
