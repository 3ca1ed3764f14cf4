#include "render/SkyboxRenderer.h"

#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "render/SkyboxShader.h"

#include <GL/glew.h>

#include <string>
#include <vector>

namespace {

constexpr float S = SkyboxRenderer::SKY_SIZE;

// Two triangles per face, wound to face inwards so culling keeps them from inside.
const std::vector<float> CUBE_POSITIONS = {
    -S, S,  -S, -S, -S, -S, S,  -S, -S, S,  -S, -S, S,  S,  -S, -S, S,  -S, -S, -S, S,  -S, -S, -S, -S, S,  -S,
    -S, S,  -S, -S, S,  S,  -S, -S, S,  S,  -S, -S, S,  -S, S,  S,  S,  S,  S,  S,  S,  S,  S,  -S, S,  -S, -S,
    -S, -S, S,  -S, S,  S,  S,  S,  S,  S,  S,  S,  S,  -S, S,  -S, -S, S,  -S, S,  -S, S,  S,  -S, S,  S,  S,
    S,  S,  S,  -S, S,  S,  -S, S,  -S, -S, -S, -S, -S, -S, S,  S,  -S, -S, S,  -S, -S, -S, -S, S,  S,  -S, S,
};

// Cube-map face order: +x, -x, +y, -y, +z, -z.
const std::vector<std::string> FACE_FILES = {
    "Resources/skyboxRight.png",  "Resources/skyboxLeft.png", "Resources/skyboxTop.png",
    "Resources/skyboxBottom.png", "Resources/skyboxBack.png", "Resources/skyboxFront.png",
};

}

SkyboxRenderer::SkyboxRenderer(SkyboxShader& givenShader, ModelLoader& loader, const Mat4& projection)
    : shader(&givenShader) {
    cube = loader.uploadMesh(CUBE_POSITIONS, 3);
    texture = loader.loadCubeMap(FACE_FILES);
    givenShader.start();
    givenShader.assignTextureUnits();
    givenShader.setProjectionMatrix(projection);
    givenShader.stop();
}

Mat4 SkyboxRenderer::makeSkyViewMatrix(const Camera& camera) {
    Mat4 view = Transforms::makeViewMatrix(camera);
    view[3][0] = 0.0f;
    view[3][1] = 0.0f;
    view[3][2] = 0.0f;
    return view;
}

void SkyboxRenderer::render(const Camera& camera, float fogRed, float fogGreen, float fogBlue) {
    shader->start();
    shader->setViewMatrix(makeSkyViewMatrix(camera));
    shader->setFogColour(fogRed, fogGreen, fogBlue);
    glBindVertexArray(cube->vertexArray);
    glEnableVertexAttribArray(0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
    glDrawArrays(GL_TRIANGLES, 0, cube->vertexCount);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
    shader->stop();
}
