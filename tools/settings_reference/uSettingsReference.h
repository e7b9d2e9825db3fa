// The two references written from the settings key table: the commented
// corvane.ini that ships beside the plug-in and the settings page of the
// documentation (docs/settings.md). Both list every key of the table in
// table order with its type, its default and what it does; a test checks
// that the committed page is this text and that the ini changes nothing.
#pragma once

#include <string>

#include "uSettingKeys.h"

namespace corvane {

// "int", "flag", "colour", "text" or "char".
std::string SettingTypeName(TSettingType type);
// The default as written in the ini after "=": the number (a colour as
// 0xBBGGRR), the text; empty for a default taken from another key or given
// at run time, and for the tab character.
std::string IniDefaultText(const TSettingKey& key);
// The default in words, for readers: the ini text, or what stands in for it
// ("the value of json-key-color", "TAB", "empty").
std::string DefaultInWords(const TSettingKey& key);

// corvane.ini: a header on the file and the types, the section line, and
// per key a comment line (key, type, default, meaning) and the key with its
// default, commented out. Lines end with CR LF.
std::string IniReferenceText();
// docs/settings.md.
std::string MarkdownReferenceText();

}  // namespace corvane
