#include "ModelParts.h"
#include "ModelPlayerAtlas.h"
#include "ModelPlayerTexture.h"
#include "ModelShapes.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

// The player is modelled at twice its drawn size (the scene scales it by 0.5): feet on
// y = 0, centred on the y axis, facing -z. The head is a separate model in the same frame.
namespace {

constexpr double LEG_X = 0.56;
constexpr double HEAD_CENTRE_Y = 9.78;
constexpr glm::dvec3 HEAD_RADII{0.92, 1.05, 0.98};
constexpr double PI = 3.141592653589793;

UvRect body(const PixelRect& r) {
    return UvRect::pixels(r.x0, r.y0, r.x1, r.y1, playerAtlas::BODY_SIZE);
}
UvRect face(const PixelRect& r) {
    return UvRect::pixels(r.x0, r.y0, r.x1, r.y1, playerAtlas::FACE_SIZE);
}

LatheRing ring(double x, double y, double z, double radiusX, double radiusZ) {
    return {{x, y, z}, radiusX, radiusZ};
}

LatheStyle wrapped(const PixelRect& rect, int segments) {
    LatheStyle style;
    style.segments = segments;
    style.uv = body(rect);
    return style;
}

void addLeg(ObjMesh& mesh, double side) {
    const double x = side * LEG_X;
    LatheStyle trousers = wrapped(playerAtlas::TROUSERS, 10);
    addLathe(mesh,
             {ring(side * 0.60, 4.95, 0.0, 0.58, 0.55), ring(side * 0.59, 4.3, 0.0, 0.52, 0.50),
              ring(x, 3.0, -0.03, 0.43, 0.43), ring(x, 2.2, 0.0, 0.40, 0.40), ring(x, 1.45, 0.0, 0.37, 0.37)},
             trousers);
    LatheStyle boot = wrapped(playerAtlas::BOOT, 10);
    boot.capTop = true;
    boot.capUv = body(playerAtlas::SOLE);
    addLathe(mesh,
             {ring(x, 1.78, -0.02, 0.48, 0.48), ring(x, 1.62, -0.02, 0.48, 0.48), ring(x, 1.55, -0.02, 0.42, 0.42),
              ring(x, 0.3, -0.05, 0.41, 0.43)},
             boot);
    BoxUv foot = BoxUv::all(body(playerAtlas::BOOT_FOOT));
    foot.top = body(playerAtlas::BOOT_FOOT).sub(0.0, 0.0, 1.0, 0.6);
    foot.bottom = body(playerAtlas::SOLE);
    addBox(mesh, {x - 0.38, 0.0, -1.0}, {x + 0.38, 0.52, 0.42}, foot);
}

void addTorso(ObjMesh& mesh) {
    LatheStyle tunic = wrapped(playerAtlas::TUNIC, 14);
    tunic.capTop = tunic.capBottom = true;
    tunic.capUv = body(playerAtlas::DARK_CLOTH);
    addLathe(mesh,
             {ring(0, 8.6, 0.0, 0.42, 0.34), ring(0, 8.4, 0.0, 0.95, 0.56), ring(0, 8.0, 0.0, 1.22, 0.66),
              ring(0, 7.2, -0.02, 1.25, 0.72), ring(0, 6.2, 0.0, 1.10, 0.66), ring(0, 5.3, 0.0, 1.07, 0.64),
              ring(0, 4.6, 0.0, 1.22, 0.74), ring(0, 3.9, 0.0, 1.34, 0.82)},
             tunic);
    addLathe(mesh, {ring(0, 5.5, 0.0, 1.14, 0.69), ring(0, 4.95, 0.0, 1.17, 0.72)}, wrapped(playerAtlas::BELT, 14));
    addLathe(mesh, {ring(0, 9.1, -0.02, 0.33, 0.33), ring(0, 8.3, 0.0, 0.37, 0.35)}, wrapped(playerAtlas::SKIN, 8));
}

void addArm(ObjMesh& mesh, double side) {
    LatheStyle sleeve = wrapped(playerAtlas::SLEEVE, 10);
    sleeve.capBottom = true;
    sleeve.capUv = body(playerAtlas::DARK_CLOTH);
    addLathe(mesh,
             {ring(side * 1.28, 8.62, 0.0, 0.0, 0.0), ring(side * 1.36, 8.45, 0.0, 0.30, 0.30),
              ring(side * 1.45, 7.95, 0.0, 0.42, 0.42), ring(side * 1.55, 6.6, -0.04, 0.36, 0.36),
              ring(side * 1.6, 5.6, -0.06, 0.34, 0.34), ring(side * 1.63, 5.15, -0.06, 0.37, 0.37)},
             sleeve);
    LatheStyle hand = wrapped(playerAtlas::SKIN, 8);
    addEllipsoid(mesh, {side * 1.64, 4.82, -0.07}, {0.25, 0.42, 0.29}, 6, hand);
}

void addPack(ObjMesh& mesh) {
    addBox(mesh, {-0.72, 5.55, 0.52}, {0.72, 7.45, 1.12}, BoxUv::all(body(playerAtlas::PACK)));
    BoxUv flap = BoxUv::all(body(playerAtlas::FLAP));
    addBox(mesh, {-0.76, 6.7, 0.50}, {0.76, 7.58, 1.18}, flap);
    LatheStyle roll = wrapped(playerAtlas::BEDROLL, 10);
    roll.capTop = roll.capBottom = true;
    roll.capUv = body(playerAtlas::ROLL_END);
    ObjMesh bedroll;
    addLathe(bedroll, {ring(0, 0.95, 0, 0.33, 0.33), ring(0, -0.95, 0, 0.33, 0.33)}, roll);
    // Built upright, then laid across the top of the pack.
    const glm::dmat4 lay = glm::rotate(glm::translate(glm::dmat4(1.0), {0.0, 7.9, 0.86}), -PI / 2, {0.0, 0.0, 1.0});
    mesh.append(bedroll, lay);
    // Shoulder straps: over each shoulder and down the chest.
    const BoxUv strap = BoxUv::all(body(playerAtlas::STRAP));
    for (double side : {-1.0, 1.0}) {
        addBox(mesh, beamBetween({side * 0.62, 8.42, 0.55}, {side * 0.62, 8.42, -0.52}, 0.24, 0.16), strap);
        addBox(mesh, beamBetween({side * 0.62, 8.3, -0.60}, {side * 0.66, 6.3, -0.69}, 0.24, 0.12), strap);
    }
}

ObjMesh buildBody() {
    ObjMesh mesh;
    addLeg(mesh, -1.0);
    addLeg(mesh, 1.0);
    addTorso(mesh);
    addArm(mesh, -1.0);
    addArm(mesh, 1.0);
    addPack(mesh);
    return mesh;
}

// The hair is a shell a little larger than the head, cut to shape by the texture's alpha.
void addHairShell(ObjMesh& mesh) {
    constexpr int RINGS = 9;
    std::vector<LatheRing> profile;
    const glm::dvec3 radii = HEAD_RADII * 1.09;
    for (int k = 0; k <= RINGS; ++k) {
        const double polar = playerAtlas::HAIR_SHELL_POLAR_DEGREES * PI / 180.0 * k / RINGS;
        profile.push_back(ring(0.0, HEAD_CENTRE_Y + 0.06 + radii.y * std::cos(polar), 0.03, radii.x * std::sin(polar),
                               radii.z * std::sin(polar)));
    }
    LatheStyle hair;
    hair.segments = 16;
    hair.uv = face(playerAtlas::HAIR);
    addLathe(mesh, profile, hair);
}

void addNose(ObjMesh& mesh) {
    const UvRect skin = face(playerAtlas::FACE_SKIN);
    const double front = -0.05 - HEAD_RADII.z;
    const glm::dvec3 top{0.0, 9.93, front + 0.02}, tip{0.0, 9.52, front - 0.22};
    const glm::dvec3 plusX{0.14, 9.45, front + 0.04}, minusX{-0.14, 9.45, front + 0.04};
    addFlatTriangle(mesh, minusX, top, tip, skin.at(0, 1), skin.at(0.5, 0), skin.at(0.5, 1));
    addFlatTriangle(mesh, tip, top, plusX, skin.at(0.5, 1), skin.at(0.5, 0), skin.at(1, 1));
    addFlatTriangle(mesh, plusX, minusX, tip, skin.at(1, 0), skin.at(0, 0), skin.at(0.5, 1));
}

ObjMesh buildHead() {
    ObjMesh mesh;
    LatheStyle head;
    head.segments = 16;
    head.uv = face(playerAtlas::HEAD);
    addEllipsoid(mesh, {0.0, HEAD_CENTRE_Y, -0.05}, HEAD_RADII, 12, head);
    addHairShell(mesh);
    addNose(mesh);
    LatheStyle ear;
    ear.segments = 8;
    ear.uv = face(playerAtlas::FACE_SKIN);
    for (double side : {-1.0, 1.0})
        addEllipsoid(mesh, {side * 0.9, 9.72, 0.02}, {0.12, 0.25, 0.17}, 4, ear);
    return mesh;
}

}

void generatePlayerModels(const std::string& resourcesDir) {
    buildBody().save(resourcesDir, "pc.obj", ObjVConvention::TOP_ROW_ZERO);
    savePng(resourcesDir, "pcTexture1.png", paintPlayerBody());
    buildHead().save(resourcesDir, "pcFace.obj", ObjVConvention::TOP_ROW_ZERO);
    savePng(resourcesDir, "pcFaceTexture1.png", paintPlayerFace());
}
