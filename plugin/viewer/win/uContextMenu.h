// The context menu, the same from every pane.
#pragma once

#include <windows.h>

#include "uViewerCommands.h"

namespace corvane {

class TJsonViewer;

// What the menu's states depend on, read from the viewer now.
TContextMenuState ContextMenuStateOf(const TJsonViewer& viewer);
// Builds a popup menu from entries; the caller owns (destroys) it.
HMENU BuildMenu(const std::vector<TMenuEntry>& entries);
// The viewer's context menu as it would open now; the caller owns it.
HMENU BuildContextMenu(const TJsonViewer& viewer);
// WM_CONTEXTMENU: picks the column under the mouse, opens the menu at the
// mouse (or, from the keyboard, at the current cell) and lets the chosen
// entry arrive as WM_COMMAND.
void ShowContextMenu(TJsonViewer& viewer, LPARAM position);

}  // namespace corvane
