// The game's OBJ parser beside tinyobjloader and Assimp's OBJ import, each reading
// the same file from disk and parsing it (no GL, no post-processing), on the
// game's own models and on a generated model of about a million triangles.
// Compare the CPU column: it is the steadier one on a shared machine.
#include "assets/ObjParser.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct ObjFile {
    std::string path;
    size_t bytes = 0;
    size_t triangles = 0;
};

size_t countTriangles(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    size_t faces = 0;
    while (std::getline(file, line)) {
        faces += line.rfind("f ", 0) == 0;
    }
    return faces;
}

ObjFile describe(const std::string& path) {
    return {path, size_t(std::filesystem::file_size(path)), countTriangles(path)};
}

// A height field of 708 x 708 vertices: 1,000,000 triangles in the game's subset.
const ObjFile& largeModel() {
    static const ObjFile file = [] {
        const std::string path = (std::filesystem::temp_directory_path() / "wm-bench-large.obj").string();
        constexpr int SIDE = 708;
        std::FILE* out = std::fopen(path.c_str(), "w");
        for (int z = 0; z < SIDE; ++z) {
            for (int x = 0; x < SIDE; ++x) {
                std::fprintf(out, "v %.6f %.6f %.6f\n", x * 0.5, std::sin(x * 0.1) * std::cos(z * 0.13) * 3.0, z * 0.5);
            }
        }
        for (int z = 0; z < SIDE; ++z) {
            for (int x = 0; x < SIDE; ++x) {
                std::fprintf(out, "vt %.6f %.6f\n", x / double(SIDE - 1), z / double(SIDE - 1));
            }
        }
        for (int i = 0; i < SIDE * SIDE; ++i) {
            std::fprintf(out, "vn 0.000000 1.000000 0.000000\n");
        }
        for (int z = 0; z + 1 < SIDE; ++z) {
            for (int x = 0; x + 1 < SIDE; ++x) {
                const int a = z * SIDE + x + 1, b = a + 1, c = a + SIDE, d = c + 1;
                std::fprintf(out, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c, b, b, b);
                std::fprintf(out, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", b, b, b, c, c, c, d, d, d);
            }
        }
        std::fclose(out);
        return describe(path);
    }();
    return file;
}

void report(benchmark::State& state, const ObjFile& file) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.bytes));
    state.counters["triangles/s"] = benchmark::Counter(double(file.triangles) * double(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}

void gameParser(benchmark::State& state, const ObjFile& file) {
    for (auto _ : state) {
        // Read and parsed as the game reads its models (loadObjModel without the upload).
        ObjParseResult result;
        if (!parseObjFile(file.path, result) || !result.ok()) {
            state.SkipWithError("the game's parser refused the file");
            break;
        }
        benchmark::DoNotOptimize(result.data.indices.data());
    }
    report(state, file);
}

void tinyObj(benchmark::State& state, const ObjFile& file) {
    for (auto _ : state) {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, file.path.c_str(), nullptr, true);
        benchmark::DoNotOptimize(attrib.vertices.data());
    }
    report(state, file);
}

void assimpObj(benchmark::State& state, const ObjFile& file) {
    for (auto _ : state) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(file.path.c_str(), 0);
        benchmark::DoNotOptimize(scene);
    }
    report(state, file);
}

void registerAll() {
    std::vector<ObjFile> files;
    for (const char* name : {"pc", "pcFace", "tree", "lamp", "fern", "marker"}) {
        const std::string path = std::string("Resources/") + name + ".obj";
        if (std::filesystem::exists(path)) {
            files.push_back(describe(path));
        }
    }
    files.push_back(largeModel());
    for (const ObjFile& file : files) {
        const std::string name = std::filesystem::path(file.path).filename().string();
        benchmark::RegisterBenchmark(("ObjLoad/game/" + name).c_str(), gameParser, file)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ObjLoad/tinyobjloader/" + name).c_str(), tinyObj, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ObjLoad/assimp/" + name).c_str(), assimpObj, file)
            ->Unit(benchmark::kMillisecond);
    }
}

const bool REGISTERED = (registerAll(), true);

}
