#pragma once
// Where the scene's things stand, in world units on the ground plane (x, z; the terrain
// spans 0..500 on both): the game builds the scene from it, the quest reads its zones and
// the data generator shapes the ground around it. Plain numbers, no GL, no GLM.

#include <array>
#include <cstddef>
#include <iterator>

namespace layout {

struct GroundSpot {
    float x = 0;
    float z = 0;
};

// An open rectangle on the ground: a point on a border is outside.
struct Zone {
    float minX, maxX, minZ, maxZ;

    constexpr bool contains(float x, float z) const { return minX < x && x < maxX && minZ < z && z < maxZ; }
};

struct Triple {
    float x, y, z;
};

constexpr GroundSpot PLAYER_START = {188, 377};

constexpr GroundSpot TREES[] = {{60, 118}, {292, 132}, {383, 106}, {457, 214}, {461, 333}, {425, 421}, {112, 424}};
constexpr GroundSpot LAMPS[] = {{291, 273}, {111, 138}};
constexpr GroundSpot QUEST_LAMP = LAMPS[1]; // west of the lake
constexpr GroundSpot FERNS[] = {{306, 264}, {225, 274}, {92, 230}, {95, 144}, {158, 252}};

// The cottage stands at a fixed height: the model's own floor then sits on the ground.
constexpr GroundSpot COTTAGE = {255, 252};
constexpr float COTTAGE_HEIGHT = -34.6f;
constexpr float COTTAGE_ROTATION_Y = 0.0f; // degrees; the door then faces east (+x)
constexpr float COTTAGE_SCALE = 43.0f;

// The quest: the player checks the lamp by standing beside it, then walks to the door.
constexpr Zone LAMP_ZONE = {99, 123, 129, 147};
constexpr Zone DOOR_ZONE = {270, 320, 255, 275};

// The one water tile: its centre on the ground and the water's height.
constexpr Triple WATER_TILE = {210, -21, 210};

// Lights: the sun first, then one above each lamp.
constexpr Triple SUN_POSITION = {-150, 10000, 7900};
constexpr Triple SUN_COLOUR = {1, 1, 1};
constexpr Triple SUN_ATTENUATION = {1, 0, 0};
constexpr float LAMP_LIGHT_HEIGHT = 10.0f; // above the ground under each lamp
constexpr Triple LAMP_COLOUR = {1.0f, 0.345f, 0.25f};
constexpr Triple LAMP_ATTENUATION = {1.0f, 0.02f, 0.0f};

// Every spot where something stands on the ground: start, trees, lamps, ferns, cottage.
constexpr std::size_t STANDING_COUNT = 1 + std::size(TREES) + std::size(LAMPS) + std::size(FERNS) + 1;
constexpr std::array<GroundSpot, STANDING_COUNT> standingSpots() {
    std::array<GroundSpot, STANDING_COUNT> all{};
    std::size_t n = 0;
    all[n++] = PLAYER_START;
    for (const GroundSpot& s : TREES) {
        all[n++] = s;
    }
    for (const GroundSpot& s : LAMPS) {
        all[n++] = s;
    }
    for (const GroundSpot& s : FERNS) {
        all[n++] = s;
    }
    all[n++] = COTTAGE;
    return all;
}

}
