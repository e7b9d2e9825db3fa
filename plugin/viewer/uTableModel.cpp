// Table model construction: plain views, flat view, path/value listing.
//
// Contract:
//  - Every walk over the value tree uses explicit stacks, and of the flat
//    view's depths only the one that can decide is attempted (AttemptDepth),
//    so a huge flat level from the settings file costs no more than 1 or 2.
//  - A flat-view attempt collects into local storage and only touches the
//    model once it has succeeded.
#include "uTableModel.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <unordered_set>

#include "uI18n.h"
#include "uUnicode.h"
#include "uValuePath.h"

namespace corvane {

namespace {

const TJsonObject* AsObject(const TJsonData* node) {
  return NodeKind(node) == nkObject ? static_cast<const TJsonObject*>(node) : nullptr;
}

std::u16string DisplayText(const TJsonData* node) { return ValueSummaryText(node); }

// Appends a node's display text as a cell; a string's text goes straight
// from its UTF-8 into the cell store.
void AppendDisplayText(TCellTexts* cells, const TJsonData* node) {
  const int kind = NodeKind(node);
  if (kind == nkString) return cells->AppendUtf8(static_cast<const TJsonString*>(node)->Value());
  if (kind == nkNumber) {
    char text[512];
    if (const size_t length = NumberDisplayChars(*node, text, sizeof text))
      return cells->AppendUtf8(std::string_view(text, length));
  }
  cells->Append(DisplayText(node));
}

void AppendColumn(TTableModel* table, std::u16string header, std::string key = {}) {
  table->Headers.push_back(std::move(header));
  table->ColumnKeys.push_back(std::move(key));
}

// ---- flat view collection ---------------------------------------------------

// One collected cell: column key and the node that fills it.
struct TKeyedValue {
  std::string Key;
  TJsonData* Node;
};
using TCollectedRow = std::vector<TKeyedValue>;

// Appends a member name to the key being built in *key.
void AppendKeySegment(std::string* key, std::string_view name) {
  if (!key->empty()) *key += kKeySeparator;
  *key += name;
}

bool AllScalars(const TJsonContainer& container) {
  for (size_t i = 0; i < container.Count(); ++i)
    if (IsContainer(container.Child(i))) return false;
  return true;
}

// The walks below share one key buffer; each frame remembers the length of
// its prefix, so deep nesting costs the length of the keys, not its square.

// The nesting rule: objects below the row are opened while budget remains,
// arrays of scalars spread over indexed keys, anything else is one key.
bool CollectNested(const TJsonObject& top, int budget, TCollectedRow* row) {
  struct TFrame { const TJsonObject* Object; size_t Next; int Budget; size_t PrefixLength; };
  std::vector<TFrame> stack{{&top, 0, budget, 0}};
  std::string key;
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.Next >= frame.Object->Count()) { stack.pop_back(); continue; }
    const size_t i = frame.Next++;
    TJsonData* value = frame.Object->Child(i);
    key.resize(frame.PrefixLength);
    AppendKeySegment(&key, frame.Object->Name(i));
    if (const TJsonObject* object = AsObject(value)) {
      if (frame.Budget < 1 || object->Count() == 0) return false;
      stack.push_back({object, 0, frame.Budget - 1, key.size()});  // invalidates frame
      continue;
    }
    if (NodeKind(value) == nkArray) {
      const auto& array = static_cast<const TJsonContainer&>(*value);
      if (AllScalars(array)) {
        for (size_t e = 0; e < array.Count(); ++e) {
          std::string indexed = key;
          AppendKeySegment(&indexed, std::to_string(e));
          row->push_back({std::move(indexed), array.Child(e)});
        }
        continue;
      }
    }
    row->push_back({key, value});
  }
  return true;
}

// The exact-depth rule: every leaf lies exactly depth levels below the row.
bool CollectExact(const TJsonObject& top, int depth, TCollectedRow* row) {
  struct TFrame { const TJsonObject* Object; size_t Next; int Depth; size_t PrefixLength; };
  std::vector<TFrame> stack{{&top, 0, depth, 0}};
  std::string key;
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.Next >= frame.Object->Count()) { stack.pop_back(); continue; }
    const size_t i = frame.Next++;
    TJsonData* value = frame.Object->Child(i);
    key.resize(frame.PrefixLength);
    AppendKeySegment(&key, frame.Object->Name(i));
    if (frame.Depth <= 1) {
      if (IsContainer(value)) return false;
      row->push_back({key, value});
      continue;
    }
    const TJsonObject* object = AsObject(value);
    if (!object || object->Count() == 0) return false;
    stack.push_back({object, 0, frame.Depth - 1, key.size()});  // invalidates frame
  }
  return true;
}

enum class TFlatMode { Arrays, Objects, KeyedObjects };

struct TCollected {
  TFlatMode Mode = TFlatMode::Objects;
  std::vector<TCollectedRow> Rows;
};

bool CollectArraysMode(const TJsonContainer& array, TCollected* out) {
  for (size_t r = 0; r < array.Count(); ++r) {
    const TJsonData* element = array.Child(r);
    if (NodeKind(element) != nkArray) return false;
    const auto& inner = static_cast<const TJsonContainer&>(*element);
    if (inner.Count() == 0 || !AllScalars(inner)) return false;
    TCollectedRow row;
    row.reserve(inner.Count());
    for (size_t e = 0; e < inner.Count(); ++e) row.push_back({std::to_string(e), inner.Child(e)});
    out->Rows.push_back(std::move(row));
  }
  return true;
}

bool CollectRows(TJsonData* node, int depth, TCollected* out) {
  const TJsonContainer* container = AsContainer(node);
  if (!container || container->Count() == 0 || depth < 1) return false;
  out->Rows.reserve(container->Count());
  if (NodeKind(node) == nkArray && NodeKind(container->Child(0)) == nkArray) {
    out->Mode = TFlatMode::Arrays;
    return CollectArraysMode(*container, out);
  }
  out->Mode = NodeKind(node) == nkArray ? TFlatMode::Objects : TFlatMode::KeyedObjects;
  for (size_t r = 0; r < container->Count(); ++r) {
    const TJsonObject* object = AsObject(container->Child(r));
    if (!object || object->Count() == 0) return false;
    TCollectedRow row;
    const bool ok = out->Mode == TFlatMode::Objects ? CollectNested(*object, depth, &row)
                                                    : CollectExact(*object, depth, &row);
    if (!ok) return false;
    out->Rows.push_back(std::move(row));
  }
  // A table needs at least one column.
  return std::any_of(out->Rows.begin(), out->Rows.end(),
                     [](const TCollectedRow& row) { return !row.empty(); });
}

// The one depth worth attempting for a node at a flat level, or 0. Trying
// every depth from the level down to 1 gives the same result, because
//  - the arrays mode does not depend on the depth;
//  - the objects mode succeeding at a depth also succeeds at every higher one
//    (more budget only removes reasons to fail), so the level itself decides;
//  - the exact-depth mode can only succeed at the depth of the first leaf
//    reached through first members.
// This keeps a huge level from the settings file linear in the node's size.
int AttemptDepth(TJsonData* node, int level) {
  const TJsonContainer* container = AsContainer(node);
  if (!container || container->Count() == 0 || level < 1) return 0;
  if (NodeKind(node) == nkArray) return level;
  const TJsonObject* row = AsObject(container->Child(0));
  if (!row || row->Count() == 0) return 0;
  int depth = 1;
  for (const TJsonData* value = row->Child(0);; value = row->Child(0)) {
    if (!IsContainer(value)) return depth <= level ? depth : 0;
    row = AsObject(value);
    if (!row || row->Count() == 0) return 0;
    ++depth;
  }
}

void BuildFlatTable(TJsonData* node, TCollected& collected, const TTableOptions& options,
                    TTableModel* table) {
  table->Clear();
  const bool keyed = collected.Mode == TFlatMode::KeyedObjects;
  if (keyed) AppendColumn(table, tr(i18n::kGridAttribute));
  const int first = keyed ? 1 : 0;
  std::unordered_map<std::string, int> columnOf;
  for (TCollectedRow& row : collected.Rows)
    for (TKeyedValue& cell : row)
      if (columnOf.emplace(cell.Key, table->ColumnCount()).second)
        AppendColumn(table, KeyHeaderText(cell.Key), cell.Key);

  const auto& container = static_cast<const TJsonContainer&>(*node);
  const auto* object = keyed ? static_cast<const TJsonObject*>(node) : nullptr;
  const size_t columns = table->Headers.size();
  const int keyColumns = static_cast<int>(columns) - first;
  bool complete = true;
  table->Cells.Reset(static_cast<int>(columns));
  table->Cells.ReserveRows(collected.Rows.size());
  for (size_t r = 0; r < collected.Rows.size(); ++r) {
    TUnicodeRow cells(columns, options.MissingText);
    TJsonDataArray nodes(columns, nullptr);
    if (keyed) cells[0] = Utf8ToUtf16(object->Name(r));
    int filled = 0;
    for (const TKeyedValue& cell : collected.Rows[r]) {
      const int c = columnOf[cell.Key];
      if (nodes[c]) continue;  // a repeated key keeps its first value
      nodes[c] = cell.Node;
      cells[c] = DisplayText(cell.Node);
      ++filled;
    }
    complete = complete && filled == keyColumns;
    for (const std::u16string& text : cells) table->Cells.Append(text);
    table->CellNodes.push_back(std::move(nodes));
    table->RowNodes.push_back(container.Child(r));
  }
  table->FlatView = true;
  table->Complete = complete;
}

// Scalar leaves below node: a scalar counts 1, a container its children's sum.
size_t CountLeaves(const TJsonData* node) {
  if (!IsContainer(node)) return 1;
  size_t leaves = 0;
  std::vector<const TJsonContainer*> pending{AsContainer(node)};
  while (!pending.empty()) {
    const TJsonContainer* container = pending.back();
    pending.pop_back();
    for (size_t i = 0; i < container->Count(); ++i) {
      if (const TJsonContainer* child = AsContainer(container->Child(i)))
        pending.push_back(child);
      else
        ++leaves;
    }
  }
  return leaves;
}

// ---- plain views ------------------------------------------------------------

void PlainArray(TJsonData* node, const TTableOptions& options, TTableModel* table) {
  const auto& array = static_cast<const TJsonContainer&>(*node);
  std::vector<std::string> names;
  std::unordered_set<std::string_view> seen;  // views of the names, which stay put meanwhile
  for (size_t i = 0; i < array.Count(); ++i) {
    const TJsonObject* object = AsObject(array.Child(i));
    if (!object) continue;
    for (size_t m = 0; m < object->Count(); ++m)
      if (seen.insert(object->Name(m)).second) names.emplace_back(object->Name(m));
    if (options.SkipAttributesScan) break;
  }
  table->RowNodes.reserve(array.Count());
  if (names.empty()) {
    AppendColumn(table, tr(i18n::kGridElement));
    table->Cells.Reset(1);
    table->Cells.ReserveRows(array.Count());
    for (size_t i = 0; i < array.Count(); ++i) {
      AppendDisplayText(&table->Cells, array.Child(i));
      table->RowNodes.push_back(array.Child(i));
    }
    return;
  }
  for (const std::string& name : names) AppendColumn(table, Utf8ToUtf16(name));
  table->Cells.Reset(static_cast<int>(names.size()));
  table->Cells.ReserveRows(array.Count());
  for (size_t i = 0; i < array.Count(); ++i) {
    const TJsonObject* object = AsObject(array.Child(i));
    for (const std::string& name : names) {
      const TJsonData* member = object ? object->Find(name) : nullptr;
      if (member)
        AppendDisplayText(&table->Cells, member);
      else
        table->Cells.Append(options.MissingText);
    }
    table->RowNodes.push_back(array.Child(i));
  }
}

void PlainObject(TJsonData* node, TTableModel* table) {
  const auto& object = static_cast<const TJsonObject&>(*node);
  AppendColumn(table, tr(i18n::kGridAttribute));
  AppendColumn(table, tr(i18n::kGridValue));
  table->Cells.Reset(2);
  table->Cells.ReserveRows(object.Count());
  for (size_t i = 0; i < object.Count(); ++i) {
    table->Cells.AddRow({Utf8ToUtf16(object.Name(i)), DisplayText(object.Child(i))});
    table->RowNodes.push_back(object.Child(i));
  }
}

}  // namespace

// ---- TCellText --------------------------------------------------------------

std::u16string_view TCellText::View(std::u16string* scratch) const {
  if (!narrow_) return {Wide(), size_};
  // Resizing keeps the buffer's capacity: a pass over a million cells
  // allocates only for its longest text.
  scratch->resize(size_);
  std::copy_n(Narrow(), size_, &(*scratch)[0]);  // unsigned units widen unchanged
  return *scratch;
}

std::u16string TCellText::ToString() const {
  if (!narrow_) return std::u16string(Wide(), size_);
  return std::u16string(Narrow(), Narrow() + size_);
}

void TCellText::CopyTo(char16_t* out, size_t count) const {
  count = std::min(count, size_);
  if (narrow_)
    std::copy_n(Narrow(), count, out);
  else
    std::copy_n(Wide(), count, out);
}

bool TCellText::operator==(std::u16string_view text) const {
  if (text.size() != size_) return false;
  if (!narrow_) return std::u16string_view(Wide(), size_) == text;
  return std::equal(text.begin(), text.end(), Narrow());
}

bool TCellText::operator==(const TCellText& other) const {
  if (other.size_ != size_) return false;
  if (!other.narrow_) return *this == std::u16string_view(other.Wide(), other.size_);
  if (narrow_) return std::equal(Narrow(), Narrow() + size_, other.Narrow());
  return std::equal(Wide(), Wide() + size_, other.Narrow());
}

// ---- TCellTexts -------------------------------------------------------------

namespace {

// Bytes of a block of the normal size: as many as a cell's offset bits can
// address. Large enough that a million cells take a few hundred
// allocations, small enough to waste little on a small table.
constexpr size_t kBlockBytes = size_t(1) << TCellTexts::kOffsetBits;
constexpr uint32_t kOffsetMask = uint32_t(kBlockBytes - 1);
// A text with its length words needing more than this gets a block of its
// own. A normal block is then only left behind for a text of at most this
// size, that is with more than this many bytes in use, and every block holds
// at least half of kBlockBytes.
constexpr size_t kOwnBlockBytes = kBlockBytes / 2;

constexpr unsigned kNarrowFlag = 0x4000;
constexpr unsigned kLongFlag = 0x8000;
constexpr size_t kShortLimit = 0x4000;

// Block 0: the length word of zero in front of every empty cell's text.
alignas(2) constexpr unsigned char kEmptyCell[2] = {0, 0};
constexpr uint32_t kEmptyCellRef = 2;  // block 0, just behind that word

size_t PrefixBytes(size_t length) { return length < kShortLimit ? 2 : 4; }

void PutWord(unsigned char* at, unsigned word) {
  at[0] = static_cast<unsigned char>(word & 0xFF);
  at[1] = static_cast<unsigned char>((word >> 8) & 0xFF);
}

unsigned GetWord(const unsigned char* at) { return unsigned(at[0]) | (unsigned(at[1]) << 8); }

// Writes the length words in front of the text at address text.
void PutPrefix(unsigned char* text, size_t length, bool narrow) {
  const unsigned flag = narrow ? kNarrowFlag : 0;
  if (length < kShortLimit) return PutWord(text - 2, unsigned(length) | flag);
  PutWord(text - 4, unsigned(length & 0xFFFF));
  PutWord(text - 2, unsigned(length >> 16) | flag | kLongFlag);
}

bool FitsNarrow(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x100; });
}

}  // namespace

TCellText TCellTexts::TextAt(uint32_t cell) const {
  const unsigned char* at = bases_[cell >> kOffsetBits] + (cell & kOffsetMask);
  const unsigned last = GetWord(at - 2);
  size_t length = last & 0x3FFF;
  if (last & kLongFlag) length = (length << 16) | GetWord(at - 4);
  if (last & kNarrowFlag) return TCellText(at, length);
  return TCellText(reinterpret_cast<const char16_t*>(at), length);
}

TCellTexts& TCellTexts::operator=(const TCellTexts& other) {
  if (this == &other) return *this;
  // Built aside, so that running out of memory or references leaves this
  // store as it was.
  TCellTexts copy;
  copy.blockLimit_ = other.blockLimit_;
  copy.Reset(other.columns_);
  copy.cells_.reserve(other.cells_.size());
  std::u16string scratch;
  for (const uint32_t cell : other.cells_) {
    const TCellText text = other.TextAt(cell);
    if (text.IsNarrow())
      copy.AppendNarrow(other.bases_[cell >> kOffsetBits] + (cell & kOffsetMask), text.size());
    else
      copy.Append(text.View(&scratch));
  }
  return *this = std::move(copy);
}

TCellTexts& TCellTexts::operator=(const TUnicodeRows& rows) {
  size_t columns = 0;
  for (const TUnicodeRow& row : rows) columns = std::max(columns, row.size());
  Reset(static_cast<int>(columns));
  ReserveRows(rows.size());
  for (const TUnicodeRow& row : rows)
    for (size_t c = 0; c < columns; ++c) Append(c < row.size() ? std::u16string_view(row[c]) : std::u16string_view());
  return *this;
}

void TCellTexts::Clear() { Reset(0); }

void TCellTexts::Reset(int columns) {
  columns_ = std::max(columns, 0);
  cells_.clear();
  cells_.shrink_to_fit();
  blocks_.clear();
  bases_.clear();
  // Only a store with columns takes cells, and only a cell reads block 0.
  if (columns_ > 0) bases_.push_back(kEmptyCell);
  current_ = 0;
  used_ = 0;
}

uint32_t TCellTexts::Allocate(size_t prefixBytes, size_t bytes, bool wide, unsigned char** text) {
  const size_t needed = prefixBytes + bytes;
  // Blocks start aligned and the prefix is even-sized, so an even start
  // gives an even text address.
  size_t start = used_ + (wide ? used_ & 1 : 0);
  if (current_ == 0 || start + needed > kBlockBytes) {
    if (blocks_.size() >= blockLimit_) throw std::bad_alloc();  // no reference would name the block
    // A text needing more than kOwnBlockBytes gets a block of exactly its
    // size; the current block's free end stays in use for the texts after
    // it.
    const bool own = needed > kOwnBlockBytes;
    std::unique_ptr<char16_t[]> block(new char16_t[own ? (needed + 1) / 2 : kBlockBytes / 2]);  // uninitialised
    unsigned char* base = reinterpret_cast<unsigned char*>(block.get());
    if (bases_.empty()) bases_.push_back(kEmptyCell);
    bases_.push_back(base);
    try {
      blocks_.push_back(std::move(block));
    } catch (...) {
      bases_.pop_back();
      throw;
    }
    const uint32_t number = static_cast<uint32_t>(blocks_.size());
    if (own) {
      *text = base + prefixBytes;
      return (number << kOffsetBits) | uint32_t(prefixBytes);
    }
    current_ = number;
    start = 0;
  }
  const size_t offset = start + prefixBytes;
  used_ = start + needed;
  *text = reinterpret_cast<unsigned char*>(blocks_[current_ - 1].get()) + offset;
  return (current_ << kOffsetBits) | uint32_t(offset);
}

uint32_t TCellTexts::StoreNarrow(const unsigned char* units, size_t length) {
  if (length == 0) return kEmptyCellRef;
  length = std::min(length, kMaxCellLength);
  unsigned char* at = nullptr;
  const uint32_t cell = Allocate(PrefixBytes(length), length, false, &at);
  PutPrefix(at, length, true);
  std::copy_n(units, length, at);
  return cell;
}

uint32_t TCellTexts::Store(std::u16string_view text) {
  if (text.empty()) return kEmptyCellRef;
  text = text.substr(0, kMaxCellLength);
  unsigned char* at = nullptr;
  if (FitsNarrow(text)) {
    const uint32_t cell = Allocate(PrefixBytes(text.size()), text.size(), false, &at);
    PutPrefix(at, text.size(), true);
    std::transform(text.begin(), text.end(), at, [](char16_t unit) { return static_cast<unsigned char>(unit); });
    return cell;
  }
  const uint32_t cell = Allocate(PrefixBytes(text.size()), text.size() * 2, true, &at);
  PutPrefix(at, text.size(), false);
  std::copy(text.begin(), text.end(), reinterpret_cast<char16_t*>(at));
  return cell;
}

// A column often repeats the text of the row above (a kind, a source, a
// flag): such a cell refers to the same text instead of another copy.
// Texts are never changed in place, so sharing one is safe.
bool TCellTexts::Above(uint32_t* cell) const {
  if (cells_.size() < size_t(columns_)) return false;
  *cell = cells_[cells_.size() - size_t(columns_)];
  return true;
}

void TCellTexts::Append(std::u16string_view text) {
  if (columns_ <= 0) return;
  uint32_t above = 0;
  const bool shared = Above(&above) && TextAt(above) == text.substr(0, kMaxCellLength);
  cells_.push_back(shared ? above : Store(text));
}

void TCellTexts::AppendNarrow(const unsigned char* units, size_t length) {
  if (columns_ <= 0) return;
  length = std::min(length, kMaxCellLength);
  uint32_t above = 0;
  if (Above(&above)) {
    const TCellText text = TextAt(above);
    // A text that fits 8-bit units is always kept in them, so a wide text
    // above never equals this one.
    if (text.size() == length && (length == 0 || (text.IsNarrow() && text == TCellText(units, length))))
      return cells_.push_back(above);
  }
  cells_.push_back(StoreNarrow(units, length));
}

void TCellTexts::AppendUtf8(std::string_view text) {
  if (columns_ <= 0) return;
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii) return Append(Utf8ToUtf16(text));
  AppendNarrow(reinterpret_cast<const unsigned char*>(text.data()), text.size());  // ASCII widens unchanged
}

void TCellTexts::AddRow(std::initializer_list<std::u16string_view> texts) {
  int added = 0;
  for (std::u16string_view text : texts)
    if (added++ < columns_) Append(text);
  for (; added < columns_; ++added) Append({});
}

void TCellTexts::Set(int row, int column, std::u16string_view text) {
  if (Contains(row, column)) {
    const uint32_t cell = Store(text);
    cells_[size_t(row) * size_t(columns_) + size_t(column)] = cell;
  }
}

// ---- TTableModel ------------------------------------------------------------

void TTableModel::Clear() {
  Headers.clear();
  Cells.Clear();
  RowNodes.clear();
  CellNodes.clear();
  ColumnKeys.clear();
  FlatView = false;
  Complete = false;
  ValueCellIsRowNode = false;
  PlainKind = nkUnknown;
}

TJsonData* TTableModel::RowNode(int row) const {
  if (row < 0 || row >= static_cast<int>(RowNodes.size())) return nullptr;
  return RowNodes[row];
}

TJsonData* TTableModel::CellNode(int row, int column) const {
  if (ValueCellIsRowNode) return column == 1 ? RowNode(row) : nullptr;
  if (row < 0 || column < 0 || row >= static_cast<int>(CellNodes.size())) return nullptr;
  const TJsonDataArray& nodes = CellNodes[row];
  return column < static_cast<int>(nodes.size()) ? nodes[column] : nullptr;
}

TJsonData* TTableModel::ShownNode(int row, int column) const {
  if (FlatView) return CellNode(row, column);
  TJsonData* rowNode = RowNode(row);
  if (!rowNode || column < 0 || column >= ColumnCount()) return nullptr;
  switch (PlainKind) {
    case nkObject:
      return column == 1 ? rowNode : nullptr;
    case nkArray:
      if (NodeKind(rowNode) == nkObject)
        return static_cast<const TJsonObject*>(rowNode)->Find(Utf16ToUtf8(Header(column)));
      return ColumnCount() == 1 && Header(0) == tr(i18n::kGridElement) ? rowNode : nullptr;
    default:
      return column == 0 ? rowNode : nullptr;
  }
}

bool TTableModel::IsLabelColumn(int column) const {
  if (!FlatView || column < 0 || column >= ColumnCount()) return false;
  if (ValueCellIsRowNode) return column == 0;
  return column < static_cast<int>(ColumnKeys.size()) && ColumnKeys[column].empty();
}

std::u16string_view TTableModel::Header(int column) const {
  if (column < 0 || column >= ColumnCount()) return {};
  return Headers[column];
}

std::u16string TTableModel::CompletenessMark() const {
  if (!FlatView) return {};
  return Complete ? u"+" : u"*";
}

// ---- free functions ---------------------------------------------------------

int ClampFlatLevel(int level) { return std::clamp(level, kFlatLevelPathValue, kFlatLevelMax); }

std::u16string KeyHeaderText(std::string_view key) {
  std::u16string text = Utf8ToUtf16(key);
  std::replace(text.begin(), text.end(), char16_t(kKeySeparator), u'.');
  return text;
}

void BuildPlainView(TJsonData* node, const TTableOptions& options, TTableModel* table) {
  table->Clear();
  table->PlainKind = NodeKind(node);
  switch (NodeKind(node)) {
    case nkUnknown:
      return;
    case nkArray:
      PlainArray(node, options, table);
      return;
    case nkObject:
      PlainObject(node, table);
      return;
    default:
      AppendColumn(table, tr(i18n::kGridValue));
      table->Cells.Reset(1);
      table->Cells.Append(DisplayText(node));
      table->RowNodes.push_back(node);
  }
}

bool TryFlatten(TJsonData* node, int depth, const TTableOptions& options, TTableModel* table) {
  TCollected collected;
  if (!CollectRows(node, depth, &collected)) return false;
  BuildFlatTable(node, collected, options, table);
  return true;
}

bool CanFlatten(TJsonData* node, int level) {
  const int depth = AttemptDepth(node, level);
  TCollected collected;
  return depth > 0 && CollectRows(node, depth, &collected);
}

void BuildPathValueListing(TJsonData* root, TTableModel* table) {
  table->Clear();
  AppendColumn(table, tr(i18n::kGridPath));
  AppendColumn(table, tr(i18n::kGridValue));
  table->FlatView = true;
  table->Complete = true;
  if (!root) return;

  // The leaf is the Value cell's node too; CellNode answers that from the
  // row nodes instead of a node list per row.
  table->ValueCellIsRowNode = true;
  table->Cells.Reset(2);
  const auto addLeaf = [table](const std::u16string& path, TJsonData* leaf) {
    table->Cells.Append(path);
    AppendDisplayText(&table->Cells, leaf);
    table->RowNodes.push_back(leaf);
  };
  if (IsContainer(root)) {
    const size_t leaves = CountLeaves(root);
    table->Cells.ReserveRows(leaves);
    table->RowNodes.reserve(leaves);
  }
  ForEachLeafPath(root, u"", TPathNames::AsWritten, addLeaf);
}

void BuildTableModel(TJsonData* node, TJsonData* root, int flatLevel,
                     const TTableOptions& options, TTableModel* table) {
  table->Clear();
  if (flatLevel <= kFlatLevelPathValue) {
    BuildPathValueListing(root, table);
    return;
  }
  const int depth = AttemptDepth(node, flatLevel);
  if (depth > 0 && TryFlatten(node, depth, options, table)) return;
  BuildPlainView(node, options, table);
}

std::u16string LeafPath(const TJsonData* node) { return ValuePathText(node, u"", TPathNames::AsWritten); }

}  // namespace corvane
