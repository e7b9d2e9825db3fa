#include "uSubclasses.h"

#include <commctrl.h>

#include "uCellEditor.h"
#include "uCommands.h"
#include "uFilterRow.h"
#include "uGridPaint.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uThemePaint.h"

namespace corvane {

namespace {

using THandler = win::TSubclass::THandler;

bool CtrlWheel(UINT message, WPARAM wParam) {
  return message == WM_MOUSEWHEEL &&
         ((GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0);
}

bool Offered(void* owner, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) {
  return OfferToViewer(*static_cast<TJsonViewer*>(owner), message, wParam, lParam);
}

// The grid and the filter edits are children of the tab control, so their
// notifications and commands arrive here: they go on to the main window,
// which routes them with everything else.
bool TabHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (OfferToViewer(viewer, message, wParam, lParam)) return true;
  if (TabPaintMessage(viewer, window, message, wParam, result)) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const bool fromChild =
      (message == WM_NOTIFY && header && header->hwndFrom != window) ||
      (message == WM_COMMAND && lParam != 0) || message == WM_CTLCOLOREDIT;
  if (!fromChild) return false;
  *result = SendMessageW(viewer.Window(), message, wParam, lParam);
  return true;
}

bool MovesColumns(UINT message) {
  return message == WM_HSCROLL || message == WM_MOUSEHWHEEL || message == LVM_SCROLL ||
         message == LVM_SETCOLUMNWIDTH;
}

// An open cell edit is ended before the grid scrolls under it or its columns
// move; the cell editor, a child of the grid, asks the main window for its
// colours like the filter edits; the filter edits follow the columns after a
// scroll or a width change; the header's painting is the viewer's.
bool GridHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->code != NM_CUSTOMDRAW || header->hwndFrom != GridHeader(viewer)) return false;
    *result = HeaderCustomDraw(viewer, reinterpret_cast<NMCUSTOMDRAW*>(header));
    return true;
  }
  if (OfferToViewer(viewer, message, wParam, lParam)) return true;
  if (message == WM_VSCROLL || message == WM_MOUSEWHEEL || MovesColumns(message)) EndCellEditBeforeRowsMove(viewer);
  if (message == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lParam) == viewer.EditBox && viewer.EditBox) {
    *result = SendMessageW(viewer.Window(), message, wParam, lParam);
    return *result != 0;
  }
  if (!MovesColumns(message) || viewer.SizingColumns) return false;
  *result = viewer.GridSubclass.CallPrevious(window, message, wParam, lParam);
  PositionFilterEdits(viewer);
  return true;
}

bool StatusHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  return OfferToViewer(viewer, message, wParam, lParam) ||
         StatusPaintMessage(viewer, window, message, wParam, result);
}

void Install(TJsonViewer& viewer, win::TSubclass& subclass, HWND control, THandler handler) {
  if (!subclass.Install(control, &viewer, handler)) throw EViewerError(u"cannot subclass a control");
}

}  // namespace

bool OfferToViewer(TJsonViewer& viewer, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) return HandleViewerKey(viewer, static_cast<int>(wParam));
  if (!CtrlWheel(message, wParam)) return false;
  SendMessageW(viewer.Window(), WM_MOUSEWHEEL, wParam, lParam);
  return true;
}

void InstallSubclasses(TJsonViewer& viewer) {
  Install(viewer, viewer.TreeSubclass, viewer.Tree, Offered);
  Install(viewer, viewer.TabSubclass, viewer.Tab, TabHandler);
  Install(viewer, viewer.GridSubclass, viewer.Grid, GridHandler);
  Install(viewer, viewer.StatusSubclass, viewer.Status, StatusHandler);
}

}  // namespace corvane
