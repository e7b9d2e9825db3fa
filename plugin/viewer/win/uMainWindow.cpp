#include "uMainWindow.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "uCommands.h"
#include "uContextMenu.h"
#include "uFilterRow.h"
#include "uGridPane.h"
#include "uGuard.h"
#include "uJsonViewer.h"
#include "uLayout.h"
#include "uStatusBar.h"
#include "uTextPane.h"
#include "uThemePaint.h"
#include "uTreePane.h"
#include "uViewerCommands.h"
#include "uViewerLifetime.h"

namespace corvane {

namespace {

const wchar_t kClassName[] = L"CorvaneViewer";
bool gClassRegistered = false;

bool CtrlHeld(WPARAM wParam) {
  return (GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
}

bool TabNotify(TJsonViewer& viewer, NMHDR* header) {
  if (header->code != TCN_SELCHANGE) return false;
  SwitchTab(viewer);
  return true;
}

// WM_NOTIFY by source; false sends the message on to DefWindowProc.
bool RouteNotify(TJsonViewer& viewer, NMHDR* header, LRESULT* result) {
  if (!header) return false;
  if (header->hwndFrom == viewer.Tree) return TreeNotify(viewer, header, result);
  if (header->hwndFrom == viewer.Grid || header->hwndFrom == GridHeader(viewer))
    return GridNotify(viewer, header, result);
  if (header->hwndFrom == viewer.Tab) return TabNotify(viewer, header);
  if (header->hwndFrom == viewer.Status) return StatusNotify(viewer, header, result);
  return false;
}

void RouteCommand(TJsonViewer& viewer, WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (FilterEditCommand(viewer, id, HIWORD(wParam))) return;
  RunCommand(viewer, id);
}

bool MouseMessage(TJsonViewer& viewer, UINT message, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: return SplitterButtonDown(viewer, GET_X_LPARAM(lParam));
    case WM_MOUSEMOVE: SplitterMouseMove(viewer, GET_X_LPARAM(lParam)); return true;
    case WM_LBUTTONUP: SplitterButtonUp(viewer); return true;
    case WM_CAPTURECHANGED: SplitterCaptureLost(viewer); return true;
    default: return false;
  }
}

// One message for a live viewer; false lets DefWindowProc answer.
bool HandleMessage(TJsonViewer& viewer, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (MouseMessage(viewer, message, lParam)) return true;
  switch (message) {
    case WM_SIZE: LayoutControls(viewer); return true;
    case WM_SETFOCUS: FocusContent(viewer); return true;
    case WM_ERASEBKGND: EraseMainWindow(viewer, reinterpret_cast<HDC>(wParam)); *result = 1; return true;
    case WM_PAINT: PaintMainWindow(viewer); return true;
    case WM_SETCURSOR: *result = 1; return SplitterSetCursor(viewer);
    case WM_MOUSEWHEEL:
      if (!CtrlHeld(wParam)) return false;
      ZoomFont(viewer, GET_WHEEL_DELTA_WPARAM(wParam));
      return true;
    case WM_DPICHANGED: ChangeDpi(viewer, LOWORD(wParam)); return true;
    case WM_KEYDOWN: return HandleViewerKey(viewer, static_cast<int>(wParam));
    case WM_CONTEXTMENU: ShowContextMenu(viewer, lParam); return true;
    case WM_COMMAND: RouteCommand(viewer, wParam); return true;
    case WM_TIMER:
      if (wParam != kFilterTimerId) return false;
      FilterTimerFired(viewer);
      return true;
    case kMsgRefreshTextPane: RefreshTextPane(viewer); return true;
    case WM_NOTIFY: return RouteNotify(viewer, reinterpret_cast<NMHDR*>(lParam), result);
    case WM_CTLCOLOREDIT: {
      HBRUSH brush = FilterEditColours(viewer, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
      *result = reinterpret_cast<LRESULT>(brush);
      return brush != nullptr;
    }
    default: return false;
  }
}

}  // namespace

HINSTANCE PluginInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&PluginInstance), &module);
  return module;
}

const wchar_t* ViewerClassName() { return kClassName; }

bool RegisterViewerClass() {
  if (gClassRegistered) return true;
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = ViewerWindowProc;
  cls.hInstance = PluginInstance();
  cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  cls.lpszClassName = kClassName;
  gClassRegistered = RegisterClassExW(&cls) != 0;
  return gClassRegistered;
}

void UnregisterViewerClass() {
  if (gClassRegistered) UnregisterClassW(kClassName, PluginInstance());
  gClassRegistered = false;
}

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TPluginFrame frame;
  // Only windows of this class come here; the slot is set right after the
  // window is created and cleared before the viewer lets it go.
  auto* viewer = reinterpret_cast<TJsonViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (viewer && message == WM_NCDESTROY) {
    // The host destroyed the window without closing the viewer first.
    win::GuardedVoid([&] {
      viewer->WindowDestroyed();
      RetireViewer(viewer);
    });
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (!viewer) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  const bool handled =
      win::Guarded(false, [&] { return HandleMessage(*viewer, message, wParam, lParam, &result); });
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace corvane
