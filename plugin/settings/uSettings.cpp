// The settings file: locating it, the inline-comment rule, and the reads and
// writes over the one section "corvane" (integers in the prefixed-integer
// grammar of uNumberText).
//
// Contract (see uSettings.h): no cache, every call goes to the file; reads
// never fail; at most 1023 characters of a value are used.
#include "uSettings.h"

#include <cstdint>
#include <mutex>

#include "uFiles.h"
#include "uModule.h"
#include "uNumberText.h"
#include "uProfile.h"
#include "uSettingsAccess.h"
#include "uTestSeams.h"

namespace corvane {

const char16_t kSettingsSection[] = u"corvane";

namespace {

std::mutex gNamesLock;  // guards the name below
std::u16string gDefaultFileName;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// The plug-in's module name with its extension replaced by ".ini".
std::u16string IniBesidePlugin() {
  std::u16string name = PluginModuleFileName();
  size_t nameStart = 0;
  for (size_t i = 0; i < name.size(); ++i)
    if (IsSeparator(name[i])) nameStart = i + 1;
  const size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos && dot >= nameStart) name.resize(dot);
  return name + u".ini";
}

std::u16string TrimControlTail(std::u16string text) {
  while (!text.empty() && text.back() <= 32) text.pop_back();
  return text;
}

}  // namespace

void SetDefaultSettingsFileName(const std::u16string& name) {
  std::lock_guard<std::mutex> lock(gNamesLock);
  if (gDefaultFileName.empty() && !name.empty()) gDefaultFileName = name;
}

std::u16string DefaultSettingsFileName() {
  std::lock_guard<std::mutex> lock(gNamesLock);
  return gDefaultFileName;
}

void ResetDefaultSettingsFileName() {
  std::lock_guard<std::mutex> lock(gNamesLock);
  gDefaultFileName.clear();
}

std::u16string PluginModuleFileName() {
  std::u16string name = seams::ModuleFileNameOverride();
  // The full name, however long: a name cut at the classic 260-character
  // limit would point at a file that is not beside the plug-in.
  return name.empty() ? platform::OwnModuleFileName() : name;
}

std::u16string SettingsFileName() {
  const std::u16string beside = IniBesidePlugin();
  if (platform::FileExists(beside)) return beside;
  const std::u16string hostDefault = DefaultSettingsFileName();
  return hostDefault.empty() ? beside : hostDefault;
}

std::u16string StripInlineComment(std::u16string_view value) {
  char16_t quote = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';' && i > 0) {
      const bool blankBefore = value[i - 1] <= 32;
      const bool blankAfter = i + 1 < value.size() && value[i + 1] <= 32;
      if (blankBefore || blankAfter) return TrimControlTail(std::u16string(value.substr(0, i)));
    }
  }
  return TrimControlTail(std::u16string(value));
}

bool ParseSettingInt(std::u16string_view text, int* value) {
  int64_t parsed = 0;
  if (!ParsePrefixedInteger(text, 32, &parsed)) return false;
  *value = static_cast<int>(parsed);
  return true;
}

std::u16string ReadSetting(const std::u16string& key, const std::u16string& defaultValue) {
  return StripInlineComment(platform::ReadProfileString(SettingsFileName(), kSettingsSection, key, defaultValue));
}

int ReadIntSetting(const std::u16string& key, int defaultValue) {
  const std::string digits = std::to_string(defaultValue);
  int value = defaultValue;
  if (!ParseSettingInt(ReadSetting(key, std::u16string(digits.begin(), digits.end())), &value)) return defaultValue;
  return value;
}

char16_t ReadCharSetting(const std::u16string& key, char16_t defaultValue) {
  const std::u16string raw = platform::ReadProfileString(SettingsFileName(), kSettingsSection, key, u"");
  return raw.empty() ? defaultValue : raw[0];
}

void WriteSetting(const std::u16string& key, const std::u16string& value) {
  platform::WriteProfileString(SettingsFileName(), kSettingsSection, key, value);
}

void WriteIntSetting(const std::u16string& key, int value) {
  const std::string digits = std::to_string(value);
  WriteSetting(key, std::u16string(digits.begin(), digits.end()));
}

std::u16string DetectString() { return FileSettingsAccess().ReadText(setting::kDetectString); }

}  // namespace corvane
