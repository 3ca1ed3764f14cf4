#include "ModelShapes.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

constexpr double TWO_PI = 6.283185307179586;
constexpr double DEGENERATE_AREA = 1e-14;

ObjVertex makeVertex(const glm::dvec3& position, const glm::dvec2& uv, const glm::dvec3& normal) {
    ObjVertex vertex;
    vertex.position = position;
    vertex.uv = uv;
    vertex.normal = normal;
    return vertex;
}

bool isDegenerate(const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c) {
    return glm::length(glm::cross(b - a, c - a)) < DEGENERATE_AREA;
}

void addTriangleIfArea(ObjMesh& mesh, int a, int b, int c) {
    const auto& v = mesh.vertices();
    if (!isDegenerate(v[a].position, v[b].position, v[c].position))
        mesh.addTriangle(a, b, c);
}

// The grid of a lathe: rows are rings (top first), columns run once around plus the seam copy.
struct LatheGrid {
    int rows = 0;
    int columns = 0; // segments + 1
    std::vector<glm::dvec3> points;
    std::vector<double> rowV; // 0..1 along the profile

    const glm::dvec3& at(int row, int column) const { return points[size_t(row) * columns + column]; }
};

LatheGrid buildLatheGrid(const std::vector<LatheRing>& rings, const LatheStyle& style) {
    LatheGrid grid;
    grid.rows = int(rings.size());
    grid.columns = style.segments + 1;
    for (int j = 0; j < grid.rows; ++j) {
        for (int i = 0; i < grid.columns; ++i) {
            const double theta = TWO_PI * i / style.segments;
            const double scale = style.radiusScale ? style.radiusScale(j, i % style.segments) : 1.0;
            const LatheRing& ring = rings[j];
            // theta 0 is +z; growing theta turns towards +x, which is rightwards seen from outside.
            grid.points.push_back(ring.centre + glm::dvec3(ring.radiusX * scale * std::sin(theta), 0.0,
                                                           ring.radiusZ * scale * std::cos(theta)));
        }
    }
    std::vector<double> length(grid.rows, 0.0);
    for (int j = 1; j < grid.rows; ++j) {
        double sum = 0.0;
        for (int i = 0; i < style.segments; ++i)
            sum += glm::length(grid.at(j, i) - grid.at(j - 1, i));
        length[j] = length[j - 1] + sum / style.segments;
    }
    for (int j = 0; j < grid.rows; ++j)
        grid.rowV.push_back(length.back() > 0.0 ? length[j] / length.back() : 0.0);
    return grid;
}

// Outward normal of cell (row, segment), area weighted; cells run from row to row + 1.
glm::dvec3 cellNormal(const LatheGrid& grid, int row, int segment) {
    const glm::dvec3& topLeft = grid.at(row, segment);
    const glm::dvec3& topRight = grid.at(row, segment + 1);
    const glm::dvec3& bottomRight = grid.at(row + 1, segment + 1);
    const glm::dvec3& bottomLeft = grid.at(row + 1, segment);
    return glm::cross(topRight - bottomLeft, topLeft - bottomRight);
}

bool isPointRing(const LatheRing& ring) {
    return ring.radiusX == 0.0 && ring.radiusZ == 0.0;
}

glm::dvec3 smoothNormal(const LatheGrid& grid, const std::vector<LatheRing>& rings, int row, int column) {
    const int segments = grid.columns - 1;
    glm::dvec3 sum(0.0);
    for (int cellRow = row - 1; cellRow <= row; ++cellRow) {
        if (cellRow < 0 || cellRow >= grid.rows - 1)
            continue;
        if (isPointRing(rings[row])) {
            // A pole shares every cell of its row: its normal is the axis.
            for (int s = 0; s < segments; ++s)
                sum += cellNormal(grid, cellRow, s);
            continue;
        }
        sum += cellNormal(grid, cellRow, (column + segments - 1) % segments);
        sum += cellNormal(grid, cellRow, column % segments);
    }
    return glm::normalize(sum);
}

void addSmoothLathe(ObjMesh& mesh, const LatheGrid& grid, const std::vector<LatheRing>& rings,
                    const LatheStyle& style) {
    std::vector<glm::dvec3> normals;
    for (int j = 0; j < grid.rows; ++j)
        for (int i = 0; i < grid.columns; ++i)
            normals.push_back(smoothNormal(grid, rings, j, i));
    auto normalAt = [&](int j, int i) { return normals[size_t(j) * grid.columns + i]; };

    const int base = int(mesh.vertices().size());
    for (int j = 0; j < grid.rows; ++j)
        for (int i = 0; i < grid.columns; ++i)
            mesh.addVertex(
                makeVertex(grid.at(j, i), style.uv.at(double(i) / style.segments, grid.rowV[j]), normalAt(j, i)));
    auto index = [&](int j, int i) { return base + j * grid.columns + i; };

    for (int j = 0; j + 1 < grid.rows; ++j) {
        for (int i = 0; i < style.segments; ++i) {
            int topLeft = index(j, i), topRight = index(j, i + 1);
            int bottomLeft = index(j + 1, i), bottomRight = index(j + 1, i + 1);
            // A cone tip gets its own vertex per side, with the normal halfway between its neighbours.
            if (style.pointedEnds && isPointRing(rings[j])) {
                const glm::dvec3 n = glm::normalize(normalAt(j + 1, i) + normalAt(j + 1, i + 1));
                topLeft = topRight = mesh.addVertex(
                    makeVertex(grid.at(j, i), style.uv.at((i + 0.5) / style.segments, grid.rowV[j]), n));
            }
            if (style.pointedEnds && isPointRing(rings[j + 1])) {
                const glm::dvec3 n = glm::normalize(normalAt(j, i) + normalAt(j, i + 1));
                bottomLeft = bottomRight = mesh.addVertex(
                    makeVertex(grid.at(j + 1, i), style.uv.at((i + 0.5) / style.segments, grid.rowV[j + 1]), n));
            }
            addTriangleIfArea(mesh, topLeft, bottomLeft, bottomRight);
            addTriangleIfArea(mesh, topLeft, bottomRight, topRight);
        }
    }
}

void addFacetedLathe(ObjMesh& mesh, const LatheGrid& grid, const LatheStyle& style) {
    for (int j = 0; j + 1 < grid.rows; ++j) {
        for (int i = 0; i < style.segments; ++i) {
            const UvRect cell{style.uv.at(double(i) / style.segments, 0.0).x, style.uv.at(0.0, grid.rowV[j]).y,
                              style.uv.at(double(i + 1) / style.segments, 0.0).x, style.uv.at(0.0, grid.rowV[j + 1]).y};
            addQuad(mesh, grid.at(j + 1, i), grid.at(j + 1, i + 1), grid.at(j, i + 1), grid.at(j, i), cell);
        }
    }
}

// A flat disc closing the ring `row`; it faces away from the neighbouring ring.
void addCap(ObjMesh& mesh, const LatheGrid& grid, const LatheRing& ring, const glm::dvec3& inward,
            const LatheStyle& style, int row) {
    const int segments = grid.columns - 1;
    glm::dvec3 normal(0.0);
    for (int i = 0; i < segments; ++i)
        normal += glm::cross(grid.at(row, i) - ring.centre, grid.at(row, i + 1) - ring.centre);
    if (glm::length(normal) < DEGENERATE_AREA)
        return;
    normal = glm::normalize(normal);
    if (glm::dot(normal, inward) > 0.0)
        normal = -normal;
    auto discUv = [&](int i) {
        const double theta = TWO_PI * i / segments;
        return style.capUv.at(0.5 + 0.5 * std::sin(theta), 0.5 - 0.5 * std::cos(theta));
    };
    const int centre = mesh.addVertex(makeVertex(ring.centre, style.capUv.at(0.5, 0.5), normal));
    const int first = int(mesh.vertices().size());
    for (int i = 0; i <= segments; ++i)
        mesh.addVertex(makeVertex(grid.at(row, i), discUv(i), normal));
    for (int i = 0; i < segments; ++i) {
        const glm::dvec3 turn = glm::cross(grid.at(row, i) - ring.centre, grid.at(row, i + 1) - ring.centre);
        if (glm::dot(turn, normal) > 0.0)
            addTriangleIfArea(mesh, centre, first + i, first + i + 1);
        else
            addTriangleIfArea(mesh, centre, first + i + 1, first + i);
    }
}

}

UvRect UvRect::pixels(int x0, int y0, int x1, int y1, int imageSize) {
    const double size = imageSize;
    return {x0 / size, y0 / size, x1 / size, y1 / size};
}

UvRect UvRect::sub(double s0, double t0, double s1, double t1) const {
    const glm::dvec2 a = at(s0, t0), b = at(s1, t1);
    return {a.x, a.y, b.x, b.y};
}

void addQuad(ObjMesh& mesh, const glm::dvec3& bottomLeft, const glm::dvec3& bottomRight, const glm::dvec3& topRight,
             const glm::dvec3& topLeft, const UvRect& uv) {
    const glm::dvec3 cross = glm::cross(topRight - bottomLeft, topLeft - bottomRight);
    if (glm::length(cross) < DEGENERATE_AREA)
        return;
    const glm::dvec3 normal = glm::normalize(cross);
    const int bl = mesh.addVertex(makeVertex(bottomLeft, {uv.u0, uv.v1}, normal));
    const int br = mesh.addVertex(makeVertex(bottomRight, {uv.u1, uv.v1}, normal));
    const int tr = mesh.addVertex(makeVertex(topRight, {uv.u1, uv.v0}, normal));
    const int tl = mesh.addVertex(makeVertex(topLeft, {uv.u0, uv.v0}, normal));
    addTriangleIfArea(mesh, bl, br, tr);
    addTriangleIfArea(mesh, bl, tr, tl);
}

void addFlatTriangle(ObjMesh& mesh, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c,
                     const glm::dvec2& uvA, const glm::dvec2& uvB, const glm::dvec2& uvC) {
    if (isDegenerate(a, b, c))
        return;
    const glm::dvec3 normal = glm::normalize(glm::cross(b - a, c - a));
    mesh.addTriangle(mesh.addVertex(makeVertex(a, uvA, normal)), mesh.addVertex(makeVertex(b, uvB, normal)),
                     mesh.addVertex(makeVertex(c, uvC, normal)));
}

void addBox(ObjMesh& mesh, const glm::dmat4& transform, const BoxUv& uv) {
    auto corner = [&](double x, double y, double z) {
        return glm::dvec3(transform * glm::dvec4(x - 0.5, y - 0.5, z - 0.5, 1.0));
    };
    // Each face: bottom-left, bottom-right, top-right, top-left as seen from outside.
    addQuad(mesh, corner(1, 0, 0), corner(0, 0, 0), corner(0, 1, 0), corner(1, 1, 0), uv.front);
    addQuad(mesh, corner(0, 0, 1), corner(1, 0, 1), corner(1, 1, 1), corner(0, 1, 1), uv.back);
    addQuad(mesh, corner(0, 0, 0), corner(0, 0, 1), corner(0, 1, 1), corner(0, 1, 0), uv.left);
    addQuad(mesh, corner(1, 0, 1), corner(1, 0, 0), corner(1, 1, 0), corner(1, 1, 1), uv.right);
    addQuad(mesh, corner(0, 1, 1), corner(1, 1, 1), corner(1, 1, 0), corner(0, 1, 0), uv.top);
    addQuad(mesh, corner(0, 0, 0), corner(1, 0, 0), corner(1, 0, 1), corner(0, 0, 1), uv.bottom);
}

void addBox(ObjMesh& mesh, const glm::dvec3& min, const glm::dvec3& max, const BoxUv& uv) {
    addBox(mesh, placeAt((min + max) * 0.5, max - min), uv);
}

void addLathe(ObjMesh& mesh, const std::vector<LatheRing>& rings, const LatheStyle& style) {
    if (rings.size() < 2 || style.segments < 3)
        return;
    const LatheGrid grid = buildLatheGrid(rings, style);
    if (style.faceted)
        addFacetedLathe(mesh, grid, style);
    else
        addSmoothLathe(mesh, grid, rings, style);
    const int last = grid.rows - 1;
    if (style.capTop)
        addCap(mesh, grid, rings[0], rings[1].centre - rings[0].centre, style, 0);
    if (style.capBottom)
        addCap(mesh, grid, rings[last], rings[last - 1].centre - rings[last].centre, style, last);
}

void addEllipsoid(ObjMesh& mesh, const glm::dvec3& centre, const glm::dvec3& radii, int rings, LatheStyle style) {
    std::vector<LatheRing> profile;
    for (int k = 0; k <= rings; ++k) {
        const double polar = 3.141592653589793 * k / rings;
        const double spread = (k == 0 || k == rings) ? 0.0 : std::sin(polar);
        profile.push_back(
            {centre + glm::dvec3(0.0, radii.y * std::cos(polar), 0.0), radii.x * spread, radii.z * spread});
    }
    style.capTop = style.capBottom = false;
    addLathe(mesh, profile, style);
}

glm::dmat4 placeAt(const glm::dvec3& centre, const glm::dvec3& size) {
    return glm::scale(glm::translate(glm::dmat4(1.0), centre), size);
}

glm::dmat4 alignYAxis(const glm::dvec3& from, const glm::dvec3& to) {
    const glm::dvec3 y = glm::normalize(to - from);
    const glm::dvec3 reference = std::abs(y.y) < 0.9 ? glm::dvec3(0, 1, 0) : glm::dvec3(1, 0, 0);
    const glm::dvec3 z = glm::normalize(glm::cross(reference, y));
    glm::dmat4 frame(1.0);
    frame[0] = glm::dvec4(glm::cross(y, z), 0.0);
    frame[1] = glm::dvec4(y, 0.0);
    frame[2] = glm::dvec4(z, 0.0);
    frame[3] = glm::dvec4(from, 1.0);
    return frame;
}

glm::dmat4 beamBetween(const glm::dvec3& from, const glm::dvec3& to, double sizeX, double sizeZ, double twistRadians) {
    const glm::dmat4 centred = glm::translate(alignYAxis(from, to), glm::dvec3(0.0, glm::length(to - from) * 0.5, 0.0));
    const glm::dmat4 twist = glm::rotate(glm::dmat4(1.0), twistRadians, glm::dvec3(0, 1, 0));
    return centred * twist * glm::scale(glm::dmat4(1.0), glm::dvec3(sizeX, glm::length(to - from), sizeZ));
}
