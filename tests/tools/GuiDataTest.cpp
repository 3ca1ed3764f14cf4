// Checks the generated GUI images: sizes, cut-out shapes, colours and drawn labels.
// The images are stored two thirds as high as they show on screen.
#include "tools/ResourceImage.h"

#include <gtest/gtest.h>

namespace {

bool isLight(const unsigned char* p) { return p[0] + p[1] + p[2] > 3 * 235; }
bool isInk(const unsigned char* p) { return p[0] + p[1] + p[2] < 3 * 110; }

// Opaque pixels in rows y0..y1 for which `test` holds, leaving out `margin` columns at each side.
template <typename Test>
int countOpaque(const ResourceImage& image, int y0, int y1, Test test, int margin = 0) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = margin; x < image.width - margin; ++x)
            count += image.at(x, y)[3] == 255 && test(image.at(x, y));
    return count;
}

// The GUI shader blends by alpha: rounded corners must be clear and the body solid.
void expectCutOut(const ResourceImage& image, int width, int height) {
    ASSERT_TRUE(image.width == width && image.height == height) << image.width << " x " << image.height;
    for (const int x : {0, width - 1})
        for (const int y : {0, height - 1}) EXPECT_EQ(image.at(x, y)[3], 0) << x << "," << y;
    EXPECT_EQ(image.at(width / 2, height / 2)[3], 255);
    EXPECT_EQ(image.at(width / 2, height / 6)[3], 255);
}

}

TEST(GuiData, QuestPanelIsARoundedParchmentWithTextRows) {
    const ResourceImage panel = loadResourceImage("guiQuest.png");
    ASSERT_NO_FATAL_FAILURE(expectCutOut(panel, 512, 256));
    constexpr int FRAME = 48;
    const int inkHeading = countOpaque(panel, 32, 69, isInk, FRAME);
    EXPECT_GT(inkHeading, 600);
    EXPECT_GT(countOpaque(panel, 112, 131, isInk, FRAME), 450); // the quest line
    EXPECT_GT(inkHeading, 20 * (countOpaque(panel, 141, 167, isInk, FRAME) + 1)) << "the gap below is blank";
}

TEST(GuiData, ButtonsAreGreenReadyAndRedResetWithDifferentLightLabels) {
    const ResourceImage ready = loadResourceImage("guiReadyButton.png");
    const ResourceImage reset = loadResourceImage("guiResetButton.png");
    for (const ResourceImage* button : {&ready, &reset}) {
        ASSERT_NO_FATAL_FAILURE(expectCutOut(*button, 256, 128));
        EXPECT_GT(countOpaque(*button, 51, 77, isLight), 900) << "lettering across the middle";
        EXPECT_EQ(countOpaque(*button, 9, 20, isLight), 0) << "none along the top edge";
    }
    const auto green = [](const unsigned char* p) { return p[1] > 1.3 * p[0]; };
    const auto red = [](const unsigned char* p) { return p[0] > 1.3 * p[1]; };
    EXPECT_GT(countOpaque(ready, 13, 115, green), 10 * countOpaque(ready, 13, 115, red));
    EXPECT_GT(countOpaque(reset, 13, 115, red), 10 * countOpaque(reset, 13, 115, green));
    int differentLetterPixels = 0;
    for (int y = 51; y < 77; ++y)
        for (int x = 0; x < ready.width; ++x)
            differentLetterPixels += isLight(ready.at(x, y)) != isLight(reset.at(x, y));
    EXPECT_GT(differentLetterPixels, 300);
}
