#include "Image.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using Bytes = std::vector<std::uint8_t>;

void appendBigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(std::uint8_t(value >> shift));
    }
}

std::uint32_t crc32(const std::uint8_t* data, size_t length) {
    static const auto TABLE = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            table[n] = c;
        }
        return table;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        c = TABLE[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void appendChunk(Bytes& out, const char* type, const Bytes& body) {
    appendBigEndian(out, std::uint32_t(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    appendBigEndian(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes storedZlib(const Bytes& data) {
    constexpr size_t MAX_BLOCK = 65535;
    Bytes out = {0x78, 0x01}; // deflate with a 32 KB window; 0x7801 is a multiple of 31
    size_t offset = 0;
    do {
        const size_t count = std::min(MAX_BLOCK, data.size() - offset);
        const bool last = offset + count == data.size();
        out.push_back(last ? 1 : 0); // final-block bit, block type 00
        out.push_back(std::uint8_t(count & 0xFF));
        out.push_back(std::uint8_t(count >> 8));
        out.push_back(std::uint8_t(~count & 0xFF));
        out.push_back(std::uint8_t((~count >> 8) & 0xFF));
        out.insert(out.end(), data.begin() + long(offset), data.begin() + long(offset + count));
        offset += count;
    } while (offset < data.size());
    std::uint32_t a = 1, b = 0; // Adler-32
    for (const std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    appendBigEndian(out, (b << 16) | a);
    return out;
}

// 8-bit PNG with unfiltered rows in stored blocks: several times faster to decode
// than compressed data, and the decoder does not have to undo row filters.
bool writeStoredPng(const std::string& path, const Image& image) {
    static const std::uint8_t COLOUR_TYPE[] = {0, 0, 4, 2, 6}; // by channel count
    Bytes header;
    appendBigEndian(header, std::uint32_t(image.width));
    appendBigEndian(header, std::uint32_t(image.height));
    header.insert(header.end(), {8, COLOUR_TYPE[image.channels], 0, 0, 0});
    const size_t rowBytes = size_t(image.width) * size_t(image.channels);
    Bytes rows;
    rows.reserve((rowBytes + 1) * size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(0); // filter: none
        const std::uint8_t* row = image.at(0, y);
        rows.insert(rows.end(), row, row + rowBytes);
    }
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", storedZlib(rows));
    appendChunk(file, "IEND", {});
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

std::vector<WrittenImage>& registry() {
    static std::vector<WrittenImage> images;
    return images;
}
}

void savePng(const std::string& dir, const std::string& name, const Image& image, PngStorage storage) {
    const std::string path = dir + "/" + name;
    const bool written = storage == PngStorage::FAST_TO_DECODE
                             ? writeStoredPng(path, image)
                             : stbi_write_png(path.c_str(), image.width, image.height, image.channels,
                                              image.pixels.data(), image.width * image.channels) != 0;
    if (!written) {
        std::fprintf(stderr, "wm_generate: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    registry().push_back({name, image});
}

const std::vector<WrittenImage>& writtenImages() {
    return registry();
}

std::uint64_t Rng::next() {
    // splitmix64: small, fast and identical on every platform.
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}
