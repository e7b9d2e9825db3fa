// POSIX page runs: mmap gives page alignment only, so a run is mapped with
// one alignment unit to spare and the unaligned ends are unmapped again.
#include "uPages.h"

#include <sys/mman.h>

#include <cstdint>

namespace corvane::platform {

void* AllocatePageRun(size_t size) noexcept {
  const size_t mapped = size + kPageRunAlignment;
  void* at = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (at == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(at);
  const uintptr_t aligned = (start + kPageRunAlignment - 1) & ~uintptr_t(kPageRunAlignment - 1);
  if (aligned > start) munmap(at, aligned - start);
  const uintptr_t end = start + mapped;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
  return reinterpret_cast<void*>(aligned);
}

void FreePageRun(void* run, size_t size) noexcept {
  if (run) munmap(run, size);
}

}  // namespace corvane::platform
