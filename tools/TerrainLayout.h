#pragma once
// What the ground images must know of the scene: where things stand, the quest lamp's
// zone, the water and the sun (all from the game's own layout), and the lake, the cottage
// pad and yard the ground is shaped for. World units; the terrain spans 0..500 on x and z.

#include "Generators.h"
#include "world/SceneLayout.h"

#include <array>

namespace terrain {

struct Spot {
    double x;
    double z;
};

constexpr double TERRAIN_SIZE = 500.0;
constexpr int HEIGHT_MAP_SIZE = 256;   // pixels per side, one vertex each
constexpr double HEIGHT_STEP = 0.3125; // world units per grey level
constexpr int HEIGHT_ZERO_PIXEL = 128; // grey level of height 0
constexpr double WATER_LEVEL = layout::WATER_TILE.y;

constexpr Spot toSpot(layout::GroundSpot spot) {
    return {spot.x, spot.z};
}

// Every object that stands on the ground (player start, trees, lamps, ferns, cottage).
constexpr std::array<layout::GroundSpot, layout::STANDING_COUNT> PLACEMENTS = layout::standingSpots();

constexpr Spot PLAYER_START = toSpot(layout::PLAYER_START);
constexpr Spot QUEST_LAMP = toSpot(layout::QUEST_LAMP);
// The player checks the lamp by standing in this rectangle.
constexpr double LAMP_ZONE_MIN_X = layout::LAMP_ZONE.minX, LAMP_ZONE_MAX_X = layout::LAMP_ZONE.maxX;
constexpr double LAMP_ZONE_MIN_Z = layout::LAMP_ZONE.minZ, LAMP_ZONE_MAX_Z = layout::LAMP_ZONE.maxZ;

// The lake: a bowl that crosses the water level about LAKE_RADIUS from its centre (before
// the shore's stretch and wobble), well inside the water tile and away from every placement.
constexpr Spot LAKE_CENTRE = {212, 154};
constexpr double LAKE_RADIUS = 42.0;
constexpr double LAKE_BED = -35.0;

// The cottage stands on a flat pad; its door faces east onto a level yard.
constexpr Spot COTTAGE = toSpot(layout::COTTAGE);
constexpr double COTTAGE_PAD_HALF = 18.0; // flat square around the house (+-13)
constexpr double YARD_MARGIN = 4.0;       // beyond the door zone on every side
constexpr double YARD_MIN_X = layout::DOOR_ZONE.minX - YARD_MARGIN, YARD_MAX_X = layout::DOOR_ZONE.maxX + YARD_MARGIN;
constexpr double YARD_MIN_Z = layout::DOOR_ZONE.minZ - YARD_MARGIN, YARD_MAX_Z = layout::DOOR_ZONE.maxZ + YARD_MARGIN;
constexpr Spot DOOR = {288, 265};

// The first light, the sun; the ground is lit from this direction (towards the light).
constexpr double SUN_X = layout::SUN_POSITION.x, SUN_Y = layout::SUN_POSITION.y, SUN_Z = layout::SUN_POSITION.z;

}
