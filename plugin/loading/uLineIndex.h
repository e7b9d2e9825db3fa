// Turns the parser's 1-based line / character-column positions into byte
// offsets of the parsed text in constant time per lookup (amortised), so a
// large file costs one pass over its bytes instead of one pass per node.
//
// Contract: Offset(line, column) gives exactly what LineColumnToOffset gives
// for the same text: a leading UTF-8 byte-order mark is skipped but counted in
// offsets; CR, LF and CR LF each end one line; columns count code points (bytes
// that are not 10xxxxxx continuation bytes); the end of the text is a
// position; anything else is -1. The text must outlive the index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane {

class TLineIndex {
 public:
  explicit TLineIndex(std::string_view text);

  std::ptrdiff_t Offset(std::ptrdiff_t line, std::ptrdiff_t column) const;
  std::ptrdiff_t LineCount() const { return static_cast<std::ptrdiff_t>(starts_.size()); }

 private:
  std::string_view text_;
  // Byte offset where each line's first character starts (line 1 first).
  std::vector<std::ptrdiff_t> starts_;
  // Byte offset just past each line's last content byte (before its break).
  std::vector<std::ptrdiff_t> ends_;
  // Lines whose bytes are all ASCII: the column is a plain byte distance.
  std::vector<bool> ascii_;
  // Checkpoints of non-ASCII lines (see uLineIndex.cpp): line l's entries are
  // marks_[firstMark_[l] .. firstMark_[l + 1]).
  std::vector<std::ptrdiff_t> marks_;
  std::vector<std::ptrdiff_t> firstMark_;

  void BuildCheckpoints();
};

}  // namespace corvane
