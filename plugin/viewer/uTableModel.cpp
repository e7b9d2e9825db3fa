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

// ---- TCellTexts -------------------------------------------------------------

namespace {

// Characters per block: large enough that a million cells take a few hundred
// allocations, small enough to waste little on a small table.
constexpr size_t kCellBlockLength = size_t(1) << 16;

}  // namespace

TCellTexts& TCellTexts::operator=(const TCellTexts& other) {
  if (this == &other) return *this;
  Reset(other.columns_);
  cells_.reserve(other.cells_.size());
  for (const char16_t* text : other.cells_) Append({text, LengthOf(text)});
  return *this;
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
  free_ = nullptr;
  freeLength_ = 0;
}

char16_t* TCellTexts::Allocate(size_t length) {
  if (length > freeLength_) {
    // A text longer than a block gets a block of its own; the current
    // block's free end stays in use for the texts after it.
    const size_t size = std::max(length, kCellBlockLength);
    blocks_.emplace_back(new char16_t[size]);  // left uninitialised
    if (size > kCellBlockLength) return blocks_.back().get();
    free_ = blocks_.back().get();
    freeLength_ = size;
  }
  char16_t* at = free_;
  free_ += length;
  freeLength_ -= length;
  return at;
}

namespace {

// The text of every empty cell: its length unit, zero, in front of it.
constexpr char16_t kEmptyCell[2] = {0, 0};

size_t LengthUnits(size_t length) { return length < 0x8000 ? 1 : 2; }

// Writes length in front of at + LengthUnits(length) and returns that text
// address.
char16_t* PutLength(char16_t* at, size_t length) {
  if (length < 0x8000) {
    at[0] = static_cast<char16_t>(length);
    return at + 1;
  }
  at[0] = static_cast<char16_t>(length & 0xFFFF);
  at[1] = static_cast<char16_t>(0x8000 | (length >> 16));
  return at + 2;
}

}  // namespace

const char16_t* TCellTexts::Store(std::u16string_view text) {
  if (text.empty()) return kEmptyCell + 1;
  text = text.substr(0, kMaxCellLength);
  char16_t* at = PutLength(Allocate(LengthUnits(text.size()) + text.size()), text.size());
  std::copy(text.begin(), text.end(), at);
  return at;
}

// A column often repeats the text of the row above (a kind, a source, a
// flag): such a cell points at the same text instead of another copy.
// Texts are never changed in place, so sharing one is safe.
const char16_t* TCellTexts::Above() const {
  return cells_.size() >= size_t(columns_) ? cells_[cells_.size() - size_t(columns_)] : nullptr;
}

void TCellTexts::Append(std::u16string_view text) {
  if (columns_ <= 0) return;
  const char16_t* above = Above();
  cells_.push_back(above && std::u16string_view(above, LengthOf(above)) == text ? above : Store(text));
}

void TCellTexts::AppendUtf8(std::string_view text) {
  if (columns_ <= 0) return;
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii || text.empty() || text.size() > kMaxCellLength) return Append(Utf8ToUtf16(text));
  if (const char16_t* above = Above())
    if (LengthOf(above) == text.size() && std::equal(text.begin(), text.end(), above))
      return cells_.push_back(above);
  char16_t* at = PutLength(Allocate(LengthUnits(text.size()) + text.size()), text.size());
  std::copy(text.begin(), text.end(), at);  // ASCII widens unchanged
  cells_.push_back(at);
}

void TCellTexts::AddRow(std::initializer_list<std::u16string_view> texts) {
  int added = 0;
  for (std::u16string_view text : texts)
    if (added++ < columns_) Append(text);
  for (; added < columns_; ++added) Append({});
}

void TCellTexts::Set(int row, int column, std::u16string_view text) {
  if (Contains(row, column)) cells_[size_t(row) * size_t(columns_) + size_t(column)] = Store(text);
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
