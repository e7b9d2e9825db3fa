#include "uSubclasses.h"

#include <windows.h>
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

// Keys the viewer handles are swallowed; everything else goes on.
bool OfferKey(TJsonViewer& viewer, UINT message, WPARAM wParam) {
  return message == WM_KEYDOWN && HandleViewerKey(viewer, static_cast<int>(wParam));
}

bool KeysOnly(void* owner, HWND, UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  return OfferKey(*static_cast<TJsonViewer*>(owner), message, wParam);
}

// The grid and the filter edits are children of the tab control, so their
// notifications and commands arrive here: they go on to the main window,
// which routes them with everything else.
bool TabHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (OfferKey(viewer, message, wParam)) return true;
  if (TabPaintMessage(viewer, window, message, wParam, result)) return true;
  const bool fromChild =
      (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->hwndFrom != window) ||
      (message == WM_COMMAND && lParam != 0) || message == WM_CTLCOLOREDIT;
  if (!fromChild) return false;
  *result = SendMessageW(viewer.Window(), message, wParam, lParam);
  return true;
}

bool MovesColumns(UINT message) {
  return message == WM_HSCROLL || message == WM_MOUSEHWHEEL || message == LVM_SCROLL ||
         message == LVM_SETCOLUMNWIDTH;
}

// An open cell edit is committed before the grid scrolls under it; the
// filter edits follow the columns after a scroll or a width change; the
// header's painting is the viewer's.
bool GridHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->code != NM_CUSTOMDRAW || header->hwndFrom != GridHeader(viewer)) return false;
    *result = HeaderCustomDraw(viewer, reinterpret_cast<NMCUSTOMDRAW*>(header));
    return true;
  }
  if (message == WM_HSCROLL || message == WM_VSCROLL || message == WM_MOUSEWHEEL) EndCellEdit(viewer, true);
  if (OfferKey(viewer, message, wParam)) return true;
  if (!MovesColumns(message) || viewer.SizingColumns) return false;
  *result = viewer.GridSubclass.CallPrevious(window, message, wParam, lParam);
  PositionFilterEdits(viewer);
  return true;
}

bool StatusHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  return OfferKey(viewer, message, wParam) || StatusPaintMessage(viewer, window, message, wParam, result);
}

void Install(TJsonViewer& viewer, win::TSubclass& subclass, HWND control, THandler handler) {
  if (!subclass.Install(control, &viewer, handler)) throw EViewerError(u"cannot subclass a control");
}

}  // namespace

void InstallSubclasses(TJsonViewer& viewer) {
  Install(viewer, viewer.TreeSubclass, viewer.Tree, KeysOnly);
  Install(viewer, viewer.TabSubclass, viewer.Tab, TabHandler);
  Install(viewer, viewer.GridSubclass, viewer.Grid, GridHandler);
  Install(viewer, viewer.StatusSubclass, viewer.Status, StatusHandler);
}

}  // namespace corvane
