// When a viewer may go, and how it closes.
//
// A viewer can be asked to go while code of the plug-in further up the stack
// is still working on it: a context menu, the flat-level popup or a message
// box runs a modal loop that dispatches the host's messages, and one of them
// may close the lister (ListCloseWindow) or destroy its window. Deleting the
// viewer then would pull it from under that loop's feet. So every entry into
// the plug-in (the exports, the main window's procedure, every subclass
// procedure) holds a TPluginFrame, and a viewer retired while any frame is
// active is deleted only when the outermost frame returns. Code that ran a
// modal loop checks Closing afterwards and, when set, touches nothing more
// of the viewer (its windows are gone; the object is still valid).
#pragma once

#include <utility>

#include "uJsonViewer.h"

namespace corvane {

// One entry into the plug-in on the GUI thread.
class TPluginFrame {
 public:
  TPluginFrame();
  ~TPluginFrame();
  TPluginFrame(const TPluginFrame&) = delete;
  TPluginFrame& operator=(const TPluginFrame&) = delete;
};

// Deletes viewer now when no frame is active, else when the outermost frame
// returns. The viewer must already be shut down (or be shut down by its
// destructor without needing its windows).
void RetireViewer(TJsonViewer* viewer);

// ListCloseWindow: ends an open menu of the viewer, drops a refused cell
// edit, asks about unsaved edits, destroys the windows (writing the view
// settings back) and retires the object. Nothing when it is closing already
// (a close asked again from inside the question's own message box).
void CloseViewer(TJsonViewer& viewer);

// Runs a modal loop of the viewer (a menu, a popup, a message box). While a
// menu's loop runs the viewer counts it, so a close from inside ends the menu
// first. Returns false when the viewer began closing meanwhile: the caller
// must then leave the viewer alone.
template <typename F>
bool RunModal(TJsonViewer& viewer, bool menu, F&& body) {
  if (menu) ++viewer.MenuLoops;
  struct TCount {
    TJsonViewer& Viewer;
    bool Menu;
    ~TCount() {
      if (Menu) --Viewer.MenuLoops;
    }
  } count{viewer, menu};
  std::forward<F>(body)();
  return !viewer.Closing;
}

}  // namespace corvane
