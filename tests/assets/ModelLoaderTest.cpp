#include "assets/GlReadback.h"
#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "assets/TestFiles.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

constexpr float TOLERANCE = 1e-6f;

class ModelLoaderTest : public testing::Test {
protected:
    void SetUp() override { requireGlContext(); }
    void TearDown() override {
        loader.cleanUp();
        EXPECT_EQ(takeGlError(), GLenum(GL_NO_ERROR));
    }

    Mesh* uploadTriangle() {
        return loader.uploadMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1}, normals, {0, 1, 2});
    }

    GLint attributeSize(const Mesh* mesh, int attribute) {
        glBindVertexArray(mesh->vertexArray);
        GLint size = 0;
        glGetVertexAttribiv(GLuint(attribute), GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glBindVertexArray(0);
        return size;
    }

    GLint textureParameter(GLenum target, GLuint texture, GLenum parameter) {
        glBindTexture(target, texture);
        GLint value = 0;
        glGetTexParameteriv(target, parameter, &value);
        return value;
    }

    const std::vector<float> normals{0, 0, 1, 0, 0.6f, 0.8f, 1, 0, 0};
    ModelLoader loader;
};

// Two triangles in the z = 0 plane, u along +x, with texture coordinate (0.2, 0.3) at the origin.
const char* const TEXTURED_SQUARE = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                    "vt 0.2 0.3\nvt 0.6 0.3\nvt 0.6 0.9\nvt 0.2 0.9\n"
                                    "f 1/1 2/2 3/3\nf 1/1 3/3 4/4\n";

std::set<std::pair<float, float>> pairsOf(const std::vector<float>& values) {
    std::set<std::pair<float, float>> pairs;
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        pairs.insert({values[i], values[i + 1]});
    }
    return pairs;
}

}

TEST_F(ModelLoaderTest, IndexedMeshGetsFourAttributesAndAnIndexBuffer) {
    const Mesh* first = uploadTriangle();
    const Mesh* second = uploadTriangle();
    EXPECT_EQ(first->vertexCount, 3);
    EXPECT_EQ(loader.vertexArrays(), (std::vector<unsigned int>{first->vertexArray, second->vertexArray}));
    ASSERT_EQ(loader.buffers().size(), 10u);
    EXPECT_EQ(std::set<unsigned int>(loader.buffers().begin(), loader.buffers().end()).size(), 10u);
    EXPECT_EQ(readIndices(first->vertexArray), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(readAttribute(first->vertexArray, 1), (std::vector<float>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(readAttribute(first->vertexArray, 2), normals);
    EXPECT_EQ(readAttribute(first->vertexArray, 3), normals);
    const GLint sizes[] = {attributeSize(first, 0), attributeSize(first, 1), attributeSize(first, 2),
                           attributeSize(first, 3)};
    EXPECT_EQ(std::vector<GLint>(std::begin(sizes), std::end(sizes)), (std::vector<GLint>{3, 2, 3, 3}));
}

TEST_F(ModelLoaderTest, EmptyIndexArrayGivesAnEmptyButValidMesh) {
    const Mesh* mesh = loader.uploadMesh({}, {}, {}, {});
    EXPECT_EQ(mesh->vertexCount, 0);
    EXPECT_TRUE(glIsVertexArray(mesh->vertexArray));
}

TEST_F(ModelLoaderTest, PositionOnlyMeshCountsVerticesByDimension) {
    const Mesh* quad = loader.uploadMesh(std::vector<float>(8, 0.5f), 2);
    const Mesh* cube = loader.uploadMesh(std::vector<float>(108, 0.5f), 3);
    EXPECT_EQ(quad->vertexCount, 4);
    EXPECT_EQ(cube->vertexCount, 36);
    EXPECT_EQ(attributeSize(quad, 0), 2);
    EXPECT_EQ(loader.buffers().size(), 2u);
    EXPECT_EQ(readAttribute(cube->vertexArray, 0).size(), 108u);
}

TEST_F(ModelLoaderTest, CleanUpDeletesEveryNameItRecorded) {
    uploadTriangle();
    loader.uploadMesh(std::vector<float>(8, 0.0f), 2);
    loader.loadTexture(writePng("loaderCleanUp.png", 1, 1, 4, {1, 2, 3, 4}));
    const std::vector<unsigned int> vertexArrays = loader.vertexArrays(), buffers = loader.buffers(),
                                    textures = loader.textures();
    ASSERT_EQ(vertexArrays.size() + buffers.size() + textures.size(), 9u);
    loader.cleanUp();
    EXPECT_TRUE(loader.vertexArrays().empty() && loader.buffers().empty() && loader.textures().empty());
    for (const unsigned int name : vertexArrays) {
        EXPECT_FALSE(glIsVertexArray(name)) << name;
    }
    for (const unsigned int name : buffers) {
        EXPECT_FALSE(glIsBuffer(name)) << name;
    }
    for (const unsigned int name : textures) {
        EXPECT_FALSE(glIsTexture(name)) << name;
    }
}

TEST_F(ModelLoaderTest, CleanUpOfAnEmptyLoaderTouchesNothing) {
    GLuint foreign = 0;
    glGenBuffers(1, &foreign);
    glBindBuffer(GL_ARRAY_BUFFER, foreign);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    loader.cleanUp();
    EXPECT_TRUE(glIsBuffer(foreign));
    glDeleteBuffers(1, &foreign);
}

TEST_F(ModelLoaderTest, TextureIsMipMappedRepeatingAndSharpened) {
    const GLuint texture = loader.loadTexture(writePng("loaderMips.png", 8, 4, 4, std::vector<unsigned char>(128, 90)));
    EXPECT_EQ(loader.textures(), std::vector<unsigned int>{texture});
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(1, 1));
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
    GLfloat bias = 0;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, &bias);
    EXPECT_EQ(bias, -0.5f);
    // The whole chain is complete: the smallest level holds the mean colour.
    unsigned char smallest[4] = {};
    glGetTexImage(GL_TEXTURE_2D, 3, GL_RGBA, GL_UNSIGNED_BYTE, smallest);
    EXPECT_EQ(smallest[0], 90);
}

TEST_F(ModelLoaderTest, GreyImageArrivesAsOpaqueRgbaAndIsNotCached) {
    const std::string path = writePng("loaderGrey.png", 2, 2, 1, {10, 80, 160, 250});
    const GLuint first = loader.loadTexture(path);
    const GLuint second = loader.loadTexture(path);
    EXPECT_NE(first, second);
    EXPECT_EQ(loader.textures(), (std::vector<unsigned int>{first, second}));
    glBindTexture(GL_TEXTURE_2D, second);
    std::vector<unsigned char> rgba(16);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    EXPECT_EQ(rgba, (std::vector<unsigned char>{10, 10, 10, 255, 80, 80, 80, 255, 160, 160, 160, 255, 250, 250, 250, 255}));
}

TEST_F(ModelLoaderTest, MissingImageWarnsAndStillRecordsTheName) {
    testing::internal::CaptureStderr();
    const GLuint texture = loader.loadTexture("tests/data/noSuchImage.png");
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find("tests/data/noSuchImage.png"), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
    EXPECT_EQ(loader.textures(), std::vector<unsigned int>{texture});
    EXPECT_TRUE(glIsTexture(texture));
}

TEST_F(ModelLoaderTest, CubeMapFillsTheSixFacesInListOrder) {
    std::vector<std::string> faces;
    for (unsigned char face = 0; face < 6; ++face) {
        // Odd-width RGB rows are not 4-byte aligned; each face's bytes start at its index.
        std::vector<unsigned char> rgb(27);
        for (size_t i = 0; i < rgb.size(); ++i) {
            rgb[i] = (unsigned char)(face * 30 + i);
        }
        faces.push_back(writePng("loaderSky" + std::to_string(face) + ".png", 3, 3, 3, rgb));
    }
    const GLuint cube = loader.loadCubeMap(faces);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_TRUE(loader.textures().empty());
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (unsigned char face = 0; face < 6; ++face) {
        std::vector<unsigned char> rgb(27);
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        EXPECT_EQ(rgb[0], face * 30) << int(face);
        EXPECT_EQ(rgb[26], face * 30 + 26) << int(face);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_EQ(textureParameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);
    glDeleteTextures(1, &cube);
}

TEST_F(ModelLoaderTest, ImportedModelHasFlippedVAndRealTangents) {
    const Mesh* mesh = loader.loadAssimpModel(writeTextFile("loaderSquare.obj", TEXTURED_SQUARE));
    EXPECT_EQ(mesh->vertexCount, 6);
    EXPECT_EQ(loader.buffers().size(), 5u);
    EXPECT_EQ(readAttribute(mesh->vertexArray, 0).size(), 12u); // shared corners joined
    const std::set<std::pair<float, float>> uv = pairsOf(readAttribute(mesh->vertexArray, 1));
    const std::set<std::pair<float, float>> flipped{{0.2f, 0.7f}, {0.6f, 0.7f}, {0.6f, 0.1f}, {0.2f, 0.1f}};
    ASSERT_EQ(uv.size(), 4u);
    for (auto expected = flipped.begin(), actual = uv.begin(); actual != uv.end(); ++expected, ++actual) {
        EXPECT_NEAR(actual->first, expected->first, TOLERANCE);
        EXPECT_NEAR(actual->second, expected->second, TOLERANCE);
    }
    const std::vector<float> normals = readAttribute(mesh->vertexArray, 2);
    const std::vector<float> tangents = readAttribute(mesh->vertexArray, 3);
    ASSERT_EQ(tangents.size(), 12u);
    for (size_t vertex = 0; vertex < 4; ++vertex) {
        EXPECT_NEAR(normals[vertex * 3 + 2], 1.0f, TOLERANCE);
        EXPECT_NEAR(tangents[vertex * 3], 1.0f, TOLERANCE) << "u runs along +x";
    }
}

TEST_F(ModelLoaderTest, ImportKeepsOnlyTheFirstMesh) {
    // Two materials keep the importer from merging the objects into one mesh.
    writeTextFile("loaderTwo.mtl", "newmtl Red\nKd 1 0 0\nnewmtl Blue\nKd 0 0 1\n");
    const std::string path = writeTextFile("loaderTwo.obj", "mtllib loaderTwo.mtl\n"
                                                            "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 0 0\nv 6 0 0\nv 5 1 0\n"
                                                            "v 6 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
                                                            "o First\nusemtl Red\nf 1/1 2/2 3/3\n"
                                                            "o Second\nusemtl Blue\nf 4/1 5/2 6/3\nf 5/2 7/1 6/3\n");
    const Mesh* mesh = loader.loadAssimpModel(path);
    EXPECT_EQ(mesh->vertexCount, 3);
    const std::vector<float> positions = readAttribute(mesh->vertexArray, 0);
    ASSERT_EQ(positions.size(), 9u);
    for (size_t vertex = 0; vertex < 3; ++vertex) {
        EXPECT_LE(positions[vertex * 3], 1.0f) << "a corner of the second object";
    }
}

TEST(ModelLoaderDeathTest, ImportFailuresEndStartUpNamingTheFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string notAModel = writeTextFile("loaderNotAModel.obj", "this is not a model\n");
    const std::string pointsOnly = writeTextFile("loaderPointsOnly.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
    const auto import = [](const std::string& path) {
        prepareFatalChild();
        ModelLoader loader;
        loader.loadAssimpModel(path);
    };
    EXPECT_EXIT(import("tests/data/noModel.obj"), testing::ExitedWithCode(69),
                "tests/data/noModel\\.obj: No such file or directory\nFailed to open tests/data/noModel\\.obj\n");
    EXPECT_EXIT(import(notAModel), testing::ExitedWithCode(69), "Failed to import .*loaderNotAModel\\.obj: ");
    EXPECT_EXIT(import(pointsOnly), testing::ExitedWithCode(69), "Failed to import .*loaderPointsOnly\\.obj: ");
}
