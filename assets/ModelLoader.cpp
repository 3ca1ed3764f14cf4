#include "assets/ModelLoader.h"

#include "app/FatalError.h"
#include "assets/DataFile.h"
#include "assets/Mesh.h"
#include "assets/MipLevels.h"
#include "assets/ObjParser.h"
#include "assets/PhaseTimer.h"

#include <GL/glew.h>
#include <SOIL/SOIL.h>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cerrno>
#include <fstream>
#include <iostream>
#include <new>
#include <utility>

namespace {

constexpr float LOD_BIAS = -0.5f;
// Tangent space, joined vertices, triangulation, smooth normals and the rest of the
// real-time quality preset, plus the v flip; spelled out because presets vary by version.
constexpr unsigned int IMPORT_FLAGS = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                                      aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_SplitLargeMeshes |
                                      aiProcess_LimitBoneWeights | aiProcess_ValidateDataStructure |
                                      aiProcess_ImproveCacheLocality | aiProcess_RemoveRedundantMaterials |
                                      aiProcess_SortByPType | aiProcess_FindDegenerates | aiProcess_FindInvalidData |
                                      aiProcess_GenUVCoords | aiProcess_FindInstances | aiProcess_OptimizeMeshes |
                                      aiProcess_FlipUVs | aiProcess_Debone;
static_assert(IMPORT_FLAGS == 0x4B79ECB, "the import flags the game's models were made with");

struct SoilImage {
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, channels = 0;
    std::string failure; // why there are no pixels

    SoilImage(const std::string& path, int forceChannels) : failure(DataFile::refusal(path)) {
        if (!failure.empty()) {
            return;
        }
        pixels = DataFile::decodeImage(path, width, height, channels, forceChannels);
        if (!pixels) {
            failure = SOIL_last_result();
        }
    }
    ~SoilImage() { SOIL_free_image_data(pixels); }
    // Drops the pixels of an image GL would not take.
    void refuse(std::string why) {
        SOIL_free_image_data(pixels);
        pixels = nullptr;
        failure = std::move(why);
    }
    SoilImage(const SoilImage&) = delete;
    SoilImage& operator=(const SoilImage&) = delete;
};

// GL refuses an image wider or higher than its limit (`limitName`) and leaves the texture
// empty; the image then counts as one that could not be loaded.
void refuseLargerThan(SoilImage& image, GLenum limitName) {
    GLint limit = 0;
    glGetIntegerv(limitName, &limit);
    if (!image.pixels || limit <= 0 || (image.width <= limit && image.height <= limit)) {
        return;
    }
    image.refuse(std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels, more than the " +
                 std::to_string(limit) + " a side that this GL takes");
}

// Uploads the RGBA image and every smaller level. The image's pixels are spent on the
// way: the levels are built in place.
void uploadWithMipLevels(SoilImage& image) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels);
    if (!MipLevels::canHalve(image.width, image.height)) {
        glGenerateMipmap(GL_TEXTURE_2D);
        return;
    }
    for (GLint level = 1; image.width > 1 || image.height > 1; ++level) {
        MipLevels::halve(image.pixels, image.width, image.height);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.pixels);
    }
}

void warnUnreadableImage(const std::string& path, const SoilImage& image) {
    std::cerr << "Warning: could not load image " << path << ": " << image.failure << std::endl;
}

// Opening the file first gives the system's reason, which the importer's message lacks.
void requireReadable(const std::string& path) {
    std::ifstream file;
    if (DataFile::refusal(path).empty()) {
        file.open(path);
    }
    if (!file.is_open()) {
        DataFile::printWhyUnreadable(path); // errno still holds the open's reason
        fatalError("Failed to open " + path);
    }
}

// Assimp catches what its import throws, running out of memory included, and keeps the
// exception's text as its error (its post-processing steps keep nothing else).
bool ranOutOfMemory(const Assimp::Importer& importer) {
    return std::string(importer.GetErrorString()) == std::bad_alloc().what();
}

}

unsigned int ModelLoader::createVertexArray() {
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    vaos.push_back(vao);
    glBindVertexArray(vao);
    return vao;
}

void ModelLoader::storeAttribute(int attribute, int components, const std::vector<float>& data) {
    GLuint vbo = 0;
    glGenBuffers(1, &vbo);
    vbos.push_back(vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(GLuint(attribute), components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ModelLoader::storeAttribute(int attribute, unsigned int vertexCount, const float* triples) {
    GLuint vbo = 0;
    glGenBuffers(1, &vbo);
    vbos.push_back(vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexCount) * 12, triples, GL_STATIC_DRAW);
    glVertexAttribPointer(GLuint(attribute), 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ModelLoader::storeIndices(const std::vector<int>& indices) {
    GLuint vbo = 0;
    glGenBuffers(1, &vbo);
    vbos.push_back(vbo);
    // Left bound: the element buffer becomes part of the bound vertex array.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, vbo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(int)), indices.data(), GL_STATIC_DRAW);
}

void ModelLoader::unbindVertexArray() {
    glBindVertexArray(0);
}

Mesh* ModelLoader::uploadMesh(const std::vector<float>& positions, const std::vector<float>& textureCoords,
                              const std::vector<float>& normals, const std::vector<int>& indices) {
    const unsigned int vao = createVertexArray();
    storeIndices(indices);
    storeAttribute(0, 3, positions);
    storeAttribute(1, 2, textureCoords);
    storeAttribute(2, 3, normals);
    // This form carries no tangents; the normals stand in so attribute 3 is never empty.
    storeAttribute(3, 3, normals);
    unbindVertexArray();
    return keepMesh(vao, int(indices.size()));
}

Mesh* ModelLoader::uploadMesh(const std::vector<float>& positions, int dimensions) {
    const unsigned int vao = createVertexArray();
    storeAttribute(0, dimensions, positions);
    unbindVertexArray();
    return keepMesh(vao, int(positions.size()) / dimensions);
}

unsigned int ModelLoader::loadTexture(const std::string& path) {
    return loadTexture(path, nullptr);
}

ModelLoader::TextureImage ModelLoader::loadTextureImage(const std::string& path) {
    TextureImage image;
    image.texture = loadTexture(path, &image);
    return image;
}

unsigned int ModelLoader::loadTexture(const std::string& path, TextureImage* kept) {
    const PhaseTimer timer(Phase::TEXTURES);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    SoilImage image(path, SOIL_LOAD_RGBA);
    refuseLargerThan(image, GL_MAX_TEXTURE_SIZE);
    if (image.pixels && kept) {
        // Copied before the upload, which spends the pixels on the mip-maps.
        kept->width = image.width;
        kept->height = image.height;
        kept->rgba.assign(image.pixels, image.pixels + size_t(image.width) * size_t(image.height) * 4);
    }
    if (image.pixels) {
        uploadWithMipLevels(image);
    } else {
        warnUnreadableImage(path, image);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, LOD_BIAS);
    textureNames.push_back(texture);
    return texture;
}

unsigned int ModelLoader::loadCubeMap(const std::vector<std::string>& paths) {
    const PhaseTimer timer(Phase::TEXTURES);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
    int faceSize = 0; // the first uploaded face's; the others must match it
    for (size_t i = 0; i < paths.size() && i < 6; ++i) {
        SoilImage image(paths[i], SOIL_LOAD_RGB);
        refuseLargerThan(image, GL_MAX_CUBE_MAP_TEXTURE_SIZE);
        if (image.pixels && (image.width != image.height || (faceSize != 0 && image.width != faceSize))) {
            // GL refuses such a face; say so rather than show a black sky without a word.
            image.refuse("a cube-map face of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                         " pixels, where " +
                         (faceSize != 0 ? "the faces are " + std::to_string(faceSize) + " pixels square"
                                        : "faces must be square"));
        }
        if (!image.pixels) {
            warnUnreadableImage(paths[i], image);
            continue;
        }
        faceSize = image.width;
        // Rows of odd-width RGB images are not 4-byte aligned.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i), 0, GL_RGB, image.width, image.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image.pixels);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    return texture;
}

Mesh* ModelLoader::loadObjModel(const std::string& path) {
    const PhaseTimer timer(Phase::MODELS);
    ObjParseResult parsed;
    bool readable = false;
    try {
        readable = parseObjFile(path, parsed);
    } catch (const std::bad_alloc&) {
        fatalOutOfMemory(path);
    }
    if (!readable) {
        DataFile::printWhyUnreadable(path);
        fatalError("Failed to open " + path);
    }
    if (!parsed.ok()) {
        fatalError(path + ":" + std::to_string(parsed.errorLine) + ": " + parsed.error);
    }
    const ObjData& data = parsed.data;
    return uploadMesh(data.positions, data.textureCoords, data.normals, data.indices);
}

Mesh* ModelLoader::loadAssimpModel(const std::string& path) {
    const PhaseTimer timer(Phase::MODELS);
    try {
        return importAssimpModel(path);
    } catch (const std::bad_alloc&) {
        fatalOutOfMemory(path);
    }
}

Mesh* ModelLoader::importAssimpModel(const std::string& path) {
    Assimp::Importer importer;
    requireReadable(path);
    const aiScene* scene = importer.ReadFile(path.c_str(), IMPORT_FLAGS);
    if (!scene && ranOutOfMemory(importer)) {
        throw std::bad_alloc(); // on to the loader's own message, past the importer's memory
    }
    if (!scene) {
        fatalError("Failed to import " + path + ": " + importer.GetErrorString());
    }
    if (scene->mNumMeshes == 0 || !scene->mMeshes || !scene->mMeshes[0]) {
        fatalError("Failed to import " + path + ": the file holds no mesh");
    }
    const aiMesh* mesh = scene->mMeshes[0];
    if (!mesh->HasTextureCoords(0) || !mesh->HasNormals() || !mesh->HasTangentsAndBitangents()) {
        fatalError("Failed to import " + path + ": mesh 0 lacks texture coordinates, normals or tangents");
    }
    std::vector<int> indices;
    indices.reserve(size_t(mesh->mNumFaces) * 3);
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices != 3) {
            fatalError("Failed to import " + path + ": face " + std::to_string(f) + " is not a triangle");
        }
        indices.insert(indices.end(), {int(face.mIndices[0]), int(face.mIndices[1]), int(face.mIndices[2])});
    }
    const unsigned int vao = createVertexArray();
    GLuint indexBuffer = 0;
    glGenBuffers(1, &indexBuffer);
    vbos.push_back(indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(int)), indices.data(), GL_STATIC_DRAW);
    storeAttribute(0, mesh->mNumVertices, &mesh->mVertices[0].x);
    std::vector<float> textureCoords;
    textureCoords.reserve(size_t(mesh->mNumVertices) * 2);
    for (unsigned int v = 0; v < mesh->mNumVertices; ++v) {
        textureCoords.push_back(mesh->mTextureCoords[0][v].x);
        textureCoords.push_back(mesh->mTextureCoords[0][v].y);
    }
    storeAttribute(1, 2, textureCoords);
    storeAttribute(2, mesh->mNumVertices, &mesh->mNormals[0].x);
    storeAttribute(3, mesh->mNumVertices, &mesh->mTangents[0].x);
    unbindVertexArray();
    return keepMesh(vao, int(indices.size()));
}

Mesh* ModelLoader::keepMesh(unsigned int vertexArray, int vertexCount) {
    meshes.push_back(std::make_unique<Mesh>(Mesh{vertexArray, vertexCount}));
    return meshes.back().get();
}

void ModelLoader::cleanUp() {
    for (const GLuint vao : vaos) {
        glDeleteVertexArrays(1, &vao);
    }
    for (const GLuint vbo : vbos) {
        glDeleteBuffers(1, &vbo);
    }
    for (const GLuint texture : textureNames) {
        glDeleteTextures(1, &texture);
    }
    vaos.clear();
    vbos.clear();
    textureNames.clear();
}
