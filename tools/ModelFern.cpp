#include "ModelPaint.h"
#include "ModelParts.h"
#include "ModelShapes.h"

#include <cmath>

// A fern: arched fronds around a crown, each a strip folded along its stem and cut out
// by the texture's alpha. fern.png holds four looks in a 2 x 2 atlas (the entity picks a
// quarter); every frond's UVs span one quarter, base at the bottom, tip at the top.
namespace {

constexpr int TEXTURE_SIZE = 512;
constexpr int CELL = 256;
constexpr int FRONDS = 8;
constexpr int STATIONS = 6; // points along a frond, base first
constexpr double PI = 3.141592653589793;

struct FrondShape {
    double length;
    double width;
    double startElevation; // degrees above the horizon at the base
    double endElevation;   // at the tip
};

void addFrond(ObjMesh& mesh, double headingRadians, const FrondShape& shape) {
    const glm::dvec3 outward{std::sin(headingRadians), 0.0, std::cos(headingRadians)};
    const glm::dvec3 side{outward.z, 0.0, -outward.x};
    glm::dvec3 centre = outward * 0.15 + glm::dvec3(0.0, 0.2, 0.0);
    std::vector<glm::dvec3> spine;
    const double step = shape.length / (STATIONS - 1);
    for (int i = 0; i < STATIONS; ++i) {
        spine.push_back(centre);
        const double f = double(i) / (STATIONS - 1);
        const double elevation = (shape.startElevation + (shape.endElevation - shape.startElevation) * f) * PI / 180.0;
        centre += (outward * std::cos(elevation) + glm::dvec3(0.0, std::sin(elevation), 0.0)) * step;
    }
    // Two halves folded down a little from the stem. Each quad is wound so that its normal
    // leans to the sky: lit from above, the frond's upper side is the bright one.
    const double halfWidth = shape.width * 0.5;
    const glm::dvec3 droop{0.0, -0.12 * shape.width, 0.0};
    for (int i = 0; i + 1 < STATIONS; ++i) {
        const double t0 = 1.0 - double(i) / (STATIONS - 1), t1 = 1.0 - double(i + 1) / (STATIONS - 1);
        const glm::dvec3 a = spine[i], b = spine[i + 1];
        const glm::dvec3 plusA = a + side * halfWidth + droop, plusB = b + side * halfWidth + droop;
        const glm::dvec3 minusA = a - side * halfWidth + droop, minusB = b - side * halfWidth + droop;
        addQuad(mesh, plusA, a, b, plusB, UvRect{0.0, t1, 0.5, t0});
        addQuad(mesh, a, minusA, minusB, b, UvRect{0.5, t1, 1.0, t0});
    }
}

ObjMesh buildFern() {
    ObjMesh mesh;
    Rng rng(0xFE41);
    for (int k = 0; k < FRONDS; ++k) {
        const double heading = 2.0 * PI * (k + rng.range(-0.2, 0.2)) / FRONDS;
        const bool inner = k % 3 == 0; // every third frond stands up in the middle
        const FrondShape shape = inner ? FrondShape{rng.range(5.0, 5.6), rng.range(2.0, 2.4), rng.range(82.0, 88.0),
                                                    rng.range(30.0, 40.0)}
                                       : FrondShape{rng.range(5.4, 6.4), rng.range(2.2, 2.7), rng.range(62.0, 72.0),
                                                    rng.range(-25.0, -10.0)};
        addFrond(mesh, heading, shape);
    }
    return mesh;
}

struct FernLook {
    Colour base, tip, stem;
    int pairs;
    double pinnaLength; // longest pinna, as a fraction of the cell
    double pinnaWidth;  // half width at its root, fraction of the cell
    double angle;       // degrees between stem and pinna
    double lobes;       // small lobes along a pinna
    double curve;       // how much a pinna bends towards the tip
    double bend;        // sideways lean of the tip, fraction of the cell
};

const FernLook LOOKS[4] = {
    {{54, 128, 40}, {118, 178, 64}, {70, 96, 36}, 22, 0.40, 0.030, 62.0, 7.0, 0.10, 0.04},   // lush green
    {{40, 96, 62}, {80, 140, 96}, {58, 74, 40}, 18, 0.38, 0.045, 70.0, 4.0, 0.06, -0.05},    // broad blue-green
    {{112, 128, 40}, {172, 120, 46}, {104, 80, 40}, 20, 0.37, 0.032, 58.0, 6.0, 0.12, 0.06}, // autumn tinged
    {{36, 92, 34}, {96, 150, 58}, {52, 72, 30}, 26, 0.36, 0.020, 75.0, 0.0, 0.04, -0.03},    // narrow sword fern
};

// Lays one pinna (a tapered, lobed leaflet) with anti-aliased edges.
void stampPinna(Image& image, const PixelRect& cell, const glm::dvec2& root, const glm::dvec2& direction, double length,
                double width, const FernLook& look, double shade) {
    const glm::dvec2 normal{-direction.y, direction.x};
    const double reach = length + width + 2.0;
    for (int y = int(root.y - reach); y <= int(root.y + reach); ++y) {
        for (int x = int(root.x - reach); x <= int(root.x + reach); ++x) {
            if (x < cell.x0 + 2 || x >= cell.x1 - 2 || y < cell.y0 + 2 || y >= cell.y1 - 2)
                continue;
            const glm::dvec2 offset = glm::dvec2(x + 0.5, y + 0.5) - root;
            const double a = glm::dot(offset, direction) / length;
            if (a < -0.02 || a > 1.0)
                continue;
            const double across = glm::dot(offset, normal) - look.curve * length * a * a;
            double halfWidth = width * std::pow(std::max(0.0, 1.0 - a), 0.7);
            if (look.lobes > 0.0)
                halfWidth *= 0.72 + 0.28 * std::abs(std::sin(a * PI * look.lobes));
            const double coverage = clamp01(halfWidth - std::abs(across) + 0.5) * clamp01((1.0 - a) * length);
            if (coverage <= 0.0)
                continue;
            Colour c = mix(look.base, look.tip, std::pow(std::max(a, 0.0), 1.5)) * shade;
            if (std::abs(across) < 0.7)
                c = c * 0.8; // midrib
            blendPixel(image, x, y, c, coverage);
        }
    }
}

void paintFrond(Image& image, const PixelRect& cell, const FernLook& look, std::uint64_t seed) {
    Rng rng(seed);
    const double size = cell.width();
    // The stem runs from the bottom middle to the top, leaning sideways by `bend`.
    auto stemAt = [&](double along) {
        return glm::dvec2(cell.x0 + size * (0.5 + look.bend * along * along), cell.y0 + size * (0.975 - 0.94 * along));
    };
    for (int k = 0; k < look.pairs; ++k) {
        const double along = 0.08 + 0.88 * k / look.pairs;
        const double length = size * look.pinnaLength * std::sin(PI * (0.12 + 0.85 * (1.0 - along) * 0.9 + 0.05)) *
                              (0.55 + 0.45 * (1.0 - along));
        const glm::dvec2 stemDirection = glm::normalize(stemAt(along + 0.01) - stemAt(along));
        for (double side : {-1.0, 1.0}) {
            const double angle = side * (look.angle + rng.range(-4.0, 4.0)) * PI / 180.0;
            const glm::dvec2 direction{stemDirection.x * std::cos(angle) - stemDirection.y * std::sin(angle),
                                       stemDirection.x * std::sin(angle) + stemDirection.y * std::cos(angle)};
            const double shade = 0.85 + 0.3 * rng.uniform();
            stampPinna(image, cell, stemAt(along + side * 0.004), direction, std::max(3.0, length),
                       size * look.pinnaWidth, look, shade);
        }
    }
    for (double along = 0.0; along < 0.97; along += 0.002) {
        const glm::dvec2 p = stemAt(along);
        const double radius = 1.0 + 1.6 * (1.0 - along);
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx)
                blendPixel(image, int(p.x) + dx, int(p.y) + dy, look.stem,
                           clamp01(radius -
                                   std::hypot(dx + 0.5 - (p.x - std::floor(p.x)), dy + 0.5 - (p.y - std::floor(p.y)))));
    }
}

Image paintFern() {
    Image image(TEXTURE_SIZE, TEXTURE_SIZE, 4);
    for (int index = 0; index < 4; ++index) {
        const PixelRect cell{(index % 2) * CELL, (index / 2) * CELL, (index % 2 + 1) * CELL, (index / 2 + 1) * CELL};
        paintFrond(image, cell, LOOKS[index], 0xF000 + index);
    }
    padTransparentColours(image);
    return image;
}

}

void generateFernModel(const std::string& resourcesDir) {
    buildFern().save(resourcesDir, "fern.obj", ObjVConvention::TOP_ROW_ZERO);
    savePng(resourcesDir, "fern.png", paintFern());
}
