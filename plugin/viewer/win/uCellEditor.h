// The cell editor: an "EDIT" control (id 106) laid over a grid cell, a
// child of the grid, and the session of the open edit.
//
// It is opened on a node (TCellEditTarget, uCellEdit.h) and commits against
// that node, whatever the grid shows meanwhile; every operation that moves
// the grid's rows ends it first (committing it, or dropping it when the
// commit is refused). A refused commit keeps the box open with the reason
// in the status bar; when the focus had moved to another pane of the same
// viewer the box takes it back through a posted message, and never when it
// went outside the viewer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "uCellEdit.h"
#include "uPane.h"
#include "uViewerLook.h"

namespace corvane {

// What the cell editor tells the viewer.
class ICellEditorEvents : public IPaneHost {
 public:
  // The typed text is to be given to the target's node; false when it was
  // refused (the viewer shows why).
  virtual bool CellEditCommit(const TCellEditTarget& target, const std::u16string& text) = 0;
  // The box closed, committed or dropped.
  virtual void CellEditClosed() = 0;

 protected:
  ~ICellEditorEvents() = default;
};

class TCellEditor {
 public:
  TCellEditor(ICellEditorEvents& events, const TViewerLook& look) : events_(events), look_(look) {}
  TCellEditor(const TCellEditor&) = delete;
  TCellEditor& operator=(const TCellEditor&) = delete;

  // The viewer's main window: focus inside it is focus in the viewer.
  void Attach(HWND main) { main_ = main; }
  bool IsOpen() const { return box_ != nullptr; }
  HWND Window() const { return box_; }
  bool Owns(HWND window) const { return window && window == box_; }

  // Opens the box over cell (in parent, the grid) on target, its text
  // selected and focused; false when no box holds the text unchanged.
  bool Open(HWND parent, const RECT& cell, const TCellEditTarget& target);
  // Ends the open edit, committing the typed text or dropping it; a refused
  // commit keeps the box open. focus is where the keyboard focus is (or
  // goes, when the box is losing it).
  void End(bool commit, HWND focus);
  // Before the grid's rows move: commits the open edit, or drops it when
  // refused; a text refused a moment ago is dropped without asking again.
  void EndBeforeRowsMove();
  void SetFont(HFONT font) { SetControlFont(box_, font); }
  void ApplyStyle(bool dark) { SetControlStyle(box_, dark); }

  // The box went with its parents.
  void Forget() { box_ = nullptr; }

 private:
  static bool SubclassHandler(void* owner, HWND box, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool Key(WPARAM key);
  bool InsideViewer(HWND window) const;
  void TakeFocusBack(HWND focus) const;
  void Refocus();
  void Close(bool focusWasInBox);

  ICellEditorEvents& events_;
  const TViewerLook& look_;
  HWND main_ = nullptr;
  HWND box_ = nullptr;     // while an edit is open
  HWND parent_ = nullptr;  // the grid the box lies on
  win::TSubclass subclass_;
  TCellEditTarget target_;      // what the open edit is on
  bool ending_ = false;         // End is running (focus changes re-enter)
  bool swallowChar_ = false;    // the viewer handled the last key: drop its character
  std::optional<std::u16string> refusedText_;  // the text whose commit was refused last
};

}  // namespace corvane
