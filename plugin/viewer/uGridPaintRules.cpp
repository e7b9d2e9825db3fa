#include "uGridPaintRules.h"

#include "uNumberSplit.h"

namespace corvane {

namespace {

constexpr int kCellMargin = 6;  // left and right text margin of a cell

}  // namespace

TCellColours GridCellColours(const TThemeColours& colours, int position, int column, bool rowSelected,
                             int currentRow, int currentColumn) {
  if (rowSelected) {
    const bool current = position == currentRow && column == currentColumn;
    return {colours.SelectionTextColor, current ? colours.CurrentCellBackColor : colours.SelectionBackColor};
  }
  return {colours.TextColor, position % 2 != 0 ? colours.BackColor2 : colours.BackColor};
}

TDecimalCellLayout LayoutDecimalCell(const TScaling& scaling, const TRect& cell, int decimalOffset,
                                     std::u16string_view text) {
  TDecimalCellLayout layout;
  const int margin = scaling.ScaleDpi(kCellMargin);
  const int x = cell.Left + margin + decimalOffset;
  layout.WholeBox = {cell.Left + margin, cell.Top, cell.Right - margin, cell.Bottom};
  layout.IntegerBox = {cell.Left + margin, cell.Top, x, cell.Bottom};
  layout.RestBox = {x, cell.Top, cell.Right - margin, cell.Bottom};
  const TNumberSplit split = SplitNumber(text);
  layout.Numeric = split.Numeric;
  layout.IntegerPart = split.IntegerPart;
  layout.Rest = split.Rest;
  return layout;
}

TRect HeaderTextBox(const TScaling& scaling, const TRect& item) {
  return {item.Left + scaling.ScaleDpi(6), item.Top, item.Right - scaling.ScaleDpi(4), item.Bottom};
}

std::array<TPoint, 3> SortTriangle(const TScaling& scaling, const TRect& item, bool descending) {
  const int cx = item.Right - scaling.ScaleDpi(12);
  const int cy = (item.Top + item.Bottom) / 2;
  const int half = scaling.ScaleDpi(4);
  const int base = scaling.ScaleDpi(2);
  const int tip = scaling.ScaleDpi(3);
  if (descending) return {{{cx - half, cy - base}, {cx + half, cy - base}, {cx, cy + tip}}};
  return {{{cx - half, cy + base}, {cx + half, cy + base}, {cx, cy - tip}}};
}

}  // namespace corvane
