#pragma once
// The baked light map: sun light (Lambert, with cast shadows ray-marched through the
// height field) and a little ambient occlusion, as one grey channel laid out like the
// blend map. Kept bright, since the terrain shader also applies its own diffuse light:
// open flat ground is near white and full shadow stays around 150.

#include "Image.h"

class TerrainHeights;

namespace terrain {

Image makeLightMap(const TerrainHeights& heights);

}
