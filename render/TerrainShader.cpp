#include "render/TerrainShader.h"

TerrainShader::TerrainShader(const std::string& vertexPath, const std::string& fragmentPath) {
    createShaders(vertexPath, fragmentPath);
    declareAttributes();
    linkProgram();
    lookUpUniforms();
}

void TerrainShader::declareAttributes() {
    bindAttribute("position");
    bindAttribute("textureCoords");
    bindAttribute("normal");
}

void TerrainShader::lookUpUniforms() {
    lookUpMatrices();
    lookUpShine();
    lookUpSkyColour();
    backgroundTextureLocation = getUniformLocation("backgroundTexture");
    rTextureLocation = getUniformLocation("rTexture");
    gTextureLocation = getUniformLocation("gTexture");
    bTextureLocation = getUniformLocation("bTexture");
    blendMapLocation = getUniformLocation("blendMap");
    lightMapLocation = getUniformLocation("lightMap");
    lookUpClipPlane();
    lookUpLights();
}

void TerrainShader::assignTextureUnits() {
    setInt(backgroundTextureLocation, 0);
    setInt(rTextureLocation, 1);
    setInt(gTextureLocation, 2);
    setInt(bTextureLocation, 3);
    setInt(blendMapLocation, 4);
    setInt(lightMapLocation, 5);
}
