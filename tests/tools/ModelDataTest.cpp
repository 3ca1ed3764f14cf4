// Checks the generated models and their textures in Resources/ against what the game's
// OBJ parser, the Assimp import and the scene placement rely on.
#include "assets/ObjParser.h"
#include "tools/Generators.h"
#include "support/TestData.h"
#include "tools/ResourceImage.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr float UNIT_TOLERANCE = 1e-3f;
constexpr unsigned ASSIMP_FLAGS = 0x4B79ECB; // the game's import flags

// A model as the game's parser reads it. `errors` also lists what that parser would
// accept but silently skip or merge: lines outside the strict subset, numbers with
// trailing text, and a position whose corners disagree on texture coordinate or
// normal (the parser keeps one vertex per position, so only the last would show).
struct Model {
    ObjData data;
    std::vector<std::string> errors;
    glm::vec3 min{1e9f}, max{-1e9f};

    glm::vec3 position(int vertex) const { return triple(data.positions, vertex); }
    glm::vec3 normal(int vertex) const { return triple(data.normals, vertex); }
    glm::vec3 corner(size_t face, int corner) const { return position(data.indices[face * 3 + corner]); }
    static glm::vec3 triple(const std::vector<float>& v, int i) { return {v[i * 3], v[i * 3 + 1], v[i * 3 + 2]}; }
};

void checkStrictLine(const std::string& line, std::map<std::string, std::string>& attributesOfPosition,
                     std::vector<std::string>& errors, const std::string& where) {
    const std::vector<std::string> tokens = splitString(line, ' ');
    const std::string keyword = tokens.empty() ? "" : tokens[0];
    if (keyword[0] == '#') return;
    const bool known = keyword == "v" || keyword == "vt" || keyword == "vn" || keyword == "f";
    if (!known || tokens.size() != (keyword == "vt" ? 3u : 4u)) {
        errors.push_back(where + "not in the subset: '" + line + "'");
        return;
    }
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (keyword == "f") {
            const std::vector<std::string> ptn = splitString(tokens[i], '/');
            if (ptn.size() != 3) continue; // the parser reports it
            const std::string attributes = ptn[1] + "/" + ptn[2];
            if (attributesOfPosition.emplace(ptn[0], attributes).first->second != attributes)
                errors.push_back(where + "position " + ptn[0] + " used with two t/n pairs");
            continue;
        }
        char* end = nullptr;
        std::strtof(tokens[i].c_str(), &end);
        if (*end != '\0') errors.push_back(where + "number with trailing text: " + tokens[i]);
    }
}

Model readModel(const std::string& name) {
    const std::string text = readFileBytes(resourcePath(name));
    Model model;
    const ObjParseResult parsed = parseObj(text);
    if (!parsed.ok()) model.errors.push_back("line " + std::to_string(parsed.errorLine) + ": " + parsed.error);
    model.data = parsed.data;
    std::map<std::string, std::string> attributesOfPosition;
    int number = 0;
    for (const std::string& line : splitString(text, '\n'))
        checkStrictLine(line, attributesOfPosition, model.errors, "line " + std::to_string(++number) + ": ");
    for (size_t v = 0; v * 3 < model.data.positions.size(); ++v) {
        model.min = glm::min(model.min, model.position(int(v)));
        model.max = glm::max(model.max, model.position(int(v)));
    }
    return model;
}

}

TEST(ModelData, ParsedModelsKeepToTheSubsetWindWithTheirNormalsAndHaveTheirSceneSizes) {
    struct Expected {
        const char* name;
        float scale;                // as placed in the scene; 0 for the face, which sits on the body
        float minHeight, maxHeight; // world units
        bool closed;
    };
    const Expected models[] = {{"pc.obj", 0.5f, 4.0f, 5.6f, true},      {"pcFace.obj", 0.0f, 0.0f, 0.0f, false},
                               {"tree.obj", 5.0f, 25.0f, 35.0f, true},  {"lamp.obj", 0.75f, 10.5f, 13.0f, true},
                               {"fern.obj", 0.5f, 2.0f, 3.0f, false},   {"marker.obj", 1.0f, 2.0f, 3.0f, true}};
    for (const Expected& e : models) {
        SCOPED_TRACE(e.name);
        const Model model = readModel(e.name);
        ASSERT_TRUE(model.errors.empty()) << model.errors.size() << " errors, first: " << model.errors.front();
        ASSERT_FALSE(model.data.indices.empty());
        // Every vertex carries a unit normal and, since the entity shader adds the atlas
        // cell offset, a texture coordinate inside 0..1.
        for (size_t v = 0; v * 3 < model.data.positions.size(); ++v)
            ASSERT_NEAR(glm::length(model.normal(int(v))), 1.0f, UNIT_TOLERANCE) << "vertex " << v;
        for (const float uv : model.data.textureCoords) {
            ASSERT_GE(uv, -UNIT_TOLERANCE);
            ASSERT_LE(uv, 1.0f + UNIT_TOLERANCE);
        }
        int againstNormals = 0;
        double volume = 0.0; // positive when the triangles wind counter-clockwise from outside
        for (size_t f = 0; f * 3 < model.data.indices.size(); ++f) {
            const glm::dvec3 a = model.corner(f, 0), b = model.corner(f, 1), c = model.corner(f, 2);
            glm::dvec3 normals(0.0);
            for (int corner = 0; corner < 3; ++corner) normals += model.normal(model.data.indices[f * 3 + corner]);
            againstNormals += glm::dot(glm::cross(b - a, c - a), normals) <= 0.0;
            volume += glm::dot(a, glm::cross(b, c));
        }
        EXPECT_EQ(againstNormals, 0) << "triangles whose winding disagrees with their normals";
        EXPECT_TRUE(!e.closed || volume > 0.0) << "closed, yet wound inwards: " << volume;
        if (e.scale == 0.0f) continue;
        EXPECT_GE(model.max.y * e.scale, e.minHeight);
        EXPECT_LE(model.max.y * e.scale, e.maxHeight);
        EXPECT_LE(model.min.y * e.scale, 0.2f); // stands on the ground...
        EXPECT_GE(model.min.y, -0.3f);          // ...without sinking far into it
        EXPECT_NEAR(model.min.x + model.max.x, 0.0f, 1.0f);
        EXPECT_NEAR(model.min.z + model.max.z, 0.0f, 1.0f);
    }
}

TEST(ModelData, PartsSitWhereTheSceneUsesThem) {
    const Model body = readModel("pc.obj"), head = readModel("pcFace.obj");
    EXPECT_NEAR(body.min.y, 0.0f, UNIT_TOLERANCE);
    EXPECT_GT(head.min.y, body.max.y - 1.0f);
    EXPECT_GT(head.max.y, body.max.y + 1.0f);
    EXPECT_LT(head.min.z, -head.max.z) << "the nose points along -z, where the player faces";
    // The scene hangs the lamp light 10 units above the ground; the lamp is scaled by 0.75.
    const Model lamp = readModel("lamp.obj");
    float lanternReach = 0.0f; // of the triangles that cross the light's height
    for (size_t f = 0; f * 3 < lamp.data.indices.size(); ++f) {
        const glm::vec3 a = lamp.corner(f, 0), b = lamp.corner(f, 1), c = lamp.corner(f, 2);
        if (std::min({a.y, b.y, c.y}) > 10.0f / 0.75f || std::max({a.y, b.y, c.y}) < 10.0f / 0.75f) continue;
        for (const glm::vec3& p : {a, b, c}) lanternReach = std::max({lanternReach, std::abs(p.x), std::abs(p.z)});
    }
    EXPECT_GT(lanternReach, 0.5f);
    // The marker's tip touches the clicked point from just above it.
    const Model marker = readModel("marker.obj");
    int tip = 0;
    for (int v = 0; v * 3 < int(marker.data.positions.size()); ++v)
        if (marker.position(v).y < marker.position(tip).y) tip = v;
    EXPECT_GT(marker.position(tip).y, 0.0f);
    EXPECT_LT(marker.position(tip).y, 0.2f);
    EXPECT_NEAR(glm::length(glm::vec2(marker.position(tip).x, marker.position(tip).z)), 0.0f, 0.01f);
}

TEST(ModelData, AssimpModelsImportWithTangentsAndTheCottageStandsOnItsFloorWithANormalMapFacingOut) {
    for (const char* name : {"cottage.obj", "pc.obj"}) {
        SCOPED_TRACE(name);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(resourcePath(name).c_str(), ASSIMP_FLAGS);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        ASSERT_GE(scene->mNumMeshes, 1u);
        const aiMesh* mesh = scene->mMeshes[0];
        ASSERT_TRUE(mesh->HasTextureCoords(0) && mesh->HasNormals() && mesh->HasTangentsAndBitangents());
        if (std::string(name) != "cottage.obj") continue;
        float minY = 1e9f, maxY = -1e9f, reach = 0.0f;
        int mirrored = 0;
        for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
            const aiVector3D& p = mesh->mVertices[i];
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
            reach = std::max({reach, std::abs(p.x), std::abs(p.z)});
            // The normal map's green points up the image; after the v flip Assimp's bitangent
            // points down it, so an unmirrored mapping has cross(N, T) opposite to B.
            mirrored += ((mesh->mNormals[i] ^ mesh->mTangents[i]) * mesh->mBitangents[i]) >= 0.0f;
        }
        EXPECT_NEAR(minY, COTTAGE_FLOOR_LOCAL_Y, 1e-4);
        EXPECT_LE(reach, 0.30f); // the scene scales it by 43: a footprint inside the flat pad
        EXPECT_GE((maxY - minY) * 43.0f, 8.0f);
        EXPECT_LE((maxY - minY) * 43.0f, 13.0f);
        EXPECT_EQ(mirrored, 0);
    }
    const ResourceImage normals = loadResourceImage("shack_normals.png"); // unit normals facing out
    for (size_t i = 0; i < normals.rgba.size(); i += 4) {
        const glm::dvec3 n = glm::dvec3(normals.rgba[i], normals.rgba[i + 1], normals.rgba[i + 2]) / 127.5 - 1.0;
        ASSERT_NEAR(glm::length(n), 1.0, 0.03) << "pixel " << i / 4;
        ASSERT_GT(n.z, 0.0) << "pixel " << i / 4;
    }
}

TEST(GeneratedImages, HaveTheChannelsTheShadersReadAsPowerOfTwoSquaresAndModelTexturesArePainted) {
    struct Expected { const char* name; int channels; bool modelTexture; };
    const Expected images[] = {
        {"pcTexture1.png", 3, true},     {"pcFaceTexture1.png", 4, true},   {"tree.png", 3, true},
        {"lamp.png", 3, true},           {"fern.png", 4, true},             {"shack2.png", 3, true},
        {"shack_normals.png", 3, true},  {"heightmap3.png", 1, false},      {"terrainLightMap.png", 1, false},
        {"blendMapAlt.png", 3, false},   {"grassy2.png", 3, false},         {"mud.png", 3, false},
        {"grassFlowers.png", 3, false},  {"path.png", 3, false},            {"waterDUDV.png", 3, false},
        {"skyboxRight.png", 3, false},   {"skyboxLeft.png", 3, false},      {"skyboxTop.png", 3, false},
        {"skyboxBottom.png", 3, false},  {"skyboxBack.png", 3, false},      {"skyboxFront.png", 3, false}};
    for (const auto& [name, channels, modelTexture] : images) {
        SCOPED_TRACE(name);
        const ResourceImage image = loadResourceImage(name);
        ASSERT_FALSE(image.rgba.empty());
        EXPECT_TRUE(image.width == 256 || image.width == 512) << image.width;
        EXPECT_EQ(image.height, image.width);
        EXPECT_EQ(image.channels, channels);
        if (!modelTexture) continue;
        int unpainted = 0; // opaque pure black marks an atlas area nobody painted
        for (size_t i = 0; i < image.rgba.size(); i += 4)
            unpainted += image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2] == 0 && image.rgba[i + 3] == 255;
        EXPECT_EQ(unpainted, 0);
    }
    const ResourceImage white = loadResourceImage("white.png");
    ASSERT_FALSE(white.rgba.empty());
    EXPECT_TRUE(std::all_of(white.rgba.begin(), white.rgba.end(), [](unsigned char v) { return v == 255; }));
}

TEST(ModelData, AlphaTexturesCutOutFernFrondsAndTheHair) {
    const ResourceImage fern = loadResourceImage("fern.png");
    ASSERT_EQ(fern.width, 512);
    const int cell = fern.width / 2;
    std::array<glm::dvec3, 4> meanColour{};
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        const int x0 = (index % 2) * cell, y0 = (index / 2) * cell;
        int clear = 0, solid = 0;
        for (int y = y0; y < y0 + cell; ++y) {
            for (int x = x0; x < x0 + cell; ++x) {
                const unsigned char* p = fern.at(x, y);
                clear += p[3] == 0;
                if (p[3] != 255) continue;
                ++solid;
                meanColour[index] += glm::dvec3(p[0], p[1], p[2]);
            }
        }
        EXPECT_GT(clear, cell * cell / 4);
        ASSERT_GT(solid, cell * cell / 10);
        meanColour[index] /= double(solid);
        EXPECT_EQ(fern.at(x0 + cell / 2, y0 + cell / 2)[3], 255); // the stem
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b) EXPECT_GT(glm::length(meanColour[a] - meanColour[b]), 4.0) << a << " vs " << b;
    // The face texture's upper half wraps round the head without holes; the hair is cut out below.
    const ResourceImage face = loadResourceImage("pcFaceTexture1.png");
    ASSERT_FALSE(face.rgba.empty());
    int clear = 0;
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            clear += face.at(x, y)[3] == 0;
            ASSERT_TRUE(y >= face.height / 2 || face.at(x, y)[3] == 255) << x << "," << y;
        }
    }
    EXPECT_GT(clear, 0);
}
