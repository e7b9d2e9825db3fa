// Line index over a parsed text: one pass records where every line starts and
// whether it is pure ASCII (a line ends where the next begins, less its break). A lookup on an ASCII line is a byte
// distance; on other lines it jumps to a checkpoint recorded every
// kCheckpointChars characters and counts code points from there, so even a
// single very long non-ASCII line costs a bounded scan per lookup.
//
// Size: the index holds one line start (4 bytes below 4 GB of text) and one
// bit per line, plus checkpoints for non-ASCII lines only, so it stays small
// next to the text and the trees built from it.
#include "uLineIndex.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr std::ptrdiff_t kCheckpointChars = 128;

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

bool HasBom(std::string_view t) {
  return t.size() >= 3 && static_cast<unsigned char>(t[0]) == 0xEF &&
         static_cast<unsigned char>(t[1]) == 0xBB && static_cast<unsigned char>(t[2]) == 0xBF;
}

// NEL (C2 85), LS (E2 80 A8) or PS (E2 80 A9) starting at byte i.
bool IsOtherBreak(std::string_view t, size_t i) {
  const auto at = [&](size_t k) { return i + k < t.size() ? static_cast<unsigned char>(t[i + k]) : 0; };
  if (at(0) == 0xC2) return at(1) == 0x85;
  return at(0) == 0xE2 && at(1) == 0x80 && (at(2) == 0xA8 || at(2) == 0xA9);
}

}  // namespace

TLineIndex::TLineIndex(std::string_view text) : text_(text) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text.size());
  std::ptrdiff_t i = HasBom(text) ? 3 : 0;
  AddLineStart(i);
  bool ascii = true;
  for (; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == '\r' || b == '\n') {
      ascii_.push_back(ascii);
      ascii = true;
      if (b == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      AddLineStart(i + 1);
    } else if (b >= 0x80) {
      ascii = false;
      if (IsOtherBreak(text, i)) otherBreaks_ = true;
    }
  }
  ascii_.push_back(ascii);
  BuildCheckpoints();
  // Character positions are only used for texts with the other breaks.
  if (otherBreaks_) BuildCharacterMarks();
}

void TLineIndex::AddLineStart(std::ptrdiff_t offset) {
  if (text_.size() <= UINT32_MAX)
    starts32_.push_back(static_cast<uint32_t>(offset));
  else
    starts64_.push_back(static_cast<uint64_t>(offset));
  ++lineCount_;
}

std::ptrdiff_t TLineIndex::Start(size_t line) const {
  return starts64_.empty() ? static_cast<std::ptrdiff_t>(starts32_[line])
                           : static_cast<std::ptrdiff_t>(starts64_[line]);
}

// Just past the line's last content byte: the next line's start less the
// line break (CR LF is two bytes, CR or LF one); the last line ends with
// the text.
std::ptrdiff_t TLineIndex::End(size_t line) const {
  if (static_cast<std::ptrdiff_t>(line) + 1 >= lineCount_) return static_cast<std::ptrdiff_t>(text_.size());
  const std::ptrdiff_t next = Start(line + 1);
  const bool crlf = text_[next - 1] == '\n' && next - 2 >= Start(line) && text_[next - 2] == '\r';
  return next - (crlf ? 2 : 1);
}

void TLineIndex::BuildCharacterMarks() {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text_.size());
  std::ptrdiff_t chars = 0;
  for (std::ptrdiff_t i = Start(0); i < n; ++i) {
    if (IsContinuation(static_cast<unsigned char>(text_[i]))) continue;
    if (chars % kCheckpointChars == 0) charMarks_.push_back(i);
    ++chars;
  }
  charCount_ = chars;
}

std::ptrdiff_t TLineIndex::OffsetOfCharacter(std::ptrdiff_t index) const {
  if (!otherBreaks_) return OffsetOfCharacterSlow(index);
  if (index < 0 || index > charCount_) return -1;
  if (index == charCount_) return static_cast<std::ptrdiff_t>(text_.size());
  std::ptrdiff_t i = charMarks_[static_cast<size_t>(index / kCheckpointChars)];
  std::ptrdiff_t chars = index / kCheckpointChars * kCheckpointChars;
  for (;; ++i) {
    if (IsContinuation(static_cast<unsigned char>(text_[i]))) continue;
    if (chars == index) return i;
    ++chars;
  }
}

void TLineIndex::BuildCheckpoints() {
  for (size_t line = 0; line < ascii_.size(); ++line) {
    if (ascii_[line]) continue;
    nonAsciiLines_.push_back(static_cast<std::ptrdiff_t>(line));
    firstMark_.push_back(static_cast<std::ptrdiff_t>(marks_.size()));
    // marks_[k] = byte offset of character k * kCheckpointChars (0-based) of
    // the line.
    std::ptrdiff_t chars = 0;
    const std::ptrdiff_t end = End(line);
    for (std::ptrdiff_t i = Start(line); i < end; ++i) {
      if (IsContinuation(static_cast<unsigned char>(text_[i]))) continue;
      if (chars % kCheckpointChars == 0) marks_.push_back(i);
      ++chars;
    }
  }
  firstMark_.push_back(static_cast<std::ptrdiff_t>(marks_.size()));
}

std::ptrdiff_t TLineIndex::Offset(std::ptrdiff_t line, std::ptrdiff_t column) const {
  if (line < 1 || column < 1 || line > LineCount()) return -1;
  const size_t l = static_cast<size_t>(line - 1);
  const std::ptrdiff_t start = Start(l), end = End(l);
  if (ascii_[l]) {
    // Columns 1..length are the bytes; length + 1 is the line break (or the
    // end of the text).
    return column - 1 <= end - start ? start + column - 1 : -1;
  }
  const std::ptrdiff_t want = column - 1;  // 0-based character number
  const std::ptrdiff_t k = want / kCheckpointChars;
  const size_t slot = static_cast<size_t>(
      std::lower_bound(nonAsciiLines_.begin(), nonAsciiLines_.end(), static_cast<std::ptrdiff_t>(l)) -
      nonAsciiLines_.begin());
  const std::ptrdiff_t first = firstMark_[slot];
  const std::ptrdiff_t marks = firstMark_[slot + 1] - first;
  std::ptrdiff_t i = start, chars = 0;
  if (k > 0 && k < marks) {
    i = marks_[static_cast<size_t>(first + k)];
    chars = k * kCheckpointChars;
  } else if (k > 0 && marks > 0) {
    i = marks_[static_cast<size_t>(first + marks - 1)];
    chars = (marks - 1) * kCheckpointChars;
  }
  for (; i < end; ++i) {
    if (IsContinuation(static_cast<unsigned char>(text_[i]))) continue;
    if (chars == want) return i;
    ++chars;
  }
  return chars == want ? end : -1;
}

// Texts without the other breaks keep no character marks: count from the
// start (callers use line and column for them).
std::ptrdiff_t TLineIndex::OffsetOfCharacterSlow(std::ptrdiff_t index) const {
  if (index < 0) return -1;
  std::ptrdiff_t chars = 0;
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text_.size());
  for (std::ptrdiff_t i = Start(0); i < n; ++i) {
    if (IsContinuation(static_cast<unsigned char>(text_[i]))) continue;
    if (chars == index) return i;
    ++chars;
  }
  return chars == index ? n : -1;
}

}  // namespace corvane
