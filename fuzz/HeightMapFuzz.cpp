// Decoded pixels of any size: the checks refuse what the builder cannot take, whatever
// is built has unit normals pointing up, and it answers height queries without reading
// outside the grid.
#include "assets/Terrain.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    // The first two bytes choose the size the decoder would report.
    const int width = data[0] % 64;
    const int height = data[1] % 64;
    const std::uint8_t* pixels = data + 2;
    const std::size_t available = size - 2;
    if (!Terrain::checkHeightMap(width, height).empty() || available < std::size_t(width) * height) {
        return 0;
    }
    const Terrain terrain(Terrain::buildGeometry(pixels, height));
    if (terrain.indices.size() != std::size_t(height - 1) * (height - 1) * 6) {
        std::abort();
    }
    for (std::size_t i = 0; i + 2 < terrain.normals.size(); i += 3) {
        const float nx = terrain.normals[i], ny = terrain.normals[i + 1], nz = terrain.normals[i + 2];
        if (!(ny > 0.0f) || std::fabs(nx * nx + ny * ny + nz * nz - 1.0f) > 1e-4f) {
            std::abort();
        }
    }
    float query[2];
    for (std::size_t at = 2 + std::size_t(width) * height; at + sizeof query <= size; at += sizeof query) {
        std::memcpy(query, data + at, sizeof query);
        const float h = terrain.heightAt(query[0], query[1]);
        if (std::isfinite(query[0]) && std::isfinite(query[1]) && !(h >= -40.01f && h <= 39.7f)) {
            std::abort();
        }
    }
    return 0;
}
