#include "Image.h"
#include "ModelParts.h"
#include "ModelShapes.h"

#include <algorithm>

namespace {

constexpr int SEGMENTS = 16;
constexpr double TIP_Y = 0.08; // just above the clicked ground point
constexpr double HEAD_TOP_Y = 1.3;
constexpr double HEAD_RADIUS = 0.7;
constexpr double SHAFT_TOP_Y = 2.6;
constexpr double SHAFT_RADIUS = 0.26;

}

void generateMarkerModel(const std::string& resourcesDir) {
    ObjMesh mesh;
    LatheStyle head;
    head.segments = SEGMENTS;
    head.pointedEnds = true;
    head.capTop = true;
    addLathe(mesh, {{{0.0, HEAD_TOP_Y, 0.0}, HEAD_RADIUS, HEAD_RADIUS}, {{0.0, TIP_Y, 0.0}, 0.0, 0.0}}, head);
    LatheStyle shaft;
    shaft.segments = SEGMENTS;
    shaft.capTop = true;
    addLathe(
        mesh,
        {{{0.0, SHAFT_TOP_Y, 0.0}, SHAFT_RADIUS, SHAFT_RADIUS}, {{0.0, HEAD_TOP_Y, 0.0}, SHAFT_RADIUS, SHAFT_RADIUS}},
        shaft);
    mesh.save(resourcesDir, "marker.obj", ObjVConvention::TOP_ROW_ZERO);

    Image white(16, 16, 3);
    std::fill(white.pixels.begin(), white.pixels.end(), std::uint8_t(255));
    savePng(resourcesDir, "white.png", white);
}
