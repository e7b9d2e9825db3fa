// The grid's width pass: column widths from a sample of visible rows, and the
// decimal offsets that line numeric columns up on their separator.
//
// Contract:
//  - Hidden columns (current width 0) are left alone (computed width -1),
//    and so is every column while no row is visible (only a column of
//    width 1, just shown again, is sized to its header then).
//  - At most 1,000 visible rows are sampled; a column stops scanning once it
//    reaches its limit.
//  - Text measuring is a function handed in, so the rules run without a
//    device context; header texts are cut to 4,095 characters.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "uScaling.h"
#include "uSettingKeys.h"
#include "uTableModel.h"

namespace corvane {

constexpr int kWidthSampleRows = 1000;

struct TWidthPassInput {
  TScaling Scaling;
  int MaxColumnWidth = setting::kMaxColumnWidth.IntDefault;  // pixels at 96 DPI
  bool DecimalAlign = setting::kDecimalAlign.IntDefault != 0;
  std::vector<int> CurrentWidths;  // one per header column
  int VisibleRows = 0;
  std::function<std::u16string_view(int column)> HeaderText;
  // The view may last only until the next call.
  std::function<std::u16string_view(int position, int column)> CellText;
  std::function<int(std::u16string_view)> MeasureHeader;  // bold header font
  std::function<int(std::u16string_view)> MeasureCell;    // cell font
};

struct TWidthPassResult {
  std::vector<int> Widths;       // -1: leave the column's width as it is
  TIntegerArray DecimalOffsets;  // 0: not aligned
};

TWidthPassResult ComputeColumnWidths(const TWidthPassInput& input);

}  // namespace corvane
