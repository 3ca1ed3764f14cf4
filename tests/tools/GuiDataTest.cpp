// Checks the generated GUI images: sizes, cut-out shapes, colours and drawn labels.
#include <SOIL/SOIL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct GuiImage {
    int width = 0, height = 0, channels = 0;
    std::vector<unsigned char> pixels; // RGBA
    const unsigned char* at(int x, int y) const { return &pixels[(size_t(y) * width + x) * 4]; }
};

GuiImage load(const std::string& name) {
    GuiImage image;
    const std::string path = std::string(WM_SOURCE_DIR) + "/Resources/" + name;
    unsigned char* data = SOIL_load_image(path.c_str(), &image.width, &image.height, &image.channels, SOIL_LOAD_RGBA);
    if (!data) return image;
    image.pixels.assign(data, data + size_t(image.width) * image.height * 4);
    SOIL_free_image_data(data);
    return image;
}

void expectCutOutShape(const GuiImage& image) {
    ASSERT_FALSE(image.pixels.empty());
    EXPECT_EQ(image.channels, 4);
    const int right = image.width - 1, bottom = image.height - 1;
    for (const auto& corner : {std::make_pair(0, 0), std::make_pair(right, 0), std::make_pair(0, bottom),
                               std::make_pair(right, bottom)})
        EXPECT_EQ(image.at(corner.first, corner.second)[3], 0) << corner.first << "," << corner.second;
    EXPECT_EQ(image.at(image.width / 2, image.height / 2)[3], 255);
    EXPECT_EQ(image.at(image.width / 2, image.height / 6)[3], 255);
}

struct Counts {
    int light = 0, dark = 0, opaque = 0;
    double red = 0.0, green = 0.0;
};

// Counts opaque pixels in rows y0..y1, leaving out `margin` columns at each side.
Counts countBand(const GuiImage& image, int y0, int y1, int margin = 0) {
    Counts counts;
    for (int y = y0; y < y1; ++y) {
        for (int x = margin; x < image.width - margin; ++x) {
            const unsigned char* p = image.at(x, y);
            if (p[3] != 255) continue;
            ++counts.opaque;
            const int sum = p[0] + p[1] + p[2];
            counts.light += sum > 3 * 235;
            counts.dark += sum < 3 * 110;
            counts.red += p[0];
            counts.green += p[1];
        }
    }
    return counts;
}

}

TEST(GuiData, QuestPanelIsARoundedParchmentWithTextRows) {
    const GuiImage panel = load("guiQuest.png");
    ASSERT_EQ(panel.width, 512);
    ASSERT_EQ(panel.height, 384);
    expectCutOutShape(panel);
    // The heading and the quest line are ink on parchment; the gap between them is blank.
    constexpr int FRAME = 48;
    const int inkHeading = countBand(panel, 48, 104, FRAME).dark;
    const int inkQuest = countBand(panel, 168, 196, FRAME).dark;
    const int inkGap = countBand(panel, 212, 250, FRAME).dark;
    EXPECT_GT(inkHeading, 1000);
    EXPECT_GT(inkQuest, 800);
    EXPECT_GT(inkHeading, 20 * (inkGap + 1));
}

TEST(GuiData, ButtonsAreGreenReadyAndRedResetWithLightLabels) {
    const GuiImage ready = load("guiReadyButton.png");
    const GuiImage reset = load("guiResetButton.png");
    for (const GuiImage* button : {&ready, &reset}) {
        ASSERT_EQ(button->width, 256);
        ASSERT_EQ(button->height, 192);
        expectCutOutShape(*button);
        // Light lettering across the middle, none along the top edge.
        EXPECT_GT(countBand(*button, 76, 116).light, 1500);
        EXPECT_EQ(countBand(*button, 14, 30).light, 0);
    }
    const Counts green = countBand(ready, 20, 172), red = countBand(reset, 20, 172);
    EXPECT_GT(green.green, 1.3 * green.red);
    EXPECT_GT(red.red, 1.3 * red.green);
}

TEST(GuiData, ButtonLabelsDiffer) {
    const GuiImage ready = load("guiReadyButton.png");
    const GuiImage reset = load("guiResetButton.png");
    ASSERT_EQ(ready.pixels.size(), reset.pixels.size());
    int differentLetterPixels = 0;
    for (int y = 76; y < 116; ++y) {
        for (int x = 0; x < ready.width; ++x) {
            const bool lightReady = ready.at(x, y)[0] + ready.at(x, y)[1] + ready.at(x, y)[2] > 3 * 235;
            const bool lightReset = reset.at(x, y)[0] + reset.at(x, y)[1] + reset.at(x, y)[2] > 3 * 235;
            differentLetterPixels += lightReady != lightReset;
        }
    }
    EXPECT_GT(differentLetterPixels, 500);
}
