#pragma once
// The game's own reader for its small OBJ subset: "v", "vt", "vn" and triangular
// "f p/t/n" lines with single spaces between tokens; every other line is skipped.
// One output vertex per position; a position shared by several corners keeps the
// texture coordinate and normal of the last corner. Files that would index outside
// their lists are refused. Parsing is GL-free; ModelLoader::loadObjModel uploads the result.

#include <string>
#include <string_view>
#include <vector>

struct ObjData {
    std::vector<float> positions;     // x, y, z per output vertex, in file order
    std::vector<float> textureCoords; // u, v per output vertex (v as in the file); empty without faces
    std::vector<float> normals;       // x, y, z per output vertex; empty without faces
    std::vector<int> indices;         // 0-based, three per face
};

struct ObjParseResult {
    ObjData data;
    int errorLine = 0; // 1-based line of the first error, 0 when the text was accepted
    std::string error; // what is wrong on that line

    bool ok() const { return errorLine == 0; }
};

ObjParseResult parseObj(std::string_view text);
// Reads and parses a file piece by piece, the way loadObjModel does. False when the
// file is not a regular file or cannot be opened (DataFile::printWhyUnreadable tells
// why); parse errors are in the result.
bool parseObjFile(const std::string& path, ObjParseResult& result);

// Pieces between delimiters, empty ones kept; "" gives none and a single
// trailing delimiter adds no empty last piece.
std::vector<std::string> splitString(const std::string& text, char delimiter);
