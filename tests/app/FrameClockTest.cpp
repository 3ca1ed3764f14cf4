#include "app/FrameClock.h"

#include <gtest/gtest.h>

TEST(FrameClock, FrameTimeIsTheStampDeltaInSeconds) {
    std::int64_t now = 3599990; // a stamp just before a full hour
    setFrameStampSource([&now] { return now; });
    lastFrameStamp = now;
    for (int frame = 0; frame < 2; ++frame) {
        now += 16;
        markFrameEnd();
        EXPECT_FLOAT_EQ(frameTime, 0.016f) << frame;
    }
    markFrameEnd();
    EXPECT_EQ(frameTime, 0.0f);
    setFrameStampSource(nullptr);
}
