#pragma once
// Low-poly building blocks for the generated models: flat quads, boxes and lathes
// (rings of an elliptic profile, for limbs, trunks, posts, heads and cones). All of them
// wind counter-clockwise seen from outside, give outward unit normals and map textures
// without mirroring: seen from outside, u grows to the right and the image's top is up.

#include "ObjMesh.h"

#include <functional>
#include <vector>

// A rectangle of the texture atlas in image space (0..1, v0 is the upper edge).
struct UvRect {
    double u0 = 0.0, v0 = 0.0, u1 = 1.0, v1 = 1.0;

    static UvRect pixels(int x0, int y0, int x1, int y1, int imageSize);
    glm::dvec2 at(double s, double t) const { return {u0 + (u1 - u0) * s, v0 + (v1 - v0) * t}; }
    // The part s0..s1, t0..t1 of this rectangle (t = 0 at its upper edge).
    UvRect sub(double s0, double t0, double s1, double t1) const;
};

// The texture of each face of a box; seen from outside each face shows its rectangle upright.
struct BoxUv {
    UvRect front, back, left, right, top, bottom; // front is -z, right is +x

    static BoxUv all(const UvRect& r) { return {r, r, r, r, r, r}; }
    static BoxUv sidesAndEnds(const UvRect& sides, const UvRect& ends) {
        return {sides, sides, sides, sides, ends, ends};
    }
};

// A flat quad; corners counter-clockwise from outside, starting bottom-left of the picture.
void addQuad(ObjMesh& mesh, const glm::dvec3& bottomLeft, const glm::dvec3& bottomRight, const glm::dvec3& topRight,
             const glm::dvec3& topLeft, const UvRect& uv);
// A flat triangle; uv given per corner (image space).
void addFlatTriangle(ObjMesh& mesh, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c,
                     const glm::dvec2& uvA, const glm::dvec2& uvB, const glm::dvec2& uvC);

// The unit cube (-0.5..0.5 on each axis) moved by transform; faces stay flat-shaded.
void addBox(ObjMesh& mesh, const glm::dmat4& transform, const BoxUv& uv);
void addBox(ObjMesh& mesh, const glm::dvec3& min, const glm::dvec3& max, const BoxUv& uv);

struct LatheRing {
    glm::dvec3 centre{0.0};
    double radiusX = 0.0;
    double radiusZ = 0.0;
};

struct LatheStyle {
    int segments = 8;
    UvRect uv;                // u wraps once around, starting and ending at +z; v runs top to bottom
    bool faceted = false;     // flat faces instead of smooth normals
    bool pointedEnds = false; // a ring of radius 0 keeps one normal per side (cone tips)
    bool capTop = false;
    bool capBottom = false;
    UvRect capUv; // a cap's disc is inscribed in this rectangle
    // Optional radius factor per ring and segment (segment index taken modulo segments).
    std::function<double(int ring, int segment)> radiusScale;
};

// Rings ordered from the top of the profile to the bottom (so the surface faces out).
void addLathe(ObjMesh& mesh, const std::vector<LatheRing>& rings, const LatheStyle& style);
// An ellipsoid as a lathe with `rings` + 1 rings from pole to pole.
void addEllipsoid(ObjMesh& mesh, const glm::dvec3& centre, const glm::dvec3& radii, int rings, LatheStyle style);

// Transform helpers for placing parts.
glm::dmat4 placeAt(const glm::dvec3& centre, const glm::dvec3& size);
// A box of the given cross-section (sizeX, sizeZ) whose local y axis runs from `from` to `to`.
// A rigid move taking the origin to `from` and the +y axis along from -> to (for lathes).
glm::dmat4 alignYAxis(const glm::dvec3& from, const glm::dvec3& to);
glm::dmat4 beamBetween(const glm::dvec3& from, const glm::dvec3& to, double sizeX, double sizeZ,
                       double twistRadians = 0.0);
