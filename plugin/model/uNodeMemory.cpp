// Node memory: a batch cuts its nodes from 64 KB units of aligned runs
// (uPages.h), each unit starting with a word that names the batch. A unit
// map (one bit per 64 KB of address space) tells a batch's memory from a
// heap block, so freeing a node finds its batch by rounding the address
// down, with no word in front of the node.
#include "uNodeMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <vector>

#include "uPages.h"

namespace corvane {

namespace {

constexpr size_t kUnit = platform::kPageRunAlignment;
constexpr unsigned kUnitShift = 16;
static_assert(size_t{1} << kUnitShift == kUnit, "kUnitShift names the unit size");
constexpr size_t kHeader = 8;  // the batch's address; keeps what follows 8-aligned
// Runs double from one unit up to 14 (896 KB): a small tree takes one unit,
// a large one few runs.
constexpr size_t kLargestRunUnits = 14;

// The unit map: one bit per unit of the address space, in leaves made when
// the first unit of their range is used and kept for the process's life.
constexpr unsigned kAddressBits = sizeof(void*) >= 8 ? 48 : 32;
constexpr unsigned kLeafShift = sizeof(void*) >= 8 ? 18 : 16;  // units per leaf: 2^kLeafShift
constexpr size_t kLeafUnits = size_t{1} << kLeafShift;
constexpr size_t kLeafWords = kLeafUnits / 64;
constexpr size_t kLeaves = size_t{1} << (kAddressBits - kUnitShift - kLeafShift);
using TLeaf = std::atomic<uint64_t>;
std::atomic<TLeaf*> gUnitMap[kLeaves];

thread_local TNodeBlocks* tCurrent = nullptr;

// The leaf and bit of the unit holding at; false when the address lies
// beyond what the map covers.
bool UnitBit(const void* at, size_t& leaf, size_t& bit) {
  const uintptr_t unit = reinterpret_cast<uintptr_t>(at) >> kUnitShift;
  leaf = static_cast<size_t>(unit >> kLeafShift);
  bit = static_cast<size_t>(unit & (kLeafUnits - 1));
  return leaf < kLeaves;
}

bool MarkUnit(const void* at) {
  size_t leaf, bit;
  if (!UnitBit(at, leaf, bit)) return false;
  TLeaf* words = gUnitMap[leaf].load(std::memory_order_acquire);
  if (!words) {
    TLeaf* made = new (std::nothrow) TLeaf[kLeafWords]();
    if (!made) return false;
    if (gUnitMap[leaf].compare_exchange_strong(words, made, std::memory_order_acq_rel))
      words = made;
    else
      delete[] made;  // another thread made it first; words holds its leaf
  }
  words[bit / 64].fetch_or(uint64_t{1} << (bit % 64), std::memory_order_relaxed);
  return true;
}

void UnmarkUnit(const void* at) {
  size_t leaf, bit;
  if (!UnitBit(at, leaf, bit)) return;
  if (TLeaf* words = gUnitMap[leaf].load(std::memory_order_acquire))
    words[bit / 64].fetch_and(~(uint64_t{1} << (bit % 64)), std::memory_order_relaxed);
}

// Whether at lies in a unit of a batch. A node handed to another thread
// was handed over with its unit already marked, so a relaxed read sees it.
bool InBatchUnit(const void* at) {
  size_t leaf, bit;
  if (!UnitBit(at, leaf, bit)) return false;
  const TLeaf* words = gUnitMap[leaf].load(std::memory_order_acquire);
  return words && (words[bit / 64].load(std::memory_order_relaxed) >> (bit % 64) & 1) != 0;
}

}  // namespace

// The page runs of one batch. Live counts the nodes cut from them plus one
// while the batch is open; the last release frees everything.
class TNodeBlocks {
 public:
  void* Cut(size_t bytes) {
    if (bytes > kUnit - kHeader) return CutLarge(bytes);
    if (static_cast<size_t>(end_ - next_) < bytes) NextUnit();
    char* at = next_;
    next_ += bytes;
    live_.fetch_add(1, std::memory_order_relaxed);
    return at;
  }
  void Retain() noexcept { live_.fetch_add(1, std::memory_order_relaxed); }
  void Release() noexcept {
    if (live_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    for (const TRun& run : runs_) {
      for (size_t unit = 0; unit < run.MarkedUnits; ++unit) UnmarkUnit(run.At + unit * kUnit);
      platform::FreePageRun(run.At, run.Size);
    }
    delete this;
  }

 private:
  struct TRun {
    char* At;
    size_t Size;
    size_t MarkedUnits;
  };

  // A run of size bytes whose first units units are marked, each with this
  // batch in its header.
  char* NewRun(size_t size, size_t units) {
    runs_.reserve(runs_.size() + 1);  // so the push below cannot throw
    char* run = static_cast<char*>(platform::AllocatePageRun(size));
    if (!run) throw std::bad_alloc();
    size_t marked = 0;
    while (marked < units && MarkUnit(run + marked * kUnit)) {
      *reinterpret_cast<TNodeBlocks**>(run + marked * kUnit) = this;
      ++marked;
    }
    runs_.push_back({run, size, marked});
    if (marked < units) throw std::bad_alloc();  // beyond the unit map; freed with the batch
    return run;
  }

  // The next unit of the current run, or the first of a new run (twice as
  // many units as the last, up to kLargestRunUnits).
  void NextUnit() {
    if (runEnd_ - end_ < static_cast<std::ptrdiff_t>(kUnit)) {
      runUnits_ = runUnits_ ? std::min(kLargestRunUnits, runUnits_ * 2) : 1;
      char* run = NewRun(runUnits_ * kUnit, runUnits_);
      runEnd_ = run + runUnits_ * kUnit;
      end_ = run;
    }
    next_ = end_ + kHeader;
    end_ += kUnit;
  }

  // A block larger than a unit: a run of its own, with the header in its
  // first unit, where the block's address rounds down to.
  void* CutLarge(size_t bytes) {
    const size_t size = (kHeader + bytes + kUnit - 1) / kUnit * kUnit;
    char* run = NewRun(size, 1);
    live_.fetch_add(1, std::memory_order_relaxed);
    return run + kHeader;
  }

  std::vector<TRun> runs_;
  size_t runUnits_ = 0;
  char* next_ = nullptr;   // free bytes of the current unit: [next_, end_)
  char* end_ = nullptr;
  char* runEnd_ = nullptr;  // end of the current run
  std::atomic<size_t> live_{1};
};

TNodeBatch::TNodeBatch() : blocks_(new TNodeBlocks()), outer_(tCurrent) { tCurrent = blocks_; }

TNodeBatch::~TNodeBatch() {
  tCurrent = outer_;
  blocks_->Release();
}

void* NodeAllocate(size_t size) {
  const size_t bytes = (std::max<size_t>(size, 1) + 7) / 8 * 8;
  if (TNodeBlocks* blocks = tCurrent) return blocks->Cut(bytes);
  return ::operator new(bytes);
}

void NodeFree(void* node) noexcept {
  if (!node) return;
  if (InBatchUnit(node)) {
    const uintptr_t unit = reinterpret_cast<uintptr_t>(node) & ~uintptr_t(kUnit - 1);
    (*reinterpret_cast<TNodeBlocks**>(unit))->Release();
  } else {
    ::operator delete(node);
  }
}

bool NodeShare(void* node) noexcept {
  if (!node || !InBatchUnit(node)) return false;
  const uintptr_t unit = reinterpret_cast<uintptr_t>(node) & ~uintptr_t(kUnit - 1);
  (*reinterpret_cast<TNodeBlocks**>(unit))->Retain();
  return true;
}

}  // namespace corvane
