#include "ModelNoise.h"
#include "ModelPaint.h"
#include "ModelParts.h"
#include "ModelShapes.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

// An iron lamp post on a stone plinth with a glazed lantern on top. The scene scales it
// by 0.75 and hangs a light 10 units above the ground, so the lantern's middle is at
// 10 / 0.75 = 13.33 in the file.
namespace {

constexpr int TEXTURE_SIZE = 256;
constexpr PixelRect IRON{0, 0, 64, 256};
constexpr PixelRect STONE{64, 0, 192, 96};
constexpr PixelRect GLASS{64, 96, 192, 224};
constexpr PixelRect COPPER{192, 0, 256, 128};
constexpr PixelRect BRASS{192, 128, 256, 192};
constexpr PixelRect SPARE_LOW{64, 224, 256, 256};
constexpr PixelRect SPARE_SIDE{192, 192, 256, 224};

constexpr double LANTERN_BOTTOM = 12.15;
constexpr double LANTERN_TOP = 14.51; // middle at 13.33
constexpr double GLASS_HALF = 0.6;
constexpr double PI = 3.141592653589793;

const ModelNoise NOISE(0x1A4B);

UvRect atlas(const PixelRect& r) {
    return UvRect::pixels(r.x0, r.y0, r.x1, r.y1, TEXTURE_SIZE);
}

LatheStyle faceted(const PixelRect& rect, int segments) {
    LatheStyle style;
    style.segments = segments;
    style.uv = atlas(rect);
    style.faceted = true;
    return style;
}

LatheRing ring(double y, double radius) {
    return {{0.0, y, 0.0}, radius, radius};
}

void addPost(ObjMesh& mesh) {
    LatheStyle plinth = faceted(STONE, 8);
    plinth.capTop = true;
    plinth.capUv = atlas(STONE);
    addLathe(mesh, {ring(1.1, 0.62), ring(0.9, 0.86), ring(-0.2, 0.96)}, plinth);
    addLathe(mesh, {ring(2.3, 0.3), ring(2.1, 0.36), ring(1.1, 0.44)}, faceted(IRON, 8));
    addLathe(mesh, {ring(11.2, 0.16), ring(6.6, 0.19), ring(2.3, 0.22)}, faceted(IRON, 8));
    for (double y : {2.3, 6.6, 11.2}) {
        LatheStyle collar = faceted(BRASS, 8);
        collar.capTop = collar.capBottom = true;
        collar.capUv = atlas(BRASS);
        addLathe(mesh, {ring(y + 0.12, 0.28), ring(y - 0.12, 0.28)}, collar);
    }
    LatheStyle neck = faceted(IRON, 8);
    neck.capTop = true;
    neck.capUv = atlas(IRON);
    addLathe(mesh, {ring(LANTERN_BOTTOM - 0.25, 0.4), ring(11.2, 0.16)}, neck);
}

void addLantern(ObjMesh& mesh) {
    const BoxUv iron = BoxUv::all(atlas(IRON).sub(0.0, 0.0, 1.0, 0.1));
    addBox(mesh, {-0.78, LANTERN_BOTTOM - 0.25, -0.78}, {0.78, LANTERN_BOTTOM, 0.78}, iron);
    BoxUv glass = BoxUv::all(atlas(GLASS));
    glass.top = glass.bottom = atlas(IRON).sub(0.0, 0.2, 1.0, 0.3);
    addBox(mesh, {-GLASS_HALF, LANTERN_BOTTOM, -GLASS_HALF}, {GLASS_HALF, LANTERN_TOP, GLASS_HALF}, glass);
    for (double x : {-1.0, 1.0})
        for (double z : {-1.0, 1.0})
            addBox(mesh,
                   placeAt({x * GLASS_HALF, (LANTERN_BOTTOM + LANTERN_TOP) * 0.5, z * GLASS_HALF},
                           {0.13, LANTERN_TOP - LANTERN_BOTTOM, 0.13}),
                   iron);
    // A four-sided copper roof: a lathe of four faces, turned so its eaves run along x and z.
    LatheStyle roof = faceted(COPPER, 4);
    roof.capBottom = true;
    roof.capUv = atlas(IRON);
    ObjMesh hood;
    addLathe(hood, {ring(LANTERN_TOP + 1.1, 0.0), ring(LANTERN_TOP + 0.22, 1.36), ring(LANTERN_TOP, 1.36)}, roof);
    mesh.append(hood, glm::rotate(glm::dmat4(1.0), PI / 4.0, {0.0, 1.0, 0.0}));
    LatheStyle knob;
    knob.segments = 8;
    knob.uv = atlas(BRASS);
    addEllipsoid(mesh, {0.0, LANTERN_TOP + 1.22, 0.0}, {0.16, 0.2, 0.16}, 5, knob);
    // Two scrolled brackets under the lantern.
    const BoxUv bracket = BoxUv::all(atlas(IRON).sub(0.0, 0.5, 1.0, 0.7));
    for (double side : {-1.0, 1.0}) {
        addBox(mesh, beamBetween({0.0, 10.7, 0.0}, {side * 0.7, LANTERN_BOTTOM - 0.2, 0.0}, 0.09, 0.09), bracket);
        addBox(mesh, beamBetween({0.0, 10.7, 0.0}, {0.0, LANTERN_BOTTOM - 0.2, side * 0.7}, 0.09, 0.09), bracket);
    }
}

Paint iron(const Texel& p) {
    const double streak = NOISE.fractal(p.s * 8.0, p.t * 1.5, 3, 8);
    const double patina = smoothStep(0.55, 0.8, NOISE.fractal(p.s * 4.0 + 5, p.t * 8.0, 3, 4));
    Colour c = Colour{46, 48, 50} * (0.75 + 0.5 * streak);
    c = mix(c, Colour{62, 88, 80}, patina * 0.5);
    if (std::fmod(p.s * 8.0, 1.0) < 0.08)
        c = c * 1.25; // the facet edges catch light
    return {c, 255.0};
}

Paint stone(const Texel& p) {
    const double speckle = NOISE.value(p.s * 90.0, p.t * 60.0, 90);
    const double blotch = NOISE.fractal(p.s * 6.0, p.t * 4.0, 4, 6);
    Colour c = Colour{138, 134, 124} * (0.75 + 0.35 * blotch);
    if (speckle > 0.78)
        c = c * 1.2;
    if (speckle < 0.2)
        c = c * 0.8;
    if (p.t > 0.78 && p.t < 0.82)
        c = c * 0.7; // chiselled edge of the bevel
    return {c, 255.0};
}

// Warm lit glass in an iron frame with a middle bar; the glow is brightest at the centre.
Paint glass(const Texel& p) {
    const double dx = std::abs(p.s - 0.5), dy = std::abs(p.t - 0.55);
    const double glow = 1.0 - clamp01(std::hypot(dx * 1.6, dy * 1.2) * 1.6);
    Colour c = mix(Colour{224, 132, 40}, Colour{255, 236, 160}, glow);
    const double flame = std::hypot(dx * 5.0, (p.t - 0.62) * 2.2);
    if (flame < 0.35)
        c = mix(c, Colour{255, 252, 230}, 1.0 - flame / 0.35);
    c = c * (0.95 + 0.1 * NOISE.value(p.s * 20.0, p.t * 20.0));
    const bool frame = p.s < 0.08 || p.s > 0.92 || p.t < 0.07 || p.t > 0.93;
    const bool bar = std::abs(p.t - 0.36) < 0.02;
    if (frame || bar)
        c = Colour{40, 38, 36} * (0.9 + 0.2 * NOISE.value(p.s * 30.0, p.t * 30.0));
    return {c, 255.0};
}

Paint copper(const Texel& p) {
    const double verdigris = smoothStep(0.4, 0.7, NOISE.fractal(p.s * 5.0, p.t * 6.0, 4, 5));
    Colour c = mix(Colour{150, 92, 54}, Colour{96, 160, 136}, verdigris);
    c = c * (0.8 + 0.3 * NOISE.fractal(p.s * 30.0, p.t * 4.0, 2, 30));
    if (std::fmod(p.s * 6.0, 1.0) < 0.07)
        c = c * 0.7; // standing seams
    return {c, 255.0};
}

Paint brass(const Texel& p) {
    return {Colour{196, 160, 78} * (0.8 + 0.35 * NOISE.fractal(p.s * 10.0, p.t * 10.0, 3, 10)), 255.0};
}

Image paintLamp() {
    Image image(TEXTURE_SIZE, TEXTURE_SIZE, 3);
    paintRect(image, IRON, iron);
    paintRect(image, STONE, stone);
    paintRect(image, GLASS, glass);
    paintRect(image, COPPER, copper);
    paintRect(image, BRASS, brass);
    paintRect(image, SPARE_LOW, iron);
    paintRect(image, SPARE_SIDE, iron);
    return image;
}

}

void generateLampModel(const std::string& resourcesDir) {
    ObjMesh mesh;
    addPost(mesh);
    addLantern(mesh);
    mesh.save(resourcesDir, "lamp.obj", ObjVConvention::TOP_ROW_ZERO);
    savePng(resourcesDir, "lamp.png", paintLamp());
}
