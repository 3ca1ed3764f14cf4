#version 330

in vec2 textureCoords;

out vec4 outColour;

// Never set by the program: an unset sampler reads texture unit 0.
uniform sampler2D guiTexture;

void main(void) {
    outColour = texture(guiTexture, textureCoords);
}
