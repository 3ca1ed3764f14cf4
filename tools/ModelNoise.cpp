#include "ModelNoise.h"

#include <cmath>

namespace {

std::int64_t wrap(std::int64_t i, int period) {
    if (period <= 0)
        return i;
    const std::int64_t r = i % period;
    return r < 0 ? r + period : r;
}

double smootherStep(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

}

double ModelNoise::hash(std::int64_t x, std::int64_t y) const {
    std::uint64_t h = std::uint64_t(x) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(y) * 0xC2B2AE3D27D4EB4Full ^
                      std::uint64_t(seed) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 29;
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

double ModelNoise::value(double x, double y, int periodX, int periodY) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const std::int64_t ix = std::int64_t(fx), iy = std::int64_t(fy);
    const double tx = smootherStep(x - fx), ty = smootherStep(y - fy);
    auto corner = [&](std::int64_t dx, std::int64_t dy) {
        return hash(wrap(ix + dx, periodX), wrap(iy + dy, periodY));
    };
    const double top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * tx;
    const double bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * tx;
    return top + (bottom - top) * ty;
}

double ModelNoise::fractal(double x, double y, int octaves, int periodX, int periodY) const {
    double sum = 0.0, amplitude = 1.0, total = 0.0, frequency = 1.0;
    for (int octave = 0; octave < octaves; ++octave) {
        // Each octave is shifted so lattice points of different octaves do not line up.
        sum += amplitude * value(x * frequency + octave * 17.0, y * frequency + octave * 31.0, int(periodX * frequency),
                                 int(periodY * frequency));
        total += amplitude;
        amplitude *= 0.5;
        frequency *= 2.0;
    }
    return sum / total;
}
