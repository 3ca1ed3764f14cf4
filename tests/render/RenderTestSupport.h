#pragma once
// Shared builders for the render tests: the five real programs (built once per test
// program), tiny textures and meshes made in code, and uniform read-back.

#include "support/GlContext.h"

#include "assets/Material.h"
#include "assets/Mesh.h"
#include "assets/Model.h"
#include "assets/ModelLoader.h"
#include "assets/Terrain.h"
#include "render/EntityShader.h"
#include "render/GuiShader.h"
#include "render/SkyboxShader.h"
#include "render/TerrainShader.h"
#include "render/WaterShader.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr float UNIFORM_TOLERANCE = 1e-5f;

struct Programs {
    EntityShader entity{"Shaders/entityVertexShader.vert", "Shaders/entityFragmentShader.frag"};
    TerrainShader terrain{"Shaders/terrainVertexShader.vert", "Shaders/terrainFragmentShader.frag"};
    SkyboxShader skybox{"Shaders/skyboxVertexShader.vert", "Shaders/skyboxFragmentShader.frag"};
    WaterShader water{"Shaders/waterVertexShader.vert", "Shaders/waterFragmentShader.frag"};
    GuiShader gui{"Shaders/guiVertexShader.vert", "Shaders/guiFragmentShader.frag"};
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


inline void expectUniform(GLuint program, const char* name, std::vector<float> expected) {
    float values[16] = {};
    const GLint location = glGetUniformLocation(program, name);
    ASSERT_NE(location, -1) << name;
    glGetUniformfv(program, location, values);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(values[i], expected[i], UNIFORM_TOLERANCE) << name << " component " << i;
    }
}

inline Mat4 readMatrix(GLuint program, const char* name) {
    const auto values = readUniform<16>(program, name);
    Mat4 m(1.0f);
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            m[c][r] = values[size_t(c * 4 + r)];
        }
    }
    return m;
}

// A texture of one RGBA colour per texel, rows given top row first as an image file would.
inline GLuint makeTexture(int width, int height, const std::vector<std::uint32_t>& rgbaTexels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgbaTexels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

inline GLuint makeSolidTexture(std::uint32_t rgba) { return makeTexture(1, 1, {rgba}); }

// Little-endian RGBA packing, matching the byte order glTexImage2D reads.
constexpr std::uint32_t rgba(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a = 255) {
    return r | (g << 8) | (b << 16) | (a << 24);
}

// A 2 x 2 square in the x-y plane facing +z (counter-clockwise seen from +z), centred on the origin.
inline Mesh* makeSquare(ModelLoader& loader) {
    return loader.uploadMesh({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 1, 1, 1, 1, 0, 0, 0},
                             {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2, 0, 2, 3});
}

// A flat terrain at height 0 with all six textures set to one white texel.
struct FlatTerrain {
    std::unique_ptr<Terrain> terrain;
    TerrainTexture texture;
    TerrainTextures textures;

    explicit FlatTerrain(ModelLoader& loader) {
        const std::vector<unsigned char> pixels(9, 128);
        terrain = std::make_unique<Terrain>(Terrain::buildGeometry(pixels.data(), 3));
        terrain->mesh = loader.uploadMesh(terrain->positions, terrain->textureCoords, terrain->normals,
                                          terrain->indices);
        texture.textureName = makeSolidTexture(rgba(255, 255, 255));
        textures = {&texture, &texture, &texture, &texture};
        terrain->textures = &textures;
        terrain->blendMap = &texture;
        terrain->lightMap = &texture;
    }
    ~FlatTerrain() { glDeleteTextures(1, &texture.textureName); }
};

struct Pixel {
    int r = 0, g = 0, b = 0;
};

// x from the left, y from the top of the window, as a screenshot would number them.
inline Pixel readWindowPixel(int x, int yFromTop, int windowHeight = 768) {
    unsigned char p[4] = {};
    glReadPixels(x, windowHeight - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}
