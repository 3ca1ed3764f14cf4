#include "Image.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>

namespace {
std::vector<WrittenImage>& registry() {
    static std::vector<WrittenImage> images;
    return images;
}
}

void savePng(const std::string& dir, const std::string& name, const Image& image) {
    const std::string path = dir + "/" + name;
    if (!stbi_write_png(path.c_str(), image.width, image.height, image.channels,
                        image.pixels.data(), image.width * image.channels)) {
        std::fprintf(stderr, "wm_generate: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    registry().push_back({name, image});
}

const std::vector<WrittenImage>& writtenImages() { return registry(); }

std::uint64_t Rng::next() {
    // splitmix64: small, fast and identical on every platform.
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
