#pragma once
// The single owner of every vertex array, buffer and 2D texture made at start-up:
// uploads arrays as meshes (one buffer per attribute), loads textures, and
// deletes all of it in cleanUp. Needs the GL context current.

#include "assets/Mesh.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ModelLoader {
public:
    unsigned int createVertexArray();
    void storeAttribute(int attribute, int components, const std::vector<float>& data);
    void storeAttribute(int attribute, unsigned int vertexCount, const float* triples);
    void storeIndices(const std::vector<int>& indices);
    void unbindVertexArray();

    // Indexed form: attribute 3 (tangent) receives a copy of the normals.
    Mesh* uploadMesh(const std::vector<float>& positions, const std::vector<float>& textureCoords,
                     const std::vector<float>& normals, const std::vector<int>& indices);
    // Position-only form; dimensions is 2 or 3.
    Mesh* uploadMesh(const std::vector<float>& positions, int dimensions);

    // An unreadable image prints one warning line and leaves the texture empty.
    unsigned int loadTexture(const std::string& path);
    // A texture whose texels the caller also reads: RGBA, top row first, empty when the
    // image could not be loaded.
    struct TextureImage {
        unsigned int texture = 0;
        int width = 0, height = 0; // texels
        std::vector<std::uint8_t> rgba;
    };
    TextureImage loadTextureImage(const std::string& path);
    // Faces in the order +x, -x, +y, -y, +z, -z; the name is not recorded for cleanUp.
    unsigned int loadCubeMap(const std::vector<std::string>& paths);
    // Reads, parses and uploads one OBJ file of the game's own subset. An unreadable or
    // malformed file ends start-up through fatalError ("<path>:<line>: <reason>" for malformed ones).
    Mesh* loadObjModel(const std::string& path);
    // Imports mesh 0 with real tangents; v is flipped by the importer.
    Mesh* loadAssimpModel(const std::string& path);

    void cleanUp();

    const std::vector<unsigned int>& vertexArrays() const { return vaos; }
    const std::vector<unsigned int>& buffers() const { return vbos; }
    const std::vector<unsigned int>& textures() const { return textureNames; }

private:
    std::vector<unsigned int> vaos;
    std::vector<unsigned int> vbos;
    std::vector<unsigned int> textureNames;
    // The Mesh records handed out; they outlive cleanUp but not the loader.
    std::vector<std::unique_ptr<Mesh>> meshes;

    unsigned int loadTexture(const std::string& path, TextureImage* kept);
    Mesh* keepMesh(unsigned int vertexArray, int vertexCount);
    Mesh* importAssimpModel(const std::string& path);
};
