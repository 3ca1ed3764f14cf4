#include "assets/GlReadback.h"
#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "assets/TestFiles.h"
#include "support/GlContext.h"
#include "world/TestTerrain.h"
#include "world/Transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr float TOLERANCE = 1e-4f;

// A fixed pseudo-random height map.
std::vector<unsigned char> randomPixels(int side, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> pixels(size_t(side) * side);
    for (unsigned char& pixel : pixels) {
        pixel = (unsigned char)(random() % 256);
    }
    return pixels;
}

Vec3 vec3At(const std::vector<float>& values, size_t vertex) {
    return Vec3(values[vertex * 3], values[vertex * 3 + 1], values[vertex * 3 + 2]);
}

// The height of the drawn surface under (x, z): interpolated over whichever
// triangle of the index list contains the point, searched for one by one.
float heightOfMeshAt(const Terrain& terrain, float x, float z) {
    for (size_t i = 0; i + 2 < terrain.indices.size(); i += 3) {
        const Vec3 a = vec3At(terrain.positions, size_t(terrain.indices[i]));
        const Vec3 b = vec3At(terrain.positions, size_t(terrain.indices[i + 1]));
        const Vec3 c = vec3At(terrain.positions, size_t(terrain.indices[i + 2]));
        const float area = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
        const float wb = ((x - a.x) * (c.z - a.z) - (c.x - a.x) * (z - a.z)) / area;
        const float wc = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / area;
        const float wa = 1 - wb - wc;
        constexpr float EDGE = -1e-5f;
        if (wa >= EDGE && wb >= EDGE && wc >= EDGE) {
            return wa * a.y + wb * b.y + wc * c.y;
        }
    }
    return std::numeric_limits<float>::quiet_NaN();
}

}

TEST(Terrain, PixelValuesSpanFortyUnitsEachWay) {
    EXPECT_EQ(Terrain::pixelHeight(0), -40.0f);
    EXPECT_EQ(Terrain::pixelHeight(128), 0.0f);
    EXPECT_EQ(Terrain::pixelHeight(255), 39.6875f);
}

TEST(Terrain, FullSizeMapBuildsTheWholeGrid) {
    const std::vector<unsigned char> pixels = randomPixels(256, 1);
    const TerrainGeometry g = Terrain::buildGeometry(pixels.data(), 256);
    EXPECT_EQ(g.positions.size(), 65536u * 3);
    EXPECT_EQ(g.normals.size(), 65536u * 3);
    EXPECT_EQ(g.textureCoords.size(), 65536u * 2);
    EXPECT_EQ(g.indices.size(), 390150u);
    // Vertex 257 is column 1 of row 1, 500 / 255 units in on both axes.
    const Vec3 second = vec3At(g.positions, 257);
    EXPECT_NEAR(second.x, 1.9607843f, 1e-6f);
    EXPECT_NEAR(second.z, 1.9607843f, 1e-6f);
    EXPECT_EQ(second.y, Terrain::pixelHeight(pixels[257]));
    EXPECT_EQ(vec3At(g.positions, 65535), Vec3(500, Terrain::pixelHeight(pixels[65535]), 500));
    EXPECT_EQ(g.textureCoords[65535 * 2], 1.0f);
    EXPECT_EQ(g.textureCoords[255 * 2 + 1], 0.0f);
    EXPECT_EQ(std::vector<int>(g.indices.begin(), g.indices.begin() + 6), (std::vector<int>{0, 256, 1, 1, 256, 257}));
    EXPECT_EQ(*std::max_element(g.indices.begin(), g.indices.end()), 65535);
}

TEST(Terrain, NormalsPointUpOnFlatGroundAndTiltAtTheRaisedBorder) {
    const TerrainGeometry level = Terrain::buildGeometry(std::vector<unsigned char>(25, 128).data(), 5);
    for (size_t vertex = 0; vertex < 25; ++vertex) {
        EXPECT_EQ(vec3At(level.normals, vertex), Vec3(0, 1, 0)) << vertex;
    }
    // A plateau of 255: missing neighbours off the edge count as height 0.
    const TerrainGeometry plateau = Terrain::buildGeometry(std::vector<unsigned char>(25, 255).data(), 5);
    const auto expectNormal = [&](int gx, int gz, const Vec3& direction) {
        const Vec3 n = vec3At(plateau.normals, size_t(gz * 5 + gx)), expected = glm::normalize(direction);
        EXPECT_NEAR(n.x, expected.x, 1e-6f) << gx << "," << gz;
        EXPECT_NEAR(n.y, expected.y, 1e-6f) << gx << "," << gz;
        EXPECT_NEAR(n.z, expected.z, 1e-6f) << gx << "," << gz;
    };
    expectNormal(2, 2, Vec3(0, 1, 0));
    expectNormal(0, 2, Vec3(-39.6875f, 2, 0));
    expectNormal(4, 3, Vec3(39.6875f, 2, 0));
    expectNormal(1, 0, Vec3(0, 2, -39.6875f));
    expectNormal(0, 4, Vec3(-39.6875f, 2, 39.6875f));
}

TEST(Terrain, HeightIsExactAtVerticesAndFollowsTheDrawnTriangles) {
    const std::vector<unsigned char> pixels = randomPixels(6, 2);
    const Terrain terrain(Terrain::buildGeometry(pixels.data(), 6));
    for (int gz = 0; gz < 5; ++gz) {
        for (int gx = 0; gx < 5; ++gx) {
            EXPECT_EQ(terrain.heightAt(gx * 100.0f, gz * 100.0f), Terrain::pixelHeight(pixels[gz * 6 + gx]));
        }
    }
    // The centre of a square lies on the diagonal: the mean of its two ends.
    const float h10 = Terrain::pixelHeight(pixels[1 * 6 + 2]), h01 = Terrain::pixelHeight(pixels[2 * 6 + 1]);
    EXPECT_NEAR(terrain.heightAt(150, 150), (h10 + h01) / 2, TOLERANCE);
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(0.0f, 499.9f);
    for (int i = 0; i < 300; ++i) {
        const float x = coordinate(random), z = coordinate(random);
        EXPECT_NEAR(terrain.heightAt(x, z), heightOfMeshAt(terrain, x, z), 1e-3f) << x << ", " << z;
    }
}

TEST(Terrain, HeightIsZeroOffTheTerrain) {
    const Terrain raised = makeFlatTerrain(200, 256);
    const float inside = Terrain::pixelHeight(200);
    EXPECT_EQ(raised.heightAt(0, 0), inside);
    EXPECT_EQ(raised.heightAt(499.99f, 499.99f), inside);
    const float nan = std::numeric_limits<float>::quiet_NaN(), huge = 3e38f;
    const float outside[][2] = {{500, 250}, {250, 500}, {-0.01f, 250}, {250, -0.01f}, {1e6f, 1e6f},
                                {nan, 250},  {250, nan}, {huge, 250},  {-huge, 250},  {250, huge}};
    for (const auto& point : outside) {
        EXPECT_EQ(raised.heightAt(point[0], point[1]), 0.0f) << point[0] << ", " << point[1];
    }
}

TEST(Terrain, HeightMapMustBeSquareAndAtLeastTwoPixels) {
    EXPECT_NE(Terrain::checkHeightMap(3, 2), "");
    EXPECT_NE(Terrain::checkHeightMap(2, 3), "");
    EXPECT_NE(Terrain::checkHeightMap(1, 1), "");
    EXPECT_NE(Terrain::checkHeightMap(0, 0), "");
    EXPECT_EQ(Terrain::checkHeightMap(2, 2), "");
    EXPECT_EQ(Terrain::checkHeightMap(256, 256), "");
}

TEST(TerrainFile, LoadsAndUploadsAHeightMap) {
    requireGlContext();
    const std::vector<unsigned char> pixels = randomPixels(4, 4);
    const std::string path = writePng("terrainHeights4.png", 4, 4, 1, pixels);
    ModelLoader loader;
    const Terrain terrain(loader, nullptr, nullptr, nullptr, path);
    EXPECT_EQ(terrain.imageWidth, 4);
    EXPECT_EQ(terrain.imageHeight, 4);
    EXPECT_EQ(terrain.imageChannels, 1);
    ASSERT_NE(terrain.mesh, nullptr);
    EXPECT_EQ(terrain.mesh->vertexCount, 54);
    EXPECT_EQ(terrain.heightAt(500.0f / 3, 1000.0f / 3), Terrain::pixelHeight(pixels[2 * 4 + 1]));
    EXPECT_EQ(readAttribute(terrain.mesh->vertexArray, 0), terrain.positions);
    EXPECT_EQ(readAttribute(terrain.mesh->vertexArray, 3), terrain.normals);
    loader.cleanUp();
}

TEST(TerrainFileDeathTest, UnusableHeightMapsEndStartUpNamingTheFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ModelLoader loader;
    const std::string wide = writePng("terrainWide.png", 3, 2, 1, std::vector<unsigned char>(6, 128));
    const std::string tiny = writePng("terrainTiny.png", 1, 1, 1, {128});
    const auto load = [&loader](const std::string& path) {
        prepareFatalChild();
        const Terrain terrain(loader, nullptr, nullptr, nullptr, path);
    };
    EXPECT_EXIT(load(wide), testing::ExitedWithCode(69), "terrainWide\\.png.*not square");
    EXPECT_EXIT(load(tiny), testing::ExitedWithCode(69), "terrainTiny\\.png.*smaller than 2 x 2");
    EXPECT_EXIT(load("tests/data/noHeightMap.png"), testing::ExitedWithCode(69), "tests/data/noHeightMap\\.png");
}
