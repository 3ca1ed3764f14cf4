#include "assets/PhaseTimer.h"

#include <array>
#include <ctime>

namespace {

bool enabled = false;
std::array<PhaseTotals, size_t(Phase::COUNT)> phaseTotals;
std::function<void(Phase, bool)> phaseListener;
PhaseTimer* innermost = nullptr;

double secondsOf(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

}

PhaseTimer::PhaseTimer(Phase givenPhase) : phase(givenPhase) {
    if (!enabled) {
        return;
    }
    if (phaseListener) {
        phaseListener(givenPhase, true);
    }
    active = true;
    outer = innermost;
    innermost = this;
    startWall = secondsOf(CLOCK_MONOTONIC);
    startCpu = secondsOf(CLOCK_THREAD_CPUTIME_ID);
}

PhaseTimer::~PhaseTimer() {
    if (!active) {
        return;
    }
    const double wall = secondsOf(CLOCK_MONOTONIC) - startWall;
    const double cpu = secondsOf(CLOCK_THREAD_CPUTIME_ID) - startCpu;
    PhaseTotals& total = phaseTotals[size_t(phase)];
    total.wallSeconds += wall - nestedWall;
    total.cpuSeconds += cpu - nestedCpu;
    ++total.calls;
    innermost = outer;
    if (outer) {
        outer->nestedWall += wall;
        outer->nestedCpu += cpu;
    }
    if (phaseListener) {
        phaseListener(phase, false);
    }
}

void PhaseTimer::enable(bool on) {
    enabled = on;
}

void PhaseTimer::reset() {
    phaseTotals.fill(PhaseTotals());
}

PhaseTotals PhaseTimer::totals(Phase phase) {
    return phaseTotals[size_t(phase)];
}

void PhaseTimer::setListener(std::function<void(Phase, bool)> listener) {
    phaseListener = std::move(listener);
}
