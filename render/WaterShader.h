#pragma once
// Program for the water surface: mixes the reflection (unit 0) and refraction
// (unit 1) pictures, distorted by a scrolling du/dv map (unit 2).

#include "render/ShaderProgram.h"

#include <string>

class Camera;

class WaterShader : public ShaderProgram {
public:
    WaterShader(const std::string& vertexPath, const std::string& fragmentPath);

    void assignTextureUnits();
    void setProjectionMatrix(const Mat4& matrix);
    void setViewMatrix(const Camera& camera);
    void setModelMatrix(const Mat4& matrix);
    // Scroll offset of the du/dv map, 0..1.
    void setMoveFactor(float moveFactor);

private:
    void lookUpUniforms();

    GLint projectionMatrixLocation = -1;
    GLint viewMatrixLocation = -1;
    GLint modelMatrixLocation = -1;
    GLint reflectionTextureLocation = -1;
    GLint refractionTextureLocation = -1;
    GLint dudvMapLocation = -1;
    GLint moveFactorLocation = -1;
};
