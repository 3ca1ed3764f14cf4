#include "render/SkyboxShader.h"

SkyboxShader::SkyboxShader(const std::string& vertexPath, const std::string& fragmentPath) {
    createShaders(vertexPath, fragmentPath);
    bindAttribute("position");
    linkProgram();
    lookUpUniforms();
}

void SkyboxShader::lookUpUniforms() {
    projectionMatrixLocation = getUniformLocation("projectionMatrix");
    viewMatrixLocation = getUniformLocation("viewMatrix");
    fogColourLocation = getUniformLocation("fogColour");
    cubeMapLocation = getUniformLocation("cubeMap");
}

void SkyboxShader::assignTextureUnits() {
    setInt(cubeMapLocation, 0);
}

void SkyboxShader::setProjectionMatrix(const Mat4& matrix) {
    setMat4(projectionMatrixLocation, matrix);
}

void SkyboxShader::setViewMatrix(const Mat4& matrix) {
    setMat4(viewMatrixLocation, matrix);
}

void SkyboxShader::setFogColour(float red, float green, float blue) {
    setVec3(fogColourLocation, Vec3(red, green, blue));
}
