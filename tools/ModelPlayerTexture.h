#pragma once
// Painted atlases of the player: the body (pcTexture1.png, RGB) and the head with its
// face and cut-out hair (pcFaceTexture1.png, RGBA). Layout in ModelPlayerAtlas.h.

#include "Image.h"

Image paintPlayerBody();
Image paintPlayerFace();
