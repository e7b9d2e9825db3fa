// Runs of memory aligned to 64 KB: node memory (uNodeMemory) finds the
// header of the unit a node lies in by rounding the node's address down, so
// it needs no word in front of every node. POSIX maps them from the system
// (trimmed to the alignment). On Windows they are cut from the C runtime's
// heap with one unit to spare: a load frees much memory into that heap
// just before the tree is built (the parser library's own tree), which the
// heap keeps; runs from VirtualAlloc would be held beside it (a 50 MB TOML
// file held 2.4 times its size more under Wine). A run up to 14 units
// stays within the heap's own blocks, so the spare unit costs at most 1/15.
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
