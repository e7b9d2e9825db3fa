// Runs of memory aligned to 64 KB: node memory (uNodeMemory) finds the
// header of the unit a node lies in by rounding the node's address down, so
// it needs no word in front of every node. They come from the C runtime's
// heap: a load frees much memory into that heap just before the tree is
// built (the parser library's own tree), which the heap keeps; runs mapped
// from the system (VirtualAlloc, mmap) would be held beside it (a 50 MB
// TOML file held 2.4 times its size more under Wine). POSIX has an aligned
// allocation that gives the slack back to the heap; on Windows a run is cut
// from a block one unit larger, and a run up to 14 units stays within the
// heap's own blocks, so the spare unit costs at most 1/15.
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
