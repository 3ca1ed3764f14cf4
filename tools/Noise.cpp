#include "Noise.h"

#include <cmath>

namespace noise {
namespace {

constexpr double TWO_PI = 6.283185307179586;
// Unit gradients for 2D noise: 16 evenly spaced directions avoid the axis bias of 4 or 8.
constexpr int GRADIENT_COUNT_2D = 16;
// Plain 2D gradient noise peaks near 1/sqrt(2); this brings it to about [-1, 1].
constexpr double GRADIENT2_SCALE = 1.41421356;

std::uint64_t finalise(std::uint64_t z) {
    // splitmix64's output mix: good avalanche for lattice coordinates.
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t hashPoint(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t seed) {
    std::uint64_t h = finalise(std::uint64_t(seed) * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull);
    h = finalise(h ^ (std::uint64_t(x) * 0xD6E8FEB86659FD93ull));
    h = finalise(h ^ (std::uint64_t(y) * 0xA0761D6478BD642Full));
    return finalise(h ^ (std::uint64_t(z) * 0xE7037ED1A0B428DBull));
}

std::int64_t wrap(std::int64_t i, int period) {
    if (period <= 0)
        return i;
    const std::int64_t m = i % period;
    return m < 0 ? m + period : m;
}

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}
double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

struct Gradient2 {
    double x[GRADIENT_COUNT_2D];
    double y[GRADIENT_COUNT_2D];
    Gradient2() {
        for (int i = 0; i < GRADIENT_COUNT_2D; ++i) {
            const double angle = TWO_PI * (i + 0.5) / GRADIENT_COUNT_2D;
            x[i] = std::cos(angle);
            y[i] = std::sin(angle);
        }
    }
};

const Gradient2& gradients2() {
    static const Gradient2 table;
    return table;
}

double cornerDot2(std::int64_t ix, std::int64_t iy, double dx, double dy, std::uint32_t seed, int period) {
    const int g = int(hashPoint(wrap(ix, period), wrap(iy, period), 0, seed) & (GRADIENT_COUNT_2D - 1));
    return gradients2().x[g] * dx + gradients2().y[g] * dy;
}

double cornerDot3(std::int64_t ix, std::int64_t iy, std::int64_t iz, double dx, double dy, double dz,
                  std::uint32_t seed) {
    // The twelve cube-edge directions of classic 3D gradient noise (four repeated to make 16).
    switch (hashPoint(ix, iy, iz, seed) & 15) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    case 11: return -dy - dz;
    case 12: return dx + dy;
    case 13: return -dy + dz;
    case 14: return -dx + dy;
    default: return -dy - dz;
    }
}

// Per-octave shift, so the octaves do not all vanish together at lattice points.
double octaveShift(int octave, std::uint32_t seed) {
    return 37.0 * hash01(octave, 11, seed) + 0.5;
}

}

double hash01(std::int64_t x, std::int64_t y, std::uint32_t seed) {
    return hash01(x, y, 0, seed);
}

double hash01(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t seed) {
    return double(hashPoint(x, y, z, seed) >> 11) * (1.0 / 9007199254740992.0);
}

double value2(double x, double y, std::uint32_t seed, int period) {
    const double fx = std::floor(x), fy = std::floor(y);
    const std::int64_t ix = std::int64_t(fx), iy = std::int64_t(fy);
    const double tx = fade(x - fx), ty = fade(y - fy);
    auto corner = [&](std::int64_t cx, std::int64_t cy) { return hash01(wrap(cx, period), wrap(cy, period), seed); };
    return lerp(lerp(corner(ix, iy), corner(ix + 1, iy), tx), lerp(corner(ix, iy + 1), corner(ix + 1, iy + 1), tx), ty);
}

double gradient2(double x, double y, std::uint32_t seed, int period) {
    const double fx = std::floor(x), fy = std::floor(y);
    const std::int64_t ix = std::int64_t(fx), iy = std::int64_t(fy);
    const double dx = x - fx, dy = y - fy;
    const double n00 = cornerDot2(ix, iy, dx, dy, seed, period);
    const double n10 = cornerDot2(ix + 1, iy, dx - 1.0, dy, seed, period);
    const double n01 = cornerDot2(ix, iy + 1, dx, dy - 1.0, seed, period);
    const double n11 = cornerDot2(ix + 1, iy + 1, dx - 1.0, dy - 1.0, seed, period);
    const double tx = fade(dx), ty = fade(dy);
    return GRADIENT2_SCALE * lerp(lerp(n00, n10, tx), lerp(n01, n11, tx), ty);
}

double gradient3(double x, double y, double z, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const std::int64_t ix = std::int64_t(fx), iy = std::int64_t(fy), iz = std::int64_t(fz);
    const double dx = x - fx, dy = y - fy, dz = z - fz;
    double corners[8];
    for (int c = 0; c < 8; ++c) {
        const int ox = c & 1, oy = (c >> 1) & 1, oz = (c >> 2) & 1;
        corners[c] = cornerDot3(ix + ox, iy + oy, iz + oz, dx - ox, dy - oy, dz - oz, seed);
    }
    const double tx = fade(dx), ty = fade(dy), tz = fade(dz);
    const double y0 = lerp(lerp(corners[0], corners[1], tx), lerp(corners[2], corners[3], tx), ty);
    const double y1 = lerp(lerp(corners[4], corners[5], tx), lerp(corners[6], corners[7], tx), ty);
    return lerp(y0, y1, tz);
}

double fbm2(double x, double y, std::uint32_t seed, int octaves, int period, double gain) {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    int frequency = 1;
    for (int i = 0; i < octaves; ++i) {
        const double shift = octaveShift(i, seed);
        sum += amplitude * gradient2(x * frequency + shift, y * frequency + shift, seed + 7919u * i,
                                     period > 0 ? period * frequency : 0);
        total += amplitude;
        amplitude *= gain;
        frequency *= 2;
    }
    return sum / total;
}

double fbm3(double x, double y, double z, std::uint32_t seed, int octaves, double gain) {
    double sum = 0.0, amplitude = 1.0, total = 0.0, frequency = 1.0;
    for (int i = 0; i < octaves; ++i) {
        const double shift = octaveShift(i, seed);
        sum += amplitude *
               gradient3(x * frequency + shift, y * frequency + shift, z * frequency + shift, seed + 7919u * i);
        total += amplitude;
        amplitude *= gain;
        frequency *= 2.0;
    }
    return sum / total;
}

CellDistances cellular2(double x, double y, std::uint32_t seed, int period) {
    const std::int64_t ix = std::int64_t(std::floor(x)), iy = std::int64_t(std::floor(y));
    CellDistances result;
    result.nearest = result.second = 1e9;
    for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
            const std::int64_t cx = ix + ox, cy = iy + oy;
            const std::int64_t wx = wrap(cx, period), wy = wrap(cy, period);
            const double px = double(cx) + hash01(wx, wy, 1, seed);
            const double py = double(cy) + hash01(wx, wy, 2, seed);
            const double d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
                result.nearestX = px;
                result.nearestY = py;
                result.nearestId = std::uint32_t(hashPoint(wx, wy, 3, seed));
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}

}
