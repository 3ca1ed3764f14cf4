// Micro-benchmarks of the per-frame logic and the terrain build. Run from the
// repository root: build/bench/wm_bench_micro
#include "app/HeapTuning.h"
#include "assets/Terrain.h"
#include "world/Camera.h"
#include "world/InputState.h"
#include "world/PathWalking.h"
#include "world/Player.h"
#include "world/TerrainPicker.h"

#include <SOIL/SOIL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace {

// The game's height map, or a rolling synthetic one when run outside the repository.
std::vector<unsigned char> heightMapPixels(int& side) {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = SOIL_load_image("Resources/heightmap3.png", &width, &height, &channels, SOIL_LOAD_L);
    if (pixels && width == height) {
        side = width;
        std::vector<unsigned char> copy(pixels, pixels + size_t(width) * height);
        SOIL_free_image_data(pixels);
        return copy;
    }
    SOIL_free_image_data(pixels);
    side = 256;
    std::vector<unsigned char> synthetic(size_t(side) * side);
    for (int z = 0; z < side; ++z) {
        for (int x = 0; x < side; ++x) {
            synthetic[size_t(z) * side + x] = (unsigned char)(128 + 60 * std::sin(x * 0.05) * std::cos(z * 0.07));
        }
    }
    return synthetic;
}

const Terrain& sceneTerrain() {
    static const Terrain terrain = [] {
        int side = 0;
        const std::vector<unsigned char> pixels = heightMapPixels(side);
        return Terrain(Terrain::buildGeometry(pixels.data(), side));
    }();
    return terrain;
}

void BM_HeightAt(benchmark::State& state) {
    const Terrain& terrain = sceneTerrain();
    std::mt19937 random(7);
    // A quarter of the points lie off the terrain.
    std::uniform_real_distribution<float> coordinate(-125.0f, 625.0f);
    std::vector<float> points(4096);
    for (float& p : points) {
        p = coordinate(random);
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(terrain.heightAt(points[i & 4095], points[(i + 1) & 4095]));
        i += 2;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HeightAt);

void BM_TerrainGeometry(benchmark::State& state) {
    int side = 0;
    const std::vector<unsigned char> pixels = heightMapPixels(side);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Terrain::buildGeometry(pixels.data(), side));
    }
}
BENCHMARK(BM_TerrainGeometry)->Unit(benchmark::kMillisecond);

void BM_PickerUpdate(benchmark::State& state) {
    const Terrain& terrain = sceneTerrain();
    InputState input;
    Player anchor(&input, nullptr, Vec3(188.0f, terrain.heightAt(188, 377), 377.0f), 0, 0, 0, 2);
    Camera camera;
    camera.input = &input;
    camera.pitch = 45;
    camera.target = &anchor;
    camera.move();
    TerrainPicker picker(&input, &camera, Transforms::makeProjectionMatrix(1024, 768), &terrain, 1024, 768);
    float x = 0;
    for (auto _ : state) {
        input.mouseX = x;
        input.mouseY = 500;
        x = x > 1000 ? 0 : x + 7;
        picker.update();
        benchmark::DoNotOptimize(picker.getPickedPoint());
    }
}
BENCHMARK(BM_PickerUpdate);

// One frame of the movement logic: the player's keys, a path step and the anchor.
void BM_MovementFrame(benchmark::State& state) {
    const Terrain& terrain = sceneTerrain();
    InputState input;
    input.pressed[Keys::LEFT] = true;
    input.pressed[Keys::UP] = true;
    Player player(&input, nullptr, Vec3(188.0f, 0.0f, 377.0f), 0, 0, 0, 0.5f);
    Player anchor(&input, nullptr, Vec3(188.0f, 0.0f, 377.0f), 0, 0, 0, 2);
    Camera camera;
    camera.input = &input;
    camera.target = &anchor;
    std::deque<Vec3> path;
    for (auto _ : state) {
        if (path.empty()) {
            path = {Vec3(295, 0, 265), Vec3(111, 0, 138), Vec3(188, 0, 377)};
        }
        camera.move();
        player.move(terrain, 1.0f / 60.0f);
        walkPath(player, path, terrain, 1.0f / 60.0f);
        moveAnchor(anchor, input, terrain, 1.0f / 60.0f);
        benchmark::DoNotOptimize(player.position);
    }
}
BENCHMARK(BM_MovementFrame);

}

// The loaders are measured in the heap the game loads in (its entry routine tunes it),
// so fresh pages are not counted against whichever loader runs first. WM_DEFAULT_HEAP=1
// leaves glibc's defaults, for the figures without it.
int main(int argc, char** argv) {
    const char* defaultHeap = std::getenv("WM_DEFAULT_HEAP");
    if (!defaultHeap || std::string(defaultHeap) != "1") {
        tuneHeapForLoading();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
