// The filter row above the grid: one edit per grid column (identifiers
// 1000 + i, children of the tab control) laid over its column through
// reordering, resizing and scrolling, the typing delay (timer 1 on the main
// window, 250 ms) after which the typed filters are applied, and the
// colours of the viewer's edits.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "uPane.h"
#include "uViewerLook.h"
#include "uViewerLayout.h"

namespace corvane {

// What the filter row tells the viewer.
class IFilterRowEvents : public IPaneHost {
 public:
  // The typing delay passed: the typed filters are to be applied.
  virtual void FiltersTyped() = 0;
  // Escape in an edit: back to the grid.
  virtual void FilterEscape() = 0;

 protected:
  ~IFilterRowEvents() = default;
};

class TFilterRow {
 public:
  // Timer of the typing delay on the main window.
  static constexpr UINT_PTR kTimerId = 1;

  TFilterRow(IFilterRowEvents& events, const TViewerLook& look) : events_(events), look_(look) {}
  TFilterRow(const TFilterRow&) = delete;
  TFilterRow& operator=(const TFilterRow&) = delete;

  // Where the edits go (the tab control) and the window of the timer.
  void Attach(HWND parent, HWND timerWindow);
  // Destroys the edits and creates one per column; align is the
  // "filter-align" setting (below 0 left, 0 centred, above right).
  void Create(int columns, int align, bool darkStyle);
  int Count() const { return static_cast<int>(edits_.size()); }
  bool Owns(HWND window) const;

  // Puts each edit over its column (boxes from the grid, relative to the
  // edits' parent) at top; shown when the row is on and the grid's tab is.
  void Place(const std::vector<TRect>& columns, int top, bool gridShown);
  // Row height (the layout uses it too).
  int Height() const;
  bool Shown() const { return shown_; }
  void SetShown(bool shown) { shown_ = shown; }

  // The typed texts, one per edit (read even while the typing delay runs).
  std::vector<std::u16string> Texts() const;
  // Puts texts back into the edits without starting the typing delay.
  void SetTexts(const std::vector<std::u16string>& texts);

  // WM_COMMAND from an edit; true when it was one of them.
  bool Command(int id, int code);
  // Timer 1 fired.
  void TimerFired();
  void StopTimer() { timer_.Stop(); }

  // The theme's filter colours on an edit's device context; the brush, or
  // nullptr before the first theme was applied.
  HBRUSH ColourEdit(HDC dc) const;
  void ApplyColours();
  void ApplyStyle(bool dark);
  void SetFont(HFONT font);

  // Teardown: timer and subclasses first, the handles and the brush once
  // the windows are gone.
  void Detach();
  void Forget();

 private:
  static bool EditHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void PaintBorder(HWND edit) const;
  void Destroy();

  IFilterRowEvents& events_;
  const TViewerLook& look_;
  HWND parent_ = nullptr;
  HWND timerWindow_ = nullptr;
  std::vector<HWND> edits_;
  std::vector<std::unique_ptr<win::TSubclass>> subclasses_;
  win::TBrush brush_;
  win::TTimer timer_;
  bool shown_ = true;
  bool writing_ = false;  // the edits are changed by the viewer, not typed
};

}  // namespace corvane
