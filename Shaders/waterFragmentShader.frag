#version 330

in vec4 clipSpace;
in vec2 dudvCoords;
in vec3 toCameraVector;

out vec4 outColour;

uniform sampler2D reflectionTexture;
uniform sampler2D refractionTexture;
uniform sampler2D dudvMap;
uniform float moveFactor;

// How far (in screen fractions) the ripples push the pictures around.
const float WAVE_STRENGTH = 0.02;
// Higher keeps the water see-through at steeper angles.
const float REFRACTIVE_EXPONENT = 0.8;
const vec3 WATER_TINT = vec3(0.0, 0.3, 0.5);
const float TINT_AMOUNT = 0.2;
// Keeps distorted lookups off the picture edges, which would wrap or smear.
const float EDGE = 0.001;

vec2 rippleOffset() {
    // Two samples scrolling in different directions, so the pattern never just slides.
    vec2 first = (texture(dudvMap, vec2(dudvCoords.x + moveFactor, dudvCoords.y)).rg * 2.0 - 1.0) * WAVE_STRENGTH;
    vec2 second = (texture(dudvMap, vec2(-dudvCoords.x + moveFactor, dudvCoords.y + moveFactor)).rg * 2.0 - 1.0)
        * WAVE_STRENGTH;
    return first + second;
}

void main(void) {
    vec2 screen = clipSpace.xy / clipSpace.w * 0.5 + 0.5;
    vec2 ripple = rippleOffset();

    vec2 refractionCoords = clamp(screen + ripple, EDGE, 1.0 - EDGE);
    // The reflection camera stands upright below the surface, so its picture is the
    // reflection upside down.
    vec2 reflectionCoords = clamp(vec2(screen.x, 1.0 - screen.y) + ripple, EDGE, 1.0 - EDGE);

    vec4 reflection = texture(reflectionTexture, reflectionCoords);
    vec4 refraction = texture(refractionTexture, refractionCoords);

    // Fresnel: looking straight down shows the bottom, grazing views the reflection.
    float refractive = pow(clamp(dot(normalize(toCameraVector), vec3(0.0, 1.0, 0.0)), 0.0, 1.0),
                           REFRACTIVE_EXPONENT);
    vec3 colour = mix(reflection.rgb, refraction.rgb, refractive);
    outColour = vec4(mix(colour, WATER_TINT, TINT_AMOUNT), 1.0);
}
