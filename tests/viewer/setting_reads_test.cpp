// Every rule of the viewer core that reads or writes settings names a key of
// the key table, reads it as the table's type and passes the table's default
// (or, for a key whose default is known only at run time, the run-time value).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uClipboard.h"
#include "uSettingKeys.h"
#include "uThemes.h"
#include "uUnicode.h"
#include "uViewState.h"
#include "uViewerCore.h"
#include "viewer_core_support.h"

namespace corvane {
namespace {

// A settings store that holds nothing and records every read and write.
struct TRecordingSettings {
  struct TRead {
    std::u16string Name;
    TSettingType Kind;  // stInt for int, flag and colour reads
    int IntDefault = 0;
    std::u16string TextDefault;
  };
  std::vector<TRead> Reads;
  std::vector<std::pair<std::u16string, TSettingType>> Writes;

  TSettingsAccess Access() {
    TSettingsSource source;
    source.ReadInt = [this](const std::u16string& name, int def) {
      Reads.push_back({name, stInt, def, {}});
      return def;
    };
    source.ReadText = [this](const std::u16string& name, const std::u16string& def) {
      Reads.push_back({name, stText, 0, def});
      return def;
    };
    source.ReadChar = [this](const std::u16string& name, char16_t def) {
      Reads.push_back({name, stChar, 0, std::u16string(1, def)});
      return def;
    };
    source.WriteInt = [this](const std::u16string& name, int) { Writes.push_back({name, stInt}); };
    source.WriteText = [this](const std::u16string& name, const std::u16string&) {
      Writes.push_back({name, stText});
    };
    return TSettingsAccess(std::move(source));
  }
};

TSettingType ReadKind(TSettingType type) {
  return type == stFlag || type == stColour ? stInt : type;
}

constexpr TColour kButtonFace = RgbColour(1, 2, 3);

void ExpectTableRead(const TRecordingSettings::TRead& read) {
  const std::string name = Utf16ToUtf8(read.Name);
  const TSettingKey* key = FindSettingKey(read.Name);
  ASSERT_NE(key, nullptr) << name << " is read but not in the key table";
  EXPECT_EQ(read.Kind, ReadKind(key->Type)) << name << " is read as another type";
  if (read.Kind == stText || read.Kind == stChar) {
    EXPECT_EQ(read.TextDefault, key->TextDefault) << name << " is read with its own default";
  } else if (!key->RunTimeDefault.empty()) {
    EXPECT_EQ(read.IntDefault, static_cast<int>(kButtonFace)) << name;
  } else {
    const int tableDefault = key->DefaultKey ? key->DefaultKey->IntDefault : key->IntDefault;
    EXPECT_EQ(read.IntDefault, tableDefault) << name << " is read with its own default";
  }
}

TEST(setting_reads, name_table_keys_with_the_table_defaults) {
  TRecordingSettings recording;
  const TSettingsAccess settings = recording.Access();

  const TViewStartSettings start = ReadViewStartSettings(settings, 96);
  TViewerCore core(settings);
  auto document = test::Obj({{"a", test::Arr({test::Obj({{"x", test::Int(1)}})})}});
  core.Root = document.get();
  core.BuildTable(document.get());
  core.WidthPassInput(TScaling{96, start.FontSize}, {});
  ResolveThemeMode(settings);
  LoadThemeColours(settings, false, kButtonFace);
  LoadThemeColours(settings, true, kButtonFace);
  ColumnDelimiter(settings);

  EXPECT_GE(recording.Reads.size(), 40u);
  for (const auto& read : recording.Reads) ExpectTableRead(read);

  StoreThemeMode(settings, u"dark");
  const TViewSettingsSnapshot before;
  const TViewSettingsSnapshot after{100, false, 20, 1};
  WriteBackViewSettings(settings, ViewSettingsToWrite(before, after, 0, 1, TScaling{}));
  EXPECT_EQ(recording.Writes.size(), 7u);
  for (const auto& [name, kind] : recording.Writes) {
    const TSettingKey* key = FindSettingKey(name);
    ASSERT_NE(key, nullptr) << Utf16ToUtf8(name) << " is written but not in the key table";
    EXPECT_EQ(kind, ReadKind(key->Type)) << Utf16ToUtf8(name);
  }
}

}  // namespace
}  // namespace corvane
