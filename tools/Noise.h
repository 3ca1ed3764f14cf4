#pragma once
// Deterministic lattice noise for the data generator: value and gradient noise in 2D and
// 3D, their fractal sums and cellular (Worley) distances. Coordinates are in lattice cells.
// A 2D period > 0 makes a function repeat every `period` cells on both axes, so a texture
// that samples u * period for u in [0, 1) tiles without a seam. Only integer hashing and
// plain arithmetic: the same inputs give the same bits on every run.

#include <cstdint>

namespace noise {

// Uniform value in [0, 1) for an integer lattice point.
double hash01(std::int64_t x, std::int64_t y, std::uint32_t seed);
double hash01(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t seed);

// Smoothly interpolated random lattice values, in [0, 1].
double value2(double x, double y, std::uint32_t seed, int period = 0);

// Gradient (Perlin-style) noise, roughly in [-1, 1], zero at lattice points.
double gradient2(double x, double y, std::uint32_t seed, int period = 0);
double gradient3(double x, double y, double z, std::uint32_t seed);

// Fractal sums of gradient noise: each octave doubles the frequency (and the period) and
// scales the amplitude by gain. Normalised by the total amplitude, so roughly in [-1, 1].
double fbm2(double x, double y, std::uint32_t seed, int octaves, int period = 0, double gain = 0.5);
double fbm3(double x, double y, double z, std::uint32_t seed, int octaves, double gain = 0.5);

// One random feature point per lattice cell; distances to the nearest two.
struct CellDistances {
    double nearest = 0.0;  // lattice units
    double second = 0.0;   // lattice units
    double nearestX = 0.0; // position of the nearest feature point (unwrapped)
    double nearestY = 0.0;
    std::uint32_t nearestId = 0; // stable random id of the nearest feature's cell
};
CellDistances cellular2(double x, double y, std::uint32_t seed, int period = 0);

}
