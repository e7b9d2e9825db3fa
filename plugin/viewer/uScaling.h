// Pixel scaling of the viewer: every pixel constant is given at 96 DPI and
// scaled to the window's DPI; sizes tied to the text also follow the font
// size (14 being the size the constants were designed for).
#pragma once

#include "uSettingKeys.h"

namespace corvane {

// Rounding multiply-divide as the platform's MulDiv: a * b / c rounded half
// away from zero; -1 when c is 0 or the result does not fit 32 bits.
int MulDiv(int a, int b, int c);

// A DPI reported by the platform; anything below 1 means 96.
int SaneDpi(int dpi);

struct TScaling {
  int Dpi = 96;
  int FontSize = setting::kFontSize.IntDefault;  // settings units: pixels at 96 DPI

  int ScaleDpi(int v) const { return MulDiv(v, Dpi, 96); }
  // The font factor F: |font size| raised to at least 14.
  int FontFactor() const;
  int ScaleFont(int v) const { return ScaleDpi(MulDiv(v, FontFactor(), 14)); }
  int UnscaleFont(int v) const { return MulDiv(MulDiv(v, 96, Dpi), 14, FontFactor()); }
};

// Splitter position from the "splitter-position" setting, at least the minimum.
int InitialSplitterPosition(const TScaling& scaling, int settingValue);
// At least ScaleFont(110); at most width - ScaleFont(80), but only when the
// client is wider than ScaleFont(190).
int ClampSplitterPosition(const TScaling& scaling, int position, int clientWidth);

// Height of the filter row: max(line height + 8, 23), scaled.
int FilterRowHeight(const TScaling& scaling, int lineHeight);
// Gap between the filter row and the grid: max(ScaleDpi(3), 1).
int FilterRowGap(const TScaling& scaling);
// Minimum height of the status bar: max(line height + 6, 22), scaled.
int StatusBarMinHeight(const TScaling& scaling, int lineHeight);

// Font zoom by one wheel notch: the new size, or the old one when the result
// would leave 10..48.
int ZoomFontSize(int fontSize, int delta);
// A position scaled by new/old (DPI or font size change); unchanged when old <= 0.
int RescalePosition(int position, int newValue, int oldValue);

}  // namespace corvane
