#include "render/TerrainRenderer.h"

#include "assets/Mesh.h"
#include "assets/Terrain.h"
#include "render/TerrainShader.h"

#include <GL/glew.h>

namespace {
constexpr GLuint TERRAIN_ATTRIBUTES = 3; // position, textureCoords, normal
// Ground is matte: a damper of 1 with no reflectivity leaves no highlight.
constexpr float TERRAIN_SHINE_DAMPER = 1.0f;
constexpr float TERRAIN_REFLECTIVITY = 0.0f;

void bindTexture(GLenum unit, const TerrainTexture* texture) {
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture->textureName);
}
}

TerrainRenderer::TerrainRenderer(TerrainShader& givenShader, const Mat4& projection) : shader(givenShader) {
    givenShader.start();
    givenShader.setProjectionMatrix(projection);
    givenShader.assignTextureUnits();
    givenShader.stop();
}

void TerrainRenderer::render(const std::vector<Terrain*>& terrains) {
    for (const Terrain* terrain : terrains) {
        bindTerrain(*terrain);
        placeTerrain(*terrain);
        glDrawElements(GL_TRIANGLES, terrain->mesh->vertexCount, GL_UNSIGNED_INT, nullptr);
        unbindModel();
    }
}

void TerrainRenderer::bindTerrain(const Terrain& terrain) {
    glBindVertexArray(terrain.mesh->vertexArray);
    for (GLuint i = 0; i < TERRAIN_ATTRIBUTES; ++i) {
        glEnableVertexAttribArray(i);
    }
    bindTextures(terrain);
    shader.setShine(TERRAIN_SHINE_DAMPER, TERRAIN_REFLECTIVITY);
}

void TerrainRenderer::bindTextures(const Terrain& terrain) {
    bindTexture(GL_TEXTURE0, terrain.textures->backgroundTexture);
    bindTexture(GL_TEXTURE1, terrain.textures->rTexture);
    bindTexture(GL_TEXTURE2, terrain.textures->gTexture);
    bindTexture(GL_TEXTURE3, terrain.textures->bTexture);
    bindTexture(GL_TEXTURE4, terrain.blendMap);
    bindTexture(GL_TEXTURE5, terrain.lightMap);
}

void TerrainRenderer::placeTerrain(const Terrain& terrain) {
    shader.setModelMatrix(Transforms::makeModelMatrix(Vec3(terrain.x, 0.0f, terrain.z), 0.0f, 0.0f, 0.0f, 1.0f));
}

void TerrainRenderer::unbindModel() {
    for (GLuint i = 0; i < TERRAIN_ATTRIBUTES; ++i) {
        glDisableVertexAttribArray(i);
    }
    glBindVertexArray(0);
}
