// Checks the generated height map against what the scene needs of it: where objects
// stand and where the water is. The map is read through the game's own Terrain, so
// heights are the ones the game sees. What the ground looks like shows in the reference frames.
#include "assets/Terrain.h"
#include "render/WaterRenderer.h"
#include "tools/ResourceImage.h"
#include "world/SceneLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double WATER_LEVEL = layout::WATER_TILE.y;
constexpr double WATER_MIN_X = layout::WATER_TILE.x - WaterRenderer::TILE_SCALE;
constexpr double WATER_MAX_X = layout::WATER_TILE.x + WaterRenderer::TILE_SCALE;
constexpr double WATER_MIN_Z = layout::WATER_TILE.z - WaterRenderer::TILE_SCALE;
constexpr double WATER_MAX_Z = layout::WATER_TILE.z + WaterRenderer::TILE_SCALE;
constexpr double DRY_MARGIN = 5.0;                        // placements stand this far above the water
constexpr float COTTAGE_HEIGHT = 1.875f;                  // grey level 134
constexpr double SPACING = Terrain::TERRAIN_SIZE / 255.0; // between vertices of the game's 256 x 256 grid

constexpr auto PLACEMENTS = layout::standingSpots();

Terrain loadGround() {
    const ResourceImage map = loadResourceImage("heightmap3.png");
    if (map.rgba.empty() || map.width != map.height)
        return Terrain(TerrainGeometry{});
    std::vector<unsigned char> grey(map.rgba.size() / 4);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = map.rgba[i * 4];
    return Terrain(Terrain::buildGeometry(grey.data(), map.width));
}

}

TEST(TerrainData, PlacementsStandOnDryGroundTheCottageOnAFlatPadAndTheLakeAwayFromThem) {
    const Terrain ground = loadGround();
    ASSERT_EQ(ground.sideVertices(), 256) << "heightmap3.png must give the game's grid";
    for (const layout::GroundSpot& p : PLACEMENTS)
        EXPECT_GE(ground.heightAt(p.x, p.z), WATER_LEVEL + DRY_MARGIN) << p.x << ", " << p.z;
    // The door zone east of the house is walkable ground close to the floor height.
    for (float x = layout::DOOR_ZONE.minX + 2; x < layout::DOOR_ZONE.maxX; x += 4.0f)
        for (float z = layout::DOOR_ZONE.minZ + 2; z < layout::DOOR_ZONE.maxZ; z += 4.0f)
            EXPECT_NEAR(ground.heightAt(x, z), COTTAGE_HEIGHT, 1.0) << x << ", " << z;
    int wet = 0;
    double deepest = 0.0;
    for (int gz = 0; gz < 256; ++gz) {
        for (int gx = 0; gx < 256; ++gx) {
            const double x = gx * SPACING, z = gz * SPACING, h = ground.vertexHeight(gx, gz);
            // Every vertex under the house and a margin around it is at grey 134.
            const bool underCottage = std::fabs(x - layout::COTTAGE.x) <= 16.0 &&
                                      std::fabs(z - layout::COTTAGE.z) <= 16.0;
            ASSERT_TRUE(!underCottage || h == COTTAGE_HEIGHT) << h << " under the cottage at " << x << ", " << z;
            if (x < WATER_MIN_X || x > WATER_MAX_X || z < WATER_MIN_Z || z > WATER_MAX_Z) {
                ASSERT_GE(h, -18.0) << "low ground outside the water at " << x << ", " << z;
                continue;
            }
            if (h >= WATER_LEVEL)
                continue;
            ++wet;
            deepest = std::min(deepest, h);
            for (const layout::GroundSpot& p : PLACEMENTS)
                ASSERT_GE(std::hypot(x - p.x, z - p.z), 20.0) << "water too close to an object at " << x << ", " << z;
        }
    }
    EXPECT_GT(wet, 500) << "the lake should be more than a puddle";
    EXPECT_LT(deepest, -30.0);
}
