// The heap's first stretch grown at once and marked for large pages (glibc and Linux).
#include "platform/LargePageHeap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && defined(__linux__) && !defined(__SANITIZE_ADDRESS__) &&                            \
    !defined(__SANITIZE_THREAD__)
#define VORLANE_LARGE_PAGE_HEAP 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vorlane {

void UseLargePageHeap() {
#ifdef VORLANE_LARGE_PAGE_HEAP
    static bool done = false;
    if (done) return;
    done = true;
    // Room for everything a start loads.
    constexpr size_t kRoom = size_t(64) << 20;
    constexpr uintptr_t kLargePage = uintptr_t(2) << 20;
    // Big buffers from the heap, not from mappings of their own (fresh pages each
    // time), and the heap not given back while it holds less than twice the room.
    mallopt(M_MMAP_THRESHOLD, int(kRoom));
    mallopt(M_TRIM_THRESHOLD, int(2 * kRoom));
    // The heap grown by the whole room at once, so that it lies in one stretch.
    mallopt(M_TOP_PAD, int(kRoom));
    void* block = std::malloc(kRoom / 2);
    const auto from = (reinterpret_cast<uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
    std::free(block);
    mallopt(M_TOP_PAD, 128 << 10); // later growth as usual (glibc's default)
    const auto to = reinterpret_cast<uintptr_t>(sbrk(0)) & ~(kLargePage - 1);
    if (block != nullptr && to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#endif
}

} // namespace vorlane
