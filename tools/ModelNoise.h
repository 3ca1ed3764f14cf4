#pragma once
// Tileable value noise for painting the model and GUI textures. Coordinates are in
// lattice cells; with a period p the noise repeats every p cells on both axes, so an
// atlas cell painted from u * p, v * p wraps without a seam. Integer hashing only.

#include <cstdint>

class ModelNoise {
public:
    explicit ModelNoise(std::uint32_t givenSeed) : seed(givenSeed) {}

    // Smoothly interpolated lattice values in [0, 1]; period 0 means no wrapping.
    double value(double x, double y, int period = 0) const { return value(x, y, period, period); }
    double value(double x, double y, int periodX, int periodY) const;
    // Sum of octaves, each of double frequency and period and half amplitude, in [0, 1].
    double fractal(double x, double y, int octaves, int period = 0) const {
        return fractal(x, y, octaves, period, period);
    }
    double fractal(double x, double y, int octaves, int periodX, int periodY) const;
    // Uniform value in [0, 1) for a lattice point.
    double hash(std::int64_t x, std::int64_t y) const;

private:
    std::uint32_t seed;
};
