#version 330
in vec2 textureCoords;
out vec4 outColour;
void main(void) {
    outColour = vec4(textureCoords, 0.0, 1.0);
}
