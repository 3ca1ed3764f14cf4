#pragma once
// The blend map: which ground texture shows where. Red is mud (lake shore, steep earth,
// worn path edges), green is flowery grass, blue is the gravel path network; what is left
// (1 - r - g - b) is plain grass. Column = x / 500, row = z / 500 of the terrain.

#include "Image.h"

class TerrainHeights;

namespace terrain {

Image makeBlendMap(const TerrainHeights& heights);

}
