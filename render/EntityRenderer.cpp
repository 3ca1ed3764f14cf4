#include "render/EntityRenderer.h"

#include "assets/Material.h"
#include "assets/Mesh.h"
#include "assets/Model.h"
#include "render/Entity.h"
#include "render/EntityShader.h"
#include "world/Player.h"

#include <GL/glew.h>

namespace {
constexpr GLuint ENTITY_ATTRIBUTES = 4; // position, textureCoords, normal, tangent
}

EntityRenderer::EntityRenderer(EntityShader& givenShader, const Mat4& projection) : shader(givenShader) {
    givenShader.start();
    givenShader.assignTextureUnits();
    givenShader.setProjectionMatrix(projection);
    givenShader.stop();
}

void EntityRenderer::render(const EntityBatches& batches) {
    for (const auto& [model, entities] : batches) {
        bindModel(*model);
        for (const Entity* entity : entities) {
            uploadInstance(*model, entity->position, entity->rotX, entity->rotY, entity->rotZ, entity->scale,
                           entity->textureIndex);
            drawModel(*model);
        }
        unbindModel();
    }
}

void EntityRenderer::renderSingle(const Player& player) {
    bindModel(*player.model);
    uploadInstance(*player.model, player.position, player.rotX, player.rotY, player.rotZ, player.scale,
                   player.textureIndex);
    drawModel(*player.model);
    unbindModel();
}

Vec2 EntityRenderer::atlasOffset(int textureIndex, int rows) {
    const int column = textureIndex % rows;
    const int row = textureIndex / rows;
    return Vec2(float(column) / float(rows), float(row) / float(rows));
}

void EntityRenderer::bindModel(const Model& model) {
    glBindVertexArray(model.mesh->vertexArray);
    for (GLuint i = 0; i < ENTITY_ATTRIBUTES; ++i) {
        glEnableVertexAttribArray(i);
    }
    const Material& material = *model.texture;
    shader.setNumberOfRows(material.numberOfRows);
    if (material.hasTransparency) {
        // See-through textures show the inside of leaves and walls.
        glDisable(GL_CULL_FACE);
    }
    shader.setFakeLighting(material.useFakeLighting);
    shader.setShine(material.shineDamper, material.reflectivity);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, material.textureName);
    if (!model.hasNormalMap) {
        shader.setHasNormalMap(false);
        return;
    }
    shader.setHasNormalMap(true);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, model.normalMap->textureName);
}

void EntityRenderer::uploadInstance(const Model& model, const Vec3& position, float rotX, float rotY, float rotZ,
                                    float scale, int textureIndex) {
    shader.setModelMatrix(Transforms::makeModelMatrix(position, rotX, rotY, rotZ, scale));
    const Vec2 offset = atlasOffset(textureIndex, model.texture->numberOfRows);
    shader.setAtlasOffset(offset.x, offset.y);
}

void EntityRenderer::drawModel(const Model& model) {
    glDrawElements(GL_TRIANGLES, model.mesh->vertexCount, GL_UNSIGNED_INT, nullptr);
}

void EntityRenderer::unbindModel() {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    for (GLuint i = 0; i < ENTITY_ATTRIBUTES; ++i) {
        glDisableVertexAttribArray(i);
    }
    glBindVertexArray(0);
}
