#include "assets/PhaseTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace {

class PhaseTiming : public testing::Test {
protected:
    void SetUp() override {
        PhaseTimer::reset();
        PhaseTimer::enable(true);
        PhaseTimer::setListener([this](Phase phase, bool begin) { events.emplace_back(phase, begin); });
    }
    void TearDown() override {
        PhaseTimer::setListener(nullptr);
        PhaseTimer::enable(false);
        PhaseTimer::reset();
    }

    std::vector<std::pair<Phase, bool>> events;
};

}

TEST_F(PhaseTiming, NestedTimeCountsForTheInnerPhaseOnlyAndSwitchedOffTimersRecordNothing) {
    {
        const PhaseTimer models(Phase::MODELS);
        const PhaseTimer textures(Phase::TEXTURES);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const PhaseTotals outer = PhaseTimer::totals(Phase::MODELS), inner = PhaseTimer::totals(Phase::TEXTURES);
    EXPECT_EQ(outer.calls, 1);
    EXPECT_EQ(inner.calls, 1);
    EXPECT_GE(inner.wallSeconds, 0.019);
    EXPECT_LT(outer.wallSeconds, inner.wallSeconds) << "the sleep belongs to the inner phase";
    EXPECT_LT(inner.cpuSeconds, inner.wallSeconds) << "sleeping costs no CPU time";
    const std::vector<std::pair<Phase, bool>> order{
        {Phase::MODELS, true}, {Phase::TEXTURES, true}, {Phase::TEXTURES, false}, {Phase::MODELS, false}};
    EXPECT_EQ(events, order);
    // Switched off, timers record and report nothing.
    events.clear();
    PhaseTimer::enable(false);
    { const PhaseTimer timer(Phase::TERRAIN); }
    PhaseTimer::enable(true);
    { const PhaseTimer timer(Phase::RENDERER); }
    EXPECT_EQ(PhaseTimer::totals(Phase::TERRAIN).calls, 0);
    EXPECT_EQ(PhaseTimer::totals(Phase::RENDERER).calls, 1);
    EXPECT_EQ(events.size(), 2u);
    PhaseTimer::reset();
    EXPECT_EQ(PhaseTimer::totals(Phase::RENDERER).calls, 0);
}
