#pragma once
// Draws the sky cube around the eye once per scene pass, after the opaque geometry.
// The cube mesh and the cube map come from the model loader at construction.

#include "world/Transforms.h"

class Camera;
class ModelLoader;
class SkyboxShader;
struct Mesh;

class SkyboxRenderer {
public:
    static constexpr float SKY_SIZE = 500.0f; // half the side of the cube, world units

    SkyboxRenderer(SkyboxShader& shader, ModelLoader& loader, const Mat4& projection);

    // The fog colour is what the sky fades to at the horizon.
    void render(const Camera& camera, float fogRed, float fogGreen, float fogBlue);

    // The camera's view matrix with the translation removed: only pitch and yaw turn the sky.
    static Mat4 makeSkyViewMatrix(const Camera& camera);
    const Mesh* getCube() const { return cube; }
    unsigned int getTexture() const { return texture; }

private:
    Mesh* cube = nullptr;
    unsigned int texture = 0;
    SkyboxShader* shader = nullptr;
};
