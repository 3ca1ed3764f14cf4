// Frame benchmark: the real game in a real window under the current DISPLAY, set up
// as the game sets itself up and driven along a scripted camera path with a fixed
// 1/60 s clock. Prints the start-up time by phase, frame times, the CPU split per
// frame, the share of each pass, peak memory and heap allocations per frame.
// Run from the repository root (the game reads Shaders/ and Resources/ from there),
// or through scripts/bench.sh:
//   build-bench/bench/wm_bench_frame [--frames N] [--csv FILE] [--screenshots DIR] [--profile K]
// --profile K plays only K frames after a short warm-up and reports nothing, for running
// under a profiler (e.g. callgrind with LP_NUM_THREADS=0 and --toggle-collect='*runProfiledFrame*').
#include "AllocationCounter.h"
#include "CameraPath.h"
#include "Screenshot.h"

#include "app/FrameClock.h"
#include "app/Game.h"
#include "app/HeapTuning.h"
#include "assets/PhaseTimer.h"
#include "render/SceneRenderer.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr int DEFAULT_FRAMES = 300;
constexpr double FRAME_STEP_MS = 1000.0 / 60.0;
// Frames a profiling run plays before the profiled ones; late shader variants are built by then.
constexpr int PROFILE_WARM_UP = 5;
constexpr int SCREENSHOTS = 10; // along the path, with the last frame
constexpr int PASSES = 5;       // reflection, refraction, main, water, GUI
const char* const PASS_NAMES[PASSES] = {"reflection", "refraction", "main", "water", "GUI"};

struct Options {
    int frames = DEFAULT_FRAMES;
    int profileFrames = 0; // > 0: only that many frames of the timed run, for a profiler
    std::string csvPath;
    std::string screenshotDir;
};

double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}
double wallNow() {
    return seconds(CLOCK_MONOTONIC);
}
double threadCpuNow() {
    return seconds(CLOCK_THREAD_CPUTIME_ID);
}
double processCpuNow() {
    return seconds(CLOCK_PROCESS_CPUTIME_ID);
}

// Time from the process start to now, from /proc (clock-tick resolution, 10 ms).
double secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0.0;
    }
    const char* field = text.c_str() + close + 2;
    // Field 22 (start time) is the 20th after the command name.
    for (int i = 0; i < 19 && field; ++i) {
        field = std::strchr(field, ' ');
        field = field ? field + 1 : nullptr;
    }
    if (!field) {
        return 0.0;
    }
    const double startTicks = std::strtod(field, nullptr);
    return seconds(CLOCK_BOOTTIME) - startTicks / double(sysconf(_SC_CLK_TCK));
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue) {
            options.frames = std::max(CameraPath::MIN_FRAMES, std::atoi(argv[++i]));
        } else if (arg == "--profile" && hasValue) {
            options.profileFrames = std::atoi(argv[++i]);
        } else if (arg == "--csv" && hasValue) {
            options.csvPath = argv[++i];
        } else if (arg == "--screenshots" && hasValue) {
            options.screenshotDir = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--frames N] [--csv FILE] [--screenshots DIR] [--profile K]\n", argv[0]);
            std::exit(2);
        }
    }
    // Made here, so a mistyped or missing folder fails before the run, not silently at each save.
    if (!options.screenshotDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.screenshotDir, error);
        if (error) {
            std::fprintf(stderr, "Cannot make the screenshot folder %s: %s\n", options.screenshotDir.c_str(),
                         error.message().c_str());
            std::exit(2);
        }
    }
    return options;
}

// Nearest-rank percentile.
double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(p / 100.0 * double(values.size())));
    return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

double mean(const std::vector<double>& values) {
    return values.empty() ? 0.0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

std::string cpuModel() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("model name", 0) == 0) {
            return line.substr(line.find(':') + 2);
        }
    }
    return "unknown";
}

// What the game changes while it plays, so the path can be played again from the start.
struct GameSnapshot {
    explicit GameSnapshot(const Game& game)
        : camera(game.camera), player(*game.player), anchor(*game.cameraAnchor),
          face(*game.entities[Game::ENTITY_FACE]), marker(*game.entities[Game::ENTITY_MARKER]), path(game.path),
          input(game.input), walking(game.walking), messageShown(game.messageShown), lampChecked(game.lampChecked),
          headSwing(game.headSwing) {}

    void restore(Game& game) const {
        game.camera = camera;
        *game.player = player;
        *game.cameraAnchor = anchor;
        *game.entities[Game::ENTITY_FACE] = face;
        *game.entities[Game::ENTITY_MARKER] = marker;
        game.path = path;
        game.input = input;
        game.walking = walking;
        game.messageShown = messageShown;
        game.lampChecked = lampChecked;
        game.headSwing = headSwing;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    Camera camera;
    Player player, anchor;
    Entity face, marker;
    std::deque<Vec3> path;
    InputState input;
    bool walking, messageShown, lampChecked;
    float headSwing;
};

struct StartUp {
    double beforeMain = 0, window = 0, shaders = 0, scene = 0, firstFrame = 0, total = 0;
    PhaseTotals terrain, models, textures, renderer;
};

// One frame of the timed run: wall time, the main thread's CPU split, all threads' CPU.
struct FrameSample {
    double wall = 0, logicCpu = 0, renderCpu = 0, swapCpu = 0, threadCpu = 0, processCpu = 0;
    long allocations = 0, processAllocations = 0;
};

// One frame of the synchronised run: each pass from its start to glFinish after it.
// Wall time shows the pass's cost as the player sees it; process CPU time (all
// threads) is steadier when other programs share the machine.
struct PassSample {
    double pass[PASSES] = {};
    double passCpu[PASSES] = {};
    double present = 0; // buffer swap
};

// The frames a profiler should look at; frame 0 compiles the shader variants.
__attribute__((noinline)) void runProfiledFrame(Game& game) {
    game.runFrame();
}

class FrameBench {
public:
    FrameBench(const Options& givenOptions, double givenProcessStart, double givenMainEntry)
        : options(givenOptions), processStart(givenProcessStart), mainEntry(givenMainEntry) {}

    int run() {
        startUp();
        const GameSnapshot start(game);
        CameraPath path(game.display.window, options.frames);
        path.beforeFrame(0);
        timeFirstFrame();
        timedRun(path);
        if (options.profileFrames > 0) {
            game.shutDown();
            return 0;
        }
        start.restore(game);
        synchronisedRun(path);
        game.sceneRenderer()->setPassObserver(nullptr);
        PhaseTimer::setListener(nullptr);
        report();
        writeCsv();
        game.shutDown();
        return 0;
    }

private:
    void startUp() {
        startup.beforeMain = mainEntry - processStart;
        PhaseTimer::enable(true);
        double t = wallNow();
        game.openWindow();
        startup.window = wallNow() - t;
        t = wallNow();
        game.buildShaders();
        startup.shaders = wallNow() - t;
        PhaseTimer::reset();
        t = wallNow();
        game.setUpScene();
        startup.scene = wallNow() - t;
        startup.terrain = PhaseTimer::totals(Phase::TERRAIN);
        startup.models = PhaseTimer::totals(Phase::MODELS);
        startup.textures = PhaseTimer::totals(Phase::TEXTURES);
        startup.renderer = PhaseTimer::totals(Phase::RENDERER);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    // Frame 0 of the path: everything is compiled and uploaded on first use, and it
    // ends with the first presented frame.
    void timeFirstFrame() {
        const double t = wallNow();
        game.runFrame();
        startup.firstFrame = wallNow() - t;
        startup.total = wallNow() - processStart;
    }

    // Frames 1 .. N-1 as the game runs them, with the CPU split taken where the
    // render calls begin and end.
    void timedRun(CameraPath& path) {
        double logicEndCpu = 0, renderEndCpu = 0;
        PhaseTimer::setListener([&](Phase phase, bool begin) {
            if (phase == Phase::SCENE_SUBMIT && begin) {
                logicEndCpu = threadCpuNow();
            } else if (phase == Phase::GUI_SUBMIT && !begin) {
                renderEndCpu = threadCpuNow();
            }
        });
        AllocationCounter::countOnThisThread();
        const int last = options.profileFrames > 0
                             ? std::min(options.frames, PROFILE_WARM_UP + options.profileFrames + 1)
                             : options.frames;
        for (int frame = 1; frame < last; ++frame) {
            path.beforeFrame(frame);
            const long allocations = AllocationCounter::onThread();
            const long processAllocations = AllocationCounter::inProcess();
            const double wall = wallNow(), cpu = threadCpuNow(), processCpu = processCpuNow();
            if (options.profileFrames > 0 && frame <= PROFILE_WARM_UP) {
                game.runFrame();
            } else {
                runProfiledFrame(game);
            }
            FrameSample s;
            s.wall = wallNow() - wall;
            const double endCpu = threadCpuNow();
            s.processCpu = processCpuNow() - processCpu;
            s.threadCpu = endCpu - cpu;
            s.logicCpu = logicEndCpu - cpu;
            s.renderCpu = renderEndCpu - logicEndCpu;
            s.swapCpu = endCpu - renderEndCpu;
            s.allocations = AllocationCounter::onThread() - allocations;
            s.processAllocations = AllocationCounter::inProcess() - processAllocations;
            frames.push_back(s);
        }
    }

    // The path again from the start, waiting for the rasteriser after every pass.
    void synchronisedRun(CameraPath& path) {
        double mark = 0, cpuMark = 0;
        PassSample current;
        int frame = 0;
        const auto finish = [&](int slot) {
            glFinish();
            const double now = wallNow(), cpu = processCpuNow();
            current.pass[slot] = now - mark;
            current.passCpu[slot] = cpu - cpuMark;
            mark = now;
            cpuMark = cpu;
        };
        game.sceneRenderer()->setPassObserver(
            [&](ScenePass pass, const EntityBatches&, const std::vector<Terrain*>&) { finish(int(pass)); });
        PhaseTimer::setListener([&](Phase phase, bool begin) {
            if (phase == Phase::SCENE_SUBMIT && begin) {
                glFinish();
                mark = wallNow();
                cpuMark = processCpuNow();
            } else if (phase == Phase::SCENE_SUBMIT) {
                finish(3);
            } else if (phase == Phase::GUI_SUBMIT && !begin) {
                finish(4);
                if (!options.screenshotDir.empty() && isScreenshotFrame(frame)) {
                    char name[32];
                    std::snprintf(name, sizeof(name), "/frame-%03d.png", frame);
                    const std::string file = options.screenshotDir + name;
                    if (!saveScreenshot(file, Display::WIDTH, Display::HEIGHT)) {
                        std::fprintf(stderr, "Could not save %s\n", file.c_str());
                    }
                    mark = wallNow();
                }
            }
        });
        for (frame = 0; frame < options.frames; ++frame) {
            path.beforeFrame(frame);
            game.runFrame();
            current.present = wallNow() - mark;
            passes.push_back(current);
        }
    }

    bool isScreenshotFrame(int frame) const {
        const int every = options.frames / SCREENSHOTS;
        return frame % every == 0 || frame == options.frames - 1;
    }

    void report() const;
    void reportStartUp() const;
    void reportFrames() const;
    void reportPasses() const;
    void writeCsv() const;

    Options options;
    Game game;
    StartUp startup;
    std::vector<FrameSample> frames;
    std::vector<PassSample> passes;
    double processStart, mainEntry; // monotonic seconds
};

template <typename Field>
std::vector<double> column(const std::vector<FrameSample>& samples, Field field) {
    std::vector<double> values;
    for (const FrameSample& s : samples) {
        values.push_back(double(field(s)));
    }
    return values;
}

void printPhase(const char* name, double seconds, const char* note = "") {
    std::printf("  %-28s %8.1f ms %s\n", name, seconds * 1000.0, note);
}

void FrameBench::report() const {
    std::printf("\n== WM frame benchmark: %d frames at %dx%d, fixed %.4f s steps ==\n", options.frames, Display::WIDTH,
                Display::HEIGHT, FRAME_STEP_MS / 1000.0);
    std::printf("CPU: %s, %ld cores online\n", cpuModel().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("GL: %s | %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    reportStartUp();
    reportFrames();
    reportPasses();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\nPeak resident memory: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
}

void FrameBench::reportStartUp() const {
    const StartUp& s = startup;
    const double loaders = s.terrain.wallSeconds + s.models.wallSeconds + s.textures.wallSeconds +
                           s.renderer.wallSeconds;
    std::printf("\nStart-up to the first presented frame\n");
    printPhase("process start to main", s.beforeMain, "(10 ms resolution)");
    printPhase("window and context", s.window);
    printPhase("shaders (compile, link)", s.shaders);
    printPhase("terrain", s.terrain.wallSeconds);
    printPhase("models (OBJ and Assimp)", s.models.wallSeconds);
    printPhase("textures (decode, upload)", s.textures.wallSeconds);
    printPhase("renderer (targets, meshes)", s.renderer.wallSeconds);
    printPhase("rest of scene set-up", s.scene - loaders);
    printPhase("first frame", s.firstFrame, "(shader variants built on first use)");
    printPhase("total", s.total);
}

void FrameBench::reportFrames() const {
    const std::vector<double> wall = column(frames, [](const FrameSample& s) { return s.wall * 1000.0; });
    const double p50 = percentile(wall, 50);
    std::printf("\nFrames 1-%d (frame 0 is in the start-up)\n", options.frames - 1);
    std::printf("  frame time p50 %.1f ms, p95 %.1f ms, p99 %.1f ms, max %.1f ms\n", p50, percentile(wall, 95),
                percentile(wall, 99), percentile(wall, 100));
    std::printf("  frame rate: %.1f fps at the median frame, %.1f fps over the path\n", 1000.0 / p50,
                1000.0 / mean(wall));

    std::printf("\nCPU time per frame, ms (median / mean)\n");
    const auto line = [&](const char* name, auto field) {
        const std::vector<double> v = column(frames, [&](const FrameSample& s) { return field(s) * 1000.0; });
        std::printf("  %-46s %7.3f / %7.3f\n", name, percentile(v, 50), mean(v));
    };
    line("game logic (runFrame steps 1-11, main thread)", [](const FrameSample& s) { return s.logicCpu; });
    line("render submission (drawScene, drawGui)", [](const FrameSample& s) { return s.renderCpu; });
    line("buffer swap (endFrame)", [](const FrameSample& s) { return s.swapCpu; });
    line("main thread, whole frame", [](const FrameSample& s) { return s.threadCpu; });
    line("process, all threads (llvmpipe workers too)", [](const FrameSample& s) { return s.processCpu; });

    const std::vector<double> allocations = column(frames, [](const FrameSample& s) { return s.allocations; });
    const std::vector<double> all = column(frames, [](const FrameSample& s) { return s.processAllocations; });
    std::printf("\nHeap allocations per frame (operator new): main thread median %.0f, max %.0f; "
                "all threads median %.0f, max %.0f\n",
                percentile(allocations, 50), percentile(allocations, 100), percentile(all, 50), percentile(all, 100));
}

void FrameBench::reportPasses() const {
    double totals[PASSES] = {}, cpuTotals[PASSES] = {};
    double sum = 0;
    for (const PassSample& p : passes) {
        for (int i = 0; i < PASSES; ++i) {
            totals[i] += p.pass[i];
            cpuTotals[i] += p.passCpu[i];
            sum += p.pass[i];
        }
    }
    std::vector<double> present;
    for (const PassSample& p : passes) {
        present.push_back(p.present * 1000.0);
    }
    std::printf("\nPass share (second run of the path, glFinish after every pass)\n");
    for (int i = 0; i < PASSES; ++i) {
        const double ms = totals[i] / double(passes.size()) * 1000.0;
        const double cpuMs = cpuTotals[i] / double(passes.size()) * 1000.0;
        std::printf("  %-12s %7.2f ms per frame  %5.1f %%   (%7.2f ms CPU, all threads)\n", PASS_NAMES[i], ms,
                    100.0 * totals[i] / sum, cpuMs);
    }
    std::printf("  buffer swap %7.2f ms per frame (median), not in the shares\n", percentile(present, 50));
}

void FrameBench::writeCsv() const {
    if (options.csvPath.empty()) {
        return;
    }
    std::FILE* out = std::fopen(options.csvPath.c_str(), "w");
    if (!out) {
        std::perror(options.csvPath.c_str());
        return;
    }
    std::fprintf(out, "frame,frame_ms,logic_cpu_ms,render_cpu_ms,swap_cpu_ms,process_cpu_ms,allocations");
    for (const char* name : PASS_NAMES) {
        std::fprintf(out, ",%s_ms", name);
    }
    for (const char* name : PASS_NAMES) {
        std::fprintf(out, ",%s_cpu_ms", name);
    }
    std::fprintf(out, "\n");
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameSample& s = frames[i];
        std::fprintf(out, "%zu,%.3f,%.4f,%.4f,%.4f,%.4f,%ld", i + 1, s.wall * 1e3, s.logicCpu * 1e3, s.renderCpu * 1e3,
                     s.swapCpu * 1e3, s.processCpu * 1e3, s.allocations);
        const PassSample& p = passes[i + 1];
        for (double pass : p.pass) {
            std::fprintf(out, ",%.3f", pass * 1e3);
        }
        for (double pass : p.passCpu) {
            std::fprintf(out, ",%.3f", pass * 1e3);
        }
        std::fprintf(out, "\n");
    }
    std::fclose(out);
}

}

int main(int argc, char** argv) {
    const double mainEntry = wallNow();
    const double processStart = mainEntry - secondsSinceProcessStart();
    const Options options = parseOptions(argc, argv);
    SDL_SetMainReady();
    tuneHeapForLoading(); // as the game's own entry routine does
    long stamp = 0;
    setFrameStampSource([&stamp] { return std::llround(double(stamp++) * FRAME_STEP_MS); });
    FrameBench bench(options, processStart, mainEntry);
    return bench.run();
}
