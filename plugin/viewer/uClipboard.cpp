// Copy formats and link targets of the grid and the tree.
//
// Contract:
//  - Cell texts are read through TGridCopySource, which checks every index,
//    so a stale selection, a cursor of -1 or a table without columns reads as
//    empty text instead of failing.
//  - Copy as JSON writes through the value model's JSON writer
//    (uJsonWriter.h), which needs no call stack for deep nesting.
#include "uClipboard.h"

#include <algorithm>

#include "uI18n.h"
#include "uJsonWriter.h"
#include "uUnicode.h"
#include "uValuePath.h"

namespace corvane {

namespace {

const char16_t kCrLf[] = u"\r\n";

std::u16string CutCell(std::u16string_view text) {
  return std::u16string(text.substr(0, kCopyCellTextLimit));
}

// First selected display row, or 0 when nothing is selected.
int FirstRowOrZero(const std::vector<int>& selected) {
  return selected.empty() ? 0 : selected.front();
}

void AppendJoined(std::u16string* out, std::u16string_view separator, bool first,
                  std::u16string_view item) {
  if (!first) out->append(separator);
  out->append(item);
}

}  // namespace

// ---- grid access ------------------------------------------------------------

int TGridCopySource::ColumnCount() const { return Table ? Table->ColumnCount() : 0; }

int TGridCopySource::DisplayRowCount() const {
  return VisibleRows ? static_cast<int>(VisibleRows->size()) : 0;
}

int TGridCopySource::TableRow(int displayRow) const {
  if (!Table || displayRow < 0 || displayRow >= DisplayRowCount()) return -1;
  const int row = (*VisibleRows)[static_cast<size_t>(displayRow)];
  return (row >= 0 && row < Table->RowCount()) ? row : -1;
}

std::u16string TGridCopySource::FullText(int displayRow, int column) const {
  const int row = TableRow(displayRow);
  if (row < 0) return {};
  return Table->CellText(row, column);
}

std::u16string TGridCopySource::DisplayText(int displayRow, int column) const {
  const int row = TableRow(displayRow);
  if (row < 0) return {};
  std::u16string scratch;
  return CutCell(Table->Cell(row, column).View(&scratch));
}

std::u16string TGridCopySource::HeaderText(int column) const {
  return Table ? std::u16string(Table->Header(column)) : std::u16string();
}

std::vector<int> TGridCopySource::ShownColumnsInDisplayOrder() const {
  const int count = ColumnCount();
  std::vector<int> order = ColumnOrder;
  if (order.empty()) {
    for (int c = 0; c < count; ++c) order.push_back(c);
  }
  std::vector<bool> seen(static_cast<size_t>(count), false);
  std::vector<int> shown;
  for (int c : order) {
    if (c < 0 || c >= count || seen[static_cast<size_t>(c)]) continue;
    seen[static_cast<size_t>(c)] = true;
    const bool hidden = static_cast<size_t>(c) < ColumnWidths.size() &&
                        ColumnWidths[static_cast<size_t>(c)] == 0;
    if (!hidden) shown.push_back(c);
  }
  return shown;
}

// ---- settings ---------------------------------------------------------------

char16_t ColumnDelimiter(const TSettingsAccess& settings) {
  const char16_t c = settings.ReadChar(setting::kColumnDelimiter);
  return c == 0 ? u'\t' : c;
}


// ---- plain copies -----------------------------------------------------------

std::u16string CopyCellText(const TGridCopySource& grid, const std::vector<int>& selected,
                            int column) {
  return grid.DisplayText(FirstRowOrZero(selected), column);
}

std::u16string CopyRowsText(const TGridCopySource& grid, const std::vector<int>& selected,
                            char16_t delimiter) {
  std::vector<int> rows = selected;
  if (rows.empty()) rows.push_back(0);
  const std::u16string separator(1, delimiter);
  std::u16string out;
  bool firstRow = true;
  for (int displayRow : rows) {
    if (grid.TableRow(displayRow) < 0) continue;
    if (!firstRow) out.append(kCrLf);
    firstRow = false;
    for (int c = 0; c < grid.ColumnCount(); ++c) {
      AppendJoined(&out, separator, c == 0, grid.DisplayText(displayRow, c));
    }
  }
  return out;
}

std::u16string CopyColumnText(const TGridCopySource& grid, int column) {
  std::u16string out;
  if (column < 0 || column >= grid.ColumnCount()) return out;
  for (int r = 0; r < grid.DisplayRowCount(); ++r) {
    AppendJoined(&out, kCrLf, r == 0, grid.DisplayText(r, column));
  }
  return out;
}

// ---- copy as JSON -----------------------------------------------------------

TJsonCopyLayout RecogniseJsonLayout(const TGridCopySource& grid) {
  const int count = grid.ColumnCount();
  const std::u16string header = grid.HeaderText(0);
  if (count == 1 && header == tr(i18n::kGridElement)) return jlElementList;
  if (count == 2 && header == tr(i18n::kGridAttribute)) return jlAttributeList;
  if (count == 1 && header == tr(i18n::kGridValue)) return jlSingleValue;
  return jlTable;
}

namespace {

// Adds a member unless its name clashes with an earlier one: a grid can show
// two columns whose names agree in the first 255 bytes, and the copy must not
// fail because of it.
void AddMember(TJsonObject* object, std::u16string_view name, TJsonDataPtr value) {
  std::string error;
  object->TryAdd(Utf16ToUtf8(name), std::move(value), &error);
}

// What a cell holds as JSON: a copy of the node it shows (a container
// whole), the text of a label column as a string, nullptr for a missing
// value.
TJsonDataPtr CellJson(const TGridCopySource& grid, int displayRow, int column) {
  const int row = grid.TableRow(displayRow);
  if (const TJsonData* node = grid.Table->ShownNode(row, column)) return node->Clone();
  if (grid.Table->IsLabelColumn(column)) return std::make_unique<TJsonString>(Utf16ToUtf8(grid.FullText(displayRow, column)));
  return nullptr;
}

TJsonDataPtr BuildTableRow(const TGridCopySource& grid, int displayRow, const std::vector<int>& columns) {
  auto object = std::make_unique<TJsonObject>();
  for (int c : columns)
    if (TJsonDataPtr value = CellJson(grid, displayRow, c)) AddMember(object.get(), grid.HeaderText(c), std::move(value));
  return object;
}

}  // namespace

TJsonDataPtr BuildJsonCopyValue(const TGridCopySource& grid, const std::vector<int>& selected) {
  if (grid.ColumnCount() == 0) return nullptr;
  const TJsonCopyLayout layout = RecogniseJsonLayout(grid);
  if (layout == jlSingleValue) return nullptr;
  if (layout == jlAttributeList) {
    auto object = std::make_unique<TJsonObject>();
    for (int r : selected)
      if (TJsonDataPtr value = grid.TableRow(r) < 0 ? nullptr : CellJson(grid, r, 1))
        AddMember(object.get(), grid.FullText(r, 0), std::move(value));
    return object;
  }
  auto array = std::make_unique<TJsonArray>();
  const std::vector<int> columns = grid.ShownColumnsInDisplayOrder();
  for (int r : selected) {
    if (grid.TableRow(r) < 0) continue;
    if (layout == jlTable) {
      array->Add(BuildTableRow(grid, r, columns));
    } else if (TJsonDataPtr element = CellJson(grid, r, 0)) {
      array->Add(std::move(element));
    }
  }
  return array;
}

bool CopyAsJsonText(const TGridCopySource& grid, const std::vector<int>& selected, int column, bool compact,
                    std::u16string* text) {
  text->clear();
  if (grid.ColumnCount() == 0) return false;
  if (RecogniseJsonLayout(grid) == jlSingleValue) {
    *text = CopyCellText(grid, selected, column);
    return true;
  }
  if (selected.empty()) return true;
  const TJsonDataPtr value = BuildJsonCopyValue(grid, selected);
  if (value) *text = Utf8ToUtf16(WriteJson(*value, compact));
  return true;
}

// ---- paths and links --------------------------------------------------------

std::u16string CopiedPathText(const TJsonData* node) {
  return node ? ValuePathText(node, u"$", TPathNames::Quoted) : std::u16string();
}

const TJsonData* GridPathNode(const TGridCopySource& grid, const std::vector<int>& selected, int column) {
  const int row = selected.empty() ? -1 : grid.TableRow(selected.front());
  if (row < 0) return nullptr;
  const TTableModel& table = *grid.Table;
  // A flat view's cell stands for a node of its own; the listing's row node
  // is its leaf, a plain view's row node the element or member.
  if (table.FlatView && !table.ValueCellIsRowNode)
    if (const TJsonData* cell = table.ShownNode(row, column)) return cell;
  return table.RowNode(row);
}

std::u16string LinkTarget(std::u16string_view text) {
  if (text.find(u"://") != std::u16string_view::npos) return std::u16string(text);
  if (text.find(u'.') != std::u16string_view::npos) return u"https://" + std::u16string(text);
  return {};
}

namespace {

bool StartsWithAsciiNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

bool IsWebTarget(std::u16string_view target) {
  size_t scheme = 0;
  if (StartsWithAsciiNoCase(target, u"http://")) scheme = 7;
  else if (StartsWithAsciiNoCase(target, u"https://")) scheme = 8;
  if (scheme == 0 || target.size() == scheme) return false;
  for (const char16_t c : target)
    if (c < 32 || c == 127 || c == u'"') return false;
  return true;
}

}  // namespace

TLinkToOpen LinkToOpen(std::u16string_view cellText) {
  while (!cellText.empty() && cellText.front() <= 32) cellText.remove_prefix(1);
  while (!cellText.empty() && cellText.back() <= 32) cellText.remove_suffix(1);
  TLinkToOpen link;
  link.Target = LinkTarget(cellText);
  if (link.Target.empty()) return link;
  link.Kind = IsWebTarget(link.Target) ? TLinkKind::Web : TLinkKind::Refused;
  return link;
}

namespace {

bool EndsLink(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte <= 32 || byte == 127) return true;
  return std::string_view("\"'`<>[]{}|\\^").find(c) != std::string_view::npos;
}

}  // namespace

std::string LinkTextAt(std::string_view line, size_t offset) {
  if (offset >= line.size() || EndsLink(line[offset])) return {};
  size_t start = offset, end = offset;
  while (start > 0 && !EndsLink(line[start - 1])) --start;
  while (end < line.size() && !EndsLink(line[end])) ++end;
  std::string_view run = line.substr(start, end - start);
  while (!run.empty() && run.front() == '(') run.remove_prefix(1);
  while (!run.empty() && std::string_view(".,;:!?)").find(run.back()) != std::string_view::npos) run.remove_suffix(1);
  if (run.find("://") == std::string_view::npos) return {};
  return std::string(run);
}

}  // namespace corvane
