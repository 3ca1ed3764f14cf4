#pragma once
// Process-wide allocator settings for start-up, made once by the entry routine (never by
// an object that tests and tools also build).

// Whether this build's allocator takes the settings: glibc's heap, not AddressSanitizer's.
bool canTuneHeap();

// Keeps freed large blocks in the heap and asks for 2 MB pages for its first 128 MB, so
// loading pays far fewer page faults. Only advice: where it is not taken, nothing changes.
void tuneHeapForLoading();
