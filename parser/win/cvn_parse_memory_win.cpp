// A heap of its own for each large TOML document the library parses (see
// cvn_parse_memory.h), and the library's operator new and delete that route
// allocations to it and frees back to where a block came from.
//
// Every block the library's operator new hands out carries a small header
// naming its heap (a document's, or the C runtime's), so a free needs no
// lookup and may come from any thread. A document's heap is destroyed when
// the document is closed and its last block is freed.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "cvn_parse_memory.h"

namespace corvane::parser {
namespace {

// Documents below this size are parsed on the C runtime's heap: what they
// would leave behind is small, and a heap of their own costs a little.
constexpr size_t kOwnHeapFrom = 64 * 1024;
constexpr int kSlots = 64;

struct TSlot {
  std::atomic<bool> Taken{false};
  HANDLE Heap = nullptr;
  // Blocks alive from the heap, plus one while its TParseMemory lives; the
  // one who takes it to zero destroys the heap.
  std::atomic<long> References{0};
};

TSlot g_slots[kSlots];

// In front of every block the library's operator new hands out: the slot
// whose heap holds it, or -1 for the C runtime's heap. Sixteen bytes keep
// the block aligned as the allocator aligned it.
constexpr size_t kHeader = 16;

// The slot the thread allocates from, plus one (0: none), in a Windows TLS
// slot of the library's own: the library is unloaded after each parse, and a
// C++ thread_local would leave a destructor of the unloaded code behind in
// every thread that touched it.
DWORD g_allocatingIndex = TLS_OUT_OF_INDEXES;

int Allocating() {
  if (g_allocatingIndex == TLS_OUT_OF_INDEXES) return -1;
  const DWORD error = GetLastError();  // TlsGetValue clears it
  const int slot = static_cast<int>(reinterpret_cast<intptr_t>(TlsGetValue(g_allocatingIndex))) - 1;
  SetLastError(error);
  return slot;
}

void SetAllocating(int slot) {
  if (g_allocatingIndex != TLS_OUT_OF_INDEXES)
    TlsSetValue(g_allocatingIndex, reinterpret_cast<void*>(static_cast<intptr_t>(slot) + 1));
}

void Drop(int index) {
  TSlot& slot = g_slots[index];
  if (slot.References.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  HeapDestroy(slot.Heap);
  slot.Heap = nullptr;
  slot.Taken.store(false, std::memory_order_release);
}

void* Tagged(void* block, int slot) {
  std::memcpy(block, &slot, sizeof slot);
  return static_cast<char*>(block) + kHeader;
}

}  // namespace

TParseMemory::TParseMemory(size_t textLength) {
  if (textLength < kOwnHeapFrom) return;
  for (int i = 0; i < kSlots; ++i) {
    TSlot& slot = g_slots[i];
    if (slot.Taken.exchange(true, std::memory_order_acq_rel)) continue;
    HANDLE heap = HeapCreate(0, 0, 0);
    if (!heap) {
      slot.Taken.store(false, std::memory_order_release);
      return;
    }
    // The low-fragmentation front end serves small blocks fastest (toml++
    // allocates millions); where it is not available the heap works without.
    ULONG lowFragmentation = 2;
    HeapSetInformation(heap, HeapCompatibilityInformation, &lowFragmentation, sizeof lowFragmentation);
    slot.Heap = heap;
    slot.References.store(1, std::memory_order_release);
    slot_ = i;
    return;
  }
}

TParseMemory::~TParseMemory() {
  if (slot_ >= 0) Drop(slot_);
}

TParseAllocation::TParseAllocation(TParseMemory& memory) : previous_(Allocating()) { SetAllocating(memory.slot_); }

TParseAllocation::~TParseAllocation() { SetAllocating(previous_); }

void ParseMemoryAttach() { g_allocatingIndex = TlsAlloc(); }

void ParseMemoryDetach() {
  if (g_allocatingIndex != TLS_OUT_OF_INDEXES) TlsFree(g_allocatingIndex);
  g_allocatingIndex = TLS_OUT_OF_INDEXES;
}

}  // namespace corvane::parser

using corvane::parser::kHeader;

// Every other form of new and delete in the C++ runtime calls these.
void* operator new(size_t size) {
  if (size > SIZE_MAX - kHeader) throw std::bad_alloc();
  size += kHeader;
  if (const int index = corvane::parser::Allocating(); index >= 0) {
    corvane::parser::TSlot& slot = corvane::parser::g_slots[index];
    if (void* block = HeapAlloc(slot.Heap, 0, size)) {
      slot.References.fetch_add(1, std::memory_order_relaxed);
      return corvane::parser::Tagged(block, index);
    }
  }
  for (;;) {
    if (void* block = std::malloc(size)) return corvane::parser::Tagged(block, -1);
    const std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void operator delete(void* block) noexcept {
  if (!block) return;
  char* header = static_cast<char*>(block) - kHeader;
  int index;
  std::memcpy(&index, header, sizeof index);
  if (index < 0) return std::free(header);
  HeapFree(corvane::parser::g_slots[index].Heap, 0, header);
  corvane::parser::Drop(index);
}

void operator delete(void* block, size_t) noexcept { operator delete(block); }
