#version 330

// Glyph quads of the GUI's text, in window pixels (y down), each corner with its own
// atlas coordinates; the GUI fragment program colours them.

layout(location = 0) in vec2 position;
layout(location = 1) in vec2 atlasCoords;

out vec2 textureCoords;

uniform mat4 transformationMatrix;

void main(void) {
    gl_Position = transformationMatrix * vec4(position, 0.0, 1.0);
    textureCoords = atlasCoords;
}
