#include "Generators.h"
#include "ModelPaint.h"

#include <algorithm>
#include <cmath>

// The desktop icon: the cottage on its green hill by the lake, with the quest lamp
// lit beside it, on a rounded square. Each pixel averages a grid of samples of one
// picture function, so every edge is smooth at the icon's small size.
namespace {

constexpr int ICON_SIZE = 128;
constexpr int SAMPLES = 4; // per side of a pixel

struct Box {
    double x0, y0, x1, y1; // icon units, 0..1, y downwards
    bool contains(double x, double y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

double groundLine(double x) {
    return 0.60 + 0.045 * std::sin(x * 5.0 + 0.6) - 0.05 * x;
}

// Sky, hill, lake and path: everything behind the cottage and the lamp.
Colour landscape(double x, double y) {
    if (y < groundLine(x))
        return mix(Colour{92, 150, 214}, Colour{214, 226, 228}, clamp01(y / 0.6));
    const double lake = std::pow((x - 0.26) / 0.22, 2.0) + std::pow((y - 0.80) / 0.075, 2.0);
    if (lake < 1.0)
        return mix(Colour{150, 196, 236}, Colour{46, 104, 176}, clamp01(lake * 1.4));
    const double pathCentre = 0.66 + (y - 0.62) * 0.9 + 0.06 * std::sin(y * 9.0);
    if (std::abs(x - pathCentre) < 0.02 + (y - 0.6) * 0.12)
        return Colour{196, 168, 124};
    return mix(Colour{104, 164, 64}, Colour{46, 96, 36}, clamp01((y - 0.6) / 0.4));
}

Colour cottage(double x, double y, bool& hit) {
    hit = true;
    const double roofHalf = 0.22 - (0.44 - y) * 0.55; // a gable end seen from the side
    if (y >= 0.27 && y < 0.44 && std::abs(x - 0.64) < roofHalf)
        return std::fmod(y, 0.035) < 0.006 ? Colour{58, 34, 28} : Colour{104, 52, 40};
    if (Box{0.58, 0.51, 0.66, 0.65}.contains(x, y))
        return Colour{64, 38, 22};
    if (Box{0.47, 0.49, 0.54, 0.56}.contains(x, y) || Box{0.71, 0.49, 0.78, 0.56}.contains(x, y))
        return Colour{252, 214, 116};
    if (Box{0.45, 0.44, 0.83, 0.65}.contains(x, y))
        return std::fmod(y, 0.04) < 0.008 ? Colour{86, 54, 30} : Colour{150, 98, 56};
    hit = false;
    return {};
}

Colour picture(double x, double y) {
    bool onCottage = false;
    Colour colour = cottage(x, y, onCottage);
    if (!onCottage)
        colour = landscape(x, y);
    if (Box{0.255, 0.40, 0.275, 0.66}.contains(x, y))
        colour = Colour{44, 44, 48};
    const double fromLamp = std::hypot(x - 0.265, y - 0.38);
    if (fromLamp < 0.035)
        return Colour{255, 240, 180};
    return mix(colour, Colour{255, 226, 140}, 0.7 * (1.0 - smoothStep(0.0, 0.16, fromLamp)));
}

// Signed distance to the rounded square the picture sits in (negative inside).
double badgeDistance(double x, double y) {
    constexpr double HALF = 0.47, RADIUS = 0.16;
    const double qx = std::abs(x - 0.5) - (HALF - RADIUS), qy = std::abs(y - 0.5) - (HALF - RADIUS);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - RADIUS;
}

Paint iconPixel(const Texel& p) {
    Colour sum;
    int inside = 0;
    for (int sy = 0; sy < SAMPLES; ++sy) {
        for (int sx = 0; sx < SAMPLES; ++sx) {
            const double x = (p.x + (sx + 0.5) / SAMPLES) / ICON_SIZE;
            const double y = (p.y + (sy + 0.5) / SAMPLES) / ICON_SIZE;
            const double d = badgeDistance(x, y);
            if (d > 0.0)
                continue;
            ++inside;
            sum = sum + (d > -0.02 ? Colour{40, 30, 24} : picture(x, y));
        }
    }
    if (inside == 0)
        return {Colour{40, 30, 24}, 0.0};
    return {sum * (1.0 / inside), 255.0 * inside / (SAMPLES * SAMPLES)};
}

}

void generateIcon(const std::string& packagingDir) {
    Image icon(ICON_SIZE, ICON_SIZE, 4);
    paintRect(icon, {0, 0, ICON_SIZE, ICON_SIZE}, iconPixel);
    savePng(packagingDir, "wm.png", icon, PngStorage::COMPACT);
}
