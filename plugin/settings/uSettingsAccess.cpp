#include "uSettingsAccess.h"

#include "uSettings.h"

namespace corvane {

TSettingsAccess FileSettingsAccess() {
  TSettingsAccess access;
  access.ReadInt = [](const std::u16string& key, int defaultValue) {
    return ReadIntSetting(key, defaultValue);
  };
  access.ReadText = [](const std::u16string& key, const std::u16string& defaultValue) {
    return ReadSetting(key, defaultValue);
  };
  access.WriteInt = [](const std::u16string& key, int value) { WriteIntSetting(key, value); };
  return access;
}

}  // namespace corvane
