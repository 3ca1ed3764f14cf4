#include "app/FrameRateMeter.h"

#include <gtest/gtest.h>

TEST(FrameRateMeter, LineKeepsTheFirstFourCharactersOfTheFixedValue) {
    EXPECT_EQ(FrameRateMeter::formatLine(59.52381), "59.5 fps");
    EXPECT_EQ(FrameRateMeter::formatLine(144.927536), "144. fps");
    EXPECT_EQ(FrameRateMeter::formatLine(1000.0), "1000 fps");
    EXPECT_EQ(FrameRateMeter::formatLine(8.333333), "8.33 fps");
}

TEST(FrameRateMeter, PrintsNothingWhileSwitchedOffButKeepsTheMinimum) {
    FrameRateMeter meter;
    std::string printed;
    for (double ticks = 16; ticks < 5000; ticks += 16)
        printed += meter.sample(ticks, false);
    printed += meter.sample(5100, false); // a slow frame of about 104 ms
    printed += meter.sample(5100, false); // equal ticks are no frame rate at all
    EXPECT_EQ(printed, "");
    EXPECT_NEAR(meter.minFps, 1000.0 / (5100 - 4992), 1e-9);
}

TEST(FrameRateMeter, ReportsTheWorstFrameOfEachHalfSecond) {
    FrameRateMeter meter;
    // The first sample is the long start-up frame; switching on prints it at once.
    EXPECT_EQ(meter.sample(600, true), "1.66 fps");
    std::string printed;
    // One slow frame among fast ones.
    for (double frame = 0, ticks = 600; frame < 64; ++frame) {
        printed += meter.sample(ticks += frame == 10 ? 50 : 10, true);
    }
    EXPECT_EQ(printed, "20.0 fps");
    EXPECT_EQ(meter.lastPrint, 1110.0);
}
