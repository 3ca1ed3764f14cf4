#pragma once
// Process-wide allocator settings for start-up, made once by the entry routine (never by
// an object that tests and tools also build).

#include <cstddef>

// Whether this build's allocator takes the settings: glibc's heap, not AddressSanitizer's.
bool canTuneHeap();

// Asks the kernel to back the whole 2 MB pages inside [start, start + bytes) with 2 MB
// pages: one fault per 2 MB on first touch instead of 512. Only advice.
void adviseHugePages(const void* start, std::size_t bytes);

// Keeps freed large blocks in the heap and asks for 2 MB pages for its first 128 MB, so
// loading pays far fewer page faults. Only advice: where it is not taken, nothing changes.
void tuneHeapForLoading();
