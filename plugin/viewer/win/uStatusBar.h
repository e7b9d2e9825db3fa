// The status bar: seven parts (encoding, depth, kind, flat level, rows, cell
// cursor, edit state) painted in the theme's colours from the texts it
// holds, a tooltip with the whole text of a part it does not fit, and the
// flat-level popup over part 3.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>

#include "uPane.h"
#include "uViewerLook.h"

namespace corvane {

constexpr int kStatusPartFlat = 3;
constexpr int kStatusPartCursor = 5;
constexpr int kStatusPartEdit = 6;

// What the status bar tells the viewer.
class IStatusBarEvents : public IPaneHost {
 public:
  // The flat-level part was clicked.
  virtual void StatusFlatPartClicked() = 0;

 protected:
  ~IStatusBarEvents() = default;
};

class TStatusBar {
 public:
  TStatusBar(IStatusBarEvents& events, const TViewerLook& look) : events_(events), look_(look) {}
  TStatusBar(const TStatusBar&) = delete;
  TStatusBar& operator=(const TStatusBar&) = delete;

  // The flat-level popup, its entries for the current level.
  void CreateFlatMenu(int flatLevel);
  // The control (id 105) in the main window; raises EViewerError.
  void Create(HWND main);
  void InstallSubclass();
  HWND Window() const { return bar_; }

  void SetText(int part, const std::u16string& text);
  // Part widths from their templates in the main font, and the bar's height.
  void LayoutParts();
  // Only parts 0 and 6 speak (a document that did not load): the others
  // give their width to the message.
  void SetMessageOnly(bool messageOnly) {
    messageOnly_ = messageOnly;
    LayoutParts();
  }
  void SetMinHeight();
  // Lets the bar take its height at the bottom; its height then.
  int Resize();
  void SetFont(HFONT font) { SetControlFont(bar_, font); }
  void ApplyStyle(bool dark) { SetControlStyle(bar_, dark); }

  // Opens the flat-level popup over part 3 with flatLevel checked; false
  // when nothing was chosen or the viewer closed meanwhile.
  bool ChooseFlatLevel(int flatLevel, int* chosenLevel);

  // WM_NOTIFY from the control; true when handled.
  bool Notify(NMHDR* header);

  void Detach() { subclass_.Remove(); }
  void Forget();

 private:
  static bool SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void Paint(HDC dc) const;
  void UpdateTip(int part);
  void UpdateTips();

  IStatusBarEvents& events_;
  const TViewerLook& look_;
  HWND bar_ = nullptr;
  HWND main_ = nullptr;
  win::TSubclass subclass_;
  win::TMenu flatMenu_;
  // What the parts show; painted from here, never from a fixed buffer:
  // part 6 may hold a parser message or a long translation.
  std::array<std::u16string, 7> texts_;
  bool messageOnly_ = false;
};

}  // namespace corvane
