#include "ModelNoise.h"
#include "ModelPaint.h"
#include "ModelParts.h"
#include "ModelShapes.h"

#include <cmath>

// A broad-leaved tree, 5 to 7 units tall in the file (the scene scales it by 5): a
// flared trunk, a few boughs and a canopy of overlapping, lumpy leaf masses.
namespace {

constexpr int TEXTURE_SIZE = 512;
constexpr PixelRect BARK{0, 0, 128, 512};           // wrapped round trunk and boughs
constexpr PixelRect LEAVES_LIGHT{128, 0, 512, 256}; // wrapped round a leaf mass
constexpr PixelRect LEAVES_DARK{128, 256, 512, 512};
constexpr double PI = 3.141592653589793;

const ModelNoise NOISE(0x7EE5);

UvRect atlas(const PixelRect& r) {
    return UvRect::pixels(r.x0, r.y0, r.x1, r.y1, TEXTURE_SIZE);
}

struct LeafMass {
    glm::dvec3 centre;
    glm::dvec3 radii;
    bool light;
};

const LeafMass CANOPY[] = {
    {{0.0, 4.3, 0.0}, {2.3, 1.6, 2.2}, false},     {{0.15, 5.35, -0.1}, {1.5, 1.15, 1.45}, true},
    {{1.45, 3.75, 0.5}, {1.35, 1.05, 1.3}, true},  {{-1.35, 3.95, -0.55}, {1.45, 1.1, 1.35}, true},
    {{-0.35, 3.55, 1.5}, {1.3, 0.95, 1.2}, false}, {{0.5, 3.7, -1.45}, {1.25, 0.95, 1.2}, true},
};

void addTrunk(ObjMesh& mesh) {
    LatheStyle bark;
    bark.segments = 10;
    bark.uv = atlas(BARK);
    bark.radiusScale = [](int ring, int segment) {
        return ring >= 5 ? 1.0 + 0.18 * std::cos(segment * 2.0 * PI / 10.0 * 3.0) : 1.0; // root buttresses
    };
    addLathe(mesh,
             {{{0.1, 4.4, -0.05}, 0.15, 0.15},
              {{0.08, 3.0, 0.0}, 0.24, 0.23},
              {{0.0, 1.7, 0.02}, 0.29, 0.28},
              {{-0.03, 0.6, 0.0}, 0.34, 0.33},
              {{0.0, 0.25, 0.0}, 0.42, 0.41},
              {{0.0, 0.05, 0.0}, 0.56, 0.55},
              {{0.0, -0.25, 0.0}, 0.6, 0.6}},
             bark);
}

void addBough(ObjMesh& mesh, const glm::dvec3& from, const glm::dvec3& to, double radius) {
    const double length = glm::length(to - from);
    LatheStyle bark;
    bark.segments = 6;
    bark.uv = atlas(BARK).sub(0.0, 0.0, 1.0, 0.4);
    ObjMesh bough;
    addLathe(bough, {{{0.0, length, 0.0}, radius * 0.5, radius * 0.5}, {{0.0, 0.0, 0.0}, radius, radius}}, bark);
    mesh.append(bough, alignYAxis(from, to));
}

void addCanopy(ObjMesh& mesh) {
    int index = 0;
    for (const LeafMass& mass : CANOPY) {
        LatheStyle leaves;
        leaves.segments = 12;
        leaves.uv = atlas(mass.light ? LEAVES_LIGHT : LEAVES_DARK);
        const int seed = index++;
        leaves.radiusScale = [seed](int ring, int segment) {
            return 0.88 + 0.24 * NOISE.hash(seed * 100 + ring, segment);
        };
        addEllipsoid(mesh, mass.centre, mass.radii, 8, leaves);
    }
}

ObjMesh buildTree() {
    ObjMesh mesh;
    addTrunk(mesh);
    addBough(mesh, {0.05, 2.7, 0.0}, {1.5, 3.7, 0.5}, 0.13);
    addBough(mesh, {0.0, 2.9, 0.0}, {-1.3, 3.9, -0.5}, 0.13);
    addBough(mesh, {0.0, 2.5, 0.05}, {-0.35, 3.4, 1.4}, 0.11);
    addBough(mesh, {0.05, 3.2, -0.05}, {0.5, 3.8, -1.35}, 0.1);
    addCanopy(mesh);
    return mesh;
}

Paint bark(const Texel& p) {
    // Furrows run down the trunk: noise stretched along t, folded into ridges.
    const double ridge = std::abs(NOISE.fractal(p.s * 12.0, p.t * 3.0, 4, 12) - 0.5) * 2.0;
    const double grain = NOISE.fractal(p.s * 64.0, p.t * 64.0, 2, 64);
    Colour c = mix(Colour{52, 42, 34}, Colour{118, 102, 84}, smoothStep(0.05, 0.6, ridge));
    c = c * (0.85 + 0.3 * grain);
    const double moss = smoothStep(0.55, 0.75, NOISE.fractal(p.s * 4.0 + 3, p.t * 4.0, 3, 4)) *
                        smoothStep(0.5, 1.0, p.t);
    return {mix(c, Colour{78, 104, 46}, moss * 0.7), 255.0};
}

// Leaves are drawn squashed across: the texture is stretched about twice as much around a
// leaf mass as from its top to its bottom.
constexpr double LEAF_SQUASH = 0.5;

void stampLeaf(Image& image, const PixelRect& cell, double cx, double cy, double length, double angle,
               const Colour& colour) {
    const double half = length * 0.5, width = length * 0.3;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const int reach = int(half) + 2;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const double px = (std::floor(cx) + dx + 0.5 - cx) / LEAF_SQUASH, py = std::floor(cy) + dy + 0.5 - cy;
            const double along = (px * ca + py * sa) / half, across = -px * sa + py * ca;
            if (std::abs(along) >= 1.0)
                continue;
            const double edge = width * std::sqrt(1.0 - along * along) * (1.0 - 0.35 * along);
            const double coverage = clamp01(edge - std::abs(across) + 0.5);
            if (coverage <= 0.0)
                continue;
            Colour c = colour * (across > 0.0 ? 1.08 : 0.92) * (1.0 - 0.15 * along);
            if (std::abs(across) < 0.6)
                c = c * 1.15; // midrib
            const int x = cell.x0 +
                          ((int(std::floor(cx)) + int(std::floor(dx * LEAF_SQUASH)) - cell.x0) % cell.width() +
                           cell.width()) %
                              cell.width();
            const int y = int(std::floor(cy)) + dy;
            if (y < cell.y0 || y >= cell.y1)
                continue;
            blendPixel(image, x, y, c, coverage);
        }
    }
}

void paintLeaves(Image& image, const PixelRect& cell, const Colour& dark, const Colour& light, std::uint64_t seed) {
    paintRect(image, cell, [&](const Texel& p) {
        const double n = NOISE.fractal(p.s * 16.0, p.t * 16.0, 3, 16);
        return Paint{dark * (0.45 + 0.4 * n), 255.0};
    });
    // Leaves grow in clusters; a cluster's upper leaves catch more light than its lower ones.
    Rng rng(seed);
    constexpr int CLUSTERS = 1000;
    for (int i = 0; i < CLUSTERS; ++i) {
        const double depth = double(i) / CLUSTERS; // later clusters lie on top
        const double cx = cell.x0 + rng.uniform() * cell.width();
        const double cy = cell.y0 + 10.0 + rng.uniform() * (cell.height() - 20.0);
        const Colour tint = mix(dark, light, rng.uniform());
        for (int leaf = 0; leaf < 9; ++leaf) {
            const double angle = rng.range(0.0, 2.0 * PI);
            const double reach = rng.range(2.0, 9.0);
            const double lx = cx + std::cos(angle) * reach * LEAF_SQUASH, ly = cy + std::sin(angle) * reach;
            const double lit = 0.6 + 0.5 * depth + 0.25 * clamp01((cy - ly) / 9.0 + 0.5);
            stampLeaf(image, cell, lx, ly, rng.range(11.0, 17.0), angle + rng.range(-0.5, 0.5), tint * lit);
        }
    }
}

Image paintTree() {
    Image image(TEXTURE_SIZE, TEXTURE_SIZE, 3);
    paintRect(image, BARK, bark);
    paintLeaves(image, LEAVES_LIGHT, Colour{58, 104, 36}, Colour{128, 168, 62}, 11);
    paintLeaves(image, LEAVES_DARK, Colour{34, 76, 32}, Colour{82, 126, 48}, 12);
    return image;
}

}

void generateTreeModel(const std::string& resourcesDir) {
    buildTree().save(resourcesDir, "tree.obj", ObjVConvention::TOP_ROW_ZERO);
    savePng(resourcesDir, "tree.png", paintTree());
}
