// The viewer's commands (menus, keys), the keyboard map's actions, the
// context menu, the copy commands and the host's search.
#include "uJsonViewer.h"

#include <windowsx.h>

#include <cstring>

#include "uClipboard.h"
#include "uOutside.h"
#include "uStatusTexts.h"
#include "uStructureEdit.h"

namespace corvane {

// A command (WM_COMMAND, the context menu, keys) for a pane: the one the
// menu was opened over, else the one with the focus.
void TJsonViewer::RunCommand(int id, TFocusPane pane) {
  switch (id) {
    case cmd::kCopy: CopyCell(); break;
    case cmd::kCopyRows: CopyRows(); break;
    case cmd::kCopyColumn: CopyColumn(); break;
    case cmd::kCopyJson: CopyAsJson(); break;
    case cmd::kCopyPath: CopyPath(pane); break;
    case cmd::kThemeTc: SetTheme(u"tc"); break;
    case cmd::kThemeLight: SetTheme(u"light"); break;
    case cmd::kThemeDark: SetTheme(u"dark"); break;
    case cmd::kFilters: ToggleFilterRow(); break;
    case cmd::kHideColumn: HideCurrentColumn(); break;
    case cmd::kShowAllColumns: ShowAllColumns(); break;
    case cmd::kEditMode:
      if (hasStructure_) ToggleEditMode();
      break;
    case cmd::kSelectItem: SelectNodeInTree(core_.CurrentRow); break;
    case cmd::kSave: SaveChanges(); break;
    case cmd::kInsertRow: InsertRowBelow(); break;
    case cmd::kDeleteRow: DeleteRow(); break;
    case cmd::kDeleteColumn: DeleteColumn(); break;
    default: {                                          // 5010-5012
      int level = 0;
      if (FlatLevelOfCommand(id, &level)) SetFlatLevel(level);
      break;
    }
  }
}

// ---- the context menu -------------------------------------------------------------

TContextMenuState TJsonViewer::ContextMenuState() const {
  TContextMenuState state;
  state.CurrentRow = core_.CurrentRow;
  state.GridRows = grid_.ItemCount();
  state.FilterRowShown = filters_.Shown();
  state.EditMode = editMode_;
  state.HasStructure = hasStructure_;
  state.Modified = modified_;
  state.ThemeMode = ThemeMode();
  state.RowReason = RowEntryTarget(core_, core_.CurrentRow, editMode_).Reason;
  state.ColumnReason = ColumnMembersTarget(core_, core_.CurrentColumn, editMode_).Reason;
  return state;
}

// Where a menu asked for from the keyboard opens: below the current cell
// when the grid shows it, else at the focused pane's top-left corner.
POINT TJsonViewer::KeyboardMenuPoint() const {
  POINT p{};
  if (tabs_.ActiveTab() == kTabGrid && grid_.CellMenuPoint(core_.CurrentRow, core_.CurrentColumn, &p)) return p;
  const HWND focus = GetFocus();
  RECT r{};
  GetWindowRect(focus && IsChild(main_.Get(), focus) ? focus : main_.Get(), &r);
  return POINT{r.left, r.top};
}

// WM_CONTEXTMENU: picks the column under the mouse, opens the menu at the
// mouse (or, from the keyboard, at the current cell) and runs the chosen
// entry for the pane it was opened over.
void TJsonViewer::ShowContextMenu(LPARAM position) {
  POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  TFocusPane pane = FocusPaneOf(GetFocus());
  if (position == -1) {
    at = KeyboardMenuPoint();
  } else {
    pane = PaneAt(at);
    const int column = grid_.ColumnAt(at);
    if (column >= 0) {
      core_.CurrentColumn = column;
      status_.SetText(kStatusPartCursor, StatusCursorText(core_.CurrentRow, column));
    }
  }
  const TContextMenuState state = ContextMenuState();
  if (const TI18nKey* reason = StructureMenuReason(state)) {
    const std::u16string text = u" " + tr(*reason);
    UpdateEditStatus(&text);
  }
  const int chosen = menu_.Show(main_.Get(), at, state);
  if (chosen != 0) RunCommand(chosen, pane);
}

// The pane under a screen point (the menu's commands act for it).
TFocusPane TJsonViewer::PaneAt(POINT screen) const {
  const auto over = [screen](HWND window) {
    RECT r{};
    return window && IsWindowVisible(window) && GetWindowRect(window, &r) && PtInRect(&r, screen);
  };
  if (over(tree_.Window())) return TFocusPane::Tree;
  if (over(grid_.Window())) return TFocusPane::Grid;
  if (over(text_.Window())) return TFocusPane::Text;
  return FocusPaneOf(GetFocus());
}

// ---- the keyboard map's actions ---------------------------------------------------

void TJsonViewer::DescribeKeyContext(TKeyContext* context) const {
  context->EditMode = editMode_;
  context->CellValid = core_.CurrentRow >= 0 && core_.CurrentColumn >= 0;
  if (context->Press.Key == vk::kC && context->Press.Focus == TFocusPane::Grid)
    context->SelectedRows = static_cast<int>(grid_.SelectedRows().size());
}

bool TJsonViewer::RunKeyAction(TKeyAction action, const TKeyPress& press) {
  switch (action) {
    case TKeyAction::FocusCycle: FocusCycle(); return true;
    case TKeyAction::CopyColumn: CopyColumn(); return true;
    case TKeyAction::CopyRows: CopyRows(); return true;
    case TKeyAction::ToggleEditMode: ToggleEditMode(); return true;
    case TKeyAction::BeginCellEdit: BeginCellEdit(core_.CurrentRow, core_.CurrentColumn); return true;
    case TKeyAction::SaveChanges: SaveChanges(); return true;
    case TKeyAction::DeleteRow: DeleteRow(); return true;
    case TKeyAction::ShowAllColumns: ShowAllColumns(); return true;
    case TKeyAction::SortByDigit: return SortByDigit(press.Key);
    case TKeyAction::MoveCursor: return ArrowKey(press.Key, press.Ctrl, press.Focus);
    default: return false;  // not handled, or the host's (the keyboard map's own)
  }
}

bool TJsonViewer::SortByDigit(int virtualKey) {
  const int column =
      SortColumnForDigit(virtualKey - vk::k0, core_.CurrentColumn, grid_.ColumnOrder(), grid_.ColumnWidths());
  if (column < 0) return false;
  ToggleSortColumn(column);
  return true;
}

bool TJsonViewer::ArrowKey(int virtualKey, bool ctrl, TFocusPane focus) {
  if (MoveCellCursor(virtualKey, ctrl)) return true;
  if (focus != TFocusPane::Grid) return false;
  if (virtualKey == vk::kLeft) ScrollGridToLeftEdge();
  return true;
}

// ---- copies and links ---------------------------------------------------------------

namespace {

// The grid as the copy texts read it: the table, the visible rows and the
// header's order and widths.
TGridCopySource CopySource(const TViewerCore& core, const TGridPane& grid) {
  TGridCopySource source;
  source.Table = &core.Table;
  source.VisibleRows = &core.VisibleRows;
  source.ColumnOrder = grid.ColumnOrder();
  source.ColumnWidths = grid.ColumnWidths();
  return source;
}

}  // namespace

// Puts text on the clipboard as CF_UNICODETEXT, owned by the viewer's window
// (a clipboard opened without an owner refuses the data after emptying).
void TJsonViewer::PutClipboardText(const std::u16string& text) const {
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(main_.Get())) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

void TJsonViewer::CopyCell() {
  if (text_.HasFocus()) {
    text_.Copy();
    return;
  }
  PutClipboardText(CopyCellText(CopySource(core_, grid_), grid_.SelectedRows(), core_.CurrentColumn));
}

void TJsonViewer::CopyRows() {
  PutClipboardText(CopyRowsText(CopySource(core_, grid_), grid_.SelectedRows(), ColumnDelimiter(settings_)));
}

void TJsonViewer::CopyColumn() { PutClipboardText(CopyColumnText(CopySource(core_, grid_), core_.CurrentColumn)); }

void TJsonViewer::CopyAsJson() {
  std::u16string text;
  const bool compact = KeyHeld(VK_CONTROL);
  if (CopyAsJsonText(CopySource(core_, grid_), grid_.SelectedRows(), core_.CurrentColumn, compact, &text))
    PutClipboardText(text);
}

// From the tree (its menu, or the focus there) the selected entry's path;
// otherwise, on the Grid tab, the path of the first selected row's node
// (its cell's node in a flat view).
void TJsonViewer::CopyPath(TFocusPane pane) {
  const TJsonData* node = nullptr;
  if (pane != TFocusPane::Tree && tabs_.ActiveTab() == kTabGrid)
    node = GridPathNode(CopySource(core_, grid_), grid_.SelectedRows(), core_.CurrentColumn);
  if (!node) node = tree_.SelectedNode();
  if (node) PutClipboardText(CopiedPathText(node));
}

// Alt+click, after the click made its cell current: opens the text of the
// first selected row in the current column as a web link.
void TJsonViewer::OpenLinkInCell() {
  const std::vector<int> selected = grid_.SelectedRows();
  if (selected.empty()) return;
  OpenLink(LinkToOpen(CopySource(core_, grid_).DisplayText(selected[0], core_.CurrentColumn)));
}

// Alt+click on a link in the text pane.
void TJsonViewer::TextLinkClicked(const std::u16string& link) { OpenLink(LinkToOpen(link)); }

// Web links go to the shell; other schemes are refused with a beep and a
// status text.
void TJsonViewer::OpenLink(const TLinkToOpen& link) {
  switch (link.Kind) {
    case TLinkKind::None:
      return;
    case TLinkKind::Web:
      outside::OpenWithShell(link.Target);
      return;
    case TLinkKind::Refused:
      RefusalBeep();
      ShowStatus(i18n::kStatusLinkRefused);
      return;
  }
}

// ---- the host's search ----------------------------------------------------------------

void TJsonViewer::SearchText(const std::u16string& text, int flags) {
  if (text.empty()) return;
  const int tab = tabs_.ActiveTab();
  // The text pane's whole text, read where the control holds it.
  if (tab == kTabText && text_.Stale()) LoadText();
  const TSearchOutcome outcome =
      core_.SearchText(text, flags, tab, tab == kTabText ? text_.SearchView() : TTextPaneView{});
  switch (outcome.Result) {
    case TSearchResult::Nothing:
      return;
    case TSearchResult::NotFound:
      outside::Beep(0);
      return;
    case TSearchResult::Found:
      break;
  }
  if (tab == kTabText) {
    text_.SelectMatch(outcome.SelStart, outcome.SelEnd);
    return;
  }
  grid_.SelectOnlyRow(outcome.Row);
  grid_.EnsureVisible(outcome.Row);
  SetCurrentCell(outcome.Row, outcome.Column, true);
  SetFocus(grid_.Window());
}

}  // namespace corvane
