#include "ObjMesh.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Fixed "%.6f" keeps the text independent of the locale and identical between runs;
// values that round to zero are written without a minus sign.
void appendNumbers(std::string& out, const char* keyword, const double* values, int count) {
    out += keyword;
    char buffer[48];
    for (int i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, " %.6f", values[i]);
        out += std::string(buffer) == " -0.000000" ? " 0.000000" : buffer;
    }
    out += '\n';
}

}

int ObjMesh::addVertex(const ObjVertex& vertex) {
    vertexList.push_back(vertex);
    return int(vertexList.size()) - 1;
}

void ObjMesh::addTriangle(int a, int b, int c) {
    triangleList.emplace_back(a, b, c);
}

void ObjMesh::append(const ObjMesh& other, const glm::dmat4& transform) {
    const glm::dmat3 normalMatrix = glm::transpose(glm::inverse(glm::dmat3(transform)));
    const int base = int(vertexList.size());
    for (ObjVertex vertex : other.vertexList) {
        vertex.position = glm::dvec3(transform * glm::dvec4(vertex.position, 1.0));
        vertex.normal = glm::normalize(normalMatrix * vertex.normal);
        vertexList.push_back(vertex);
    }
    for (const glm::ivec3& t : other.triangleList)
        triangleList.push_back(t + glm::ivec3(base));
}

ObjBounds ObjMesh::bounds() const {
    if (vertexList.empty())
        return {};
    ObjBounds box{vertexList[0].position, vertexList[0].position};
    for (const ObjVertex& vertex : vertexList) {
        box.min = glm::min(box.min, vertex.position);
        box.max = glm::max(box.max, vertex.position);
    }
    return box;
}

std::string ObjMesh::toObjText(ObjVConvention convention) const {
    std::string text = "# WM generated model\n";
    text.reserve(vertexList.size() * 120 + triangleList.size() * 40);
    // Only vertices that a face uses are written, renumbered in order.
    std::vector<int> fileIndex(vertexList.size(), 0);
    for (const glm::ivec3& t : triangleList)
        fileIndex[t.x] = fileIndex[t.y] = fileIndex[t.z] = 1;
    int written = 0;
    for (size_t i = 0; i < vertexList.size(); ++i) {
        if (!fileIndex[i])
            continue;
        fileIndex[i] = ++written;
        const ObjVertex& vertex = vertexList[i];
        const double position[3] = {vertex.position.x, vertex.position.y, vertex.position.z};
        const double v = convention == ObjVConvention::TOP_ROW_ZERO ? vertex.uv.y : 1.0 - vertex.uv.y;
        const double uv[2] = {vertex.uv.x, v};
        const double normal[3] = {vertex.normal.x, vertex.normal.y, vertex.normal.z};
        appendNumbers(text, "v", position, 3);
        appendNumbers(text, "vt", uv, 2);
        appendNumbers(text, "vn", normal, 3);
    }
    char buffer[96];
    for (const glm::ivec3& t : triangleList) {
        const int a = fileIndex[t.x], b = fileIndex[t.y], c = fileIndex[t.z];
        std::snprintf(buffer, sizeof buffer, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c);
        text += buffer;
    }
    return text;
}

void ObjMesh::save(const std::string& dir, const std::string& name, ObjVConvention convention) const {
    const std::string path = dir + "/" + name;
    const std::string text = toObjText(convention);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file)
        std::fclose(file);
    if (!written) {
        std::fprintf(stderr, "wm_generate: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}
