// The context menu, the same from every pane: its entries and their states
// come from the window-free rules (uViewerCommands) for the viewer's state
// the viewer describes; the chosen entry is handed back to the viewer.
#pragma once

#include <windows.h>

#include "uPane.h"
#include "uViewerCommands.h"

namespace corvane {

// What the context menu asks of the viewer: only its modal loop.
class IContextMenuEvents : public IPaneHost {
 protected:
  ~IContextMenuEvents() = default;
};

class TContextMenu {
 public:
  explicit TContextMenu(IContextMenuEvents& events) : events_(events) {}
  TContextMenu(const TContextMenu&) = delete;
  TContextMenu& operator=(const TContextMenu&) = delete;

  // The menu for a state; the caller owns it.
  static HMENU Build(const TContextMenuState& state);
  // Opens the menu at a screen point, owned by window; the chosen command,
  // or 0 when nothing was chosen or the viewer began closing inside the
  // loop (nothing of the pane is used after it).
  int Show(HWND owner, POINT at, const TContextMenuState& state);

 private:
  IContextMenuEvents& events_;
};

}  // namespace corvane
