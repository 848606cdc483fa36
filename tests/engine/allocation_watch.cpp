// engine_tests' operator new: as the standard one, and it remembers the largest size
// asked for (fixtures/allocation_watch.h). Its own file, so that no other code of the
// program sees the replacement inline.
#include "engine/fixtures/allocation_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_largest{0};

} // namespace

void* operator new(std::size_t size) {
    std::size_t seen = g_largest.load(std::memory_order_relaxed);
    while (size > seen && !g_largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace vorlane::testing {

void ResetLargestAllocation() {
    g_largest.store(0, std::memory_order_relaxed);
}

std::size_t LargestAllocation() {
    return g_largest.load(std::memory_order_relaxed);
}

} // namespace vorlane::testing
