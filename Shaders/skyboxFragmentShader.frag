#version 330

in vec3 direction;

out vec4 outColour;

uniform samplerCube cubeMap;
uniform vec3 fogColour;

// Elevation of the view direction (sine of the angle above the horizon) where the
// fog ends and the clear sky begins.
const float FOG_LOWER = 0.0;
const float FOG_UPPER = 0.3;

void main(void) {
    // A cube map picks its texel by the direction alone, so it needs no normalising.
    vec4 sky = texture(cubeMap, direction);
    // Depends on the direction only, so the blend runs across face edges without a seam.
    float elevation = direction.y * inversesqrt(dot(direction, direction));
    float clearSky = smoothstep(FOG_LOWER, FOG_UPPER, elevation);
    outColour = vec4(mix(fogColour, sky.rgb, clearSky), 1.0);
}
