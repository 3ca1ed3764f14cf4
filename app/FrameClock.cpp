#include "app/FrameClock.h"

#include <chrono>

float frameTime = 0.0f;
std::int64_t lastFrameStamp = 0;

namespace {

std::function<std::int64_t()>& stampSource() {
    static std::function<std::int64_t()> source;
    return source;
}

}

std::int64_t frameStamp() {
    if (stampSource()) {
        return stampSource()();
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

void setFrameStampSource(std::function<std::int64_t()> source) {
    stampSource() = std::move(source);
}

void markFrameEnd() {
    const std::int64_t now = frameStamp();
    const std::int64_t delta = now - lastFrameStamp;
    lastFrameStamp = now;
    frameTime = float(delta) / 1000.0f;
}
