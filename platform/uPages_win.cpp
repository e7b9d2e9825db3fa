// Win32 page runs: VirtualAlloc's addresses are already 64 KB aligned.
#include "uPages.h"

#include <windows.h>

namespace corvane::platform {

void* AllocatePageRun(size_t size) noexcept {
  return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePageRun(void* run, size_t) noexcept {
  if (run) VirtualFree(run, 0, MEM_RELEASE);
}

}  // namespace corvane::platform
