#include "app/HeapTuning.h"
#include "app/Game.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>

TEST(HeapTuning, OnlyTheStartUpStepTunesTheHeapNotBuildingAGame) {
    if (!canTuneHeap())
        GTEST_SKIP() << "this build's allocator is not glibc's heap (AddressSanitizer), so nothing is tuned";
    // Bytes the allocator holds from the system, in the heap and in separate mappings.
    const auto heapBytes = [] { return mallinfo2().arena + mallinfo2().hblkhd; };
    constexpr size_t UNTOUCHED = size_t(1) << 20; // a Game's own members are far smaller
    constexpr size_t TUNED = size_t(64) << 20;    // the step keeps 128 MB of freed heap
    // In a fresh process: tuning is once per process, and an earlier test may have done it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const size_t before = heapBytes();
            { const Game game; }
            const size_t afterGame = heapBytes();
            tuneHeapForLoading();
            std::exit(afterGame - before < UNTOUCHED && heapBytes() - afterGame >= TUNED ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
