// What the grid paints, as pure rules: the colours of a cell, the boxes a
// decimal-aligned number is drawn in, and the header item's text box and
// sort triangle. The Win32 side fills rectangles and draws texts where these
// say.
//
// Contract:
//  - Stripes follow display positions (after filtering and sorting), so they
//    stay regular whatever rows are shown.
//  - Only the current cell of a selected row gets the current-cell colour;
//    the rest of a selected row gets the selection colours.
//  - Every pixel constant is given at 96 DPI and scaled.
#pragma once

#include <array>
#include <string_view>

#include "uThemes.h"
#include "uViewerLayout.h"

namespace corvane {

struct TCellColours {
  TColour Text = 0;
  TColour Back = 0;
};

// Colours of the cell at display position `position`, column `column`.
TCellColours GridCellColours(const TThemeColours& colours, int position, int column, bool rowSelected,
                             int currentRow, int currentColumn);

// How one cell of a decimal-aligned column is drawn, between the cell's left
// and right edges: the integer part right-aligned in [IntegerBox), the rest
// (separator and fraction) left-aligned in [RestBox); a text that is not a
// number left-aligned with an ellipsis in WholeBox.
struct TDecimalCellLayout {
  bool Numeric = false;
  std::u16string_view IntegerPart;
  std::u16string_view Rest;
  TRect IntegerBox;
  TRect RestBox;
  TRect WholeBox;
};
TDecimalCellLayout LayoutDecimalCell(const TScaling& scaling, const TRect& cell, int decimalOffset,
                                     std::u16string_view text);

// The header item's caption box: from L + 6 to R - 4, scaled.
TRect HeaderTextBox(const TScaling& scaling, const TRect& item);

struct TPoint {
  int X = 0, Y = 0;
};
// The sort triangle of a header item, pointing up when ascending and down
// when descending, centred 12 (scaled) left of the item's right edge.
std::array<TPoint, 3> SortTriangle(const TScaling& scaling, const TRect& item, bool descending);

}  // namespace corvane
