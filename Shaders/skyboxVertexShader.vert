#version 330

// The sky cube around the eye; its position doubles as the cube-map direction.

in vec3 position;

out vec3 direction;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;

// Just inside the far plane, so the sky lies behind all terrain even where the
// terrain reaches further from the eye than the cube's faces.
const float FAR_DEPTH = 0.99999;

void main(void) {
    vec4 clip = projectionMatrix * viewMatrix * vec4(position, 1.0);
    gl_Position = vec4(clip.xy, clip.w * FAR_DEPTH, clip.w);
    direction = position;
    // The water passes clip the scene, never the sky behind it.
    gl_ClipDistance[0] = 1.0;
}
