// Node memory: a word in front of every node names the blocks it was cut
// from (null for a node in its own heap block), so freeing needs no lookup.
#include "uNodeMemory.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

namespace corvane {

namespace {

constexpr size_t kPrefix = sizeof(void*) > 8 ? sizeof(void*) : 8;  // keeps nodes 8-aligned
constexpr size_t kFirstBlock = 4096;
constexpr size_t kLargestBlock = size_t{1} << 20;

thread_local TNodeBlocks* tCurrent = nullptr;

}  // namespace

// The blocks of one batch. Live counts the nodes cut from them plus one
// while the batch is open; the last release frees everything.
class TNodeBlocks {
 public:
  void* Cut(size_t bytes) {
    if (free_ - next_ < static_cast<std::ptrdiff_t>(bytes)) Grow(bytes);
    char* at = next_;
    next_ += bytes;
    live_.fetch_add(1, std::memory_order_relaxed);
    return at;
  }
  void Release() noexcept {
    if (live_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    for (char* block : blocks_) ::operator delete(block);
    delete this;
  }

 private:
  void Grow(size_t bytes) {
    const size_t size = std::max(bytes, blocks_.empty() ? kFirstBlock : std::min(kLargestBlock, blockSize_ * 2));
    blocks_.reserve(blocks_.size() + 1);  // so the push below cannot throw
    char* block = static_cast<char*>(::operator new(size));
    blocks_.push_back(block);
    blockSize_ = size;
    next_ = block;
    free_ = block + size;
  }

  std::vector<char*> blocks_;
  size_t blockSize_ = 0;
  char* next_ = nullptr;
  char* free_ = nullptr;
  std::atomic<size_t> live_{1};
};

TNodeBatch::TNodeBatch() : blocks_(new TNodeBlocks()), outer_(tCurrent) { tCurrent = blocks_; }

TNodeBatch::~TNodeBatch() {
  tCurrent = outer_;
  blocks_->Release();
}

void* NodeAllocate(size_t size) {
  const size_t bytes = (kPrefix + size + 7) / 8 * 8;
  TNodeBlocks* blocks = tCurrent;
  char* at = static_cast<char*>(blocks ? blocks->Cut(bytes) : ::operator new(bytes));
  *reinterpret_cast<TNodeBlocks**>(at) = blocks;
  return at + kPrefix;
}

void NodeFree(void* node) noexcept {
  if (!node) return;
  char* at = static_cast<char*>(node) - kPrefix;
  if (TNodeBlocks* blocks = *reinterpret_cast<TNodeBlocks**>(at))
    blocks->Release();
  else
    ::operator delete(at);
}

}  // namespace corvane
