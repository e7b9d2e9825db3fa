#include "uGridPane.h"

#include <algorithm>

#include "uOutside.h"
#include "uViewerCommands.h"
#include "uViewerKeys.h"

namespace corvane {

namespace {

// Child, visible, tab stop, report view, owner data, selection always shown.
constexpr DWORD kGridStyle = 0x50011009;
// Full-row select, header drag and drop, double buffering.
constexpr DWORD kGridExtendedStyle = 0x10030;
// Initial width of a new column, at 96 DPI (the width pass resizes it).
constexpr int kInitialColumnWidth = 140;

void DeleteAllColumns(HWND grid) {
  while (SendMessageW(grid, LVM_DELETECOLUMN, 0, 0)) {
  }
}

void SetItemState(HWND grid, int item, UINT state, UINT mask) {
  LVITEMW change{};
  change.stateMask = mask;
  change.state = state;
  SendMessageW(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change));
}

bool MovesColumns(UINT message) {
  return message == WM_HSCROLL || message == WM_MOUSEHWHEEL || message == LVM_SCROLL ||
         message == LVM_SETCOLUMNWIDTH;
}

}  // namespace

void TGridPane::Create(HWND parent, bool gridLines) {
  grid_ = CreateControl(WC_LISTVIEWW, kGridStyle, parent, ctl::kGrid);
  SendMessageW(grid_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kGridExtendedStyle);
  gridLines_ = gridLines;
}

void TGridPane::InstallSubclass() {
  SubclassControl(subclass_, grid_, this, SubclassHandler);
  SubclassControl(headerSubclass_, Header(), this, HeaderHandler);
}

// The list view moves its header when it scrolls, also on its own (a
// scroll bar that comes or goes, a scroll it makes to show a row): the
// filter edits follow the header wherever it goes.
bool TGridPane::HeaderHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT* result) {
  auto& self = *static_cast<TGridPane*>(owner);
  if (message != WM_WINDOWPOSCHANGED) return false;
  *result = self.headerSubclass_.CallPrevious(window, message, wParam, lParam);
  if (!self.sizingColumns_) self.events_.GridColumnsMoved();
  return true;
}

// An open cell edit is ended before the grid scrolls under it or its columns
// move; the cell editor, a child of the grid, asks the viewer for its
// colours like the filter edits; the filter edits follow the columns after a
// scroll or a width change; the header's painting is the pane's.
bool TGridPane::SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT* result) {
  auto& self = *static_cast<TGridPane*>(owner);
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->code != NM_CUSTOMDRAW || header->hwndFrom != self.Header()) return false;
    *result = self.HeaderCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(header));
    return true;
  }
  if (OfferToHost(self.events_, message, wParam)) return true;
  if (message == WM_VSCROLL || message == WM_MOUSEWHEEL || MovesColumns(message)) self.events_.GridRowsMoving();
  if (message == WM_CTLCOLOREDIT && lParam != 0) {
    *result = reinterpret_cast<LRESULT>(
        self.events_.GridEditColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    return *result != 0;
  }
  if (!MovesColumns(message) || self.sizingColumns_) return false;
  *result = self.subclass_.CallPrevious(window, message, wParam, lParam);
  self.events_.GridColumnsMoved();
  return true;
}

// ---- rows and columns -----------------------------------------------------------

void TGridPane::BeginRebuild() {
  SetRedraw(false);
  SendMessageW(grid_, LVM_SETITEMCOUNT, 0, 0);
  DeleteAllColumns(grid_);
}

void TGridPane::InsertColumns() {
  const TTableModel& table = core_.Table;
  for (int c = 0; c < table.ColumnCount(); ++c) {
    std::u16string header(table.Header(c));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(header.c_str()));
    column.cx = look_.ScaleDpi(kInitialColumnWidth);
    column.iSubItem = c;
    SendMessageW(grid_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
}

void TGridPane::EndRebuild() {
  SetRedraw(true);
  // The header too: its items changed while the list did not draw.
  RedrawWindow(grid_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TGridPane::SetRowCount(int count) {
  SendMessageW(grid_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
}

void TGridPane::HideColumn(int column) {
  SendMessageW(grid_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
}

bool TGridPane::ShowAllColumns() {
  const std::vector<int> current = ColumnWidths();
  SetColumnWidths(std::vector<int>(current.size(), 1), current);
  return RunWidthPass();
}

// Widths that changed (-1 leaves a column alone); the filter edits are
// positioned once afterwards, not after every column.
void TGridPane::SetColumnWidths(const std::vector<int>& widths, const std::vector<int>& current) {
  sizingColumns_ = true;
  for (size_t c = 0; c < widths.size() && c < current.size(); ++c)
    if (widths[c] >= 0 && widths[c] != current[c]) SendMessageW(grid_, LVM_SETCOLUMNWIDTH, c, widths[c]);
  sizingColumns_ = false;
}

void TGridPane::UpdateSortMarks() {
  const HWND header = Header();
  const int count = ColumnCount();
  for (int c = 0; c < count; ++c) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (c == core_.SortColumn) item.fmt |= core_.SortDescending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
  }
  InvalidateRect(header, nullptr, TRUE);
}

void TGridPane::SelectOnlyRow(int row) {
  const HWND grid = grid_;
  // Clearing the state of "all items" visits every row in some list-view
  // implementations (seconds for a million rows after each filter
  // keystroke); a few selected rows are cleared one by one instead.
  constexpr int kClearOneByOne = 64;
  if (SendMessageW(grid, LVM_GETSELECTEDCOUNT, 0, 0) > kClearOneByOne) {
    SetItemState(grid, -1, 0, LVIS_SELECTED);
  } else {
    const auto nextSelected = [grid](int after) {
      return static_cast<int>(SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
    };
    for (int item = nextSelected(-1); item >= 0; item = nextSelected(item))
      if (item != row) SetItemState(grid, item, 0, LVIS_SELECTED);
  }
  if (row < 0) return;
  SetItemState(grid, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  // Shift with Up, Down, PageUp, PageDown, Home or End extends the selection
  // from here (a list view without a mark selects one row instead).
  SendMessageW(grid, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
}

void TGridPane::EnsureVisible(int row) {
  SendMessageW(grid_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool TGridPane::ScrollCellIntoView(int row, int column) {
  EnsureVisible(row);
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  if (!SendMessageW(grid_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
    return false;
  // The bounds of sub-item 0 span the whole row; its own width is the column's.
  if (column == 0) cell.right = cell.left + static_cast<int>(SendMessageW(grid_, LVM_GETCOLUMNWIDTH, 0, 0));
  RECT client{};
  GetClientRect(grid_, &client);
  const int dx = HorizontalScrollToShow(cell.left, cell.right, client.left, client.right);
  if (dx == 0) return false;
  SendMessageW(grid_, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
  return true;
}

void TGridPane::ScrollToLeftEdge() {
  const int x = GetScrollPos(grid_, SB_HORZ);
  if (x != 0) SendMessageW(grid_, LVM_SCROLL, static_cast<WPARAM>(-x), 0);
}

void TGridPane::SetRedraw(bool on) { SendMessageW(grid_, WM_SETREDRAW, on ? TRUE : FALSE, 0); }

void TGridPane::Repaint(bool erase) { InvalidateRect(grid_, nullptr, erase ? TRUE : FALSE); }

void TGridPane::RedrawNow() {
  RedrawWindow(grid_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TGridPane::RepaintHeader() {
  if (HWND header = Header()) InvalidateRect(header, nullptr, TRUE);
}

void TGridPane::ApplyColours() {
  const TThemeColours& c = look_.Colours;
  SendMessageW(grid_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(c.BackColor));
  SendMessageW(grid_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(c.BackColor));
  SendMessageW(grid_, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(c.TextColor));
}

void TGridPane::SwitchOffHeaderStyle() {
  // A blank theme name leaves the header without a visual style, so that
  // every part of it is painted by the header's custom draw.
  if (HWND header = Header()) outside::SetVisualStyle(header, L" ", L" ");
}

// ---- reading the list ---------------------------------------------------------

HWND TGridPane::Header() const {
  return grid_ ? reinterpret_cast<HWND>(SendMessageW(grid_, LVM_GETHEADER, 0, 0)) : nullptr;
}

int TGridPane::ColumnCount() const {
  const HWND header = Header();
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int TGridPane::ItemCount() const {
  return grid_ ? static_cast<int>(SendMessageW(grid_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<int> TGridPane::ColumnWidths() const {
  std::vector<int> widths(static_cast<size_t>(std::max(ColumnCount(), 0)));
  for (size_t c = 0; c < widths.size(); ++c)
    widths[c] = static_cast<int>(SendMessageW(grid_, LVM_GETCOLUMNWIDTH, c, 0));
  return widths;
}

std::vector<int> TGridPane::ColumnOrder() const {
  std::vector<int> order(static_cast<size_t>(std::max(ColumnCount(), 0)));
  if (!order.empty() &&
      !SendMessageW(grid_, LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())))
    order.clear();
  return order;
}

std::vector<int> TGridPane::SelectedRows() const {
  std::vector<int> rows;
  int item = -1;
  while ((item = static_cast<int>(
              SendMessageW(grid_, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED))) >= 0)
    rows.push_back(item);
  return rows;
}

bool TGridPane::ColumnBoxes(HWND relativeTo, int count, std::vector<TRect>* boxes) const {
  boxes->clear();
  const HWND header = Header();
  if (!grid_ || !header) return false;
  RECT headerRect{};
  GetWindowRect(header, &headerRect);
  POINT origin{headerRect.left, headerRect.top};
  ScreenToClient(relativeTo, &origin);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    const int x = SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))
                      ? origin.x + item.left
                      : look_.ScaleDpi(3);
    const int width = static_cast<int>(SendMessageW(grid_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    boxes->push_back(TRect{x, 0, x + width, 0});
  }
  return true;
}

bool TGridPane::CellRect(int row, int column, RECT* cell) const {
  *cell = RECT{};
  cell->top = column;
  cell->left = LVIR_BOUNDS;
  if (!SendMessageW(grid_, LVM_GETSUBITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(cell))) return false;
  // The bounds of sub-item 0 span the whole row; its own width ends it.
  if (column == 0) cell->right = cell->left + int(SendMessageW(grid_, LVM_GETCOLUMNWIDTH, 0, 0));
  return cell->right > cell->left && cell->bottom > cell->top;
}

bool TGridPane::CellMenuPoint(int row, int column, POINT* point) const {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_LABEL;
  if (row < 0 || column < 0 ||
      !SendMessageW(grid_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
    return false;
  *point = POINT{cell.left, cell.bottom};
  ClientToScreen(grid_, point);
  return true;
}

int TGridPane::ColumnAt(POINT screen) const {
  const HWND header = Header();
  if (!header) return -1;
  RECT headerRect{};
  GetWindowRect(header, &headerRect);
  if (IsWindowVisible(header) && PtInRect(&headerRect, screen)) {
    HDHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(header, &hit.pt);
    // On a divider the item is the one whose edge it is.
    return static_cast<int>(SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  }
  LVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(grid_, &hit.pt);
  RECT client{};
  GetClientRect(grid_, &client);
  if (!IsWindowVisible(grid_) || !PtInRect(&client, hit.pt)) return -1;
  if (SendMessageW(grid_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) return -1;
  return hit.iSubItem;
}

// ---- notifications --------------------------------------------------------------

bool TGridPane::HeaderNotify(NMHDR* header, LRESULT* result) {
  // Columns moved or resized: the cell under an open editor changes its
  // place, and the filter edits follow.
  if (header->code != HDN_ITEMCHANGEDW && header->code != HDN_ENDTRACKW) return false;
  events_.GridHeaderChanged();
  *result = 0;
  return true;
}

bool TGridPane::Notify(NMHDR* header, LRESULT* result) {
  if (header->hwndFrom != grid_) return HeaderNotify(header, result);
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        core_.CopyDisplayText(item.iItem, item.iSubItem, reinterpret_cast<char16_t*>(item.pszText),
                              item.cchTextMax);
      return true;
    }
    case NM_CLICK:
    case NM_DBLCLK: {
      const auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
      const bool doubleClick = header->code == NM_DBLCLK;
      events_.GridCellClicked(click->iItem, click->iSubItem, doubleClick, !doubleClick && KeyHeld(VK_MENU));
      return true;
    }
    case LVN_ITEMCHANGED: {
      // The cursor row follows the focused row: while Shift extends the
      // selection, the rows selected on the way are not the cursor's.
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (change->iItem < 0 || !(change->uChanged & LVIF_STATE) || !(change->uNewState & (LVIS_SELECTED | LVIS_FOCUSED)))
        return true;
      const int focused = static_cast<int>(SendMessageW(grid_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
      events_.GridRowSelected((change->uNewState & LVIS_FOCUSED) || focused < 0 ? change->iItem : focused);
      return true;
    }
    case NM_CUSTOMDRAW: *result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header)); return true;
    case LVN_COLUMNCLICK: events_.GridColumnClicked(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem); return true;
    default: return false;
  }
}

}  // namespace corvane
