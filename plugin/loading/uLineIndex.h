// Turns the parser's 1-based line / character-column positions into byte
// offsets of the parsed text in constant time per lookup (amortised), so a
// large file costs one pass over its bytes instead of one pass per node.
//
// Contract: Offset(line, column): a leading UTF-8 byte-order mark is skipped
// but counted in offsets; CR, LF and CR LF each end one line; columns count
// code points (bytes that are not 10xxxxxx continuation bytes); the end of
// the text is a position; anything else is -1. The text must outlive the
// index.
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
  std::ptrdiff_t LineCount() const { return lineCount_; }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  // Byte offset where each line's first character starts (line 1 first):
  // 32-bit entries for texts below 4 GB, 64-bit entries otherwise. A line
  // ends where the next one starts, less its CR, LF or CR LF.
  std::vector<uint32_t> starts32_;
  std::vector<uint64_t> starts64_;
  // Lines whose bytes are all ASCII: the column is a plain byte distance.
  std::vector<bool> ascii_;
  // Checkpoints of non-ASCII lines only (see uLineIndex.cpp): the k-th
  // non-ASCII line is nonAsciiLines_[k] (0-based, ascending) and its entries
  // are marks_[firstMark_[k] .. firstMark_[k + 1]).
  std::vector<std::ptrdiff_t> marks_;
  std::vector<std::ptrdiff_t> nonAsciiLines_;
  std::vector<std::ptrdiff_t> firstMark_;

  // Byte offset of every kCheckpointChars-th code point of the text.
  std::vector<std::ptrdiff_t> charMarks_;
  std::ptrdiff_t charCount_ = 0;
  std::ptrdiff_t lineCount_ = 0;
  bool otherBreaks_ = false;

  void AddLineStart(std::ptrdiff_t offset);
  std::ptrdiff_t Start(size_t line) const;
  std::ptrdiff_t End(size_t line) const;
  void BuildCheckpoints();
  void BuildCharacterMarks();
  std::ptrdiff_t OffsetOfCharacterSlow(std::ptrdiff_t index) const;
};

}  // namespace corvane
