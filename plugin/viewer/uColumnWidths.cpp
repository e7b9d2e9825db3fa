#include "uColumnWidths.h"

#include <algorithm>

#include "uFilterRules.h"
#include "uNumberSplit.h"

namespace corvane {

namespace {

struct TColumnLimit {
  int Start;
  int Limit;  // < 0: none
};

// Start width and limit of column c of n, with header width h and the
// scaled maximum m.
TColumnLimit LimitFor(int c, int n, int h, int m) {
  if (n == 2) {
    if (c == 0 && m > 0) return {std::min(h, m), m};
    return {h, -1};
  }
  int limit = 3 * h;
  if (n >= 3 && m > 0 && m < 3 * h) limit = m;
  return {h, std::max(limit, h)};
}

int MeasureColumn(const TWidthPassInput& in, int c, int n, int m, int sample) {
  auto measure = [](const std::function<int(std::u16string_view)>& f, std::u16string_view t) {
    return f ? f(t) : 0;
  };
  std::u16string_view header = in.HeaderText ? in.HeaderText(c) : std::u16string_view();
  header = header.substr(0, kMaxFilterLength);
  const int h = measure(in.MeasureHeader, header) + 24;  // 24 is not scaled
  const TColumnLimit limit = LimitFor(c, n, h, m);
  int w = limit.Start;
  const int padding = in.Scaling.ScaleDpi(16);
  for (int p = 0; p < sample; ++p) {
    const std::u16string_view text = in.CellText ? in.CellText(p, c) : std::u16string_view();
    w = std::max(w, measure(in.MeasureCell, text) + padding);
    if (limit.Limit >= 0 && w >= limit.Limit) return limit.Limit;
  }
  return w;
}

// Widest integer part of the sampled cells, or -1 when a non-empty cell is
// not numeric.
int IntegerPartWidth(const TWidthPassInput& in, int c, int sample) {
  int widest = 0;
  for (int p = 0; p < sample; ++p) {
    const std::u16string_view text = in.CellText ? in.CellText(p, c) : std::u16string_view();
    if (text.empty()) continue;
    const TNumberSplit split = SplitNumber(text);
    if (!split.Numeric) return -1;
    if (in.MeasureCell) widest = std::max(widest, in.MeasureCell(split.IntegerPart));
  }
  return widest;
}

}  // namespace

TWidthPassResult ComputeColumnWidths(const TWidthPassInput& in) {
  const int n = static_cast<int>(in.CurrentWidths.size());
  const int sample = std::clamp(in.VisibleRows, 0, kWidthSampleRows);
  const int m = in.Scaling.ScaleDpi(in.MaxColumnWidth);
  TWidthPassResult result;
  result.Widths.assign(n, -1);
  result.DecimalOffsets.assign(n, 0);
  for (int c = 0; c < n; ++c) {
    if (in.CurrentWidths[c] == 0) continue;  // hidden
    // Without a row there is nothing to measure: a filter that matches
    // nothing keeps the widths, so the columns stay where the user found
    // them (a column just shown again, width 1, still gets its header's).
    if (sample == 0 && in.CurrentWidths[c] > 1) continue;
    result.Widths[c] = MeasureColumn(in, c, n, m, sample);
    if (!in.DecimalAlign) continue;
    const int integerWidth = IntegerPartWidth(in, c, sample);
    if (integerWidth <= 0) continue;
    result.DecimalOffsets[c] = integerWidth + in.Scaling.ScaleDpi(16) / 2;
    const int margin = in.Scaling.ScaleDpi(6);
    result.Widths[c] = std::max(result.Widths[c], margin + result.DecimalOffsets[c] + margin);
  }
  return result;
}

}  // namespace corvane
