#include "uViewerCore.h"

#include <algorithm>

#include "uFilterRules.h"

namespace corvane {

namespace {

TJsonData* TopOf(TJsonData* node) {
  while (node && node->Parent()) node = node->Parent();
  return node;
}

}  // namespace

TViewerCore::TViewerCore(TSettingsAccess settings) : settings_(std::move(settings)) {}

TTableOptions TViewerCore::ReadTableOptions() const {
  TTableOptions options;
  options.MissingText = settings_.ReadText(setting::kMissingAttributeValue);
  options.SkipAttributesScan = settings_.ReadFlag(setting::kSkipAttributesScan);
  return options;
}

// ---- table ------------------------------------------------------------------

TFilterPassResult TViewerCore::BuildTable(TJsonData* node) {
  CurrentRow = 0;
  CurrentColumn = 0;
  SortColumn = -1;
  SortDescending = false;
  CurrentNode = node;
  VisibleRows.clear();
  VisibleNodes.clear();
  BuildTableModel(node, Root ? Root : TopOf(node), FlatLevel, ReadTableOptions(), &Table);
  FilterTexts.assign(Table.Headers.size(), std::u16string());
  return ApplyFilters(false);
}

bool TViewerCore::SetFlatLevel(int level) {
  level = ClampFlatLevel(level);
  if (level == FlatLevel) return false;
  FlatLevel = level;
  if (CurrentNode) BuildTable(CurrentNode);
  return true;
}

// ---- filters and sorting ----------------------------------------------------

void TViewerCore::SetFilterText(int column, std::u16string_view text) {
  if (column < 0 || column >= static_cast<int>(FilterTexts.size())) return;
  FilterTexts[column].assign(text.data(), std::min(text.size(), kMaxFilterLength));
}

void TViewerCore::FilterRows() {
  const bool caseSensitive = settings_.ReadFlag(setting::kFilterCaseSensitive);
  std::vector<std::pair<int, TCellFilter>> filters;
  for (size_t c = 0; c < FilterTexts.size(); ++c) {
    TCellFilter filter(FilterTexts[c], caseSensitive);
    if (!filter.Empty()) filters.emplace_back(static_cast<int>(c), std::move(filter));
  }
  VisibleRows.clear();
  VisibleRows.reserve(size_t(Table.RowCount()));
  const int rows = Table.RowCount();
  std::u16string scratch;
  for (int r = 0; r < rows; ++r) {
    bool pass = true;
    for (const auto& [column, filter] : filters)
      if (!filter.Matches(Table.Cell(r, column).View(&scratch))) { pass = false; break; }
    if (pass) VisibleRows.push_back(r);
  }
}

TFilterPassResult TViewerCore::ApplyFilters(bool keepSelection) {
  Search.LastSearchText.clear();
  TJsonData* remembered = keepSelection ? VisibleNode(CurrentRow) : nullptr;
  FilterRows();
  if (SortColumn >= 0 && SortColumn < static_cast<int>(FilterTexts.size()))
    SortRowsByColumn(Table, SortColumn, SortDescending, &VisibleRows);
  VisibleNodes.resize(VisibleRows.size());
  for (size_t p = 0; p < VisibleRows.size(); ++p) VisibleNodes[p] = Table.RowNode(VisibleRows[p]);
  TFilterPassResult result;
  PlaceCursor(remembered, keepSelection, &result);
  return result;
}

void TViewerCore::PlaceCursor(TJsonData* remembered, bool keepSelection,
                              TFilterPassResult* result) {
  const int count = VisibleRowCount();
  result->VisibleCount = count;
  if (count == 0) {
    CurrentRow = -1;
    result->CurrentRow = -1;
    return;
  }
  auto found = remembered ? std::find(VisibleNodes.begin(), VisibleNodes.end(), remembered)
                          : VisibleNodes.end();
  if (found != VisibleNodes.end())
    CurrentRow = static_cast<int>(found - VisibleNodes.begin());
  else
    CurrentRow = std::clamp(CurrentRow, 0, count - 1);
  if (CurrentColumn < 0 || CurrentColumn >= Table.ColumnCount()) CurrentColumn = 0;
  result->CurrentRow = CurrentRow;
  result->ScrollIntoView = keepSelection;
}

bool TViewerCore::ToggleSortColumn(int column, TFilterPassResult* result) {
  if (Table.RowCount() <= 1 || column < 0 || column >= Table.ColumnCount()) return false;
  if (column == SortColumn) {
    if (SortDescending) {
      SortColumn = -1;
      SortDescending = false;
    } else {
      SortDescending = true;
    }
  } else {
    SortColumn = column;
    SortDescending = false;
  }
  const TFilterPassResult pass = ApplyFilters(true);
  if (result) *result = pass;
  return true;
}

TFilterList TViewerCore::SaveFilters() const {
  TFilterList saved;
  for (size_t c = 0; c < FilterTexts.size(); ++c)
    if (!FilterTexts[c].empty()) saved.emplace_back(std::u16string(Table.Header(int(c))), FilterTexts[c]);
  return saved;
}

TFilterPassResult TViewerCore::RestoreFilters(const TFilterList& filters) {
  for (size_t c = 0; c < FilterTexts.size(); ++c) {
    const std::u16string_view header = Table.Header(static_cast<int>(c));
    // The first entry of a name wins, as with a name/value list lookup.
    auto entry = std::find_if(filters.begin(), filters.end(),
                              [&](const auto& saved) { return saved.first == header; });
    if (entry != filters.end()) SetFilterText(static_cast<int>(c), entry->second);
  }
  return ApplyFilters(false);
}

// ---- cursor and display -----------------------------------------------------

void TViewerCore::SetCurrentCell(int row, int column) {
  CurrentRow = (row >= 0 && row < VisibleRowCount()) ? row : -1;
  CurrentColumn = (column >= 0 && column < ColumnCount()) ? column : -1;
}

int TViewerCore::TableRowAt(int position) const {
  if (position < 0 || position >= VisibleRowCount()) return -1;
  return VisibleRows[position];
}

TCellText TViewerCore::DisplayCell(int position, int column) const {
  return Table.Cell(TableRowAt(position), column);
}

TJsonData* TViewerCore::VisibleNode(int position) const {
  if (position < 0 || position >= static_cast<int>(VisibleNodes.size())) return nullptr;
  return VisibleNodes[position];
}

bool TViewerCore::CopyDisplayText(int position, int column, char16_t* buffer,
                                  int bufferSize) const {
  const int row = TableRowAt(position);
  if (!Table.HasCell(row, column) || !buffer || bufferSize <= 0) return false;
  const TCellText text = Table.Cell(row, column);
  const size_t count = std::min(text.size(), static_cast<size_t>(bufferSize) - 1);
  text.CopyTo(buffer, count);
  buffer[count] = 0;
  return true;
}

TWidthPassInput TViewerCore::WidthPassInput(const TScaling& scaling,
                                            std::vector<int> currentWidths) const {
  TWidthPassInput input;
  input.Scaling = scaling;
  input.MaxColumnWidth = settings_.ReadInt(setting::kMaxColumnWidth);
  input.DecimalAlign = settings_.ReadFlag(setting::kDecimalAlign);
  input.CurrentWidths = std::move(currentWidths);
  input.VisibleRows = VisibleRowCount();
  input.HeaderText = [this](int column) { return Table.Header(column); };
  input.CellText = [this, scratch = std::u16string()](int position, int column) mutable {
    return DisplayCell(position, column).View(&scratch);
  };
  return input;
}

// ---- host search ------------------------------------------------------------

TSearchOutcome TViewerCore::SearchText(std::u16string_view text, int flags, int tab,
                                       const TTextPaneView& pane) {
  TSearchOutcome outcome = RunSearch(
      &Search, text, flags, tab, VisibleRowCount(), ColumnCount(),
      [this, scratch = std::u16string()](int row, int column) mutable {
        return DisplayCell(row, column).View(&scratch);
      },
      pane);
  if (outcome.Result == TSearchResult::Found && tab != kTabText)
    SetCurrentCell(outcome.Row, outcome.Column);
  return outcome;
}

}  // namespace corvane
