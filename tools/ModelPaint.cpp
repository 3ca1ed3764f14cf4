#include "ModelPaint.h"

#include <algorithm>
#include <vector>

Colour mix(const Colour& a, const Colour& b, double t) {
    return a * (1.0 - t) + b * t;
}

double clamp01(double x) {
    return std::min(1.0, std::max(0.0, x));
}

double smoothStep(double edge0, double edge1, double x) {
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

void paintRect(Image& image, const PixelRect& rect, const std::function<Paint(const Texel&)>& paint) {
    for (int y = rect.y0; y < rect.y1; ++y) {
        for (int x = rect.x0; x < rect.x1; ++x) {
            Texel texel;
            texel.x = x - rect.x0;
            texel.y = y - rect.y0;
            texel.s = (texel.x + 0.5) / rect.width();
            texel.t = (texel.y + 0.5) / rect.height();
            const Paint p = paint(texel);
            std::uint8_t* pixel = image.at(x, y);
            pixel[0] = toByte(p.colour.r);
            pixel[1] = toByte(p.colour.g);
            pixel[2] = toByte(p.colour.b);
            if (image.channels == 4)
                pixel[3] = toByte(p.alpha);
        }
    }
}

void blendPixel(Image& image, int x, int y, const Colour& colour, double coverage) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || coverage <= 0.0)
        return;
    coverage = std::min(coverage, 1.0);
    std::uint8_t* pixel = image.at(x, y);
    const double below = image.channels == 4 ? pixel[3] / 255.0 : 1.0;
    const double alpha = coverage + below * (1.0 - coverage);
    const double channels[3] = {colour.r, colour.g, colour.b};
    for (int c = 0; c < 3; ++c)
        pixel[c] = toByte((channels[c] * coverage + pixel[c] * below * (1.0 - coverage)) / alpha);
    if (image.channels == 4)
        pixel[3] = toByte(alpha * 255.0);
}

Colour colourAt(const Image& image, int x, int y) {
    const std::uint8_t* pixel = image.at(x, y);
    return {double(pixel[0]), double(pixel[1]), double(pixel[2])};
}

void padTransparentColours(Image& image) {
    if (image.channels != 4)
        return;
    std::vector<char> known(size_t(image.width) * image.height, 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            known[size_t(y) * image.width + x] = image.at(x, y)[3] > 0;
    // Grow the coloured area one ring at a time from the average of known neighbours.
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<char> next = known;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (known[size_t(y) * image.width + x])
                    continue;
                double sum[3] = {0, 0, 0};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = (x + dx + image.width) % image.width,
                                  ny = (y + dy + image.height) % image.height;
                        if (!known[size_t(ny) * image.width + nx])
                            continue;
                        for (int c = 0; c < 3; ++c)
                            sum[c] += image.at(nx, ny)[c];
                        ++count;
                    }
                }
                if (count == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    image.at(x, y)[c] = toByte(sum[c] / count);
                next[size_t(y) * image.width + x] = 1;
                changed = true;
            }
        }
        known.swap(next);
    }
}
