#version 330

// Ground: the texture coordinates run 0..1 across the whole terrain; the fragment
// shader tiles them for the ground textures and uses them as they are for the maps.
// The lights and the fog are worked out here, per vertex: grid points are two units
// apart and the ground's normals change slowly, so per pixel they would look the
// same at eight times the cost (llvmpipe shades pixels in 4 x 4 blocks, each as
// often as triangles touch it).

in vec3 position;
in vec2 textureCoords;
in vec3 normal;

out vec2 passTextureCoords;
out vec3 litScale;  // diffuse light times visibility: multiplies the ground colour
out vec3 litOffset; // specular light times visibility plus the fog's share of the sky

uniform mat4 transformationMatrix;
uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform vec3 lightPosition[4];
uniform vec3 lightColour[4];
uniform vec3 attenuation[4];
uniform float shineDamper;
uniform float reflectivity;
uniform vec3 skyColour;
uniform vec4 clipPlane;

// Same fog as the models, so both fade into the sky together: exp(-(d * density)^3).
const float FOG_DENSITY = 0.003;
const float AMBIENT = 0.25;

void main(void) {
    vec4 world = transformationMatrix * vec4(position, 1.0);
    gl_ClipDistance[0] = dot(world, clipPlane);
    vec4 positionRelativeToCamera = viewMatrix * world;
    gl_Position = projectionMatrix * positionRelativeToCamera;
    passTextureCoords = textureCoords;

    vec3 unitNormal = normalize((transformationMatrix * vec4(normal, 0.0)).xyz);
    vec3 diffuse = vec3(0.0);
    vec3 firstUnitToLight = vec3(0.0);
    vec3 firstLight = vec3(0.0);
    for (int i = 0; i < 4; i++) {
        vec3 toLight = lightPosition[i] - world.xyz;
        float squaredDistance = max(dot(toLight, toLight), 1e-8);
        float inverseDistance = inversesqrt(squaredDistance);
        float distance = squaredDistance * inverseDistance;
        vec3 unitToLight = toLight * inverseDistance;
        float fallOff = attenuation[i].x + (attenuation[i].y + attenuation[i].z * distance) * distance;
        // One division per light instead of one per colour channel.
        vec3 light = lightColour[i] * (1.0 / fallOff);
        diffuse += max(dot(unitNormal, unitToLight), 0.0) * light;
        if (i == 0) {
            firstUnitToLight = unitToLight;
            firstLight = light;
        }
    }
    diffuse = max(diffuse, AMBIENT);

    // Ground is matte (the renderer gives it no reflectivity), so only the first
    // light, the sun, gets a highlight term.
    vec3 specular = vec3(0.0);
    if (dot(unitNormal, firstUnitToLight) > 0.0) {
        // The view matrix is a rotation and a translation: the eye is -R^T t.
        vec3 cameraPosition = -(transpose(mat3(viewMatrix)) * viewMatrix[3].xyz);
        vec3 unitToCamera = normalize(cameraPosition - world.xyz);
        float facing = max(dot(reflect(-firstUnitToLight, unitNormal), unitToCamera), 0.0);
        specular = pow(facing, max(shineDamper, 1.0)) * reflectivity * firstLight;
    }

    float fogDistance = length(positionRelativeToCamera.xyz) * FOG_DENSITY;
    float visibility = clamp(exp(-fogDistance * fogDistance * fogDistance), 0.0, 1.0);
    litScale = diffuse * visibility;
    litOffset = specular * visibility + skyColour * (1.0 - visibility);
}
