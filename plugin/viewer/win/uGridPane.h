// The grid pane: an owner-data list view that asks the window-free core for
// every cell text it paints. It holds no texts; rows, columns and header
// texts come from the table the core built for the current node. It paints
// its cells and header itself (uGridPaint.cpp: stripes by display position,
// the selection and the current cell in theme colours, numbers aligned on
// their decimal separator, the header with separators and the sort
// triangle) and sizes its columns from a sample of the rows (the width
// pass).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "uPane.h"
#include "uViewerCore.h"
#include "uViewerLayout.h"
#include "uViewerLook.h"

namespace corvane {

// What the grid pane tells the viewer.
class IGridPaneEvents : public IPaneHost {
 public:
  // A cell was clicked (row -1 or column -1 outside the cells).
  virtual void GridCellClicked(int row, int column, bool doubleClick, bool alt) = 0;
  // A row became selected.
  virtual void GridRowSelected(int row) = 0;
  // A header item was clicked.
  virtual void GridColumnClicked(int column) = 0;
  // The rows or columns are about to move under the cells (scrolling,
  // resizing): an open cell edit must end first.
  virtual void GridRowsMoving() = 0;
  // The columns moved (horizontal scrolling, a width set by the user).
  virtual void GridColumnsMoved() = 0;
  // The header's items were reordered or resized by the user.
  virtual void GridHeaderChanged() = 0;
  // WM_CTLCOLOREDIT of an edit control on the grid (the cell editor): the
  // brush, or nullptr for the default colours.
  virtual HBRUSH GridEditColours(HWND edit, HDC dc) = 0;

 protected:
  ~IGridPaneEvents() = default;
};

class TGridPane {
 public:
  TGridPane(IGridPaneEvents& events, const TViewerLook& look, const TViewerCore& core)
      : events_(events), look_(look), core_(core) {}
  TGridPane(const TGridPane&) = delete;
  TGridPane& operator=(const TGridPane&) = delete;

  // The control (id 103) in parent, with or without grid lines; raises
  // EViewerError.
  void Create(HWND parent, bool gridLines);
  void InstallSubclass();
  HWND Window() const { return grid_; }
  // The grid or its header.
  bool Owns(HWND window) const { return window && (window == grid_ || window == Header()); }
  bool HasFocus() const { return grid_ && GetFocus() == grid_; }

  // A table rebuild: drawing paused, rows and columns dropped; then the
  // columns of the core's new table; then drawing again.
  void BeginRebuild();
  void InsertColumns();
  void EndRebuild();
  // The row count of a filter pass (the scroll position kept).
  void SetRowCount(int count);
  // Column widths from a sample of the visible rows; hidden columns stay.
  // False when the list cannot be measured (nothing changed).
  bool RunWidthPass();
  // Every column shown again, widths computed anew (false as above).
  bool ShowAllColumns();
  void HideColumn(int column);
  // The sort marks of the header items, from the core's sort state.
  void UpdateSortMarks();
  // Makes row the only selected row and the focused one (-1: none).
  void SelectOnlyRow(int row);
  void EnsureVisible(int row);
  // Scrolls so that the cell's column is in view; true when it scrolled.
  bool ScrollCellIntoView(int row, int column);
  // Scrolls back to the first column.
  void ScrollToLeftEdge();
  void SetRedraw(bool on);
  void Repaint(bool erase);
  // Repaints at once, header included.
  void RedrawNow();
  void RepaintHeader();
  void ApplyColours();
  // The header stays without a visual style: the custom draw paints it all.
  void SwitchOffHeaderStyle();
  void SetFont(HFONT font) { SetControlFont(grid_, font); }

  // The list as it is now.
  int ColumnCount() const;
  int ItemCount() const;
  HWND Header() const;
  std::vector<int> ColumnWidths() const;   // index order
  std::vector<int> ColumnOrder() const;    // display order; empty when unknown
  std::vector<int> SelectedRows() const;   // ascending
  // Each column's left edge and width (Left, Right) in the client of
  // relativeTo, for the first count columns; false without a header.
  bool ColumnBoxes(HWND relativeTo, int count, std::vector<TRect>* boxes) const;
  // The rectangle of a cell (column 0 ends at its own width); false when
  // the cell is not there.
  bool CellRect(int row, int column, RECT* cell) const;
  // Screen point below a cell's label; false when the cell is not there.
  bool CellMenuPoint(int row, int column, POINT* point) const;
  // The column under a screen point: over the header the header item, over
  // the cells the sub-item; -1 when there is none.
  int ColumnAt(POINT screen) const;

  // WM_NOTIFY from the list or its header; true when handled.
  bool Notify(NMHDR* header, LRESULT* result);

  void Detach() {
    headerSubclass_.Remove();
    subclass_.Remove();
  }
  void Forget() { grid_ = nullptr; }

 private:
  static bool SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  static bool HeaderHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool HeaderNotify(NMHDR* header, LRESULT* result);
  void SetColumnWidths(const std::vector<int>& widths, const std::vector<int>& current);
  // Painting (uGridPaint.cpp).
  LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
  LRESULT HeaderCustomDraw(NMCUSTOMDRAW* draw);
  void PaintHeaderRest(HWND header, const NMCUSTOMDRAW& draw) const;
  void PaintGridLines(HDC dc) const;
  LRESULT PaintCell(NMLVCUSTOMDRAW* draw);
  void PaintHeaderItem(HWND header, const NMCUSTOMDRAW& draw) const;
  bool RowSelected(int position) const;
  int DecimalOffset(int column) const;

  IGridPaneEvents& events_;
  const TViewerLook& look_;
  const TViewerCore& core_;
  HWND grid_ = nullptr;
  win::TSubclass subclass_;
  win::TSubclass headerSubclass_;  // follows the header's moves
  bool gridLines_ = true;        // lines between rows and columns ("disable-grid-lines")
  bool sizingColumns_ = false;   // the width pass sets several column widths
  TIntegerArray decimalOffsets_; // per column, from the width pass
};

}  // namespace corvane
