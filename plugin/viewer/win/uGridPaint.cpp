#include "uGridPaint.h"

#include "uColumnWidths.h"
#include "uFilterRow.h"
#include "uGridPane.h"
#include "uJsonViewer.h"

namespace corvane {

namespace {

// Measures texts in one font on a device context.
class TTextMeasure {
 public:
  TTextMeasure(HDC dc, HFONT font) : dc_(dc), font_(font) {}
  int operator()(std::u16string_view text) const {
    HGDIOBJ old = SelectObject(dc_, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc_, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &size);
    SelectObject(dc_, old);
    return size.cx;
  }

 private:
  HDC dc_;
  HFONT font_;
};

}  // namespace

LRESULT GridCustomDraw(TJsonViewer&, NMLVCUSTOMDRAW*) {
  // The list view paints its cells itself with the theme's colours.
  return CDRF_DODEFAULT;
}

void RunWidthPass(TJsonViewer& viewer) {
  HDC dc = viewer.Grid ? GetDC(viewer.Grid) : nullptr;
  if (!dc) return;
  TWidthPassInput input = viewer.Core.WidthPassInput(viewer.Scaling, GridColumnWidths(viewer));
  input.MeasureHeader = TTextMeasure(dc, viewer.BoldFont.Get());
  input.MeasureCell = TTextMeasure(dc, viewer.MainFont.Get());
  const TWidthPassResult result = ComputeColumnWidths(input);
  ReleaseDC(viewer.Grid, dc);
  for (size_t c = 0; c < result.Widths.size() && c < input.CurrentWidths.size(); ++c)
    if (result.Widths[c] >= 0 && result.Widths[c] != input.CurrentWidths[c])
      SendMessageW(viewer.Grid, LVM_SETCOLUMNWIDTH, c, result.Widths[c]);
  viewer.DecimalOffsets = result.DecimalOffsets;
  PositionFilterEdits(viewer);
}

void HideCurrentColumn(TJsonViewer& viewer) {
  const int column = viewer.Core.CurrentColumn;
  if (column < 0 || column >= GridColumnCount(viewer)) return;
  SendMessageW(viewer.Grid, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
  PositionFilterEdits(viewer);
}

void ShowAllColumns(TJsonViewer& viewer) {
  const int count = GridColumnCount(viewer);
  for (int c = 0; c < count; ++c) SendMessageW(viewer.Grid, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), 1);
  RunWidthPass(viewer);
}

}  // namespace corvane
