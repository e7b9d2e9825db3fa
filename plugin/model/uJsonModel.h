// The value tree: JSON-style nodes that every view works on, plus the helpers
// that turn nodes into the texts the user sees.
//
// Contract:
//  - Node kinds carry fixed codes (NodeKind) that the whole plug-in compares.
//  - Containers own their children; destroying or cloning a node handles the
//    whole subtree without recursion, so a 100,000-level document cannot
//    overflow the host's stack.
//  - Object members keep insertion order; names are unique, compared on their
//    first 255 bytes (longer names are cut when added).
//  - Strings are UTF-8 byte strings; display texts are UTF-16.
//  - Nodes are kept small, since a large document holds millions of them: a
//    node's kind shares a word with its parent link, texts are TCompactText,
//    and a container keeps its children (and an object its member names) in
//    one block. Nodes made inside a TNodeBatch (a load) share large blocks
//    (uNodeMemory.h), so a large tree is freed without a heap call per node.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "uCompactText.h"
#include "uNodeMemory.h"
#include "uTomlText.h"

namespace corvane {

enum TNodeKind : int {
  nkUnknown = 0,
  nkNumber = 1,
  nkString = 2,
  nkBoolean = 3,
  nkNull = 4,
  nkArray = 5,
  nkObject = 6,
};

constexpr size_t kMaxMemberNameBytes = 255;

// Raised by the value tree (duplicate member, plain text of null, ...);
// what() is UTF-8.
class EJsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TJsonData;
using TJsonDataPtr = std::unique_ptr<TJsonData>;

// Aligned to 8 so that every node address leaves the three low bits free
// for the kind (also on 32-bit targets).
class alignas(8) TJsonData {
 public:
  virtual ~TJsonData();
  TJsonData(const TJsonData&) = delete;
  TJsonData& operator=(const TJsonData&) = delete;
  static void* operator new(size_t size) { return NodeAllocate(size); }
  static void operator delete(void* node) noexcept { NodeFree(node); }

  int Kind() const { return static_cast<int>(link_ & kKindBits); }
  TJsonData* Parent() const { return reinterpret_cast<TJsonData*>(link_ & ~kKindBits); }

  // Deep copy of the whole subtree (iterative).
  TJsonDataPtr Clone() const;

  // Plain text (see the table in TJsonNumber etc.); raises EJsonError for null.
  virtual std::string PlainText() const = 0;
  // JSON text of a scalar (strings quoted and escaped); containers give "".
  virtual std::string JsonText() const = 0;

 protected:
  explicit TJsonData(int kind) : link_(static_cast<uintptr_t>(kind) & kKindBits) {}
  // Shallow copy of this node without children (used by Clone).
  virtual TJsonDataPtr CloneShallow() const = 0;

 private:
  friend class TJsonArray;
  friend class TJsonObject;
  friend class TJsonContainer;
  static constexpr uintptr_t kKindBits = 7;
  void SetParent(TJsonData* parent) {
    link_ = reinterpret_cast<uintptr_t>(parent) | (link_ & kKindBits);
  }
  // The parent's address with the kind in its low bits: the node header is
  // then 16 bytes (vtable + link), so an integer, float or string node
  // takes 24 bytes, the smallest heap block.
  uintptr_t link_;
};
static_assert(nkObject <= 7, "every node kind fits the three low bits of the parent link");

// ---- numbers -------------------------------------------------------------

class TJsonNumber : public TJsonData {
 public:
  virtual bool IsFloat() const = 0;
  virtual int64_t AsInt64() const = 0;
  virtual double AsFloat() const = 0;

 protected:
  TJsonNumber() : TJsonData(nkNumber) {}
};

class TJsonInteger : public TJsonNumber {
 public:
  explicit TJsonInteger(int64_t value = 0) : value_(value) {}
  bool IsFloat() const override { return false; }
  int64_t AsInt64() const override { return value_; }
  double AsFloat() const override { return static_cast<double>(value_); }
  // A source-preserving integer drops its spelling here.
  virtual void SetValue(int64_t value) { value_ = value; }
  std::string PlainText() const override;  // decimal digits, "-" for negatives
  // Always decimal digits, so every integer writes valid JSON.
  std::string JsonText() const final { return TJsonInteger::PlainText(); }

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  int64_t value_;
};

// An integer that keeps the spelling it was written with in the file
// ("0x1F", "1_000", "+7"), shown instead of its decimal digits until a new
// value is set.
class TSourceIntegerNumber final : public TJsonInteger {
 public:
  TSourceIntegerNumber(int64_t value, std::string_view spelling) : TJsonInteger(value), spelling_(spelling) {}
  std::string_view Spelling() const { return spelling_.view(); }
  void SetValue(int64_t value) override;
  std::string PlainText() const override;  // Spelling when not empty

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  TCompactText spelling_;
};

// A plain float, as loading creates them: no spelling.
class TJsonFloat : public TJsonNumber {
 public:
  explicit TJsonFloat(double value = 0.0) : value_(value) {}
  bool IsFloat() const override { return true; }
  // Truncated toward zero, saturated at the 64-bit range; NaN gives 0.
  int64_t AsInt64() const override;
  double AsFloat() const override { return value_; }

  // The setters; a source-preserving float clears its spelling in every one
  // except SetFromText.
  virtual void SetFromUInt64(uint64_t value) { value_ = static_cast<double>(value); }
  virtual void SetFromInt64(int64_t value) { value_ = static_cast<double>(value); }
  virtual void SetFromBoolean(bool value) { value_ = value ? 1.0 : 0.0; }
  virtual void SetFromFloat(double value) { value_ = value; }
  virtual void SetFromInt32(int32_t value) { value_ = value; }
  // Parses a decimal float (ParseDecimalFloat of uNumberText.h, blanks
  // around it ignored); raises EJsonError when it is not one.
  virtual void SetFromText(const std::string& text);
  virtual void Clear() { value_ = 0.0; }

  std::string PlainText() const override;  // DefaultFloatText
  std::string JsonText() const override { return PlainText(); }

 protected:
  TJsonDataPtr CloneShallow() const override;
  double value_;
};

// A float that keeps the spelling it was given through SetFromText.
class TSourceFloatNumber final : public TJsonFloat {
 public:
  explicit TSourceFloatNumber(double value = 0.0) : TJsonFloat(value) {}
  // A float read from a file together with the text it was written as
  // (which need not be a decimal float: TOML's "inf" or "1_000.5").
  TSourceFloatNumber(double value, std::string_view spelling) : TJsonFloat(value), spelling_(spelling) {}
  std::string_view Spelling() const { return spelling_.view(); }

  void SetFromUInt64(uint64_t value) override;
  void SetFromInt64(int64_t value) override;
  void SetFromBoolean(bool value) override;
  void SetFromFloat(double value) override;
  void SetFromInt32(int32_t value) override;
  void SetFromText(const std::string& text) override;
  void Clear() override;

  std::string PlainText() const override;  // Spelling when not empty

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  TCompactText spelling_;
};

// The generic float constructor: makes a TSourceFloatNumber (the registered
// float class), as the copy commands do when they build values.
TJsonDataPtr NewFloatNode(double value);

// ---- other scalars ---------------------------------------------------------

class TJsonString : public TJsonData {
 public:
  explicit TJsonString(std::string_view value = {}) : TJsonData(nkString), value_(value) {}
  // Valid until the value changes or the node goes.
  std::string_view Value() const { return value_.view(); }
  void SetValue(std::string_view value) { value_ = value; }
  std::string PlainText() const final { return value_.str(); }
  std::string JsonText() const final;  // quoted and escaped for JSON

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  TCompactText value_;
};

// A TOML date or time, shown as the text it was written as; it keeps its
// TOML kind (offset or local date-time, local date, local time), so an
// edit can be held to another value of the same kind.
class TDateTimeString final : public TJsonString {
 public:
  TDateTimeString(std::string_view value, TTomlForm form) : TJsonString(value), form_(form) {}
  TTomlForm Form() const { return form_; }

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  TTomlForm form_;
};

class TJsonBoolean final : public TJsonData {
 public:
  explicit TJsonBoolean(bool value = false) : TJsonData(nkBoolean), value_(value) {}
  bool Value() const { return value_; }
  void SetValue(bool value) { value_ = value; }
  std::string PlainText() const override { return value_ ? "True" : "False"; }
  std::string JsonText() const override { return value_ ? "true" : "false"; }

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  bool value_;
};

class TJsonNull final : public TJsonData {
 public:
  TJsonNull() : TJsonData(nkNull) {}
  std::string PlainText() const override;  // raises EJsonError
  std::string JsonText() const override { return "null"; }

 protected:
  TJsonDataPtr CloneShallow() const override;
};

// ---- containers ------------------------------------------------------------

class TJsonContainer : public TJsonData {
 public:
  size_t Count() const { return slots_ ? slots_->Count : 0; }
  // nullptr when index is out of range.
  TJsonData* Child(size_t index) const { return index < Count() ? Items()[index].get() : nullptr; }
  // Index of a direct child, or -1.
  long long IndexOf(const TJsonData* child) const;
  std::string PlainText() const override { return {}; }
  std::string JsonText() const override { return {}; }
  // Room for count children, so a loader that knows the count allocates once.
  void Reserve(size_t count);

 protected:
  explicit TJsonContainer(int kind) : TJsonData(kind) {}
  // Frees the subtree with an explicit work list instead of recursion.
  ~TJsonContainer() override;
  // Takes ownership of item as the last child (parent link set). An object
  // sets the member's name first, in the free slot past the last member.
  TJsonData* Adopt(TJsonDataPtr item) { return InsertAt(Count(), std::move(item)); }
  // Takes ownership of item as child index (index == Count() appends).
  TJsonData* InsertAt(size_t index, TJsonDataPtr item);
  // Gives up the child at index (parent link cleared); the slot is erased.
  TJsonDataPtr Release(size_t index);
  TJsonDataPtr Swap(size_t index, TJsonDataPtr item);

  // The children live in one block (node memory): this header, then Capacity child
  // pointers, then (objects only) Capacity member names and, for a capacity
  // large enough to be indexed, the address of the object's name index (or
  // null). Every slot up to Capacity holds a constructed (possibly empty)
  // pointer and name. No block is allocated until the first child or Reserve.
  struct TSlots {
    uint32_t Count;
    uint32_t Capacity;
  };
  TJsonDataPtr* Items() const { return ItemsOf(slots_); }
  // Member names; only objects have them.
  TCompactText* Names() const { return NamesOf(slots_); }
  TSlots* slots_ = nullptr;

 private:
  friend class TJsonData;
  friend class TJsonObject;
  static TJsonDataPtr* ItemsOf(TSlots* block) { return reinterpret_cast<TJsonDataPtr*>(block + 1); }
  static TCompactText* NamesOf(TSlots* block);
  // The word holding the name index's address, or nullptr when the block
  // has none (arrays, small capacities).
  static std::vector<uint32_t>** IndexWordOf(TSlots* block, bool named);
  bool HasNames() const { return Kind() == nkObject; }
  // Makes room for count children (reallocating the block if needed).
  void Grow(size_t count);
  // Frees the block; children that are containers are moved to pending
  // first, so freeing never recurses.
  void FreeSlots(std::vector<TJsonDataPtr>* pending);
};

class TJsonArray final : public TJsonContainer {
 public:
  TJsonArray() : TJsonContainer(nkArray) {}
  TJsonData* Add(TJsonDataPtr item);  // takes ownership; returns the item
  // Replaces the item at index, returning the old one.
  TJsonDataPtr Replace(size_t index, TJsonDataPtr item);
  // Inserts item before index (index == Count() appends); returns the item.
  TJsonData* Insert(size_t index, TJsonDataPtr item);
  // Removes the item at index and hands it back.
  TJsonDataPtr Remove(size_t index);

 protected:
  TJsonDataPtr CloneShallow() const override;
};

class TJsonObject final : public TJsonContainer {
 public:
  TJsonObject() : TJsonContainer(nkObject) {}
  ~TJsonObject() override;

  // "" when index is out of range; valid until the object changes.
  std::string_view Name(size_t index) const;
  // Adds a member (name cut to 255 bytes). Raises EJsonError
  // "Duplicate object member: \"name\"" and leaves the object unchanged
  // (item is destroyed) when the name is taken. like, an object of the same
  // tree built before this one, may hold the same name at the same index:
  // the name then shares its stored text (arrays of similar objects repeat
  // their member names).
  TJsonData* Add(std::string name, TJsonDataPtr item, const TJsonObject* like = nullptr);
  // The same without raising: false with the message in error.
  bool TryAdd(std::string name, TJsonDataPtr item, std::string* error, const TJsonObject* like = nullptr);
  long long IndexOfName(std::string_view name) const;  // -1 when absent
  TJsonData* Find(std::string_view name) const;        // nullptr when absent
  // Inserts a member before index (index == Count() appends); raises as Add
  // does when the name is taken. Returns the item.
  TJsonData* Insert(size_t index, std::string name, TJsonDataPtr item);
  // Renames member index; false (unchanged) when another member has that name.
  bool Rename(size_t index, std::string name);
  TJsonDataPtr Replace(size_t index, TJsonDataPtr item);
  // Removes member index and hands its value back.
  TJsonDataPtr Remove(size_t index);

 protected:
  TJsonDataPtr CloneShallow() const override;

 private:
  friend class TJsonData;
  // Appends a member whose name is known to be unique and already cut (Clone).
  void AppendUnique(std::string_view name, TJsonDataPtr item, const TJsonObject* like = nullptr);
  long long FindSlot(std::string_view cutName) const;
  void BuildIndex() const;
  void IndexInsert(size_t member) const;

  // Name index for larger objects: an open-addressing table of member
  // index + 1 (0 = empty slot), hashed on the names. It holds indexes, not
  // pointers, so moving the names never leaves it dangling. Small objects
  // have none and search linearly. It lives behind the names in the slots
  // block, so an object costs no word for it; nullptr when not built.
  std::vector<uint32_t>* Index() const;
  // Replaces the index (nullptr drops it).
  void SetIndex(std::unique_ptr<std::vector<uint32_t>> index) const;
};

// Puts value in node's place in the array or object holding it (same index,
// same member name) and hands node back, detached; nullptr, with the tree
// unchanged, when node has no parent. A node's kind cannot change, so a
// value of another kind takes its place this way.
TJsonDataPtr ReplaceInParent(TJsonData* node, TJsonDataPtr value);

// ---- display helpers -------------------------------------------------------

int NodeKind(const TJsonData* node);                      // nkUnknown for nullptr
// True for an array or an object; the node as a container, or nullptr.
bool IsContainer(const TJsonData* node);
const TJsonContainer* AsContainer(const TJsonData* node);
std::u16string NumberDisplayText(const TJsonData& number);  // shortest round trip
// The same text as ASCII in out (room chars); 0 when it is not ASCII or
// does not fit. Spares a grid of a million numbers a string per cell.
size_t NumberDisplayChars(const TJsonData& number, char* out, size_t room);
std::u16string ValueSummaryText(const TJsonData* node);     // grid cell text
std::u16string TypeName(const TJsonData* node);             // translated type name
std::string DefaultFloatText(double value);  // 4.2000000000000000E+001
// A number as JSON writes it: an integer in decimal digits, a float in the
// shortest text that reads back as exactly its value ("0.1", "42", "1e+300");
// "NaN", "Infinity" and "-Infinity", the common extension, for the values
// JSON has no number for.
std::string JsonNumberText(const TJsonData& number);
// A float's display text found by trying 1 to 15 significant digits in turn
// (the definition NumberDisplayText's faster path must agree with).
std::string FloatDisplayTextBySearch(double value);

// The member-name cut: the first 255 bytes.
std::string_view CutMemberName(std::string_view name);
// text quoted and escaped as JSON writes it: \\ \" \b \t \n \f \r, other
// codes below 32 as \u00XX (upper-case hex), everything else unchanged.
std::string JsonQuoteString(std::string_view text);

}  // namespace corvane
