#include "TerrainBlendMap.h"

#include "Noise.h"
#include "TerrainHeights.h"
#include "TerrainLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace terrain {
namespace {

constexpr int MAP_SIZE = 512;
constexpr double TEXEL = TERRAIN_SIZE / MAP_SIZE; // world units per texel

constexpr std::uint32_t SEED_PATH_EDGE = 3101;
constexpr std::uint32_t SEED_PATH_WIDTH = 3102;
constexpr std::uint32_t SEED_SHORE_MUD = 3103;
constexpr std::uint32_t SEED_FLOWERS = 3104;
constexpr std::uint32_t SEED_EARTH = 3105;

// A walked route: control points (smoothed by a Catmull-Rom curve), its half width in
// world units and how strongly the gravel covers it.
struct Route {
    std::vector<Spot> points;
    double halfWidth;
    double cover;
};

// The routes players walk: start to the quest lamp (west of the lake), start to the
// cottage door, and a fainter trail from the start south into the hills.
const std::vector<Route>& routes() {
    static const std::vector<Route> list = {
        {{PLAYER_START, {182, 345}, {166, 308}, {146, 272}, {128, 236}, {118, 200}, {113, 168}, QUEST_LAMP}, 2.8, 1.0},
        {{PLAYER_START, {205, 352}, {228, 327}, {252, 303}, {272, 285}, DOOR}, 2.8, 1.0},
        {{PLAYER_START, {181, 410}, {172, 440}, {166, 470}, {160, 505}}, 2.2, 0.75},
    };
    return list;
}

// Open gravelled places: the yard at the cottage door, the start, the quest lamp.
struct Clearing {
    Spot centre;
    double radiusX, radiusZ;
};
constexpr Clearing CLEARINGS[] = {
    {{284, 265}, 15.0, 8.5},
    {PLAYER_START, 4.5, 4.5},
    {QUEST_LAMP, 7.0, 6.0},
};

// Flower meadows placed by hand where the camera looks: south of the start, beside the
// cottage and by the quest lamp. Noise adds more patches elsewhere.
struct Patch {
    Spot centre;
    double radius;
};
constexpr Patch FLOWER_PATCHES[] = {
    {{158, 398}, 13}, {{214, 396}, 11}, {{204, 438}, 15}, {{140, 360}, 9},
    {{228, 292}, 10}, {{322, 244}, 9},  {{90, 126}, 9},   {{330, 300}, 12},
};

double clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

Spot catmullRom(const Spot& p0, const Spot& p1, const Spot& p2, const Spot& p3, double t) {
    const double t2 = t * t, t3 = t2 * t;
    auto axis = [&](double a, double b, double c, double d) {
        return 0.5 *
               (2.0 * b + (c - a) * t + (2.0 * a - 5.0 * b + 4.0 * c - d) * t2 + (3.0 * b - a - 3.0 * c + d) * t3);
    };
    return {axis(p0.x, p1.x, p2.x, p3.x), axis(p0.z, p1.z, p2.z, p3.z)};
}

// Dense points along the smoothed route, about half a unit apart.
std::vector<Spot> sampleRoute(const Route& route) {
    std::vector<Spot> samples;
    const std::vector<Spot>& p = route.points;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        const Spot& p0 = p[i == 0 ? 0 : i - 1];
        const Spot& p3 = p[std::min(p.size() - 1, i + 2)];
        const int steps = std::max(1, int(std::hypot(p[i + 1].x - p[i].x, p[i + 1].z - p[i].z) * 2.0));
        for (int s = 0; s < steps; ++s)
            samples.push_back(catmullRom(p0, p[i], p[i + 1], p3, double(s) / steps));
    }
    samples.push_back(p.back());
    return samples;
}

// Coverage of the gravel paths per texel, 0..1.
std::vector<double> paintPaths() {
    // Signed distance to the nearest path edge (negative inside), splatted from the samples.
    std::vector<double> edge(size_t(MAP_SIZE) * MAP_SIZE, 1e9);
    std::vector<double> cover(edge.size(), 0.0);
    for (const Route& route : routes()) {
        for (const Spot& s : sampleRoute(route)) {
            const double halfWidth = route.halfWidth *
                                     (1.0 + 0.3 * noise::fbm2(s.x / 30.0, s.z / 30.0, SEED_PATH_WIDTH, 2));
            const int reach = int((halfWidth + 4.0) / TEXEL) + 1;
            const int cx = int(s.x / TEXEL), cz = int(s.z / TEXEL);
            for (int row = std::max(0, cz - reach); row <= std::min(MAP_SIZE - 1, cz + reach); ++row) {
                for (int col = std::max(0, cx - reach); col <= std::min(MAP_SIZE - 1, cx + reach); ++col) {
                    const double d = std::hypot((col + 0.5) * TEXEL - s.x, (row + 0.5) * TEXEL - s.z) - halfWidth;
                    const size_t i = size_t(row) * MAP_SIZE + col;
                    if (d < edge[i]) {
                        edge[i] = d;
                        cover[i] = route.cover;
                    }
                }
            }
        }
    }
    std::vector<double> paths(edge.size(), 0.0);
    for (int row = 0; row < MAP_SIZE; ++row) {
        for (int col = 0; col < MAP_SIZE; ++col) {
            const double x = (col + 0.5) * TEXEL, z = (row + 0.5) * TEXEL;
            // Ragged edges: grass creeps in and gravel spills out.
            const double ragged = 1.2 * noise::fbm2(x / 5.0, z / 5.0, SEED_PATH_EDGE, 3);
            double d = edge[size_t(row) * MAP_SIZE + col] + ragged;
            double c = cover[size_t(row) * MAP_SIZE + col];
            for (const Clearing& clearing : CLEARINGS) {
                const double ex = (x - clearing.centre.x) / clearing.radiusX,
                             ez = (z - clearing.centre.z) / clearing.radiusZ;
                const double dc = (std::sqrt(ex * ex + ez * ez) - 1.0) * std::min(clearing.radiusX, clearing.radiusZ) +
                                  ragged;
                if (dc < d) {
                    d = dc;
                    c = 1.0;
                }
            }
            paths[size_t(row) * MAP_SIZE + col] = c * (1.0 - smoothstep(-1.2, 1.2, d));
        }
    }
    return paths;
}

struct GroundFacts {
    double height; // world units
    double slope;  // rise per unit
};

GroundFacts groundAt(const TerrainHeights& heights, double x, double z) {
    const double e = 1.0;
    const double dx = (heights.smoothHeightAt(x + e, z) - heights.smoothHeightAt(x - e, z)) / (2.0 * e);
    const double dz = (heights.smoothHeightAt(x, z + e) - heights.smoothHeightAt(x, z - e)) / (2.0 * e);
    return {heights.smoothHeightAt(x, z), std::sqrt(dx * dx + dz * dz)};
}

// Mud: the wet shore band and the lake bed, bare earth on steep banks.
double mudAt(double x, double z, const GroundFacts& ground) {
    const double wobble = 1.6 * noise::fbm2(x / 9.0, z / 9.0, SEED_SHORE_MUD, 3);
    const double shore = 1.0 - smoothstep(WATER_LEVEL + 2.0, WATER_LEVEL + 6.5, ground.height + wobble);
    const double earth = 0.7 *
                         smoothstep(0.5, 0.75, ground.slope + 0.15 * noise::fbm2(x / 12.0, z / 12.0, SEED_EARTH, 2));
    return std::max(shore, earth);
}

double flowersAt(double x, double z, const GroundFacts& ground) {
    const double field = noise::fbm2(x / 45.0, z / 45.0, SEED_FLOWERS, 4);
    double amount = smoothstep(0.18, 0.42, field);
    const double ragged = 0.35 * noise::fbm2(x / 6.0, z / 6.0, SEED_FLOWERS + 1, 2);
    for (const Patch& patch : FLOWER_PATCHES) {
        const double r = std::hypot(x - patch.centre.x, z - patch.centre.z) / patch.radius;
        amount = std::max(amount, 1.0 - smoothstep(0.55, 1.1, r + ragged));
    }
    // Flowers keep to the gentle, dry meadow.
    amount *= 1.0 - smoothstep(0.3, 0.45, ground.slope);
    amount *= smoothstep(WATER_LEVEL + 6.0, WATER_LEVEL + 10.0, ground.height);
    return 0.85 * amount;
}

}

Image makeBlendMap(const TerrainHeights& heights) {
    const std::vector<double> paths = paintPaths();
    Image map(MAP_SIZE, MAP_SIZE, 3);
    for (int row = 0; row < MAP_SIZE; ++row) {
        for (int col = 0; col < MAP_SIZE; ++col) {
            const double x = (col + 0.5) * TEXEL, z = (row + 0.5) * TEXEL;
            const GroundFacts ground = groundAt(heights, x, z);
            const double path = paths[size_t(row) * MAP_SIZE + col];
            // Worn, muddy verges just outside the gravel.
            const double verge = 0.3 * smoothstep(0.0, 0.4, path) * (1.0 - smoothstep(0.6, 1.0, path));
            const double mud = std::max(mudAt(x, z, ground), verge) * (1.0 - path);
            const double flowers = flowersAt(x, z, ground) * (1.0 - path - mud);
            // Rounding blue and flooring the rest keeps r + g + b <= 255.
            std::uint8_t* p = map.at(col, row);
            p[0] = std::uint8_t(std::floor(255.0 * clamp01(mud)));
            p[1] = std::uint8_t(std::floor(255.0 * clamp01(flowers)));
            p[2] = toByte(255.0 * path);
        }
    }
    return map;
}

}
