#pragma once
// Where things stand in the scene, as far as the ground images must know: the placed
// objects, the lake, the cottage pad and yard, the quest lamp's zone and the sun. World
// units; the terrain spans 0..500 on x and z.

#include "Generators.h"

namespace terrain {

struct Spot {
    double x;
    double z;
};

constexpr double TERRAIN_SIZE = 500.0;
constexpr int HEIGHT_MAP_SIZE = 256;           // pixels per side, one vertex each
constexpr double HEIGHT_STEP = 0.3125;         // world units per grey level
constexpr int HEIGHT_ZERO_PIXEL = 128;         // grey level of height 0
constexpr double WATER_LEVEL = -21.0;          // the water tile covers 90..330 on x and z

// Every object that stands on the ground (player start, trees, lamps, ferns, cottage).
constexpr Spot PLACEMENTS[] = {
    {188, 377},                                                                   // player start
    {60, 118}, {292, 132}, {383, 106}, {457, 214}, {461, 333}, {425, 421}, {112, 424}, // trees
    {291, 273}, {111, 138},                                                       // lamps
    {306, 264}, {225, 274}, {92, 230}, {95, 144}, {158, 252},                     // ferns
    {255, 252},                                                                   // cottage
};

constexpr Spot PLAYER_START = {188, 377};
constexpr Spot QUEST_LAMP = {111, 138};
// The player checks the lamp by standing in this rectangle.
constexpr double LAMP_ZONE_MIN_X = 99.0, LAMP_ZONE_MAX_X = 123.0;
constexpr double LAMP_ZONE_MIN_Z = 129.0, LAMP_ZONE_MAX_Z = 147.0;

// The lake: a bowl that crosses the water level about LAKE_RADIUS from its centre (before
// the shore's stretch and wobble), well inside the water tile and away from every placement.
constexpr Spot LAKE_CENTRE = {212, 154};
constexpr double LAKE_RADIUS = 42.0;
constexpr double LAKE_BED = -35.0;

// The cottage stands on a flat pad; its door faces east onto a level yard.
constexpr Spot COTTAGE = {255, 252};
constexpr double COTTAGE_PAD_HALF = 18.0;       // flat square around the house (+-13)
constexpr double YARD_MIN_X = 266.0, YARD_MAX_X = 324.0; // covers the door zone 270..320
constexpr double YARD_MIN_Z = 251.0, YARD_MAX_Z = 279.0; // and 255..275
constexpr Spot DOOR = {288, 265};

// The first light, the sun; the ground is lit from this direction (towards the light).
constexpr double SUN_X = -150.0, SUN_Y = 10000.0, SUN_Z = 7900.0;

}
