#pragma once
// The cottage's atlas, shared by shack2.png (colour), shack_normals.png (the tangent-space
// normal map painted from the same height field) and the mesh. Pixel rectangles.

#include "ModelPaint.h"

namespace cottageAtlas {

constexpr int SIZE = 512;
constexpr PixelRect PLANKS{0, 0, 256, 256};          // horizontal lap boards, tiles both ways
constexpr PixelRect SHINGLES{256, 0, 512, 256};      // slate rows, tiles both ways
constexpr PixelRect STONES{0, 256, 256, 384};        // foundation stones, tiles sideways
constexpr PixelRect BEAM_ACROSS{256, 256, 512, 320}; // grain running left to right
constexpr PixelRect BEAM_ALONG{0, 384, 64, 512};     // grain running top to bottom
constexpr PixelRect DOOR{64, 384, 160, 512};
constexpr PixelRect WINDOW{160, 384, 256, 480};
constexpr PixelRect END_GRAIN{160, 480, 192, 512};
constexpr PixelRect SOOT{192, 480, 256, 512};
constexpr PixelRect SHUTTER{256, 320, 320, 448};
constexpr PixelRect GABLE_BOARDS{320, 320, 448, 448}; // upright boards and battens
constexpr PixelRect BRICKS{448, 320, 512, 448};       // chimney, tiles both ways
constexpr PixelRect SPARE{256, 448, 512, 512};

}
