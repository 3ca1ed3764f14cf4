#pragma once
// Draws the water tiles in the main pass from the two pictures in the water targets,
// rippled by a du/dv map that scrolls with time. Owned by the scene renderer.

#include "world/Transforms.h"

#include <vector>

class Camera;
class ModelLoader;
class WaterShader;
class WaterTargets;
struct Mesh;
struct WaterTile;

class WaterRenderer {
public:
    static constexpr float TILE_SCALE = 120.0f;      // half the side of a tile, world units
    static constexpr double DISTORTION_SPEED = 0.03; // moveFactor units per second

    // Needs both water targets created already.
    WaterRenderer(ModelLoader& loader, WaterShader& shader, const Mat4& projection, WaterTargets& targets);

    // frameTime: duration of the last frame in seconds; advances the ripples once per call.
    void render(std::vector<WaterTile*> tiles, const Camera& camera, float frameTime);

    float getMoveFactor() const { return moveFactor; }
    // The ripple offset one frame later (frameTime in seconds), wrapped into [0, 1).
    static float advanceMoveFactor(float moveFactor, float frameTime);
    const Mesh* getQuad() const { return quad; }

private:
    void prepare(const Camera& camera, float frameTime);
    void unbind();

    float moveFactor = 0; // always in [0, 1)
    unsigned int dudvTexture = 0;
    Mesh* quad = nullptr;
    WaterShader* shader = nullptr;
    WaterTargets* targets = nullptr;
};
