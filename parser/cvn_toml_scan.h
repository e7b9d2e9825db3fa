// Private helpers of the TOML half of the parser library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::parser {

// Deepest tree the TOML half accepts. toml++ walks (and frees) nested tables
// recursively and limits only the nesting of inline values, so a header or a
// dotted key with many segments could exhaust a small thread stack.
constexpr int kMaxTomlDepth = 512;

// Scans the text lexically (strings and comments skipped) for an upper bound
// of the tree depth each statement reaches: header segments + dotted key
// segments + open brackets and braces. Returns false with the 1-based line
// where the bound first exceeds kMaxTomlDepth.
bool TomlNestingWithinLimit(const char* text, size_t length, int& line);

// A non-decreasing list of offsets stored in 32 bits each. Values of 4 GiB
// and more take their high part from the short list of indexes where each
// further 4 GiB begins, so texts of any size map correctly.
class TOffsetList {
 public:
  void Reserve(size_t count) { low_.reserve(count); }
  void Append(std::uint64_t value);
  size_t Size() const { return low_.size(); }
  std::uint64_t operator[](size_t index) const;

 private:
  std::vector<std::uint32_t> low_;
  std::vector<size_t> highStarts_;
};

// Turns toml++ source positions (1-based line, 1-based column counted in code
// points, a leading UTF-8 byte-order mark not counted) into byte offsets of
// the text, in constant time per lookup.
class TTomlPositionMap {
 public:
  TTomlPositionMap(const char* text, size_t length);
  // False when the position lies outside the text.
  bool ByteOffset(size_t line, size_t column, size_t& offset) const;

 private:
  static constexpr size_t kSampleEvery = 64;
  const char* text_;
  size_t length_;
  size_t begin_;                        // after a byte-order mark
  TOffsetList lineStartCp_;     // code point index of each line's start
  TOffsetList sampleOffset_;    // byte offset of code point k * kSampleEvery
  size_t codePoints_ = 0;
  bool ascii_ = false;  // every byte after the byte-order mark is ASCII
};

}  // namespace corvane::parser
