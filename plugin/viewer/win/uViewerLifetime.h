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
// modal loop (TJsonViewer's RunModal, which every pane's loop goes through)
// checks whether the viewer began closing and, when it did, touches nothing
// more of it (its windows are gone; the object is still valid).
#pragma once

namespace corvane {

class TJsonViewer;

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

}  // namespace corvane
