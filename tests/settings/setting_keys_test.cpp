// The settings key table is the one place for keys, types and defaults: the
// table is sound, and no product code reads or writes a setting around it.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"
#include "uSettingKeys.h"
#include "uUnicode.h"

namespace corvane {
namespace {

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(std::u16string(text)); }

bool IsIntType(TSettingType type) { return type == stInt || type == stFlag || type == stColour; }

bool IsDarkKey(std::u16string_view name) {
  return name.size() > 5 && name.substr(name.size() - 5) == u"-dark";
}

TEST(setting_key_table, holds_each_key_once_with_a_default_of_its_type) {
  std::set<std::u16string_view> names;
  for (size_t i = 0; i < kAllSettingKeyCount; ++i) {
    const TSettingKey& key = *kAllSettingKeys[i];
    const std::string name = Utf8(key.Name);
    EXPECT_TRUE(names.insert(key.Name).second) << name << " is in the table twice";
    EXPECT_EQ(FindSettingKey(key.Name), &key) << name;
    EXPECT_FALSE(key.Read.empty()) << name;
    EXPECT_FALSE(key.Effect.empty()) << name;
    // Lower case with hyphens, except the two older keys.
    const bool olderKey = key.Name == u"alwaysStartAtRoot" || key.Name == u"FlatViewLevel";
    EXPECT_TRUE(olderKey || std::regex_match(name, std::regex("[a-z][a-z0-9]*(-[a-z0-9]+)*"))) << name;
    EXPECT_TRUE(!IsIntType(key.Type) || key.TextDefault.empty()) << name;
    EXPECT_TRUE(key.Type != stChar || key.TextDefault.size() == 1) << name;
    EXPECT_TRUE(IsIntType(key.Type) || key.IntDefault == 0) << name;
    if (key.DefaultKey) {
      EXPECT_EQ(FindSettingKey(key.DefaultKey->Name), key.DefaultKey) << name;
      EXPECT_EQ(key.DefaultKey->Type, key.Type) << name;
      EXPECT_EQ(key.DefaultKey->DefaultKey, nullptr) << name << ": one step of fallback only";
    }
    EXPECT_TRUE(key.RunTimeDefault.empty() || key.Type == stColour) << name;
  }
  EXPECT_EQ(FindSettingKey(u"Font-Size"), nullptr);  // names are exact
}

TEST(setting_key_table, gives_every_light_colour_a_dark_twin_of_the_same_kind) {
  int colours = 0;
  for (size_t i = 0; i < kAllSettingKeyCount; ++i) {
    const TSettingKey& light = *kAllSettingKeys[i];
    if (light.Type != stColour || IsDarkKey(light.Name)) continue;
    ++colours;
    const TSettingKey* dark = FindSettingKey(std::u16string(light.Name) + u"-dark");
    ASSERT_NE(dark, nullptr) << Utf8(light.Name);
    EXPECT_EQ(dark->Type, stColour);
    // The system's colours are light ones: the dark set gives a constant.
    EXPECT_TRUE(dark->RunTimeDefault.empty()) << Utf8(light.Name);
    EXPECT_EQ(dark->DefaultKey != nullptr, light.DefaultKey != nullptr);
    if (light.DefaultKey) {
      EXPECT_EQ(dark->DefaultKey->Name, std::u16string(light.DefaultKey->Name) + u"-dark");
    }
  }
  EXPECT_EQ(colours, 21);
  EXPECT_EQ(setting::kSyntaxKeyColor.DefaultKey, &setting::kJsonKeyColor);
  EXPECT_EQ(setting::kCommentColorDark.IntDefault, setting::Rgb(150, 150, 150));
}

TEST(setting_key_table, lists_every_key_constant_of_its_header) {
  const std::string header = test::ReadFileBytes(test::SourceDir() + "/plugin/settings/uSettingKeys.h");
  const std::regex declaration("inline constexpr TSettingKey (k\\w+)");
  size_t declared = 0;
  for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end; ++it)
    ++declared;
  EXPECT_EQ(declared, kAllSettingKeyCount);
}

// ---- no settings access around the table ----------------------------------

struct TFinding {
  std::string File;
  int Line;
  std::string Text;
};

std::string WithoutLineComment(const std::string& line) {
  const size_t comment = line.find("//");
  return comment == std::string::npos ? line : line.substr(0, comment);
}

// The product's sources: plugin/ and platform/, as paths below the source
// folder.
std::vector<std::string> ProductFiles() {
  std::vector<std::string> files;
  const std::string root = test::SourceDir();
  for (const char* folder : {"/plugin", "/platform"})
    for (const char* suffix : {".h", ".cpp"})
      for (const std::string& path : test::ListFiles(root + folder, suffix))
        files.push_back(path.substr(root.size() + 1));
  return files;
}

// Lines of the product sources that match pattern, except in the files
// allowed to.
std::vector<TFinding> FindInProduct(const std::regex& pattern, const std::set<std::string>& allowed) {
  std::vector<TFinding> found;
  for (const std::string& file : ProductFiles()) {
    if (allowed.count(file)) continue;
    const std::string text = test::ReadFileBytes(test::SourceDir() + "/" + file);
    size_t start = 0;
    for (int line = 1; start <= text.size(); ++line) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string code = WithoutLineComment(text.substr(start, end - start));
      if (std::regex_search(code, pattern)) found.push_back({file, line, code});
      start = end + 1;
    }
  }
  return found;
}

std::string Describe(const std::vector<TFinding>& findings) {
  std::string text;
  for (const TFinding& f : findings) text += "\n  " + f.File + ":" + std::to_string(f.Line) + ": " + f.Text;
  return text;
}

TEST(setting_reads, go_through_the_key_table_everywhere_in_the_product) {
  ASSERT_GT(ProductFiles().size(), 50u) << "the product sources were not found";
  // The file's raw reads and writes take any name and any default; only the
  // settings layer's own door may call them.
  const std::regex rawSettings("\\b(ReadSetting|ReadIntSetting|ReadCharSetting|WriteSetting|WriteIntSetting)\\b");
  const auto raw = FindInProduct(rawSettings, {"plugin/settings/uSettings.h", "plugin/settings/uSettings.cpp",
                                               "plugin/settings/uSettingsAccess.cpp"});
  EXPECT_TRUE(raw.empty()) << "settings read or written by name, not through TSettingsAccess:" << Describe(raw);

  const std::regex profile("\\b((Get|Write)(Private)?Profile(String|Int|Section)\\w*|ReadProfileString|WriteProfileString)\\b");
  const auto files = FindInProduct(profile, {"platform/uProfile.h", "platform/uProfile_win.cpp",
                                             "platform/uProfile_posix.cpp", "plugin/settings/uSettings.cpp"});
  EXPECT_TRUE(files.empty()) << "profile files read around the settings layer:" << Describe(files);

  // A source of raw reads, or a key made outside the table, would carry its
  // own name and default.
  const auto sources = FindInProduct(std::regex("\\bTSettingsSource\\b"),
                                     {"plugin/settings/uSettingsAccess.h", "plugin/settings/uSettingsAccess.cpp"});
  EXPECT_TRUE(sources.empty()) << "settings source used outside the settings layer:" << Describe(sources);
  const auto keys = FindInProduct(std::regex("\\bTSettingKey\\b(?!\\s*[&*])"),
                                  {"plugin/settings/uSettingKeys.h", "plugin/settings/uSettingKeys.cpp"});
  EXPECT_TRUE(keys.empty()) << "setting key made outside the key table:" << Describe(keys);

  // A key's name spelled out anywhere but the table is a read by name.
  std::string names;
  for (size_t i = 0; i < kAllSettingKeyCount; ++i)
    names += (names.empty() ? "" : "|") + Utf8(kAllSettingKeys[i]->Name);
  const auto spelled = FindInProduct(std::regex("u?\"(" + names + ")\""), {"plugin/settings/uSettingKeys.h"});
  EXPECT_TRUE(spelled.empty()) << "setting key named outside the key table:" << Describe(spelled);
}

}  // namespace
}  // namespace corvane
