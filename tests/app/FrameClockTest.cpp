#include "app/FrameClock.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct FakeClock : testing::Test {
    std::int64_t now = 0;
    void SetUp() override {
        setFrameStampSource([this] { return now; });
        lastFrameStamp = frameStamp();
    }
    void TearDown() override { setFrameStampSource(nullptr); }
};

}

TEST_F(FakeClock, FrameTimeIsTheStampDeltaInSeconds) {
    now = 3599990;
    lastFrameStamp = now;
    now += 16;
    markFrameEnd();
    EXPECT_FLOAT_EQ(frameTime, 0.016f);
    // The former wall-clock stamp wrapped here at the full hour; a monotonic one cannot.
    now += 16;
    markFrameEnd();
    EXPECT_FLOAT_EQ(frameTime, 0.016f);
    markFrameEnd();
    EXPECT_EQ(frameTime, 0.0f);
}

TEST(FrameClock, RealStampsNeverRunBackwards) {
    setFrameStampSource(nullptr);
    const std::int64_t first = frameStamp();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    const std::int64_t second = frameStamp();
    EXPECT_GE(second - first, 3);
}
