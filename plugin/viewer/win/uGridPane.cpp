#include "uGridPane.h"

#include <algorithm>

#include "uCellEditor.h"
#include "uClipboardCommands.h"
#include "uCommands.h"
#include "uFilterRow.h"
#include "uGridPaint.h"
#include "uJsonViewer.h"
#include "uStatusBar.h"
#include "uTreePane.h"

namespace corvane {

namespace {

// Initial width of a new column, at 96 DPI (the width pass resizes it).
constexpr int kInitialColumnWidth = 140;

void DeleteAllColumns(HWND grid) {
  while (SendMessageW(grid, LVM_DELETECOLUMN, 0, 0)) {
  }
}

void InsertColumns(TJsonViewer& viewer) {
  const TTableModel& table = viewer.Core.Table;
  for (int c = 0; c < table.ColumnCount(); ++c) {
    std::u16string header(table.Header(c));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(header.c_str()));
    column.cx = viewer.ScaleDpi(kInitialColumnWidth);
    column.iSubItem = c;
    SendMessageW(viewer.Grid, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
}

void SetRedraw(HWND window, bool on) { SendMessageW(window, WM_SETREDRAW, on ? TRUE : FALSE, 0); }

void SetItemState(HWND grid, int item, UINT state, UINT mask) {
  LVITEMW change{};
  change.stateMask = mask;
  change.state = state;
  SendMessageW(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change));
}

bool AltHeld() { return (GetKeyState(VK_MENU) & 0x8000) != 0; }

void DisplayInfo(TJsonViewer& viewer, NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  viewer.Core.CopyDisplayText(item.iItem, item.iSubItem, reinterpret_cast<char16_t*>(item.pszText),
                              item.cchTextMax);
}

void Clicked(TJsonViewer& viewer, const NMITEMACTIVATE* click, bool doubleClick) {
  SetCurrentCell(viewer, click->iItem, click->iSubItem, false);
  if (doubleClick) {
    if (viewer.EditMode)
      BeginCellEdit(viewer, click->iItem, click->iSubItem);
    else
      SelectNodeInTree(viewer, click->iItem);
  } else if (AltHeld()) {
    OpenLinkInCell(viewer);
  }
}

void ItemChanged(TJsonViewer& viewer, const NMLISTVIEW* change) {
  if (change->iItem >= 0 && (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED))
    SetCurrentCell(viewer, change->iItem, viewer.Core.CurrentColumn, false);
}

}  // namespace

void ShowTable(TJsonViewer& viewer, TJsonData* node) {
  EndCellEditBeforeRowsMove(viewer);
  const HWND grid = viewer.Grid;
  SetRedraw(grid, false);
  SendMessageW(grid, LVM_SETITEMCOUNT, 0, 0);
  DeleteAllColumns(grid);
  const TFilterPassResult result = viewer.Core.BuildTable(node);
  InsertColumns(viewer);
  CreateFilterEdits(viewer);
  UpdateSortMarks(viewer);
  ShowFilterResult(viewer, result);
  SetRedraw(grid, true);
  InvalidateRect(grid, nullptr, TRUE);
}

void SetFlatLevel(TJsonViewer& viewer, int level) {
  level = ClampFlatLevel(level);
  if (level == viewer.Core.FlatLevel) return;
  EndCellEditBeforeRowsMove(viewer);
  viewer.Core.FlatLevel = level;
  if (viewer.Core.CurrentNode) ShowTable(viewer, viewer.Core.CurrentNode);
}

void ShowFilterResult(TJsonViewer& viewer, const TFilterPassResult& result) {
  const HWND grid = viewer.Grid;
  SendMessageW(grid, LVM_SETITEMCOUNT, static_cast<WPARAM>(result.VisibleCount), LVSICF_NOSCROLL);
  RunWidthPass(viewer);
  SelectOnlyRow(viewer, result.VisibleCount > 0 ? result.CurrentRow : -1);
  if (result.VisibleCount > 0 && result.ScrollIntoView)
    SendMessageW(grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(result.CurrentRow), FALSE);
  InvalidateRect(grid, nullptr, FALSE);
  if (viewer.Core.CurrentNode) UpdateStatusBar(viewer);
}

void ToggleSortColumn(TJsonViewer& viewer, int column) {
  EndCellEditBeforeRowsMove(viewer);
  TFilterPassResult result;
  SetRedraw(viewer.Grid, false);
  ReadFilterEdits(viewer);
  if (viewer.Core.ToggleSortColumn(column, &result)) {
    ShowFilterResult(viewer, result);
    UpdateSortMarks(viewer);
  }
  SetRedraw(viewer.Grid, true);
  RedrawWindow(viewer.Grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void UpdateSortMarks(TJsonViewer& viewer) {
  const HWND header = GridHeader(viewer);
  const int count = GridColumnCount(viewer);
  for (int c = 0; c < count; ++c) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (c == viewer.Core.SortColumn) item.fmt |= viewer.Core.SortDescending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
  }
  InvalidateRect(header, nullptr, TRUE);
}

// ---- reading the list ---------------------------------------------------------

HWND GridHeader(const TJsonViewer& viewer) {
  return viewer.Grid ? reinterpret_cast<HWND>(SendMessageW(viewer.Grid, LVM_GETHEADER, 0, 0)) : nullptr;
}

int GridColumnCount(const TJsonViewer& viewer) {
  const HWND header = GridHeader(viewer);
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int GridItemCount(const TJsonViewer& viewer) {
  return viewer.Grid ? static_cast<int>(SendMessageW(viewer.Grid, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<int> GridColumnWidths(const TJsonViewer& viewer) {
  std::vector<int> widths(static_cast<size_t>(std::max(GridColumnCount(viewer), 0)));
  for (size_t c = 0; c < widths.size(); ++c)
    widths[c] = static_cast<int>(SendMessageW(viewer.Grid, LVM_GETCOLUMNWIDTH, c, 0));
  return widths;
}

std::vector<int> GridColumnOrder(const TJsonViewer& viewer) {
  std::vector<int> order(static_cast<size_t>(std::max(GridColumnCount(viewer), 0)));
  if (!order.empty() && !SendMessageW(viewer.Grid, LVM_GETCOLUMNORDERARRAY, order.size(),
                                      reinterpret_cast<LPARAM>(order.data())))
    order.clear();
  return order;
}

std::vector<int> SelectedGridRows(const TJsonViewer& viewer) {
  std::vector<int> rows;
  int item = -1;
  while ((item = static_cast<int>(SendMessageW(viewer.Grid, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                               LVNI_SELECTED))) >= 0)
    rows.push_back(item);
  return rows;
}

void SelectOnlyRow(TJsonViewer& viewer, int row) {
  const HWND grid = viewer.Grid;
  // Clearing the state of "all items" visits every row in some list-view
  // implementations (seconds for a million rows after each filter
  // keystroke); a few selected rows are cleared one by one instead.
  constexpr int kClearOneByOne = 64;
  if (SendMessageW(grid, LVM_GETSELECTEDCOUNT, 0, 0) > kClearOneByOne) {
    SetItemState(grid, -1, 0, LVIS_SELECTED);
  } else {
    const auto nextSelected = [grid](int after) {
      return static_cast<int>(SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
    };
    for (int item = nextSelected(-1); item >= 0; item = nextSelected(item))
      if (item != row) SetItemState(grid, item, 0, LVIS_SELECTED);
  }
  if (row >= 0) SetItemState(grid, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ScrollGridToLeftEdge(TJsonViewer& viewer) {
  const int x = GetScrollPos(viewer.Grid, SB_HORZ);
  if (x != 0) SendMessageW(viewer.Grid, LVM_SCROLL, static_cast<WPARAM>(-x), 0);
  PositionFilterEdits(viewer);
}

// ---- notifications --------------------------------------------------------------

bool GridNotify(TJsonViewer& viewer, NMHDR* header, LRESULT* result) {
  if (header->hwndFrom != viewer.Grid) {
    // The header: columns moved or resized, the filter edits follow.
    if (header->code != HDN_ITEMCHANGEDW && header->code != HDN_ENDTRACKW) return false;
    EndCellEdit(viewer, true);  // the cell under the editor changes its place
    PositionFilterEdits(viewer);
    *result = 0;
    return true;
  }
  switch (header->code) {
    case LVN_GETDISPINFOW: DisplayInfo(viewer, reinterpret_cast<NMLVDISPINFOW*>(header)); return true;
    case NM_CLICK: Clicked(viewer, reinterpret_cast<NMITEMACTIVATE*>(header), false); return true;
    case NM_DBLCLK: Clicked(viewer, reinterpret_cast<NMITEMACTIVATE*>(header), true); return true;
    case LVN_ITEMCHANGED: ItemChanged(viewer, reinterpret_cast<NMLISTVIEW*>(header)); return true;
    case NM_CUSTOMDRAW: *result = GridCustomDraw(viewer, reinterpret_cast<NMLVCUSTOMDRAW*>(header)); return true;
    case LVN_COLUMNCLICK:
      ToggleSortColumn(viewer, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      return true;
    default:
      return false;
  }
}

}  // namespace corvane
