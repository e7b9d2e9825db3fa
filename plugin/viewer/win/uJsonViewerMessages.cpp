// The main window's messages, each routed to the pane that owns it:
//
//   WM_SIZE                         the layout (LayoutControls)
//   WM_SETFOCUS                     the selected tab's pane (FocusContent)
//   WM_PAINT, WM_ERASEBKGND,
//   WM_SETCURSOR, mouse messages    the splitter (TLayout)
//   WM_MOUSEWHEEL with Ctrl         the font zoom (ZoomFont)
//   WM_DPICHANGED                   ChangeDpi
//   WM_KEYDOWN                      the keyboard map (TKeyboardMap)
//   WM_CONTEXTMENU                  the context menu (ShowContextMenu)
//   WM_COMMAND                      the filter row's edits, else RunCommand
//   WM_TIMER 1                      the filter row's typing delay
//   WM_USER + 2                     RefreshTextPane
//   WM_NOTIFY                       the tree, the grid (and its header), the
//                                   tab frame, the status bar or the text
//                                   pane, by source
//   WM_CTLCOLOREDIT                 the filter edits and the cell editor
// The tab frame and the status bar paint themselves in their subclasses,
// the grid's header in the grid's.
#include "uJsonViewer.h"

#include <windowsx.h>

#include "uMainWindow.h"

namespace corvane {

bool TJsonViewer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (MouseMessage(message, lParam)) return true;
  switch (message) {
    case WM_SIZE: LayoutControls(); return true;
    case WM_SETFOCUS: FocusContent(); return true;
    case WM_ERASEBKGND: layout_.EraseMainWindow(reinterpret_cast<HDC>(wParam)); *result = 1; return true;
    case WM_PAINT: layout_.PaintMainWindow(); return true;
    case WM_SETCURSOR: *result = 1; return layout_.SetCursorShape();
    case WM_MOUSEWHEEL:
      if (!KeyHeld(VK_CONTROL) && (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) return false;
      ZoomFont(GET_WHEEL_DELTA_WPARAM(wParam));
      return true;
    case WM_DPICHANGED: ChangeDpi(LOWORD(wParam)); return true;
    case WM_KEYDOWN: return keys_.KeyDown(static_cast<int>(wParam));
    case WM_CONTEXTMENU: ShowContextMenu(lParam); return true;
    case WM_COMMAND:
      if (!filters_.Command(LOWORD(wParam), HIWORD(wParam))) RunCommand(LOWORD(wParam), FocusPaneOf(GetFocus()));
      return true;
    case WM_TIMER:
      if (wParam != TFilterRow::kTimerId) return false;
      filters_.TimerFired();
      return true;
    case kMsgRefreshTextPane: RefreshTextPane(); return true;
    case WM_NOTIFY: return RouteNotify(reinterpret_cast<NMHDR*>(lParam), result);
    case WM_CTLCOLOREDIT: {
      const HBRUSH brush = EditColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
      *result = reinterpret_cast<LRESULT>(brush);
      return brush != nullptr;
    }
    default: return false;
  }
}

bool TJsonViewer::MouseMessage(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: return layout_.ButtonDown(GET_X_LPARAM(lParam));
    case WM_MOUSEMOVE: layout_.MouseMove(GET_X_LPARAM(lParam)); return true;
    case WM_LBUTTONUP: layout_.ButtonUp(); return true;
    case WM_CAPTURECHANGED: layout_.CaptureLost(); return true;
    default: return false;
  }
}

// WM_NOTIFY by source; false sends the message on to DefWindowProc.
bool TJsonViewer::RouteNotify(NMHDR* header, LRESULT* result) {
  if (!header) return false;
  if (header->hwndFrom == tree_.Window()) return tree_.Notify(header, result);
  if (grid_.Owns(header->hwndFrom)) return grid_.Notify(header, result);
  if (header->hwndFrom == tabs_.Window()) return tabs_.Notify(header);
  if (header->hwndFrom == status_.Window()) return status_.Notify(header);
  if (header->hwndFrom == text_.Window()) return text_.Notify(header, result);
  return false;
}

// The filter edits and the cell editor wear the theme's filter colours.
HBRUSH TJsonViewer::EditColours(HWND edit, HDC dc) {
  if (!editor_.Owns(edit) && !filters_.Owns(edit)) return nullptr;
  return filters_.ColourEdit(dc);
}

// ---- what the panes report ----------------------------------------------------

bool TJsonViewer::PaneKeyDown(int virtualKey) { return keys_.KeyDown(virtualKey); }

void TJsonViewer::PaneZoom(int wheelDelta) { ZoomFont(wheelDelta); }

void TJsonViewer::TreeSelectionChanged() { ShowSelectedNode(); }

// The text pane is shown and sized before the current cell's node is
// scrolled into view in it.
void TJsonViewer::TabSwitched() {
  const bool toText = tabs_.ActiveTab() == kTabText;
  if (!toText) FindTextSelectionInGrid();
  ShowTabContent();
  LayoutControls();
  if (toText) ShowCellInText();
  text_.ColourVisibleLines();
}

void TJsonViewer::GridCellClicked(int row, int column, bool doubleClick, bool alt) {
  SetCurrentCell(row, column, false);
  if (doubleClick) {
    if (editMode_)
      BeginCellEdit(row, column);
    else
      SelectNodeInTree(row);
  } else if (alt) {
    OpenLinkInCell();
  }
}

void TJsonViewer::GridRowSelected(int row) { SetCurrentCell(row, core_.CurrentColumn, false); }

void TJsonViewer::GridColumnClicked(int column) { ToggleSortColumn(column); }

void TJsonViewer::GridRowsMoving() { EndCellEditBeforeRowsMove(); }

void TJsonViewer::GridColumnsMoved() { PlaceFilterRow(); }

void TJsonViewer::GridHeaderChanged() {
  EndCellEdit(true);  // the cell under the editor changes its place
  PlaceFilterRow();
}

// The cell editor, a child of the grid, asks the main window for its
// colours like the filter edits do.
HBRUSH TJsonViewer::GridEditColours(HWND edit, HDC dc) {
  if (!editor_.Owns(edit)) return nullptr;
  return reinterpret_cast<HBRUSH>(
      SendMessageW(main_.Get(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
}

void TJsonViewer::FiltersTyped() { ApplyFilterEdits(false); }

void TJsonViewer::FilterEscape() { SetFocus(grid_.Window()); }

void TJsonViewer::StatusFlatPartClicked() {
  int level = 0;
  if (status_.ChooseFlatLevel(core_.FlatLevel, &level)) SetFlatLevel(level);
}

void TJsonViewer::SplitterMoved() { LayoutControls(); }

void TJsonViewer::CellEditClosed() { UpdateEditStatus(); }

}  // namespace corvane
