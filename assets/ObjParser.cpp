#include "assets/ObjParser.h"

#include "app/FatalError.h"
#include "assets/ModelLoader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t MAX_TOKENS = 4; // no accepted line has more
using Tokens = std::array<std::string_view, MAX_TOKENS>;

// Calls visit(piece) for every piece between delimiters, the way a stream read
// with getline sees them: empty pieces kept, no empty piece after a final
// delimiter. Stops early when visit returns false.
template <typename Visit>
void forEachPiece(std::string_view text, char delimiter, Visit visit) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (!visit(text.substr(start, end - start))) {
            return;
        }
        start = end + 1;
    }
}

// Keeps the first N pieces and returns how many there are in all, so that lines
// with too many tokens are recognised without storing them.
template <size_t N>
size_t splitInto(std::string_view text, char delimiter, std::array<std::string_view, N>& pieces) {
    size_t count = 0;
    forEachPiece(text, delimiter, [&](std::string_view piece) {
        if (count < N) {
            pieces[count] = piece;
        }
        ++count;
        return true;
    });
    return count;
}

// strtod and strtol need a terminated string; tokens fit on the stack, and only
// an absurdly long one costs an allocation.
class TerminatedToken {
public:
    explicit TerminatedToken(std::string_view token) {
        if (token.size() < sizeof(buffer)) {
            std::memcpy(buffer, token.data(), token.size());
            buffer[token.size()] = '\0';
            text = buffer;
        } else {
            longToken.assign(token);
            text = longToken.c_str();
        }
    }
    TerminatedToken(const TerminatedToken&) = delete;
    TerminatedToken& operator=(const TerminatedToken&) = delete;

    const char* c_str() const { return text; }

private:
    char buffer[64];
    std::string longToken;
    const char* text = nullptr;
};

// from_chars reads the same digits as strtod and strtol when a token starts with a
// digit, a point or a minus sign (and is not hexadecimal), without copying it.
// Everything else (leading white space, a plus sign, hex, inf and nan, out-of-range
// values) goes the slow way, so the results stay exactly strtod's and strtol's.
bool isPlainNumber(std::string_view token) {
    const size_t first = token.size() > 1 && token[0] == '-' ? 1 : 0;
    if (first >= token.size()) {
        return false;
    }
    const char c = token[first];
    const bool hex = c == '0' && first + 1 < token.size() && (token[first + 1] == 'x' || token[first + 1] == 'X');
    return (c == '.' || (c >= '0' && c <= '9')) && !hex;
}

// strtod narrowed to float: leading white space skipped, trailing characters such
// as a carriage return ignored; false when the token holds no number at all.
bool convertFloat(std::string_view token, float& value) {
    double converted = 0;
    if (isPlainNumber(token) &&
        std::from_chars(token.data(), token.data() + token.size(), converted).ec == std::errc()) {
        value = float(converted);
        return true;
    }
    const TerminatedToken terminated(token);
    char* end = nullptr;
    converted = std::strtod(terminated.c_str(), &end);
    if (end == terminated.c_str()) {
        return false;
    }
    value = float(converted);
    return true;
}

// strtol in base 10, with the same fast path.
bool convertInteger(std::string_view token, long& value) {
    if (isPlainNumber(token) &&
        std::from_chars(token.data(), token.data() + token.size(), value).ec == std::errc()) {
        return true;
    }
    const TerminatedToken terminated(token);
    char* end = nullptr;
    const long converted = std::strtol(terminated.c_str(), &end, 10);
    if (end == terminated.c_str()) {
        return false;
    }
    value = converted;
    return true;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// One pass over the text. Each line handler returns false with `reason` set when
// the line is malformed; the first such line ends the parse.
class Parser {
public:
    ObjParseResult run(std::string_view text) {
        ObjParseResult result;
        int lineNumber = 0;
        forEachPiece(text, '\n', [&](std::string_view line) {
            ++lineNumber;
            if (parseLine(line)) {
                return true;
            }
            result.errorLine = lineNumber;
            result.error = reason;
            return false;
        });
        if (result.ok()) {
            result.data = std::move(data);
        }
        return result;
    }

private:
    bool parseLine(std::string_view line) {
        Tokens tokens;
        const size_t count = splitInto(line, ' ', tokens);
        if (count == 0) {
            return true;
        }
        const std::string_view keyword = tokens[0];
        if (keyword == "v" && count == 4) {
            return addPosition(tokens);
        }
        if (keyword == "vt" && count == 3) {
            return appendNumbers(tokens, 2, textureList);
        }
        if (keyword == "vn" && count == 4) {
            return appendNumbers(tokens, 3, normalList);
        }
        if (keyword == "f" && count == 4) {
            return addFace(tokens);
        }
        return true;
    }

    bool addPosition(const Tokens& tokens) {
        // The texture and normal arrays were sized by the position count at the first face.
        if (arraysSized) {
            return fail("position declared after the first face");
        }
        return appendNumbers(tokens, 3, data.positions);
    }

    bool appendNumbers(const Tokens& tokens, size_t count, std::vector<float>& list) {
        float values[3] = {};
        for (size_t i = 0; i < count; ++i) {
            const std::string_view token = tokens[i + 1];
            if (token.empty()) {
                return fail("empty number");
            }
            if (!convertFloat(token, values[i])) {
                return fail(quoted(token) + " is not a number");
            }
        }
        list.insert(list.end(), values, values + count);
        return true;
    }

    bool addFace(const Tokens& tokens) {
        if (!arraysSized) {
            const size_t vertexCount = data.positions.size() / 3;
            data.textureCoords.assign(vertexCount * 2, 0.0f);
            data.normals.assign(vertexCount * 3, 0.0f);
            arraysSized = true;
        }
        return addCorner(tokens[1]) && addCorner(tokens[2]) && addCorner(tokens[3]);
    }

    // Appends the corner's index and overwrites its vertex's texture coordinate and normal.
    bool addCorner(std::string_view corner) {
        std::array<std::string_view, 3> parts;
        if (splitInto(corner, '/', parts) < 3) {
            return fail("face corner " + quoted(corner) + " does not have all three indices");
        }
        size_t position = 0, texture = 0, normal = 0;
        if (!readIndex(corner, parts[0], "face index", data.positions.size() / 3, "positions", position) ||
            !readIndex(corner, parts[1], "texture index", textureList.size() / 2, "texture coordinates", texture) ||
            !readIndex(corner, parts[2], "normal index", normalList.size() / 3, "normals", normal)) {
            return false;
        }
        data.indices.push_back(int(position));
        std::copy_n(&textureList[texture * 2], 2, &data.textureCoords[position * 2]);
        std::copy_n(&normalList[normal * 3], 3, &data.normals[position * 3]);
        return true;
    }

    // A 1-based index into a list of `available` entries, returned 0-based.
    bool readIndex(std::string_view corner, std::string_view token, const char* name, size_t available,
                   const char* listName, size_t& index) {
        if (token.empty()) {
            return fail("face corner " + quoted(corner) + " has an empty " + name);
        }
        long value = 0;
        if (!convertInteger(token, value)) {
            return fail("face corner " + quoted(corner) + " has a " + std::string(name) + " that is not a number");
        }
        if (value <= 0) {
            return fail(std::string(name) + " " + std::to_string(value) + " is not positive");
        }
        if (static_cast<unsigned long>(value) > available) {
            return fail(std::string(name) + " " + std::to_string(value) + " is past the " +
                        std::to_string(available) + " " + listName);
        }
        index = size_t(value) - 1;
        return true;
    }

    bool fail(std::string why) {
        reason = std::move(why);
        return false;
    }

    ObjData data;
    std::vector<float> textureList; // u, v per "vt" line
    std::vector<float> normalList;  // x, y, z per "vn" line
    bool arraysSized = false;
    std::string reason;
};

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file.is_open()) {
        std::perror(path.c_str());
        fatalError("Failed to open " + path);
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        // Not a seekable file: read it as a stream.
        file.clear();
        std::ostringstream contents;
        contents << file.rdbuf();
        return contents.str();
    }
    // One read of the known size; a stream copy is several times slower on large models.
    std::string text(size_t(size), '\0');
    file.seekg(0);
    file.read(text.data(), size);
    text.resize(size_t(file.gcount()));
    return text;
}
}

ObjParseResult parseObj(std::string_view text) {
    return Parser().run(text);
}

Mesh* readObjModel(const std::string& path, ModelLoader& loader) {
    const std::string text = readWholeFile(path);
    const ObjParseResult parsed = parseObj(text);
    if (!parsed.ok()) {
        fatalError(path + ":" + std::to_string(parsed.errorLine) + ": " + parsed.error);
    }
    const ObjData& data = parsed.data;
    return loader.uploadMesh(data.positions, data.textureCoords, data.normals, data.indices);
}

std::vector<std::string> splitString(const std::string& text, char delimiter) {
    std::vector<std::string> pieces;
    forEachPiece(text, delimiter, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
    });
    return pieces;
}
