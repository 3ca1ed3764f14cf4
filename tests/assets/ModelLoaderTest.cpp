#include "assets/ModelLoader.h"
#include "assets/GlReadback.h"
#include "assets/Mesh.h"
#include "assets/TestFiles.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

class ModelLoaderTest : public testing::Test {
protected:
    void SetUp() override { requireGlContext(); }
    void TearDown() override { loader.cleanUp(); }

    ModelLoader loader;
};

}

TEST_F(ModelLoaderTest, MeshesGetABufferPerAttribute) {
    const std::vector<float> normals{0, 0, 1, 0, 0.6f, 0.8f, 1, 0, 0};
    const Mesh* first = loader.uploadMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1}, normals, {0, 1, 2});
    const Mesh* other = loader.uploadMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1}, normals, {0, 1, 2});
    const Mesh* quad = loader.uploadMesh(std::vector<float>(8, 0.5f), 2); // position-only, 2D
    EXPECT_EQ(quad->vertexCount, 4);
    EXPECT_EQ(loader.vertexArrays(), (std::vector<GLuint>{first->vertexArray, other->vertexArray, quad->vertexArray}));
    EXPECT_EQ(std::set<unsigned int>(loader.buffers().begin(), loader.buffers().end()).size(), 11u);
    EXPECT_EQ(readIndices(other->vertexArray), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(readAttribute(other->vertexArray, 3), normals) << "normals stand in for the tangents";
}

// Its warning is checked on the game.
TEST_F(ModelLoaderTest, CleanUpDeletesEveryNameEvenOfMissingImages) {
    loader.uploadMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1}, {0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2});
    loader.uploadMesh(std::vector<float>(8, 0.5f), 2);
    loader.loadTexture(writePng("loaderCleanUp.png", 1, 1, 4, {1, 2, 3, 4}));
    testing::internal::CaptureStderr();
    const GLuint missing = loader.loadTexture("tests/data/noSuchImage.png");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("tests/data/noSuchImage.png"), std::string::npos);
    const std::vector<unsigned int> vertexArrays = loader.vertexArrays(), buffers = loader.buffers(),
                                    textures = loader.textures();
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[1], missing);
    loader.cleanUp();
    EXPECT_TRUE(loader.vertexArrays().empty() && loader.buffers().empty() && loader.textures().empty());
    for (const unsigned int name : vertexArrays)
        EXPECT_FALSE(glIsVertexArray(name)) << name;
    for (const unsigned int name : buffers)
        EXPECT_FALSE(glIsBuffer(name)) << name;
    for (const unsigned int name : textures)
        EXPECT_FALSE(glIsTexture(name)) << name;
}

TEST_F(ModelLoaderTest, CubeMapFacesWithUnalignedRowsFillTheirFacesInOrder) {
    std::vector<std::string> faces;
    for (unsigned char face = 0; face < 6; ++face) {
        std::vector<unsigned char> rgb(27); // 9-byte rows; each face's bytes count up from face * 30
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = (unsigned char)(face * 30 + i);
        faces.push_back(writePng("loaderSky" + std::to_string(face) + ".png", 3, 3, 3, rgb));
    }
    const GLuint cube = loader.loadCubeMap(faces);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
    for (unsigned char face = 0; face < 6; ++face) {
        std::vector<unsigned char> rgba(36); // read back as RGBA, whose rows are always aligned
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        EXPECT_EQ(std::make_pair(int(rgba[0]), int(rgba[34])), std::make_pair(face * 30, face * 30 + 26)) << int(face);
    }
    glDeleteTextures(1, &cube);
}

// Imported models (the cottage: its flipped v and its tangents) show in the reference frames.

// The loader builds the levels of power-of-two images itself; they must be the ones
// OpenGL builds from the same image, and other sizes must still get a whole chain.
TEST_F(ModelLoaderTest, MipLevelsAreOpenGlsOwn) {
    for (const auto& [width, height] : {std::pair{16, 4}, std::pair{2, 8}, std::pair{6, 3}}) {
        std::vector<unsigned char> rgba(size_t(width) * height * 4);
        unsigned int noise = 12345;
        for (unsigned char& byte : rgba)
            byte = (unsigned char)((noise = noise * 1103515245u + 12345u) >> 23);
        const std::string name = "loaderNoise" + std::to_string(width) + "x" + std::to_string(height) + ".png";
        const GLuint loaded = loader.loadTexture(writePng(name, width, height, 4, rgba));
        GLuint reference = 0;
        glGenTextures(1, &reference);
        glBindTexture(GL_TEXTURE_2D, reference);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        const int levels = 1 + int(std::log2(std::max(width, height)));
        for (int level = 0; level <= levels; ++level) {
            const auto texels = [level](GLuint texture) {
                glBindTexture(GL_TEXTURE_2D, texture);
                GLint levelWidth = 0, levelHeight = 0;
                glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &levelWidth);
                glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &levelHeight);
                std::vector<unsigned char> read(size_t(levelWidth) * levelHeight * 4);
                if (!read.empty())
                    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
                return read;
            };
            const std::vector<unsigned char> expected = texels(reference);
            EXPECT_EQ(expected.empty(), level == levels) << "the chain ends at 1 x 1";
            EXPECT_EQ(texels(loaded), expected) << width << " x " << height << ", level " << level;
        }
        glDeleteTextures(1, &reference);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
