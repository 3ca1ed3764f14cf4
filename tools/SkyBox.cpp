#include "SkyBox.h"

#include "Noise.h"
#include "TerrainLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sky {
namespace {

struct Rgb {
    double r, g, b;
};

// The scene's fog colour (0.5444, 0.62, 0.69), in 8-bit units.
constexpr Rgb FOG = {0.5444 * 255.0, 0.62 * 255.0, 0.69 * 255.0};
constexpr Rgb HORIZON_SKY = {165, 192, 220};
constexpr Rgb MID_SKY = {104, 152, 212};
constexpr Rgb ZENITH = {52, 104, 188};
constexpr Rgb SUN_DISC = {255, 251, 238};
constexpr Rgb SUN_GLOW = {255, 236, 196};
constexpr Rgb CLOUD_LIT = {244, 244, 246};
constexpr Rgb CLOUD_SHADE = {166, 174, 190};

constexpr double SUN_DISC_COS = 0.99985;    // ~1 degree angular radius
constexpr double SUN_EDGE_COS = 0.99975;    // soft rim of the disc
constexpr double FOG_BAND = 0.2;            // sky reaches its own colour this far above the horizon (y)
constexpr double CLOUD_LAYER_OFFSET = 0.12; // flattens the cloud layer's projection near the horizon
constexpr double CLOUD_SCALE = 1.6;         // noise cells per unit of the projected cloud layer
constexpr std::uint32_t SEED_CLOUDS = 4101;

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r * (1.0 - t) + b.r * t, a.g * (1.0 - t) + b.g * t, a.b * (1.0 - t) + b.b * t};
}
Rgb add(Rgb a, Rgb b, double k) {
    return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k};
}

double clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

Direction normalise(Direction d) {
    const double length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return {d.x / length, d.y / length, d.z / length};
}

Direction sunDirection() {
    return normalise({terrain::SUN_X, terrain::SUN_Y, terrain::SUN_Z});
}

double dot(Direction a, Direction b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Rgb gradient(double y) {
    const double t = std::pow(clamp01(y), 0.5);
    return t < 0.5 ? mix(HORIZON_SKY, MID_SKY, t * 2.0) : mix(MID_SKY, ZENITH, (t - 0.5) * 2.0);
}

// Cloud density on a flat layer overhead; the layer is reached along the view direction.
double cloudDensity(double layerX, double layerZ) {
    const double n = noise::fbm3(layerX * CLOUD_SCALE, layerZ * CLOUD_SCALE, 0.37, SEED_CLOUDS, 6);
    return smoothstep(0.02, 0.38, n + 0.08 * noise::gradient3(layerX * 0.4, 1.3, layerZ * 0.4, SEED_CLOUDS + 1));
}

// Clouds over the sky colour: lit on the side facing the sun, shaded on the far side.
Rgb addClouds(Rgb sky, Direction d, Direction sun) {
    if (d.y <= 0.0)
        return sky;
    const double lift = d.y + CLOUD_LAYER_OFFSET;
    const double x = d.x / lift, z = d.z / lift;
    const double density = cloudDensity(x, z);
    if (density <= 0.0)
        return sky;
    // Denser cloud between this point and the sun means this side is in the cloud's shade.
    const double towardsSun = cloudDensity(x + sun.x * 0.06, z + sun.z * 0.06);
    const double lit = clamp01(0.75 - 1.6 * (towardsSun - density));
    Rgb cloud = mix(CLOUD_SHADE, CLOUD_LIT, lit);
    const double sunward = std::pow(std::max(0.0, dot(d, sun)), 12.0);
    cloud = add(cloud, SUN_GLOW, 0.08 * sunward);
    // Clouds thin out towards the horizon and keep clear of the sun's disc.
    const double cover = density * smoothstep(0.03, 0.25, d.y) * (1.0 - smoothstep(0.9975, 0.9995, dot(d, sun)));
    return mix(sky, cloud, 0.92 * cover);
}

Rgb skyColour(Direction d) {
    d = normalise(d);
    if (d.y <= 0.0)
        return FOG; // below the horizon the sky is all fog
    const Direction sun = sunDirection();
    const double sunCos = dot(d, sun);
    Rgb colour = gradient(d.y);
    colour = add(colour, SUN_GLOW,
                 0.35 * std::pow(std::max(0.0, sunCos), 40.0) + 0.12 * std::pow(std::max(0.0, sunCos), 6.0));
    colour = addClouds(colour, d, sun);
    colour = mix(colour, SUN_DISC, smoothstep(SUN_EDGE_COS, SUN_DISC_COS, sunCos));
    colour = add(colour, SUN_GLOW, 0.5 * std::pow(std::max(0.0, sunCos), 900.0));
    return mix(FOG, colour, smoothstep(0.0, FOG_BAND, d.y));
}

}

Direction faceDirection(int face, int col, int row, int size) {
    const double s = 2.0 * (col + 0.5) / size - 1.0;
    const double t = 2.0 * (row + 0.5) / size - 1.0;
    switch (face) {
    case 0: return {1.0, -t, -s};
    case 1: return {-1.0, -t, s};
    case 2: return {s, 1.0, t};
    case 3: return {s, -1.0, -t};
    case 4: return {s, -t, 1.0};
    default: return {-s, -t, -1.0};
    }
}

Image makeSkyFace(int face) {
    Image image(FACE_SIZE, FACE_SIZE, 3);
    for (int row = 0; row < FACE_SIZE; ++row) {
        for (int col = 0; col < FACE_SIZE; ++col) {
            const Rgb c = skyColour(faceDirection(face, col, row, FACE_SIZE));
            std::uint8_t* p = image.at(col, row);
            p[0] = toByte(c.r);
            p[1] = toByte(c.g);
            p[2] = toByte(c.b);
        }
    }
    return image;
}

}
