// Theme mode resolution and the colour table.
//
// Colour settings are read as 32-bit integers; only the red, green and blue
// bytes are kept, because the high byte of a COLORREF selects palette modes
// and a stray negative value in the settings file must not switch them on.
#include "uThemes.h"

#include "uSettings.h"
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

TColour ReadColour(const std::u16string& key, TColour fallback) {
  const int value = ReadIntSetting(key, static_cast<int>(fallback));
  return static_cast<TColour>(value) & 0x00FFFFFFu;
}

std::u16string KeyFor(const char16_t* lightKey, bool dark) {
  std::u16string key = lightKey;
  if (dark) key += u"-dark";
  return key;
}

// A syntax colour: its syntax key, defaulting to its json key, defaulting to
// the built-in colour.
TColour ReadSyntaxColour(const char16_t* name, bool dark, TColour fallback) {
  const std::u16string suffix = std::u16string(name) + u"-color";
  const TColour json = ReadColour(KeyFor((u"json-" + suffix).c_str(), dark), fallback);
  return ReadColour(KeyFor((u"syntax-" + suffix).c_str(), dark), json);
}

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

std::u16string ResolveThemeMode() {
  const std::u16string mode = ReadSetting(u"theme-mode", u"");
  // "dark-theme" only matters when no mode is set; read it only then.
  const int darkTheme = TrimControls(mode).empty() ? ReadIntSetting(u"dark-theme", 0) : 0;
  return ResolveThemeModeText(mode, darkTheme);
}

bool IsDark(std::u16string_view resolvedMode, bool hostDark) {
  if (resolvedMode == u"dark") return true;
  if (resolvedMode == u"light") return false;
  return hostDark;
}

THostThemeFlags HostThemeFlagsFrom(int showFlags) {
  return {(showFlags & 0x80) != 0, (showFlags & 0x100) != 0};
}

bool HostFlagsNeedThemeApply(std::u16string_view resolvedMode, THostThemeFlags before,
                             THostThemeFlags after) {
  return IsDark(resolvedMode, before.Dark) != IsDark(resolvedMode, after.Dark) ||
         before.NativeDark != after.NativeDark;
}

bool UseDarkControlStyle(bool isDark, THostThemeFlags host) { return isDark && host.NativeDark; }

void StoreThemeMode(const std::u16string& mode) {
  WriteSetting(u"theme-mode", mode);
  if (mode == u"light") WriteIntSetting(u"dark-theme", 0);
  if (mode == u"dark") WriteIntSetting(u"dark-theme", 1);
}

TThemeColours DefaultThemeColours(bool dark, TColour buttonFace) {
  TThemeColours c;
  c.TextColor = dark ? RgbColour(220, 220, 220) : RgbColour(0, 0, 0);
  c.BackColor = dark ? RgbColour(32, 32, 32) : RgbColour(255, 255, 255);
  c.BackColor2 = dark ? RgbColour(52, 52, 52) : RgbColour(240, 240, 240);
  c.FilterTextColor = dark ? RgbColour(255, 255, 255) : RgbColour(0, 0, 0);
  c.FilterBackColor = dark ? RgbColour(60, 60, 60) : RgbColour(240, 240, 240);
  c.CurrentCellBackColor = dark ? RgbColour(32, 62, 62) : RgbColour(70, 96, 166);
  c.SelectionTextColor = dark ? RgbColour(220, 220, 220) : RgbColour(255, 255, 255);
  c.SelectionBackColor = dark ? RgbColour(72, 102, 102) : RgbColour(10, 36, 106);
  c.SplitterColor = buttonFace & 0x00FFFFFFu;
  c.SyntaxText = dark ? RgbColour(220, 220, 220) : RgbColour(0, 0, 0);
  c.SyntaxKey = dark ? RgbColour(200, 0, 200) : RgbColour(128, 0, 128);
  c.SyntaxString = RgbColour(0, 128, 0);
  c.SyntaxBoolean = dark ? RgbColour(0, 0, 128) : RgbColour(0, 0, 255);
  c.SyntaxNull = RgbColour(255, 0, 0);
  c.Comment = dark ? RgbColour(150, 150, 150) : RgbColour(110, 110, 110);
  return c;
}

TThemeColours LoadThemeColours(bool dark, TColour buttonFace) {
  const TThemeColours d = DefaultThemeColours(dark, buttonFace);
  TThemeColours c;
  c.TextColor = ReadColour(KeyFor(u"text-color", dark), d.TextColor);
  c.BackColor = ReadColour(KeyFor(u"back-color", dark), d.BackColor);
  c.BackColor2 = ReadColour(KeyFor(u"back-color2", dark), d.BackColor2);
  c.FilterTextColor = ReadColour(KeyFor(u"filter-text-color", dark), d.FilterTextColor);
  c.FilterBackColor = ReadColour(KeyFor(u"filter-back-color", dark), d.FilterBackColor);
  c.CurrentCellBackColor =
      ReadColour(KeyFor(u"current-cell-back-color", dark), d.CurrentCellBackColor);
  c.SelectionTextColor = ReadColour(KeyFor(u"selection-text-color", dark), d.SelectionTextColor);
  c.SelectionBackColor = ReadColour(KeyFor(u"selection-back-color", dark), d.SelectionBackColor);
  c.SplitterColor = ReadColour(KeyFor(u"splitter-color", dark), d.SplitterColor);
  c.SyntaxText = ReadSyntaxColour(u"text", dark, d.SyntaxText);
  c.SyntaxKey = ReadSyntaxColour(u"key", dark, d.SyntaxKey);
  c.SyntaxString = ReadSyntaxColour(u"string", dark, d.SyntaxString);
  c.SyntaxBoolean = ReadSyntaxColour(u"boolean", dark, d.SyntaxBoolean);
  c.SyntaxNull = ReadSyntaxColour(u"null", dark, d.SyntaxNull);
  c.Comment = ReadColour(KeyFor(u"comment-color", dark), d.Comment);
  return c;
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

}  // namespace corvane
