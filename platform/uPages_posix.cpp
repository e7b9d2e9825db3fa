// POSIX page runs: aligned blocks of the C library's heap. Its aligned
// allocation gives the unaligned slack back to the heap, and a run reuses
// what a parse freed just before the tree is built.
#include "uPages.h"

#include <cstdlib>

namespace corvane::platform {

void* AllocatePageRun(size_t size) noexcept {
  void* run = nullptr;
  return posix_memalign(&run, kPageRunAlignment, size) == 0 ? run : nullptr;
}

void FreePageRun(void* run, size_t) noexcept { std::free(run); }

}  // namespace corvane::platform
