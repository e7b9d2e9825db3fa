// The door through which every rule reads and writes settings. A read names a
// key of the key table (uSettingKeys.h) and gets the table's default when
// nothing is stored; nothing is cached, so each read goes to the source at the
// moment the rule needs the value and an edited settings file takes effect at
// once. The plug-in reads the settings file (FileSettingsAccess); tests hand
// in their own source.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "uSettingKeys.h"

namespace corvane {

// The store behind an access: reads by key name with the default to give
// when the key is absent, writes by key name. A missing member reads as
// "nothing stored" (the default comes back) and drops writes.
struct TSettingsSource {
  std::function<std::u16string(const std::u16string& name, const std::u16string& defaultText)> ReadText;
  std::function<int(const std::u16string& name, int defaultValue)> ReadInt;
  std::function<char16_t(const std::u16string& name, char16_t defaultValue)> ReadChar;
  std::function<void(const std::u16string& name, const std::u16string& text)> WriteText;
  std::function<void(const std::u16string& name, int value)> WriteInt;
};

class TSettingsAccess {
 public:
  // No store: every read gives the table's default, writes are dropped.
  TSettingsAccess() = default;
  explicit TSettingsAccess(TSettingsSource source) : source_(std::move(source)) {}

  // Int, flag and colour keys. A key whose default is another key's value
  // reads that key first.
  int ReadInt(const TSettingKey& key) const;
  // Only for keys whose table default is given at run time (RunTimeDefault
  // set, such as "splitter-color"): runTimeDefault is that default.
  int ReadInt(const TSettingKey& key, int runTimeDefault) const;
  // Flag keys: non-zero means on.
  bool ReadFlag(const TSettingKey& key) const { return ReadInt(key) != 0; }
  std::u16string ReadText(const TSettingKey& key) const;
  char16_t ReadChar(const TSettingKey& key) const;

  void Write(const TSettingKey& key, int value) const;
  void Write(const TSettingKey& key, const std::u16string& text) const;

 private:
  TSettingsSource source_;
};

// Reads and writes the plug-in's settings file (uSettings.h).
TSettingsAccess FileSettingsAccess();

}  // namespace corvane
