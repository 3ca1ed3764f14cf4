#include "Generators.h"

#include "Image.h"
#include "Noise.h"
#include "SkyBox.h"

#include <cstdint>

namespace {

constexpr int DUDV_SIZE = 256;
constexpr int DUDV_CELLS = 4;            // noise cells across one tile of the water
constexpr double DUDV_AMPLITUDE = 150.0; // 8-bit units per unit of noise around 128

// Water distortion: red and green are two independent smooth offsets around 128, blue
// stays 0. Periodic noise, so the map repeats seamlessly as it scrolls and tiles.
Image makeWaterDudv() {
    Image image(DUDV_SIZE, DUDV_SIZE, 3);
    for (int y = 0; y < DUDV_SIZE; ++y) {
        for (int x = 0; x < DUDV_SIZE; ++x) {
            const double u = (x + 0.5) / DUDV_SIZE * DUDV_CELLS, v = (y + 0.5) / DUDV_SIZE * DUDV_CELLS;
            std::uint8_t* p = image.at(x, y);
            p[0] = toByte(128.0 + DUDV_AMPLITUDE * noise::fbm2(u, v, 5101, 4, DUDV_CELLS, 0.55));
            p[1] = toByte(128.0 + DUDV_AMPLITUDE * noise::fbm2(u, v, 5102, 4, DUDV_CELLS, 0.55));
            p[2] = 0;
        }
    }
    return image;
}

}

void generateSky(const std::string& resourcesDir) {
    const char* faceFiles[] = {"skyboxRight.png",  "skyboxLeft.png", "skyboxTop.png",
                               "skyboxBottom.png", "skyboxBack.png", "skyboxFront.png"};
    for (int face = 0; face < 6; ++face)
        savePng(resourcesDir, faceFiles[face], sky::makeSkyFace(face));
    savePng(resourcesDir, "waterDUDV.png", makeWaterDudv());
}
