// Any text must parse to arrays whose indices stay inside them, or to an error.
#include "assets/ObjParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ObjParseResult result = parseObj(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!result.ok()) {
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
