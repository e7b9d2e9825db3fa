// The references written from the settings key table: the settings page of
// the documentation is up to date, and the shipped corvane.ini names every
// key with its true default and changes nothing as shipped.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "test_seams.h"
#include "test_support.h"
#include "uSettingKeys.h"
#include "uSettings.h"
#include "uSettingsAccess.h"
#include "uSettingsReference.h"
#include "uUnicode.h"

namespace corvane {
namespace {

std::vector<std::string> IniLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// What a rule reads for the key through an access: text, char or number.
std::u16string ReadAsText(const TSettingsAccess& access, const TSettingKey& key) {
  switch (key.Type) {
    case stText: return access.ReadText(key);
    case stChar: return std::u16string(1, access.ReadChar(key));
    default: {
      const int value = key.RunTimeDefault.empty() ? access.ReadInt(key) : access.ReadInt(key, 0x123456);
      return Utf8ToUtf16(std::to_string(value));
    }
  }
}

TEST(settings_reference, page_in_the_documentation_matches_the_key_table) {
  const std::string page = test::ReadFileBytes(test::SourceDir() + "/docs/settings.md");
  EXPECT_TRUE(page == MarkdownReferenceText())
      << "docs/settings.md is out of date: build/native/bin/settings_reference markdown > docs/settings.md";
}

TEST(settings_reference, ini_comments_out_one_line_for_every_key) {
  std::map<std::string, int> keyLines;
  for (const std::string& line : IniLines(IniReferenceText())) {
    if (line.empty() || line == "[corvane]") continue;
    ASSERT_EQ(line[0], ';') << "a line that is not a comment: " << line;
    const size_t equals = line.find('=');
    if (line.size() > 1 && line[1] != ' ' && equals != std::string::npos) ++keyLines[line.substr(1, equals - 1)];
  }
  for (size_t i = 0; i < kAllSettingKeyCount; ++i) {
    const std::string name = Utf16ToUtf8(std::u16string(kAllSettingKeys[i]->Name));
    EXPECT_EQ(keyLines[name], 1) << name;
    keyLines.erase(name);
  }
  EXPECT_TRUE(keyLines.empty()) << "a key line for a key the table does not have: " << keyLines.begin()->first;
}

// Every key line with its ";" taken away reads as the table's default: the
// defaults the ini shows are the ones the plug-in uses.
TEST(settings_reference, ini_shows_the_defaults_the_plugin_reads) {
  test::TempDir dir;
  OverridePluginModuleFileName(Utf8ToUtf16(dir.File("corvane.wlx64")));
  std::string uncommented;
  for (const std::string& line : IniLines(IniReferenceText()))
    uncommented += (line.size() > 1 && line[0] == ';' && line[1] != ' ' ? line.substr(1) : line) + "\r\n";
  test::WriteFileBytes(dir.File("corvane.ini"), uncommented);
  ASSERT_EQ(SettingsFileName(), Utf8ToUtf16(dir.File("corvane.ini")));
  const TSettingsAccess file = FileSettingsAccess(), defaults;
  for (size_t i = 0; i < kAllSettingKeyCount; ++i) {
    const TSettingKey& key = *kAllSettingKeys[i];
    EXPECT_EQ(ReadAsText(file, key), ReadAsText(defaults, key)) << Utf16ToUtf8(std::u16string(key.Name));
  }
  OverridePluginModuleFileName(u"");
}

}  // namespace
}  // namespace corvane
