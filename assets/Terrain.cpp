#include "assets/Terrain.h"

#include "app/FatalError.h"
#include "assets/DataFile.h"
#include "assets/ModelLoader.h"
#include "assets/PhaseTimer.h"

#include <SOIL/SOIL.h>

#include <cmath>
#include <memory>
#include <new>

namespace {

constexpr float PIXEL_MIDPOINT = 128.0f;
constexpr float PIXEL_MIDPOINT_RECIPROCAL = 0.0078125f;

// Where a coordinate lies along one axis of the grid: the square it is in and how far
// across it (0 to 1).
struct GridOffset {
    double square; // whole number; may be outside the grid
    float fraction;
};

// The square and the offset come from one double quotient, so they always describe the
// same point: in double the quotient of two floats of these sizes cannot round up to a
// whole number, and the product and difference are exact, so the offset is std::fmod's to
// the bit. A grid line is rarely a float itself, so a coordinate within coordinate / 2^22
// (two to four float steps) of one counts as on it: every vertex gives exactly its own
// height however its coordinates were rounded, and both sides of a line agree.
GridOffset locateOnGrid(float coordinate, float squareSize, int squares) {
    const double square = std::floor(double(coordinate) / double(squareSize));
    const double remainder = double(coordinate) - square * double(squareSize);
    const double onLine = double(coordinate) * 0x1p-22;
    if (remainder <= onLine) {
        return {square, 0.0f};
    }
    if (double(squareSize) - remainder <= onLine) {
        // The far line of the last square is the terrain's edge: stay inside.
        return square + 1.0 < double(squares) ? GridOffset{square + 1.0, 0.0f} : GridOffset{square, 1.0f};
    }
    return {square, float(remainder) / squareSize};
}

// Height at a grid point; points off the grid count as 0.
float gridHeight(const unsigned char* pixels, int side, int gx, int gz) {
    if (gx < 0 || gz < 0 || gx >= side || gz >= side) {
        return 0.0f;
    }
    return Terrain::pixelHeight(pixels[size_t(gz) * side + gx]);
}

}

float Terrain::pixelHeight(unsigned char pixel) {
    return (float(pixel) - PIXEL_MIDPOINT) * PIXEL_MIDPOINT_RECIPROCAL * HEIGHT_SCALE;
}

std::string Terrain::checkHeightMap(int width, int height) {
    if (width != height) {
        return "height map is not square (" + std::to_string(width) + " x " + std::to_string(height) + ")";
    }
    if (height < 2) {
        return "height map is smaller than 2 x 2 pixels";
    }
    if (height > MAX_HEIGHT_MAP_SIDE) {
        return "height map is larger than " + std::to_string(MAX_HEIGHT_MAP_SIDE) + " x " +
               std::to_string(MAX_HEIGHT_MAP_SIDE) + " pixels (" + std::to_string(width) + " x " +
               std::to_string(height) + ")";
    }
    return "";
}

TerrainGeometry Terrain::buildGeometry(const unsigned char* pixels, int side) {
    TerrainGeometry g;
    g.sideVertices = side;
    const size_t count = size_t(side) * side;
    g.positions.reserve(count * 3);
    g.normals.reserve(count * 3);
    g.textureCoords.reserve(count * 2);
    g.heights.assign(count, 0.0f);
    const float last = float(side - 1);
    for (int gz = 0; gz < side; ++gz) {
        for (int gx = 0; gx < side; ++gx) {
            const float h = gridHeight(pixels, side, gx, gz);
            g.positions.push_back(float(gx) / last * TERRAIN_SIZE);
            g.positions.push_back(h);
            g.positions.push_back(float(gz) / last * TERRAIN_SIZE);
            g.heights[size_t(gx) * side + gz] = h;

            const float hL = gridHeight(pixels, side, gx - 1, gz);
            const float hR = gridHeight(pixels, side, gx + 1, gz);
            const float hD = gridHeight(pixels, side, gx, gz - 1);
            const float hU = gridHeight(pixels, side, gx, gz + 1);
            const float nx = hL - hR, nz = hD - hU;
            const float length = std::sqrt(nx * nx + 4.0f + nz * nz);
            g.normals.push_back(nx / length);
            g.normals.push_back(2.0f / length);
            g.normals.push_back(nz / length);

            g.textureCoords.push_back(float(gx) / last);
            g.textureCoords.push_back(float(gz) / last);
        }
    }
    g.indices.reserve(size_t(side - 1) * (side - 1) * 6);
    for (int gz = 0; gz < side - 1; ++gz) {
        for (int gx = 0; gx < side - 1; ++gx) {
            const int topLeft = gz * side + gx;
            const int topRight = topLeft + 1;
            const int bottomLeft = (gz + 1) * side + gx;
            const int bottomRight = bottomLeft + 1;
            g.indices.insert(g.indices.end(), {topLeft, bottomLeft, topRight, topRight, bottomLeft, bottomRight});
        }
    }
    return g;
}

Terrain::Terrain(ModelLoader& loader, TerrainTextures* givenTextures, TerrainTexture* givenBlendMap,
                 TerrainTexture* givenLightMap, const std::string& heightMapPath)
    : textures(givenTextures), blendMap(givenBlendMap), lightMap(givenLightMap) {
    const PhaseTimer timer(Phase::TERRAIN);
    mesh = buildMesh(loader, heightMapPath);
}

Terrain::Terrain(TerrainGeometry geometry) {
    adopt(std::move(geometry));
}

void Terrain::adopt(TerrainGeometry geometry) {
    side = geometry.sideVertices;
    positions = std::move(geometry.positions);
    normals = std::move(geometry.normals);
    textureCoords = std::move(geometry.textureCoords);
    indices = std::move(geometry.indices);
    heights = std::move(geometry.heights);
}

Mesh* Terrain::buildMesh(ModelLoader& loader, const std::string& heightMapPath) {
    const std::string refusal = DataFile::refusal(heightMapPath);
    if (!refusal.empty()) {
        fatalError("Height map " + heightMapPath + " could not be read: " + refusal);
    }
    const std::unique_ptr<unsigned char, void (*)(unsigned char*)> pixels(
        DataFile::decodeImage(heightMapPath, imageWidth, imageHeight, imageChannels, SOIL_LOAD_L),
        [](unsigned char* p) { SOIL_free_image_data(p); });
    if (!pixels) {
        fatalError("Height map " + heightMapPath + " could not be read: " + SOIL_last_result());
    }
    const std::string problem = checkHeightMap(imageWidth, imageHeight);
    if (!problem.empty()) {
        fatalError("Height map " + heightMapPath + " cannot be used: " + problem);
    }
    try {
        adopt(buildGeometry(pixels.get(), imageHeight));
    } catch (const std::bad_alloc&) {
        fatalOutOfMemory(heightMapPath);
    }
    return loader.uploadMesh(positions, textureCoords, normals, indices);
}

float Terrain::heightAt(float worldX, float worldZ) const {
    if (side < 2) {
        return 0.0f;
    }
    const float terrainX = worldX - x;
    const float terrainZ = worldZ - z;
    // The terrain is half open: its far edge at 500 already counts as outside.
    if (!(terrainX < TERRAIN_SIZE && terrainZ < TERRAIN_SIZE)) {
        return 0.0f;
    }
    const float gridSquareSize = TERRAIN_SIZE / float(side - 1);
    const GridOffset alongX = locateOnGrid(terrainX, gridSquareSize, side - 1);
    const GridOffset alongZ = locateOnGrid(terrainZ, gridSquareSize, side - 1);
    // Compared as doubles first, so NaN and huge coordinates never reach an int conversion.
    const double squares = double(side - 1);
    if (!(alongX.square >= 0.0 && alongZ.square >= 0.0 && alongX.square < squares && alongZ.square < squares)) {
        return 0.0f;
    }
    const int gridX = int(alongX.square);
    const int gridZ = int(alongZ.square);
    const float xCoord = alongX.fraction;
    const float zCoord = alongZ.fraction;
    const float h00 = vertexHeight(gridX, gridZ);
    const float h10 = vertexHeight(gridX + 1, gridZ);
    const float h01 = vertexHeight(gridX, gridZ + 1);
    if (xCoord <= 1.0f - zCoord) {
        return (1.0f - xCoord - zCoord) * h00 + xCoord * h10 + zCoord * h01;
    }
    const float h11 = vertexHeight(gridX + 1, gridZ + 1);
    return (1.0f - zCoord) * h10 + (xCoord + zCoord - 1.0f) * h11 + (1.0f - xCoord) * h01;
}
