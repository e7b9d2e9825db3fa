// The tree pane: one entry per node, filled lazily one level at a time; a
// level of more than 1,000 children is shown through range entries
// "[0 … 999]" (uTreeRules).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>

#include "uPane.h"
#include "uTreeRules.h"
#include "uViewerLook.h"

namespace corvane {

class TJsonData;

// What the tree pane tells the viewer.
class ITreePaneEvents : public IPaneHost {
 public:
  // Another entry was selected (once at the end of a build).
  virtual void TreeSelectionChanged() = 0;

 protected:
  ~ITreePaneEvents() = default;
};

class TTreePane {
 public:
  TTreePane(ITreePaneEvents& events, const TViewerLook& look) : events_(events), look_(look) {}
  TTreePane(const TTreePane&) = delete;
  TTreePane& operator=(const TTreePane&) = delete;

  // The control (id 101) in parent; raises EViewerError.
  void Create(HWND parent);
  // Its subclass: keys and Ctrl+wheel go to the viewer first.
  void InstallSubclass();
  HWND Window() const { return tree_; }

  // Deletes every entry, inserts and expands the root, makes the initial
  // selection (the first child for a flat level of 1 or 2 unless the viewer
  // always starts at the root) and reports the selection once.
  void Build(TJsonData* root, int flatLevel, bool alwaysStartAtRoot);
  // The node of the selected entry, or nullptr.
  TJsonData* SelectedNode() const;
  // Selects node's entry, filling the levels on the way, scrolls it into
  // view and takes the focus.
  void SelectNode(const TJsonData* node);
  // Gives node's entry, when it exists, the label of its (renamed) key; the
  // tree keeps its entries, expansion and selection. With replaced, the entry
  // of that node (a null filled in, whose place node took) stands for node.
  void Relabel(TJsonData* node, const TJsonData* replaced = nullptr);
  void ApplyColours();
  void Repaint();

  // WM_NOTIFY from the control; true when handled (*result is the answer).
  bool Notify(NMHDR* header, LRESULT* result);

  // Teardown: the subclass goes first, the handle once the windows are gone.
  void Detach() { subclass_.Remove(); }
  void Forget() { tree_ = nullptr; }

 private:
  static bool SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void Expand(HTREEITEM entry);
  HTREEITEM FindEntry(const TJsonData* node, bool expand) const;
  LRESULT PaintEntry(NMTVCUSTOMDRAW* draw) const;

  ITreePaneEvents& events_;
  const TViewerLook& look_;
  HWND tree_ = nullptr;
  win::TSubclass subclass_;
  TJsonData* root_ = nullptr;
  bool building_ = false;  // selection changes are reported once at the end
  // What the range entries stand for; an entry keeps the address of its
  // record (a deque never moves them), all dropped with the entries.
  std::deque<TTreeRange> ranges_;
};

}  // namespace corvane
