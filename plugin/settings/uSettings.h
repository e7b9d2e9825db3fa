// The settings file: one section "corvane" of an INI-style file, read through
// the platform's private-profile functions.
//
// Contract:
//  - There is no cache: every read and write locates the file anew
//    (SettingsFileName) and goes to the file, so an edited settings file takes
//    effect the next time a key is read.
//  - The file is the one beside the plug-in, named like the plug-in module with
//    ".ini", when it exists; otherwise the host's default settings file when
//    the host supplied one; otherwise the file beside the plug-in (a later
//    write creates it).
//  - At most 1023 characters of a value are used.
//  - Reads never fail: a missing file, section or key gives the default; a
//    write that cannot be stored is not reported.
//  - The reads and writes here take any key name and default: they are the
//    file's rules. The plug-in's rules read through TSettingsAccess
//    (uSettingsAccess.h), which names each key from the key table with the
//    table's default; a test checks that nothing else calls these.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// The section that holds every key of the plug-in.
extern const char16_t kSettingsSection[];  // u"corvane"

// The host's default settings file name (ListSetDefaultParams). Stored only
// when none is stored yet and name is not empty; a later call never replaces it.
void SetDefaultSettingsFileName(const std::u16string& name);
std::u16string DefaultSettingsFileName();

// Full name of the plug-in module (the platform's own-module name; a test
// seam can stand in for it, uTestSeams.h).
std::u16string PluginModuleFileName();
// Forgets the stored default name, as a freshly loaded plug-in has none.
void ResetDefaultSettingsFileName();

// Full name of the settings file, determined anew on every call.
std::u16string SettingsFileName();

// The value with its inline comment removed; the default (treated the same
// way) when the key is absent.
std::u16string ReadSetting(const std::u16string& key, const std::u16string& defaultValue);
// ReadSetting parsed as a 32-bit integer in the prefixed-integer grammar
// (uNumberText.h: optional blanks, sign, then "$", "x", "X", "0x", "0X" (hex),
// "&" (octal), "%" (binary) or decimal digits and nothing after them).
// Anything else gives the default.
int ReadIntSetting(const std::u16string& key, int defaultValue);
// The first character of the raw value (no comment rule); absent or empty
// value gives the default.
char16_t ReadCharSetting(const std::u16string& key, char16_t defaultValue);

void WriteSetting(const std::u16string& key, const std::u16string& value);
void WriteIntSetting(const std::u16string& key, int value);

// The pure rules behind the reads, exposed for the callers that hold a raw text.
std::u16string StripInlineComment(std::u16string_view value);
// ParsePrefixedInteger at 32 bits.
bool ParseSettingInt(std::u16string_view text, int* value);

// The detect string handed to the host: the "detect-string" setting.
std::u16string DetectString();

}  // namespace corvane
