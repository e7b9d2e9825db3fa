// Cells and header items are painted here rather than by the list view, so
// that stripes, the current cell, decimal alignment and the header follow the
// theme's colours in light and dark alike.
#include "uGridPaint.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "uColumnWidths.h"
#include "uFilterRow.h"
#include "uGridPaintRules.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
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

bool RowSelected(const TJsonViewer& viewer, int position) {
  return (SendMessageW(viewer.Grid, LVM_GETITEMSTATE, static_cast<WPARAM>(position), LVIS_SELECTED) &
          LVIS_SELECTED) != 0;
}

int DecimalOffset(const TJsonViewer& viewer, int column) {
  if (column < 0 || column >= static_cast<int>(viewer.DecimalOffsets.size())) return 0;
  return viewer.DecimalOffsets[static_cast<size_t>(column)];
}

// The cell's rectangle. Some list views report the whole row for column 0;
// its own width ends it.
TRect CellRect(const TJsonViewer& viewer, const NMLVCUSTOMDRAW& draw) {
  TRect cell = FromRect(draw.nmcd.rc);
  if (draw.iSubItem == 0) {
    const int width = static_cast<int>(SendMessageW(viewer.Grid, LVM_GETCOLUMNWIDTH, 0, 0));
    cell.Right = std::min(cell.Right, cell.Left + width);
  }
  return cell;
}

// A number split at its separator: the integer part right-aligned before the
// column's decimal offset, the rest left-aligned after it.
void DrawDecimalCell(const TJsonViewer& viewer, HDC dc, const TRect& cell, int offset,
                     const TCellColours& colours, std::u16string_view text) {
  FillSolid(dc, ToRect(cell), colours.Back);
  const HFONT font = viewer.MainFont.Get();
  const TDecimalCellLayout layout = LayoutDecimalCell(viewer.Scaling, cell, offset, text);
  if (!layout.Numeric) {
    DrawTextIn(dc, text, layout.WholeBox, font, colours.Text, kSingleLine | DT_LEFT | DT_END_ELLIPSIS);
    return;
  }
  DrawTextIn(dc, layout.IntegerPart, layout.IntegerBox, font, colours.Text, kSingleLine | DT_RIGHT);
  DrawTextIn(dc, layout.Rest, layout.RestBox, font, colours.Text, kSingleLine | DT_LEFT);
}

LRESULT PaintCell(TJsonViewer& viewer, NMLVCUSTOMDRAW* draw) {
  const int position = static_cast<int>(draw->nmcd.dwItemSpec);
  const int column = draw->iSubItem;
  const TCellColours colours = GridCellColours(viewer.Colours, position, column, RowSelected(viewer, position),
                                               viewer.Core.CurrentRow, viewer.Core.CurrentColumn);
  const int offset = DecimalOffset(viewer, column);
  if (offset < 1) {
    draw->clrText = colours.Text;
    draw->clrTextBk = colours.Back;
    return CDRF_DODEFAULT;
  }
  DrawDecimalCell(viewer, draw->nmcd.hdc, CellRect(viewer, *draw), offset, colours,
                  viewer.Core.DisplayText(position, column));
  return CDRF_SKIPDEFAULT;
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

void DrawSortTriangle(const TJsonViewer& viewer, HDC dc, const TRect& item) {
  const auto corners = SortTriangle(viewer.Scaling, item, viewer.Core.SortDescending);
  POINT points[3];
  for (int i = 0; i < 3; ++i) points[i] = POINT{corners[i].X, corners[i].Y};
  const COLORREF colour = viewer.Colours.FilterTextColor;
  win::TBrush brush(CreateSolidBrush(colour));
  win::TPen pen(CreatePen(PS_SOLID, 1, colour));
  const HGDIOBJ oldBrush = SelectObject(dc, brush.Get());
  const HGDIOBJ oldPen = SelectObject(dc, pen.Get());
  Polygon(dc, points, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

// One header item: background, separator lines, caption, sort triangle.
void PaintHeaderItem(const TJsonViewer& viewer, HWND header, const NMCUSTOMDRAW& draw) {
  const HDC dc = draw.hdc;
  const RECT& r = draw.rc;
  FillSolid(dc, r, HeaderBackColour(viewer.Colours.FilterBackColor));
  win::TPen pen(CreatePen(PS_SOLID, viewer.ScaleDpi(1), viewer.Colours.SplitterColor));
  const HGDIOBJ oldPen = SelectObject(dc, pen.Get());
  MoveToEx(dc, r.right - 1, r.top, nullptr);
  LineTo(dc, r.right - 1, r.bottom);
  MoveToEx(dc, r.left, r.bottom - 1, nullptr);
  LineTo(dc, r.right, r.bottom - 1);
  SelectObject(dc, oldPen);
  const int item = static_cast<int>(draw.dwItemSpec);
  DrawTextIn(dc, HeaderItemText(header, item), HeaderTextBox(viewer.Scaling, FromRect(r)), viewer.BoldFont.Get(),
             viewer.Colours.FilterTextColor, kSingleLine | DT_LEFT | DT_END_ELLIPSIS);
  if (item == viewer.Core.SortColumn) DrawSortTriangle(viewer, dc, FromRect(r));
}

// Widths that changed (-1 leaves a column alone); the filter edits are
// positioned once afterwards, not after every column.
void SetColumnWidths(TJsonViewer& viewer, const std::vector<int>& widths, const std::vector<int>& current) {
  viewer.SizingColumns = true;
  for (size_t c = 0; c < widths.size() && c < current.size(); ++c)
    if (widths[c] >= 0 && widths[c] != current[c]) SendMessageW(viewer.Grid, LVM_SETCOLUMNWIDTH, c, widths[c]);
  viewer.SizingColumns = false;
}

}  // namespace

LRESULT GridCustomDraw(TJsonViewer& viewer, NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      // The cells paint the selection themselves, in the theme's colours.
      if (RowSelected(viewer, static_cast<int>(draw->nmcd.dwItemSpec))) draw->nmcd.uItemState &= ~CDIS_SELECTED;
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      return PaintCell(viewer, draw);
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT HeaderCustomDraw(TJsonViewer& viewer, NMCUSTOMDRAW* draw) {
  switch (draw->dwDrawStage) {
    case CDDS_PREPAINT:
      FillSolid(draw->hdc, draw->rc, HeaderBackColour(viewer.Colours.FilterBackColor));
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      PaintHeaderItem(viewer, draw->hdr.hwndFrom, *draw);
      return CDRF_SKIPDEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

void RunWidthPass(TJsonViewer& viewer) {
  HDC dc = viewer.Grid ? GetDC(viewer.Grid) : nullptr;
  if (!dc) return;
  TWidthPassInput input = viewer.Core.WidthPassInput(viewer.Scaling, GridColumnWidths(viewer));
  input.MeasureHeader = TTextMeasure(dc, viewer.BoldFont.Get());
  input.MeasureCell = TTextMeasure(dc, viewer.MainFont.Get());
  const TWidthPassResult result = ComputeColumnWidths(input);
  ReleaseDC(viewer.Grid, dc);
  SetColumnWidths(viewer, result.Widths, input.CurrentWidths);
  viewer.DecimalOffsets = result.DecimalOffsets;
  PositionFilterEdits(viewer);
}

void HideCurrentColumn(TJsonViewer& viewer) {
  const int column = viewer.Core.CurrentColumn;
  if (column < 0 || column >= static_cast<int>(viewer.FilterEdits.size())) return;
  SendMessageW(viewer.Grid, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
  PositionFilterEdits(viewer);
}

void ShowAllColumns(TJsonViewer& viewer) {
  const std::vector<int> current = GridColumnWidths(viewer);
  SetColumnWidths(viewer, std::vector<int>(current.size(), 1), current);
  RunWidthPass(viewer);
}

}  // namespace corvane
