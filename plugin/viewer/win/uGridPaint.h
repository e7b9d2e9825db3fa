// Painting of the grid's cells and header, and the column widths.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace corvane {

class TJsonViewer;

// NM_CUSTOMDRAW from the grid: the answer for the draw stage. Cells get
// stripes, selection and current-cell colours; decimal-aligned columns are
// drawn here in two boxes split at the separator.
LRESULT GridCustomDraw(TJsonViewer& viewer, NMLVCUSTOMDRAW* draw);
// NM_CUSTOMDRAW from the grid's header (it reaches the grid, the header's
// parent): themed background, separator lines, bold captions, sort triangle.
LRESULT HeaderCustomDraw(TJsonViewer& viewer, NMCUSTOMDRAW* draw);
// Column widths from a sample of the visible rows; hidden columns stay.
void RunWidthPass(TJsonViewer& viewer);
// Command 5007: the current column's width becomes 0.
void HideCurrentColumn(TJsonViewer& viewer);
// Command 5008 and Ctrl+Space: every column shown again, widths computed anew.
void ShowAllColumns(TJsonViewer& viewer);

}  // namespace corvane
