#include "uWinResources.h"

#include <atomic>

#include "uGuard.h"
#include "uViewerLifetime.h"

namespace corvane::win {

namespace {

std::atomic<int> gLive[static_cast<int>(TResourceKind::Count)];

// Property on a subclassed control naming its TSubclass.
const wchar_t kSubclassProperty[] = L"corvane.subclass";

}  // namespace

int LiveCount(TResourceKind kind) {
  const int index = static_cast<int>(kind);
  return index >= 0 && index < static_cast<int>(TResourceKind::Count) ? gLive[index].load() : 0;
}

void CountCreated(TResourceKind kind) { ++gLive[static_cast<int>(kind)]; }
void CountReleased(TResourceKind kind) { --gLive[static_cast<int>(kind)]; }

namespace {
std::atomic<int> gCaught{0};
}  // namespace

void CountCaughtException() noexcept { ++gCaught; }
int CaughtExceptionCount() noexcept { return gCaught.load(); }

// ---- menu -------------------------------------------------------------------

void TMenu::Adopt(HMENU menu) {
  Reset();
  menu_ = menu;
  if (menu_) CountCreated(TResourceKind::Menu);
}

void TMenu::Reset() {
  if (!menu_) return;
  DestroyMenu(menu_);
  menu_ = nullptr;
  CountReleased(TResourceKind::Menu);
}

HMENU TMenu::Release() {
  if (menu_) CountReleased(TResourceKind::Menu);
  return std::exchange(menu_, nullptr);
}

// ---- timer ------------------------------------------------------------------

bool TTimer::Start(HWND window, UINT_PTR id, UINT milliseconds) {
  Stop();
  if (!window || !SetTimer(window, id, milliseconds, nullptr)) return false;
  window_ = window;
  id_ = id;
  CountCreated(TResourceKind::Timer);
  return true;
}

void TTimer::Stop() {
  if (!window_) return;
  KillTimer(window_, id_);
  window_ = nullptr;
  CountReleased(TResourceKind::Timer);
}

// ---- window and user data ---------------------------------------------------

void TOwnedWindow::Adopt(HWND window) {
  Destroy();
  window_ = window;
  if (window_) CountCreated(TResourceKind::Window);
}

void TOwnedWindow::Destroy() {
  if (!window_) return;
  if (IsWindow(window_)) DestroyWindow(window_);
  Forget();
}

void TOwnedWindow::Forget() {
  if (!window_) return;
  window_ = nullptr;
  CountReleased(TResourceKind::Window);
}

void TUserDataSlot::Bind(HWND window, void* value) {
  Reset();
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(value));
  window_ = window;
  CountCreated(TResourceKind::UserData);
}

void TUserDataSlot::Reset() {
  if (!window_) return;
  if (IsWindow(window_)) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  CountReleased(TResourceKind::UserData);
}

// ---- subclass ---------------------------------------------------------------

bool TSubclass::Install(HWND control, void* owner, THandler handler) {
  Remove();
  if (!control || !SetPropW(control, kSubclassProperty, this)) return false;
  const LONG_PTR previous =
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TSubclass::Procedure));
  if (!previous) {
    RemovePropW(control, kSubclassProperty);
    return false;
  }
  control_ = control;
  previous_ = reinterpret_cast<WNDPROC>(previous);
  owner_ = owner;
  handler_ = handler;
  CountCreated(TResourceKind::Subclass);
  return true;
}

void TSubclass::Remove() {
  if (!control_) return;
  if (IsWindow(control_)) {
    SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropW(control_, kSubclassProperty);
  }
  control_ = nullptr;
  previous_ = nullptr;
  CountReleased(TResourceKind::Subclass);
}

LRESULT TSubclass::CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  return CallWindowProcW(previous_, window, message, wParam, lParam);
}

LRESULT CALLBACK TSubclass::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TPluginFrame frame;
  auto* self = static_cast<TSubclass*>(GetPropW(window, kSubclassProperty));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // A control being destroyed takes its original procedure back first, so
  // nothing of the plug-in runs for it afterwards.
  const WNDPROC previous = self->previous_;
  if (message == WM_NCDESTROY) {
    self->Remove();
    return CallWindowProcW(previous, window, message, wParam, lParam);
  }
  LRESULT result = 0;
  const bool consumed = Guarded(false, [&] {
    return self->handler_ && self->handler_(self->owner_, window, message, wParam, lParam, &result);
  });
  if (consumed) return result;
  // The handler may have destroyed the control (a cell editor closing on its
  // own key) or dropped its subclass, so self is not used from here; a
  // destroyed control has nothing left to do.
  if (!IsWindow(window)) return result;
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace corvane::win
