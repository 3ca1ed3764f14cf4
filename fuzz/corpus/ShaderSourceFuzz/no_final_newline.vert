#version 330
void main(void) {
    gl_Position = vec4(0.0);
}