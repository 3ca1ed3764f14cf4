#include "RenderTestSupport.h"

#include "render/SceneRenderer.h"
#include "render/SkyboxRenderer.h"
#include "world/Camera.h"

#include <string>

namespace {

// Each face of the test sky: its top quarter in one colour, the rest a darker one.
struct Face {
    const char* name;
    std::uint32_t top, rest;
};
// Cube-map order: +x, -x, +y, -y, +z, -z.
const Face FACES[] = {
    {"+x", rgba(255, 0, 0), rgba(128, 0, 0)},   {"-x", rgba(0, 255, 0), rgba(0, 128, 0)},
    {"+y", rgba(0, 0, 255), rgba(0, 0, 128)},   {"-y", rgba(255, 255, 0), rgba(128, 128, 0)},
    {"+z", rgba(255, 0, 255), rgba(128, 0, 128)}, {"-z", rgba(0, 255, 255), rgba(0, 128, 128)},
};
constexpr int FACE_SIDE = 4;

Pixel pixelOfTexel(std::uint32_t colour) {
    return {int(colour & 255), int((colour >> 8) & 255), int((colour >> 16) & 255)};
}

class SkyRendering : public RenderTest {
protected:
    void SetUp() override {
        // The sky's own images stand in for the game's; rows are given top first, as
        // the image files hold them.
        glBindTexture(GL_TEXTURE_CUBE_MAP, sky.getTexture());
        for (int face = 0; face < 6; ++face) {
            std::vector<std::uint32_t> texels(FACE_SIDE * FACE_SIDE, FACES[face].rest);
            std::fill(texels.begin(), texels.begin() + FACE_SIDE, FACES[face].top);
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA, FACE_SIDE, FACE_SIDE, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, texels.data());
        }
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        textures.push_back(sky.getTexture()); // the loader does not keep cube maps
    }

    // The sky in the middle of the window, looking along yaw with pitch (negative looks up).
    Pixel skyAhead(float yaw, float pitch) {
        clearWindow();
        Camera camera;
        camera.position = Vec3(123, 45, -67); // the sky keeps its distance wherever the eye is
        camera.yaw = yaw;
        camera.pitch = pitch;
        sky.render(camera, SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b);
        return readWindowPixel(512, 384);
    }

    SkyboxRenderer sky{programs().skybox, loader, Transforms::makeProjectionMatrix(1024, 768)};
};

}

TEST_F(SkyRendering, EachFaceLiesInItsOwnDirectionWithItsTopRowUpAndTheFogBandBelow) {
    // Yaw 0 looks along -z, 90 along +x. Looking up 35 degrees meets a side face 0.7 of
    // its half-height above the horizon, in its top quarter; 20 degrees meets it at 0.36,
    // below that quarter, and still above the fog band (which ends at a sine of 0.3).
    const struct {
        float yaw;
        int face;
    } sides[] = {{0, 5}, {90, 0}, {180, 4}, {270, 1}};
    for (const auto& side : sides) {
        SCOPED_TRACE(FACES[side.face].name);
        EXPECT_EQ(skyAhead(side.yaw, -35), pixelOfTexel(FACES[side.face].top));
        EXPECT_EQ(skyAhead(side.yaw, -20), pixelOfTexel(FACES[side.face].rest));
    }
    // Overhead, the top row of the top face borders the -z face.
    EXPECT_EQ(skyAhead(0, -60), pixelOfTexel(FACES[2].top));
    EXPECT_EQ(skyAhead(180, -60), pixelOfTexel(FACES[2].rest));

    // At and below the horizon only the fog colour is left.
    for (const float pitch : {0.0f, 60.0f}) {
        const Pixel fog = skyAhead(90, pitch);
        EXPECT_TRUE(isNear(fog, toPixel(SKY_COLOUR), 1)) << fog;
    }
}
