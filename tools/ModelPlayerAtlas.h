#pragma once
// Where each part of the player's body and head finds its paint in pcTexture1.png and
// pcFaceTexture1.png; shared by the meshes and the painters. Pixel rectangles.

#include "ModelPaint.h"

namespace playerAtlas {

constexpr int BODY_SIZE = 256;
constexpr PixelRect TUNIC{0, 0, 128, 112}; // wrapped round the torso, front at the middle
constexpr PixelRect TROUSERS{128, 0, 192, 112};
constexpr PixelRect BOOT{192, 0, 256, 80};
constexpr PixelRect BOOT_FOOT{192, 80, 256, 112};
constexpr PixelRect SOLE{192, 112, 256, 136};
constexpr PixelRect SLEEVE{0, 112, 64, 192};
constexpr PixelRect BELT{64, 112, 192, 136};
constexpr PixelRect SKIN{64, 136, 96, 168};
constexpr PixelRect PACK{96, 136, 176, 200};
constexpr PixelRect FLAP{176, 136, 256, 176};
constexpr PixelRect BEDROLL{176, 176, 256, 224};
constexpr PixelRect ROLL_END{64, 168, 96, 200};
constexpr PixelRect STRAP{0, 192, 64, 256};
constexpr PixelRect DARK_CLOTH{64, 200, 176, 256};
constexpr PixelRect SPARE{176, 224, 256, 256};

constexpr int FACE_SIZE = 512;
constexpr PixelRect HEAD{0, 0, 512, 256};   // wrapped round the head, face at the middle
constexpr PixelRect HAIR{0, 256, 512, 448}; // the hair shell, cut out with alpha
constexpr PixelRect FACE_SKIN{0, 448, 64, 512};
constexpr PixelRect FACE_UNUSED{64, 448, 512, 512};
// The hair shell covers the head from its crown down to this polar angle.
constexpr double HAIR_SHELL_POLAR_DEGREES = 125.0;

}
