#pragma once
// The cottage's colour atlas and its tangent-space normal map, painted together from one
// height field so that grooves, joints and edges match. Layout in ModelCottageAtlas.h.

#include "Image.h"

struct CottageTextures {
    Image colour;  // shack2.png, RGB
    Image normals; // shack_normals.png, RGB = normal * 0.5 + 0.5; red = right, green = image up
};

CottageTextures paintCottageTextures();
