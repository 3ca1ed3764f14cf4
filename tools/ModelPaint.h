#pragma once
// Small painting helpers shared by the model textures and the GUI images: colours,
// rectangle fills driven by a per-texel function, alpha blending and edge padding.

#include "Image.h"

#include <functional>

struct Colour {
    double r = 0.0, g = 0.0, b = 0.0; // 0..255

    Colour operator*(double f) const { return {r * f, g * f, b * f}; }
    Colour operator+(const Colour& o) const { return {r + o.r, g + o.g, b + o.b}; }
};

Colour mix(const Colour& a, const Colour& b, double t);
double clamp01(double x);
double smoothStep(double edge0, double edge1, double x);

// An area of an image in pixels, x1 and y1 exclusive.
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

// One texel handed to a paint function: s, t run 0..1 over the rectangle (t downwards),
// x, y are the pixel's column and row inside it.
struct Texel {
    double s = 0.0, t = 0.0;
    int x = 0, y = 0;
};

struct Paint {
    Colour colour;
    double alpha = 255.0; // 0..255
};

// Stores paint(texel) into every pixel of rect (RGB or RGBA images).
void paintRect(Image& image, const PixelRect& rect, const std::function<Paint(const Texel&)>& paint);
// Lays colour over the pixel with the given coverage (0..1); alpha grows accordingly.
void blendPixel(Image& image, int x, int y, const Colour& colour, double coverage);
Colour colourAt(const Image& image, int x, int y);
// Gives fully transparent texels the colour of nearby opaque ones, so that filtering and
// mip-maps do not pull a dark fringe into cut-out edges. Alpha stays untouched.
void padTransparentColours(Image& image);
