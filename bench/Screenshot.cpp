#include "Screenshot.h"

#include <GL/glew.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <vector>

bool saveScreenshot(const std::string& path, int width, int height) {
    const size_t row = size_t(width) * 3;
    std::vector<unsigned char> pixels(row * size_t(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // GL rows run bottom to top.
    for (size_t y = 0; y < size_t(height) / 2; ++y) {
        std::swap_ranges(pixels.begin() + long(y * row), pixels.begin() + long((y + 1) * row),
                         pixels.begin() + long((size_t(height) - 1 - y) * row));
    }
    return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), int(row)) != 0;
}
