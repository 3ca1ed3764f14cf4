#include "RenderTestSupport.h"

namespace {

// Each face of the test sky in cube-map order (+x, -x, +y, -y, +z, -z): its top quarter
// in one colour, the rest in a darker one.
const Pixel TOPS[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}};
const Pixel RESTS[] = {{128, 0, 0}, {0, 128, 0}, {0, 0, 128}, {128, 128, 0}, {128, 0, 128}, {0, 128, 128}};
constexpr int FACE_SIDE = 4;

class SkyRendering : public RenderTest {
protected:
    void SetUp() override {
        // The sky's own images stand in for the game's; rows are given top first, as
        // the image files hold them.
        glBindTexture(GL_TEXTURE_CUBE_MAP, sky.getTexture());
        for (int face = 0; face < 6; ++face) {
            const Pixel top = TOPS[face], rest = RESTS[face];
            std::vector<std::uint32_t> texels(FACE_SIDE * FACE_SIDE, rgba(rest.r, rest.g, rest.b));
            std::fill(texels.begin(), texels.begin() + FACE_SIDE, rgba(top.r, top.g, top.b));
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
    // Overhead, the top row of the top face borders the -z face.
    const struct { float yaw, pitch; Pixel texel; } views[] = {
        {0, -35, TOPS[5]},   {0, -20, RESTS[5]},   {90, -35, TOPS[0]},  {90, -20, RESTS[0]}, {180, -35, TOPS[4]},
        {180, -20, RESTS[4]}, {270, -35, TOPS[1]}, {270, -20, RESTS[1]}, {0, -60, TOPS[2]},  {180, -60, RESTS[2]}};
    for (const auto& v : views) {
        EXPECT_EQ(skyAhead(v.yaw, v.pitch), v.texel) << "yaw " << v.yaw << ", pitch " << v.pitch;
    }
    // At and below the horizon only the fog colour is left.
    for (const float pitch : {0.0f, 60.0f}) {
        EXPECT_PRED3(isNear, skyAhead(90, pitch), toPixel(SKY_COLOUR), 1);
    }
}
