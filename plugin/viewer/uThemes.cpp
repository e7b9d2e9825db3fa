// Theme mode resolution and the colour table.
//
// Colour settings are read as 32-bit integers; only the red, green and blue
// bytes are kept, because the high byte of a COLORREF selects palette modes
// and a stray negative value in the settings file must not switch them on.
#include "uThemes.h"

#include <algorithm>
#include <cmath>

#include "uUnicode.h"

namespace corvane {

namespace {

std::u16string TrimControls(std::u16string_view text) {
  size_t from = 0;
  size_t to = text.size();
  while (from < to && text[from] <= 32) ++from;
  while (to > from && text[to - 1] <= 32) --to;
  return std::u16string(text.substr(from, to - from));
}

// Colour settings keep only their red, green and blue bytes.
TColour Masked(int value) { return static_cast<TColour>(value) & 0x00FFFFFFu; }

}  // namespace

std::u16string ResolveThemeModeText(std::u16string_view themeMode, int darkTheme) {
  std::u16string m = AsciiLowerText(TrimControls(themeMode));
  if (m.empty()) return darkTheme != 0 ? u"dark" : u"light";
  if (m == u"auto" || m == u"system" || m == u"total commander") return u"tc";
  if (m == u"0") return u"light";
  if (m == u"1") return u"dark";
  if (m == u"light" || m == u"dark") return m;
  return u"tc";
}

std::u16string ResolveThemeMode(const TSettingsAccess& settings) {
  const std::u16string mode = settings.ReadText(setting::kThemeMode);
  // "dark-theme" only matters when no mode is set; read it only then.
  const int darkTheme = TrimControls(mode).empty() ? settings.ReadInt(setting::kDarkTheme) : 0;
  return ResolveThemeModeText(mode, darkTheme);
}

bool IsDark(std::u16string_view resolvedMode, bool hostDark) {
  if (resolvedMode == u"dark") return true;
  if (resolvedMode == u"light") return false;
  return hostDark;
}

bool HostFlagsNeedThemeApply(std::u16string_view resolvedMode, THostThemeFlags before,
                             THostThemeFlags after) {
  return IsDark(resolvedMode, before.Dark) != IsDark(resolvedMode, after.Dark) ||
         before.NativeDark != after.NativeDark;
}

bool UseDarkControlStyle(bool isDark, THostThemeFlags host) { return isDark && host.NativeDark; }

void StoreThemeMode(const TSettingsAccess& settings, const std::u16string& mode) {
  settings.Write(setting::kThemeMode, mode);
  if (mode == u"light") settings.Write(setting::kDarkTheme, 0);
  if (mode == u"dark") settings.Write(setting::kDarkTheme, 1);
}

TThemeColours LoadThemeColours(const TSettingsAccess& settings, bool dark, TColour buttonFace) {
  using namespace setting;
  const auto read = [&](const TSettingKey& light, const TSettingKey& darkKey) {
    return Masked(settings.ReadInt(dark ? darkKey : light));
  };
  TThemeColours c;
  c.TextColor = read(kTextColor, kTextColorDark);
  c.BackColor = read(kBackColor, kBackColorDark);
  c.BackColor2 = read(kBackColor2, kBackColor2Dark);
  c.FilterTextColor = read(kFilterTextColor, kFilterTextColorDark);
  c.FilterBackColor = read(kFilterBackColor, kFilterBackColorDark);
  c.CurrentCellBackColor = read(kCurrentCellBackColor, kCurrentCellBackColorDark);
  c.SelectionTextColor = read(kSelectionTextColor, kSelectionTextColorDark);
  c.SelectionBackColor = read(kSelectionBackColor, kSelectionBackColorDark);
  // A key whose default is the system colour gets it from the caller.
  const auto readSystem = [&](const TSettingKey& light, const TSettingKey& darkKey) {
    const TSettingKey& key = dark ? darkKey : light;
    return key.RunTimeDefault.empty() ? Masked(settings.ReadInt(key))
                                      : Masked(settings.ReadInt(key, static_cast<int>(buttonFace)));
  };
  c.SplitterColor = readSystem(kSplitterColor, kSplitterColorDark);
  c.GridLineColor = readSystem(kGridLineColor, kGridLineColorDark);
  c.SyntaxText = read(kSyntaxTextColor, kSyntaxTextColorDark);
  c.SyntaxKey = read(kSyntaxKeyColor, kSyntaxKeyColorDark);
  c.SyntaxString = read(kSyntaxStringColor, kSyntaxStringColorDark);
  c.SyntaxBoolean = read(kSyntaxBooleanColor, kSyntaxBooleanColorDark);
  c.SyntaxNull = read(kSyntaxNullColor, kSyntaxNullColorDark);
  c.Comment = read(kCommentColor, kCommentColorDark);
  return c;
}

TThemeColours DefaultThemeColours(bool dark, TColour buttonFace) {
  return LoadThemeColours(TSettingsAccess(), dark, buttonFace);
}

TColour HeaderBackColour(TColour filterBack) {
  return RgbColour(RedOf(filterBack) * 85 / 100, GreenOf(filterBack) * 85 / 100,
                   BlueOf(filterBack) * 85 / 100);
}

TColour SplitterLineColour(TColour splitter, TColour text) {
  return RgbColour((2 * RedOf(splitter) + RedOf(text)) / 3,
                   (2 * GreenOf(splitter) + GreenOf(text)) / 3,
                   (2 * BlueOf(splitter) + BlueOf(text)) / 3);
}

TColour SyntaxRoleColour(const TThemeColours& colours, TSyntaxRole role) {
  switch (role) {
    case srKey: return colours.SyntaxKey;
    case srString: return colours.SyntaxString;
    case srBoolean: return colours.SyntaxBoolean;
    case srNull: return colours.SyntaxNull;
    case srComment: return colours.Comment;
    default: return colours.SyntaxText;
  }
}

int FontWeightFromSetting(int fontWeight) {
  return (fontWeight >= 0 && fontWeight <= 9) ? fontWeight * 100 : 0;
}

double ContrastRatio(TColour a, TColour b) {
  const auto luminance = [](TColour c) {
    const auto channel = [](unsigned value) {
      const double v = value / 255.0;
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(RedOf(c)) + 0.7152 * channel(GreenOf(c)) + 0.0722 * channel(BlueOf(c));
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace corvane
