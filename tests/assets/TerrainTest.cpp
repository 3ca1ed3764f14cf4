#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "assets/TestFiles.h"
#include "support/GlContext.h"
#include "world/TestTerrain.h"
#include "world/Transforms.h"

#include <SOIL/SOIL.h>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

namespace {

// A fixed pseudo-random height map.
std::vector<unsigned char> randomPixels(int side, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> pixels(size_t(side) * side);
    for (unsigned char& pixel : pixels)
        pixel = (unsigned char)(random() % 256);
    return pixels;
}

Vec3 vec3At(const std::vector<float>& values, size_t vertex) {
    return glm::make_vec3(&values[vertex * 3]);
}

}

TEST(Terrain, FullSizeMapBuildsTheWholeGridSpanningFortyUnitsEachWay) {
    const std::vector<float> extremes{Terrain::pixelHeight(0), Terrain::pixelHeight(128), Terrain::pixelHeight(255)};
    EXPECT_EQ(extremes, (std::vector<float>{-40, 0, 39.6875f}));
    const std::vector<unsigned char> pixels = randomPixels(256, 1);
    const TerrainGeometry g = Terrain::buildGeometry(pixels.data(), 256);
    EXPECT_EQ((std::vector<size_t>{g.positions.size(), g.normals.size(), g.textureCoords.size(), g.indices.size()}),
              (std::vector<size_t>{65536 * 3, 65536 * 3, 65536 * 2, 255 * 255 * 6}));
    // Vertex 257 is column 1 of row 1, 500 / 255 units in on both axes.
    const Vec3 second(500.0f / 255, Terrain::pixelHeight(pixels[257]), 500.0f / 255);
    EXPECT_LT(glm::distance(vec3At(g.positions, 257), second), 1e-6f);
    EXPECT_EQ(vec3At(g.positions, 65535), Vec3(500, Terrain::pixelHeight(pixels[65535]), 500));
    EXPECT_EQ(g.textureCoords[65535 * 2], 1.0f);
    EXPECT_EQ(std::vector<int>(g.indices.begin(), g.indices.begin() + 6), (std::vector<int>{0, 256, 1, 1, 256, 257}));
}

TEST(Terrain, NormalsPointUpOnAPlateauAndTiltAtItsBorder) {
    // Missing neighbours off the edge count as height 0.
    const TerrainGeometry plateau = Terrain::buildGeometry(std::vector<unsigned char>(25, 255).data(), 5);
    const std::pair<int, Vec3> expected[] = {{2 * 5 + 2, Vec3(0, 1, 0)},
                                             {2 * 5 + 0, Vec3(-39.6875f, 2, 0)},
                                             {3 * 5 + 4, Vec3(39.6875f, 2, 0)},
                                             {0 * 5 + 1, Vec3(0, 2, -39.6875f)},
                                             {4 * 5 + 0, Vec3(-39.6875f, 2, 39.6875f)}};
    for (const auto& [vertex, direction] : expected)
        EXPECT_LT(glm::distance(vec3At(plateau.normals, size_t(vertex)), glm::normalize(direction)), 1e-6f) << vertex;
}

TEST(Terrain, HeightFollowsTheDrawnDiagonal) {
    // One square with corner heights 0, 5 (x = 500), 2.5 (z = 500) and 10; the indices split
    // it from (500, 0) to (0, 500), so each point interpolates over the triangle it lies in.
    const unsigned char corners[] = {128, 144, 136, 160};
    const Terrain square(Terrain::buildGeometry(corners, 2));
    EXPECT_NEAR(square.heightAt(300, 100), 0.6f * 5 + 0.2f * 2.5f, 1e-4f);
    EXPECT_NEAR(square.heightAt(400, 300), 0.4f * 5 + 0.4f * 10 + 0.2f * 2.5f, 1e-4f);
}

// Even where the ground is raised.
TEST(Terrain, HeightIsZeroOffTheTerrain) {
    const Terrain raised = makeFlatTerrain(200, 256);
    for (const float edge : {0.0f, 499.99f})
        EXPECT_EQ(raised.heightAt(edge, edge), Terrain::pixelHeight(200)) << edge;
    const float nan = std::numeric_limits<float>::quiet_NaN(), huge = 3e38f;
    const float outside[][2] = {{500, 250}, {250, 500}, {-0.01f, 250}, {250, -0.01f}, {1e6f, 1e6f},
                                {nan, 250}, {250, nan}, {huge, 250},   {-huge, 250},  {250, huge}};
    for (const auto& point : outside)
        EXPECT_EQ(raised.heightAt(point[0], point[1]), 0.0f) << point[0] << ", " << point[1];
}

TEST(Terrain, HeightOffTheGridLinesMatchesTheFmodReferenceToTheBit) {
    // The query splits a point into its grid square and the offset within it; the
    // reference takes the offset with std::fmod, the direct definition. Within float
    // rounding of a grid line the two may pick different squares; the real-map tests
    // below cover those points.
    const auto reference = [](const Terrain& t, float x, float z) {
        const float size = Terrain::TERRAIN_SIZE / float(t.sideVertices() - 1);
        const int gx = int(std::floor(x / size)), gz = int(std::floor(z / size));
        const float u = std::fmod(x, size) / size, v = std::fmod(z, size) / size;
        if (u <= 1.0f - v)
            return (1.0f - u - v) * t.vertexHeight(gx, gz) + u * t.vertexHeight(gx + 1, gz) +
                   v * t.vertexHeight(gx, gz + 1);
        return (1.0f - v) * t.vertexHeight(gx + 1, gz) + (u + v - 1.0f) * t.vertexHeight(gx + 1, gz + 1) +
               (1.0f - u) * t.vertexHeight(gx, gz + 1);
    };
    const auto nearALine = [](float c, float size) {
        const double offset = std::remainder(double(c), double(size));
        return std::abs(offset) <= double(c) * 0x1p-19;
    };
    std::mt19937 random(3);
    for (const int side : {2, 7, 256, 257}) {
        const std::vector<unsigned char> pixels = randomPixels(side, unsigned(side));
        const Terrain terrain(Terrain::buildGeometry(pixels.data(), side));
        const float size = Terrain::TERRAIN_SIZE / float(side - 1);
        std::uniform_real_distribution<float> anywhere(0.0f, std::nextafter(500.0f, 0.0f));
        for (int checked = 0; checked < 10000;) {
            const float x = anywhere(random), z = anywhere(random);
            if (nearALine(x, size) || nearALine(z, size))
                continue;
            ++checked;
            const float height = terrain.heightAt(x, z), expected = reference(terrain, x, z);
            ASSERT_EQ(std::memcmp(&height, &expected, sizeof height), 0) << side << ": " << x << ", " << z;
        }
    }
}

// The game's own height map, where rounding at grid lines used to pick the wrong square.
class RealHeightMap : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels = SOIL_load_image((std::string(WM_SOURCE_DIR) + "/Resources/heightmap3.png").c_str(),
                                                &width, &height, &channels, SOIL_LOAD_L);
        ASSERT_NE(pixels, nullptr);
        ASSERT_EQ(width, height);
        terrain = new Terrain(Terrain::buildGeometry(pixels, height));
        SOIL_free_image_data(pixels);
        const int side = terrain->sideVertices();
        for (int a = 0; a < side; ++a)
            for (int b = 0; b + 1 < side; ++b)
                steepestStep = std::max({steepestStep,
                                         std::abs(terrain->vertexHeight(a, b + 1) - terrain->vertexHeight(a, b)),
                                         std::abs(terrain->vertexHeight(b + 1, a) - terrain->vertexHeight(b, a))});
    }
    static void TearDownTestSuite() { delete terrain; }

    // How far the ground can move between two points d apart along one axis: the
    // surface is planar per triangle, with slopes bounded by the steepest grid step.
    static float allowedChange(float d) {
        const float squareSize = Terrain::TERRAIN_SIZE / float(terrain->sideVertices() - 1);
        return steepestStep * std::abs(d) / squareSize + FLOAT_NOISE;
    }
    // Vertex coordinate as the mesh stores it.
    static float lineAt(int k) { return terrain->positions[size_t(k) * 3]; }

    static constexpr float FLOAT_NOISE = 1e-5f; // rounding of a height of up to 40
    static inline Terrain* terrain = nullptr;
    static inline float steepestStep = 0;
};

TEST_F(RealHeightMap, EveryVertexGivesExactlyItsOwnHeightHoweverItsCoordinatesAreRounded) {
    const int side = terrain->sideVertices();
    ASSERT_EQ(side, 256);
    const float squareSize = Terrain::TERRAIN_SIZE / float(side - 1);
    // The mesh's coordinates, a multiple of the square size, and the nearest float to k * 500 / 255.
    const std::function<float(int)> roundings[] = {
        [](int k) { return lineAt(k); }, [squareSize](int k) { return float(k) * squareSize; },
        [side](int k) { return float(double(k) * 500.0 / double(side - 1)); }};
    int wrong = 0;
    for (const auto& coordinate : roundings)
        for (int gz = 0; gz + 1 < side; ++gz)
            for (int gx = 0; gx + 1 < side; ++gx) {
                const float height = terrain->heightAt(coordinate(gx), coordinate(gz));
                if (height != terrain->vertexHeight(gx, gz) && ++wrong <= 5)
                    ADD_FAILURE() << gx << ", " << gz << ": " << height << " not " << terrain->vertexHeight(gx, gz);
            }
    EXPECT_EQ(wrong, 0);
    // The float just short of the far edge still lies on the last vertex.
    EXPECT_EQ(terrain->heightAt(std::nextafter(500.0f, 0.0f), lineAt(100)), terrain->vertexHeight(side - 1, 100));
}

TEST_F(RealHeightMap, BothSidesOfEveryGridLineAgree) {
    const int side = terrain->sideVertices();
    const float squareSize = Terrain::TERRAIN_SIZE / float(side - 1);
    int wrong = 0;
    for (int k = 1; k + 1 < side; ++k) {
        const float on = lineAt(k), below = std::nextafter(on, 0.0f), above = std::nextafter(on, 500.0f);
        // Across each square the line crosses: at its vertex, a quarter, the middle and near the next vertex.
        for (int m = 0; m + 1 < side; ++m)
            for (const float across : {0.0f, 0.25f, 0.5f, 0.97f}) {
                const float other = (float(m) + across) * squareSize;
                for (const bool alongZ : {false, true}) {
                    const auto at = [&](float c) {
                        return alongZ ? terrain->heightAt(other, c) : terrain->heightAt(c, other);
                    };
                    const float h = at(on), hBelow = at(below), hAbove = at(above);
                    const bool continuous = std::abs(h - hBelow) <= allowedChange(on - below) &&
                                            std::abs(h - hAbove) <= allowedChange(above - on);
                    if (!continuous && ++wrong <= 5)
                        ADD_FAILURE() << (alongZ ? "z" : "x") << " line " << k << " at " << other << ": " << hBelow
                                      << " | " << h << " | " << hAbove;
                }
            }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(TerrainFile, LoadsAndUploadsAHeightMap) {
    requireGlContext();
    const std::vector<unsigned char> pixels = randomPixels(4, 4);
    ModelLoader loader;
    const Terrain terrain(loader, nullptr, nullptr, nullptr, writePng("terrainHeights4.png", 4, 4, 1, pixels));
    ASSERT_NE(terrain.mesh, nullptr);
    EXPECT_EQ(terrain.mesh->vertexCount, 54);
    EXPECT_EQ(terrain.heightAt(500.0f / 3, 1000.0f / 3), Terrain::pixelHeight(pixels[2 * 4 + 1]));
    loader.cleanUp();
}
