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

#include <functional>

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
  if (IsContainerKind(kind_))
    jobs.push_back({static_cast<const TJsonContainer*>(this), static_cast<TJsonContainer*>(root.get())});
  while (!jobs.empty()) {
    TJob job = jobs.back();
    jobs.pop_back();
    job.To->Reserve(job.From->items_.size());
    const bool isObject = job.From->Kind() == nkObject;
    for (size_t i = 0; i < job.From->items_.size(); ++i) {
      const TJsonData* source = job.From->items_[i].get();
      TJsonDataPtr copy = source->CloneShallow();
      TJsonData* raw = copy.get();
      if (isObject)
        static_cast<TJsonObject*>(job.To)->AppendUnique(
            static_cast<const TJsonObject*>(job.From)->names_[i], std::move(copy));
      else
        job.To->Adopt(std::move(copy));
      if (IsContainerKind(raw->kind_))
        jobs.push_back({static_cast<const TJsonContainer*>(source), static_cast<TJsonContainer*>(raw)});
    }
  }
  return root;
}

// ---- scalars -------------------------------------------------------------------

std::string TJsonInteger::PlainText() const { return std::to_string(value_); }
TJsonDataPtr TJsonInteger::CloneShallow() const { return std::make_unique<TJsonInteger>(value_); }

int64_t TJsonFloat::AsInt64() const {
  if (!(value_ == value_)) return 0;  // NaN
  if (value_ >= 9223372036854775807.0) return INT64_MAX;
  if (value_ <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(value_);
}

void TJsonFloat::SetFromText(const std::string& text) {
  double parsed = 0.0;
  if (!ParseDecimalFloat(text, &parsed)) throw EJsonError("'" + text + "' is not a valid floating-point value");
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
  return spelling_.empty() ? TJsonFloat::PlainText() : spelling_;
}

TJsonDataPtr TSourceFloatNumber::CloneShallow() const {
  auto copy = std::make_unique<TSourceFloatNumber>(value_);
  copy->spelling_ = spelling_;
  return copy;
}

TJsonDataPtr NewFloatNode(double value) { return std::make_unique<TSourceFloatNumber>(value); }

std::string TJsonString::JsonText() const { return JsonQuoteString(value_); }
TJsonDataPtr TJsonString::CloneShallow() const { return std::make_unique<TJsonString>(value_); }
TJsonDataPtr TJsonBoolean::CloneShallow() const { return std::make_unique<TJsonBoolean>(value_); }

std::string TJsonNull::PlainText() const { throw EJsonError("A null value has no plain text"); }
TJsonDataPtr TJsonNull::CloneShallow() const { return std::make_unique<TJsonNull>(); }

// ---- containers ------------------------------------------------------------------

TJsonContainer::~TJsonContainer() {
  // Children are moved onto a work list before their parent goes, so every
  // node is destroyed with no children of its own and nothing recurses.
  std::vector<TJsonDataPtr> pending;
  pending.swap(items_);
  while (!pending.empty()) {
    TJsonDataPtr node = std::move(pending.back());
    pending.pop_back();
    if (IsContainerKind(node->kind_)) {
      auto* container = static_cast<TJsonContainer*>(node.get());
      for (TJsonDataPtr& child : container->items_) pending.push_back(std::move(child));
      container->items_.clear();
    }
  }
}

long long TJsonContainer::IndexOf(const TJsonData* child) const {
  if (!child || child->parent_ != this) return -1;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == child) return static_cast<long long>(i);
  return -1;
}

TJsonData* TJsonContainer::Adopt(TJsonDataPtr item) {
  RequireItem(item);
  item->parent_ = this;
  items_.push_back(std::move(item));
  return items_.back().get();
}

TJsonDataPtr TJsonContainer::Release(size_t index) {
  if (index >= items_.size()) RaiseIndexError(index, items_.size());
  TJsonDataPtr old = std::move(items_[index]);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  old->parent_ = nullptr;
  return old;
}

TJsonDataPtr TJsonContainer::Swap(size_t index, TJsonDataPtr item) {
  RequireItem(item);
  if (index >= items_.size()) RaiseIndexError(index, items_.size());
  item->parent_ = this;
  std::swap(items_[index], item);
  item->parent_ = nullptr;
  return item;
}

TJsonData* TJsonArray::Add(TJsonDataPtr item) { return Adopt(std::move(item)); }

TJsonDataPtr TJsonArray::Replace(size_t index, TJsonDataPtr item) { return Swap(index, std::move(item)); }

TJsonData* TJsonArray::Insert(size_t index, TJsonDataPtr item) {
  RequireItem(item);
  if (index > items_.size()) RaiseIndexError(index, items_.size());
  item->parent_ = this;
  return items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item))->get();
}

TJsonDataPtr TJsonArray::Remove(size_t index) { return Release(index); }

TJsonDataPtr TJsonArray::CloneShallow() const { return std::make_unique<TJsonArray>(); }

// ---- objects ------------------------------------------------------------------------

TJsonObject::~TJsonObject() = default;

const std::string& TJsonObject::Name(size_t index) const {
  static const std::string kNone;
  return index < names_.size() ? names_[index] : kNone;
}

void TJsonObject::BuildIndex() const {
  size_t capacity = 16;
  while (capacity < names_.size() * 2 + 2) capacity *= 2;
  index_ = std::make_unique<std::vector<uint32_t>>(capacity, 0);
  for (size_t i = 0; i < names_.size(); ++i) IndexInsert(i);
}

// Puts member into the index; grows (rebuilds) the table at half load.
void TJsonObject::IndexInsert(size_t member) const {
  if (!index_) return;
  std::vector<uint32_t>& table = *index_;
  if ((names_.size() + 1) * 2 > table.size() && member + 1 == names_.size()) {
    BuildIndex();  // re-inserts every member, this one included
    return;
  }
  const size_t mask = table.size() - 1;
  size_t slot = HashName(names_[member]) & mask;
  while (table[slot] != 0) slot = (slot + 1) & mask;
  table[slot] = static_cast<uint32_t>(member + 1);
}

long long TJsonObject::FindSlot(std::string_view cutName) const {
  if (!index_ && names_.size() > kIndexThreshold) BuildIndex();
  if (!index_) {
    for (size_t i = 0; i < names_.size(); ++i)
      if (names_[i] == cutName) return static_cast<long long>(i);
    return -1;
  }
  const std::vector<uint32_t>& table = *index_;
  const size_t mask = table.size() - 1;
  for (size_t slot = HashName(cutName) & mask; table[slot] != 0; slot = (slot + 1) & mask) {
    const size_t member = table[slot] - 1;
    if (names_[member] == cutName) return static_cast<long long>(member);
  }
  return -1;
}

bool TJsonObject::TryAdd(std::string name, TJsonDataPtr item, std::string* error) {
  if (!item) {
    if (error) *error = "Missing value node";
    return false;
  }
  if (name.size() > kMaxMemberNameBytes) name.resize(kMaxMemberNameBytes);
  if (FindSlot(name) >= 0) {
    if (error) *error = "Duplicate object member: \"" + name + "\"";
    return false;
  }
  AppendUnique(std::move(name), std::move(item));
  return true;
}

TJsonData* TJsonObject::Add(std::string name, TJsonDataPtr item) {
  std::string error;
  if (!TryAdd(std::move(name), std::move(item), &error)) throw EJsonError(error);
  return items_.back().get();
}

void TJsonObject::AppendUnique(std::string name, TJsonDataPtr item) {
  names_.push_back(std::move(name));
  try {
    Adopt(std::move(item));
  } catch (...) {
    names_.pop_back();  // keep names and items paired
    throw;
  }
  IndexInsert(names_.size() - 1);
}

long long TJsonObject::IndexOfName(std::string_view name) const { return FindSlot(CutMemberName(name)); }

TJsonData* TJsonObject::Find(std::string_view name) const {
  const long long i = IndexOfName(name);
  return i < 0 ? nullptr : items_[static_cast<size_t>(i)].get();
}

bool TJsonObject::Rename(size_t index, std::string name) {
  if (index >= names_.size()) return false;
  if (name.size() > kMaxMemberNameBytes) name.resize(kMaxMemberNameBytes);
  const long long other = FindSlot(name);
  if (other >= 0 && static_cast<size_t>(other) != index) return false;
  names_[index] = std::move(name);
  index_.reset();  // rebuilt on the next lookup
  return true;
}

TJsonDataPtr TJsonObject::Replace(size_t index, TJsonDataPtr item) { return Swap(index, std::move(item)); }

TJsonDataPtr TJsonObject::Remove(size_t index) {
  TJsonDataPtr old = Release(index);
  names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(index));
  index_.reset();
  return old;
}

void TJsonObject::Reserve(size_t count) {
  names_.reserve(count);
  items_.reserve(count);
}

TJsonDataPtr TJsonObject::CloneShallow() const { return std::make_unique<TJsonObject>(); }

}  // namespace corvane
