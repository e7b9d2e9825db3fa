// Owners of the Windows resources a viewer creates: fonts, brushes, pens,
// bitmaps, menus, timers, subclassed controls, its main window and the
// window's user-data slot. Each owner releases its resource when it is
// reset or destroyed, so a viewer whose creation fails part-way releases
// everything it made just by being destroyed, and each counts its live
// resources per kind, so a test can check that nothing outlives its viewer
// (the system's own GDI counters are not available everywhere).
#pragma once

#include <windows.h>

#include <utility>

namespace corvane::win {

enum class TResourceKind : int {
  Font, Brush, Pen, Bitmap, Menu, Timer, Subclass, Window, UserData, Viewer, Count
};

// Live resources of a kind in this module.
int LiveCount(TResourceKind kind);
void CountCreated(TResourceKind kind);
void CountReleased(TResourceKind kind);

// A GDI object of one kind: owns the handle, deletes it on Reset or when
// destroyed. Replace() takes a new handle and returns the old one still
// alive, so a control can be given the new object before the old goes.
template <typename H, TResourceKind K>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(H handle) { Adopt(handle); }
  ~TGdiObject() { Reset(); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void Reset() {
    if (!handle_) return;
    DeleteObject(handle_);
    handle_ = nullptr;
    CountReleased(K);
  }
  // Takes ownership of a freshly created handle (nullptr is ignored).
  void Adopt(H handle) {
    Reset();
    handle_ = handle;
    if (handle_) CountCreated(K);
  }

 private:
  H handle_ = nullptr;
};

using TFont = TGdiObject<HFONT, TResourceKind::Font>;
using TBrush = TGdiObject<HBRUSH, TResourceKind::Brush>;
using TPen = TGdiObject<HPEN, TResourceKind::Pen>;
using TBitmap = TGdiObject<HBITMAP, TResourceKind::Bitmap>;

// A popup menu, destroyed with its owner.
class TMenu {
 public:
  TMenu() = default;
  explicit TMenu(HMENU menu) { Adopt(menu); }
  ~TMenu() { Reset(); }
  TMenu(const TMenu&) = delete;
  TMenu& operator=(const TMenu&) = delete;
  HMENU Get() const { return menu_; }
  void Adopt(HMENU menu);
  void Reset();
  // Gives up ownership (the caller destroys the menu).
  HMENU Release();

 private:
  HMENU menu_ = nullptr;
};

// A window timer with a fixed identifier on one window.
class TTimer {
 public:
  TTimer() = default;
  ~TTimer() { Stop(); }
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;
  // (Re)starts the timer; false when the system refused it.
  bool Start(HWND window, UINT_PTR id, UINT milliseconds);
  void Stop();
  bool Running() const { return window_ != nullptr; }

 private:
  HWND window_ = nullptr;
  UINT_PTR id_ = 0;
};

// A top-level-of-the-viewer window, destroyed with its owner.
class TOwnedWindow {
 public:
  TOwnedWindow() = default;
  ~TOwnedWindow() { Destroy(); }
  TOwnedWindow(const TOwnedWindow&) = delete;
  TOwnedWindow& operator=(const TOwnedWindow&) = delete;
  HWND Get() const { return window_; }
  void Adopt(HWND window);
  // Destroys the window unless it is gone already.
  void Destroy();
  // The window was destroyed by someone else: forget it.
  void Forget();

 private:
  HWND window_ = nullptr;
};

// The window's user-data slot pointing at its viewer; cleared on Reset.
class TUserDataSlot {
 public:
  TUserDataSlot() = default;
  ~TUserDataSlot() { Reset(); }
  TUserDataSlot(const TUserDataSlot&) = delete;
  TUserDataSlot& operator=(const TUserDataSlot&) = delete;
  void Bind(HWND window, void* value);
  void Reset();

 private:
  HWND window_ = nullptr;
};

// A control subclassed with SetWindowLongPtr: every message goes to a
// handler first; what it does not consume goes to the control's previous
// window procedure. The owner is found from the control through a window
// property. Remove() puts the previous procedure back.
class TSubclass {
 public:
  // Returns true when the message was consumed (*result is the answer).
  using THandler = bool (*)(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* result);

  TSubclass() = default;
  ~TSubclass() { Remove(); }
  TSubclass(const TSubclass&) = delete;
  TSubclass& operator=(const TSubclass&) = delete;

  // False when the control could not be subclassed (nothing is changed).
  bool Install(HWND control, void* owner, THandler handler);
  void Remove();
  HWND Control() const { return control_; }
  // Hands a message to the control's previous procedure.
  LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND control_ = nullptr;
  WNDPROC previous_ = nullptr;
  void* owner_ = nullptr;
  THandler handler_ = nullptr;
};

// Counts a viewer's life for the leak checks.
struct TViewerCounter {
  TViewerCounter() { CountCreated(TResourceKind::Viewer); }
  ~TViewerCounter() { CountReleased(TResourceKind::Viewer); }
  TViewerCounter(const TViewerCounter&) = delete;
  TViewerCounter& operator=(const TViewerCounter&) = delete;
};

}  // namespace corvane::win
