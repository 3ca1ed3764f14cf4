#version 330

// Ground: the texture coordinates run 0..1 across the whole terrain; the fragment
// shader tiles them for the ground textures and uses them as they are for the maps.

in vec3 position;
in vec2 textureCoords;
in vec3 normal;

out vec2 passTextureCoords;
out vec3 worldPosition;
out vec3 worldNormal;
out vec3 toCameraVector;
out float visibility;

uniform mat4 transformationMatrix;
uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform vec4 clipPlane;

// Same fog as the models, so both fade into the sky together.
const float FOG_DENSITY = 0.003;
const float FOG_GRADIENT = 3.0;

void main(void) {
    vec4 world = transformationMatrix * vec4(position, 1.0);
    gl_ClipDistance[0] = dot(world, clipPlane);
    vec4 positionRelativeToCamera = viewMatrix * world;
    gl_Position = projectionMatrix * positionRelativeToCamera;

    passTextureCoords = textureCoords;
    worldPosition = world.xyz;
    worldNormal = (transformationMatrix * vec4(normal, 0.0)).xyz;
    vec3 cameraPosition = (inverse(viewMatrix) * vec4(0.0, 0.0, 0.0, 1.0)).xyz;
    toCameraVector = cameraPosition - world.xyz;

    float distance = length(positionRelativeToCamera.xyz);
    visibility = clamp(exp(-pow(distance * FOG_DENSITY, FOG_GRADIENT)), 0.0, 1.0);
}
