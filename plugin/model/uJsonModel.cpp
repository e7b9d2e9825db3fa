// The value tree's nodes: ownership, cloning, object members and their name
// index. Display and number texts live in uJsonText.cpp.
//
// Contract:
//  - No operation recurses over the tree: destruction and cloning walk it with
//    explicit work lists, so nesting depth is limited only by memory.
//  - Index arguments are checked; an out-of-range index or a missing item
//    raises EJsonError instead of touching memory.
//  - A failed object add (duplicate name) leaves the object exactly as it was.
#include "uJsonModel.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>

#include "uNumberText.h"

namespace corvane {

namespace {

// Objects up to this many members are searched linearly; bigger ones get the
// hashed name index on their first lookup.
constexpr size_t kIndexThreshold = 8;

bool IsContainerKind(int kind) { return kind == nkArray || kind == nkObject; }

[[noreturn]] void RaiseIndexError(size_t index, size_t count) {
  throw EJsonError("Index " + std::to_string(index) + " out of range (count " + std::to_string(count) + ")");
}

void RequireItem(const TJsonDataPtr& item) {
  if (!item) throw EJsonError("Missing value node");
}

size_t HashName(std::string_view name) { return std::hash<std::string_view>()(name); }

// Block layout of a container's children (see TJsonContainer::TSlots): the
// names start at the first suitably aligned offset after the pointers.
constexpr size_t kSlotsHeader = sizeof(uint32_t) * 2;

size_t NamesOffset(size_t capacity) {
  const size_t end = kSlotsHeader + capacity * sizeof(TJsonDataPtr);
  const size_t align = alignof(TCompactText);
  return (end + align - 1) / align * align;
}

// Whether a block of this capacity ends with the name index's word: only an
// object that can hold more members than are searched linearly needs one.
bool HasIndexWord(size_t capacity, bool named) { return named && capacity > kIndexThreshold; }

size_t SlotsBytes(size_t capacity, bool named) {
  if (!named) return kSlotsHeader + capacity * sizeof(TJsonDataPtr);
  return NamesOffset(capacity) + capacity * sizeof(TCompactText) +
         (HasIndexWord(capacity, named) ? sizeof(std::vector<uint32_t>*) : 0);
}

// The most children one container can hold: the count is 32-bit, and the
// block size must not overflow.
size_t MaxSlots() {
  const size_t perSlot = sizeof(TJsonDataPtr) + sizeof(TCompactText);
  return std::min<size_t>(
      UINT32_MAX, (SIZE_MAX - kSlotsHeader - alignof(TCompactText) - sizeof(std::vector<uint32_t>*)) / perSlot);
}

}  // namespace

std::string_view CutMemberName(std::string_view name) {
  return name.size() > kMaxMemberNameBytes ? name.substr(0, kMaxMemberNameBytes) : name;
}

// ---- TJsonData ---------------------------------------------------------------

TJsonData::~TJsonData() = default;

TJsonDataPtr TJsonData::Clone() const {
  TJsonDataPtr root = CloneShallow();
  struct TJob {
    const TJsonContainer* From;
    TJsonContainer* To;
  };
  std::vector<TJob> jobs;
  if (IsContainerKind(Kind()))
    jobs.push_back({static_cast<const TJsonContainer*>(this), static_cast<TJsonContainer*>(root.get())});
  while (!jobs.empty()) {
    TJob job = jobs.back();
    jobs.pop_back();
    const size_t count = job.From->Count();
    job.To->Reserve(count);
    const bool isObject = job.From->Kind() == nkObject;
    for (size_t i = 0; i < count; ++i) {
      const TJsonData* source = job.From->Items()[i].get();
      TJsonDataPtr copy = source->CloneShallow();
      TJsonData* raw = copy.get();
      if (isObject)
        static_cast<TJsonObject*>(job.To)->AppendUnique(job.From->Names()[i].view(), std::move(copy));
      else
        job.To->Adopt(std::move(copy));
      if (IsContainerKind(raw->Kind()))
        jobs.push_back({static_cast<const TJsonContainer*>(source), static_cast<TJsonContainer*>(raw)});
    }
  }
  return root;
}

// ---- scalars -------------------------------------------------------------------

std::string TJsonInteger::PlainText() const { return std::to_string(value_); }
TJsonDataPtr TJsonInteger::CloneShallow() const { return std::make_unique<TJsonInteger>(value_); }

void TSourceIntegerNumber::SetValue(int64_t value) {
  TJsonInteger::SetValue(value);
  spelling_ = std::string_view();
}
std::string TSourceIntegerNumber::PlainText() const {
  return spelling_.empty() ? TJsonInteger::PlainText() : spelling_.str();
}
TJsonDataPtr TSourceIntegerNumber::CloneShallow() const {
  return std::make_unique<TSourceIntegerNumber>(AsInt64(), spelling_.view());
}

int64_t TJsonFloat::AsInt64() const {
  if (!(value_ == value_)) return 0;  // NaN
  if (value_ >= 9223372036854775807.0) return INT64_MAX;
  if (value_ <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(value_);
}

void TJsonFloat::SetFromText(const std::string& text) {
  double parsed = 0.0;
  if (!ParseDecimalFloat(TrimBlanks(text), &parsed)) throw EJsonError("'" + text + "' is not a valid floating-point value");
  value_ = parsed;
}

std::string TJsonFloat::PlainText() const { return DefaultFloatText(value_); }
TJsonDataPtr TJsonFloat::CloneShallow() const { return std::make_unique<TJsonFloat>(value_); }

void TSourceFloatNumber::SetFromUInt64(uint64_t value) {
  TJsonFloat::SetFromUInt64(value);
  spelling_.clear();
}
void TSourceFloatNumber::SetFromInt64(int64_t value) {
  TJsonFloat::SetFromInt64(value);
  spelling_.clear();
}
void TSourceFloatNumber::SetFromBoolean(bool value) {
  TJsonFloat::SetFromBoolean(value);
  spelling_.clear();
}
void TSourceFloatNumber::SetFromFloat(double value) {
  TJsonFloat::SetFromFloat(value);
  spelling_.clear();
}
void TSourceFloatNumber::SetFromInt32(int32_t value) {
  TJsonFloat::SetFromInt32(value);
  spelling_.clear();
}
void TSourceFloatNumber::SetFromText(const std::string& text) {
  TJsonFloat::SetFromText(text);  // raises before the spelling changes
  spelling_ = text;
}
void TSourceFloatNumber::Clear() {
  TJsonFloat::Clear();
  spelling_.clear();
}

std::string TSourceFloatNumber::PlainText() const {
  return spelling_.empty() ? TJsonFloat::PlainText() : spelling_.str();
}

TJsonDataPtr TSourceFloatNumber::CloneShallow() const {
  auto copy = std::make_unique<TSourceFloatNumber>(value_);
  copy->spelling_ = spelling_;
  return copy;
}

TJsonDataPtr NewFloatNode(double value) { return std::make_unique<TSourceFloatNumber>(value); }

std::string TJsonString::JsonText() const { return JsonQuoteString(value_); }
TJsonDataPtr TJsonString::CloneShallow() const { return std::make_unique<TJsonString>(value_.view()); }
TJsonDataPtr TDateTimeString::CloneShallow() const { return std::make_unique<TDateTimeString>(Value(), form_); }
TJsonDataPtr TJsonBoolean::CloneShallow() const { return std::make_unique<TJsonBoolean>(value_); }

std::string TJsonNull::PlainText() const { throw EJsonError("A null value has no plain text"); }
TJsonDataPtr TJsonNull::CloneShallow() const { return std::make_unique<TJsonNull>(); }

// ---- containers ------------------------------------------------------------------

TCompactText* TJsonContainer::NamesOf(TSlots* block) {
  return reinterpret_cast<TCompactText*>(reinterpret_cast<char*>(block) + NamesOffset(block->Capacity));
}

std::vector<uint32_t>** TJsonContainer::IndexWordOf(TSlots* block, bool named) {
  if (!block || !HasIndexWord(block->Capacity, named)) return nullptr;
  return reinterpret_cast<std::vector<uint32_t>**>(NamesOf(block) + block->Capacity);
}

void TJsonContainer::Grow(size_t count) {
  const size_t capacity = slots_ ? slots_->Capacity : 0;
  if (count <= capacity) return;
  const size_t limit = MaxSlots();
  if (count > limit) throw std::length_error("Too many children in one container");
  // Doubling, as a vector grows, keeps appending one by one linear.
  const size_t next = std::max(count, std::min(limit, capacity * 2));
  const bool named = HasNames();
  auto* block = static_cast<TSlots*>(NodeAllocate(SlotsBytes(next, named)));
  // Nothing below throws: the children move over whole or not at all.
  block->Count = slots_ ? slots_->Count : 0;
  block->Capacity = static_cast<uint32_t>(next);
  std::uninitialized_value_construct_n(ItemsOf(block), next);
  if (named) std::uninitialized_value_construct_n(NamesOf(block), next);
  std::vector<uint32_t>** index = IndexWordOf(block, named);
  if (index) *index = nullptr;
  if (TSlots* old = slots_) {
    std::move(ItemsOf(old), ItemsOf(old) + old->Count, ItemsOf(block));
    std::destroy_n(ItemsOf(old), old->Capacity);
    if (named) {
      std::move(NamesOf(old), NamesOf(old) + old->Count, NamesOf(block));
      std::destroy_n(NamesOf(old), old->Capacity);
      // A grown block always has the word when the old one had it.
      if (std::vector<uint32_t>** oldIndex = IndexWordOf(old, named)) *index = *oldIndex;
    }
    NodeFree(old);
  }
  slots_ = block;
}

void TJsonContainer::Reserve(size_t count) { Grow(count); }

void TJsonContainer::FreeSlots(std::vector<TJsonDataPtr>* pending) {
  if (!slots_) return;
  TJsonDataPtr* items = Items();
  for (size_t i = 0; i < slots_->Count; ++i)
    if (IsContainerKind(items[i]->Kind())) pending->push_back(std::move(items[i]));
  // What is left are scalars, which free nothing below themselves.
  std::destroy_n(items, slots_->Capacity);
  if (HasNames()) std::destroy_n(Names(), slots_->Capacity);
  if (std::vector<uint32_t>** index = IndexWordOf(slots_, HasNames())) delete *index;
  NodeFree(slots_);
  slots_ = nullptr;
}

TJsonContainer::~TJsonContainer() {
  // Child containers are moved onto a work list before their parent's block
  // goes, so every container is destroyed with no children of its own and
  // nothing recurses.
  std::vector<TJsonDataPtr> pending;
  FreeSlots(&pending);
  while (!pending.empty()) {
    TJsonDataPtr node = std::move(pending.back());
    pending.pop_back();
    static_cast<TJsonContainer*>(node.get())->FreeSlots(&pending);
  }
}

long long TJsonContainer::IndexOf(const TJsonData* child) const {
  if (!child || child->Parent() != this) return -1;
  const TJsonDataPtr* items = slots_ ? Items() : nullptr;
  for (size_t i = 0; i < Count(); ++i)
    if (items[i].get() == child) return static_cast<long long>(i);
  return -1;
}

// Objects only ever append, so only the child pointers move here; the
// member's name is already in its slot.
TJsonData* TJsonContainer::InsertAt(size_t index, TJsonDataPtr item) {
  RequireItem(item);
  const size_t count = Count();
  if (index > count) RaiseIndexError(index, count);
  Grow(count + 1);  // the only step that can fail
  TJsonDataPtr* items = Items();
  if (index < count) std::move_backward(items + index, items + count, items + count + 1);
  item->SetParent(this);
  items[index] = std::move(item);
  slots_->Count = static_cast<uint32_t>(count + 1);
  return items[index].get();
}

TJsonDataPtr TJsonContainer::Release(size_t index) {
  const size_t count = Count();
  if (index >= count) RaiseIndexError(index, count);
  TJsonDataPtr* items = Items();
  TJsonDataPtr old = std::move(items[index]);
  std::move(items + index + 1, items + count, items + index);
  if (HasNames()) {
    TCompactText* names = Names();
    std::move(names + index + 1, names + count, names + index);
    names[count - 1].clear();
  }
  slots_->Count = static_cast<uint32_t>(count - 1);
  old->SetParent(nullptr);
  return old;
}

TJsonDataPtr TJsonContainer::Swap(size_t index, TJsonDataPtr item) {
  RequireItem(item);
  if (index >= Count()) RaiseIndexError(index, Count());
  item->SetParent(this);
  std::swap(Items()[index], item);
  item->SetParent(nullptr);
  return item;
}

TJsonData* TJsonArray::Add(TJsonDataPtr item) { return Adopt(std::move(item)); }

TJsonDataPtr TJsonArray::Replace(size_t index, TJsonDataPtr item) { return Swap(index, std::move(item)); }

TJsonData* TJsonArray::Insert(size_t index, TJsonDataPtr item) { return InsertAt(index, std::move(item)); }

TJsonDataPtr TJsonArray::Remove(size_t index) { return Release(index); }

TJsonDataPtr TJsonArray::CloneShallow() const { return std::make_unique<TJsonArray>(); }

// ---- objects ------------------------------------------------------------------------

TJsonObject::~TJsonObject() = default;

std::vector<uint32_t>* TJsonObject::Index() const {
  std::vector<uint32_t>** word = IndexWordOf(slots_, true);
  return word ? *word : nullptr;
}

void TJsonObject::SetIndex(std::unique_ptr<std::vector<uint32_t>> index) const {
  std::vector<uint32_t>** word = IndexWordOf(slots_, true);
  if (!word) return;  // too small to be indexed: searched linearly
  delete *word;
  *word = index.release();
}

std::string_view TJsonObject::Name(size_t index) const {
  return index < Count() ? Names()[index].view() : std::string_view();
}

void TJsonObject::BuildIndex() const {
  const size_t count = Count();
  size_t capacity = 16;
  while (capacity < count * 2 + 2) capacity *= 2;
  SetIndex(std::make_unique<std::vector<uint32_t>>(capacity, 0));
  if (!Index()) return;
  for (size_t i = 0; i < count; ++i) IndexInsert(i);
}

// Puts member into the index; grows (rebuilds) the table at half load.
void TJsonObject::IndexInsert(size_t member) const {
  std::vector<uint32_t>* index = Index();
  if (!index) return;
  std::vector<uint32_t>& table = *index;
  const size_t count = Count();
  if ((count + 1) * 2 > table.size() && member + 1 == count) {
    BuildIndex();  // re-inserts every member, this one included
    return;
  }
  const size_t mask = table.size() - 1;
  size_t slot = HashName(Names()[member].view()) & mask;
  while (table[slot] != 0) slot = (slot + 1) & mask;
  table[slot] = static_cast<uint32_t>(member + 1);
}

long long TJsonObject::FindSlot(std::string_view cutName) const {
  const size_t count = Count();
  if (!Index() && count > kIndexThreshold) BuildIndex();
  const std::vector<uint32_t>* index = Index();
  if (!index) {
    const TCompactText* names = count ? Names() : nullptr;
    if (cutName.size() <= TCompactText::kInlineMax) {
      // Short names compare as one word each, with no allocation for the probe.
      const TCompactText probe(cutName);
      for (size_t i = 0; i < count; ++i)
        if (names[i].Equals(probe)) return static_cast<long long>(i);
      return -1;
    }
    for (size_t i = 0; i < count; ++i)
      if (names[i].view() == cutName) return static_cast<long long>(i);
    return -1;
  }
  const std::vector<uint32_t>& table = *index;
  const TCompactText* names = Names();
  const size_t mask = table.size() - 1;
  for (size_t slot = HashName(cutName) & mask; table[slot] != 0; slot = (slot + 1) & mask) {
    const size_t member = table[slot] - 1;
    if (names[member].view() == cutName) return static_cast<long long>(member);
  }
  return -1;
}

bool TJsonObject::TryAdd(std::string name, TJsonDataPtr item, std::string* error, const TJsonObject* like) {
  if (!item) {
    if (error) *error = "Missing value node";
    return false;
  }
  const std::string_view cut = CutMemberName(name);
  if (FindSlot(cut) >= 0) {
    if (error) *error = "Duplicate object member: \"" + std::string(cut) + "\"";
    return false;
  }
  AppendUnique(cut, std::move(item), like);
  return true;
}

TJsonData* TJsonObject::Add(std::string name, TJsonDataPtr item, const TJsonObject* like) {
  std::string error;
  if (!TryAdd(std::move(name), std::move(item), &error, like)) throw EJsonError(error);
  return Items()[Count() - 1].get();
}

void TJsonObject::AppendUnique(std::string_view name, TJsonDataPtr item, const TJsonObject* like) {
  RequireItem(item);
  const size_t count = Count();
  Grow(count + 1);
  // The slot past the last member is free: filling it changes nothing
  // visible if the copy fails, and the adopt below cannot fail any more.
  if (like && like != this && count < like->Count())
    Names()[count].AssignLike(name, like->Names()[count]);
  else
    Names()[count] = name;
  Adopt(std::move(item));
  try {
    IndexInsert(Count() - 1);
  } catch (const std::bad_alloc&) {
    // The member is in; the index is only a cache, so drop it rather than
    // keep one that misses the new name (it is rebuilt on the next lookup).
    SetIndex(nullptr);
  }
}

long long TJsonObject::IndexOfName(std::string_view name) const { return FindSlot(CutMemberName(name)); }

TJsonData* TJsonObject::Find(std::string_view name) const {
  const long long i = IndexOfName(name);
  return i < 0 ? nullptr : Items()[static_cast<size_t>(i)].get();
}

bool TJsonObject::Rename(size_t index, std::string name) {
  if (index >= Count()) return false;
  const std::string_view cut = CutMemberName(name);
  const long long other = FindSlot(cut);
  if (other >= 0 && static_cast<size_t>(other) != index) return false;
  Names()[index] = cut;
  SetIndex(nullptr);  // rebuilt on the next lookup
  return true;
}

TJsonDataPtr TJsonObject::Replace(size_t index, TJsonDataPtr item) { return Swap(index, std::move(item)); }

TJsonData* TJsonObject::Insert(size_t index, std::string name, TJsonDataPtr item) {
  const size_t count = Count();
  if (index > count) RaiseIndexError(index, count);
  TJsonData* added = Add(std::move(name), std::move(item));
  // Appended last: turned into place, names with their values.
  std::rotate(Items() + index, Items() + count, Items() + count + 1);
  std::rotate(Names() + index, Names() + count, Names() + count + 1);
  SetIndex(nullptr);  // rebuilt on the next lookup
  return added;
}

TJsonDataPtr TJsonObject::Remove(size_t index) {
  TJsonDataPtr old = Release(index);
  SetIndex(nullptr);
  return old;
}

TJsonDataPtr TJsonObject::CloneShallow() const { return std::make_unique<TJsonObject>(); }

TJsonDataPtr ReplaceInParent(TJsonData* node, TJsonDataPtr value) {
  TJsonData* parent = node ? node->Parent() : nullptr;
  if (!parent || !value) return nullptr;
  const long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(node);
  if (index < 0) return nullptr;
  if (parent->Kind() == nkArray) return static_cast<TJsonArray*>(parent)->Replace(size_t(index), std::move(value));
  return static_cast<TJsonObject*>(parent)->Replace(size_t(index), std::move(value));
}

}  // namespace corvane
