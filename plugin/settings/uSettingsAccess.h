// The viewer core's door to the settings file. Every rule reads its settings
// at the moment it needs them through a TSettingsAccess, so an edited
// settings file takes effect at once; tests hand in their own values.
#pragma once

#include <functional>
#include <string>

namespace corvane {

struct TSettingsAccess {
  std::function<int(const std::u16string& key, int defaultValue)> ReadInt;
  std::function<std::u16string(const std::u16string& key, const std::u16string& defaultValue)>
      ReadText;
  std::function<void(const std::u16string& key, int value)> WriteInt;
};

// Reads and writes the plug-in's settings file.
TSettingsAccess FileSettingsAccess();

}  // namespace corvane
