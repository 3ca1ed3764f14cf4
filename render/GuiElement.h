#pragma once
// A textured rectangle drawn over the frame, placed in normalized device coordinates.

#include "world/Transforms.h"

struct GuiElement {
    unsigned int texture = 0;
    Vec2 position{0.0f}; // centre, x right and y up, -1..1
    Vec2 scale{0.0f};    // half-width and half-height

    GuiElement(unsigned int texture, const Vec2& position, const Vec2& scale)
        : texture(texture), position(position), scale(scale) {}
};
