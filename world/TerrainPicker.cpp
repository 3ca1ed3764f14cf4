#include "world/TerrainPicker.h"

#include "assets/Terrain.h"
#include "world/Camera.h"
#include "world/InputState.h"

TerrainPicker::TerrainPicker(const InputState* givenInput, const Camera* givenCamera, const Mat4& givenProjection,
                             const Terrain* givenTerrain, int givenWidth, int givenHeight)
    : width(float(givenWidth)), height(float(givenHeight)), projection(givenProjection),
      inverseProjection(glm::inverse(givenProjection)), view(Transforms::makeViewMatrix(*givenCamera)),
      terrain(givenTerrain), camera(givenCamera), input(givenInput) {}

void TerrainPicker::update() {
    view = Transforms::makeViewMatrix(*camera);
    mouseRay = computeMouseRay();
    if (crossesGround(0.0f, RAY_LENGTH)) {
        pickedPoint = bisectRay(0.0f, RAY_LENGTH);
    }
}

Vec3 TerrainPicker::computeMouseRay() const {
    const float x = (2.0f * input->mouseX) / width - 1.0f;
    const float y = -((2.0f * input->mouseY) / height - 1.0f);
    const Vec4 clip(x, y, -1.0f, 1.0f);
    const Vec4 eyeCoords = inverseProjection * clip;
    // Only the direction matters: straight into the screen from the eye.
    const Vec4 eyeDirection(eyeCoords.x, eyeCoords.y, -1.0f, 0.0f);
    const Vec4 world = glm::inverse(view) * eyeDirection;
    return glm::normalize(Vec3(world.x, world.y, world.z));
}

Vec3 TerrainPicker::pointOnRay(float distance) const {
    return camera->position + mouseRay * distance;
}

// A point exactly on the surface is not below it.
bool TerrainPicker::isBelowGround(const Vec3& point) const {
    return terrain->heightAt(point.x, point.z) > point.y;
}

bool TerrainPicker::crossesGround(float startDistance, float finishDistance) const {
    return !isBelowGround(pointOnRay(startDistance)) && isBelowGround(pointOnRay(finishDistance));
}

// Halves [start, finish] towards the crossing SEARCH_DEPTH times and returns the
// point at the last midpoint. Once the midpoint rounds to either end the interval
// can no longer change (a midpoint equal to start keeps [start, finish]; one equal
// to finish keeps it or collapses it to finish), so every further level would
// return this same midpoint: stopping there gives the full search's result.
Vec3 TerrainPicker::bisectRay(float startDistance, float finishDistance) const {
    for (int depth = 0;; ++depth) {
        const float half = startDistance + (finishDistance - startDistance) * 0.5f;
        if (depth >= SEARCH_DEPTH || half == startDistance || half == finishDistance) {
            return pointOnRay(half);
        }
        if (crossesGround(startDistance, half)) {
            finishDistance = half;
        } else {
            startDistance = half;
        }
    }
}
