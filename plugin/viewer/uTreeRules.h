// The tree pane's rules, without any window: the entry labels, which entries get an expand button, the range entries
// of large levels, the initial selection and the index path that leads the
// tree to a node.
#pragma once

#include <string>
#include <vector>

#include "uJsonModel.h"

namespace corvane {

// Above this many children an expansion freezes the tree's painting.
constexpr size_t kTreeFreezeAbove = 64;

// Label of the root entry (translated).
std::u16string TreeRootLabel();
// Label of child index of parent: "[i]" below an array, the member name
// below an object.
std::u16string TreeEntryLabel(const TJsonData* parent, size_t index);
// True for an array or object with at least one child: its entry gets the
// placeholder child that shows the expand button.
bool HasTreeChildren(const TJsonData* node);

// A level of more than this many children shows them through range
// entries ("[0 … 999]"), each standing for at most this many children or
// smaller ranges; the children's own entries appear when a range is
// expanded. A tree control fills, scrolls and frees a level of 100,000
// entries slowly (half a minute to open and seconds to close on some
// implementations), and nobody scrolls through one.
constexpr size_t kTreeRangeSize = 1000;

// Children First .. First + Count - 1 of Container, shown by one range
// entry.
struct TTreeRange {
  TJsonData* Container = nullptr;
  size_t First = 0;
  size_t Count = 0;
};

// How many children one entry stands for on a level that shows count
// children: 1 (every child its own entry) up to kTreeRangeSize children,
// else the smallest power of kTreeRangeSize that needs at most
// kTreeRangeSize range entries.
size_t TreeRangeSpan(size_t count);
// Label of the range entry of children first .. last: "[first … last]".
std::u16string TreeRangeLabel(size_t first, size_t last);
// The entries that lead to child index of a container with count children:
// per level, the position of the entry among its siblings (range entries
// first, when the container has them), the child's own entry last.
std::vector<int> TreeEntrySteps(size_t count, size_t index);

// The initial selection: -1 keeps the root entry selected; otherwise the
// index of the root's child whose entry is selected.
//  - "alwaysStartAtRoot": the root.
//  - First child a scalar: the only child that is an array or object, when
//    there is exactly one; else the root.
//  - First child an array or object: that child, unless the flat view of the
//    root succeeds at the flat level (level 1 or more).
int InitialTreeChild(const TJsonData* root, int flatLevel, bool alwaysStartAtRoot);

// Deepest level the tree follows a node down.
constexpr size_t kTreePathMaxDepth = 128;

// The child indexes that lead from root to node (empty for the root
// itself). False when node is not below root or lies deeper than
// kTreePathMaxDepth levels.
bool TreeIndexPath(const TJsonData* root, const TJsonData* node, std::vector<int>* path);

}  // namespace corvane
