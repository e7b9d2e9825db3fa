#include "uSettingsAccess.h"

#include "uSettings.h"

namespace corvane {

namespace {

std::u16string Name(const TSettingKey& key) { return std::u16string(key.Name); }

}  // namespace

int TSettingsAccess::ReadInt(const TSettingKey& key) const {
  const int defaultValue = key.DefaultKey ? ReadInt(*key.DefaultKey) : key.IntDefault;
  return ReadInt(key, defaultValue);
}

int TSettingsAccess::ReadInt(const TSettingKey& key, int defaultValue) const {
  return source_.ReadInt ? source_.ReadInt(Name(key), defaultValue) : defaultValue;
}

std::u16string TSettingsAccess::ReadText(const TSettingKey& key) const {
  const std::u16string defaultText(key.TextDefault);
  return source_.ReadText ? source_.ReadText(Name(key), defaultText) : defaultText;
}

char16_t TSettingsAccess::ReadChar(const TSettingKey& key) const {
  const char16_t defaultChar = key.TextDefault.empty() ? u'\0' : key.TextDefault[0];
  return source_.ReadChar ? source_.ReadChar(Name(key), defaultChar) : defaultChar;
}

void TSettingsAccess::Write(const TSettingKey& key, int value) const {
  if (source_.WriteInt) source_.WriteInt(Name(key), value);
}

void TSettingsAccess::Write(const TSettingKey& key, const std::u16string& text) const {
  if (source_.WriteText) source_.WriteText(Name(key), text);
}

TSettingsAccess FileSettingsAccess() {
  TSettingsSource file;
  file.ReadText = &ReadSetting;
  file.ReadInt = &ReadIntSetting;
  file.ReadChar = &ReadCharSetting;
  file.WriteText = &WriteSetting;
  file.WriteInt = &WriteIntSetting;
  return TSettingsAccess(std::move(file));
}

}  // namespace corvane
