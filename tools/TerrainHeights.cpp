#include "TerrainHeights.h"

#include "Noise.h"
#include "TerrainLayout.h"
#include "TerrainShape.h"

#include <algorithm>
#include <cmath>

using namespace terrain;

namespace {

constexpr int FINE_SIZE = 1025; // vertices per side: 500/1024 units apart
constexpr std::uint32_t SEED_DITHER = 1201;

// Random dither (floor of value plus a uniform offset) keeps the mean height exact and turns
// the 0.3125-unit steps into fine grain instead of broad terraces in the lighting.
std::uint8_t toHeightPixel(double height, double dither) {
    const double level = std::floor(height / HEIGHT_STEP + dither) + HEIGHT_ZERO_PIXEL;
    return std::uint8_t(std::min(255.0, std::max(0.0, level)));
}

}

TerrainHeights::TerrainHeights(const TerrainShape& shape)
    : pixels(size_t(HEIGHT_MAP_SIZE) * HEIGHT_MAP_SIZE), fine(size_t(FINE_SIZE) * FINE_SIZE) {
    const double step = TERRAIN_SIZE / (HEIGHT_MAP_SIZE - 1);
    for (int gz = 0; gz < HEIGHT_MAP_SIZE; ++gz)
        for (int gx = 0; gx < HEIGHT_MAP_SIZE; ++gx)
            pixels[size_t(gz) * HEIGHT_MAP_SIZE + gx] = toHeightPixel(shape.heightAt(gx * step, gz * step),
                                                                      noise::hash01(gx, gz, SEED_DITHER));
    const double fineStep = TERRAIN_SIZE / (FINE_SIZE - 1);
    for (int iz = 0; iz < FINE_SIZE; ++iz)
        for (int ix = 0; ix < FINE_SIZE; ++ix)
            fine[size_t(iz) * FINE_SIZE + ix] = shape.heightAt(ix * fineStep, iz * fineStep);
}

Image TerrainHeights::heightMap() const {
    Image image(HEIGHT_MAP_SIZE, HEIGHT_MAP_SIZE, 1);
    image.pixels = pixels;
    return image;
}

double TerrainHeights::smoothHeightAt(double x, double z) const {
    const double scale = (FINE_SIZE - 1) / TERRAIN_SIZE;
    const double fx = std::min(double(FINE_SIZE - 1), std::max(0.0, x * scale));
    const double fz = std::min(double(FINE_SIZE - 1), std::max(0.0, z * scale));
    const int ix = std::min(FINE_SIZE - 2, int(fx)), iz = std::min(FINE_SIZE - 2, int(fz));
    const double tx = fx - ix, tz = fz - iz;
    const double* row0 = &fine[size_t(iz) * FINE_SIZE + ix];
    const double* row1 = row0 + FINE_SIZE;
    return (row0[0] * (1.0 - tx) + row0[1] * tx) * (1.0 - tz) + (row1[0] * (1.0 - tx) + row1[1] * tx) * tz;
}
