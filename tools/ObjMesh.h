#pragma once
// A triangle mesh under construction and its Wavefront OBJ writer. Every vertex carries
// its own position, texture coordinate and normal, and is written as one v, vt and vn
// line each, so a face corner is always i/i/i: the game's parser keeps one output vertex
// per position and would otherwise mix up the attributes of shared positions.
// Texture coordinates are held with v = 0 at the image's top row.

#include <glm/glm.hpp>

#include <string>
#include <vector>

struct ObjVertex {
    glm::dvec3 position{0.0};
    glm::dvec2 uv{0.0};     // image space: v = 0 is the top row
    glm::dvec3 normal{0.0}; // unit length, pointing out of the surface
};

struct ObjBounds {
    glm::dvec3 min{0.0};
    glm::dvec3 max{0.0};
};

// How v is written: the game's parser takes v as is (top row 0); Assimp flips it, so a
// file meant for Assimp stores the usual OBJ v with 0 at the image's bottom row.
enum class ObjVConvention { TOP_ROW_ZERO, BOTTOM_ROW_ZERO };

class ObjMesh {
public:
    int addVertex(const ObjVertex& vertex);
    // Counter-clockwise seen from the side the normals point to.
    void addTriangle(int a, int b, int c);
    // Appends another mesh moved by an affine transform without mirroring.
    void append(const ObjMesh& other, const glm::dmat4& transform = glm::dmat4(1.0));

    const std::vector<ObjVertex>& vertices() const { return vertexList; }
    const std::vector<glm::ivec3>& triangles() const { return triangleList; }
    ObjBounds bounds() const;

    std::string toObjText(ObjVConvention convention) const;
    // Writes dir/name; exits the generator with a message on failure.
    void save(const std::string& dir, const std::string& name, ObjVConvention convention) const;

private:
    std::vector<ObjVertex> vertexList;
    std::vector<glm::ivec3> triangleList; // 0-based vertex indices
};
