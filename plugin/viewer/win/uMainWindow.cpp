#include "uMainWindow.h"

#include "uGuard.h"
#include "uJsonViewer.h"
#include "uPane.h"
#include "uViewerLifetime.h"

namespace corvane {

namespace {

const wchar_t kClassName[] = L"CorvaneViewer";
bool gClassRegistered = false;

}  // namespace

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
      win::Guarded(false, [&] { return viewer->HandleMessage(message, wParam, lParam, &result); });
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace corvane
