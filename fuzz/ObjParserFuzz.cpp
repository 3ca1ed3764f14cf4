// Any text must parse to arrays whose indices stay inside them, or to an error that
// names a line of the text; and splitting the text gives back exactly its pieces.
#include "assets/ObjParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Joined with the delimiter, the pieces are the text without one final delimiter.
void checkSplit(const std::string& text, char delimiter) {
    const std::vector<std::string> pieces = splitString(text, delimiter);
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            joined += delimiter;
        }
        joined += pieces[i];
    }
    const bool endsInDelimiter = !text.empty() && text.back() == delimiter;
    if (joined != (endsInDelimiter ? text.substr(0, text.size() - 1) : text)) {
        std::abort();
    }
}

size_t lineCount(std::string_view text) {
    size_t lines = 0;
    for (const char c : text) {
        lines += c == '\n';
    }
    return lines + 1;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ObjParseResult result = parseObj(text);
    if (size <= 4096) {
        checkSplit(std::string(text), size > 0 ? char(data[0]) : ' ');
    }
    if (!result.ok()) {
        if (result.errorLine < 1 || size_t(result.errorLine) > lineCount(text) || result.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const ObjData& obj = result.data;
    const std::size_t vertices = obj.positions.size() / 3;
    if (obj.positions.size() % 3 != 0 || obj.indices.size() % 3 != 0) {
        std::abort();
    }
    if (!obj.indices.empty() && (obj.textureCoords.size() != vertices * 2 || obj.normals.size() != vertices * 3)) {
        std::abort();
    }
    for (const int index : obj.indices) {
        if (index < 0 || std::size_t(index) >= vertices) {
            std::abort();
        }
    }
    return 0;
}
