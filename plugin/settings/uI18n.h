// Translated texts: every text shown to the user is looked up by a dotted key
// with an English default (tr). Translations come from "corvane.<code>.lng"
// files beside the plug-in.
//
// Contract:
//  - One process-wide table guarded by one mutex; the table is searched in
//    order and holds at most one entry per key.
//  - SetLanguage rebuilds the table only when the normalised code changes:
//    the English file first, then the chosen language's file over it.
//  - Language files: UTF-8 (a BOM is skipped), at most 1 MiB (a larger file is
//    ignored), lines end at LF with one CR before it removed, "#" or ";" as the
//    very first byte makes a comment, key=text with the key trimmed of bytes
//    <= 32 and the text taken exactly as written.
//  - Nothing here fails visibly: missing or malformed files are ignored and
//    unknown languages fall back to English.
//  - Keys with their English defaults live in uI18nKeys.h; call tr with those.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "uI18nKeys.h"

namespace corvane {

struct TTranslation {
  std::u16string Key;
  std::u16string Text;
};

// The text of key in the current language, or englishDefault when the table
// has none. On the first call while no language is active the "language"
// setting (default "auto") is applied.
std::u16string tr(std::string_view key, std::u16string_view englishDefault);
// The same for a key of the key table.
std::u16string tr(const TI18nKey& key);

// Normalises the requested code and rebuilds the table when it differs from
// the current language.
void SetLanguage(const std::u16string& requested);
// One of "en", "de", "ru", "uk": trimmed, lower case, region part dropped;
// empty or "auto" follows the user's interface language.
std::u16string NormaliseLanguage(const std::u16string& requested);
// Adds the entries of PluginDirectory() + "corvane." + code + ".lng" to the
// table; false when the file was missing, unreadable or too large.
bool LoadLanguageFile(const std::u16string& code);
// The plug-in's folder with a trailing separator; ".\" when the module name
// has no separator.
std::u16string PluginDirectory();

// The current language code ("" until one is set).
std::u16string CurrentLanguage();
// Parses the bytes of a language file into entries, in file order (later
// duplicates included; the table keeps the last).
std::vector<TTranslation> ParseLanguageText(std::string_view bytes);
// Drops the table and the current language (plug-in unload; tests).
void ResetTranslations();

}  // namespace corvane
