#version 330
out vec4 outColour;
void main(void) {
    outColour = vec4(1.0);
}
