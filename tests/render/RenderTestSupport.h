#pragma once
// Shared builders for the render tests, and the headers they all draw on: the six real programs (built once per test
// program), a fixture owning each test's textures and meshes, state and uniform read-back.
// GL errors need no checks here: the test context fails the test that makes one.

#include "support/GlContext.h"

#include "assets/Material.h"
#include "assets/Model.h"
#include "assets/ModelLoader.h"
#include "assets/Terrain.h"
#include "render/Entity.h"
#include "render/EntityRenderer.h"
#include "render/EntityShader.h"
#include "render/GuiElement.h"
#include "render/GuiRenderer.h"
#include "render/GuiShader.h"
#include "render/Light.h"
#include "render/SceneRenderer.h"
#include "render/SkyboxRenderer.h"
#include "render/SkyboxShader.h"
#include "render/TerrainShader.h"
#include "render/WaterRenderer.h"
#include "render/WaterShader.h"
#include "render/WaterTargets.h"
#include "render/WaterTile.h"
#include "world/Camera.h"
#include "world/Player.h"
#include "world/Transforms.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <tuple>
#include <utility>
#include <vector>

struct Programs {
    EntityShader entity{"Shaders/entityVertexShader.vert", "Shaders/entityFragmentShader.frag"};
    TerrainShader terrain{"Shaders/terrainVertexShader.vert", "Shaders/terrainFragmentShader.frag"};
    SkyboxShader skybox{"Shaders/skyboxVertexShader.vert", "Shaders/skyboxFragmentShader.frag"};
    WaterShader water{"Shaders/waterVertexShader.vert", "Shaders/waterFragmentShader.frag"};
    GuiShader gui{"Shaders/guiVertexShader.vert", "Shaders/guiFragmentShader.frag"};
    GuiShader text{"Shaders/guiTextVertexShader.vert", "Shaders/guiFragmentShader.frag"};
};

inline Programs& programs() {
    requireGlContext();
    static Programs built;
    return built;
}

template <int N>
std::array<float, N> readUniform(GLuint program, const char* name) {
    std::array<float, N> values{};
    const GLint location = glGetUniformLocation(program, name);
    EXPECT_NE(location, -1) << name;
    glGetUniformfv(program, location, values.data());
    return values;
}

inline void expectUniform(GLuint program, const char* name, const std::vector<float>& expected) {
    const auto values = readUniform<16>(program, name);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(values[i], expected[i], 1e-5f) << name << " component " << i;
    }
}

inline GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

inline std::array<GLint, 4> viewport() {
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}
constexpr std::array<GLint, 4> WINDOW_VIEWPORT{0, 0, 1024, 768};

// Little-endian RGBA packing, matching the byte order glTexImage2D reads.
constexpr std::uint32_t rgba(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a = 255) {
    return r | (g << 8) | (b << 16) | (a << 24);
}

// The window as the target, black, depth-tested, back faces culled, no blending: the
// state a frame of the game starts in.
inline void clearWindow() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1024, 768);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

struct Pixel {
    int r = 0, g = 0, b = 0;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

inline bool isNear(const Pixel& a, const Pixel& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// x from the left, y from the top of the window, as a screenshot would number them.
inline Pixel readWindowPixel(int x, int yFromTop) {
    unsigned char p[4] = {};
    glReadPixels(x, 768 - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// Owns what a test makes: its loader's meshes and the textures made with texture().
class RenderTest : public testing::Test {
protected:
    // Each test may run alone in its own process (CTest does so), before anything else made the context.
    RenderTest() { requireGlContext(); }
    void TearDown() override {
        glDeleteTextures(GLsizei(textures.size()), textures.data());
        loader.cleanUp();
    }

    // One level of unfiltered texels, one RGBA colour each, rows given top row first as
    // an image file would.
    GLuint texture(int width, int height, const std::vector<std::uint32_t>& rgbaTexels) {
        textures.push_back(0);
        glGenTextures(1, &textures.back());
        glBindTexture(GL_TEXTURE_2D, textures.back());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgbaTexels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        return textures.back();
    }
    GLuint texture(std::uint32_t rgbaColour) { return texture(1, 1, {rgbaColour}); }

    // A 2 x 2 square in the x-y plane facing +z (counter-clockwise seen from +z), centred on the origin.
    Mesh* square() {
        return loader.uploadMesh({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 1, 1, 1, 1, 0, 0, 0},
                                 {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2, 0, 2, 3});
    }

    ModelLoader loader;
    std::vector<GLuint> textures;
};
