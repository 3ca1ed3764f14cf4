#pragma once
// The worst frame rate of each half second, for the optional console line.
// Ticks are SDL milliseconds, separate from the frame time.

#include <string>

class FrameRateMeter {
public:
    static constexpr double PRINT_INTERVAL = 500.0; // milliseconds

    // Takes one frame's sample; returns the line to print ("" for none).
    std::string sample(double ticks, bool printFps);
    // minFps in fixed notation cut to four characters, then " fps".
    static std::string formatLine(double minFps);

    double lastTicks = 0.0;
    double lastPrint = 0.0;
    double minFps = 1000.0;
};
