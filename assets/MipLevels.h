#pragma once
// Mip-map levels built on the CPU. OpenGL's own glGenerateMipmap is slow where there is
// no GPU: llvmpipe draws every level and compiles that drawing program on first use,
// about 100 ms of start-up for a few microseconds of arithmetic per level.

class MipLevels {
public:
    // Whether `halve` gives this image's levels: sides that are powers of two, so that
    // every level is an exact 2 x 2 reduction of the one above it. Other sides are left
    // to OpenGL, whose rule for odd sizes is its own.
    static bool canHalve(int width, int height);

    // Replaces the RGBA image in `pixels` by the next smaller level, in place, and
    // halves `width` and `height` (a side of 1 stays 1). Each texel is the average of
    // its 2 x 2 block, rounded as llvmpipe's linear blit rounds it (the rounded-up mean
    // of each row's pair, then of the two results), so the levels match OpenGL's there.
    static void halve(unsigned char* pixels, int& width, int& height);
};
