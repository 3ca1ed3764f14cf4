#include "ModelPlayerTexture.h"
#include "ModelNoise.h"
#include "ModelPlayerAtlas.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

using namespace playerAtlas;

const Colour TUNIC_GREEN{62, 104, 54};
const Colour SLEEVE_GREEN{56, 94, 50};
const Colour TROUSER_BROWN{98, 84, 68};
const Colour LEATHER{92, 58, 33};
const Colour BELT_LEATHER{116, 74, 40};
const Colour BRASS{204, 168, 84};
const Colour SKIN_TONE{228, 178, 144};
const Colour CANVAS{156, 138, 100};
const Colour BLANKET{152, 56, 42};
const Colour CREAM{226, 212, 170};
const Colour HAIR_BROWN{98, 60, 32};
const Colour THREAD{196, 180, 140};

const ModelNoise NOISE(0x5EED01);

// Wool: fine grain, a faint weave and long soft folds running down the cloth.
Colour cloth(const Colour& base, const Texel& p, double wrapPeriod) {
    const double grain = NOISE.fractal(p.s * 48, p.t * 48, 3, 48) - 0.5;
    const double weave = ((p.x + p.y) % 2 == 0 ? 0.03 : -0.03);
    const double folds = NOISE.value(p.s * wrapPeriod, p.t * 2.0, int(wrapPeriod)) - 0.5;
    return base * (1.0 + grain * 0.35 + weave + folds * 0.25);
}

// Leather: blotchy tone with a few light scuffs.
Colour leather(const Colour& base, const Texel& p) {
    const double blotch = NOISE.fractal(p.s * 8 + 40, p.t * 8, 4, 8) - 0.5;
    const double scuff = std::max(0.0, NOISE.value(p.s * 40 + 7, p.t * 6, 40) - 0.78) * 1.6;
    return base * (1.0 + blotch * 0.45 + scuff);
}

// A dashed stitch line along row `row` of a texel's cell.
bool onStitch(const Texel& p, int row) {
    return p.y == row && (p.x / 2) % 2 == 0;
}

Paint opaque(const Colour& c) {
    return {c, 255.0};
}

Paint tunic(const Texel& p) {
    Colour c = cloth(TUNIC_GREEN, p, 6.0);
    const double front = std::abs(p.s - 0.5); // 0 at the middle of the chest
    if (p.t < 0.06 || p.t > 0.9)
        c = c * 0.72; // collar and hem bands
    if (p.y == int(0.9 * TUNIC.height()) + 2 && (p.x / 3) % 2 == 0)
        c = mix(c, THREAD, 0.7);
    // Laced neck opening at the front.
    if (front < 0.012 && p.t < 0.36)
        c = Colour{30, 34, 24};
    const double laceRow = std::fmod(p.t * 40.0, 1.0);
    if (p.t > 0.07 && p.t < 0.34 && front < 0.045 && std::abs(front * 22.0 - laceRow) < 0.18)
        c = Colour{150, 110, 70};
    return opaque(c);
}

Paint trousers(const Texel& p) {
    Colour c = cloth(TROUSER_BROWN, p, 5.0);
    if (std::abs(p.s - 0.25) < 0.01 || std::abs(p.s - 0.75) < 0.01)
        c = c * 0.75;                                               // side seams
    const double dx = (p.s - 0.5) / 0.13, dy = (p.t - 0.42) / 0.09; // knee patch at the front
    const double patch = std::max(std::abs(dx), std::abs(dy));
    if (patch < 1.0)
        c = cloth(Colour{118, 100, 76}, p, 5.0);
    if (std::abs(patch - 0.92) < 0.06 && (p.x + p.y) % 3 == 0)
        c = THREAD;
    return opaque(c);
}

Paint boot(const Texel& p) {
    Colour c = leather(LEATHER, p);
    if (p.t < 0.16)
        c = leather(Colour{124, 84, 50}, p); // turned-down cuff
    if (p.t > 0.15 && p.t < 0.19)
        c = c * 0.6;
    const double front = std::abs(p.s - 0.5);
    const double laceRow = std::fmod(p.t * 12.0, 1.0);
    if (p.t > 0.22 && p.t < 0.9 && front < 0.08 && std::abs(front * 6.0 - laceRow) < 0.12)
        c = Colour{196, 170, 120};
    if (onStitch(p, BOOT.height() - 3))
        c = mix(c, THREAD, 0.5);
    return opaque(c);
}

Paint bootFoot(const Texel& p) {
    Colour c = leather(LEATHER, p) * (0.9 + 0.1 * p.t);
    if (p.t > 0.72)
        c = Colour{42, 32, 26} * (0.9 + 0.2 * NOISE.value(p.s * 30, 3.0));
    if (onStitch(p, int(0.68 * BOOT_FOOT.height())))
        c = mix(c, THREAD, 0.45);
    return opaque(c);
}

Paint sole(const Texel& p) {
    const double tread = (p.y % 4 < 2) ? 0.8 : 1.0;
    return opaque(Colour{46, 36, 30} * tread * (0.9 + 0.2 * NOISE.value(p.s * 20, p.t * 10)));
}

Paint sleeve(const Texel& p) {
    Colour c = cloth(SLEEVE_GREEN, p, 4.0);
    if (p.t > 0.86)
        c = cloth(Colour{120, 96, 62}, p, 4.0); // leather cuff
    if (std::abs(p.t - 0.86) < 0.012)
        c = c * 0.6;
    if (p.t < 0.1)
        c = c * (0.85 + 1.5 * p.t); // shadow under the shoulder strap
    return opaque(c);
}

Paint belt(const Texel& p) {
    Colour c = leather(BELT_LEATHER, p);
    if (p.t < 0.12 || p.t > 0.88)
        c = c * 0.75;
    if (onStitch(p, 4) || onStitch(p, BELT.height() - 5))
        c = mix(c, THREAD, 0.6);
    // Brass buckle at the front, a round pouch stud at the side.
    const double bx = std::abs(p.s - 0.5) * BELT.width(), by = std::abs(p.t - 0.5) * BELT.height();
    if (bx < 7.0 && by < 9.0 && (bx > 4.5 || by > 6.5))
        c = BRASS * (1.1 - 0.3 * p.t);
    if (bx < 4.5 && by < 1.2)
        c = BRASS * 0.8;
    if (std::hypot((p.s - 0.78) * BELT.width(), (p.t - 0.5) * BELT.height()) < 3.0)
        c = BRASS * 0.9;
    return opaque(c);
}

Paint skin(const Texel& p) {
    return opaque(SKIN_TONE * (0.95 + 0.1 * NOISE.fractal(p.s * 6, p.t * 6, 2, 6)));
}

Paint pack(const Texel& p) {
    Colour c = cloth(CANVAS, p, 4.0);
    const double edge = std::min(std::min(p.s, 1.0 - p.s), std::min(p.t, 1.0 - p.t));
    if (edge < 0.05)
        c = c * 0.72;
    if (p.s > 0.3 && p.s < 0.7 && p.t > 0.45 && p.t < 0.85) { // pocket
        c = c * 0.92;
        if (p.s < 0.32 || p.s > 0.68 || p.t > 0.83)
            c = c * 0.7;
    }
    return opaque(c);
}

Paint flap(const Texel& p) {
    Colour c = leather(Colour{122, 80, 46}, p);
    const double edge = std::min(std::min(p.s, 1.0 - p.s), std::min(p.t, 1.0 - p.t));
    if (edge < 0.06)
        c = c * 0.7;
    if (std::abs(edge - 0.11) < 0.02 && (p.x + p.y) % 3 == 0)
        c = mix(c, THREAD, 0.6);
    if (std::abs(p.s - 0.5) < 0.05 && p.t > 0.7 && p.t < 0.92)
        c = BRASS * (1.0 - 0.3 * (p.t - 0.7) * 4);
    return opaque(c);
}

Paint bedroll(const Texel& p) {
    Colour c = cloth(BLANKET, p, 3.0);
    if (std::abs(p.t - 0.12) < 0.04 || std::abs(p.t - 0.88) < 0.04)
        c = cloth(CREAM, p, 3.0);
    if (std::abs(p.t - 0.3) < 0.05 || std::abs(p.t - 0.7) < 0.05)
        c = leather(Colour{70, 44, 26}, p); // ties
    return opaque(c);
}

Paint rollEnd(const Texel& p) {
    const double dx = p.s - 0.5, dy = p.t - 0.5;
    const double radius = std::hypot(dx, dy) * 2.0, angle = std::atan2(dy, dx) / 6.283185307179586;
    const double turn = std::fmod(radius * 4.0 - angle + 4.0, 1.0); // a rolled-up spiral
    return opaque(cloth(turn < 0.2 ? BLANKET * 0.55 : BLANKET, p, 3.0));
}

Paint strap(const Texel& p) {
    Colour c = leather(Colour{80, 50, 28}, p);
    if (p.s < 0.1 || p.s > 0.9 || p.t < 0.1 || p.t > 0.9)
        c = c * 0.75;
    if ((p.x == 8 || p.x == STRAP.width() - 9) && (p.y / 2) % 2 == 0)
        c = mix(c, THREAD, 0.5);
    return opaque(c);
}

Paint darkCloth(const Texel& p) {
    return opaque(cloth(TUNIC_GREEN * 0.55, p, 4.0));
}

}

Image paintPlayerBody() {
    Image image(BODY_SIZE, BODY_SIZE, 3);
    paintRect(image, TUNIC, tunic);
    paintRect(image, TROUSERS, trousers);
    paintRect(image, BOOT, boot);
    paintRect(image, BOOT_FOOT, bootFoot);
    paintRect(image, SOLE, sole);
    paintRect(image, SLEEVE, sleeve);
    paintRect(image, BELT, belt);
    paintRect(image, SKIN, skin);
    paintRect(image, PACK, pack);
    paintRect(image, FLAP, flap);
    paintRect(image, BEDROLL, bedroll);
    paintRect(image, ROLL_END, rollEnd);
    paintRect(image, STRAP, strap);
    paintRect(image, DARK_CLOTH, darkCloth);
    paintRect(image, SPARE, darkCloth);
    return image;
}

namespace {

constexpr double HEAD_RADIUS_XZ = 0.95; // mean of the head's x and z radii
constexpr double HEAD_RADIUS_Y = 1.05;
constexpr int HEAD_RINGS = 12;
constexpr int HAIR_RINGS = 9;

// The lathe spreads v by chord length along the profile; this inverts that for an
// ellipse of the given radii sampled at `rings` + 1 polar angles up to maxPolarDegrees.
double polarFromV(double v, double maxPolarDegrees, int rings, double radiusXZ, double radiusY) {
    std::vector<double> length(rings + 1, 0.0);
    auto point = [&](int k) {
        const double polar = maxPolarDegrees * k / rings * 3.141592653589793 / 180.0;
        return std::make_pair(radiusXZ * std::sin(polar), radiusY * std::cos(polar));
    };
    for (int k = 1; k <= rings; ++k) {
        const auto a = point(k - 1), b = point(k);
        length[k] = length[k - 1] + std::hypot(b.first - a.first, b.second - a.second);
    }
    const double target = v * length[rings];
    for (int k = 1; k <= rings; ++k) {
        if (target <= length[k] || k == rings) {
            const double f = (target - length[k - 1]) / (length[k] - length[k - 1]);
            return maxPolarDegrees * (k - 1 + f) / rings;
        }
    }
    return maxPolarDegrees;
}

// Polar angle (degrees from the crown) where the hair ends, by angle from the face's middle.
double hairline(double aroundDegrees) {
    const double a = std::abs(aroundDegrees);
    if (a < 60.0)
        return 50.0 + 10.0 * (a / 60.0) * (a / 60.0);
    if (a < 105.0)
        return 60.0 + 38.0 * std::pow((a - 60.0) / 45.0, 1.5);
    return 98.0 + 34.0 * (a - 105.0) / 75.0;
}

Colour hairStreaks(double s, double polar) {
    const double streak = NOISE.value(s * 128.0, polar / 10.0, 128) * 0.6 +
                          NOISE.value(s * 40.0 + 9, polar / 25.0, 40) * 0.4;
    return HAIR_BROWN * (0.7 + 0.6 * streak);
}

Colour eye(const Colour& skinColour, double dx, double dy) {
    const double r = std::hypot(dx / 8.5, dy / 4.6);
    if (r >= 1.25)
        return skinColour;
    if (r >= 1.0)
        return dy < 0.0 ? Colour{60, 38, 28} : skinColour * 0.9; // lash line above, soft shadow below
    const double iris = std::hypot((dx + 0.4) / 3.7, (dy - 0.3) / 3.9);
    Colour c{242, 238, 228};
    if (iris < 1.0)
        c = Colour{70, 112, 146} * (1.1 - 0.4 * iris);
    if (iris < 0.45)
        c = Colour{22, 20, 24};
    if (std::hypot(dx - 1.0, dy + 1.2) < 1.0)
        c = Colour{255, 255, 255};
    if (dy < -3.2)
        c = c * 0.8; // the upper lid's shadow
    return c;
}

Paint head(const Texel& p) {
    const double around = (p.s - 0.5) * 360.0;
    const double polar = polarFromV(p.t, 180.0, HEAD_RINGS, HEAD_RADIUS_XZ, HEAD_RADIUS_Y);
    const double jag = 5.0 * (NOISE.value(p.s * 90.0, 0.5, 90) - 0.5);
    if (polar < hairline(around) + jag)
        return opaque(hairStreaks(p.s, polar));

    Colour c = SKIN_TONE * (0.96 + 0.08 * NOISE.fractal(p.s * 24, p.t * 12, 2, 24));
    if (polar > 140.0)
        c = c * (1.0 - 0.18 * (polar - 140.0) / 40.0); // under the chin
    const double blush = std::hypot((std::abs(around) - 25.0) / 9.0, (polar - 102.0) / 7.0);
    if (blush < 1.0)
        c = mix(c, Colour{224, 124, 112}, 0.3 * (1.0 - blush * blush));
    if (std::abs(around) < 6.0 && polar > 103.0 && polar < 107.0)
        c = c * 0.9; // under the nose
    for (double side : {-1.0, 1.0}) {
        c = eye(c, around - side * 17.0, polar - 86.0);
        const double bx = (around - side * 18.0) / 10.0;
        const double browPolar = 76.5 - 2.5 * (1.0 - bx * bx);
        if (std::abs(bx) < 1.0 && std::abs(polar - browPolar) < 1.5 * (1.0 - 0.4 * std::abs(bx)))
            c = HAIR_BROWN * 0.8;
    }
    const double mouthPolar = 115.0 - 0.03 * around * around;
    if (std::abs(around) < 11.0 && std::abs(polar - mouthPolar) < 1.0)
        c = Colour{146, 68, 60};
    if (std::abs(around) < 8.0 && polar - mouthPolar > 1.0 && polar - mouthPolar < 3.2)
        c = mix(c, Colour{206, 120, 108}, 0.55);
    return opaque(c);
}

Paint hair(const Texel& p) {
    const double around = (p.s - 0.5) * 360.0;
    const double polar = polarFromV(p.t, HAIR_SHELL_POLAR_DEGREES, HAIR_RINGS, HEAD_RADIUS_XZ * 1.09,
                                    HEAD_RADIUS_Y * 1.09);
    // Strands hang a little lower than the painted hairline, so the fringe falls over the forehead.
    const double strands = 9.0 * NOISE.value(p.s * 72.0, 0.5, 72) + 3.0 * NOISE.value(p.s * 200.0, 3.5, 200);
    const double cut = hairline(around) + strands - 2.0;
    Colour c = hairStreaks(p.s, polar);
    if (polar < 35.0)
        c = c * (1.0 + 0.2 * (1.0 - polar / 35.0));            // sheen on the crown
    c = c * (1.0 - 0.25 * smoothStep(cut - 12.0, cut, polar)); // darker strand tips
    return {c, polar < cut ? 255.0 : 0.0};
}

Paint faceSkin(const Texel& p) {
    return opaque(SKIN_TONE * (0.95 + 0.08 * NOISE.value(p.s * 8, p.t * 8, 8)));
}

}

Image paintPlayerFace() {
    Image image(FACE_SIZE, FACE_SIZE, 4);
    paintRect(image, HEAD, head);
    paintRect(image, HAIR, hair);
    paintRect(image, FACE_SKIN, faceSkin);
    paintRect(image, FACE_UNUSED, faceSkin);
    padTransparentColours(image);
    return image;
}
