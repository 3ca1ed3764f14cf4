#include "TerrainTextures.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace terrain {
namespace {

constexpr int TEXTURE_SIZE = 512;
constexpr double PI = 3.141592653589793;

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb scale(Rgb c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}
double clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// A floating-point RGB canvas that wraps at its borders, so painted marks tile.
class Canvas {
public:
    explicit Canvas(int side) : size(side), texels(size_t(side) * side, Rgb{0, 0, 0}) {}

    Rgb& at(int x, int y) { return texels[size_t(wrap(y)) * size + wrap(x)]; }

    void blend(int x, int y, Rgb colour, double alpha) {
        if (alpha <= 0.0)
            return;
        Rgb& t = at(x, y);
        t = mix(t, colour, std::min(1.0, alpha));
    }

    // A soft-edged line of the given width from (x0, y0) to (x1, y1), colour fading from
    // `root` to `tip` along it. Coordinates in texels, any value (they wrap).
    void stroke(double x0, double y0, double x1, double y1, double width, Rgb root, Rgb tip, double opacity) {
        const double minX = std::floor(std::min(x0, x1) - width - 1), maxX = std::ceil(std::max(x0, x1) + width + 1);
        const double minY = std::floor(std::min(y0, y1) - width - 1), maxY = std::ceil(std::max(y0, y1) + width + 1);
        const double dx = x1 - x0, dy = y1 - y0, length2 = std::max(1e-9, dx * dx + dy * dy);
        for (double py = minY; py <= maxY; ++py) {
            for (double px = minX; px <= maxX; ++px) {
                const double cx = px + 0.5, cy = py + 0.5;
                const double t = clamp01(((cx - x0) * dx + (cy - y0) * dy) / length2);
                const double ex = x0 + dx * t - cx, ey = y0 + dy * t - cy;
                // Blades taper towards the tip.
                const double halfWidth = 0.5 * width * (1.0 - 0.6 * t);
                const double coverage = clamp01(halfWidth + 0.5 - std::sqrt(ex * ex + ey * ey));
                blend(int(px), int(py), mix(root, tip, t), coverage * opacity);
            }
        }
    }

    void disc(double cx, double cy, double radius, Rgb colour, double opacity) {
        for (double py = std::floor(cy - radius - 1); py <= std::ceil(cy + radius + 1); ++py) {
            for (double px = std::floor(cx - radius - 1); px <= std::ceil(cx + radius + 1); ++px) {
                const double d = std::hypot(px + 0.5 - cx, py + 0.5 - cy);
                blend(int(px), int(py), colour, clamp01(radius + 0.5 - d) * opacity);
            }
        }
    }

    Image toImage() const {
        Image image(size, size, 3);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const Rgb& c = texels[size_t(y) * size + x];
                std::uint8_t* p = image.at(x, y);
                p[0] = toByte(c.r);
                p[1] = toByte(c.g);
                p[2] = toByte(c.b);
            }
        }
        return image;
    }

    const int size;

private:
    int wrap(int i) const { return ((i % size) + size) % size; }
    std::vector<Rgb> texels;
};

// Periodic fractal noise over the texture: `cells` lattice cells across one tile.
double tileNoise(int x, int y, int cells, std::uint32_t seed, int octaves) {
    const double u = (x + 0.5) / TEXTURE_SIZE * cells, v = (y + 0.5) / TEXTURE_SIZE * cells;
    return noise::fbm2(u, v, seed, octaves, cells);
}

// Grass: a colour field of lush and drier patches under thousands of short blades.
Canvas paintGrass(std::uint32_t seed, Rgb lush, Rgb dry, Rgb dark) {
    Canvas canvas(TEXTURE_SIZE);
    for (int y = 0; y < TEXTURE_SIZE; ++y) {
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            const double patches = tileNoise(x, y, 4, seed, 4);
            const double grain = tileNoise(x, y, 64, seed + 1, 2);
            Rgb c = mix(lush, dry, 0.6 * smoothstep(-0.1, 0.7, patches));
            c = mix(c, dark, 0.55 + 0.25 * grain);
            canvas.at(x, y) = c;
        }
    }
    Rng rng(seed);
    constexpr int BLADES = 16000;
    for (int i = 0; i < BLADES; ++i) {
        const double x = rng.range(0, TEXTURE_SIZE), y = rng.range(0, TEXTURE_SIZE);
        const double angle = rng.range(0, 2.0 * PI);
        const double length = rng.range(5.0, 15.0);
        const double patches = tileNoise(int(x), int(y), 4, seed, 4);
        const Rgb base = mix(lush, dry, 0.6 * smoothstep(-0.1, 0.7, patches) * rng.range(0.4, 1.4));
        const double light = rng.range(0.62, 1.22);
        const Rgb root = scale(base, light * 0.8);
        const Rgb tip = scale(mix(base, Rgb{200, 205, 120}, rng.range(0.0, 0.25)), light * 1.05);
        canvas.stroke(x, y, x + std::cos(angle) * length, y + std::sin(angle) * length, rng.range(1.2, 2.2), root, tip,
                      0.9);
    }
    return canvas;
}

// Periodic relief of the mud, roughly in [-1, 1].
double mudRelief(int x, int y) {
    return tileNoise(x, y, 7, 2301, 5);
}

// Pebbles: each cell of a periodic cellular pattern may hold one stone, lit from the upper
// left, with a contact shadow; `cells` across the tile, `share` of the cells occupied.
void paintGravel(Canvas& canvas, int cells, double share, std::uint32_t seed) {
    for (int y = 0; y < TEXTURE_SIZE; ++y) {
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            const double warp = 0.18;
            double u = (x + 0.5) / TEXTURE_SIZE * cells, v = (y + 0.5) / TEXTURE_SIZE * cells;
            u += warp * noise::fbm2(u * 2.0, v * 2.0, seed + 1, 2, cells * 2);
            v += warp * noise::fbm2(u * 2.0, v * 2.0, seed + 2, 2, cells * 2);
            const noise::CellDistances cell = noise::cellular2(u, v, seed, cells);
            const double pick = double(cell.nearestId % 1000) / 1000.0;
            if (pick >= share)
                continue;
            const double radius = 0.3 + 0.25 * (pick / share);
            const double edge = radius - cell.nearest;
            if (edge < -0.1)
                continue;
            if (edge < 0.0) {
                canvas.at(x, y) = scale(canvas.at(x, y), 0.78 + 2.2 * (-edge)); // contact shadow
                continue;
            }
            const double bump = std::sqrt(clamp01(1.0 - (cell.nearest / radius) * (cell.nearest / radius)));
            const double lit = ((cell.nearestX - u) + (cell.nearestY - v)) / radius * 0.5;
            const double tone = 92.0 + 95.0 * double((cell.nearestId >> 10) % 1000) / 1000.0;
            const double warmth = double((cell.nearestId >> 20) % 100) / 100.0;
            const Rgb stone{tone * (1.0 + 0.08 * warmth), tone * 0.97, tone * (0.95 - 0.12 * warmth)};
            canvas.at(x, y) = mix(canvas.at(x, y), scale(stone, 0.72 + 0.25 * bump + 0.3 * lit),
                                  smoothstep(0.0, 0.05, edge));
        }
    }
}

}

Image makeGrassTexture() {
    return paintGrass(2101, Rgb{78, 122, 46}, Rgb{128, 138, 62}, Rgb{38, 66, 26}).toImage();
}

Image makeFlowerGrassTexture() {
    Canvas canvas = paintGrass(2201, Rgb{86, 130, 50}, Rgb{122, 140, 64}, Rgb{42, 72, 28});
    const Rgb petals[] = {{245, 244, 236}, {248, 214, 64}, {232, 128, 172}, {168, 122, 214}, {112, 146, 236}};
    Rng rng(2202);
    constexpr int FLOWERS = 300;
    for (int placed = 0; placed < FLOWERS;) {
        const double x = rng.range(0, TEXTURE_SIZE), y = rng.range(0, TEXTURE_SIZE);
        // Flowers grow in loose clusters.
        const double density = tileNoise(int(x), int(y), 6, 2203, 3);
        if (rng.uniform() > smoothstep(-0.3, 0.4, density))
            continue;
        ++placed;
        const Rgb petal = scale(petals[rng.next() % 5], rng.range(0.85, 1.05));
        const double radius = rng.range(2.6, 4.6);
        const int petalCount = 4 + int(rng.next() % 3);
        const double turn = rng.range(0, 2.0 * PI);
        canvas.disc(x + 0.8, y + 0.8, radius * 1.5, Rgb{30, 50, 20}, 0.35); // shadow on the grass
        for (int p = 0; p < petalCount; ++p) {
            const double a = turn + 2.0 * PI * p / petalCount;
            canvas.disc(x + std::cos(a) * radius * 0.8, y + std::sin(a) * radius * 0.8, radius * 0.6, petal, 0.95);
        }
        canvas.disc(x, y, radius * 0.38, Rgb{235, 190, 40}, 1.0);
    }
    return canvas.toImage();
}

Image makeMudTexture() {
    Canvas canvas(TEXTURE_SIZE);
    const Rgb lightMud{108, 82, 56}, darkMud{60, 44, 30}, puddle{46, 38, 30}, sky{118, 122, 120};
    for (int y = 0; y < TEXTURE_SIZE; ++y) {
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            // Lumpy relief; the hollows hold water.
            const double relief = mudRelief(x, y);
            const double shade = 1.0 + 5.0 * (relief - mudRelief(x - 1, y - 1));
            const double water = smoothstep(-0.3, -0.36, relief);
            const double soaked = smoothstep(-0.05, -0.3, relief); // darker mud around the puddles
            const double tone = tileNoise(x, y, 3, 2302, 3);
            Rgb c = mix(lightMud, darkMud, clamp01(0.55 - 1.2 * relief + 0.4 * tone));
            c = scale(c, shade * (1.0 - 0.3 * soaked) * (1.0 + 0.08 * tileNoise(x, y, 128, 2303, 1)));
            // Puddles: flat, dark, with a faint sky reflection that varies across them.
            const Rgb wet = mix(puddle, sky, 0.2 + 0.15 * tileNoise(x, y, 8, 2305, 2));
            canvas.at(x, y) = mix(c, wet, water);
        }
    }
    // Small stones and clods pressed into the mud.
    Rng rng(2304);
    for (int i = 0; i < 140; ++i) {
        const double x = rng.range(0, TEXTURE_SIZE), y = rng.range(0, TEXTURE_SIZE), r = rng.range(1.5, 4.0);
        if (mudRelief(int(x), int(y)) < -0.25)
            continue; // not in the puddles
        const double grey = rng.range(85, 135);
        canvas.disc(x + 0.8, y + 0.8, r, Rgb{40, 30, 22}, 0.6);
        canvas.disc(x, y, r, Rgb{grey * 1.05, grey, grey * 0.88}, 0.9);
        canvas.disc(x - r * 0.3, y - r * 0.3, r * 0.45, Rgb{grey * 1.3, grey * 1.25, grey * 1.15}, 0.45);
    }
    return canvas.toImage();
}

Image makePathTexture() {
    Canvas canvas(TEXTURE_SIZE);
    const Rgb sand{178, 158, 122}, darkSand{140, 120, 90};
    for (int y = 0; y < TEXTURE_SIZE; ++y) {
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            const double tone = tileNoise(x, y, 5, 2402, 5);
            const double grit = tileNoise(x, y, 160, 2403, 1);
            const double relief = tileNoise(x, y, 24, 2404, 3);
            const double shade = 1.0 + 3.0 * (relief - tileNoise(x - 1, y - 1, 24, 2404, 3));
            canvas.at(x, y) = scale(mix(sand, darkSand, clamp01(0.45 + 0.9 * tone)), shade * (1.0 + 0.1 * grit));
        }
    }
    // Gravel in two sizes; the warp makes the stones irregular rather than round.
    paintGravel(canvas, 14, 0.38, 2405);
    paintGravel(canvas, 44, 0.42, 2406);
    return canvas.toImage();
}

}
