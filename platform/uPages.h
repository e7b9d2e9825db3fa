// Runs of memory aligned to 64 KB: node memory (uNodeMemory) finds the
// header of the unit a node lies in by rounding the node's address down, so
// it needs no word in front of every node. On Windows they are reserved and
// committed from the system, which aligns them as they come and takes them
// back whole when they are freed; POSIX takes them from the heap's aligned
// allocation, which gives the slack back to the heap.
#pragma once

#include <cstddef>

namespace corvane::platform {

constexpr size_t kPageRunAlignment = size_t{1} << 16;

// size bytes (a multiple of kPageRunAlignment), not initialised, aligned to
// kPageRunAlignment; nullptr when there is no memory for them.
void* AllocatePageRun(size_t size) noexcept;
// Gives back a run from AllocatePageRun with the size it was asked for.
void FreePageRun(void* run, size_t size) noexcept;

}  // namespace corvane::platform
