#pragma once
// Program for the sky cube: a cube map on unit 0, faded towards the fog colour
// near the horizon.

#include "render/ShaderProgram.h"

#include <string>

class SkyboxShader : public ShaderProgram {
public:
    SkyboxShader(const std::string& vertexPath, const std::string& fragmentPath);

    void assignTextureUnits();
    void setProjectionMatrix(const Mat4& matrix);
    // The caller removes the translation, so the sky stays around the eye.
    void setViewMatrix(const Mat4& matrix);
    void setFogColour(float red, float green, float blue);

private:
    void lookUpUniforms();

    GLint projectionMatrixLocation = -1;
    GLint viewMatrixLocation = -1;
    GLint fogColourLocation = -1;
    GLint cubeMapLocation = -1;
};
