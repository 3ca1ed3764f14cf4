#pragma once
// Small GL-free terrains for the movement, picking and height tests.

#include "assets/Terrain.h"

#include <functional>
#include <vector>

// pixelAt(gx, gz) gives the height-map byte of each grid vertex.
inline Terrain makeTerrain(int side, const std::function<unsigned char(int gx, int gz)>& pixelAt) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < side * side; ++i)
        pixels.push_back(pixelAt(i % side, i / side)); // row by row in z
    return Terrain(Terrain::buildGeometry(pixels.data(), side));
}

// Pixel 128 is height 0 everywhere on the terrain.
inline Terrain makeFlatTerrain(unsigned char pixel = 128, int side = 6) {
    return makeTerrain(side, [pixel](int, int) { return pixel; });
}
