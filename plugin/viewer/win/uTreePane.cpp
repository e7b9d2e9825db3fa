#include "uTreePane.h"

#include <algorithm>
#include <vector>

#include "uViewerCommands.h"

namespace corvane {

namespace {

const wchar_t kPlaceholder[] = L"...";
// Child, visible, tab stop, lines at root, buttons, lines, selection always shown.
constexpr DWORD kTreeStyle = 0x50010027;

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

}  // namespace

void TTreePane::Create(HWND parent) { tree_ = CreateControl(WC_TREEVIEWW, kTreeStyle, parent, ctl::kTree); }

void TTreePane::InstallSubclass() { SubclassControl(subclass_, tree_, this, SubclassHandler); }

bool TTreePane::SubclassHandler(void* owner, HWND, UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  return OfferToHost(static_cast<TTreePane*>(owner)->events_, message, wParam);
}

void TTreePane::Build(TJsonData* root, int flatLevel, bool alwaysStartAtRoot) {
  root_ = root;
  // Every selection change below is reported once, at the end.
  building_ = true;
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  ranges_.clear();
  HTREEITEM rootEntry = InsertEntry(tree_, TVI_ROOT, root, TreeRootLabel());
  SelectEntry(tree_, rootEntry);
  ExpandItem(tree_, rootEntry);
  const int child = InitialTreeChild(root, flatLevel, alwaysStartAtRoot);
  if (child >= 0)
    if (HTREEITEM entry = ChildEntry(tree_, rootEntry, *AsContainer(root), size_t(child), true))
      SelectEntry(tree_, entry);
  building_ = false;
  events_.TreeSelectionChanged();
}

void TTreePane::Expand(HTREEITEM entry) {
  const LPARAM param = EntryParam(tree_, entry);
  HTREEITEM first = NextItem(tree_, entry, TVGN_CHILD);
  if (!param || !first || NodeOf(tree_, first)) return;  // filled already
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
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(first));
  const size_t span = TreeRangeSpan(level.Count);
  const size_t entries = (level.Count + span - 1) / span;
  const bool freeze = entries > kTreeFreezeAbove;
  // A tree view that may redraw recomputes its scroll range after every
  // insertion, which makes filling a large level quadratic; with redrawing
  // off as well as the window locked, that work is done once at the end.
  if (freeze) {
    LockWindowUpdate(tree_);
    SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  }
  for (size_t e = 0; e < entries; ++e) {
    const size_t at = level.First + e * span;
    if (span == 1) {
      InsertEntry(tree_, entry, container->Child(at), TreeEntryLabel(level.Container, at));
      continue;
    }
    const size_t count = std::min(span, level.First + level.Count - at);
    ranges_.push_back(TTreeRange{level.Container, at, count});
    InsertWithPlaceholder(tree_, entry, TreeRangeLabel(at, at + count - 1),
                          reinterpret_cast<LPARAM>(&ranges_.back()) | kRangeBit, true);
  }
  if (freeze) {
    SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
    LockWindowUpdate(nullptr);
    InvalidateRect(tree_, nullptr, TRUE);
  }
}

TJsonData* TTreePane::SelectedNode() const { return NodeOf(tree_, NextItem(tree_, nullptr, TVGN_CARET)); }

// The entry of node, following the index path from the root; expand fills
// the levels on the way, else only entries that exist are followed.
HTREEITEM TTreePane::FindEntry(const TJsonData* node, bool expand) const {
  HTREEITEM item = NextItem(tree_, nullptr, TVGN_ROOT);
  std::vector<int> path;
  const TJsonData* level = root_;
  if (!node || !item || !TreeIndexPath(level, node, &path)) return nullptr;
  for (int index : path) {
    const TJsonContainer* container = AsContainer(level);
    item = container ? ChildEntry(tree_, item, *container, size_t(index), expand) : nullptr;
    if (!item) return nullptr;
    level = container->Child(size_t(index));
  }
  return item;
}

void TTreePane::SelectNode(const TJsonData* node) {
  HTREEITEM item = FindEntry(node, true);
  if (!item) return;
  SelectEntry(tree_, item);
  SendMessageW(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  SetFocus(tree_);
}

void TTreePane::Relabel(TJsonData* node, const TJsonData* replaced) {
  // The root has no key; a parent never expanded has no entry for node yet.
  if (!node || !node->Parent()) return;
  HTREEITEM item = FindEntry(node, false);
  if (!item || NodeOf(tree_, item) != (replaced ? replaced : node)) return;
  const TJsonData* parent = node->Parent();
  const long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(node);
  std::u16string label = TreeEntryLabel(parent, size_t(index));
  TVITEMW entry{};
  entry.mask = TVIF_TEXT | TVIF_PARAM;
  entry.hItem = item;
  entry.pszText = const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(label.c_str()));
  entry.lParam = reinterpret_cast<LPARAM>(node);
  SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

void TTreePane::ApplyColours() {
  SendMessageW(tree_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(look_.Colours.BackColor));
  SendMessageW(tree_, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(look_.Colours.TextColor));
}

void TTreePane::Repaint() { InvalidateRect(tree_, nullptr, FALSE); }

// The selected entry of a tree without the focus is drawn in the theme's
// text colour on its second background colour. The control's own colours for
// it ignore the theme: in the dark theme the label was light text on a light
// box, unreadable. The focused selection keeps the system highlight.
LRESULT TTreePane::PaintEntry(NMTVCUSTOMDRAW* draw) const {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.uItemState & CDIS_SELECTED) &&
      GetFocus() != tree_) {
    draw->clrText = look_.Colours.TextColor;
    draw->clrTextBk = look_.Colours.BackColor2;
  }
  return CDRF_DODEFAULT;
}

bool TTreePane::Notify(NMHDR* header, LRESULT* result) {
  switch (header->code) {
    case TVN_ITEMEXPANDINGW: {
      auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
      if (change->action & TVE_EXPAND) Expand(change->itemNew.hItem);
      *result = 0;
      return true;
    }
    case TVN_SELCHANGEDW:
      if (!building_) events_.TreeSelectionChanged();
      return true;
    case NM_CUSTOMDRAW:
      *result = PaintEntry(reinterpret_cast<NMTVCUSTOMDRAW*>(header));
      return true;
    default:
      return false;
  }
}

}  // namespace corvane
