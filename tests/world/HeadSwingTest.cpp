#include "world/HeadSwing.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(HeadSwing, SwingsTwoDegreesAFrameBetweenBothLimitsAroundTheBody) {
    for (const float body : {0.0f, 90.0f}) { // at 90 the face starts far outside and must come back
        float face = 0, swing = 1, low = 1e9f, high = -1e9f;
        for (int frame = 0; frame < 200; ++frame) {
            const float before = face;
            HeadSwing::update(body, face, swing);
            EXPECT_LE(std::abs(face - before), 2.0f);
            if (frame < 100)
                continue; // settled into the swing
            low = std::min(low, face);
            high = std::max(high, face);
        }
        // The turn can fall between a frame's two steps, so a frame may end one short.
        EXPECT_NEAR(low, body - 34.5f, 0.5f) << body;
        EXPECT_NEAR(high, body + 34.5f, 0.5f) << body;
    }
}
