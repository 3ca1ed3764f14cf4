#pragma once
// Counts calls of the global operator new, which AllocationCounter.cpp replaces for
// the benchmark executable only. Calls from the thread that called
// countOnThisThread() are counted apart from the process-wide total.

namespace AllocationCounter {

// Marks the calling thread as the one whose allocations onThread() reports.
void countOnThisThread();
long onThread();
long inProcess();

}
