#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"
#include "uSettings.h"
#include "uUnicode.h"

namespace corvane {
namespace {

// A plug-in module in a scratch folder, so the settings file beside it and
// the host's default file are under the test's control.
class SettingsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    OverridePluginModuleFileName(Utf8ToUtf16(dir_.File("corvane.wlx64")));
    ResetDefaultSettingsFileName();
  }
  void TearDown() override {
    OverridePluginModuleFileName(u"");
    ResetDefaultSettingsFileName();
  }
  std::string BesidePlugin() const { return dir_.File("corvane.ini"); }
  void WriteIni(const std::string& body) const { test::WriteFileBytes(BesidePlugin(), "[corvane]\r\n" + body); }

  test::TempDir dir_;
};

TEST_F(SettingsFixture, reads_values_with_the_inline_comment_rule) {
  WriteIni(
      "font-size=18 ; bigger\r\n"
      "max-column-width=18;bigger\r\n"
      "missing-attribute-value=-- ; comment\r\n"
      "detect-string=ext='a ; b'\r\n"
      "column-delimiter=;\r\n"
      "font=Consolas ;\tcomment\r\n");
  EXPECT_EQ(ReadIntSetting(u"font-size", 16), 18);
  EXPECT_EQ(ReadIntSetting(u"max-column-width", 300), 300);
  EXPECT_EQ(ReadSetting(u"missing-attribute-value", u"<N/A>"), u"--");
  EXPECT_EQ(ReadSetting(u"detect-string", u""), u"ext='a ; b'");
  EXPECT_EQ(ReadCharSetting(u"column-delimiter", u'\t'), u';');
  EXPECT_EQ(ReadSetting(u"font", u"Arial"), u"Consolas");
  EXPECT_EQ(ReadSetting(u"absent", u"x ; y"), u"x");  // defaults obey the rule too
  EXPECT_EQ(ReadCharSetting(u"absent", u'\t'), u'\t');
}

TEST(inline_comment_rule, needs_a_blank_next_to_the_semicolon_outside_quotes) {
  EXPECT_EQ(StripInlineComment(u";x"), u";x");  // first position never starts a comment
  EXPECT_EQ(StripInlineComment(u"a;"), u"a;");
  EXPECT_EQ(StripInlineComment(u"a; b"), u"a");
  EXPECT_EQ(StripInlineComment(u"a ;b"), u"a");
  EXPECT_EQ(StripInlineComment(u"\"a ; b\" ; c"), u"\"a ; b\"");
  EXPECT_EQ(StripInlineComment(u"\"it's ; x\""), u"\"it's ; x\"");  // ' inside " is text
  EXPECT_EQ(StripInlineComment(u"'open ; never closed"), u"'open ; never closed");
  EXPECT_EQ(StripInlineComment(u"trailing \t "), u"trailing");
}

TEST(setting_integer_syntax, accepts_the_prefixes_and_nothing_after_the_digits) {
  struct TCase {
    const char16_t* Text;
    bool Ok;
    int Value;
  };
  const TCase cases[] = {
      {u"18", true, 18},       {u"$12", true, 18},        {u"0x12", true, 18},
      {u"0X12", true, 18},     {u"x12", true, 18},        {u"X1f", true, 31},
      {u"&17", true, 15},      {u"%101", true, 5},        {u" \t-42", true, -42},
      {u"+7", true, 7},        {u"-$10", true, -16},      {u"$FFFFFFFF", true, -1},
      {u"-2147483648", true, INT32_MIN},                  {u"2147483647", true, INT32_MAX},
      {u"2147483648", false, 0}, {u"12px", false, 0},     {u"", false, 0},
      {u"$", false, 0},        {u"0x", false, 0},         {u"&8", false, 0},
      {u"%2", false, 0},       {u"1 2", false, 0},        {u"--1", false, 0},
      {u"$100000000", false, 0},
  };
  for (const TCase& c : cases) {
    int value = 12345;
    EXPECT_EQ(ParseSettingInt(c.Text, &value), c.Ok) << Utf16ToUtf8(c.Text);
    if (c.Ok) {
      EXPECT_EQ(value, c.Value) << Utf16ToUtf8(c.Text);
    }
  }
}

TEST_F(SettingsFixture, reads_integers_through_the_file_and_falls_back_to_defaults) {
  WriteIni("font-size=$12\r\nsplitter-position=12px\r\nfilter-align=0x12\r\n");
  EXPECT_EQ(ReadIntSetting(u"font-size", 16), 18);
  EXPECT_EQ(ReadIntSetting(u"splitter-position", 16), 16);
  EXPECT_EQ(ReadIntSetting(u"filter-align", 0), 18);
  EXPECT_EQ(ReadIntSetting(u"absent", -3), -3);
}

TEST_F(SettingsFixture, uses_the_file_beside_the_plugin_before_the_hosts_file) {
  const std::string hostFile = dir_.File("wincmd.ini");
  test::WriteFileBytes(hostFile, "[Other]\r\nfont-size=99\r\n[corvane]\r\nfont-size=20\r\n");
  EXPECT_EQ(SettingsFileName(), Utf8ToUtf16(BesidePlugin()));  // nothing supplied yet
  SetDefaultSettingsFileName(Utf8ToUtf16(hostFile));
  SetDefaultSettingsFileName(u"ignored-second-name.ini");
  EXPECT_EQ(DefaultSettingsFileName(), Utf8ToUtf16(hostFile));
  EXPECT_EQ(ReadIntSetting(u"font-size", 16), 20);

  WriteIni("font-size=30\r\n");
  EXPECT_EQ(ReadIntSetting(u"font-size", 16), 30);
  ASSERT_EQ(std::remove(BesidePlugin().c_str()), 0);
  EXPECT_EQ(ReadIntSetting(u"font-size", 16), 20);  // no cache: the next read sees it
}

TEST_F(SettingsFixture, finds_section_and_key_in_any_case_and_strips_quotes) {
  test::WriteFileBytes(BesidePlugin(),
                       "; settings\r\n[Other]\r\nfont=Wrong\r\n[CORVANE]\r\n  Font  =  \"Courier New\"  \r\n"
                       "theme-mode='dark'\r\n");
  EXPECT_EQ(ReadSetting(u"font", u"Arial"), u"Courier New");
  EXPECT_EQ(ReadSetting(u"theme-mode", u""), u"dark");
}

TEST_F(SettingsFixture, cuts_long_values_at_1023_characters) {
  WriteIni("missing-attribute-value=" + std::string(2000, 'v') + "\r\n");
  EXPECT_EQ(ReadSetting(u"missing-attribute-value", u"").size(), 1023u);
}

TEST_F(SettingsFixture, writes_values_and_keeps_the_rest_of_the_file) {
  test::WriteFileBytes(BesidePlugin(), "; my comment\r\n[corvane]\r\nfont=Consolas\r\ntab-no=1\r\n\r\n[Other]\r\nk=v\r\n");
  WriteIntSetting(u"tab-no", 0);
  WriteIntSetting(u"font-size", -12);
  WriteSetting(u"theme-mode", u"dark");
  EXPECT_EQ(ReadIntSetting(u"tab-no", 5), 0);
  EXPECT_EQ(ReadIntSetting(u"font-size", 16), -12);
  EXPECT_EQ(ReadSetting(u"theme-mode", u""), u"dark");
  EXPECT_EQ(ReadSetting(u"font", u""), u"Consolas");
  const std::string bytes = test::ReadFileBytes(BesidePlugin());
  EXPECT_NE(bytes.find("; my comment"), std::string::npos);
  EXPECT_NE(bytes.find("[Other]\r\nk=v"), std::string::npos);
  EXPECT_EQ(bytes.find("theme-mode"), bytes.rfind("theme-mode"));
  EXPECT_LT(bytes.find("theme-mode"), bytes.find("[Other]"));  // inside its own section
}

TEST_F(SettingsFixture, adds_keys_after_a_last_line_without_line_end) {
  for (const char* ending : {"", "\r"}) {
    test::WriteFileBytes(BesidePlugin(), std::string("[corvane]\r\nfont=Consolas") + ending);
    WriteIntSetting(u"font-size", 12);
    EXPECT_EQ(ReadSetting(u"font", u""), u"Consolas");
    EXPECT_EQ(ReadIntSetting(u"font-size", 16), 12);
  }
}

TEST_F(SettingsFixture, creates_the_file_on_the_first_write) {
  EXPECT_FALSE(test::FileExists(BesidePlugin()));
  EXPECT_EQ(ReadIntSetting(u"FlatViewLevel", 0), 0);
  WriteIntSetting(u"FlatViewLevel", -1);
  EXPECT_TRUE(test::FileExists(BesidePlugin()));
  EXPECT_EQ(ReadIntSetting(u"FlatViewLevel", 0), -1);
}

TEST_F(SettingsFixture, gives_the_default_detect_string) {
  EXPECT_EQ(DetectString(), u"ext=\"YAML\" | ext=\"YML\" | ext=\"TOML\"");
  WriteIni("detect-string=ext=\"YAML\" ; yaml only\r\n");
  EXPECT_EQ(DetectString(), u"ext=\"YAML\"");
}

}  // namespace
}  // namespace corvane
