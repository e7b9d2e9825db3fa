#include <gtest/gtest.h>

#include <set>
#include <string>

#include "test_support.h"
#include "uI18n.h"
#include "uSettings.h"
#include "uUnicode.h"
#include "uUserLanguage.h"

namespace corvane {
namespace {

// Language files in a scratch folder that stands for the plug-in's folder.
class TranslationFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    OverridePluginModuleFileName(Utf8ToUtf16(dir_.File("corvane.wlx64")));
    ResetTranslations();
  }
  void TearDown() override {
    ResetTranslations();
    OverridePluginModuleFileName(u"");
    platform::OverrideUserUiPrimaryLanguage(-1);
  }
  void WriteLanguage(const std::string& code, const std::string& body) const {
    test::WriteFileBytes(dir_.File("corvane." + code + ".lng"), body);
  }

  test::TempDir dir_;
};

TEST(normalise_language, keeps_the_supported_codes_and_drops_regions) {
  EXPECT_EQ(NormaliseLanguage(u"DE-at"), u"de");
  EXPECT_EQ(NormaliseLanguage(u" ru_RU "), u"ru");
  EXPECT_EQ(NormaliseLanguage(u"uk"), u"uk");
  EXPECT_EQ(NormaliseLanguage(u"fr"), u"en");
  EXPECT_EQ(NormaliseLanguage(u"pt_BR"), u"en");
  EXPECT_EQ(NormaliseLanguage(u"-de"), u"en");
}

TEST(normalise_language, follows_the_user_interface_language_for_auto) {
  platform::OverrideUserUiPrimaryLanguage(7);
  EXPECT_EQ(NormaliseLanguage(u"auto"), u"de");
  EXPECT_EQ(NormaliseLanguage(u" AUTO "), u"de");
  EXPECT_EQ(NormaliseLanguage(u""), u"de");
  platform::OverrideUserUiPrimaryLanguage(34);
  EXPECT_EQ(NormaliseLanguage(u"auto"), u"uk");
  platform::OverrideUserUiPrimaryLanguage(12);  // French
  EXPECT_EQ(NormaliseLanguage(u"auto"), u"en");
  platform::OverrideUserUiPrimaryLanguage(-1);
}

TEST(language_file_format, reads_key_text_lines_exactly_as_written) {
  const std::string bytes =
      "\xEF\xBB\xBF"
      "status.saved= SAVED\r\n"
      "# comment=no\n"
      "; other=no\r\n"
      " # x=y\n"
      "\r\n"
      "menu.copy =Kopieren\r\n"
      "=starts with equals\n"
      "no equals sign\n"
      "tab.grid=Raster=Gitter\\n\n"
      "tree.root=\xD0\x9A\xD0\xBE\xD1\x80\xD0\xB5\xD0\xBD\xD1\x8C\r";
  const std::vector<TTranslation> entries = ParseLanguageText(bytes);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].Key, u"status.saved");
  EXPECT_EQ(entries[0].Text, u" SAVED");
  EXPECT_EQ(entries[1].Key, u"# x");
  EXPECT_EQ(entries[1].Text, u"y");
  EXPECT_EQ(entries[2].Key, u"menu.copy");
  EXPECT_EQ(entries[2].Text, u"Kopieren");
  EXPECT_EQ(entries[3].Text, u"Raster=Gitter\\n");  // no escape sequences
  EXPECT_EQ(entries[4].Text, u"\u041A\u043E\u0440\u0435\u043D\u044C");
}

TEST_F(TranslationFixture, gives_english_defaults_without_language_files) {
  SetLanguage(u"de");
  EXPECT_EQ(CurrentLanguage(), u"de");
  EXPECT_EQ(tr(i18n::kStatusSaved), u" SAVED");
  EXPECT_EQ(tr("no.such.key", u"fallback"), u"fallback");
}

TEST_F(TranslationFixture, reads_english_first_then_the_chosen_language) {
  WriteLanguage("en", "menu.copy=Copy it\r\nmenu.save=Store\r\n");
  WriteLanguage("de", "\xEF\xBB\xBFmenu.copy=Kopieren\r\nmenu.copy=Kopieren!\r\n");
  SetLanguage(u"DE-at");
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Kopieren!");  // a later line wins
  EXPECT_EQ(tr(i18n::kMenuSave), u"Store");       // only the English file has it
  EXPECT_EQ(tr(i18n::kTabGrid), u"Grid");
  EXPECT_EQ(tr("MENU.COPY", u"x"), u"x");         // keys match exactly
}

TEST_F(TranslationFixture, picks_the_language_from_the_setting_on_first_lookup) {
  test::WriteFileBytes(dir_.File("corvane.ini"), "[corvane]\r\nlanguage=ru_RU ; Russian\r\n");
  WriteLanguage("ru", "tab.text=\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82\n");
  EXPECT_EQ(tr(i18n::kTabText), u"\u0422\u0435\u043A\u0441\u0442");
  EXPECT_EQ(CurrentLanguage(), u"ru");
}

TEST_F(TranslationFixture, ignores_a_language_file_over_one_mebibyte) {
  std::string big = "menu.copy=Kopieren\n";
  big.append(1048576 - big.size() + 1, '#');
  WriteLanguage("de", big);
  EXPECT_FALSE(LoadLanguageFile(u"de"));
  SetLanguage(u"de");
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Copy");

  big.resize(1048576);  // exactly the limit is still read
  WriteLanguage("ru", big);
  EXPECT_TRUE(LoadLanguageFile(u"ru"));
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Kopieren");
}

TEST_F(TranslationFixture, rereads_files_only_when_the_language_changes) {
  WriteLanguage("de", "menu.copy=Kopieren\n");
  WriteLanguage("ru", "menu.copy=Copy-ru\n");
  SetLanguage(u"de");
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Kopieren");
  WriteLanguage("de", "menu.copy=Changed\n");
  SetLanguage(u"de-DE");  // same language: nothing reread
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Kopieren");
  SetLanguage(u"ru");
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Copy-ru");
  SetLanguage(u"de");
  EXPECT_EQ(tr(i18n::kMenuCopy), u"Changed");
}

TEST_F(TranslationFixture, finds_its_folder_from_the_module_name) {
  EXPECT_EQ(PluginDirectory(), Utf8ToUtf16(dir_.Path() + "/"));
  OverridePluginModuleFileName(u"C:\\Plugins\\corvane.wlx64");
  EXPECT_EQ(PluginDirectory(), u"C:\\Plugins\\");
  OverridePluginModuleFileName(u"corvane.wlx64");
  EXPECT_EQ(PluginDirectory(), u".\\");
}

TEST(translation_keys, are_unique_and_dotted) {
  std::set<std::string_view> seen;
  for (size_t i = 0; i < kAllI18nKeyCount; ++i) {
    const TI18nKey& key = *kAllI18nKeys[i];
    EXPECT_TRUE(seen.insert(key.Key).second) << key.Key;
    EXPECT_NE(key.Key.find('.'), std::string_view::npos) << key.Key;
    EXPECT_FALSE(key.English.empty()) << key.Key;
  }
  EXPECT_EQ(kAllI18nKeyCount, 91u);
  EXPECT_EQ(i18n::kDialogSaveBeforeClose.English, u"Save changes to \"%s\" before closing?");
}

}  // namespace
}  // namespace corvane
