#pragma once
// A generated image from Resources/, decoded to RGBA whatever the file holds.

#include <SOIL/SOIL.h>

#include <string>
#include <vector>

struct ResourceImage {
    int width = 0, height = 0, channels = 0; // channels as stored in the file
    std::vector<unsigned char> rgba;
};

inline std::string resourcePath(const std::string& name) {
    return std::string(WM_SOURCE_DIR) + "/Resources/" + name;
}

inline ResourceImage loadResourceImage(const std::string& name) {
    ResourceImage image;
    unsigned char* data = SOIL_load_image(resourcePath(name).c_str(), &image.width, &image.height, &image.channels,
                                          SOIL_LOAD_RGBA);
    if (data)
        image.rgba.assign(data, data + size_t(image.width) * image.height * 4);
    SOIL_free_image_data(data);
    return image;
}
