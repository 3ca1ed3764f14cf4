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

// The bowl profile (1 - s^2)^2 crosses the water level at s ~ 0.47 for meadow height ~1,
// so its outer edge lies about 2.1 lake radii out: a long, gentle bank.
constexpr double LAKE_OUTER_RADIUS = LAKE_RADIUS / 0.467;
constexpr double HILL_CORNER_ROUNDING = 22.0; // soft minimum of the edge distances
constexpr double PAD_BLEND = 26.0;            // pad to meadow over this many units
constexpr double SETTLE_INNER = 3.0;          // placements stand on level ground out to here
constexpr double SETTLE_OUTER = 13.0;
constexpr double SETTLE_STRENGTH = 0.85;

double clamp01(double v) { return std::min(1.0, std::max(0.0, v)); }

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// Exact at t = 1, so the pad gets exactly its target height.
double mix(double a, double b, double t) { return a * (1.0 - t) + b * t; }

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

double meadow(double x, double z) {
    const double rolling = 3.2 * noise::fbm2(x / 150.0, z / 150.0, SEED_MEADOW, 4);
    const double ripple = 0.6 * noise::fbm2(x / 28.0, z / 28.0, SEED_RIPPLE, 2);
    return 1.2 + rolling + ripple;
}

double hills(double x, double z) {
    const double footWidth = 118.0 + 26.0 * noise::fbm2(x / 110.0, z / 110.0, SEED_HILL_FOOT, 3);
    const double t = clamp01(1.0 - edgeDistance(x, z) / footWidth);
    if (t <= 0.0) return 0.0;
    const double crest = 29.0 + 8.0 * noise::fbm2(x / 85.0, z / 85.0, SEED_HILL_CREST, 3);
    const double rough = 6.0 * noise::fbm2(x / 42.0, z / 42.0, SEED_HILL_ROUGH, 4);
    const double rise = t * t * (3.0 - 2.0 * t);
    return rise * crest + t * rough;
}

// 1 at the lake's centre, 0 beyond its bank; the shore wobbles with low noise.
double lakeBowl(double x, double z) {
    const double dx = x - LAKE_CENTRE.x, dz = z - LAKE_CENTRE.z;
    const double wobble = 1.0 + 0.13 * noise::fbm2(x / 55.0, z / 55.0, SEED_SHORE, 3);
    const double s = std::sqrt(dx * dx + dz * dz) / (LAKE_OUTER_RADIUS * wobble);
    if (s >= 1.0) return 0.0;
    const double u = 1.0 - s * s;
    return u * u;
}

double padWeight(double x, double z) {
    const double pad = distanceToBox(x, z, COTTAGE.x - COTTAGE_PAD_HALF, COTTAGE.x + COTTAGE_PAD_HALF,
                                     COTTAGE.z - COTTAGE_PAD_HALF, COTTAGE.z + COTTAGE_PAD_HALF);
    const double yard = distanceToBox(x, z, YARD_MIN_X, YARD_MAX_X, YARD_MIN_Z, YARD_MAX_Z);
    return 1.0 - smoothstep(0.0, PAD_BLEND, std::min(pad, yard));
}

}

TerrainShape::TerrainShape() {
    for (const Spot& spot : PLACEMENTS) settleTargets.push_back(naturalHeight(spot.x, spot.z));
    questLampTarget = naturalHeight(QUEST_LAMP.x, QUEST_LAMP.z);
}

double TerrainShape::naturalHeight(double x, double z) const {
    const double ground = meadow(x, z) + hills(x, z);
    return mix(ground, LAKE_BED, lakeBowl(x, z));
}

double TerrainShape::levelledHeight(double x, double z) const {
    double h = naturalHeight(x, z);
    // The quest lamp's zone is walked through: ease it towards the height at the lamp.
    const double zone = distanceToBox(x, z, 99.0, 123.0, 129.0, 147.0);
    h = mix(h, questLampTarget, 0.75 * (1.0 - smoothstep(0.0, 16.0, zone)));
    // Trees, lamps, ferns and the player stand on small level spots.
    for (size_t i = 0; i < settleTargets.size(); ++i) {
        const double r = std::hypot(x - PLACEMENTS[i].x, z - PLACEMENTS[i].z);
        if (r >= SETTLE_OUTER) continue;
        h = mix(h, settleTargets[i], SETTLE_STRENGTH * (1.0 - smoothstep(SETTLE_INNER, SETTLE_OUTER, r)));
    }
    return h;
}

double TerrainShape::heightAt(double x, double z) const {
    const double w = padWeight(x, z);
    if (w >= 1.0) return COTTAGE_GROUND_HEIGHT;
    return mix(levelledHeight(x, z), COTTAGE_GROUND_HEIGHT, w);
}
