#include "uTreePane.h"

#include <algorithm>

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

// An entry's parameter: its node, 0 for the placeholder, or the address of
// its TTreeRange with the low bit set for a range entry (nodes and ranges
// are aligned, so the bit is free).
constexpr LPARAM kRangeBit = 1;

LPARAM EntryParam(HWND tree, HTREEITEM item) {
  if (!item) return 0;
  TVITEMW entry{};
  entry.mask = TVIF_PARAM;
  entry.hItem = item;
  if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry))) return 0;
  return entry.lParam;
}

const TTreeRange* RangeOf(LPARAM param) {
  return (param & kRangeBit) ? reinterpret_cast<const TTreeRange*>(param & ~kRangeBit) : nullptr;
}

// The node an entry shows: a range entry shows its container.
TJsonData* NodeOf(HWND tree, HTREEITEM item) {
  const LPARAM param = EntryParam(tree, item);
  if (const TTreeRange* range = RangeOf(param)) return range->Container;
  return reinterpret_cast<TJsonData*>(param);
}

HTREEITEM InsertRaw(HWND tree, HTREEITEM parent, const wchar_t* label, LPARAM param) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<LPWSTR>(label);
  insert.item.lParam = param;
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Appends an entry; one with children gets the placeholder that shows the
// expand button until the entry is first expanded.
HTREEITEM InsertWithPlaceholder(HWND tree, HTREEITEM parent, const std::u16string& label, LPARAM param,
                                bool hasChildren) {
  HTREEITEM item = InsertRaw(tree, parent, reinterpret_cast<LPCWSTR>(label.c_str()), param);
  if (item && hasChildren) InsertRaw(tree, item, kPlaceholder, 0);
  return item;
}

HTREEITEM InsertEntry(HWND tree, HTREEITEM parent, TJsonData* node, const std::u16string& label) {
  return InsertWithPlaceholder(tree, parent, label, reinterpret_cast<LPARAM>(node), HasTreeChildren(node));
}

HTREEITEM NthChild(HWND tree, HTREEITEM parent, int index) {
  HTREEITEM item = NextItem(tree, parent, TVGN_CHILD);
  for (int i = 0; item && i < index; ++i) item = NextItem(tree, item, TVGN_NEXT);
  return item;
}

void ExpandItem(HWND tree, HTREEITEM item) {
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// The entry of child index of container below its entry, through the range
// entries of a large container; expand fills the levels on the way (else
// only entries that exist are followed). nullptr when an entry is missing.
HTREEITEM ChildEntry(HWND tree, HTREEITEM entry, const TJsonContainer& container, size_t index, bool expand) {
  for (int step : TreeEntrySteps(container.Count(), index)) {
    if (expand) ExpandItem(tree, entry);
    entry = NthChild(tree, entry, step);
    if (!entry || !NodeOf(tree, entry)) return nullptr;
  }
  return entry;
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
  viewer.TreeRanges.clear();
  HTREEITEM rootEntry = InsertEntry(tree, TVI_ROOT, root, TreeRootLabel());
  SelectEntry(tree, rootEntry);
  ExpandItem(tree, rootEntry);
  const int child = InitialTreeChild(root, viewer.Core.FlatLevel, viewer.AlwaysStartAtRoot);
  if (child >= 0)
    if (HTREEITEM entry = ChildEntry(tree, rootEntry, *AsContainer(root), size_t(child), true))
      SelectEntry(tree, entry);
  viewer.BuildingTree = false;
  ShowSelectedNode(viewer);
}

void ExpandEntry(TJsonViewer& viewer, HTREEITEM entry) {
  const HWND tree = viewer.Tree;
  const LPARAM param = EntryParam(tree, entry);
  HTREEITEM first = NextItem(tree, entry, TVGN_CHILD);
  if (!param || !first || NodeOf(tree, first)) return;  // filled already
  // The children this entry stands for: all of a node's, or a range's.
  TTreeRange level;
  if (const TTreeRange* range = RangeOf(param)) {
    level = *range;
  } else {
    level.Container = reinterpret_cast<TJsonData*>(param);
    level.Count = AsContainer(level.Container) ? AsContainer(level.Container)->Count() : 0;
  }
  const auto* container = AsContainer(level.Container);
  if (!container || level.First + level.Count > container->Count()) return;
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(first));
  const size_t span = TreeRangeSpan(level.Count);
  const size_t entries = (level.Count + span - 1) / span;
  const bool freeze = entries > kTreeFreezeAbove;
  // A tree view that may redraw recomputes its scroll range after every
  // insertion, which makes filling a large level quadratic; with redrawing
  // off as well as the window locked, that work is done once at the end.
  if (freeze) {
    LockWindowUpdate(tree);
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  }
  for (size_t e = 0; e < entries; ++e) {
    const size_t at = level.First + e * span;
    if (span == 1) {
      InsertEntry(tree, entry, container->Child(at), TreeEntryLabel(level.Container, at));
      continue;
    }
    const size_t count = std::min(span, level.First + level.Count - at);
    viewer.TreeRanges.push_back(TTreeRange{level.Container, at, count});
    InsertWithPlaceholder(tree, entry, TreeRangeLabel(at, at + count - 1),
                          reinterpret_cast<LPARAM>(&viewer.TreeRanges.back()) | kRangeBit, true);
  }
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
  const TJsonData* level = viewer.Document.Value.get();
  if (!node || !item || !TreeIndexPath(level, node, &path)) return;
  for (int index : path) {
    const TJsonContainer* container = AsContainer(level);
    item = container ? ChildEntry(tree, item, *container, size_t(index), true) : nullptr;
    if (!item) return;
    level = container->Child(size_t(index));
  }
  SelectEntry(tree, item);
  SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  SetFocus(tree);
}

void RelabelTreeEntry(TJsonViewer& viewer, TJsonData* node, const TJsonData* replaced) {
  const HWND tree = viewer.Tree;
  std::vector<int> path;
  HTREEITEM item = NextItem(tree, nullptr, TVGN_ROOT);
  const TJsonData* level = viewer.Document.Value.get();
  if (!item || !node || !TreeIndexPath(level, node, &path) || path.empty()) return;
  // Only entries that exist: a parent never expanded has none for node yet.
  for (int index : path) {
    const TJsonContainer* container = AsContainer(level);
    item = container ? ChildEntry(tree, item, *container, size_t(index), false) : nullptr;
    if (!item) return;
    level = container->Child(size_t(index));
  }
  if (NodeOf(tree, item) != (replaced ? replaced : node)) return;
  const TJsonData* parent = node->Parent();
  const long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(node);
  std::u16string label = TreeEntryLabel(parent, size_t(index));
  TVITEMW entry{};
  entry.mask = TVIF_TEXT | TVIF_PARAM;
  entry.hItem = item;
  entry.pszText = const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(label.c_str()));
  entry.lParam = reinterpret_cast<LPARAM>(node);
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
