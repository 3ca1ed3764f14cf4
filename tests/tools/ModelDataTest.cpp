// Checks the generated models in Resources/ against what the game's OBJ parser and the
// scene placement rely on. Their textures and the imported cottage show in the reference frames.
#include "assets/ObjParser.h"
#include "support/TestData.h"
#include "tools/ResourceImage.h"

#include <glm/glm.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr float UNIT_TOLERANCE = 1e-3f;
// The subset the generator writes: comments, three-number "v" and "vn", two-number "vt"
// and triangles with position, texture and normal indices, single spaces throughout.
const std::regex STRICT_LINE(R"(#.*|vn?( -?\d+\.\d+){3}|vt( -?\d+\.\d+){2}|f( \d+/\d+/\d+){3})");

struct Model {
    ObjData data;
    std::vector<std::string> errors;
    glm::vec3 min{1e9f}, max{-1e9f};

    glm::vec3 position(int v) const { return glm::make_vec3(&data.positions[v * 3]); }
    glm::vec3 normal(int v) const { return glm::make_vec3(&data.normals[v * 3]); }
    glm::vec3 corner(size_t face, int corner) const { return position(data.indices[face * 3 + corner]); }
};

// A model as the game's parser reads it. `errors` also lists what that parser would
// accept but silently skip or merge: lines outside the strict subset (a number with
// trailing text, say) and a position whose corners disagree on texture coordinate or
// normal (the parser keeps one vertex per position, so only the last would show).
Model readModel(const std::string& name) {
    const std::string text = readFileBytes(resourcePath(name));
    const ObjParseResult parsed = parseObj(text);
    Model model{parsed.data, {}};
    if (!parsed.ok())
        model.errors.push_back("line " + std::to_string(parsed.errorLine) + ": " + parsed.error);
    std::map<std::string, std::string> attributesOfPosition; // position index -> "/t/n" of its first corner
    int number = 0;
    for (const std::string& line : splitString(text, '\n')) {
        const std::string where = "line " + std::to_string(++number) + ": ";
        const bool strict = std::regex_match(line, STRICT_LINE);
        if (!strict)
            model.errors.push_back(where + "not in the subset: '" + line + "'");
        if (!strict || line[0] != 'f')
            continue;
        for (const std::string& corner : splitString(line.substr(2), ' ')) {
            const size_t slash = corner.find('/');
            const std::string position = corner.substr(0, slash), attributes = corner.substr(slash);
            if (attributesOfPosition.emplace(position, attributes).first->second != attributes)
                model.errors.push_back(where + "position " + position + " used with two t/n pairs");
        }
    }
    for (int v = 0; v * 3 < int(model.data.positions.size()); ++v) {
        model.min = glm::min(model.min, model.position(v));
        model.max = glm::max(model.max, model.position(v));
    }
    return model;
}

// Scale as placed in the scene (0 for the face, which sits on the body) and height range in world units.
struct Expected {
    const char* name;
    float scale, minHeight, maxHeight;
    bool closed;
};
const Expected MODELS[] = {{"pc.obj", 0.5f, 4.0f, 5.6f, true},     {"pcFace.obj", 0.0f, 0.0f, 0.0f, false},
                           {"tree.obj", 5.0f, 25.0f, 35.0f, true}, {"lamp.obj", 0.75f, 10.5f, 13.0f, true},
                           {"fern.obj", 0.5f, 2.0f, 3.0f, false},  {"marker.obj", 1.0f, 2.0f, 3.0f, true}};
}

TEST(ModelData, ParsedModelsKeepToTheSubset) {
    for (const Expected& e : MODELS) {
        SCOPED_TRACE(e.name);
        const Model model = readModel(e.name);
        ASSERT_TRUE(model.errors.empty()) << model.errors.size() << " errors, first: " << model.errors.front();
        ASSERT_FALSE(model.data.indices.empty());
        // Every vertex carries a unit normal and, since the entity shader adds the atlas
        // cell offset, a texture coordinate inside 0..1.
        for (size_t v = 0; v * 3 < model.data.positions.size(); ++v)
            ASSERT_NEAR(glm::length(model.normal(int(v))), 1.0f, UNIT_TOLERANCE) << "vertex " << v;
        for (const float uv : model.data.textureCoords)
            ASSERT_TRUE(uv >= -UNIT_TOLERANCE && uv <= 1.0f + UNIT_TOLERANCE) << uv;
    }
}

TEST(ModelData, TrianglesWindWithTheirNormals) {
    for (const Expected& e : MODELS) {
        SCOPED_TRACE(e.name);
        const Model model = readModel(e.name);
        int againstNormals = 0;
        double volume = 0.0; // positive when the triangles wind counter-clockwise from outside
        for (size_t f = 0; f * 3 < model.data.indices.size(); ++f) {
            const glm::dvec3 a = model.corner(f, 0), b = model.corner(f, 1), c = model.corner(f, 2);
            glm::dvec3 normals(0.0);
            for (int corner = 0; corner < 3; ++corner)
                normals += model.normal(model.data.indices[f * 3 + corner]);
            againstNormals += glm::dot(glm::cross(b - a, c - a), normals) <= 0.0;
            volume += glm::dot(a, glm::cross(b, c));
        }
        EXPECT_EQ(againstNormals, 0) << "triangles whose winding disagrees with their normals";
        EXPECT_TRUE(!e.closed || volume > 0.0) << "closed, yet wound inwards: " << volume;
    }
}

TEST(ModelData, ModelsHaveTheirSceneSizes) {
    for (const Expected& e : MODELS) {
        if (e.scale == 0.0f)
            continue;
        SCOPED_TRACE(e.name);
        const Model model = readModel(e.name);
        const float height = model.max.y * e.scale;
        EXPECT_TRUE(height >= e.minHeight && height <= e.maxHeight) << height;
        EXPECT_LE(model.min.y * e.scale, 0.2f); // stands on the ground...
        EXPECT_GE(model.min.y, -0.3f);          // ...without sinking far into it
        EXPECT_NEAR(model.min.x + model.max.x, 0.0f, 1.0f);
        EXPECT_NEAR(model.min.z + model.max.z, 0.0f, 1.0f);
    }
}
