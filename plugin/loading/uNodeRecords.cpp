// Value nodes and their structure records. See uNodeRecords.h.
#include "uNodeRecords.h"

#include <algorithm>

namespace corvane {

namespace {

// Index path from value down to target, top first; false when target is not
// in value's subtree.
bool ValuePath(const TJsonData* value, const TJsonData* target, std::vector<size_t>& path) {
  path.clear();
  for (const TJsonData* node = target; node != value; node = node->Parent()) {
    const TJsonData* parent = node->Parent();
    if (!parent) return false;
    const long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(node);
    if (index < 0) return false;
    path.push_back(size_t(index));
  }
  std::reverse(path.begin(), path.end());
  return true;
}

bool IsContainerRecord(const TStructureIndex& index, size_t i) {
  const int kind = index.Records[i].Kind;
  return kind == skStream || kind == skMapping || kind == skSequence;
}

// A document record stands for its content (kNoRecord when it has none).
size_t StepThroughDocument(const TStructureIndex& index, size_t i) {
  if (i == kNoRecord || index.Records[i].Kind != skDocument) return i;
  return index.Records[i].SubtreeEnd > i + 1 ? i + 1 : kNoRecord;
}

// Position of child among the children of parent, or kNoRecord.
size_t SiblingPosition(const TStructureIndex& index, size_t parent, size_t child) {
  size_t position = 0;
  size_t c = parent + 1;
  for (; c < child; c = index.Records[c].SubtreeEnd) ++position;
  return c == child ? position : kNoRecord;
}

TJsonData* ChildNode(TJsonData* node, size_t position) {
  if (!IsContainer(node) || position == kNoRecord) return nullptr;
  return static_cast<TJsonContainer*>(node)->Child(position);
}

}  // namespace

bool FindNodeRecord(const TLoadedDocument& doc, const TJsonData* target, size_t* record, size_t* parent) {
  const TStructureIndex& index = doc.Index;
  std::vector<size_t> path;
  if (index.Records.empty() || !doc.Value || !target || !ValuePath(doc.Value.get(), target, path)) return false;
  size_t at = StepThroughDocument(index, index.ChildCount(0) == 1 ? 1 : 0);
  *parent = kNoRecord;
  for (size_t step : path) {
    if (at == kNoRecord || !IsContainerRecord(index, at) || step >= index.ChildCount(at)) return false;
    *parent = at;
    size_t child = at + 1;
    for (size_t k = 0; k < step; ++k) child = index.Records[child].SubtreeEnd;
    at = StepThroughDocument(index, child);
  }
  *record = at;
  return at != kNoRecord;
}

TJsonData* NodeOfRecordPath(const TLoadedDocument& doc, const std::vector<size_t>& path) {
  const TStructureIndex& index = doc.Index;
  if (path.empty() || path[0] != 0 || index.Records.empty()) return nullptr;
  TJsonData* node = doc.Value.get();
  // path[1] is a document: one of several is an element of the root array;
  // path[2], its content, is the same node as the document.
  if (path.size() > 1 && index.ChildCount(0) != 1) node = ChildNode(node, SiblingPosition(index, 0, path[1]));
  for (size_t k = 3; k < path.size() && node; ++k) node = ChildNode(node, SiblingPosition(index, path[k - 1], path[k]));
  return node;
}

}  // namespace corvane
