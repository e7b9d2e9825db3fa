#include <algorithm>

#include <gtest/gtest.h>

#include "test_support.h"
#include "uSettings.h"
#include "uThemes.h"
#include "uUnicode.h"

namespace corvane {
namespace {

// Points the settings at an empty file in a fresh folder for one test.
class ThemeSettings : public ::testing::Test {
 protected:
  void SetUp() override { OverridePluginModuleFileName(Utf8ToUtf16(dir_.File("corvane.wlx64"))); }
  void TearDown() override { OverridePluginModuleFileName(u""); }

 private:
  test::TempDir dir_;
};

TEST(theme_mode, resolves_trimmed_case_folded_texts_and_falls_back_to_the_host) {
  EXPECT_EQ(ResolveThemeModeText(u" DARK ", 0), u"dark");
  EXPECT_EQ(ResolveThemeModeText(u"\tLight\r\n", 1), u"light");
  EXPECT_EQ(ResolveThemeModeText(u"1", 0), u"dark");
  EXPECT_EQ(ResolveThemeModeText(u"0", 1), u"light");
  EXPECT_EQ(ResolveThemeModeText(u"blue", 0), u"tc");
  EXPECT_EQ(ResolveThemeModeText(u"Total Commander", 0), u"tc");
  EXPECT_EQ(ResolveThemeModeText(u"system", 1), u"tc");
  EXPECT_EQ(ResolveThemeModeText(u"", 1), u"dark");
  EXPECT_EQ(ResolveThemeModeText(u"  ", 0), u"light");
  EXPECT_EQ(ResolveThemeModeText(std::u16string(u"dark\0x", 6), 0), u"tc");
  EXPECT_TRUE(IsDark(u"tc", true));
  EXPECT_FALSE(IsDark(u"tc", false));
  EXPECT_TRUE(IsDark(u"dark", false));
  EXPECT_FALSE(IsDark(u"light", true));
}

TEST(theme_mode, reapplies_only_when_the_host_flags_change_the_outcome) {
  const THostThemeFlags lightHost{false, false};
  const THostThemeFlags darkHost{true, false};
  const THostThemeFlags nativeDark{true, true};
  EXPECT_TRUE(HostFlagsNeedThemeApply(u"tc", lightHost, darkHost));
  EXPECT_FALSE(HostFlagsNeedThemeApply(u"light", lightHost, darkHost));
  EXPECT_TRUE(HostFlagsNeedThemeApply(u"light", darkHost, nativeDark));
  // Dark colours without the host's native dark flag keep the light controls.
  EXPECT_FALSE(UseDarkControlStyle(IsDark(u"tc", darkHost.Dark), darkHost));
  EXPECT_TRUE(UseDarkControlStyle(IsDark(u"tc", nativeDark.Dark), nativeDark));
}

TEST_F(ThemeSettings, stores_the_chosen_mode_and_reads_it_back) {
  const TSettingsAccess settings = FileSettingsAccess();
  EXPECT_EQ(ResolveThemeMode(settings), u"light");
  WriteIntSetting(u"dark-theme", 1);
  EXPECT_EQ(ResolveThemeMode(settings), u"dark");
  StoreThemeMode(settings, u"light");
  EXPECT_EQ(ReadSetting(u"theme-mode", u""), u"light");
  EXPECT_EQ(ReadIntSetting(u"dark-theme", 7), 0);
  StoreThemeMode(settings, u"tc");
  EXPECT_EQ(ReadIntSetting(u"dark-theme", 7), 0);
  EXPECT_EQ(ResolveThemeMode(settings), u"tc");
}

TEST_F(ThemeSettings, loads_defaults_and_the_syntax_then_json_fallback_chain) {
  const TColour face = RgbColour(1, 2, 3);
  const TSettingsAccess settings = FileSettingsAccess();
  const TThemeColours light = LoadThemeColours(settings, false, face);
  EXPECT_EQ(light.SelectionBackColor, 6956042u);
  EXPECT_EQ(light.SyntaxKey, 8388736u);
  EXPECT_EQ(light.SplitterColor, face);
  const TThemeColours dark = LoadThemeColours(settings, true, face);
  EXPECT_EQ(dark.BackColor, 2105376u);
  EXPECT_EQ(dark.Comment, 9868950u);
  EXPECT_EQ(dark.SyntaxBoolean, RgbColour(110, 170, 255));
  EXPECT_EQ(light.GridLineColor, face);  // the system's lines in the light set
  EXPECT_EQ(dark.SplitterColor, RgbColour(60, 60, 60));

  WriteIntSetting(u"json-key-color", 111);
  EXPECT_EQ(LoadThemeColours(settings, false, face).SyntaxKey, 111u);
  WriteIntSetting(u"syntax-key-color", 222);
  EXPECT_EQ(LoadThemeColours(settings, false, face).SyntaxKey, 222u);
  EXPECT_EQ(LoadThemeColours(settings, true, face).SyntaxKey, RgbColour(220, 140, 230));  // dark keys untouched
  WriteSetting(u"text-color-dark", u"$FF");
  WriteSetting(u"back-color-dark", u"-1");
  WriteSetting(u"comment-color-dark", u"grey");
  const TThemeColours edited = LoadThemeColours(settings, true, face);
  EXPECT_EQ(edited.TextColor, 255u);
  EXPECT_EQ(edited.BackColor, 0x00FFFFFFu);  // palette bits never leak through
  EXPECT_EQ(edited.Comment, 9868950u);
}

TEST(theme_colours, dark_defaults_read_at_least_four_and_a_half_to_one) {
  const TThemeColours c = DefaultThemeColours(true, RgbColour(240, 240, 240));
  const TColour header = HeaderBackColour(c.FilterBackColor);
  struct TPair {
    const char* What;
    TColour Front, Back;
  };
  const TPair pairs[] = {
      {"syntax text", c.SyntaxText, c.BackColor},    {"keys", c.SyntaxKey, c.BackColor},
      {"strings", c.SyntaxString, c.BackColor},      {"booleans and numbers", c.SyntaxBoolean, c.BackColor},
      {"null", c.SyntaxNull, c.BackColor},           {"comments", c.Comment, c.BackColor},
      {"grid text", c.TextColor, c.BackColor},       {"grid text on stripes", c.TextColor, c.BackColor2},
      {"selected rows", c.SelectionTextColor, c.SelectionBackColor},
      {"current cell", c.SelectionTextColor, c.CurrentCellBackColor},
      {"grid lines", c.GridLineColor, c.BackColor},  {"header text", c.FilterTextColor, header},
      {"filter text", c.FilterTextColor, c.FilterBackColor},
  };
  for (const TPair& p : pairs) EXPECT_GE(ContrastRatio(p.Front, p.Back), 4.5) << p.What;
  // The dark set has no light parts: the splitter is dark too.
  EXPECT_LT(ContrastRatio(c.SplitterColor, c.BackColor), 1.5);
  EXPECT_NEAR(ContrastRatio(RgbColour(0, 0, 0), RgbColour(255, 255, 255)), 21.0, 1e-9);
}

TEST(theme_colours, derives_header_splitter_and_syntax_role_colours) {
  EXPECT_EQ(HeaderBackColour(RgbColour(240, 240, 240)), RgbColour(204, 204, 204));
  EXPECT_EQ(HeaderBackColour(RgbColour(60, 61, 1)), RgbColour(51, 51, 0));
  EXPECT_EQ(SplitterLineColour(RgbColour(240, 0, 10), RgbColour(0, 255, 11)),
            RgbColour(160, 85, 10));
  const TThemeColours c = DefaultThemeColours(false, 0);
  EXPECT_EQ(SyntaxRoleColour(c, srComment), c.Comment);
  EXPECT_EQ(SyntaxRoleColour(c, srNull), c.SyntaxNull);
  EXPECT_EQ(SyntaxRoleColour(c, srText), c.SyntaxText);
  EXPECT_EQ(FontWeightFromSetting(7), 700);
  EXPECT_EQ(FontWeightFromSetting(12), 0);
  EXPECT_EQ(FontWeightFromSetting(-1), 0);
}

}  // namespace
}  // namespace corvane
