#include "TerrainLightMap.h"

#include "TerrainHeights.h"
#include "TerrainLayout.h"

#include <algorithm>
#include <cmath>

namespace terrain {
namespace {

constexpr int MAP_SIZE = 512;
constexpr double TEXEL = TERRAIN_SIZE / MAP_SIZE;

constexpr double SHADOW_STEP = 0.75;    // world units along the ground per ray step
constexpr double SHADOW_SOFTNESS = 5.0; // larger: harder shadow edges
constexpr double SHADOW_START = 0.25;   // ray starts this far above the ground
constexpr double MAX_TERRAIN_HEIGHT = 40.0;
constexpr int AO_DIRECTIONS = 12;
constexpr double AO_RADII[] = {2.5, 6.0, 14.0, 30.0};
constexpr double AO_STRENGTH = 0.45;

// Brightness of full shadow and of open flat sunlit ground, as fractions of white.
constexpr double SHADOW_LEVEL = 0.58;
constexpr double FLAT_SUNLIT_LEVEL = 1.0;

struct Direction {
    double x, y, z;
};

Direction sunDirection() {
    const double length = std::sqrt(SUN_X * SUN_X + SUN_Y * SUN_Y + SUN_Z * SUN_Z);
    return {SUN_X / length, SUN_Y / length, SUN_Z / length};
}

Direction normalAt(const TerrainHeights& heights, double x, double z) {
    const double e = 1.0;
    const double dx = heights.smoothHeightAt(x + e, z) - heights.smoothHeightAt(x - e, z);
    const double dz = heights.smoothHeightAt(x, z + e) - heights.smoothHeightAt(x, z - e);
    const double length = std::sqrt(dx * dx + 4.0 * e * e + dz * dz);
    return {-dx / length, 2.0 * e / length, -dz / length};
}

// 1 in full sun, 0 in full shadow: march towards the sun and keep the narrowest clearance
// angle, which gives soft shadow edges (penumbra) as well.
double sunVisibility(const TerrainHeights& heights, double x, double z, const Direction& sun) {
    const double horizontal = std::sqrt(sun.x * sun.x + sun.z * sun.z);
    const double stepX = sun.x / horizontal * SHADOW_STEP, stepZ = sun.z / horizontal * SHADOW_STEP;
    const double risePerStep = sun.y / horizontal * SHADOW_STEP;
    double rayY = heights.smoothHeightAt(x, z) + SHADOW_START;
    double visibility = 1.0;
    for (int i = 1;; ++i) {
        x += stepX;
        z += stepZ;
        rayY += risePerStep;
        // Beyond the terrain, or above every hill, nothing can block the sun.
        if (x < 0.0 || z < 0.0 || x > TERRAIN_SIZE || z > TERRAIN_SIZE || rayY > MAX_TERRAIN_HEIGHT)
            break;
        const double clearance = rayY - heights.smoothHeightAt(x, z);
        visibility = std::min(visibility, SHADOW_SOFTNESS * clearance / (i * SHADOW_STEP));
        if (visibility <= 0.0)
            return 0.0;
    }
    return std::max(0.0, visibility);
}

// Share of the sky left open, from the horizon angles in a ring of directions.
double skyOpenness(const TerrainHeights& heights, double x, double z) {
    const double h = heights.smoothHeightAt(x, z);
    double occlusion = 0.0;
    for (int d = 0; d < AO_DIRECTIONS; ++d) {
        const double angle = 6.283185307179586 * (d + 0.5) / AO_DIRECTIONS;
        double horizon = 0.0; // tangent of the highest horizon angle
        for (double r : AO_RADII)
            horizon = std::max(horizon,
                               (heights.smoothHeightAt(x + std::cos(angle) * r, z + std::sin(angle) * r) - h) / r);
        occlusion += horizon / std::sqrt(1.0 + horizon * horizon); // sine of the angle
    }
    return 1.0 - AO_STRENGTH * occlusion / AO_DIRECTIONS;
}

}

Image makeLightMap(const TerrainHeights& heights) {
    const Direction sun = sunDirection();
    Image map(MAP_SIZE, MAP_SIZE, 1);
    for (int row = 0; row < MAP_SIZE; ++row) {
        for (int col = 0; col < MAP_SIZE; ++col) {
            const double x = (col + 0.5) * TEXEL, z = (row + 0.5) * TEXEL;
            const Direction n = normalAt(heights, x, z);
            // Relative to open flat ground, so meadows come out near white.
            const double lambert = std::max(0.0, n.x * sun.x + n.y * sun.y + n.z * sun.z) / sun.y;
            const double direct = std::min(1.1, lambert) * sunVisibility(heights, x, z, sun);
            const double level = SHADOW_LEVEL + (FLAT_SUNLIT_LEVEL - SHADOW_LEVEL) * direct;
            map.at(col, row)[0] = toByte(255.0 * level * skyOpenness(heights, x, z));
        }
    }
    return map;
}

}
