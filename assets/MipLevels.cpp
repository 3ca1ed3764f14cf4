#include "assets/MipLevels.h"

#include <cstddef>

namespace {

bool isPowerOfTwo(int side) {
    return side > 0 && (side & (side - 1)) == 0;
}

inline unsigned int roundedUpMean(unsigned int a, unsigned int b) {
    return (a + b + 1) >> 1;
}

}

bool MipLevels::canHalve(int width, int height) {
    return isPowerOfTwo(width) && isPowerOfTwo(height);
}

void MipLevels::halve(unsigned char* pixels, int& width, int& height) {
    const int halfWidth = width > 1 ? width / 2 : 1, halfHeight = height > 1 ? height / 2 : 1;
    const std::ptrdiff_t nextColumn = width > 1 ? 4 : 0;                       // bytes to the second texel of a pair
    const std::ptrdiff_t nextRow = height > 1 ? std::ptrdiff_t(width) * 4 : 0; // bytes to the second row of a pair
    // Writing in place is safe: output texel i lands at or before the first input texel
    // it reads, and every input texel behind it has been read already.
    unsigned char* out = pixels;
    for (int y = 0; y < halfHeight; ++y) {
        const unsigned char* top = pixels + std::size_t(y) * 2 * nextRow;
        const unsigned char* bottom = top + nextRow;
        for (int x = 0; x < halfWidth; ++x, top += 2 * nextColumn, bottom += 2 * nextColumn) {
            for (int channel = 0; channel < 4; ++channel) {
                *out++ = (unsigned char)roundedUpMean(roundedUpMean(top[channel], top[nextColumn + channel]),
                                                      roundedUpMean(bottom[channel], bottom[nextColumn + channel]));
            }
        }
    }
    width = halfWidth;
    height = halfHeight;
}
