#pragma once
// The four ground textures the terrain blends between. Each is RGB, square, and tiles
// seamlessly: all noise is periodic over the image and every painted stroke wraps around.

#include "Image.h"

namespace terrain {

Image makeGrassTexture();       // background: meadow grass
Image makeMudTexture();         // red channel of the blend map: wet mud
Image makeFlowerGrassTexture(); // green channel: grass with small flowers
Image makePathTexture();        // blue channel: sandy gravel path

}
