#pragma once
// Program for flat GUI quads placed in normalized device coordinates. Its sampler
// is never set: the element's texture is read from unit 0.

#include "render/ShaderProgram.h"

#include <string>

class GuiShader : public ShaderProgram {
public:
    GuiShader(const std::string& vertexPath, const std::string& fragmentPath);

    void setTransformation(const Mat4& matrix);

private:
    GLint transformationMatrixLocation = -1;
};
