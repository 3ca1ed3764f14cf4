// Any file reads back as its lines, each ended with one "\n".
#include "render/ShaderProgram.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/wm-fuzz-shader-" + std::to_string(getpid()) + ".glsl";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    std::string source;
    if (!ShaderProgram::readSource(path, source)) {
        std::abort();
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string expected = text;
    if (!expected.empty() && expected.back() != '\n') {
        expected += '\n';
    }
    if (source != expected) {
        std::abort();
    }
    return 0;
}
