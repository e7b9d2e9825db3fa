#include "uScaling.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace corvane {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t magnitude = (std::llabs(product) + std::llabs(static_cast<int64_t>(c)) / 2) /
                            std::llabs(static_cast<int64_t>(c));
  const int64_t result = ((product < 0) != (c < 0)) ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) return -1;
  return static_cast<int>(result);
}

int SaneDpi(int dpi) { return dpi < 1 ? 96 : dpi; }

int TScaling::FontFactor() const {
  // abs of INT_MIN would overflow; such a size is nonsense anyway.
  const int size = FontSize == INT32_MIN ? INT32_MAX : std::abs(FontSize);
  return std::max(size, 14);
}

int InitialSplitterPosition(const TScaling& scaling, int settingValue) {
  return std::max(scaling.ScaleFont(settingValue), scaling.ScaleFont(110));
}

int ClampSplitterPosition(const TScaling& scaling, int position, int clientWidth) {
  position = std::max(position, scaling.ScaleFont(110));
  if (clientWidth > scaling.ScaleFont(190))
    position = std::min(position, clientWidth - scaling.ScaleFont(80));
  return position;
}

int FilterRowHeight(const TScaling& scaling, int lineHeight) {
  return std::max(lineHeight + scaling.ScaleDpi(8), scaling.ScaleDpi(23));
}

int FilterRowGap(const TScaling& scaling) { return std::max(scaling.ScaleDpi(3), 1); }

int StatusBarMinHeight(const TScaling& scaling, int lineHeight) {
  return std::max(lineHeight + scaling.ScaleDpi(6), scaling.ScaleDpi(22));
}

int ZoomFontSize(int fontSize, int delta) {
  const int64_t size = static_cast<int64_t>(fontSize) + (delta > 0 ? 1 : (delta < 0 ? -1 : 0));
  if (size < 10 || size > 48) return fontSize;
  return static_cast<int>(size);
}

int RescalePosition(int position, int newValue, int oldValue) {
  if (oldValue <= 0) return position;
  const int scaled = MulDiv(position, newValue, oldValue);
  return scaled < 0 && position >= 0 ? position : scaled;
}

}  // namespace corvane
