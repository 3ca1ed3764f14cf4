#pragma once
// Frame timing shared by the whole game: the duration of the last frame and the
// millisecond stamp it is measured with. The stamp comes from a monotonic clock;
// tests replace the source to make frame times, and whole playthroughs, exact.

#include <cstdint>
#include <functional>

// Seconds between the last two frame ends; 0 until the first one.
extern float frameTime;
// frameStamp() at the previous frame end, in milliseconds.
extern std::int64_t lastFrameStamp;

// Milliseconds from the current stamp source (steady_clock unless replaced).
std::int64_t frameStamp();
// An empty function restores the monotonic clock.
void setFrameStampSource(std::function<std::int64_t()> source);

// Records a frame end at the current stamp and updates frameTime.
void markFrameEnd();
