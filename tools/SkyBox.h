#pragma once
// The sky seen from the scene: a blue gradient, the sun in the direction of the scene's
// first light, soft clouds, and the fog colour at and below the horizon so distant ground
// fades into it. Colours are functions of the view direction only, and each cube face is
// sampled through OpenGL's cube-map face table, so the six faces join without seams.

#include "Image.h"

namespace sky {

constexpr int FACE_SIZE = 512;

struct Direction {
    double x, y, z;
};

// Faces in cube-map order: 0 +x, 1 -x, 2 +y, 3 -y, 4 +z, 5 -z. The direction (not
// normalised) through the centre of texel (col, row), with row 0 at texture t = 0.
Direction faceDirection(int face, int col, int row, int size);

// The six face images, in cube-map order.
Image makeSkyFace(int face);

}
