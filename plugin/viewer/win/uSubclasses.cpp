#include "uSubclasses.h"

#include <commctrl.h>

#include "uCellEditor.h"
#include "uCommands.h"
#include "uJsonViewer.h"
#include "uTextPane.h"

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
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const bool fromChild =
      (message == WM_NOTIFY && header && header->hwndFrom != window) ||
      (message == WM_COMMAND && lParam != 0) || message == WM_CTLCOLOREDIT;
  if (!fromChild) return false;
  *result = SendMessageW(viewer.Window(), message, wParam, lParam);
  return true;
}

// An open cell edit is ended before the grid scrolls under it; the cell
// editor, a child of the grid, asks the main window for its colours like
// the filter edits.
bool GridHandler(void* owner, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (OfferToViewer(viewer, message, wParam, lParam)) return true;
  if (message == WM_HSCROLL || message == WM_VSCROLL || message == WM_MOUSEWHEEL) EndCellEditBeforeRowsMove(viewer);
  if (message != WM_CTLCOLOREDIT || reinterpret_cast<HWND>(lParam) != viewer.EditBox) return false;
  *result = SendMessageW(viewer.Window(), message, wParam, lParam);
  return *result != 0;
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
  Install(viewer, viewer.TextSubclass, viewer.Text, TextPaneSubclassHandler);
  Install(viewer, viewer.StatusSubclass, viewer.Status, Offered);
}

}  // namespace corvane
