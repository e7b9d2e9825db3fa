// Win32 page runs, cut from the C runtime's heap with one alignment unit to
// spare. Memory the heap holds after a parse frees its own structures (the
// parser library's tree, the records' growth) is then used again for the
// loaded tree; runs from VirtualAlloc, aligned as they come, would leave it
// held beside them. The heap block's address is kept in the word in front
// of the run.
#include "uPages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace corvane::platform {

void* AllocatePageRun(size_t size) noexcept {
  if (size > SIZE_MAX - kPageRunAlignment - sizeof(void*)) return nullptr;
  void* block = std::malloc(size + kPageRunAlignment + sizeof(void*));
  if (!block) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(block) + sizeof(void*);
  const uintptr_t aligned = (start + kPageRunAlignment - 1) & ~uintptr_t(kPageRunAlignment - 1);
  void* run = reinterpret_cast<void*>(aligned);
  std::memcpy(static_cast<char*>(run) - sizeof(void*), &block, sizeof block);
  return run;
}

void FreePageRun(void* run, size_t) noexcept {
  if (!run) return;
  void* block;
  std::memcpy(&block, static_cast<char*>(run) - sizeof(void*), sizeof block);
  std::free(block);
}

}  // namespace corvane::platform
