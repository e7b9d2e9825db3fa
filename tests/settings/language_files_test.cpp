// The shipped language files (lang/corvane.*.lng), each loaded alone through
// the translation loader: every key of the key table has a text, no key is
// unknown or given twice, and each text keeps what the plug-in relies on:
// the English placeholders in the same order, the leading blank of status
// texts, the key of a keyboard hint. English is the reference and says
// exactly what the key table's defaults say.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "test_seams.h"
#include "test_support.h"
#include "uI18n.h"
#include "uUnicode.h"

namespace corvane {
namespace {

const char* const kLanguages[] = {"en", "de", "ru", "uk"};
const std::u16string kMissing = u"\x01(missing)";

// The "%" sequences of a text, in order.
std::u16string Placeholders(std::u16string_view text) {
  std::u16string found;
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == u'%') found += text.substr(i++, 2);
  return found;
}

// The key of a trailing keyboard hint such as "(Ctrl+C)": "C"; empty
// without a hint.
std::u16string HintKey(std::u16string_view text) {
  const size_t open = text.rfind(u'(');
  if (text.empty() || text.back() != u')' || open == std::u16string_view::npos) return {};
  const std::u16string_view hint = text.substr(open + 1, text.size() - open - 2);
  const size_t plus = hint.rfind(u'+');
  return plus == std::u16string_view::npos ? std::u16string() : std::u16string(hint.substr(plus + 1));
}

// Spaces at the start of a text.
size_t LeadingBlanks(std::u16string_view text) {
  size_t blanks = 0;
  while (blanks < text.size() && text[blanks] == u' ') ++blanks;
  return blanks;
}

std::vector<std::string> TextProblems(const TI18nKey& key, const std::u16string& text, bool english) {
  const std::string name(key.Key);
  std::vector<std::string> problems;
  if (english && text != key.English) problems.push_back(name + ": differs from the built-in English text");
  if (Placeholders(text) != Placeholders(key.English))
    problems.push_back(name + ": placeholders " + Utf16ToUtf8(Placeholders(text)) + " instead of " +
                       Utf16ToUtf8(Placeholders(key.English)));
  if (LeadingBlanks(text) != LeadingBlanks(key.English)) problems.push_back(name + ": leading blanks differ");
  const std::u16string hint = HintKey(key.English);
  if (HintKey(text).empty() != hint.empty() || (hint.size() == 1 && HintKey(text) != hint))
    problems.push_back(name + ": keyboard hint differs");
  return problems;
}

// Loads the file alone (no English file beside it, so nothing fills its
// gaps) and lists what is wrong with it.
std::vector<std::string> LanguageFileProblems(const std::string& code, const std::string& bytes) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("corvane." + code + ".lng"), bytes);
  OverridePluginModuleFileName(Utf8ToUtf16(dir.File("corvane.wlx64")));
  ResetTranslations();
  SetLanguage(Utf8ToUtf16(code));
  std::vector<std::string> problems;
  for (size_t i = 0; i < kAllI18nKeyCount; ++i) {
    const TI18nKey& key = *kAllI18nKeys[i];
    const std::u16string text = tr(key.Key, kMissing);
    if (text == kMissing) problems.push_back(std::string(key.Key) + ": missing");
    else for (const std::string& p : TextProblems(key, text, code == "en")) problems.push_back(p);
  }
  ResetTranslations();
  OverridePluginModuleFileName(u"");
  std::set<std::u16string> known, seen;
  for (size_t i = 0; i < kAllI18nKeyCount; ++i) known.insert(Utf8ToUtf16(kAllI18nKeys[i]->Key));
  for (const TTranslation& entry : ParseLanguageText(bytes)) {
    if (!known.count(entry.Key)) problems.push_back(Utf16ToUtf8(entry.Key) + ": unknown key");
    if (!seen.insert(entry.Key).second) problems.push_back(Utf16ToUtf8(entry.Key) + ": given twice");
  }
  return problems;
}

std::string LanguageFile(const std::string& code) {
  return test::ReadFileBytes(test::SourceDir() + "/lang/corvane." + code + ".lng");
}

TEST(language_files, give_every_key_a_text_that_keeps_placeholders_blanks_and_hints) {
  for (const char* code : kLanguages) {
    const std::string bytes = LanguageFile(code);
    ASSERT_FALSE(bytes.empty()) << code;
    std::string all;
    for (const std::string& problem : LanguageFileProblems(code, bytes)) all += "\n  " + problem;
    EXPECT_TRUE(all.empty()) << "corvane." << code << ".lng:" << all;
  }
}

// The check itself: a German file with a dropped "%s", a lost key, an
// unknown key and a lost leading blank is caught on each.
TEST(language_files, check_catches_each_kind_of_fault) {
  std::string bytes = LanguageFile("de");
  auto replace = [&bytes](const std::string& from, const std::string& to) {
    const size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    bytes.replace(at, from.size(), to);
  };
  replace("FEHLGESCHLAGEN: %s", "FEHLGESCHLAGEN");
  replace("menu.copy_path=", "menu.copy_pfad=");
  replace("status.saved= ", "status.saved=");
  const std::vector<std::string> problems = LanguageFileProblems("de", bytes);
  const std::vector<std::string> expected = {"status.save_failed: placeholders  instead of %s", "menu.copy_path: missing",
                                             "status.saved: leading blanks differ", "menu.copy_pfad: unknown key"};
  for (const std::string& problem : expected)
    EXPECT_NE(std::find(problems.begin(), problems.end(), problem), problems.end()) << problem;
  EXPECT_EQ(problems.size(), expected.size());
}

}  // namespace
}  // namespace corvane
