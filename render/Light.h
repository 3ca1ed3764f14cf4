#pragma once
// A point light. Attenuation holds the constant, linear and quadratic fall-off factors.

#include "world/Transforms.h"

struct Light {
    Vec3 position{0.0f};
    Vec3 colour{0.0f};
    Vec3 attenuation{1.0f, 0.0f, 0.0f};

    Light(const Vec3& givenPosition, const Vec3& givenColour, const Vec3& givenAttenuation)
        : position(givenPosition), colour(givenColour), attenuation(givenAttenuation) {}
};
