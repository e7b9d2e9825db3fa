// Commands, the keyboard map and the cell cursor.
#pragma once

#include <windows.h>

namespace corvane {

class TJsonViewer;

// WM_KEYDOWN from the main window and every subclassed control; true when
// the viewer handled the key (it is then not passed to the control).
bool HandleViewerKey(TJsonViewer& viewer, int virtualKey);
// Hands one of the host's lister keys back to the host's lister window.
bool ForwardKeyToHost(TJsonViewer& viewer, int virtualKey);
// Arrow keys in the grid.
bool MoveCellCursor(TJsonViewer& viewer, int virtualKey, bool ctrl);
// Moves the cell cursor (invalid rows and columns become -1), optionally
// scrolling the cell into view, and shows it in the status bar.
void SetCurrentCell(TJsonViewer& viewer, int row, int column, bool scroll);
// WM_COMMAND with a command identifier (menus, keys).
void RunCommand(TJsonViewer& viewer, int id);
// The user is told that an action was refused.
void RefusalBeep();

}  // namespace corvane
