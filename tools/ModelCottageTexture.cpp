#include "ModelCottageTexture.h"
#include "ModelCottageAtlas.h"
#include "ModelNoise.h"

#include <glm/glm.hpp>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using namespace cottageAtlas;

const ModelNoise NOISE(0xC0778E);
constexpr double PI = 3.141592653589793;
constexpr double RELIEF = 4.0; // pixels of depth per unit of height in the normal map

struct Surface {
    Colour colour;
    double height = 0.5; // 0 deepest groove .. 1 highest ridge
};

double fraction(double x) {
    return x - std::floor(x);
}

// Distance in pixels from s to the nearest of `count` wrapped joints placed by jitter.
double jointDistance(double s, int count, double offset, int row, double jitter, int width) {
    const double u = s * count - offset;
    double best = 1e9;
    for (int k = int(std::floor(u)) - 1; k <= int(std::floor(u)) + 2; ++k) {
        const int wrapped = ((k % count) + count) % count;
        const double joint = k + jitter * (NOISE.hash(row, wrapped) - 0.5);
        best = std::min(best, std::abs(u - joint));
    }
    return best * width / count;
}

Colour woodGrain(const Colour& base, double along, double across, int period, int seed) {
    const double grain = NOISE.fractal(along * 2.0 + seed * 7, across * 24.0, 3, 2 * period, 24);
    const double streak = NOISE.value(along * 8.0 + seed * 3, across * 96.0, 8 * period, 96);
    return base * (0.78 + 0.3 * grain + 0.12 * streak);
}

// Lap boards: each board is thicker at its lower edge and throws a shadow line below it.
Surface planks(const Texel& p) {
    constexpr int BOARDS = 8;
    const int row = int(p.t * BOARDS);
    const double f = fraction(p.t * BOARDS);
    Surface out;
    const Colour base = mix(Colour{112, 86, 60}, Colour{152, 122, 88}, NOISE.hash(row, 99));
    out.colour = woodGrain(base, p.s, p.t, 1, row);
    out.height = 0.3 + 0.5 * f + 0.08 * NOISE.value(p.s * 64.0, p.t * 256.0, 64, 256);
    const double gap = smoothStep(0.9, 0.97, f);
    out.height = out.height * (1.0 - gap) + 0.05 * gap;
    out.colour = out.colour * (1.0 - 0.55 * gap) * (0.85 + 0.15 * (1.0 - f));
    if (jointDistance(p.s, 1, NOISE.hash(row, 7), row, 0.0, 256) < 1.2) {
        out.height = 0.1;
        out.colour = out.colour * 0.45;
    }
    const double knot = std::hypot((fraction(p.s - NOISE.hash(row, 3)) - 0.5) * 256.0 / 7.0, (f - 0.45) * 32.0 / 4.0);
    if (NOISE.hash(row, 5) > 0.4 && knot < 1.0) {
        out.colour = out.colour * (0.55 + 0.3 * knot);
        out.height += 0.1 * (1.0 - knot);
    }
    return out;
}

// Slate rows, each slate overlapping the row below, joints staggered every other row.
Surface shingles(const Texel& p) {
    constexpr int ROWS = 6, PER_ROW = 6;
    const int row = int(p.t * ROWS);
    const double f = fraction(p.t * ROWS);
    const double offset = (row % 2) * 0.5;
    const double u = p.s * PER_ROW - offset;
    const int slate = ((int(std::floor(u + 0.5)) % PER_ROW) + PER_ROW) % PER_ROW;
    Surface out;
    const Colour base = mix(Colour{70, 76, 86}, Colour{108, 110, 116}, NOISE.hash(row * 10 + slate, 42));
    out.colour = base * (0.85 + 0.3 * NOISE.fractal(p.s * 32.0, p.t * 32.0, 3, 32));
    const double lichen = smoothStep(0.62, 0.72, NOISE.fractal(p.s * 6.0 + 11, p.t * 6.0, 4, 6));
    out.colour = mix(out.colour, Colour{128, 134, 74}, lichen * 0.6);
    out.height = 0.25 + 0.6 * f + 0.06 * NOISE.value(p.s * 96.0, p.t * 96.0, 96);
    const double bottomGap = smoothStep(0.92, 0.98, f);
    out.height = out.height * (1.0 - bottomGap) + 0.05 * bottomGap;
    out.colour = out.colour * (1.0 - 0.6 * bottomGap) * (0.8 + 0.2 * f);
    if (jointDistance(p.s, PER_ROW, offset, row, 0.25, 256) < 1.3) {
        out.height = 0.05;
        out.colour = out.colour * 0.4;
    }
    return out;
}

// Rough footing stones in three courses with recessed mortar; tiles sideways.
Surface stones(const Texel& p) {
    const double rowEdges[4] = {0.0, 0.31, 0.66, 1.0};
    int row = 0;
    while (row < 2 && p.t >= rowEdges[row + 1])
        ++row;
    const double rowTop = rowEdges[row] * 128.0, rowBottom = rowEdges[row + 1] * 128.0;
    const double y = p.t * 128.0;
    const int count = 4 + row % 2;
    const double offset = NOISE.hash(row, 17);
    const double wobble = 3.0 * (NOISE.fractal(p.s * 24.0, p.t * 12.0, 3, 24, 12) - 0.5);
    const double edge = std::min({jointDistance(p.s, count, offset, row, 0.5, 256), y - rowTop, rowBottom - y}) +
                        wobble;
    const int stone = int(std::floor(p.s * count - offset + 0.5)) + row * 10;
    Surface out;
    if (edge < 2.5) {
        out.colour = Colour{148, 138, 116} * (0.8 + 0.3 * NOISE.value(p.s * 128.0, p.t * 64.0, 128, 64));
        out.height = 0.12;
        return out;
    }
    const Colour base = mix(mix(Colour{112, 110, 104}, Colour{142, 128, 104}, NOISE.hash(stone, 1)),
                            Colour{96, 98, 100}, NOISE.hash(stone, 2) * 0.6);
    const double rough = NOISE.fractal(p.s * 32.0, p.t * 16.0, 4, 32, 16);
    out.colour = base * (0.75 + 0.4 * rough) * (0.8 + 0.2 * smoothStep(2.5, 9.0, edge));
    out.height = 0.45 + 0.4 * smoothStep(2.5, 10.0, edge) + 0.2 * (rough - 0.5);
    return out;
}

// Dark oak; `along` runs with the grain.
Surface beam(double along, double across, double acrossPixels) {
    Surface out;
    out.colour = woodGrain(Colour{98, 70, 46}, along, across, 1, 5);
    out.height = 0.6 + 0.1 * NOISE.value(along * 6.0, across * 48.0, 6, 48);
    // Thin checks along the grain, only in some stretches of the beam.
    const double crack = std::abs(NOISE.value(along * 4.0, across * 12.0, 4, 12) - 0.5);
    if (crack < 0.012 && NOISE.value(along * 3.0 + 9.0, across * 3.0, 3) > 0.55) {
        out.colour = out.colour * 0.45;
        out.height = 0.25;
    }
    const double edge = std::min(across, 1.0 - across) * acrossPixels;
    if (edge < 3.0) {
        out.height *= 0.6 + 0.4 * edge / 3.0; // chamfered edges
        out.colour = out.colour * 1.08;
    }
    return out;
}

Surface beamAcross(const Texel& p) {
    return beam(p.s, p.t, BEAM_ACROSS.height());
}
Surface beamAlong(const Texel& p) {
    return beam(p.t, p.s, BEAM_ALONG.width());
}

Surface endGrain(const Texel& p) {
    const double r = std::hypot(p.s - 0.42, p.t - 0.55) * 18.0 + 0.6 * NOISE.value(p.s * 8.0, p.t * 8.0);
    return {Colour{136, 104, 72} * (0.8 + 0.2 * std::cos(r * 2.0 * PI)), 0.5 + 0.05 * std::cos(r * 2.0 * PI)};
}

double segmentDistance(const glm::dvec2& p, const glm::dvec2& a, const glm::dvec2& b) {
    const glm::dvec2 ab = b - a;
    const double h = glm::clamp(glm::dot(p - a, ab) / glm::dot(ab, ab), 0.0, 1.0);
    return glm::length(p - a - ab * h);
}

// Painted boards with a Z brace, iron strap hinges on the left and a ring pull on the right.
Surface door(const Texel& p) {
    const double x = p.x + 0.5, y = p.y + 0.5; // pixels, 96 x 128
    Surface out;
    const int board = int(p.s * 4);
    const double wear = smoothStep(0.62, 0.8, NOISE.fractal(p.s * 6.0, p.t * 8.0, 4));
    out.colour = mix(Colour{118, 50, 36}, woodGrain(Colour{120, 94, 66}, p.t, p.s, 1, board), wear) *
                 (0.9 + 0.2 * NOISE.hash(board, 8));
    out.height = 0.45;
    if (std::abs(fraction(p.s * 4 + 0.5) - 0.5) * 24.0 < 1.0 && board > 0)
        out = {out.colour * 0.4, 0.15};
    // Battens and the brace stand proud of the boards, with a shadowed rim.
    const double batten = std::min(std::abs(y - 0.2 * 128.0), std::abs(y - 0.8 * 128.0)) - 6.0;
    const double brace = segmentDistance({x, y}, {14.0, 96.0}, {82.0, 32.0}) - 5.0;
    const double proud = std::min(batten, brace);
    if (proud < 0.0)
        out = {out.colour * (proud > -1.2 ? 0.6 : 1.15), proud > -1.2 ? 0.6 : 0.75};
    for (double hingeY : {0.2 * 128.0, 0.8 * 128.0}) {
        if (std::abs(y - hingeY) < 3.0 && x < 56.0 - std::abs(y - hingeY))
            out = {Colour{44, 42, 42}, 0.9};
        for (double rivet : {10.0, 26.0, 42.0})
            if (std::hypot(x - rivet, y - hingeY) < 1.6)
                out = {Colour{90, 88, 84}, 1.0};
    }
    const double ring = std::hypot(x - 78.0, y - 72.0);
    if (std::abs(ring - 6.0) < 1.4)
        out = {Colour{56, 54, 52}, 1.0};
    if (std::hypot(x - 78.0, y - 64.0) < 2.2)
        out = {Colour{70, 68, 64}, 0.95};
    if (x < 3 || x > 93 || y < 3)
        out = {out.colour * 0.6, 0.2};
    return out;
}

// A cream frame with a cross of glazing bars; the panes reflect a pale sky at the top.
Surface window(const Texel& p) {
    const double x = p.x + 0.5, y = p.y + 0.5; // 96 x 96
    const double frame = std::min(std::min(x, 96.0 - x), std::min(y, 96.0 - y));
    const double bar = std::min(std::abs(x - 48.0), std::abs(y - 48.0));
    if (frame < 9.0)
        return {Colour{222, 212, 184} * (0.85 + 0.15 * NOISE.value(p.s * 40, p.t * 40)), frame < 2.0 ? 0.7 : 1.0};
    if (bar < 2.5)
        return {Colour{214, 204, 176}, 0.85};
    const double sky = smoothStep(0.9, 0.1, p.t);
    Colour glass = mix(Colour{40, 50, 60}, Colour{118, 138, 158}, sky * 0.7);
    const double streak = std::abs(fraction((x + y) / 60.0) - 0.5);
    if (streak < 0.06)
        glass = glass * 1.35;
    const double shade = smoothStep(9.0, 14.0, frame) * smoothStep(2.5, 6.0, bar);
    return {glass * (0.6 + 0.4 * shade), 0.2};
}

// Green painted shutter boards with battens and a heart cut out near the top.
Surface shutter(const Texel& p) {
    const double x = p.x + 0.5, y = p.y + 0.5; // 64 x 128
    const int board = int(p.s * 3);
    const double wear = smoothStep(0.6, 0.8, NOISE.fractal(p.s * 5.0 + 4, p.t * 10.0, 4));
    Surface out{mix(Colour{62, 104, 74}, woodGrain(Colour{124, 98, 70}, p.t, p.s, 1, board), wear) *
                    (0.9 + 0.15 * NOISE.hash(board, 4)),
                0.5};
    if (std::abs(fraction(p.s * 3 + 0.5) - 0.5) * 64.0 / 3.0 < 0.8 && board > 0)
        out = {out.colour * 0.45, 0.15};
    if (std::abs(p.t - 0.14) < 0.05 || std::abs(p.t - 0.86) < 0.05)
        out = {out.colour * 1.08, 0.8};
    // Heart: two circles over a point.
    const double hx = std::abs(x - 32.0), hy = y - 40.0;
    const bool heart = std::hypot(hx - 4.0, hy + 2.0) < 4.6 || (hy >= -2.0 && hy < 9.0 && hx < (9.0 - hy) * 0.85);
    if (heart)
        out = {Colour{24, 20, 18}, 0.0};
    return out;
}

// Upright boards with battens over the joints (gables and the roof's underside).
Surface gableBoards(const Texel& p) {
    const int board = int(p.s * 4);
    Surface out{woodGrain(mix(Colour{120, 98, 72}, Colour{146, 122, 90}, NOISE.hash(board, 21)), p.t, p.s, 1, board),
                0.4};
    const double joint = std::abs(fraction(p.s * 4.0 + 0.5) - 0.5) * 32.0; // pixels from a joint
    if (joint < 4.0)
        out = {woodGrain(Colour{104, 80, 56}, p.t, p.s, 1, 40) * (joint < 3.0 ? 1.0 : 0.7), joint < 3.0 ? 0.85 : 0.6};
    return out;
}

// Chimney stone bricks, staggered, tiling both ways.
Surface bricks(const Texel& p) {
    const double x = p.x + 0.5, y = p.y + 0.5; // 64 x 128
    const int row = int(y / 16.0);
    const double shifted = x + (row % 2) * 16.0;
    const int brick = int(shifted / 32.0) % 2 + row * 2;
    const double edge = std::min(
        {std::fmod(y, 16.0), 16.0 - std::fmod(y, 16.0), std::fmod(shifted, 32.0), 32.0 - std::fmod(shifted, 32.0)});
    if (edge < 1.8)
        return {Colour{138, 130, 116} * (0.8 + 0.2 * NOISE.value(x, y)), 0.15};
    const Colour base = mix(Colour{150, 88, 64}, Colour{118, 112, 104}, NOISE.hash(brick, 31));
    const double rough = NOISE.fractal(p.s * 16.0, p.t * 32.0, 3, 16, 32);
    return {base * (0.75 + 0.4 * rough), 0.5 + 0.3 * smoothStep(1.8, 5.0, edge) + 0.15 * (rough - 0.5)};
}

Surface soot(const Texel& p) {
    return {Colour{34, 30, 28} * (0.8 + 0.4 * NOISE.value(p.s * 16, p.t * 8)), 0.3};
}

Surface spare(const Texel& p) {
    return {Colour{120, 116, 108} * (0.8 + 0.3 * NOISE.fractal(p.s * 16, p.t * 4, 3)), 0.5};
}

struct Cell {
    PixelRect rect;
    std::function<Surface(const Texel&)> paint;
};

// Normals from the height field by central differences, wrapping inside each cell so that
// no cell's relief leaks into its neighbour.
void paintNormals(Image& normals, const std::vector<double>& heights, const PixelRect& r) {
    auto h = [&](int x, int y) {
        x = r.x0 + ((x - r.x0) % r.width() + r.width()) % r.width();
        y = r.y0 + ((y - r.y0) % r.height() + r.height()) % r.height();
        return heights[size_t(y) * SIZE + x];
    };
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            const double dx = (h(x + 1, y) - h(x - 1, y)) * 0.5 * RELIEF;
            const double dyDown = (h(x, y + 1) - h(x, y - 1)) * 0.5 * RELIEF;
            // Image rows grow downwards, so a rise towards the bottom tilts the normal up.
            const glm::dvec3 n = glm::normalize(glm::dvec3(-dx, dyDown, 1.0));
            std::uint8_t* pixel = normals.at(x, y);
            pixel[0] = toByte((n.x * 0.5 + 0.5) * 255.0);
            pixel[1] = toByte((n.y * 0.5 + 0.5) * 255.0);
            pixel[2] = toByte((n.z * 0.5 + 0.5) * 255.0);
        }
    }
}

}

CottageTextures paintCottageTextures() {
    const Cell cells[] = {{PLANKS, planks},
                          {SHINGLES, shingles},
                          {STONES, stones},
                          {BEAM_ACROSS, beamAcross},
                          {BEAM_ALONG, beamAlong},
                          {DOOR, door},
                          {WINDOW, window},
                          {END_GRAIN, endGrain},
                          {SOOT, soot},
                          {SHUTTER, shutter},
                          {GABLE_BOARDS, gableBoards},
                          {BRICKS, bricks},
                          {SPARE, spare}};
    CottageTextures out{Image(SIZE, SIZE, 3), Image(SIZE, SIZE, 3)};
    std::vector<double> heights(size_t(SIZE) * SIZE, 0.5);
    for (const Cell& cell : cells) {
        paintRect(out.colour, cell.rect, [&](const Texel& p) {
            const Surface surface = cell.paint(p);
            heights[size_t(cell.rect.y0 + p.y) * SIZE + cell.rect.x0 + p.x] = surface.height;
            return Paint{surface.colour, 255.0};
        });
        paintNormals(out.normals, heights, cell.rect);
    }
    return out;
}
