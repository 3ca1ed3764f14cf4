#version 330

in vec2 passTextureCoords;
in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 toCameraVector;
in float visibility;

out vec4 outColour;

uniform sampler2D modelTexture;
uniform sampler2D normalMap;
uniform vec3 lightPosition[4];
uniform vec3 lightColour[4];
uniform vec3 attenuation[4];
uniform float shineDamper;
uniform float reflectivity;
uniform float hasNormalMap;
uniform vec3 skyColour;

// Faces turned away from every light still show their texture.
const float AMBIENT = 0.25;

// The map's tangent-space normal (red along u, green along v, blue out of the
// surface) taken into world space with a Gram-Schmidt tangent frame.
vec3 mappedNormal(vec3 n) {
    vec3 t = worldTangent - dot(worldTangent, n) * n;
    // Meshes without real tangents carry a copy of the normal here.
    if (dot(t, t) < 1e-8) {
        t = abs(n.y) < 0.99 ? cross(vec3(0.0, 1.0, 0.0), n) : cross(vec3(1.0, 0.0, 0.0), n);
    }
    t = normalize(t);
    vec3 b = cross(n, t);
    vec3 m = texture(normalMap, passTextureCoords).rgb * 2.0 - 1.0;
    return normalize(mat3(t, b, n) * m);
}

void main(void) {
    vec4 textureColour = texture(modelTexture, passTextureCoords);
    if (textureColour.a < 0.5) {
        discard;
    }

    vec3 unitNormal = normalize(worldNormal);
    if (hasNormalMap > 0.5) {
        unitNormal = mappedNormal(unitNormal);
    }
    vec3 unitToCamera = normalize(toCameraVector);

    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 4; i++) {
        vec3 toLight = lightPosition[i] - worldPosition;
        float distance = max(length(toLight), 1e-4);
        vec3 unitToLight = toLight / distance;
        float fallOff = attenuation[i].x + attenuation[i].y * distance + attenuation[i].z * distance * distance;
        vec3 light = lightColour[i] * (1.0 / fallOff);
        float brightness = max(dot(unitNormal, unitToLight), 0.0);
        diffuse += brightness * light;
        // llvmpipe runs both sides of a branch, so the highlight is worked out for every
        // light and kept only where the light reaches the surface.
        vec3 reflected = reflect(-unitToLight, unitNormal);
        float facing = max(dot(reflected, unitToCamera), 0.0);
        specular += brightness > 0.0 ? pow(facing, max(shineDamper, 1.0)) * reflectivity * light : vec3(0.0);
    }
    diffuse = max(diffuse, AMBIENT);

    vec3 lit = diffuse * textureColour.rgb + specular;
    outColour = vec4(mix(skyColour, lit, visibility), 1.0);
}
