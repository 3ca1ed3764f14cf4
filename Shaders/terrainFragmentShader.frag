#version 330

in vec2 passTextureCoords;
in vec3 worldPosition;
in vec3 worldNormal;
in vec3 toCameraVector;
in float visibility;

out vec4 outColour;

uniform sampler2D backgroundTexture;
uniform sampler2D rTexture;
uniform sampler2D gTexture;
uniform sampler2D bTexture;
uniform sampler2D blendMap;
uniform sampler2D lightMap;
uniform vec3 lightPosition[4];
uniform vec3 lightColour[4];
uniform vec3 attenuation[4];
uniform float shineDamper;
uniform float reflectivity;
uniform vec3 skyColour;

// Ground textures repeat this often across the 500 units of terrain.
const float TILING = 60.0;
const float AMBIENT = 0.25;

vec3 groundColour() {
    vec4 weights = texture(blendMap, passTextureCoords);
    float backgroundWeight = clamp(1.0 - (weights.r + weights.g + weights.b), 0.0, 1.0);
    vec2 tiled = passTextureCoords * TILING;
    return texture(backgroundTexture, tiled).rgb * backgroundWeight
        + texture(rTexture, tiled).rgb * weights.r
        + texture(gTexture, tiled).rgb * weights.g
        + texture(bTexture, tiled).rgb * weights.b;
}

void main(void) {
    vec3 unitNormal = normalize(worldNormal);
    vec3 unitToCamera = normalize(toCameraVector);

    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 4; i++) {
        vec3 toLight = lightPosition[i] - worldPosition;
        float distance = max(length(toLight), 1e-4);
        vec3 unitToLight = toLight / distance;
        float fallOff = attenuation[i].x + attenuation[i].y * distance + attenuation[i].z * distance * distance;
        float brightness = max(dot(unitNormal, unitToLight), 0.0);
        diffuse += brightness * lightColour[i] / fallOff;
        if (brightness > 0.0) {
            vec3 reflected = reflect(-unitToLight, unitNormal);
            float facing = max(dot(reflected, unitToCamera), 0.0);
            specular += pow(facing, max(shineDamper, 1.0)) * reflectivity * lightColour[i] / fallOff;
        }
    }
    diffuse = max(diffuse, AMBIENT);

    // The light map darkens baked shadows and hollows; it is grey, so red is enough.
    float baked = texture(lightMap, passTextureCoords).r;
    vec3 lit = diffuse * groundColour() * baked + specular;
    outColour = vec4(mix(skyColour, lit, visibility), 1.0);
}
