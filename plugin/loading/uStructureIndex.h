// The structure of a parsed document in flat form: one fixed-size record per
// node, in pre-order (a node before its children, children in order), with
// the node's texts kept only where they cannot be read back from the parsed
// bytes. A loaded file keeps this instead of a tree of node objects: a large
// file holds about one node per eight bytes of text, and a record costs
// 28 bytes where a TStructuredNode with its child list and texts costs four
// times that.
//
// Contract:
//  - Records[0] is the stream. A node's children start at its index + 1;
//    each child's SubtreeEnd is where the next sibling starts, and the
//    node's own SubtreeEnd ends the list. Nothing here recurses.
//  - Texts: a scalar's value, an alias's target, a key, an anchor and a tag
//    read exactly as a TStructuredNode built from the same parse would hold
//    them. A text equal to its source slice (the span less the quotes of a
//    quoted scalar or the "*" of an alias) is not stored; the source must be
//    the bytes that were parsed.
//  - Offsets are 32-bit: texts larger than 2 GB - 1 are refused before
//    parsing, and so are documents whose stored texts would pass 4 GB.
//  - Lines and columns are not kept: a node's start line and column follow
//    from its start offset (see ParserPosition), so Materialize derives them.
//  - Materialize builds the equivalent TStructuredNode tree (for editing and
//    for callers that want node objects); IndexToValue builds the same value
//    tree StructureToValue builds from that tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "uJsonModel.h"
#include "uStructuredNode.h"

namespace corvane {

// Largest text the structure index can describe.
constexpr size_t kMaxIndexedTextBytes = 2147483647u;

struct TStructureRecord {
  int32_t StartOffset = 0;
  int32_t EndOffset = 0;
  int32_t KeyStart = -1;
  int32_t KeyEnd = -1;
  uint32_t SubtreeEnd = 0;  // index one past the node's last descendant
  uint32_t TextsAt = 0;     // offset in the pool of the stored texts
  int8_t Kind = 0;
  int8_t Style = 0;
  int8_t KeyStyle = 0;
  uint8_t Flags = 0;
};

// The records, in fixed-size blocks: growing never moves or copies the
// records already written (a vector would copy them all at every doubling
// and briefly hold both copies), and no block is more than one block
// larger than needed.
class TRecordStore {
 public:
  static constexpr size_t kBlockBits = 14;
  static constexpr size_t kBlockSize = size_t{1} << kBlockBits;  // records per block

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  TStructureRecord& operator[](size_t i) { return blocks_[i >> kBlockBits][i & (kBlockSize - 1)]; }
  const TStructureRecord& operator[](size_t i) const { return blocks_[i >> kBlockBits][i & (kBlockSize - 1)]; }
  void push_back(const TStructureRecord& record) {
    if ((size_ & (kBlockSize - 1)) == 0 && (size_ >> kBlockBits) == blocks_.size())
      blocks_.emplace_back(new TStructureRecord[kBlockSize]);
    (*this)[size_++] = record;
  }
  // Keeps the first count records (count <= size()).
  void truncate(size_t count) {
    if (count < size_) size_ = count;
    blocks_.resize((size_ + kBlockSize - 1) >> kBlockBits);
  }
  void clear() {
    blocks_.clear();
    size_ = 0;
  }

 private:
  std::vector<std::unique_ptr<TStructureRecord[]>> blocks_;
  size_t size_ = 0;
};

class TStructureIndex {
 public:
  // Record flags.
  enum : uint8_t {
    kKeyNotScalar = 1,
    kValueStored = 2,   // the value is in the pool
    kKeyStored = 4,     // the key is in the pool
    kAnchorStored = 8,  // the anchor is in the pool
    kTagStored = 16,    // the tag is in the pool
    kValueSlice = 32,   // the value is the source slice of the span
    kKeySlice = 64,     // the key is the source slice of the key span
  };

  TRecordStore Records;
  std::string Pool;  // stored texts: per record, in the order value, key, anchor, tag; each a length then bytes

  bool Empty() const { return Records.empty(); }
  void Clear() {
    Records.clear();
    Pool = std::string();
  }

  // Texts of record i; source is the parsed text.
  std::string_view Value(size_t i, std::string_view source) const;
  std::string_view Key(size_t i, std::string_view source) const;
  std::string_view Anchor(size_t i, std::string_view source) const;
  std::string_view Tag(size_t i) const;

  // Appends a record and its texts; value and key are stored unless they
  // equal the slice their span and style give. Returns the record's index.
  // Raises EStructureError when the pool would pass 4 GB.
  size_t Add(TStructureRecord record, std::string_view source, std::string_view value, std::string_view key,
             std::string_view anchor, std::string_view tag);
  // Drops every record from index on (and the texts they stored).
  void Truncate(size_t index);

  // The slice a value or key would be read from, or false when the span
  // gives none. kind/style are the node's (or, for a key, skScalar and the
  // key style, or skAlias when the key is an alias).
  static bool SliceOf(std::string_view source, int kind, int style, int32_t start, int32_t end,
                      std::string_view& slice);

 private:
  std::string_view Stored(size_t i, uint8_t which) const;
};

// The 1-based line and column the YAML parser reports for the character at
// byte offset `offset` of text: CR, LF, CR LF, NEL, LS and PS each end a
// line; columns count code points; a leading byte-order mark is not counted.
// Walks forward from `from` (a position of an offset at or before this one,
// or a default TParserPosition for the start of the text), so positions
// asked in increasing order cost one pass over the text in total.
struct TParserPosition {
  std::ptrdiff_t Offset = 0;  // where Line and Column were reached
  std::ptrdiff_t Line = 1;
  std::ptrdiff_t Column = 1;
};
TParserPosition ParserPosition(std::string_view text, std::ptrdiff_t offset, TParserPosition from = {});

// The node tree of record `record` (the whole document for 0). Scalar, alias
// and collection nodes of a text with spans get the line and column of their
// start offset; the parser reports the same, except for an empty node at the
// very end of a text without a final line break, which it places at the
// start of a line after the last.
TStructuredNodePtr Materialize(const TStructureIndex& index, std::string_view source, size_t record = 0);

// Record `record` alone as a node object, without its children (its line
// and column included).
TStructuredNodePtr MaterializeNode(const TStructureIndex& index, std::string_view source, size_t record);

// The value of the subtree at record (as StructureToValue) and of a whole
// parsed file (as StructureRootToValue). Raise like them.
TJsonDataPtr IndexToValue(const TStructureIndex& index, std::string_view source, size_t record, bool isToml);
TJsonDataPtr IndexRootToValue(const TStructureIndex& index, std::string_view source, bool isToml);

// Parses YAML / TOML text into a structure index. False with the same error
// texts ParseYamlStructure / ParseTomlStructure give; never throws.
bool ParseYamlIndex(const std::string& text, TStructureIndex& index, std::u16string& error);
bool ParseTomlIndex(const std::string& text, TStructureIndex& index, std::u16string& error);

}  // namespace corvane
