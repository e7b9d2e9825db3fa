// The window-free state of one viewer's grid: the table model, the filter
// texts, the visible rows and their nodes, the sort, the cell cursor, the
// flat level and the search state, with the operations the window code calls.
//
// Contract:
//  - The window code only moves data: it passes filter texts in, asks for row
//    counts, cell and header texts, and applies the results (item count,
//    selection, scrolling) to its controls.
//  - Every query is bounds-checked; an empty table, a table without columns
//    and a cursor of -1 are ordinary states.
//  - Settings are read when a rule needs them, through the settings access.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "uColumnWidths.h"
#include "uHostSearch.h"
#include "uTableModel.h"
#include "uSettingsAccess.h"

namespace corvane {

// Filter texts kept across a rebuild, by header text (name/value list).
using TFilterList = std::vector<std::pair<std::u16string, std::u16string>>;

// What the grid must do after a filter pass.
struct TFilterPassResult {
  int VisibleCount = 0;
  int CurrentRow = -1;
  bool ScrollIntoView = false;  // keep-selection pass with a row selected
};

class TViewerCore {
 public:
  explicit TViewerCore(TSettingsAccess settings = FileSettingsAccess());

  // ---- state (read by the window code) ----
  TTableModel Table;
  TIntegerArray VisibleRows;        // table rows in display order
  TJsonDataArray VisibleNodes;      // row node of each display position
  std::vector<std::u16string> FilterTexts;  // one per column
  int SortColumn = -1;
  bool SortDescending = false;
  int CurrentRow = 0;
  int CurrentColumn = 0;
  int FlatLevel = 0;
  TJsonData* Root = nullptr;        // value-tree root (path/value listing)
  TJsonData* CurrentNode = nullptr; // node the table was built for
  TSearchState Search;

  // ---- table ----
  // Rebuilds the model for node at the current flat level, creates empty
  // filters for the new columns and runs a filter pass.
  TFilterPassResult BuildTable(TJsonData* node);
  // Clamps to -1..2; false when the level did not change (nothing done),
  // true when it was stored (and the table rebuilt when a node is current).
  bool SetFlatLevel(int level);

  // ---- filters and sorting ----
  // Stores a column's filter text (cut to 4,095 characters); no pass runs.
  void SetFilterText(int column, std::u16string_view text);
  TFilterPassResult ApplyFilters(bool keepSelection);
  // Header click / Ctrl+digit: ascending -> descending -> unsorted, then a
  // keep-selection filter pass (its result in *result when given). False
  // (nothing changes) for a table of at most one row or a bad column.
  bool ToggleSortColumn(int column, TFilterPassResult* result = nullptr);
  TFilterList SaveFilters() const;
  // Puts saved texts back into columns with the same header text and runs a
  // filter pass.
  TFilterPassResult RestoreFilters(const TFilterList& filters);

  // ---- cursor and display ----
  // A row outside the visible rows or a column outside the table becomes -1.
  void SetCurrentCell(int row, int column);
  int VisibleRowCount() const { return static_cast<int>(VisibleRows.size()); }
  int ColumnCount() const { return Table.ColumnCount(); }
  // Table row at a display position, or -1.
  int TableRowAt(int position) const;
  // Cell text at display position and column; empty outside the table.
  TCellText DisplayCell(int position, int column) const;
  std::u16string DisplayText(int position, int column) const { return DisplayCell(position, column).ToString(); }
  TJsonData* VisibleNode(int position) const;
  // Answers the grid's request for a cell text: copies at most bufferSize - 1
  // characters and a terminating NUL; false (buffer untouched) outside the
  // table or without a buffer.
  bool CopyDisplayText(int position, int column, char16_t* buffer, int bufferSize) const;

  // ---- host search ----
  TSearchOutcome SearchText(std::u16string_view text, int flags, int tab,
                            const TTextPaneView& pane = {});

  // The width pass's input for the visible rows, with "max-column-width"
  // and "decimal-align" read now; the caller adds the measuring functions.
  TWidthPassInput WidthPassInput(const TScaling& scaling, std::vector<int> currentWidths) const;

  const TSettingsAccess& Settings() const { return settings_; }

 private:
  TTableOptions ReadTableOptions() const;
  void FilterRows();
  void PlaceCursor(TJsonData* remembered, bool keepSelection, TFilterPassResult* result);

  TSettingsAccess settings_;
};

}  // namespace corvane
