// wm_generate OUTPUT_ROOT: writes OUTPUT_ROOT/Resources/*, OUTPUT_ROOT/docs/assets.png and
// the desktop icon OUTPUT_ROOT/packaging/wm.png.
#include "Generators.h"
#include "Image.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Lays every texture written into one review sheet, 128 pixels a cell.
Image makeContactSheet() {
    constexpr int CELL = 128;
    constexpr int COLUMNS = 8;
    const auto& images = writtenImages();
    const int rows = int((images.size() + COLUMNS - 1) / COLUMNS);
    Image sheet(COLUMNS * CELL, std::max(rows, 1) * CELL, 3);
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& src = images[i].image;
        const int ox = int(i % COLUMNS) * CELL, oy = int(i / COLUMNS) * CELL;
        for (int y = 0; y < CELL; ++y) {
            for (int x = 0; x < CELL; ++x) {
                const std::uint8_t* p = src.at(x * src.width / CELL, y * src.height / CELL);
                // Checkerboard behind transparent texels, so alpha shows.
                const double back = ((x / 8 + y / 8) % 2) ? 200.0 : 150.0;
                double rgb[3];
                double alpha = 1.0;
                if (src.channels >= 3) {
                    rgb[0] = p[0];
                    rgb[1] = p[1];
                    rgb[2] = p[2];
                    if (src.channels == 4)
                        alpha = p[3] / 255.0;
                } else {
                    rgb[0] = rgb[1] = rgb[2] = p[0];
                    if (src.channels == 2)
                        alpha = p[1] / 255.0;
                }
                std::uint8_t* d = sheet.at(ox + x, oy + y);
                for (int c = 0; c < 3; ++c)
                    d[c] = toByte(rgb[c] * alpha + back * (1.0 - alpha));
            }
        }
    }
    return sheet;
}

}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wm_generate OUTPUT_ROOT\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::string resources = (root / "Resources").string();
    const std::string docs = (root / "docs").string();
    std::filesystem::create_directories(resources);
    std::filesystem::create_directories(docs);

    generateTerrain(resources);
    generateSky(resources);
    generateModels(resources);
    generateGui(resources);

    const Image sheet = makeContactSheet();
    savePng(docs, "assets.png", sheet, PngStorage::COMPACT);
    // After the sheet, which shows the game's textures only.
    const std::string packaging = (root / "packaging").string();
    std::filesystem::create_directories(packaging);
    generateIcon(packaging);
    return 0;
}
