// Edit mode, the in-place cell editor, saving and the question on close.
//
// The cell editor is an "EDIT" control (id 106) laid over a grid cell, a
// child of the grid. It is opened on a node (TCellEditTarget, uCellEdit.h)
// and commits against that node, whatever the grid shows meanwhile; every
// operation that moves the grid's rows ends it first (committing it, or
// dropping it when the commit is refused). A refused commit keeps the box
// open with the reason in the status bar; when the focus had moved to
// another pane of the same viewer the box takes it back through a posted
// message, and never when it went outside the viewer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "uCellEdit.h"
#include "uWinResources.h"

namespace corvane {

class TJsonViewer;

// Private message to the cell editor: take the focus back after a refused
// commit on focus loss.
constexpr UINT kMsgRefocusCellEdit = WM_USER + 3;

// The open cell edit (while TJsonViewer::EditBox is set).
struct TCellEditSession {
  TCellEditTarget Target;
  int Row = -1;
  int Column = -1;
  bool Ending = false;          // EndCellEdit is running (focus changes re-enter)
  bool SwallowChar = false;     // the viewer handled the last key: drop its character
  std::optional<std::u16string> RefusedText;  // the text whose commit was refused last
  win::TSubclass Subclass;
};

// Ctrl+E, Ctrl+R and command 5009.
void ToggleEditMode(TJsonViewer& viewer);
// Enter on a cell and a double-click in edit mode.
void BeginCellEdit(TJsonViewer& viewer, int row, int column);
// Ends an open cell edit, committing the typed text or dropping it; a
// refused commit keeps the box open.
void EndCellEdit(TJsonViewer& viewer, bool commit);
// Before the grid's rows move (filter pass, sort, table rebuild, tree
// selection, scrolling): commits the open edit, or drops it when refused.
void EndCellEditBeforeRowsMove(TJsonViewer& viewer);
// Applies typed text to the open edit's node; false (with the reason in the
// status bar) when refused.
bool CommitCellEdit(TJsonViewer& viewer, const std::u16string& text);
// Ctrl+S and command 5019.
bool SaveChanges(TJsonViewer& viewer);
// Before the viewer closes: drops a refused edit, offers to save unsaved
// edits and shows a failed save in a message box.
void AskSaveBeforeClose(TJsonViewer& viewer);
// Commands 5013-5015 (insert row, delete row, delete column): never
// available; a beep and " READ ONLY".
void RefuseStructuralCommand(TJsonViewer& viewer);

}  // namespace corvane
