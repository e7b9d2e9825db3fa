// Where value-tree nodes live. A loaded document holds about a million
// nodes per 10 MB of text; each in its own heap block, freeing them one by
// one made closing a large file take longer than a user notices.
//
// Contract:
//  - Every node is allocated through NodeAllocate and freed through
//    NodeFree (TJsonData's own operator new and delete).
//  - While a TNodeBatch is open on a thread, the nodes that thread creates
//    are cut from large blocks that belong to the batch; otherwise each node
//    is one heap block.
//  - A batch's blocks stay until the batch is closed and the last node cut
//    from them is freed, then go together: a node taken out of its tree
//    (an edit, a removed member) stays valid however long it is kept.
//  - Nodes of a batch may be freed on any thread and in any order; freeing
//    one costs no heap call.
#pragma once

#include <cstddef>

namespace corvane {

class TNodeBlocks;

// Opens a batch for this thread's new nodes until it goes out of scope
// (batches nest; the inner one is used).
class TNodeBatch {
 public:
  TNodeBatch();
  ~TNodeBatch();
  TNodeBatch(const TNodeBatch&) = delete;
  TNodeBatch& operator=(const TNodeBatch&) = delete;

 private:
  TNodeBlocks* blocks_;
  TNodeBlocks* outer_;
};

void* NodeAllocate(size_t size);
void NodeFree(void* node) noexcept;
// Gives node, a live block cut from a batch, one more owner: it then goes
// after one more NodeFree. False, with nothing changed, for a heap block,
// which keeps a single owner. A shared block must never be written again.
bool NodeShare(void* node) noexcept;

}  // namespace corvane
