#pragma once
// The game's heap backed by large memory pages while it loads.
//
// A start of the game makes some 40 MB of pictures, textures and sound samples, all
// of it fresh memory, and every 4 KB page of it costs the system a page fault (on
// virtual machines, many microseconds each: most of a start's time). Asking for large
// (2 MB) pages where the system offers them, and keeping the big buffers on the heap
// where freed memory is used again, cuts those faults by hundreds.
namespace vorlane {

// Once per process, before the loading begins; later calls do nothing. Does nothing
// where the C library or the system has no such thing (or under a sanitizer, whose
// allocator is its own).
void UseLargePageHeap();

} // namespace vorlane
