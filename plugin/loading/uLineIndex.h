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

  // The YAML parser also ends lines at NEL (U+0085), LS (U+2028) and PS
  // (U+2029); in a text holding any of them its line numbers drift from the
  // ones counted here, so positions must come from its character index.
  bool HasOtherLineBreaks() const { return otherBreaks_; }
  // Byte offset of the 0-based code point index (a leading byte-order mark
  // not counted, CR LF counted as two); the end of the text is a position;
  // -1 otherwise. Constant time when HasOtherLineBreaks(); a scan from the
  // start otherwise.
  std::ptrdiff_t OffsetOfCharacter(std::ptrdiff_t index) const;
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

  // Byte offset of every kCheckpointChars-th code point of the text.
  std::vector<std::ptrdiff_t> charMarks_;
  std::ptrdiff_t charCount_ = 0;
  bool otherBreaks_ = false;

  void BuildCheckpoints();
  void BuildCharacterMarks();
  std::ptrdiff_t OffsetOfCharacterSlow(std::ptrdiff_t index) const;
};

}  // namespace corvane
