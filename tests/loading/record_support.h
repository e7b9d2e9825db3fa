// Structure records read like a tree in the loading tests: a record of a
// parsed text with its fields (through ->) and its children.
#pragma once

#include <string>
#include <string_view>

#include "uStructureIndex.h"

namespace corvane::test {

class TRecordNode {
 public:
  TRecordNode(const TStructureIndex& index, std::string_view text, size_t record)
      : index_(&index), text_(text), record_(record), view_(index.View(record, text)) {}

  const TNodeView* operator->() const { return &view_; }
  size_t Record() const { return record_; }
  size_t ChildCount() const { return index_->ChildCount(record_); }
  TRecordNode ChildAt(size_t k) const {
    size_t child = record_ + 1;
    while (k-- > 0) child = index_->Records[child].SubtreeEnd;
    return TRecordNode(*index_, text_, child);
  }
  // The bytes of the node's span and of its key's span.
  std::string Span() const { return Slice(view_.StartOffset, view_.EndOffset); }
  std::string KeySpan() const { return Slice(view_.KeyStart, view_.KeyEnd); }

 private:
  std::string Slice(int32_t from, int32_t to) const { return std::string(text_.substr(size_t(from), size_t(to - from))); }

  const TStructureIndex* index_;
  std::string_view text_;
  size_t record_;
  TNodeView view_;
};

}  // namespace corvane::test
