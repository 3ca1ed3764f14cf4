#include "render/EntityShader.h"

EntityShader::EntityShader(const std::string& vertexPath, const std::string& fragmentPath) {
    createShaders(vertexPath, fragmentPath);
    declareAttributes();
    linkProgram();
    lookUpUniforms();
}

void EntityShader::declareAttributes() {
    bindAttribute("position");
    bindAttribute("textureCoords");
    bindAttribute("normal");
    bindAttribute("tangent");
}

void EntityShader::lookUpUniforms() {
    lookUpMatrices();
    lookUpShine();
    useFakeLightingLocation = getUniformLocation("useFakeLighting");
    lookUpSkyColour();
    numberOfRowsLocation = getUniformLocation("numberOfRows");
    offsetLocation = getUniformLocation("offset");
    lookUpClipPlane();
    hasNormalMapLocation = getUniformLocation("hasNormalMap");
    modelTextureLocation = getUniformLocation("modelTexture");
    normalMapLocation = getUniformLocation("normalMap");
    lookUpLights();
}

void EntityShader::assignTextureUnits() {
    setInt(modelTextureLocation, 0);
    setInt(normalMapLocation, 1);
}

void EntityShader::setFakeLighting(bool useFakeLighting) {
    setBool(useFakeLightingLocation, useFakeLighting);
}

void EntityShader::setNumberOfRows(int rows) {
    setFloat(numberOfRowsLocation, float(rows));
}

void EntityShader::setAtlasOffset(float x, float y) {
    setVec2(offsetLocation, Vec2(x, y));
}

void EntityShader::setHasNormalMap(bool hasNormalMap) {
    setBool(hasNormalMapLocation, hasNormalMap);
}
