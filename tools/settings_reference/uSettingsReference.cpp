// The settings references written from the key table. See uSettingsReference.h.
#include "uSettingsReference.h"

#include <cstdio>

#include "uUnicode.h"

namespace corvane {

namespace {

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(std::u16string(text)); }

std::string Hex6(int colour) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", unsigned(colour) & 0xFFFFFFu);
  return text;
}

// "red 110, green 110, blue 110" of a 0x00BBGGRR colour.
std::string ColourInWords(int colour) {
  return "red " + std::to_string(colour & 0xFF) + ", green " + std::to_string((colour >> 8) & 0xFF) + ", blue " +
         std::to_string((colour >> 16) & 0xFF);
}

bool DefaultFromElsewhere(const TSettingKey& key) { return key.DefaultKey || !key.RunTimeDefault.empty(); }

// Markdown table cells: a "|" would end the cell.
std::string CellText(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}

const char* const kIniHeader =
    "; corvane.ini: the settings of the corvane lister plug-in.\r\n"
    ";\r\n"
    "; The plug-in reads this file when it lies beside corvane.wlx64 and\r\n"
    "; corvane.wlx; without it, the section [corvane] of the file manager's own\r\n"
    "; settings file. Every key below is commented out and shows its default, so\r\n"
    "; this file as shipped changes nothing. To change a setting, remove the \";\"\r\n"
    "; at the start of its line and edit the value; it takes effect the next time\r\n"
    "; the setting is read (most when the next file is opened).\r\n"
    ";\r\n"
    "; Types:  int     a whole number: decimal, or hexadecimal after \"0x\" or \"$\"\r\n"
    ";         flag    0 is off, any other number on\r\n"
    ";         colour  a number 0xBBGGRR: blue, green and red, one byte each\r\n"
    ";         text    the text after \"=\"; a \";\" after a blank starts a comment\r\n"
    ";         char    the first character of the value\r\n"
    "; A value that is not of its key's type reads as the default.\r\n"
    ";\r\n"
    "; The plug-in writes some keys itself: font-size, splitter-position, tab-no,\r\n"
    "; filter-row and FlatViewLevel when a viewer closes (only when they changed),\r\n"
    "; theme-mode and dark-theme when a theme is chosen in the context menu.\r\n"
    "\r\n"
    "[corvane]\r\n";

const char* const kMarkdownHeader =
    "# Settings reference\n"
    "\n"
    "<!-- Generated from the settings key table (plugin/settings/uSettingKeys.h) by\n"
    "     build/native/bin/settings_reference markdown > docs/settings.md;\n"
    "     a test fails when this page and the table differ. -->\n"
    "\n"
    "corvane reads its settings from the section `[corvane]` of `corvane.ini`\n"
    "beside the plug-in (the release archive ships one with every key below\n"
    "commented out), or, when there is no such file, from the same section of\n"
    "the file manager's own settings file. Each key is read when the table says,\n"
    "so an edited file takes effect without restarting anything.\n"
    "\n"
    "- **int**: a whole number, decimal or hexadecimal after `0x` or `$`\n"
    "  (also `&` octal and `%` binary); **flag**: 0 is off, any other number on;\n"
    "  **colour**: a number `0xBBGGRR` (blue, green and red, one byte each);\n"
    "  **text**: the value; **char**: the first character of the value.\n"
    "- A value that is not of its key's type reads as the default.\n"
    "- A `;` after a blank starts a comment (`font-size=18 ; larger` is 18),\n"
    "  except inside quotes and in char values.\n"
    "- The plug-in writes `font-size`, `splitter-position`, `tab-no`,\n"
    "  `filter-row` and `FlatViewLevel` when a viewer closes (only when they\n"
    "  changed), and `theme-mode` and `dark-theme` when a theme is chosen in the\n"
    "  context menu.\n"
    "\n"
    "| Key | Type | Default | Read | Effect |\n"
    "|---|---|---|---|---|\n";

std::string MarkdownDefault(const TSettingKey& key) {
  const std::string ini = IniDefaultText(key);
  if (ini.empty()) return DefaultInWords(key);
  if (key.Type == stColour) return "`" + ini + "` (" + ColourInWords(key.IntDefault) + ")";
  return "`" + ini + "`";
}

}  // namespace

std::string SettingTypeName(TSettingType type) {
  switch (type) {
    case stInt: return "int";
    case stFlag: return "flag";
    case stColour: return "colour";
    case stText: return "text";
    case stChar: return "char";
  }
  return "?";
}

std::string IniDefaultText(const TSettingKey& key) {
  if (DefaultFromElsewhere(key)) return {};
  switch (key.Type) {
    case stInt:
    case stFlag: return std::to_string(key.IntDefault);
    case stColour: return Hex6(key.IntDefault);
    case stText: return Utf8(key.TextDefault);
    case stChar: return key.TextDefault == u"\t" ? std::string() : Utf8(key.TextDefault);
  }
  return {};
}

std::string DefaultInWords(const TSettingKey& key) {
  if (key.DefaultKey) return "the value of " + Utf8(key.DefaultKey->Name);
  if (!key.RunTimeDefault.empty()) return std::string(key.RunTimeDefault);
  if (key.Type == stChar && key.TextDefault == u"\t") return "TAB";
  const std::string text = IniDefaultText(key);
  if (text.empty()) return "empty";
  return key.Type == stColour ? text + " (" + ColourInWords(key.IntDefault) + ")" : text;
}

std::string IniReferenceText() {
  std::string out = kIniHeader;
  for (size_t i = 0; i < kAllSettingKeyCount; ++i) {
    const TSettingKey& key = *kAllSettingKeys[i];
    const std::string name = Utf8(key.Name);
    out += "\r\n; " + name + " (" + SettingTypeName(key.Type) + ", default " + DefaultInWords(key) +
           "): " + std::string(key.Effect) + "\r\n";
    out += ";" + name + "=" + IniDefaultText(key) + "\r\n";
  }
  return out;
}

std::string MarkdownReferenceText() {
  std::string out = kMarkdownHeader;
  for (size_t i = 0; i < kAllSettingKeyCount; ++i) {
    const TSettingKey& key = *kAllSettingKeys[i];
    out += "| `" + Utf8(key.Name) + "` | " + SettingTypeName(key.Type) + " | " + CellText(MarkdownDefault(key)) +
           " | " + CellText(std::string(key.Read)) + " | " + CellText(std::string(key.Effect)) + " |\n";
  }
  return out;
}

}  // namespace corvane
