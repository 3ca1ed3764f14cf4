#pragma once
// The ground surface sampled twice: into the 8-bit height-map grid the game loads
// (one pixel per vertex, 500/255 units apart) and into a finer float grid that the
// blend and light maps read, so their lighting is free of 8-bit steps.

#include "Image.h"

#include <cstdint>
#include <vector>

class TerrainShape;

class TerrainHeights {
public:
    explicit TerrainHeights(const TerrainShape& shape);

    // The height map: grey, HEIGHT_MAP_SIZE square, row = z index, column = x index.
    Image heightMap() const;
    // Bilinear height from the fine grid at world (x, z), clamped to the terrain.
    double smoothHeightAt(double x, double z) const;

private:
    std::vector<std::uint8_t> pixels;
    std::vector<double> fine; // FINE_SIZE x FINE_SIZE heights, world units
};
