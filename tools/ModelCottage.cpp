#include "Generators.h"
#include "ModelCottageAtlas.h"
#include "ModelCottageTexture.h"
#include "ModelParts.h"
#include "ModelShapes.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

// A timber-framed cottage on a stone footing, built in world units around its floor
// centre and then scaled into the model's frame: the scene places it at (255, -34.6, 252)
// with scale 43, so the floor lands at local y COTTAGE_FLOOR_LOCAL_Y and the footprint
// must stay within 0.30 local units (12.9 world units) of the centre. The door is on the
// +x wall, facing the approach the quest waits for. Read through Assimp, which flips v.
namespace {

using namespace cottageAtlas;

constexpr double SCENE_SCALE = 43.0;
constexpr double HALF_X = 7.0; // wall planes
constexpr double HALF_Z = 10.0;
constexpr double FOOTING_TOP = 0.8;
constexpr double FOOTING_OUT = 0.4; // how far the stones stand out of the walls
constexpr double SILL_TOP = 1.15;
constexpr double PLATE_BOTTOM = 6.0;
constexpr double PLATE_TOP = 6.4;
constexpr double RIDGE_Y = 10.6;
constexpr double EAVE_X = 8.8;
constexpr double EAVE_Y = 5.8;
constexpr double ROOF_HALF_Z = 11.2;
constexpr double ROOF_THICKNESS = 0.35;
constexpr double WINDOW_Y = 3.6;
constexpr double DOOR_S = 5.0; // along the +x wall, seen from outside: z = 10 - s

UvRect atlas(const PixelRect& r) {
    return UvRect::pixels(r.x0, r.y0, r.x1, r.y1, SIZE);
}

// A flat parallelogram from `origin` spanning `right` and `up`, split into tiles of
// about tileSize that each show the whole rectangle uv.
void addTiled(ObjMesh& mesh, const glm::dvec3& origin, const glm::dvec3& right, const glm::dvec3& up, double tileRight,
              double tileUp, const UvRect& uv) {
    const int across = std::max(1, int(std::lround(glm::length(right) / tileRight)));
    const int rows = std::max(1, int(std::lround(glm::length(up) / tileUp)));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < across; ++column) {
            const glm::dvec3 bl = origin + right * (double(column) / across) + up * (double(row) / rows);
            const glm::dvec3 r = right / double(across), u = up / double(rows);
            addQuad(mesh, bl, bl + r, bl + r + u, bl + u, uv);
        }
    }
}

// A wall seen from outside: s runs to the right along it, y up, normal outwards.
struct Wall {
    glm::dvec3 origin; // s = 0 at the ground
    glm::dvec3 right;
    double length;

    glm::dvec3 normal() const { return glm::cross(right, glm::dvec3(0, 1, 0)); }
    glm::dvec3 at(double s, double y, double out = 0.0) const {
        return origin + right * s + glm::dvec3(0, y, 0) + normal() * out;
    }
    // A box centred at (s, y, out) in the wall's frame; its +z face looks out of the wall.
    glm::dmat4 box(double s, double y, double out, const glm::dvec3& size) const {
        glm::dmat4 frame(1.0);
        frame[0] = glm::dvec4(right, 0.0);
        frame[1] = glm::dvec4(0.0, 1.0, 0.0, 0.0);
        frame[2] = glm::dvec4(normal(), 0.0);
        frame[3] = glm::dvec4(at(s, y, out), 1.0);
        return glm::scale(frame, size);
    }
};

const Wall EAST{{HALF_X, 0.0, HALF_Z}, {0.0, 0.0, -1.0}, 2 * HALF_Z};   // +x, with the door
const Wall WEST{{-HALF_X, 0.0, -HALF_Z}, {0.0, 0.0, 1.0}, 2 * HALF_Z};  // -x
const Wall SOUTH{{-HALF_X, 0.0, HALF_Z}, {1.0, 0.0, 0.0}, 2 * HALF_X};  // +z
const Wall NORTH{{HALF_X, 0.0, -HALF_Z}, {-1.0, 0.0, 0.0}, 2 * HALF_X}; // -z

struct WallLayout {
    const Wall* wall;
    std::vector<double> posts;   // s of the timber posts between the corners
    std::vector<double> windows; // s of the window centres
};

// Side faces show grain along the box's length: boxes lying along the wall use the
// across-grain cell, upright ones the along-grain cell.
BoxUv lyingBeam() {
    BoxUv uv = BoxUv::all(atlas(BEAM_ACROSS));
    uv.left = uv.right = atlas(END_GRAIN);
    return uv;
}
BoxUv standingBeam() {
    return BoxUv::sidesAndEnds(atlas(BEAM_ALONG), atlas(END_GRAIN));
}

void addLyingBeam(ObjMesh& mesh, const Wall& wall, double s0, double s1, double y0, double y1, double out,
                  double depth) {
    // Split long beams so the grain keeps its scale.
    const int pieces = std::max(1, int(std::ceil((s1 - s0) / 2.6)));
    for (int i = 0; i < pieces; ++i) {
        const double a = s0 + (s1 - s0) * i / pieces, b = s0 + (s1 - s0) * (i + 1) / pieces;
        addBox(mesh, wall.box((a + b) * 0.5, (y0 + y1) * 0.5, out, {b - a, y1 - y0, depth}), lyingBeam());
    }
}

void addWindow(ObjMesh& mesh, const Wall& wall, double s) {
    BoxUv frame = BoxUv::all(atlas(BEAM_ALONG));
    frame.back = atlas(WINDOW);
    addBox(mesh, wall.box(s, WINDOW_Y, 0.08, {1.8, 1.6, 0.16}), frame);
    addBox(mesh, wall.box(s, WINDOW_Y - 0.9, 0.18, {2.3, 0.18, 0.36}), lyingBeam());
    addBox(mesh, wall.box(s, WINDOW_Y + 0.92, 0.12, {2.2, 0.24, 0.24}), lyingBeam());
    BoxUv shutter = BoxUv::all(atlas(SHUTTER));
    shutter.top = shutter.bottom = shutter.left = shutter.right = atlas(BEAM_ALONG);
    for (double side : {-1.0, 1.0})
        addBox(mesh, wall.box(s + side * 1.38, WINDOW_Y, 0.07, {0.85, 1.7, 0.08}), shutter);
}

void addDoor(ObjMesh& mesh, const Wall& wall, double s) {
    BoxUv door = BoxUv::all(atlas(BEAM_ALONG));
    door.back = atlas(DOOR);
    const double bottom = SILL_TOP, top = 5.3;
    addBox(mesh, wall.box(s, (bottom + top) * 0.5, 0.07, {2.3, top - bottom, 0.14}), door);
    addBox(mesh, wall.box(s, top + 0.2, 0.14, {3.2, 0.4, 0.3}), lyingBeam());
    // Two stone steps up to the sill.
    const BoxUv stone = BoxUv::all(atlas(STONES).sub(0.0, 0.0, 0.5, 0.5));
    addBox(mesh, wall.box(s, 0.225, FOOTING_OUT + 0.6, {2.8, 0.45, 1.2}), stone);
    addBox(mesh, wall.box(s, 0.625, FOOTING_OUT + 0.25, {2.6, 0.35, 0.5}), stone);
}

void addWall(ObjMesh& mesh, const WallLayout& layout) {
    const Wall& wall = *layout.wall;
    // Boards between sill and plate, then the footing below them.
    addTiled(mesh, wall.at(0.0, SILL_TOP), wall.right * wall.length, {0.0, PLATE_BOTTOM - SILL_TOP, 0.0}, 2.1, 2.1,
             atlas(PLANKS));
    addTiled(mesh, wall.at(-FOOTING_OUT, 0.0, FOOTING_OUT), wall.right * (wall.length + 2 * FOOTING_OUT),
             {0.0, FOOTING_TOP, 0.0}, 2.0, 1.0, atlas(STONES));
    // The footing's top ledge in front of the wall; each wall takes the corner at its left
    // end, so every corner is covered once.
    addTiled(mesh, wall.at(-FOOTING_OUT, FOOTING_TOP, FOOTING_OUT), wall.right * (wall.length + FOOTING_OUT),
             -wall.normal() * FOOTING_OUT, 2.0, 0.4, atlas(STONES).sub(0.0, 0.0, 1.0, 0.4));
    addLyingBeam(mesh, wall, 0.0, wall.length, FOOTING_TOP, SILL_TOP, 0.1, 0.4);
    addLyingBeam(mesh, wall, 0.0, wall.length, PLATE_BOTTOM, PLATE_TOP, 0.1, 0.4);
    for (double s : layout.posts)
        addBox(mesh, wall.box(s, (SILL_TOP + PLATE_BOTTOM) * 0.5, 0.1, {0.45, PLATE_BOTTOM - SILL_TOP, 0.3}),
               standingBeam());
    for (double s : layout.windows)
        addWindow(mesh, wall, s);
}

void addCornerPosts(ObjMesh& mesh) {
    for (double x : {-1.0, 1.0})
        for (double z : {-1.0, 1.0})
            addBox(mesh,
                   placeAt({x * (HALF_X + 0.05), (FOOTING_TOP + PLATE_TOP) * 0.5, z * (HALF_Z + 0.05)},
                           {0.6, PLATE_TOP - FOOTING_TOP, 0.6}),
                   standingBeam());
}

double roofUndersideAt(double x) {
    const double slope = (RIDGE_Y - EAVE_Y) / EAVE_X;
    return RIDGE_Y - slope * std::abs(x) - ROOF_THICKNESS * std::sqrt(1.0 + slope * slope);
}

// The triangle of boards under the roof at each end, in upright strips so the boards keep their size.
void addGable(ObjMesh& mesh, const Wall& wall) {
    constexpr int STRIPS = 4;
    const double height = roofUndersideAt(0.0) - PLATE_TOP;
    const UvRect uv = atlas(GABLE_BOARDS);
    auto corner = [&](double s, double y) { return wall.at(s, y, -0.02); };
    auto uvAt = [&](double f, double y) { return uv.at(f, 1.0 - (y - PLATE_TOP) / height); };
    for (int i = 0; i < STRIPS; ++i) {
        const double s0 = wall.length * i / STRIPS, s1 = wall.length * (i + 1) / STRIPS;
        const double top0 = std::max(PLATE_TOP, roofUndersideAt(s0 - HALF_X) + 0.05);
        const double top1 = std::max(PLATE_TOP, roofUndersideAt(s1 - HALF_X) + 0.05);
        addFlatTriangle(mesh, corner(s0, PLATE_TOP), corner(s1, PLATE_TOP), corner(s1, top1), uvAt(0, PLATE_TOP),
                        uvAt(1, PLATE_TOP), uvAt(1, top1));
        addFlatTriangle(mesh, corner(s0, PLATE_TOP), corner(s1, top1), corner(s0, top0), uvAt(0, PLATE_TOP),
                        uvAt(1, top1), uvAt(0, top0));
    }
}

// One slope of the roof: slate on top, boards underneath, a fascia round the edges.
void addRoofSide(ObjMesh& mesh, double side) {
    const glm::dvec3 eave{side * EAVE_X, EAVE_Y, 0.0};
    const glm::dvec3 uphill = glm::dvec3(0.0, RIDGE_Y, 0.0) - eave;
    const glm::dvec3 along{0.0, 0.0, -side}; // rightwards seen from outside
    const glm::dvec3 normal = glm::normalize(glm::cross(along, uphill));
    const glm::dvec3 lengthVector = along * (2 * ROOF_HALF_Z);
    const glm::dvec3 topStart = eave - along * ROOF_HALF_Z;
    addTiled(mesh, topStart, lengthVector, uphill, 2.6, 2.6, atlas(SHINGLES));
    const glm::dvec3 under = -normal * ROOF_THICKNESS;
    addTiled(mesh, topStart + under + lengthVector, -lengthVector, uphill, 2.1, 2.1, atlas(GABLE_BOARDS));
    const UvRect fascia = atlas(BEAM_ACROSS).sub(0.0, 0.3, 1.0, 0.7);
    addTiled(mesh, topStart + under, lengthVector, -under, 2.6, 1.0, fascia); // eave edge
    const glm::dvec3 farEnd = topStart + lengthVector;
    addTiled(mesh, farEnd + under, uphill, -under, 2.6, 1.0, fascia); // gable edges
    addTiled(mesh, topStart + uphill + under, -uphill, -under, 2.6, 1.0, fascia);
}

void addRoof(ObjMesh& mesh) {
    addRoofSide(mesh, 1.0);
    addRoofSide(mesh, -1.0);
    // A ridge board laid diamond-wise over the seam.
    addBox(mesh, beamBetween({0.0, RIDGE_Y, -ROOF_HALF_Z - 0.1}, {0.0, RIDGE_Y, ROOF_HALF_Z + 0.1}, 0.5, 0.5, 0.785398),
           standingBeam());
}

void addChimney(ObjMesh& mesh) {
    const double x0 = -4.7, x1 = -3.3, z0 = 4.3, z1 = 5.7, bottom = 5.0, top = 11.6;
    const Wall faces[4] = {{{x1, 0.0, z1}, {0, 0, -1}, z1 - z0},
                           {{x0, 0.0, z0}, {0, 0, 1}, z1 - z0},
                           {{x0, 0.0, z1}, {1, 0, 0}, x1 - x0},
                           {{x1, 0.0, z0}, {-1, 0, 0}, x1 - x0}};
    for (const Wall& face : faces)
        addTiled(mesh, face.at(0.0, bottom), face.right * face.length, {0.0, top - bottom, 0.0}, 1.4, 2.8,
                 atlas(BRICKS));
    BoxUv cap = BoxUv::all(atlas(STONES).sub(0.0, 0.0, 0.5, 0.3));
    cap.top = atlas(SOOT);
    addBox(mesh, {x0 - 0.15, top, z0 - 0.15}, {x1 + 0.15, top + 0.3, z1 + 0.15}, cap);
}

ObjMesh buildCottage() {
    ObjMesh house;
    addWall(house, {&EAST, {DOOR_S - 1.3, DOOR_S + 1.3, 12.5}, {9.4, 16.2}});
    addDoor(house, EAST, DOOR_S);
    addWall(house, {&WEST, {5.0, 10.0, 15.0}, {7.5, 12.5}});
    addWall(house, {&SOUTH, {7.0}, {3.5, 10.5}});
    addWall(house, {&NORTH, {7.0}, {3.5}});
    addCornerPosts(house);
    addGable(house, SOUTH);
    addGable(house, NORTH);
    addRoof(house);
    addChimney(house);
    return house;
}

}

void generateCottageModel(const std::string& resourcesDir) {
    ObjMesh model;
    const glm::dmat4 toModel = glm::scale(glm::translate(glm::dmat4(1.0), {0.0, COTTAGE_FLOOR_LOCAL_Y, 0.0}),
                                          glm::dvec3(1.0 / SCENE_SCALE));
    model.append(buildCottage(), toModel);
    model.save(resourcesDir, "cottage.obj", ObjVConvention::BOTTOM_ROW_ZERO);
    const CottageTextures textures = paintCottageTextures();
    savePng(resourcesDir, "shack2.png", textures.colour);
    savePng(resourcesDir, "shack_normals.png", textures.normals);
}
