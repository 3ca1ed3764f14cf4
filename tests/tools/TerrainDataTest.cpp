// Checks the generated ground and sky images against what the scene needs of them: where
// objects stand, where the water is, what the terrain shader and the sky box read. The
// height map is read through the game's own Terrain, so heights are the ones the game sees.
#include "assets/Terrain.h"
#include "tools/ResourceImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double WATER_LEVEL = -21.0;
constexpr double WATER_MIN = 90.0; // the water tile covers 90..330 on x and z
constexpr double WATER_MAX = 330.0;
constexpr double DRY_MARGIN = 5.0; // placements stand this far above the water
// Single triangles may tilt by one extra 8-bit step (0.3125 over a 1.96 unit cell).
constexpr double MAX_TRIANGLE_SLOPE_DEGREES = 35.0;
constexpr float COTTAGE_HEIGHT = 1.875f; // grey level 134
constexpr double RADIANS_TO_DEGREES = 57.29577951308232;

struct Point {
    double x, z;
};

// Everything the scene stands on the ground: start, trees, lamps, ferns, cottage.
const Point PLACEMENTS[] = {
    {188, 377}, {60, 118}, {292, 132}, {383, 106}, {457, 214}, {461, 333}, {425, 421}, {112, 424},
    {291, 273}, {111, 138}, {306, 264}, {225, 274}, {92, 230},  {95, 144},  {158, 252}, {255, 252},
};

Terrain loadGround() {
    const ResourceImage map = loadResourceImage("heightmap3.png");
    if (map.rgba.empty() || map.width != map.height) return Terrain(TerrainGeometry{});
    std::vector<unsigned char> grey(map.rgba.size() / 4);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = map.rgba[i * 4];
    return Terrain(Terrain::buildGeometry(grey.data(), map.width));
}

class TerrainData : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ground.sideVertices(), 256) << "heightmap3.png must give the game's grid"; }

    double spacing() const { return Terrain::TERRAIN_SIZE / (ground.sideVertices() - 1); }

    // Steepest triangle among the grid squares touching the disc of `radius` around (x, z).
    double steepestTriangleDegrees(double x, double z, double radius) const {
        double steepest = 0.0;
        for (int gz = int((z - radius) / spacing()); gz <= int((z + radius) / spacing()); ++gz) {
            for (int gx = int((x - radius) / spacing()); gx <= int((x + radius) / spacing()); ++gx) {
                const double h00 = ground.vertexHeight(gx, gz), h10 = ground.vertexHeight(gx + 1, gz);
                const double h01 = ground.vertexHeight(gx, gz + 1), h11 = ground.vertexHeight(gx + 1, gz + 1);
                const double rise = std::max(std::hypot(h10 - h00, h01 - h00), std::hypot(h11 - h01, h11 - h10));
                steepest = std::max(steepest, std::atan(rise / spacing()) * RADIANS_TO_DEGREES);
            }
        }
        return steepest;
    }

    const Terrain ground = loadGround();
};

}

TEST_F(TerrainData, EveryPlacementStandsOnDryGentleGround) {
    for (const Point& p : PLACEMENTS) {
        SCOPED_TRACE("placement at " + std::to_string(int(p.x)) + ", " + std::to_string(int(p.z)));
        EXPECT_GE(ground.heightAt(float(p.x), float(p.z)), WATER_LEVEL + DRY_MARGIN);
        EXPECT_LT(steepestTriangleDegrees(p.x, p.z, 5.0), MAX_TRIANGLE_SLOPE_DEGREES);
    }
}

TEST_F(TerrainData, CottageStandsOnAFlatPadWithALevelDoorYard) {
    // Every vertex under the house and a margin around it is at grey 134.
    for (int gz = 0; gz < 256; ++gz) {
        for (int gx = 0; gx < 256; ++gx) {
            if (std::fabs(gx * spacing() - 255.0) > 16.0 || std::fabs(gz * spacing() - 252.0) > 16.0) continue;
            ASSERT_EQ(ground.vertexHeight(gx, gz), COTTAGE_HEIGHT) << gx << ", " << gz;
        }
    }
    // The door zone east of the house is walkable ground close to the floor height.
    for (float x = 272.0f; x < 320.0f; x += 4.0f)
        for (float z = 257.0f; z < 275.0f; z += 4.0f)
            EXPECT_NEAR(ground.heightAt(x, z), COTTAGE_HEIGHT, 1.0) << x << ", " << z;
}

TEST_F(TerrainData, LakeLiesInsideTheWaterSquareAwayFromEveryPlacement) {
    int wet = 0;
    double deepest = 0.0;
    for (int gz = 0; gz < 256; ++gz) {
        for (int gx = 0; gx < 256; ++gx) {
            const double x = gx * spacing(), z = gz * spacing(), h = ground.vertexHeight(gx, gz);
            if (x < WATER_MIN || x > WATER_MAX || z < WATER_MIN || z > WATER_MAX) {
                ASSERT_GE(h, -18.0) << "low ground outside the water at " << x << ", " << z;
                continue;
            }
            if (h >= WATER_LEVEL) continue;
            ++wet;
            deepest = std::min(deepest, h);
            for (const Point& p : PLACEMENTS)
                ASSERT_GE(std::hypot(x - p.x, z - p.z), 20.0) << "water too close to an object at " << x << ", " << z;
        }
    }
    EXPECT_GT(wet, 500) << "the lake should be more than a puddle";
    EXPECT_LT(deepest, -30.0);
}

// Value of a map laid over the terrain (column = x / 500, row = z / 500) at world (x, z).
int mapAt(const ResourceImage& map, double x, double z, int channel) {
    const double toPixels = map.width / Terrain::TERRAIN_SIZE;
    return map.at(int(x * toPixels), int(z * toPixels))[channel];
}

TEST(TerrainImages, BlendWeightsStayWithinOneAndLightNeverGoesBlack) {
    const ResourceImage blend = loadResourceImage("blendMapAlt.png");
    ASSERT_FALSE(blend.rgba.empty());
    // The shader gives the background texture what is left of 1 after r + g + b.
    for (int y = 0; y < blend.height; ++y)
        for (int x = 0; x < blend.width; ++x)
            ASSERT_LE(blend.at(x, y)[0] + blend.at(x, y)[1] + blend.at(x, y)[2], 255) << x << ", " << y;
    for (const Point& gravel : {Point{188, 377}, Point{288, 265}, Point{111, 141}}) // start, door yard, quest lamp
        EXPECT_GT(mapAt(blend, gravel.x, gravel.z, 2), 200) << gravel.x << ", " << gravel.z;
    const ResourceImage light = loadResourceImage("terrainLightMap.png");
    ASSERT_FALSE(light.rgba.empty());
    int darkest = 255;
    for (size_t i = 0; i < light.rgba.size(); i += 4) darkest = std::min<int>(darkest, light.rgba[i]);
    EXPECT_GE(darkest, 100) << "the shader lights the ground again; the map must never go black";
}
