#version 330

// Textured, lit model. Lighting is done per fragment in world space; for
// normal-mapped models the vertex passes a tangent frame so the fragment can bring
// the map's tangent-space normal into world space.

in vec3 position;
in vec3 normal;
in vec2 textureCoords;
in vec3 tangent;

out vec2 passTextureCoords;
out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 toCameraVector;
out float visibility;

uniform mat4 transformationMatrix;
uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform float useFakeLighting;
uniform float numberOfRows;
uniform vec2 offset;
uniform vec4 clipPlane;

// Distance fog: clear nearby, mostly gone by the far edge of the terrain.
const float FOG_DENSITY = 0.003;

void main(void) {
    vec4 world = transformationMatrix * vec4(position, 1.0);
    gl_ClipDistance[0] = dot(world, clipPlane);
    vec4 positionRelativeToCamera = viewMatrix * world;
    gl_Position = projectionMatrix * positionRelativeToCamera;

    passTextureCoords = textureCoords / numberOfRows + offset;
    worldPosition = world.xyz;

    // Grass and fern cards have useless normals: light them as if they faced up.
    vec3 modelNormal = useFakeLighting > 0.5 ? vec3(0.0, 1.0, 0.0) : normal;
    worldNormal = (transformationMatrix * vec4(modelNormal, 0.0)).xyz;
    worldTangent = (transformationMatrix * vec4(tangent, 0.0)).xyz;

    // The view matrix is a rotation and a translation: the eye is -R^T t.
    vec3 cameraPosition = -(transpose(mat3(viewMatrix)) * viewMatrix[3].xyz);
    toCameraVector = cameraPosition - world.xyz;

    // exp(-(d * density)^3), the cube written out.
    float fogDistance = length(positionRelativeToCamera.xyz) * FOG_DENSITY;
    visibility = clamp(exp(-fogDistance * fogDistance * fogDistance), 0.0, 1.0);
}
