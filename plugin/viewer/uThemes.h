// Theme mode and colour table of a viewer, without any window: which of the
// light or dark sets applies, the sixteen colours read from the settings,
// and the colours derived from them.
//
// Contract:
//  - Colours are COLORREF-style integers 0x00BBGGRR (red in the low byte).
//  - The mode "tc" follows the host's dark flag, which the caller supplies;
//    nothing here asks the operating system.
//  - Settings are read through the settings access on every call (no cache),
//    so an edited settings file applies at the next theme application. The
//    defaults of the colours are those of the settings key table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uSettingsAccess.h"
#include "uTextColouring.h"

namespace corvane {

using TColour = uint32_t;

constexpr TColour RgbColour(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(TColour c) { return c & 0xFF; }
constexpr unsigned GreenOf(TColour c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(TColour c) { return (c >> 16) & 0xFF; }
// Contrast of two colours as accessibility guidelines measure it, from their
// relative luminance: 1 (the same) to 21 (black on white); text reads well
// from 4.5.
double ContrastRatio(TColour a, TColour b);

// Resolution of a "theme-mode" text: blanks and controls trimmed, ASCII lower
// case; empty -> "dark"/"light" from darkTheme; "auto", "system" and
// "total commander" -> "tc"; "0" -> "light", "1" -> "dark"; anything else
// that is not "tc", "light" or "dark" -> "tc".
std::u16string ResolveThemeModeText(std::u16string_view themeMode, int darkTheme);
// The same from the settings "theme-mode" and "dark-theme".
std::u16string ResolveThemeMode(const TSettingsAccess& settings);

// "dark" -> true, "light" -> false, "tc" -> the host's dark flag.
bool IsDark(std::u16string_view resolvedMode, bool hostDark);

// The host's dark flags (decoded from its show flags by the lister exports).
struct THostThemeFlags {
  bool Dark = false;        // the host uses a dark colour scheme
  bool NativeDark = false;  // the host draws its own windows dark too
};

// True when new host flags change the dark decision under the current mode
// or the native-dark flag, i.e. the theme must be applied again.
bool HostFlagsNeedThemeApply(std::u16string_view resolvedMode, THostThemeFlags before,
                             THostThemeFlags after);

// The controls get the dark visual style only when the dark set applies and
// the host draws its own windows dark too.
bool UseDarkControlStyle(bool isDark, THostThemeFlags host);

// Writes "theme-mode" and, for "light" and "dark", "dark-theme" (0 or 1).
void StoreThemeMode(const TSettingsAccess& settings, const std::u16string& mode);

struct TThemeColours {
  TColour TextColor = 0;
  TColour BackColor = 0;
  TColour BackColor2 = 0;
  TColour FilterTextColor = 0;
  TColour FilterBackColor = 0;
  TColour CurrentCellBackColor = 0;
  TColour SelectionTextColor = 0;
  TColour SelectionBackColor = 0;
  TColour SplitterColor = 0;
  TColour SyntaxText = 0;
  TColour SyntaxKey = 0;
  TColour SyntaxString = 0;
  TColour SyntaxBoolean = 0;
  TColour SyntaxNull = 0;
  TColour Comment = 0;
  TColour GridLineColor = 0;
};

// The sixteen colours from the light keys or the "-dark" keys; a syntax
// colour falls back to its json key, then to the json key's default;
// buttonFace is the system button-face colour, the default of the light
// set's splitter and grid-line colours.
TThemeColours LoadThemeColours(const TSettingsAccess& settings, bool dark, TColour buttonFace);
// The colours with nothing set: the key table's defaults.
TThemeColours DefaultThemeColours(bool dark, TColour buttonFace);

// Grid header background: filter-back-color with each channel at 85 %,
// rounded down.
TColour HeaderBackColour(TColour filterBack);

// Splitter line: each channel (2 x splitter + text) / 3, rounded down.
TColour SplitterLineColour(TColour splitter, TColour text);

// Colour of a text-pane syntax role.
TColour SyntaxRoleColour(const TThemeColours& colours, TSyntaxRole role);

// Cell font weight from "font-weight": 0..9 give value x 100, else 0.
int FontWeightFromSetting(int fontWeight);

}  // namespace corvane
