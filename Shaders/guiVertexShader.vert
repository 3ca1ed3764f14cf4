#version 330

// A GUI quad in normalized device coordinates; texture coordinates come from the
// corner positions, with the image's first (top) row at the top of the quad.

in vec2 position;

out vec2 textureCoords;

uniform mat4 transformationMatrix;

void main(void) {
    gl_Position = transformationMatrix * vec4(position, 0.0, 1.0);
    textureCoords = vec2((position.x + 1.0) / 2.0, 1.0 - (position.y + 1.0) / 2.0);
}
