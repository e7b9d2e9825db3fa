// The tree pane: one entry per node, filled lazily one level at a time.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace corvane {

class TJsonViewer;
class TJsonData;

// Deletes every entry, inserts and expands the root, makes the initial
// selection and shows the selected node.
void BuildTree(TJsonViewer& viewer);
// Fills an entry's children on its first expansion.
void ExpandEntry(TJsonViewer& viewer, HTREEITEM entry);
// The selected entry's node becomes current: grid, text pane and status bar.
void ShowSelectedNode(TJsonViewer& viewer);
// The node of the selected entry, or nullptr.
TJsonData* SelectedTreeNode(const TJsonViewer& viewer);
// Selects the entry of the node shown in a display row of the grid.
void SelectNodeInTree(TJsonViewer& viewer, int row);

// WM_NOTIFY from the tree; true when handled (*result is the answer).
// Gives node's entry, when it exists, the label of its (renamed) key; the
// tree keeps its entries, expansion and selection. With replaced, the entry
// of that node (a null filled in, whose place node took) stands for node.
void RelabelTreeEntry(TJsonViewer& viewer, TJsonData* node, const TJsonData* replaced = nullptr);

bool TreeNotify(TJsonViewer& viewer, NMHDR* header, LRESULT* result);

}  // namespace corvane
