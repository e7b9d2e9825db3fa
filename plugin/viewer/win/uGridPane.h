// The grid: an owner-data list view that asks the core for every cell text.
// It holds no texts; rows, columns and header texts come from the table the
// core built for the current node.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "uViewerCore.h"

namespace corvane {

class TJsonViewer;
class TJsonData;

// Builds the table for a node and shows it: columns, rows, selection.
void ShowTable(TJsonViewer& viewer, TJsonData* node);
// SetFlatLevel: clamps to -1..2 and rebuilds when the level changed.
void SetFlatLevel(TJsonViewer& viewer, int level);
// Applies a filter pass's result to the list: item count, selection,
// scrolling, repaint and status bar.
void ShowFilterResult(TJsonViewer& viewer, const TFilterPassResult& result);
// Header click and Ctrl+digit: ascending, descending, unsorted.
void ToggleSortColumn(TJsonViewer& viewer, int column);
// Sort marks of the header items.
void UpdateSortMarks(TJsonViewer& viewer);

// The list's columns: widths in index order, display order, count.
std::vector<int> GridColumnWidths(const TJsonViewer& viewer);
std::vector<int> GridColumnOrder(const TJsonViewer& viewer);
int GridColumnCount(const TJsonViewer& viewer);
int GridItemCount(const TJsonViewer& viewer);
HWND GridHeader(const TJsonViewer& viewer);
// Selected display rows in ascending order.
std::vector<int> SelectedGridRows(const TJsonViewer& viewer);
// Makes row the only selected row and the focused one (-1: none).
void SelectOnlyRow(TJsonViewer& viewer, int row);
void ScrollGridToLeftEdge(TJsonViewer& viewer);

// WM_NOTIFY from the grid; true when handled (*result is the answer).
bool GridNotify(TJsonViewer& viewer, NMHDR* header, LRESULT* result);

}  // namespace corvane
