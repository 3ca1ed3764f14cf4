#include "TerrainShape.h"

#include "Noise.h"
#include "TerrainLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace terrain;

namespace {

constexpr std::uint32_t SEED_MEADOW = 1101;
constexpr std::uint32_t SEED_RIPPLE = 1102;
constexpr std::uint32_t SEED_HILL_FOOT = 1103;
constexpr std::uint32_t SEED_HILL_CREST = 1104;
constexpr std::uint32_t SEED_HILL_ROUGH = 1105;
constexpr std::uint32_t SEED_SHORE = 1106;

// The bank climbs ~22 units from the water to the meadow; over 60 units its steepest
// part stays under 27 degrees.
constexpr double LAKE_BANK = 60.0;
constexpr double LAKE_STRETCH_X = 1.05;
constexpr double LAKE_STRETCH_Z = 0.95;
constexpr double HILL_CORNER_ROUNDING = 22.0; // soft minimum of the edge distances
constexpr double SPOT_RADIUS = 2.5;           // level ground under each placed object
constexpr double CONE_ROUNDING = 4.0;         // rounds the foot of each levelling cone
constexpr double CONE_SOFTNESS = 4.0;         // height band over which cut/fill blends in

double clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// Exact at t = 1, so the pad gets exactly its target height.
double mix(double a, double b, double t) {
    return a * (1.0 - t) + b * t;
}

// Distance from (x, z) to an axis-aligned rectangle; 0 inside.
double distanceToBox(double x, double z, double minX, double maxX, double minZ, double maxZ) {
    const double dx = std::max({minX - x, 0.0, x - maxX});
    const double dz = std::max({minZ - z, 0.0, z - maxZ});
    return std::sqrt(dx * dx + dz * dz);
}

double edgeDistance(double x, double z) {
    // Smooth minimum of the four distances, so the hill ring has rounded corners.
    const double k = HILL_CORNER_ROUNDING;
    const double sum = std::exp(-x / k) + std::exp(-(TERRAIN_SIZE - x) / k) + std::exp(-z / k) +
                       std::exp(-(TERRAIN_SIZE - z) / k);
    return -k * std::log(sum);
}

// Low rounded knolls in the open meadow, off the walked routes.
struct Knoll {
    double x, z;   // centre, world units
    double radius; // world units
    double height; // world units
};
constexpr Knoll KNOLLS[] = {{350, 345, 48, 8}, {72, 305, 42, 9}, {395, 175, 50, 7}, {300, 440, 40, 6}};

double knolls(double x, double z) {
    double sum = 0.0;
    for (const Knoll& k : KNOLLS) {
        const double s = std::hypot(x - k.x, z - k.z) / k.radius;
        if (s < 1.0)
            sum += k.height * (1.0 - s * s) * (1.0 - s * s);
    }
    return sum;
}

double meadow(double x, double z) {
    const double rolling = 3.2 * noise::fbm2(x / 150.0, z / 150.0, SEED_MEADOW, 4);
    const double ripple = 0.6 * noise::fbm2(x / 28.0, z / 28.0, SEED_RIPPLE, 2);
    return 1.2 + rolling + ripple + knolls(x, z);
}

double hills(double x, double z) {
    const double footWidth = 118.0 + 26.0 * noise::fbm2(x / 110.0, z / 110.0, SEED_HILL_FOOT, 3);
    const double t = clamp01(1.0 - edgeDistance(x, z) / footWidth);
    if (t <= 0.0)
        return 0.0;
    const double crest = 29.0 + 8.0 * noise::fbm2(x / 85.0, z / 85.0, SEED_HILL_CREST, 3);
    const double rough = 6.0 * noise::fbm2(x / 42.0, z / 42.0, SEED_HILL_ROUGH, 4);
    const double rise = t * t * (3.0 - 2.0 * t);
    return rise * crest + t * rough;
}

// Distance from the lake centre in world units, stretched east-west (away from the cottage
// to the south-east) and wobbled by noise, so the shore is not a circle.
double lakeDistance(double x, double z) {
    const double dx = (x - LAKE_CENTRE.x) / LAKE_STRETCH_X, dz = (z - LAKE_CENTRE.z) / LAKE_STRETCH_Z;
    const double wobble = 1.0 + 0.16 * noise::fbm2(x / 70.0, z / 70.0, SEED_SHORE, 3) +
                          0.07 * noise::fbm2(x / 22.0, z / 22.0, SEED_SHORE + 1, 2);
    return std::sqrt(dx * dx + dz * dz) / wobble;
}

// Lowers the ground into the lake: a bowl below the water line, and above it a bank that
// leaves the water at a moderate slope and flattens out into the meadow.
double lakeShaped(double r, double ground) {
    if (r >= LAKE_RADIUS + LAKE_BANK)
        return ground;
    if (r <= LAKE_RADIUS) {
        const double q = r / LAKE_RADIUS;
        return LAKE_BED + (WATER_LEVEL - LAKE_BED) * q * q;
    }
    // Cubic with u(0) = 0, u'(0) = 1, u(1) = 1, u'(1) = 0: steepest a third of the way up.
    const double t = (r - LAKE_RADIUS) / LAKE_BANK;
    const double u = t + t * t - t * t * t;
    return WATER_LEVEL + (ground - WATER_LEVEL) * u;
}

// Polynomial smooth minimum and maximum; softness 0 gives the exact min and max.
double softMin(double a, double b, double softness) {
    if (softness <= 0.0)
        return std::min(a, b);
    const double h = clamp01(0.5 + 0.5 * (b - a) / softness);
    return mix(b, a, h) - softness * h * (1.0 - h);
}

double softMax(double a, double b, double softness) {
    return -softMin(-a, -b, softness);
}

struct Levelling {
    double slope; // rise per unit of the cut or fill next to the flat area
    double flare; // growth of that slope per unit of distance
};

// Levels ground around a flat area at height `level`: the ground is cut or filled to stay
// within a flaring bowl around it (slope `slope` at the edge, steeper further out) and is
// untouched where it already lies inside. The flare lets the bowl open up beyond the
// natural slopes, so the effect dies out without a seam. `distance` is 0 on the flat
// area, which gets exactly `level`.
double levelAround(double ground, double level, double distance, Levelling levelling) {
    const double d = std::sqrt(distance * distance + CONE_ROUNDING * CONE_ROUNDING) - CONE_ROUNDING;
    const double rise = d * (levelling.slope + 0.5 * levelling.flare * d);
    const double softness = std::min(CONE_SOFTNESS, 0.5 * rise);
    return softMin(softMax(ground, level - rise, softness), level + rise, softness);
}

// Cottage pad and yard: ~24 degree banks that may reach far down.
constexpr Levelling PAD_LEVELLING = {0.45, 0.01};
// The quest lamp's zone is walked through: ~17 degrees close around it.
constexpr Levelling LAMP_ZONE_LEVELLING = {0.3, 0.04};
// Trees, lamps, ferns and the start: gentle ground right next to them.
constexpr Levelling SPOT_LEVELLING = {0.3, 0.08};

double distanceToPad(double x, double z) {
    const double pad = distanceToBox(x, z, COTTAGE.x - COTTAGE_PAD_HALF, COTTAGE.x + COTTAGE_PAD_HALF,
                                     COTTAGE.z - COTTAGE_PAD_HALF, COTTAGE.z + COTTAGE_PAD_HALF);
    const double yard = distanceToBox(x, z, YARD_MIN_X, YARD_MAX_X, YARD_MIN_Z, YARD_MAX_Z);
    return std::min(pad, yard);
}

}

TerrainShape::TerrainShape() {
    for (const layout::GroundSpot& spot : PLACEMENTS)
        settleTargets.push_back(naturalHeight(spot.x, spot.z));
    questLampTarget = naturalHeight(QUEST_LAMP.x, QUEST_LAMP.z);
}

double TerrainShape::naturalHeight(double x, double z) const {
    const double r = lakeDistance(x, z);
    // The hills keep back from the lake, so its bank is not steepened by them.
    const double hillRoom = smoothstep(LAKE_RADIUS + 0.4 * LAKE_BANK, LAKE_RADIUS + 2.2 * LAKE_BANK, r);
    return lakeShaped(r, meadow(x, z) + hillRoom * hills(x, z));
}

double TerrainShape::levelledHeight(double x, double z) const {
    const double lampZone = distanceToBox(x, z, LAMP_ZONE_MIN_X, LAMP_ZONE_MAX_X, LAMP_ZONE_MIN_Z, LAMP_ZONE_MAX_Z);
    double h = levelAround(naturalHeight(x, z), questLampTarget, lampZone, LAMP_ZONE_LEVELLING);
    for (size_t i = 0; i < settleTargets.size(); ++i) {
        const double r = std::hypot(x - PLACEMENTS[i].x, z - PLACEMENTS[i].z);
        h = levelAround(h, settleTargets[i], std::max(0.0, r - SPOT_RADIUS), SPOT_LEVELLING);
    }
    return h;
}

double TerrainShape::heightAt(double x, double z) const {
    // The pad comes last, so nothing disturbs its exact height.
    return levelAround(levelledHeight(x, z), COTTAGE_GROUND_HEIGHT, distanceToPad(x, z), PAD_LEVELLING);
}
