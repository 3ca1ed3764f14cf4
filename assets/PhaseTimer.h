#pragma once
// Opt-in timing of the start-up steps and the frame's render calls, read by the
// frame benchmark. A timer adds its wall-clock and thread CPU time to its phase;
// time spent inside a nested timer counts for the inner phase only, so the phases
// add up. Switched off (the default) a timer costs one branch.

#include <functional>

enum class Phase { TERRAIN, MODELS, TEXTURES, RENDERER, SCENE_SUBMIT, GUI_SUBMIT, COUNT };

struct PhaseTotals {
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0; // this thread's CPU time
    long calls = 0;
};

class PhaseTimer {
public:
    explicit PhaseTimer(Phase phase);
    ~PhaseTimer();
    PhaseTimer(const PhaseTimer&) = delete;
    PhaseTimer& operator=(const PhaseTimer&) = delete;

    static void enable(bool on);
    static void reset();
    static PhaseTotals totals(Phase phase);
    // Called at the start (begin = true) and end of every timed phase while enabled,
    // outside the timed span; the benchmark synchronises with the GPU here.
    static void setListener(std::function<void(Phase phase, bool begin)> listener);

private:
    Phase phase;
    bool active = false;
    double startWall = 0.0, startCpu = 0.0;
    double nestedWall = 0.0, nestedCpu = 0.0;
    PhaseTimer* outer = nullptr;
};
