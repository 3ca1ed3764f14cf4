#include "app/FrameClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

TEST(FrameClock, RealStampsAreMilliseconds) {
    const std::int64_t first = frameStamp();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_GE(frameStamp() - first, 3);
}
