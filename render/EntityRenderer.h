#pragma once
// Draws one pass's entities grouped by model, then the player on its own. Per model
// it binds the vertex array, textures and material uniforms once; per entity it
// uploads only the model matrix and the atlas offset. The scene renderer starts the
// shader and uploads the per-pass uniforms around it.

#include "render/EntityBatches.h"
#include "world/Transforms.h"

class Entity;
class EntityShader;
class Player;
struct Model;

class EntityRenderer {
public:
    // Leaves the projection and the two sampler units loaded in the program.
    EntityRenderer(EntityShader& shader, const Mat4& projection);

    void render(const EntityBatches& batches);
    void renderSingle(const Player& player);

    // Texture-space corner of atlas cell textureIndex in a rows x rows atlas,
    // cells numbered row by row from 0. rows must be at least 1.
    static Vec2 atlasOffset(int textureIndex, int rows);

private:
    void bindModel(const Model& model);
    void uploadInstance(const Model& model, const Vec3& position, float rotX, float rotY, float rotZ, float scale,
                        int textureIndex);
    void drawModel(const Model& model);
    void unbindModel();

    EntityShader& shader;
};
