#version 330

// A flat water tile: the 2D quad is laid in the x-z plane and placed by the model
// matrix. The clip-space position goes to the fragment shader for projective
// texturing of the reflection and refraction pictures.

in vec2 position;

out vec4 clipSpace;
out vec2 dudvCoords;
out vec3 toCameraVector;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform mat4 modelMatrix;

// Ripple texture repeats per tile.
const float DUDV_TILING = 6.0;

void main(void) {
    vec4 worldPosition = modelMatrix * vec4(position.x, 0.0, position.y, 1.0);
    clipSpace = projectionMatrix * viewMatrix * worldPosition;
    gl_Position = clipSpace;
    dudvCoords = (position * 0.5 + 0.5) * DUDV_TILING;
    // The view matrix is a rotation and a translation: the eye is -R^T t.
    vec3 cameraPosition = -(transpose(mat3(viewMatrix)) * viewMatrix[3].xyz);
    toCameraVector = cameraPosition - worldPosition.xyz;
}
