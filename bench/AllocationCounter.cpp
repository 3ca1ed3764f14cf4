#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> processCount{0};
long threadCount = 0; // written by the counted thread only
thread_local bool countedThread = false;

void* allocate(std::size_t size) {
    processCount.fetch_add(1, std::memory_order_relaxed);
    if (countedThread) {
        ++threadCount;
    }
    return std::malloc(size == 0 ? 1 : size);
}

}

namespace AllocationCounter {

void countOnThisThread() {
    countedThread = true;
}
long onThread() {
    return threadCount;
}
long inProcess() {
    return processCount.load(std::memory_order_relaxed);
}

}

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
