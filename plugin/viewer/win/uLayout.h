// The splitter and the layout: where the tree, the tab frame and the status
// bar go in the main window, the splitter strip between the tree and the
// tabs (dragged with the mouse, painted in the splitter colour with a line),
// and the drawing pause a layout runs under.
#pragma once

#include <windows.h>

#include "uPane.h"
#include "uViewerLayout.h"
#include "uViewerLook.h"

namespace corvane {

// What the splitter tells the viewer.
class ILayoutEvents : public IPaneHost {
 public:
  // The splitter was dragged to another position: lay the controls out.
  virtual void SplitterMoved() = 0;

 protected:
  ~ILayoutEvents() = default;
};

class TLayout {
 public:
  TLayout(ILayoutEvents& events, const TViewerLook& look) : events_(events), look_(look) {}
  TLayout(const TLayout&) = delete;
  TLayout& operator=(const TLayout&) = delete;

  void Attach(HWND main) { main_ = main; }
  int SplitterPosition() const { return position_; }
  void SetSplitterPosition(int position) { position_ = position; }
  // A DPI or font-size change scales the splitter with it.
  void Rescale(int newValue, int oldValue);
  // The rectangles of the main window's controls for its client size (the
  // splitter kept inside it).
  TMainLayout Arrange(int clientWidth, int clientHeight, int statusHeight);
  // Marks the splitter strip of a layout for painting.
  void InvalidateStrip(const TMainLayout& layout) const;

  // The main window's mouse messages over the strip; true when handled.
  bool SetCursorShape();
  bool ButtonDown(int x);
  void MouseMove(int x);
  void ButtonUp();
  void CaptureLost() { dragging_ = false; }
  // WM_ERASEBKGND / WM_PAINT of the main window: splitter colour and line.
  void EraseMainWindow(HDC dc) const;
  void PaintMainWindow() const;

 private:
  ILayoutEvents& events_;
  const TViewerLook& look_;
  HWND main_ = nullptr;
  int position_ = 0;
  bool dragging_ = false;
  int grab_ = 0;  // where in the strip the drag started
};

// While it lives, a visible window and its children draw nothing; then they
// are invalidated once, frames included. A control moved while it may draw
// repaints its frame and scroll bars at once, several times per move (the
// grid three times, 7 to 15 ms each under Wine); one repaint afterwards does
// it once. A hidden window is left as it is: switching its drawing back on
// would show it.
class TDrawingPause {
 public:
  explicit TDrawingPause(HWND window);
  ~TDrawingPause();
  TDrawingPause(const TDrawingPause&) = delete;
  TDrawingPause& operator=(const TDrawingPause&) = delete;

 private:
  HWND window_;
};

// DPI of a window: the per-window DPI function when the system has it, else
// the device context's logical pixels, else 96.
int WindowDpi(HWND window);

// A window's client rectangle.
TRect ClientRectOf(HWND window);

}  // namespace corvane
