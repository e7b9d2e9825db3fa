// The tab frame: the tab control ("Grid", "Text") on the right of the
// splitter. The grid, the text pane and the filter edits are its children;
// their notifications, commands and colour requests reach the tab control,
// which passes them on to the viewer's main window. It has no colours of its
// own, so it is painted here in the theme's colours (for WM_PRINTCLIENT too).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "uPane.h"
#include "uViewerLook.h"

namespace corvane {

// What the tab frame tells the viewer.
class ITabFrameEvents : public IPaneHost {
 public:
  // The user chose the other tab (ActiveTab() tells which).
  virtual void TabSwitched() = 0;

 protected:
  ~ITabFrameEvents() = default;
};

class TTabFrame {
 public:
  TTabFrame(ITabFrameEvents& events, const TViewerLook& look) : events_(events), look_(look) {}
  TTabFrame(const TTabFrame&) = delete;
  TTabFrame& operator=(const TTabFrame&) = delete;

  // The control (id 102) with its two tabs in the main window; raises
  // EViewerError.
  void Create(HWND main);
  void InstallSubclass();
  HWND Window() const { return tab_; }

  // Selects a tab; the control refuses an index it does not have and keeps
  // tab 0.
  void Select(int tabNo);
  int ActiveTab() const { return active_; }
  // Top of the display area below the tabs, in the control's client.
  int DisplayTop() const;
  void SetFont(HFONT font) { SetControlFont(tab_, font); }

  // WM_NOTIFY from the control; true when handled.
  bool Notify(NMHDR* header);

  void Detach() { subclass_.Remove(); }
  void Forget() { tab_ = nullptr; }

 private:
  static bool SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool PaintMessage(UINT message, WPARAM wParam, LRESULT* result) const;
  void Paint(HDC dc) const;
  void ReadSelection();

  ITabFrameEvents& events_;
  const TViewerLook& look_;
  HWND tab_ = nullptr;
  HWND main_ = nullptr;
  win::TSubclass subclass_;
  int active_ = 0;  // kTabGrid or kTabText
};

}  // namespace corvane
