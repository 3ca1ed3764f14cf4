#pragma once
// An 8-bit image in memory and the one place that writes PNG files. Every image
// written is also remembered so that main can lay out the review contact sheet.

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;                 // 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA
    std::vector<std::uint8_t> pixels; // row 0 first, as the PNG stores it

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(size_t(w) * h * c, 0) {}

    std::uint8_t* at(int x, int y) { return &pixels[(size_t(y) * width + x) * channels]; }
    const std::uint8_t* at(int x, int y) const { return &pixels[(size_t(y) * width + x) * channels]; }
};

// The game decodes every texture at start-up, and inflating compressed image data was
// most of its loading time; its files are stored uncompressed and unfiltered, which
// reads several times faster. Images for people (docs/) stay compact.
enum class PngStorage { FAST_TO_DECODE, COMPACT };

// Writes dir/name as PNG; exits the generator with a message on failure.
void savePng(const std::string& dir, const std::string& name, const Image& image,
             PngStorage storage = PngStorage::FAST_TO_DECODE);

// All images written so far, in order, with their file names (for the contact sheet).
struct WrittenImage {
    std::string name;
    Image image;
};
const std::vector<WrittenImage>& writtenImages();

// Deterministic random numbers: no std distributions, whose output differs between libraries.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state(seed) {}
    std::uint64_t next();
    double uniform(); // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t state;
};

inline std::uint8_t toByte(double v) {
    if (v <= 0.0)
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<std::uint8_t>(v + 0.5);
}
