#include "uCommands.h"

#include <windows.h>
#include <commctrl.h>

#include "uCellEditor.h"
#include "uClipboardCommands.h"
#include "uFilterRow.h"
#include "uGridPaint.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uLayout.h"
#include "uOutside.h"
#include "uStatusBar.h"
#include "uStatusTexts.h"
#include "uThemePaint.h"
#include "uTreePane.h"
#include "uViewerCommands.h"
#include "uViewerKeys.h"

namespace corvane {

namespace {

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

TKeySettings ReadKeySettings(const TJsonViewer& viewer) {
  TKeySettings settings;
  settings.DisableNumKeys = viewer.Settings.ReadFlag(setting::kDisableNumKeys);
  settings.DisableNpKeys = viewer.Settings.ReadFlag(setting::kDisableNpKeys);
  settings.ExitByQ = viewer.Settings.ReadFlag(setting::kExitByQ);
  settings.CopyColumn = viewer.Settings.ReadFlag(setting::kCopyColumn);
  return settings;
}

TKeyPress PressOf(const TJsonViewer& viewer, int virtualKey) {
  return TKeyPress{virtualKey, KeyHeld(VK_CONTROL), KeyHeld(VK_SHIFT), FocusPaneOf(viewer, GetFocus())};
}

bool SortByDigit(TJsonViewer& viewer, int virtualKey) {
  const int column = SortColumnForDigit(virtualKey - vk::k0, viewer.Core.CurrentColumn,
                                        GridColumnOrder(viewer), GridColumnWidths(viewer));
  if (column < 0) return false;
  ToggleSortColumn(viewer, column);
  return true;
}

bool ArrowKey(TJsonViewer& viewer, int virtualKey, bool ctrl, TFocusPane focus) {
  if (MoveCellCursor(viewer, virtualKey, ctrl)) return true;
  if (focus != TFocusPane::Grid) return false;
  if (virtualKey == vk::kLeft) ScrollGridToLeftEdge(viewer);
  return true;
}

bool RunKeyAction(TJsonViewer& viewer, TKeyAction action, const TKeyPress& press) {
  switch (action) {
    case TKeyAction::NotHandled: return false;
    case TKeyAction::FocusCycle: FocusCycle(viewer); return true;
    case TKeyAction::CopyColumn: CopyColumn(viewer); return true;
    case TKeyAction::CopyRows: CopyRows(viewer); return true;
    case TKeyAction::ToggleEditMode: ToggleEditMode(viewer); return true;
    case TKeyAction::BeginCellEdit:
      BeginCellEdit(viewer, viewer.Core.CurrentRow, viewer.Core.CurrentColumn);
      return true;
    case TKeyAction::SaveChanges: SaveChanges(viewer); return true;
    case TKeyAction::ShowAllColumns: ShowAllColumns(viewer); return true;
    case TKeyAction::SortByDigit: return SortByDigit(viewer, press.Key);
    case TKeyAction::MoveCursor: return ArrowKey(viewer, press.Key, press.Ctrl, press.Focus);
    case TKeyAction::ForwardToHost: return ForwardKeyToHost(viewer, press.Key);
  }
  return false;
}

// Scrolls the grid so the current cell's column is in view.
void ScrollCellIntoView(TJsonViewer& viewer, int row, int column) {
  const HWND grid = viewer.Grid;
  SendMessageW(grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  if (!SendMessageW(grid, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell))) return;
  // The bounds of sub-item 0 span the whole row; its own width is the column's.
  if (column == 0) cell.right = cell.left + static_cast<int>(SendMessageW(grid, LVM_GETCOLUMNWIDTH, 0, 0));
  RECT client{};
  GetClientRect(grid, &client);
  const int dx = HorizontalScrollToShow(cell.left, cell.right, client.left, client.right);
  if (dx != 0) {
    SendMessageW(grid, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
    PositionFilterEdits(viewer);
  }
}

void RunFlatCommand(TJsonViewer& viewer, int id) {
  int level = 0;
  if (FlatLevelOfCommand(id, &level)) SetFlatLevel(viewer, level);
}

}  // namespace

bool HandleViewerKey(TJsonViewer& viewer, int virtualKey) {
  TKeyContext context;
  context.Press = PressOf(viewer, virtualKey);
  context.Settings = ReadKeySettings(viewer);
  context.EditMode = viewer.EditMode;
  context.CellValid = viewer.Core.CurrentRow >= 0 && viewer.Core.CurrentColumn >= 0;
  if (context.Press.Key == vk::kC && context.Press.Focus == TFocusPane::Grid)
    context.SelectedRows = static_cast<int>(SelectedGridRows(viewer).size());
  return RunKeyAction(viewer, DecideViewerKey(context), context.Press);
}

bool ForwardKeyToHost(TJsonViewer& viewer, int virtualKey) {
  if (!IsHostKey(PressOf(viewer, virtualKey), ReadKeySettings(viewer))) return false;
  SetFocus(viewer.Parent);
  outside::PressKey(virtualKey);
  return true;
}

bool MoveCellCursor(TJsonViewer& viewer, int virtualKey, bool ctrl) {
  const TViewerCore& core = viewer.Core;
  const std::vector<int> widths = GridColumnWidths(viewer);
  if (GetFocus() != viewer.Grid || core.CurrentRow < 0 || core.CurrentColumn < 0 ||
      GridItemCount(viewer) < 1 || widths.empty())
    return false;
  const TCursorMove move =
      ComputeCursorMove(virtualKey, ctrl, core.CurrentRow, core.CurrentColumn, GridItemCount(viewer), widths);
  if (!move.Changed) {
    if (move.ScrollToLeftEdge) ScrollGridToLeftEdge(viewer);
    return true;
  }
  SetCurrentCell(viewer, move.Row, move.Column, move.ScrollCell);
  if (move.EnsureRowVisible) {
    SendMessageW(viewer.Grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(move.Row), FALSE);
    if (move.ScrollToLeftEdge) ScrollGridToLeftEdge(viewer);
    else PositionFilterEdits(viewer);
  }
  SelectOnlyRow(viewer, move.Row);
  return true;
}

void SetCurrentCell(TJsonViewer& viewer, int row, int column, bool scroll) {
  TViewerCore& core = viewer.Core;
  const int rows = GridItemCount(viewer);
  const int columns = GridColumnCount(viewer);
  core.CurrentRow = row >= 0 && row < rows ? row : -1;
  core.CurrentColumn = column >= 0 && column < columns ? column : -1;
  if (scroll && core.CurrentRow >= 0 && core.CurrentColumn >= 0)
    ScrollCellIntoView(viewer, core.CurrentRow, core.CurrentColumn);
  InvalidateRect(viewer.Grid, nullptr, FALSE);
  SetStatusText(viewer, kStatusPartCursor, StatusCursorText(core.CurrentRow, core.CurrentColumn));
}

void RefusalBeep() { outside::Beep(MB_ICONEXCLAMATION); }

void RunCommand(TJsonViewer& viewer, int id) {
  switch (id) {
    case cmd::kCopy: CopyCell(viewer); break;
    case cmd::kCopyRows: CopyRows(viewer); break;
    case cmd::kCopyColumn: CopyColumn(viewer); break;
    case cmd::kCopyJson: CopyAsJson(viewer); break;
    case cmd::kCopyPath: CopyPath(viewer); break;
    case cmd::kThemeTc: SetTheme(viewer, u"tc"); break;
    case cmd::kThemeLight: SetTheme(viewer, u"light"); break;
    case cmd::kThemeDark: SetTheme(viewer, u"dark"); break;
    case cmd::kFilters: ToggleFilterRow(viewer); break;
    case cmd::kHideColumn: HideCurrentColumn(viewer); break;
    case cmd::kShowAllColumns: ShowAllColumns(viewer); break;
    case cmd::kEditMode:
      if (viewer.HasStructure) ToggleEditMode(viewer);
      break;
    case cmd::kSelectItem: SelectNodeInTree(viewer, viewer.Core.CurrentRow); break;
    case cmd::kSave: SaveChanges(viewer); break;
    case cmd::kInsertRow:
    case cmd::kDeleteRow:
    case cmd::kDeleteColumn: RefuseStructuralCommand(viewer); break;
    default: RunFlatCommand(viewer, id); break;  // 5010-5012
  }
}

}  // namespace corvane
