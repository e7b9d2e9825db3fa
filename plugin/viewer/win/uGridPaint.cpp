// Cells and header items are painted here rather than by the list view, so
// that stripes, the current cell, decimal alignment and the header follow the
// theme's colours in light and dark alike.
#include "uGridPane.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "uColumnWidths.h"
#include "uGridPaintRules.h"
#include "uPaintTools.h"

namespace corvane {

namespace {

// Measures texts in one font on a device context. A text of characters from
// U+0020 to U+02FF (no controls, combining marks or complex scripts) is the
// sum of the font's advance widths, read once per measure: a width pass
// measures up to a thousand rows of every column, and under Wine each call
// of the text-extent function costs about 10 microseconds.
class TTextMeasure {
 public:
  TTextMeasure(HDC dc, HFONT font) : dc_(dc), font_(font) {}
  int operator()(std::u16string_view text) const {
    if (const std::vector<int>* widths = SimpleWidths(text)) {
      int sum = 0;
      for (const char16_t c : text) sum += (*widths)[c - kFirst];
      return sum;
    }
    HGDIOBJ old = SelectObject(dc_, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc_, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &size);
    SelectObject(dc_, old);
    return size.cx;
  }

 private:
  static constexpr char16_t kFirst = 0x20, kEnd = 0x300;

  // The advance widths when every character of text has one in the table.
  const std::vector<int>* SimpleWidths(std::u16string_view text) const {
    for (const char16_t c : text)
      if (c < kFirst || c >= kEnd) return nullptr;
    if (!widths_) {
      auto widths = std::make_shared<std::vector<int>>(kEnd - kFirst);
      HGDIOBJ old = SelectObject(dc_, font_);
      const BOOL read = GetCharWidth32W(dc_, kFirst, kEnd - 1, widths->data());
      SelectObject(dc_, old);
      if (!read) return nullptr;
      widths_ = std::move(widths);
    }
    return widths_.get();
  }

  HDC dc_;
  HFONT font_;
  // Shared by the copies the width pass holds; filled on first use.
  mutable std::shared_ptr<std::vector<int>> widths_;
};

constexpr UINT kSingleLine = DT_SINGLELINE | DT_VCENTER;

// A number split at its separator: the integer part right-aligned before the
// column's decimal offset, the rest left-aligned after it.
void DrawDecimalCell(const TViewerLook& look, HDC dc, const TRect& cell, int offset, const TCellColours& colours,
                     std::u16string_view text) {
  FillSolid(dc, ToRect(cell), colours.Back);
  const HFONT font = look.MainFont.Get();
  const TDecimalCellLayout layout = LayoutDecimalCell(look.Scaling, cell, offset, text);
  if (!layout.Numeric) {
    DrawTextIn(dc, text, layout.WholeBox, font, colours.Text, kSingleLine | DT_LEFT | DT_END_ELLIPSIS);
    return;
  }
  DrawTextIn(dc, layout.IntegerPart, layout.IntegerBox, font, colours.Text, kSingleLine | DT_RIGHT);
  DrawTextIn(dc, layout.Rest, layout.RestBox, font, colours.Text, kSingleLine | DT_LEFT);
}

std::u16string HeaderItemText(HWND header, int item) {
  wchar_t buffer[4096] = {};
  HDITEMW info{};
  info.mask = HDI_TEXT;
  info.pszText = buffer;
  info.cchTextMax = 4096;
  if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info))) return {};
  return reinterpret_cast<const char16_t*>(info.pszText ? info.pszText : buffer);
}

void DrawSortTriangle(const TViewerLook& look, HDC dc, const TRect& item, bool descending) {
  const auto corners = SortTriangle(look.Scaling, item, descending);
  POINT points[3];
  for (int i = 0; i < 3; ++i) points[i] = POINT{corners[i].X, corners[i].Y};
  const COLORREF colour = look.Colours.FilterTextColor;
  win::TBrush brush(CreateSolidBrush(colour));
  win::TPen pen(CreatePen(PS_SOLID, 1, colour));
  const HGDIOBJ oldBrush = SelectObject(dc, brush.Get());
  const HGDIOBJ oldPen = SelectObject(dc, pen.Get());
  Polygon(dc, points, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

}  // namespace

bool TGridPane::RowSelected(int position) const {
  return (SendMessageW(grid_, LVM_GETITEMSTATE, static_cast<WPARAM>(position), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int TGridPane::DecimalOffset(int column) const {
  if (column < 0 || column >= static_cast<int>(decimalOffsets_.size())) return 0;
  return decimalOffsets_[static_cast<size_t>(column)];
}

LRESULT TGridPane::PaintCell(NMLVCUSTOMDRAW* draw) {
  const int position = static_cast<int>(draw->nmcd.dwItemSpec);
  const int column = draw->iSubItem;
  const TCellColours colours = GridCellColours(look_.Colours, position, column, RowSelected(position),
                                               core_.CurrentRow, core_.CurrentColumn);
  const int offset = DecimalOffset(column);
  if (offset < 1) {
    draw->clrText = colours.Text;
    draw->clrTextBk = colours.Back;
    return CDRF_DODEFAULT;
  }
  // The cell's rectangle. Some list views report the whole row for column 0;
  // its own width ends it.
  TRect cell = FromRect(draw->nmcd.rc);
  if (column == 0)
    cell.Right = std::min(cell.Right, cell.Left + static_cast<int>(SendMessageW(grid_, LVM_GETCOLUMNWIDTH, 0, 0)));
  DrawDecimalCell(look_, draw->nmcd.hdc, cell, offset, colours, core_.DisplayText(position, column));
  return CDRF_SKIPDEFAULT;
}

// One header item: background, separator lines, caption, sort triangle.
void TGridPane::PaintHeaderItem(HWND header, const NMCUSTOMDRAW& draw) const {
  const HDC dc = draw.hdc;
  const RECT& r = draw.rc;
  FillSolid(dc, r, HeaderBackColour(look_.Colours.FilterBackColor));
  win::TPen pen(CreatePen(PS_SOLID, look_.ScaleDpi(1), look_.Colours.SplitterColor));
  const HGDIOBJ oldPen = SelectObject(dc, pen.Get());
  MoveToEx(dc, r.right - 1, r.top, nullptr);
  LineTo(dc, r.right - 1, r.bottom);
  MoveToEx(dc, r.left, r.bottom - 1, nullptr);
  LineTo(dc, r.right, r.bottom - 1);
  SelectObject(dc, oldPen);
  const int item = static_cast<int>(draw.dwItemSpec);
  DrawTextIn(dc, HeaderItemText(header, item), HeaderTextBox(look_.Scaling, FromRect(r)), look_.BoldFont.Get(),
             look_.Colours.FilterTextColor, kSingleLine | DT_LEFT | DT_END_ELLIPSIS);
  if (item == core_.SortColumn) DrawSortTriangle(look_, dc, FromRect(r), core_.SortDescending);
}

// The list view's own grid lines take a system colour (light in every
// theme): the pane draws its lines after the cells, in the theme's colour,
// where the list view would: below every row across the list, right of
// every column down to the bottom of the list.
void TGridPane::PaintGridLines(HDC dc) const {
  RECT client{};
  GetClientRect(grid_, &client);
  const HWND header = Header();
  RECT headerRect{};
  if (header && IsWindowVisible(header)) GetWindowRect(header, &headerRect);
  const int top = headerRect.bottom - headerRect.top;
  const COLORREF colour = look_.Colours.GridLineColor;
  for (int c = 0; c < ColumnCount(); ++c) {
    RECT item{};
    if (!SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item))) continue;
    MapWindowPoints(header, grid_, reinterpret_cast<POINT*>(&item), 2);
    if (item.right <= item.left) continue;  // hidden
    LineSolid(dc, item.right - 1, top, item.right - 1, client.bottom, colour);
  }
  RECT row{};
  row.left = LVIR_BOUNDS;
  const int first = static_cast<int>(SendMessageW(grid_, LVM_GETTOPINDEX, 0, 0));
  if (!SendMessageW(grid_, LVM_GETITEMRECT, static_cast<WPARAM>(first), reinterpret_cast<LPARAM>(&row))) return;
  const int height = row.bottom - row.top;
  if (height <= 0) return;
  for (int y = row.bottom - 1; y < client.bottom; y += height) LineSolid(dc, client.left, y, client.right, y, colour);
}

LRESULT TGridPane::CustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW | (gridLines_ ? CDRF_NOTIFYPOSTPAINT : 0);
    case CDDS_POSTPAINT:
      PaintGridLines(draw->nmcd.hdc);
      return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT:
      // The cells paint the selection themselves, in the theme's colours.
      if (RowSelected(static_cast<int>(draw->nmcd.dwItemSpec))) draw->nmcd.uItemState &= ~CDIS_SELECTED;
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      return PaintCell(draw);
    default:
      return CDRF_DODEFAULT;
  }
}

// The header's area right of its last item is painted by the header itself
// in a system colour after the items: the post-paint stage covers it again.
void TGridPane::PaintHeaderRest(HWND header, const NMCUSTOMDRAW& draw) const {
  int right = draw.rc.left;
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT item{};
    if (SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
      right = std::max(right, static_cast<int>(item.right));
  }
  if (right >= draw.rc.right) return;
  const RECT rest{right, draw.rc.top, draw.rc.right, draw.rc.bottom};
  FillSolid(draw.hdc, rest, HeaderBackColour(look_.Colours.FilterBackColor));
  LineSolid(draw.hdc, rest.left, rest.bottom - 1, rest.right, rest.bottom - 1, look_.Colours.SplitterColor);
}

LRESULT TGridPane::HeaderCustomDraw(NMCUSTOMDRAW* draw) {
  switch (draw->dwDrawStage) {
    case CDDS_PREPAINT:
      FillSolid(draw->hdc, draw->rc, HeaderBackColour(look_.Colours.FilterBackColor));
      return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
      PaintHeaderItem(draw->hdr.hwndFrom, *draw);
      return CDRF_SKIPDEFAULT;
    case CDDS_POSTPAINT:
      PaintHeaderRest(draw->hdr.hwndFrom, *draw);
      return CDRF_DODEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

bool TGridPane::RunWidthPass() {
  HDC dc = grid_ ? GetDC(grid_) : nullptr;
  if (!dc) return false;
  TWidthPassInput input = core_.WidthPassInput(look_.Scaling, ColumnWidths());
  input.MeasureHeader = TTextMeasure(dc, look_.BoldFont.Get());
  input.MeasureCell = TTextMeasure(dc, look_.MainFont.Get());
  const TWidthPassResult result = ComputeColumnWidths(input);
  ReleaseDC(grid_, dc);
  SetColumnWidths(result.Widths, input.CurrentWidths);
  decimalOffsets_ = result.DecimalOffsets;
  return true;
}

}  // namespace corvane
