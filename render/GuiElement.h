#pragma once
// A textured rectangle drawn over the frame, placed in normalized device coordinates.

#include "world/Transforms.h"

struct GuiElement {
    unsigned int texture = 0;
    Vec2 position{0.0f}; // centre, x right and y up, -1..1
    Vec2 scale{0.0f};    // half-width and half-height

    GuiElement(unsigned int givenTexture, const Vec2& givenPosition, const Vec2& givenScale)
        : texture(givenTexture), position(givenPosition), scale(givenScale) {}
};
