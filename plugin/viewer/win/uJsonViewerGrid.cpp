// The viewer's table: the node the tree selects, the table the core builds
// for it, the grid that shows it, the filter row over it, the cell cursor
// and the status bar that describes it.
#include "uJsonViewer.h"

#include "uStatusTexts.h"

namespace corvane {

namespace {

bool CtrlShiftHeld() { return KeyHeld(VK_CONTROL) && KeyHeld(VK_SHIFT); }

}  // namespace

// The selected tree entry's node becomes current: grid, text pane and status
// bar. With Ctrl+Shift held, the typed filters stay for the new table.
void TJsonViewer::ShowSelectedNode() {
  EndCellEditBeforeRowsMove();
  // The Path/Value listing shows the whole document whichever entry is
  // selected: it stays as it is (filters, sort, current row); only the
  // status bar describes the new entry.
  if (core_.FlatLevel == kFlatLevelPathValue && core_.CurrentNode) {
    if (TJsonData* node = tree_.SelectedNode()) core_.CurrentNode = node;
    UpdateStatusBar();
    return;
  }
  const bool keepFilters = CtrlShiftHeld();
  TFilterList saved;
  if (keepFilters) {
    ReadFilterEdits();
    saved = core_.SaveFilters();
  }
  TJsonData* node = tree_.SelectedNode();
  if (!node) return;
  ShowTable(node);
  if (keepFilters && !saved.empty()) {
    const TFilterPassResult result = core_.RestoreFilters(saved);
    WriteFilterEdits();
    ShowFilterResult(result);
  }
  text_.MarkStale();
  if (tabs_.ActiveTab() == kTabText) LoadText();
  UpdateStatusBar();
}

// Builds the table for a node and shows it: columns, filter edits, rows,
// selection.
void TJsonViewer::ShowTable(TJsonData* node) {
  EndCellEditBeforeRowsMove();
  grid_.BeginRebuild();
  const TFilterPassResult result = core_.BuildTable(node);
  grid_.InsertColumns();
  filters_.Create(grid_.ColumnCount(), settings_.ReadInt(setting::kFilterAlign), DarkControlStyle());
  PlaceFilterRow();
  grid_.UpdateSortMarks();
  ShowFilterResult(result);
  // A new table starts at its first column, wherever the last one was.
  ScrollGridToLeftEdge();
  grid_.EndRebuild();
}

// A filter pass's result on the grid: item count, widths, selection,
// scrolling, repaint and status bar.
void TJsonViewer::ShowFilterResult(const TFilterPassResult& result) {
  grid_.SetRowCount(result.VisibleCount);
  RunWidthPass();
  grid_.SelectOnlyRow(result.VisibleCount > 0 ? result.CurrentRow : -1);
  if (result.VisibleCount > 0 && result.ScrollIntoView) grid_.EnsureVisible(result.CurrentRow);
  grid_.Repaint(false);
  if (core_.CurrentNode) UpdateStatusBar();
}

void TJsonViewer::RunWidthPass() {
  if (grid_.RunWidthPass()) PlaceFilterRow();
}

// Clamps to -1..2 and rebuilds when the level changed.
void TJsonViewer::SetFlatLevel(int level) {
  level = ClampFlatLevel(level);
  if (level == core_.FlatLevel) return;
  EndCellEditBeforeRowsMove();
  core_.FlatLevel = level;
  if (core_.CurrentNode) ShowTable(core_.CurrentNode);
}

// Header click and Ctrl+digit: ascending, descending, unsorted.
void TJsonViewer::ToggleSortColumn(int column) {
  EndCellEditBeforeRowsMove();
  TFilterPassResult result;
  grid_.SetRedraw(false);
  ReadFilterEdits();
  if (core_.ToggleSortColumn(column, &result)) {
    ShowFilterResult(result);
    grid_.UpdateSortMarks();
  }
  grid_.SetRedraw(true);
  grid_.RedrawNow();
}

// ---- the filter row -------------------------------------------------------------

// Every pass reads what is typed, even while the typing delay runs.
void TJsonViewer::ReadFilterEdits() {
  const std::vector<std::u16string> texts = filters_.Texts();
  for (size_t i = 0; i < texts.size(); ++i) core_.SetFilterText(static_cast<int>(i), texts[i]);
}

// Filters kept across a rebuild go back into the edits.
void TJsonViewer::WriteFilterEdits() { filters_.SetTexts(core_.FilterTexts); }

void TJsonViewer::ApplyFilterEdits(bool keepSelection) {
  EndCellEditBeforeRowsMove();
  ReadFilterEdits();
  ShowFilterResult(core_.ApplyFilters(keepSelection));
}

// Command 5006: show or hide the row.
void TJsonViewer::ToggleFilterRow() {
  filters_.SetShown(!filters_.Shown());
  LayoutControls();
}

// ---- the cell cursor and the columns ------------------------------------------------

// Moves the cell cursor (invalid rows and columns become -1), optionally
// scrolling the cell into view, and shows it in the status bar.
void TJsonViewer::SetCurrentCell(int row, int column, bool scroll) {
  const int rows = grid_.ItemCount();
  const int columns = grid_.ColumnCount();
  core_.CurrentRow = row >= 0 && row < rows ? row : -1;
  core_.CurrentColumn = column >= 0 && column < columns ? column : -1;
  if (scroll && core_.CurrentRow >= 0 && core_.CurrentColumn >= 0 &&
      grid_.ScrollCellIntoView(core_.CurrentRow, core_.CurrentColumn))
    PlaceFilterRow();
  grid_.Repaint(false);
  status_.SetText(kStatusPartCursor, StatusCursorText(core_.CurrentRow, core_.CurrentColumn));
}

// Arrow keys in the grid.
bool TJsonViewer::MoveCellCursor(int virtualKey, bool ctrl) {
  const std::vector<int> widths = grid_.ColumnWidths();
  if (!grid_.HasFocus() || core_.CurrentRow < 0 || core_.CurrentColumn < 0 || grid_.ItemCount() < 1 ||
      widths.empty())
    return false;
  const TCursorMove move =
      ComputeCursorMove(virtualKey, ctrl, core_.CurrentRow, core_.CurrentColumn, grid_.ItemCount(), widths);
  if (!move.Changed) {
    if (move.ScrollToLeftEdge) ScrollGridToLeftEdge();
    return true;
  }
  SetCurrentCell(move.Row, move.Column, move.ScrollCell);
  if (move.EnsureRowVisible) {
    grid_.EnsureVisible(move.Row);
    if (move.ScrollToLeftEdge)
      ScrollGridToLeftEdge();
    else
      PlaceFilterRow();
  }
  grid_.SelectOnlyRow(move.Row);
  return true;
}

void TJsonViewer::ScrollGridToLeftEdge() {
  grid_.ScrollToLeftEdge();
  PlaceFilterRow();
}

// Command 5007: the current column's width becomes 0.
void TJsonViewer::HideCurrentColumn() {
  const int column = core_.CurrentColumn;
  if (column < 0 || column >= filters_.Count()) return;
  grid_.HideColumn(column);
  PlaceFilterRow();
}

// Command 5008 and Ctrl+Space: every column shown again, widths computed anew.
void TJsonViewer::ShowAllColumns() {
  if (grid_.ShowAllColumns()) PlaceFilterRow();
}

// Selects the entry of the node shown in a display row of the grid.
void TJsonViewer::SelectNodeInTree(int row) { tree_.SelectNode(core_.VisibleNode(row)); }

// ---- the status bar ---------------------------------------------------------------

// Parts 0-5 for the current node, the part widths, then part 6.
void TJsonViewer::UpdateStatusBar() {
  const TJsonData* node = core_.CurrentNode;
  if (!node) return;
  status_.SetText(0, StatusEncodingText(document_.EncodingName));
  status_.SetText(1, StatusDepthText(node));
  status_.SetText(2, StatusKindText(node));
  status_.SetText(kStatusPartFlat, StatusFlatText(core_.FlatLevel, core_.Table));
  status_.SetText(4, StatusRowsText(core_.VisibleRowCount(), core_.Table.RowCount()));
  status_.SetText(kStatusPartCursor, StatusCursorText(core_.CurrentRow, core_.CurrentColumn));
  status_.LayoutParts();
  UpdateEditStatus();
}

// Part 6: the given text, or the edit state when text is nullptr (the load
// error of a text that did not load).
void TJsonViewer::UpdateEditStatus(const std::u16string* text) {
  if (!text && !loadError_.empty()) text = &loadError_;
  status_.SetText(kStatusPartEdit, text ? *text : StatusEditText(editMode_, modified_));
}

}  // namespace corvane
