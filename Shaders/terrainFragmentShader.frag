#version 330

in vec2 passTextureCoords;
in vec3 litScale;
in vec3 litOffset;

out vec4 outColour;

uniform sampler2D backgroundTexture;
uniform sampler2D rTexture;
uniform sampler2D gTexture;
uniform sampler2D bTexture;
uniform sampler2D blendMap;
uniform sampler2D lightMap;

// Ground textures repeat this often across the 500 units of terrain.
const float TILING = 60.0;

void main(void) {
    vec4 weights = texture(blendMap, passTextureCoords);
    float backgroundWeight = clamp(1.0 - (weights.r + weights.g + weights.b), 0.0, 1.0);
    vec2 tiled = passTextureCoords * TILING;
    vec3 ground = texture(backgroundTexture, tiled).rgb * backgroundWeight
        + texture(rTexture, tiled).rgb * weights.r
        + texture(gTexture, tiled).rgb * weights.g
        + texture(bTexture, tiled).rgb * weights.b;
    // The light map darkens baked shadows and hollows; it is grey, so red is enough.
    float baked = texture(lightMap, passTextureCoords).r;
    outColour = vec4(ground * baked * litScale + litOffset, 1.0);
}
