// The structure of a parsed document: one fixed-size record per node, in
// pre-order (a node before its children, children in order), with the
// node's texts kept only where they cannot be read back from the parsed
// bytes. A loaded file keeps this as its structure: a large file holds about
// one node per eight bytes of text, and a record costs 20 bytes.
//
// Shape (YAML): Records[0] is the stream; it holds one document per YAML
// document; a document holds its content node, if any. A mapping holds one
// node per pair: the value's node, carrying the pair's key (text, span,
// style, and whether the key was not a scalar); the key's own node is not
// kept. Sequences hold their items. TOML has the same shape: a stream with
// one document holding the root table's mapping; leaves and keys carry the
// spans the parser library gives (-1 where it gives none), tables and
// arrays none.
//
// Contract:
//  - A node's children start at its index + 1; each child's SubtreeEnd is
//    where the next sibling starts, and the node's own SubtreeEnd ends the
//    list. Nothing here recurses.
//  - Texts: a scalar's value, an alias's target, a key, an anchor and a tag
//    read exactly as the parser reported them. A text equal to its source
//    slice (the span less the quotes of a quoted scalar or the "*" of an
//    alias) is not stored; the source must be the bytes that were parsed.
//  - Offsets are 32-bit: texts larger than 2 GB - 1 are refused before
//    parsing, and so are documents whose stored texts would pass 4 GB.
//  - IndexToValue builds the value tree the views show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"
#include "uLoadError.h"

namespace corvane {

// Largest text the structure index can describe.
constexpr size_t kMaxIndexedTextBytes = 2147483647u;

// Node kinds of the structure.
enum TStructuredKind : int {
  skStream = 0,
  skDocument = 1,
  skMapping = 2,
  skSequence = 3,
  skScalar = 4,
  skAlias = 5,
};

// Raised inside structure building and conversion; what() is UTF-8, with
// the place in the text when the failure has one. The builders catch it (and
// EJsonError, EParserBinding) at their boundary.
class EStructureError : public ELoadFailure {
 public:
  using ELoadFailure::ELoadFailure;
};

// One node of the structure with its texts, as the records hold it.
struct TNodeView {
  int Kind = 0;
  int Style = 0;     // scalar style: 1 plain, 2 single, 3 double, 4 literal, 5 folded
  int KeyStyle = 0;
  bool KeyNotScalar = false;
  int32_t StartOffset = 0;  // -1 when not known (TOML tables and arrays)
  int32_t EndOffset = 0;
  int32_t KeyStart = -1;
  int32_t KeyEnd = -1;
  std::string_view Key;     // key text when the node is a mapping value
  std::string_view Value;   // scalar content / alias target / TOML raw value text
  std::string_view Anchor;
  std::string_view Tag;
};

struct TStructureRecord {
  TStructureRecord() : KeyLength(0), Kind(0), Style(0), KeyStyle(0), Flags(0) {}
  int32_t StartOffset = 0;
  int32_t EndOffset = 0;
  int32_t KeyStart = -1;
  uint32_t SubtreeEnd = 0;  // index one past the node's last descendant
  // The key span's end as a length from KeyStart; kKeyEndStored when the end
  // is kept in the pool instead (a key of 64 KB or more, or a span that is
  // not start <= end). Set by TStructureIndex::Add, read through KeyEnd().
  uint16_t KeyLength;
  uint16_t Kind : 3;
  uint16_t Style : 3;
  uint16_t KeyStyle : 3;
  uint16_t Flags : 7;

  static constexpr uint16_t kKeyEndStored = 0xFFFF;
};
static_assert(sizeof(TStructureRecord) == 20, "a record is five words");

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
  TStructureRecord& operator[](size_t i) { return blocks_[i >> kBlockBits].get()[i & (kBlockSize - 1)]; }
  const TStructureRecord& operator[](size_t i) const { return blocks_[i >> kBlockBits].get()[i & (kBlockSize - 1)]; }
  void push_back(const TStructureRecord& record) {
    if ((size_ & (kBlockSize - 1)) == 0 && (size_ >> kBlockBits) == blocks_.size()) {
      // Raw storage: each record is constructed as it is written, so a new
      // block is touched once instead of first being filled with defaults.
      blocks_.reserve(blocks_.size() + 1);
      blocks_.emplace_back(static_cast<TStructureRecord*>(::operator new(kBlockSize * sizeof(TStructureRecord))));
    }
    new (&(*this)[size_]) TStructureRecord(record);
    ++size_;
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
  struct TFreeBlock {
    void operator()(TStructureRecord* block) const { ::operator delete(block); }
  };
  static_assert(std::is_trivially_destructible_v<TStructureRecord>, "records are never destroyed one by one");
  std::vector<std::unique_ptr<TStructureRecord, TFreeBlock>> blocks_;
  size_t size_ = 0;
};

class TStructureIndex {
 public:
  // Record flags (seven bits).
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
    textsAt_ = std::vector<TTextsAt>();
  }

  // Texts of record i; source is the parsed text.
  std::string_view Value(size_t i, std::string_view source) const;
  std::string_view Key(size_t i, std::string_view source) const;
  std::string_view Anchor(size_t i, std::string_view source) const;
  std::string_view Tag(size_t i) const;
  // The end of record i's key span (-1 when it has none).
  int32_t KeyEnd(size_t i) const;
  // Record i with its texts.
  TNodeView View(size_t i, std::string_view source) const;
  // Number of children of record i.
  size_t ChildCount(size_t i) const;

  // Appends a record and its texts; value and key are stored unless they
  // equal the slice their span and style give. The key's span runs from
  // record.KeyStart to keyEnd. Returns the record's index.
  // Raises EStructureError when the pool would pass 4 GB.
  size_t Add(TStructureRecord record, std::string_view source, std::string_view value, std::string_view key,
             std::string_view anchor, std::string_view tag, int32_t keyEnd = -1);
  // Drops every record from index on (and the texts they stored).
  void Truncate(size_t index);

  // The slice a value or key would be read from, or false when the span
  // gives none. kind/style are the node's (or, for a key, skScalar and the
  // key style, or skAlias when the key is an alias).
  static bool SliceOf(std::string_view source, int kind, int style, int32_t start, int32_t end,
                      std::string_view& slice);

 private:
  // Where the stored texts of a record start in the pool, for the records
  // that store any, in record order. Most records store none (their texts
  // are slices of the source), so this costs less than an offset in every
  // record.
  struct TTextsAt {
    uint32_t Record;
    uint32_t At;
  };
  std::vector<TTextsAt> textsAt_;

  // The first stored item of record i, or nullptr when it stores none.
  const char* StoredAt(size_t i) const;
  std::string_view Stored(size_t i, uint8_t which) const;
};

// The value of the subtree at record `record` and of a whole parsed file.
// A document stands for its first child (null when it has none); a stream or
// sequence becomes an array, a mapping an object, a scalar its typed value
// (uScalarTyping.h), an alias the string "*" + name. The whole file's value
// is its one document's value when the stream holds exactly one document,
// else an array with one value per document (empty for none). A mapping with
// a repeated key raises EJsonError "Duplicate object member: \"name\"",
// naming the first repeat in the text: members are added in the text's
// order, each before its value is filled.
// An explicit stack does the walk, so any depth is safe.
TJsonDataPtr IndexToValue(const TStructureIndex& index, std::string_view source, size_t record,
                          TDocumentLanguage language);
TJsonDataPtr IndexRootToValue(const TStructureIndex& index, std::string_view source, TDocumentLanguage language);

}  // namespace corvane
