// Win32 page runs, reserved and committed from the system. VirtualAlloc
// hands out whole 64 KB allocation units, so a run is aligned as it comes
// and costs exactly its size, and a freed run goes back to the system at
// once instead of staying committed in the heap beside whatever the next
// file allocates.
#include "uPages.h"

#include <windows.h>

namespace corvane::platform {

void* AllocatePageRun(size_t size) noexcept {
  if (size == 0 || size % kPageRunAlignment != 0) return nullptr;
  return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePageRun(void* run, size_t) noexcept {
  if (run) VirtualFree(run, 0, MEM_RELEASE);
}

}  // namespace corvane::platform
