#version 330
// Declares the GUI program's uniform but never reads it, so linking drops it.
in vec2 position;
uniform mat4 transformationMatrix;
void main(void) {
    gl_Position = vec4(position, 0.0, 1.0);
}
