#include "uTreePane.h"

#include "uCellEditor.h"
#include "uFilterRow.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uStatusBar.h"
#include "uTextPane.h"
#include "uTreeRules.h"

namespace corvane {

namespace {

const wchar_t kPlaceholder[] = L"...";

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

TJsonData* NodeOf(HWND tree, HTREEITEM item) {
  if (!item) return nullptr;
  TVITEMW entry{};
  entry.mask = TVIF_PARAM;
  entry.hItem = item;
  if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry))) return nullptr;
  return reinterpret_cast<TJsonData*>(entry.lParam);
}

HTREEITEM InsertRaw(HWND tree, HTREEITEM parent, const wchar_t* label, TJsonData* node) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<LPWSTR>(label);
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Appends an entry for node; a container with children gets the placeholder
// that shows the expand button until the entry is first expanded.
HTREEITEM InsertEntry(HWND tree, HTREEITEM parent, TJsonData* node, const std::u16string& label) {
  HTREEITEM item = InsertRaw(tree, parent, reinterpret_cast<LPCWSTR>(label.c_str()), node);
  if (item && HasTreeChildren(node)) InsertRaw(tree, item, kPlaceholder, nullptr);
  return item;
}

HTREEITEM NthChild(HWND tree, HTREEITEM parent, int index) {
  HTREEITEM item = NextItem(tree, parent, TVGN_CHILD);
  for (int i = 0; item && i < index; ++i) item = NextItem(tree, item, TVGN_NEXT);
  return item;
}

void SelectEntry(HWND tree, HTREEITEM item) {
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

bool CtrlShiftHeld() {
  return (GetKeyState(VK_CONTROL) & 0x8000) != 0 && (GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

// The selected entry of a tree without the focus is drawn in the theme's
// text colour on its second background colour. The control's own colours for
// it ignore the theme: in the dark theme the label was light text on a light
// box, unreadable. The focused selection keeps the system highlight.
LRESULT PaintTreeEntry(const TJsonViewer& viewer, NMTVCUSTOMDRAW* draw) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.uItemState & CDIS_SELECTED) &&
      GetFocus() != viewer.Tree) {
    draw->clrText = viewer.Colours.TextColor;
    draw->clrTextBk = viewer.Colours.BackColor2;
  }
  return CDRF_DODEFAULT;
}

}  // namespace

void BuildTree(TJsonViewer& viewer) {
  const HWND tree = viewer.Tree;
  TJsonData* root = viewer.Document.Value.get();
  // Every selection change below is shown once, at the end.
  viewer.BuildingTree = true;
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  HTREEITEM rootEntry = InsertEntry(tree, TVI_ROOT, root, TreeRootLabel());
  SelectEntry(tree, rootEntry);
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(rootEntry));
  const int child = InitialTreeChild(root, viewer.Core.FlatLevel, viewer.AlwaysStartAtRoot);
  if (child >= 0)
    if (HTREEITEM entry = NthChild(tree, rootEntry, child)) SelectEntry(tree, entry);
  viewer.BuildingTree = false;
  ShowSelectedNode(viewer);
}

void ExpandEntry(TJsonViewer& viewer, HTREEITEM entry) {
  const HWND tree = viewer.Tree;
  const TJsonData* node = NodeOf(tree, entry);
  HTREEITEM first = NextItem(tree, entry, TVGN_CHILD);
  if (!node || !first || NodeOf(tree, first)) return;  // filled already
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(first));
  const auto* container = static_cast<const TJsonContainer*>(node);
  const bool freeze = container->Count() > kTreeFreezeAbove;
  // A tree view that may redraw recomputes its scroll range after every
  // insertion, which makes filling a large node quadratic (minutes for a
  // root sequence of 100,000 entries under Wine); with redrawing off as well
  // as the window locked, that work is done once at the end.
  if (freeze) {
    LockWindowUpdate(tree);
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  }
  for (size_t i = 0; i < container->Count(); ++i)
    InsertEntry(tree, entry, container->Child(i), TreeEntryLabel(node, i));
  if (freeze) {
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    LockWindowUpdate(nullptr);
    InvalidateRect(tree, nullptr, TRUE);
  }
}

TJsonData* SelectedTreeNode(const TJsonViewer& viewer) {
  return NodeOf(viewer.Tree, NextItem(viewer.Tree, nullptr, TVGN_CARET));
}

void ShowSelectedNode(TJsonViewer& viewer) {
  if (viewer.BuildingTree) return;
  EndCellEditBeforeRowsMove(viewer);
  const bool keepFilters = CtrlShiftHeld();
  TFilterList saved;
  if (keepFilters) {
    ReadFilterEdits(viewer);
    saved = viewer.Core.SaveFilters();
  }
  TJsonData* node = SelectedTreeNode(viewer);
  if (!node) return;
  ShowTable(viewer, node);
  if (keepFilters && !saved.empty()) {
    const TFilterPassResult result = viewer.Core.RestoreFilters(saved);
    WriteFilterEdits(viewer);
    ShowFilterResult(viewer, result);
  }
  viewer.TextStale = true;
  if (viewer.ActiveTab == 1) LoadText(viewer);
  UpdateStatusBar(viewer);
}

void SelectNodeInTree(TJsonViewer& viewer, int row) {
  const HWND tree = viewer.Tree;
  TJsonData* node = viewer.Core.VisibleNode(row);
  HTREEITEM item = NextItem(tree, nullptr, TVGN_ROOT);
  std::vector<int> path;
  if (!node || !item || !TreeIndexPath(viewer.Document.Value.get(), node, &path)) return;
  for (int index : path) {
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    item = NthChild(tree, item, index);
    if (!item) return;
  }
  SelectEntry(tree, item);
  SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  SetFocus(tree);
}

void RelabelTreeEntry(TJsonViewer& viewer, const TJsonData* node) {
  const HWND tree = viewer.Tree;
  std::vector<int> path;
  HTREEITEM item = NextItem(tree, nullptr, TVGN_ROOT);
  if (!item || !node || !TreeIndexPath(viewer.Document.Value.get(), node, &path) || path.empty()) return;
  // Only entries that exist: a parent never expanded has none for node yet.
  for (int index : path) {
    item = NthChild(tree, item, index);
    if (!item || !NodeOf(tree, item)) return;
  }
  if (NodeOf(tree, item) != node) return;
  const TJsonData* parent = node->Parent();
  const long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(node);
  std::u16string label = TreeEntryLabel(parent, size_t(index));
  TVITEMW entry{};
  entry.mask = TVIF_TEXT;
  entry.hItem = item;
  entry.pszText = const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(label.c_str()));
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

bool TreeNotify(TJsonViewer& viewer, NMHDR* header, LRESULT* result) {
  switch (header->code) {
    case TVN_ITEMEXPANDINGW: {
      auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
      if (change->action & TVE_EXPAND) ExpandEntry(viewer, change->itemNew.hItem);
      *result = 0;
      return true;
    }
    case TVN_SELCHANGEDW:
      ShowSelectedNode(viewer);
      return true;
    case NM_CUSTOMDRAW:
      *result = PaintTreeEntry(viewer, reinterpret_cast<NMTVCUSTOMDRAW*>(header));
      return true;
    default:
      return false;
  }
}

}  // namespace corvane
