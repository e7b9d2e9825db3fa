// Lexical pre-scan of TOML text for its nesting depth, and the mapping of
// toml++ source positions to byte offsets.
//
// Contract of the scan: it never rejects a text whose tree stays within
// kMaxTomlDepth levels (the bound it computes is never below the real
// depth); it does not validate anything else. Strings (all four forms) and
// comments are skipped, so dots and brackets inside them do not count; a
// single-line string never runs past its line, so a malformed string cannot
// hide the rest of the text.
#include "cvn_toml_scan.h"

#include <cstring>

#include <algorithm>

namespace corvane::parser {
namespace {

class TDepthScanner {
 public:
  TDepthScanner(const char* text, size_t length) : p_(text), end_(text + length) {}

  bool Run(int& line) {
    while (p_ < end_) {
      Step();
      if (cur_ > kMaxTomlDepth || base_ > kMaxTomlDepth) {
        line = line_;
        return false;
      }
    }
    return true;
  }

 private:
  struct TFrame {
    char Kind;  // '[' array, '{' inline table
    int Inner;  // depth of the values inside
  };

  const char* p_;
  const char* end_;
  int line_ = 1;
  std::vector<TFrame> frames_;
  int base_ = 0;           // depth of the table named by the last header
  int cur_ = 0;            // depth at the scan position
  bool keyMode_ = true;    // reading a key (dots nest) rather than a value
  bool lineStart_ = true;  // top level, nothing but blanks so far on this line

  void Step() {
    const char c = *p_;
    if (c == '\n') return EndOfLine();
    if (c == ' ' || c == '\t' || c == '\r') return void(++p_);
    if (c == '#') return SkipComment();
    const bool wasLineStart = lineStart_;
    lineStart_ = false;
    if (c == '"' || c == '\'') return SkipString(c);
    if (c == '[' && wasLineStart && frames_.empty()) return ScanHeader();
    ++p_;
    switch (c) {
      case '.': if (keyMode_) ++cur_; break;
      case '=': if (keyMode_) { keyMode_ = false; ++cur_; } break;
      case '[': if (!keyMode_) Open('[', false); break;
      case '{': if (!keyMode_) Open('{', true); break;
      case ',': AfterComma(); break;
      case ']': case '}': Close(); break;
      default: break;
    }
  }

  void EndOfLine() {
    ++p_;
    ++line_;
    if (!frames_.empty()) return;  // arrays may span lines
    keyMode_ = true;
    lineStart_ = true;
    cur_ = base_;
  }

  void SkipComment() {
    while (p_ < end_ && *p_ != '\n') ++p_;
  }

  void Open(char kind, bool keys) {
    ++cur_;
    frames_.push_back({kind, cur_});
    keyMode_ = keys;
  }

  void AfterComma() {
    if (frames_.empty()) return;
    cur_ = frames_.back().Inner;
    keyMode_ = frames_.back().Kind == '{';
  }

  void Close() {
    if (frames_.empty()) return;
    frames_.pop_back();
    cur_ = frames_.empty() ? base_ : frames_.back().Inner;
    keyMode_ = false;
  }

  // "[a.b.c]" or "[[a.b.c]]": the table's depth is its number of segments.
  void ScanHeader() {
    int segments = 1;
    ++p_;
    while (p_ < end_ && *p_ != ']' && *p_ != '\n') {
      if (*p_ == '"' || *p_ == '\'') {
        SkipString(*p_);
        continue;
      }
      if (*p_ == '.') ++segments;
      ++p_;
    }
    base_ = segments;
    cur_ = base_;
  }

  void SkipString(char quote) {
    if (end_ - p_ >= 3 && p_[1] == quote && p_[2] == quote) return SkipMultiLine(quote);
    ++p_;
    while (p_ < end_ && *p_ != '\n') {
      if (*p_ == quote) { ++p_; return; }
      if (quote == '"' && *p_ == '\\' && p_ + 1 < end_ && p_[1] != '\n') ++p_;
      ++p_;
    }
  }

  void SkipMultiLine(char quote) {
    p_ += 3;
    while (p_ < end_) {
      if (end_ - p_ >= 3 && p_[0] == quote && p_[1] == quote && p_[2] == quote) {
        p_ += 3;
        return;
      }
      if (quote == '"' && *p_ == '\\' && p_ + 1 < end_) {
        ++p_;
        if (*p_ == '\n') ++line_;
      } else if (*p_ == '\n') {
        ++line_;
      }
      ++p_;
    }
  }
};

}  // namespace

bool TomlNestingWithinLimit(const char* text, size_t length, int& line) {
  line = 0;
  if (!text) return true;
  TDepthScanner scanner(text, length);
  return scanner.Run(line);
}

void TOffsetList::Append(std::uint64_t value) {
  while (highStarts_.size() < (value >> 32)) highStarts_.push_back(low_.size());
  low_.push_back(static_cast<std::uint32_t>(value));
}

std::uint64_t TOffsetList::operator[](size_t index) const {
  if (highStarts_.empty()) return low_[index];
  // The high part is the number of 4 GiB steps that begin at or before index.
  const auto high = static_cast<std::uint64_t>(
      std::upper_bound(highStarts_.begin(), highStarts_.end(), index) - highStarts_.begin());
  return high << 32 | low_[index];
}

TTomlPositionMap::TTomlPositionMap(const char* text, size_t length) : text_(text), length_(length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  begin_ = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
  // Counted first, so both lists are allocated once at their exact size: the
  // map is built while the whole parsed tree is still in memory.
  size_t lines = 1, cps = 0;
  unsigned high = 0;
  for (size_t i = begin_; i < length; ++i) {
    lines += bytes[i] == '\n';
    cps += (bytes[i] & 0xC0) != 0x80;
    high |= bytes[i];
  }
  lineStartCp_.Reserve(lines);
  lineStartCp_.Append(0);
  // In an all-ASCII text every code point is one byte: only the line starts
  // are needed.
  ascii_ = high < 0x80;
  if (ascii_) {
    for (const char* p = text + begin_; (p = static_cast<const char*>(std::memchr(p, '\n', length - (p - text))));)
      lineStartCp_.Append(static_cast<size_t>(++p - text) - begin_);
    codePoints_ = cps;
    return;
  }
  sampleOffset_.Reserve((cps + kSampleEvery - 1) / kSampleEvery);
  size_t cp = 0;
  for (size_t i = begin_; i < length; ++i) {
    if ((bytes[i] & 0xC0) == 0x80) continue;  // continuation byte
    if (cp % kSampleEvery == 0) sampleOffset_.Append(i);
    ++cp;
    if (bytes[i] == '\n') lineStartCp_.Append(cp);
  }
  codePoints_ = cp;
}

bool TTomlPositionMap::ByteOffset(size_t line, size_t column, size_t& offset) const {
  if (line < 1 || line > lineStartCp_.Size() || column < 1) return false;
  const size_t cp = static_cast<size_t>(lineStartCp_[line - 1]) + column - 1;
  if (cp > codePoints_) return false;
  if (cp == codePoints_) {
    offset = length_;
    return true;
  }
  if (ascii_) {
    offset = begin_ + cp;
    return true;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(text_);
  auto at = static_cast<size_t>(sampleOffset_[cp / kSampleEvery]);
  for (size_t skip = cp % kSampleEvery; skip > 0; --skip) {
    ++at;
    while (at < length_ && (bytes[at] & 0xC0) == 0x80) ++at;
  }
  offset = at;
  return true;
}

}  // namespace corvane::parser
