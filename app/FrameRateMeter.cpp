#include "app/FrameRateMeter.h"

#include <sstream>

std::string FrameRateMeter::sample(double ticks, bool printFps) {
    // Equal ticks give an infinite rate, which never lowers the minimum.
    const double fps = 1000.0 / (ticks - lastTicks);
    lastTicks = ticks;
    if (fps < minFps) {
        minFps = fps;
    }
    if (!printFps || !(ticks > lastPrint + PRINT_INTERVAL)) {
        return "";
    }
    std::string line = formatLine(minFps);
    lastPrint = ticks;
    minFps = 1000.0;
    return line;
}

std::string FrameRateMeter::formatLine(double minFps) {
    std::ostringstream text;
    text << std::fixed << minFps;
    return text.str().substr(0, 4) + " fps";
}
