// Checks the generated models and their textures in Resources/ against what the game's
// OBJ parser, the Assimp import and the scene placement rely on.
#include "assets/ObjParser.h"
#include "tools/Generators.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <SOIL/SOIL.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float UNIT_TOLERANCE = 1e-3f;
constexpr float NUMBER_TOLERANCE = 1e-6f; // two readings of the same decimal text
constexpr unsigned ASSIMP_FLAGS = 0x4B79ECB;

std::string resource(const std::string& name) { return std::string(WM_SOURCE_DIR) + "/Resources/" + name; }

struct ObjFile {
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
    std::vector<std::array<int, 9>> faces; // p/t/n of three corners, 1-based
    std::vector<std::string> errors;
};

std::vector<std::string> splitKeepingEmpty(const std::string& text, char delimiter) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == delimiter) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

bool parseFloats(const std::vector<std::string>& tokens, float* out) {
    for (size_t i = 1; i < tokens.size(); ++i) {
        char* end = nullptr;
        out[i - 1] = std::strtof(tokens[i].c_str(), &end);
        if (tokens[i].empty() || *end != '\0') return false;
    }
    return true;
}

bool parseCorner(const std::string& token, int* out) {
    const std::vector<std::string> parts = splitKeepingEmpty(token, '/');
    if (parts.size() != 3) return false;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        const long value = std::strtol(parts[i].c_str(), &end, 10);
        if (parts[i].empty() || *end != '\0' || value < 1) return false;
        out[i] = int(value);
    }
    return true;
}

// Reads the strict subset the game's parser understands and records every deviation.
ObjFile readStrictObj(const std::string& path) {
    ObjFile obj;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        obj.errors.push_back("cannot open " + path);
        return obj;
    }
    std::stringstream buffer;
    buffer << file.rdbuf();
    std::vector<std::string> lines = splitKeepingEmpty(buffer.str(), '\n');
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::map<int, std::pair<int, int>> attributesOfPosition;
    for (size_t number = 0; number < lines.size(); ++number) {
        const std::string& line = lines[number];
        const std::string where = "line " + std::to_string(number + 1) + ": ";
        if (!line.empty() && line[0] == '#') continue;
        const std::vector<std::string> tokens = splitKeepingEmpty(line, ' ');
        float values[3];
        const std::string& keyword = tokens[0];
        if (keyword == "v" && tokens.size() == 4 && parseFloats(tokens, values)) {
            if (!obj.faces.empty()) obj.errors.push_back(where + "position after the first face");
            obj.positions.emplace_back(values[0], values[1], values[2]);
        } else if (keyword == "vt" && tokens.size() == 3 && parseFloats(tokens, values)) {
            obj.uvs.emplace_back(values[0], values[1]);
        } else if (keyword == "vn" && tokens.size() == 4 && parseFloats(tokens, values)) {
            obj.normals.emplace_back(values[0], values[1], values[2]);
        } else if (keyword == "f" && tokens.size() == 4) {
            std::array<int, 9> face{};
            for (int corner = 0; corner < 3; ++corner) {
                int* ptn = &face[corner * 3];
                if (!parseCorner(tokens[corner + 1], ptn) || ptn[0] > int(obj.positions.size()) ||
                    ptn[1] > int(obj.uvs.size()) || ptn[2] > int(obj.normals.size())) {
                    obj.errors.push_back(where + "bad corner " + tokens[corner + 1]);
                    continue;
                }
                const auto inserted = attributesOfPosition.emplace(ptn[0], std::make_pair(ptn[1], ptn[2]));
                if (inserted.first->second != std::make_pair(ptn[1], ptn[2]))
                    obj.errors.push_back(where + "position " + std::to_string(ptn[0]) + " used with two t/n pairs");
            }
            obj.faces.push_back(face);
        } else {
            obj.errors.push_back(where + "not in the subset: '" + line + "'");
        }
    }
    return obj;
}

struct Box {
    glm::vec3 min{1e9f}, max{-1e9f};
};

Box boundsOf(const ObjFile& obj) {
    Box box;
    for (const glm::vec3& p : obj.positions) {
        box.min = glm::min(box.min, p);
        box.max = glm::max(box.max, p);
    }
    return box;
}

glm::vec3 cornerPosition(const ObjFile& obj, const std::array<int, 9>& face, int corner) {
    return obj.positions[face[corner * 3] - 1];
}

// Volume enclosed by the triangles, positive when they wind counter-clockwise from outside.
double signedVolume(const ObjFile& obj) {
    double volume = 0.0;
    for (const auto& face : obj.faces) {
        const glm::dvec3 a = cornerPosition(obj, face, 0), b = cornerPosition(obj, face, 1), c = cornerPosition(obj, face, 2);
        volume += glm::dot(a, glm::cross(b, c)) / 6.0;
    }
    return volume;
}

// Structure every model read by the game's parser must have.
void expectWellFormed(const std::string& name) {
    SCOPED_TRACE(name);
    const ObjFile obj = readStrictObj(resource(name));
    ASSERT_TRUE(obj.errors.empty()) << obj.errors.size() << " errors, first: " << obj.errors.front();
    ASSERT_FALSE(obj.faces.empty());
    for (const glm::vec3& n : obj.normals) ASSERT_NEAR(glm::length(n), 1.0f, UNIT_TOLERANCE);
    for (const glm::vec2& uv : obj.uvs) {
        // Atlas coordinates stay inside the texture: the entity shader adds the cell offset.
        ASSERT_GE(uv.x, -UNIT_TOLERANCE);
        ASSERT_LE(uv.x, 1.0f + UNIT_TOLERANCE);
        ASSERT_GE(uv.y, -UNIT_TOLERANCE);
        ASSERT_LE(uv.y, 1.0f + UNIT_TOLERANCE);
    }
    int againstNormals = 0;
    for (const auto& face : obj.faces) {
        const glm::vec3 a = cornerPosition(obj, face, 0);
        const glm::vec3 winding = glm::cross(cornerPosition(obj, face, 1) - a, cornerPosition(obj, face, 2) - a);
        const glm::vec3 normals = obj.normals[face[2] - 1] + obj.normals[face[5] - 1] + obj.normals[face[8] - 1];
        if (glm::dot(winding, normals) <= 0.0f) ++againstNormals;
    }
    EXPECT_EQ(againstNormals, 0) << "triangles whose winding disagrees with their normals";
}

struct Texture {
    int width = 0, height = 0, channels = 0;
    std::vector<unsigned char> pixels; // forced to RGBA
    const unsigned char* at(int x, int y) const { return &pixels[(size_t(y) * width + x) * 4]; }
};

Texture loadTexture(const std::string& name) {
    Texture texture;
    unsigned char* data = SOIL_load_image(resource(name).c_str(), &texture.width, &texture.height, &texture.channels,
                                          SOIL_LOAD_RGBA);
    if (!data) return texture;
    texture.pixels.assign(data, data + size_t(texture.width) * texture.height * 4);
    SOIL_free_image_data(data);
    return texture;
}

double luminanceDeviation(const Texture& texture) {
    double sum = 0.0, squares = 0.0;
    const double count = double(texture.width) * texture.height;
    for (int y = 0; y < texture.height; ++y) {
        for (int x = 0; x < texture.width; ++x) {
            const unsigned char* p = texture.at(x, y);
            const double l = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
            sum += l;
            squares += l * l;
        }
    }
    return std::sqrt(std::max(0.0, squares / count - (sum / count) * (sum / count)));
}

}

TEST(ModelData, GameParserModelsUseTheStrictSubsetConsistently) {
    for (const char* name : {"pc.obj", "pcFace.obj", "tree.obj", "lamp.obj", "fern.obj", "marker.obj"})
        expectWellFormed(name);
}

TEST(ModelData, GameParserGivesEveryVertexItsOwnTextureCoordinateAndNormal) {
    for (const char* name : {"pc.obj", "pcFace.obj", "tree.obj", "lamp.obj", "fern.obj", "marker.obj"}) {
        SCOPED_TRACE(name);
        std::ifstream file(resource(name), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const ObjParseResult parsed = parseObj(text);
        ASSERT_TRUE(parsed.ok()) << parsed.errorLine << ": " << parsed.error;
        const ObjFile obj = readStrictObj(resource(name));
        ASSERT_EQ(parsed.data.indices.size(), obj.faces.size() * 3);
        ASSERT_EQ(parsed.data.positions.size(), obj.positions.size() * 3);
        // After the parser's one-vertex-per-position merge, each vertex must still carry
        // the attributes its faces gave it, and no vertex may be left without a normal.
        for (const auto& face : obj.faces) {
            for (int corner = 0; corner < 3; ++corner) {
                const int vertex = face[corner * 3] - 1;
                const glm::vec2& uv = obj.uvs[face[corner * 3 + 1] - 1];
                const glm::vec3& normal = obj.normals[face[corner * 3 + 2] - 1];
                ASSERT_NEAR(parsed.data.textureCoords[vertex * 2], uv.x, NUMBER_TOLERANCE);
                ASSERT_NEAR(parsed.data.textureCoords[vertex * 2 + 1], uv.y, NUMBER_TOLERANCE);
                ASSERT_NEAR(parsed.data.normals[vertex * 3 + 1], normal.y, NUMBER_TOLERANCE);
            }
        }
        for (size_t v = 0; v < obj.positions.size(); ++v) {
            const glm::vec3 n(parsed.data.normals[v * 3], parsed.data.normals[v * 3 + 1], parsed.data.normals[v * 3 + 2]);
            ASSERT_NEAR(glm::length(n), 1.0f, UNIT_TOLERANCE) << "vertex " << v;
        }
    }
}

TEST(ModelData, ClosedModelsWindOutwards) {
    for (const char* name : {"pc.obj", "tree.obj", "lamp.obj", "marker.obj"}) {
        SCOPED_TRACE(name);
        EXPECT_GT(signedVolume(readStrictObj(resource(name))), 0.0);
    }
}

TEST(ModelData, ModelsHaveTheirSceneSizes) {
    struct Expected {
        const char* name;
        float scale;              // as placed in the scene
        float minHeight, maxHeight; // world units
    };
    for (const Expected& e : {Expected{"pc.obj", 0.5f, 4.0f, 5.6f}, Expected{"tree.obj", 5.0f, 25.0f, 35.0f},
                              Expected{"lamp.obj", 0.75f, 10.5f, 13.0f}, Expected{"fern.obj", 0.5f, 2.0f, 3.0f},
                              Expected{"marker.obj", 1.0f, 2.0f, 3.0f}}) {
        SCOPED_TRACE(e.name);
        const Box box = boundsOf(readStrictObj(resource(e.name)));
        EXPECT_GE(box.max.y * e.scale, e.minHeight);
        EXPECT_LE(box.max.y * e.scale, e.maxHeight);
        EXPECT_LE(box.min.y * e.scale, 0.2f); // stands on the ground...
        EXPECT_GE(box.min.y, -0.3f);          // ...without sinking far into it
        EXPECT_NEAR((box.min.x + box.max.x) * 0.5f, 0.0f, 0.5f);
        EXPECT_NEAR((box.min.z + box.max.z) * 0.5f, 0.0f, 0.5f);
    }
}

TEST(ModelData, PlayerStandsOnItsFeetAndItsHeadSitsOnTopFacingForward) {
    const Box body = boundsOf(readStrictObj(resource("pc.obj")));
    EXPECT_NEAR(body.min.y, 0.0f, UNIT_TOLERANCE);
    const ObjFile face = readStrictObj(resource("pcFace.obj"));
    const Box head = boundsOf(face);
    EXPECT_GT(head.min.y, body.max.y - 1.0f);
    EXPECT_GT(head.max.y, body.max.y + 1.0f);
    EXPECT_LT(head.max.y * 0.5f, 6.0f);
    // The nose is the head's frontmost point and the player faces -z.
    EXPECT_LT(head.min.z, -head.max.z);
    EXPECT_NEAR(head.min.x + head.max.x, 0.0f, 0.1f);
}

TEST(ModelData, FernFrondsFaceTheSky) {
    // Fronds are drawn from both sides but lit by their normals: those must lean upwards.
    const ObjFile fern = readStrictObj(resource("fern.obj"));
    ASSERT_FALSE(fern.normals.empty());
    double meanUp = 0.0;
    for (const glm::vec3& n : fern.normals) {
        EXPECT_GT(n.y, -0.3f);
        meanUp += n.y;
    }
    EXPECT_GT(meanUp / fern.normals.size(), 0.4);
}

TEST(ModelData, LampCarriesItsLanternAtTheLightHeight) {
    // The scene hangs the lamp light 10 units above the ground; the lamp is scaled by 0.75.
    const float lanternY = 10.0f / 0.75f;
    const ObjFile lamp = readStrictObj(resource("lamp.obj"));
    float widest = 0.0f; // of the triangles that cross the light's height
    for (const auto& face : lamp.faces) {
        float low = 1e9f, high = -1e9f, reach = 0.0f;
        for (int corner = 0; corner < 3; ++corner) {
            const glm::vec3 p = cornerPosition(lamp, face, corner);
            low = std::min(low, p.y);
            high = std::max(high, p.y);
            reach = std::max({reach, std::abs(p.x), std::abs(p.z)});
        }
        if (low <= lanternY && high >= lanternY) widest = std::max(widest, reach);
    }
    EXPECT_GT(widest, 0.5f);
}

TEST(ModelData, MarkerPointsDownAtTheClickedPoint) {
    const ObjFile marker = readStrictObj(resource("marker.obj"));
    const glm::vec3* lowest = &marker.positions.front();
    for (const glm::vec3& p : marker.positions)
        if (p.y < lowest->y) lowest = &p;
    EXPECT_GT(lowest->y, 0.0f);
    EXPECT_LT(lowest->y, 0.2f);
    EXPECT_NEAR(lowest->x, 0.0f, 0.01f);
    EXPECT_NEAR(lowest->z, 0.0f, 0.01f);
    const Box box = boundsOf(marker);
    EXPECT_GT(box.max.x - box.min.x, 0.8f); // the arrow head is wider than its tip
}

TEST(ModelData, CottageImportsThroughAssimpOnItsFloor) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(resource("cottage.obj").c_str(), ASSIMP_FLAGS);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_GE(scene->mNumMeshes, 1u);
    const aiMesh* mesh = scene->mMeshes[0];
    ASSERT_TRUE(mesh->HasTextureCoords(0));
    ASSERT_TRUE(mesh->HasNormals());
    ASSERT_TRUE(mesh->HasTangentsAndBitangents());
    float minY = 1e9f, maxY = -1e9f, reach = 0.0f;
    int mirrored = 0;
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        const aiVector3D& p = mesh->mVertices[i];
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
        reach = std::max({reach, std::abs(p.x), std::abs(p.z)});
        // The normal map's green points up the image; after the v flip Assimp's bitangent
        // points down it, so an unmirrored mapping has cross(N, T) opposite to B.
        if (((mesh->mNormals[i] ^ mesh->mTangents[i]) * mesh->mBitangents[i]) >= 0.0f) ++mirrored;
    }
    EXPECT_NEAR(minY, COTTAGE_FLOOR_LOCAL_Y, 1e-4);
    EXPECT_LE(reach, 0.30f);
    EXPECT_GE((maxY - minY) * 43.0f, 8.0f);
    EXPECT_LE((maxY - minY) * 43.0f, 13.0f);
    EXPECT_EQ(mirrored, 0);
}

TEST(ModelData, PlayerBodyImportsThroughAssimpForTheCameraAnchor) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(resource("pc.obj").c_str(), ASSIMP_FLAGS);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_GE(scene->mNumMeshes, 1u);
    EXPECT_TRUE(scene->mMeshes[0]->HasTextureCoords(0));
    EXPECT_TRUE(scene->mMeshes[0]->HasNormals());
    EXPECT_TRUE(scene->mMeshes[0]->HasTangentsAndBitangents());
}

TEST(ModelData, TexturesArePaintedPowerOfTwoImages) {
    struct Expected {
        const char* name;
        int channels;
    };
    for (const Expected& e : {Expected{"pcTexture1.png", 3}, Expected{"pcFaceTexture1.png", 4}, Expected{"tree.png", 3},
                              Expected{"lamp.png", 3}, Expected{"fern.png", 4}, Expected{"shack2.png", 3},
                              Expected{"shack_normals.png", 3}}) {
        SCOPED_TRACE(e.name);
        const Texture texture = loadTexture(e.name);
        ASSERT_FALSE(texture.pixels.empty());
        EXPECT_TRUE(texture.width == 256 || texture.width == 512);
        EXPECT_EQ(texture.height, texture.width);
        EXPECT_EQ(texture.channels, e.channels);
        EXPECT_GT(luminanceDeviation(texture), 6.0); // detail, not a flat fill
        int unpainted = 0; // opaque pure black marks an atlas area nobody painted
        for (size_t i = 0; i < texture.pixels.size(); i += 4)
            unpainted += texture.pixels[i] == 0 && texture.pixels[i + 1] == 0 && texture.pixels[i + 2] == 0 &&
                         texture.pixels[i + 3] == 255;
        EXPECT_EQ(unpainted, 0);
    }
    const Texture white = loadTexture("white.png");
    ASSERT_FALSE(white.pixels.empty());
    for (unsigned char value : white.pixels) ASSERT_EQ(value, 255);
}

TEST(ModelData, FernAtlasHoldsFourDifferentCutOutQuarters) {
    const Texture fern = loadTexture("fern.png");
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
                if (p[3] == 0) ++clear;
                if (p[3] == 255) {
                    ++solid;
                    meanColour[index] += glm::dvec3(p[0], p[1], p[2]);
                }
            }
        }
        ASSERT_GT(solid, 0);
        meanColour[index] /= double(solid);
        EXPECT_EQ(fern.at(x0, y0)[3], 0);                        // around the frond
        EXPECT_EQ(fern.at(x0 + cell / 2, y0 + cell / 2)[3], 255); // on its stem
        EXPECT_GT(clear, cell * cell / 4);
        EXPECT_GT(solid, cell * cell / 10);
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b) EXPECT_GT(glm::length(meanColour[a] - meanColour[b]), 4.0) << a << " vs " << b;
}

TEST(ModelData, CottageNormalMapHoldsUnitNormalsFacingOut) {
    const Texture normals = loadTexture("shack_normals.png");
    ASSERT_EQ(normals.width, 512);
    glm::dvec3 mean(0.0);
    int tilted = 0;
    for (int y = 0; y < normals.height; ++y) {
        for (int x = 0; x < normals.width; ++x) {
            const unsigned char* p = normals.at(x, y);
            const glm::dvec3 n = glm::dvec3(p[0], p[1], p[2]) / 127.5 - 1.0;
            ASSERT_NEAR(glm::length(n), 1.0, 0.03) << x << "," << y;
            ASSERT_GT(n.z, 0.0);
            if (n.z < 0.95) ++tilted;
            mean += n;
        }
    }
    mean /= double(normals.width) * normals.height;
    EXPECT_NEAR(mean.x, 0.0, 0.05);
    EXPECT_NEAR(mean.y, 0.0, 0.05);
    EXPECT_GT(mean.z, 0.9);
    EXPECT_GT(tilted, normals.width * normals.height / 50); // grooves and joints are there
}

TEST(ModelData, FaceTextureCutsOutTheHairAroundAnOpaqueHead) {
    const Texture face = loadTexture("pcFaceTexture1.png");
    ASSERT_EQ(face.channels, 4);
    int clear = 0;
    for (int y = 0; y < face.height; ++y)
        for (int x = 0; x < face.width; ++x) clear += face.at(x, y)[3] == 0;
    EXPECT_GT(clear, 0);
    // The upper half wraps round the head: no holes there.
    for (int y = 0; y < face.height / 2; ++y)
        for (int x = 0; x < face.width; ++x) ASSERT_EQ(face.at(x, y)[3], 255) << x << "," << y;
}
