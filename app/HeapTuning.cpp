#include "app/HeapTuning.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

// AddressSanitizer keeps its own heap; the advice below would only fill its quarantine.
#if defined(__SANITIZE_ADDRESS__)
#define WM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WM_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef WM_ADDRESS_SANITIZER
#define WM_ADDRESS_SANITIZER 0
#endif

void adviseHugePages(const void* start, std::size_t bytes) {
    constexpr std::uintptr_t HUGE_PAGE = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (begin + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::uintptr_t last = (begin + bytes) & ~(HUGE_PAGE - 1);
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

bool canTuneHeap() {
#if defined(__GLIBC__)
    return !WM_ADDRESS_SANITIZER;
#else
    return false;
#endif
}

// Start-up decodes images, builds meshes and fills GL buffers in blocks of a megabyte or
// more, most of them freed soon after. By default each such block is a fresh mapping,
// and every 4 KB page of it faults on first touch, which on a virtual machine can cost
// more than the work done in the page. So freed blocks stay in the heap for the next
// one, and the heap's first stretch is advised to use 2 MB pages: one fault per 2 MB.
// Only advice: where it is not taken, nothing changes but the speed. Measured on the
// 2-core virtual machine: start-up 853 -> 540 ms, models 104 -> 32 ms, textures 358 -> 180 ms
// (docs/PERFORMANCE.md has every phase).
void tuneHeapForLoading() {
    if (!canTuneHeap()) {
        return;
    }
#if defined(__GLIBC__)
    constexpr int MAPPED_FROM = 32 << 20; // the largest glibc accepts
    constexpr int TRIMMED_FROM = 512 << 20;
    constexpr size_t BLOCK = size_t(16) << 20;
    constexpr int BLOCKS = 8;
    mallopt(M_MMAP_THRESHOLD, MAPPED_FROM);
    mallopt(M_TRIM_THRESHOLD, TRIMMED_FROM);
    void* blocks[BLOCKS] = {};
    for (void*& block : blocks) {
        block = std::malloc(BLOCK);
        if (block) {
            adviseHugePages(block, BLOCK);
        }
    }
    for (void* block : blocks) {
        std::free(block); // back into the heap, untouched, for the loaders
    }
#endif
}
