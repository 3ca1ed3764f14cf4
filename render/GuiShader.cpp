#include "render/GuiShader.h"

GuiShader::GuiShader(const std::string& vertexPath, const std::string& fragmentPath) {
    createShaders(vertexPath, fragmentPath);
    bindAttribute("position");
    linkProgram();
    transformationMatrixLocation = getUniformLocation("transformationMatrix");
}

void GuiShader::setTransformation(const Mat4& matrix) {
    setMat4(transformationMatrixLocation, matrix);
}
