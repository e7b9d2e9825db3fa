#include "uContextMenu.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "uGridPane.h"
#include "uI18n.h"
#include "uJsonViewer.h"
#include "uStatusBar.h"
#include "uStatusTexts.h"
#include "uThemePaint.h"
#include "uViewerLifetime.h"

namespace corvane {

namespace {

std::u16string EntryText(const TMenuEntry& entry) {
  return entry.Text ? tr(*entry.Text) : entry.Literal;
}

// The column under a screen point: over the header the header item, over
// the grid the sub-item. -1 when the point hits no column.
int ColumnAt(const TJsonViewer& viewer, POINT screen) {
  const HWND header = GridHeader(viewer);
  if (!header) return -1;
  RECT headerRect{};
  GetWindowRect(header, &headerRect);
  if (IsWindowVisible(header) && PtInRect(&headerRect, screen)) {
    HDHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(header, &hit.pt);
    // On a divider the item is the one whose edge it is.
    return static_cast<int>(SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  }
  LVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(viewer.Grid, &hit.pt);
  RECT client{};
  GetClientRect(viewer.Grid, &client);
  if (!IsWindowVisible(viewer.Grid) || !PtInRect(&client, hit.pt)) return -1;
  if (SendMessageW(viewer.Grid, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) return -1;
  return hit.iSubItem;
}

// Where a menu asked for from the keyboard opens: below the current cell
// when the grid shows it, else at the focused pane's top-left corner.
POINT KeyboardMenuPoint(const TJsonViewer& viewer) {
  const TViewerCore& core = viewer.Core;
  RECT cell{};
  cell.top = core.CurrentColumn;
  cell.left = LVIR_LABEL;
  if (viewer.ActiveTab == 0 && core.CurrentRow >= 0 && core.CurrentColumn >= 0 &&
      SendMessageW(viewer.Grid, LVM_GETSUBITEMRECT, static_cast<WPARAM>(core.CurrentRow),
                   reinterpret_cast<LPARAM>(&cell))) {
    POINT p{cell.left, cell.bottom};
    ClientToScreen(viewer.Grid, &p);
    return p;
  }
  HWND focus = GetFocus();
  RECT r{};
  GetWindowRect(focus && IsChild(viewer.Window(), focus) ? focus : viewer.Window(), &r);
  return POINT{r.left, r.top};
}

}  // namespace

TContextMenuState ContextMenuStateOf(const TJsonViewer& viewer) {
  TContextMenuState state;
  state.CurrentRow = viewer.Core.CurrentRow;
  state.GridRows = GridItemCount(viewer);
  state.FilterRowShown = viewer.FilterRowShown;
  state.EditMode = viewer.EditMode;
  state.HasStructure = viewer.HasStructure;
  state.Modified = viewer.Modified;
  state.ThemeMode = ThemeModeOf(viewer);
  return state;
}

HMENU BuildMenu(const std::vector<TMenuEntry>& entries) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const TMenuEntry& entry : entries) {
    if (entry.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::u16string text = EntryText(entry);
    UINT flags = MF_STRING;
    if (entry.Grayed) flags |= MF_GRAYED;
    if (entry.Checked) flags |= MF_CHECKED;
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(entry.Id), reinterpret_cast<LPCWSTR>(text.c_str()));
  }
  return menu;
}

HMENU BuildContextMenu(const TJsonViewer& viewer) {
  return BuildMenu(ContextMenuEntries(ContextMenuStateOf(viewer)));
}

void ShowContextMenu(TJsonViewer& viewer, LPARAM position) {
  POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == -1) {
    at = KeyboardMenuPoint(viewer);
  } else {
    const int column = ColumnAt(viewer, at);
    if (column >= 0) {
      viewer.Core.CurrentColumn = column;
      SetStatusText(viewer, kStatusPartCursor, StatusCursorText(viewer.Core.CurrentRow, column));
    }
  }
  win::TMenu menu(BuildContextMenu(viewer));
  if (!menu.Get()) return;
  // The chosen command arrives as WM_COMMAND; nothing of the viewer is used
  // after the loop, which a close from inside may have ended.
  RunModal(viewer, true, [&] { TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, viewer.Window(), nullptr); });
}

}  // namespace corvane
