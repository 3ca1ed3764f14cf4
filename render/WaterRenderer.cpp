#include "render/WaterRenderer.h"

#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "render/WaterShader.h"
#include "render/WaterTargets.h"
#include "render/WaterTile.h"

#include <GL/glew.h>

#include <cmath>

namespace {
// Two counter-clockwise triangles seen from above once placed as (x, 0, z).
const std::vector<float> QUAD_POSITIONS = {-1, -1, -1, 1, 1, -1, 1, -1, -1, 1, 1, 1};
}

WaterRenderer::WaterRenderer(ModelLoader& loader, WaterShader& givenShader, const Mat4& projection,
                             WaterTargets& givenTargets)
    : shader(&givenShader), targets(&givenTargets) {
    dudvTexture = loader.loadTexture("Resources/waterDUDV.png");
    givenShader.start();
    givenShader.assignTextureUnits();
    givenShader.setProjectionMatrix(projection);
    givenShader.stop();
    quad = loader.uploadMesh(QUAD_POSITIONS, 2);
}

void WaterRenderer::render(std::vector<WaterTile*> tiles, const Camera& camera, float frameTime) {
    prepare(camera, frameTime);
    for (const WaterTile* tile : tiles) {
        shader->setModelMatrix(
            Transforms::makeModelMatrix(Vec3(tile->x, tile->height, tile->z), 0.0f, 0.0f, 0.0f, TILE_SCALE));
        glDrawArrays(GL_TRIANGLES, 0, quad->vertexCount);
    }
    unbind();
}

void WaterRenderer::prepare(const Camera& camera, float frameTime) {
    shader->start();
    shader->setViewMatrix(camera);
    moveFactor = advanceMoveFactor(moveFactor, frameTime);
    shader->setMoveFactor(moveFactor);
    glBindVertexArray(quad->vertexArray);
    glEnableVertexAttribArray(0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, targets->reflectionTexture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, targets->refractionTexture);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, dudvTexture);
}

float WaterRenderer::advanceMoveFactor(float moveFactor, float frameTime) {
    const float next = float(std::fmod(double(moveFactor) + DISTORTION_SPEED * double(frameTime), 1.0));
    // A double just below 1 can round to 1.0f, which is where the wrap lands anyway.
    return next < 1.0f ? next : 0.0f;
}

void WaterRenderer::unbind() {
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
    shader->stop();
}
