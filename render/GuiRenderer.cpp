#include "render/GuiRenderer.h"

#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "render/GuiElement.h"
#include "render/GuiShader.h"
#include "world/Transforms.h"

#include <GL/glew.h>

namespace {
// A triangle strip over -1..1; texture coordinates come from the positions in the shader.
const std::vector<float> QUAD_POSITIONS = {-1, 1, -1, -1, 1, 1, 1, -1};
}

GuiRenderer::GuiRenderer(GuiShader& givenShader, ModelLoader& loader) : shader(&givenShader) {
    quad = loader.uploadMesh(QUAD_POSITIONS, 2);
}

void GuiRenderer::render(std::vector<GuiElement*> elements) {
    shader->start();
    glBindVertexArray(quad->vertexArray);
    glEnableVertexAttribArray(0);
    glDisable(GL_DEPTH_TEST);
    for (const GuiElement* element : elements) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, element->texture);
        shader->setTransformation(Transforms::makeModelMatrix(element->position, element->scale));
        glDrawArrays(GL_TRIANGLE_STRIP, 0, quad->vertexCount);
    }
    glEnable(GL_DEPTH_TEST);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
    shader->stop();
}
