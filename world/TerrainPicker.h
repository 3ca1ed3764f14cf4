#pragma once
// Finds the terrain point under the mouse cursor once per frame: a world-space ray
// from the camera through the cursor, tested against the ground height within
// RAY_LENGTH and narrowed down by halving. The point keeps its last value when
// the ray does not enter the ground.

#include "world/Transforms.h"

struct InputState;
class Camera;
class Terrain;

class TerrainPicker {
public:
    static constexpr float RAY_LENGTH = 600.0f; // world units along the ray
    static constexpr int SEARCH_DEPTH = 200;    // halvings at most

    // width and height: window size in pixels, the space of the input's mouse position.
    TerrainPicker(const InputState* input, const Camera* camera, const Mat4& projection, const Terrain* terrain,
                  int width, int height);

    void update();
    // The last point found; (0, 0, 0) before the first hit.
    Vec3 getPickedPoint() const { return pickedPoint; }
    // Unit direction in world space; (0, 0, 0) before the first update.
    Vec3 getMouseRay() const { return mouseRay; }

private:
    Vec3 computeMouseRay() const;
    Vec3 pointOnRay(float distance) const;
    bool isBelowGround(const Vec3& point) const;
    bool crossesGround(float startDistance, float finishDistance) const;
    Vec3 bisectRay(float startDistance, float finishDistance) const;

    float width;  // pixels
    float height; // pixels
    Vec3 mouseRay{0.0f};
    Mat4 projection;
    Mat4 inverseProjection; // the projection never changes, so neither does its inverse
    Mat4 view{1.0f};
    const Terrain* terrain;
    Vec3 pickedPoint{0.0f};
    const Camera* camera;
    const InputState* input;
};
