#pragma once
// Counts every call of the global operator new in the program that includes it, for the
// tests and benchmarks that check a frame allocates nothing. It replaces the program's
// operator new and delete, so exactly one source file of a program includes it.
#include <atomic>
#include <cstdlib>
#include <new>

namespace vorlane::counting {
inline std::atomic<long> NewCalls{0};
} // namespace vorlane::counting

// The replacements pair malloc with free themselves; GCC sees only the names.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    vorlane::counting::NewCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    vorlane::counting::NewCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
