// Compares two screenshots of the same frame (e.g. before and after a shader change):
//   wm_picture_diff BEFORE.png AFTER.png [DIFF.png]
// Prints the mean and largest difference per channel (8-bit steps), the share of
// pixels that differ by more than 2 and by more than 8 steps in any channel, and the
// PSNR. DIFF.png, when given, shows each pixel's largest difference magnified 16 times.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int CHANNELS = 3;
constexpr int SMALL_STEP = 2, LARGE_STEP = 8; // 8-bit steps
constexpr int DIFF_GAIN = 16;

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

bool load(const char* path, Picture& picture) {
    int channels = 0;
    unsigned char* data = stbi_load(path, &picture.width, &picture.height, &channels, CHANNELS);
    if (!data) {
        std::fprintf(stderr, "%s: %s\n", path, stbi_failure_reason());
        return false;
    }
    picture.pixels.assign(data, data + size_t(picture.width) * picture.height * CHANNELS);
    stbi_image_free(data);
    return true;
}

}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s BEFORE.png AFTER.png [DIFF.png]\n", argv[0]);
        return 2;
    }
    Picture before, after;
    if (!load(argv[1], before) || !load(argv[2], after)) {
        return 2;
    }
    if (before.width != after.width || before.height != after.height) {
        std::fprintf(stderr, "the pictures differ in size\n");
        return 2;
    }
    const size_t count = size_t(before.width) * before.height;
    std::vector<unsigned char> diff(count * CHANNELS);
    double sum[CHANNELS] = {}, squares = 0;
    int largest[CHANNELS] = {};
    size_t small = 0, large = 0;
    for (size_t i = 0; i < count; ++i) {
        int pixelLargest = 0;
        for (int c = 0; c < CHANNELS; ++c) {
            const int d = std::abs(int(before.pixels[i * CHANNELS + c]) - int(after.pixels[i * CHANNELS + c]));
            sum[c] += d;
            squares += double(d) * d;
            largest[c] = std::max(largest[c], d);
            pixelLargest = std::max(pixelLargest, d);
        }
        small += pixelLargest > SMALL_STEP;
        large += pixelLargest > LARGE_STEP;
        const auto shown = (unsigned char)std::min(255, pixelLargest * DIFF_GAIN);
        std::fill_n(&diff[i * CHANNELS], CHANNELS, shown);
    }
    const double meanSquare = squares / double(count * CHANNELS);
    const double psnr = meanSquare == 0 ? INFINITY : 10.0 * std::log10(255.0 * 255.0 / meanSquare);
    std::printf("mean |d| r %.3f g %.3f b %.3f; max r %d g %d b %d; pixels > %d: %.3f %%, > %d: %.3f %%; "
                "PSNR %.1f dB\n",
                sum[0] / double(count), sum[1] / double(count), sum[2] / double(count), largest[0], largest[1],
                largest[2], SMALL_STEP, 100.0 * double(small) / double(count), LARGE_STEP,
                100.0 * double(large) / double(count), psnr);
    if (argc > 3 &&
        !stbi_write_png(argv[3], before.width, before.height, CHANNELS, diff.data(), before.width * CHANNELS)) {
        std::fprintf(stderr, "%s: could not write\n", argv[3]);
        return 2;
    }
    return 0;
}
