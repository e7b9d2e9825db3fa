// Runs of whole pages straight from the operating system, aligned to 64 KB:
// node memory (uNodeMemory) finds the header of the run a node lies in by
// rounding the node's address down, so it needs no word in front of every
// node. On Windows 64 KB is the allocation granularity, so VirtualAlloc
// gives such runs without waste.
#pragma once

#include <cstddef>

namespace corvane::platform {

constexpr size_t kPageRunAlignment = size_t{1} << 16;

// size bytes (a multiple of kPageRunAlignment), zero-filled and aligned to
// kPageRunAlignment; nullptr when the system has no memory for them.
void* AllocatePageRun(size_t size) noexcept;
// Gives back a run from AllocatePageRun with the size it was asked for.
void FreePageRun(void* run, size_t size) noexcept;

}  // namespace corvane::platform
