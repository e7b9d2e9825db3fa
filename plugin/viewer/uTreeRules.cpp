#include "uTreeRules.h"

#include <algorithm>

#include "uI18n.h"
#include "uTableModel.h"
#include "uUnicode.h"

namespace corvane {

std::u16string TreeRootLabel() { return tr(i18n::kTreeRoot); }

std::u16string TreeEntryLabel(const TJsonData* parent, size_t index) {
  if (NodeKind(parent) == nkObject)
    return Utf8ToUtf16(static_cast<const TJsonObject*>(parent)->Name(index));
  return u"[" + U16(std::to_string(index)) + u"]";
}

size_t TreeRangeSpan(size_t count) {
  size_t span = 1;
  // count / span rounded up may not pass kTreeRangeSize; the loop stops
  // before span could overflow, since count / kTreeRangeSize^k shrinks.
  while (count > kTreeRangeSize && (count - 1) / span >= kTreeRangeSize) span *= kTreeRangeSize;
  return span;
}

std::u16string TreeRangeLabel(size_t first, size_t last) {
  return u"[" + U16(std::to_string(first)) + u" \u2026 " + U16(std::to_string(last)) + u"]";
}

std::vector<int> TreeEntrySteps(size_t count, size_t index) {
  std::vector<int> steps;
  size_t first = 0;
  for (;;) {
    const size_t span = TreeRangeSpan(count);
    const size_t position = (index - first) / span;
    steps.push_back(static_cast<int>(position));
    if (span == 1) return steps;
    first += position * span;
    count = std::min(span, count - position * span);
  }
}

bool HasTreeChildren(const TJsonData* node) {
  const TJsonContainer* container = AsContainer(node);
  return container && container->Count() > 0;
}

int InitialTreeChild(const TJsonData* root, int flatLevel, bool alwaysStartAtRoot) {
  const TJsonContainer* r = AsContainer(root);
  if (alwaysStartAtRoot || !r || r->Count() == 0) return -1;
  if (!IsContainer(r->Child(0))) {
    int containers = 0;
    int last = -1;
    for (size_t i = 0; i < r->Count(); ++i)
      if (IsContainer(r->Child(i))) {
        ++containers;
        last = static_cast<int>(i);
      }
    return containers == 1 ? last : -1;
  }
  const bool flattens = flatLevel >= 1 && CanFlatten(const_cast<TJsonData*>(root), flatLevel);
  return flattens ? -1 : 0;
}

bool TreeIndexPath(const TJsonData* root, const TJsonData* node, std::vector<int>* path) {
  path->clear();
  if (!root || !node) return false;
  // Walk up through the parent links; the path is the way back down.
  for (const TJsonData* n = node; n != root; n = n->Parent()) {
    const TJsonContainer* parent = AsContainer(n->Parent());
    if (!parent || path->size() >= kTreePathMaxDepth) {
      path->clear();
      return false;
    }
    path->push_back(static_cast<int>(parent->IndexOf(n)));
  }
  std::reverse(path->begin(), path->end());
  return true;
}

}  // namespace corvane
