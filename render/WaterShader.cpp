#include "render/WaterShader.h"

#include "world/Camera.h"

WaterShader::WaterShader(const std::string& vertexPath, const std::string& fragmentPath) {
    createShaders(vertexPath, fragmentPath);
    bindAttribute("position");
    linkProgram();
    lookUpUniforms();
}

void WaterShader::lookUpUniforms() {
    projectionMatrixLocation = getUniformLocation("projectionMatrix");
    viewMatrixLocation = getUniformLocation("viewMatrix");
    modelMatrixLocation = getUniformLocation("modelMatrix");
    reflectionTextureLocation = getUniformLocation("reflectionTexture");
    refractionTextureLocation = getUniformLocation("refractionTexture");
    dudvMapLocation = getUniformLocation("dudvMap");
    moveFactorLocation = getUniformLocation("moveFactor");
}

void WaterShader::assignTextureUnits() {
    setInt(reflectionTextureLocation, 0);
    setInt(refractionTextureLocation, 1);
    setInt(dudvMapLocation, 2);
}

void WaterShader::setProjectionMatrix(const Mat4& matrix) {
    setMat4(projectionMatrixLocation, matrix);
}

void WaterShader::setViewMatrix(const Camera& camera) {
    setMat4(viewMatrixLocation, Transforms::makeViewMatrix(camera));
}

void WaterShader::setModelMatrix(const Mat4& matrix) {
    setMat4(modelMatrixLocation, matrix);
}

void WaterShader::setMoveFactor(float moveFactor) {
    setFloat(moveFactorLocation, moveFactor);
}
