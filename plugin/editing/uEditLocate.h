// Edit locating: turns a changed value or a renamed key of the value tree into
// one byte-span replacement of the loaded bytes, or refuses with a reason.
//
// Contract:
// - The input is a loaded document (uFileLoading.h): its bytes (not the
//   patched text), the structure records parsed from exactly those bytes and
//   the value tree built from them, whose nodes may since have taken edited
//   values. Nothing here changes any of them.
// - YAML spans come from the records' offsets; TOML spans from a textual
//   search that must find exactly one "key = raw value" line.
// - A string is always written double-quoted (QuoteDoubleString); a TOML value
//   that was written quoted stays quoted whatever its typed kind, so a TOML
//   string never turns into a number or boolean for other readers.
// - Every accepted edit is proven before it is handed out: the loaded bytes
//   with this one replacement are parsed again and must give the same
//   structure except for the one edited value or key, whose new text must
//   read back exactly as given; a value that is not a string must load again
//   as the same kind of value (a number stays a number, an unquoted TOML
//   value stays unquoted). A replacement that would land in the wrong table,
//   inside another string, drop an anchor, carry a comment or more lines
//   along, or change any other node is refused.
// - A refusal has no span (Start -1) and a translated reason
//   ("error.unsafe_edit", "error.toml_ambiguous", "error.unsafe_key").
// - Nothing recurses on the input's nesting depth.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uFileLoading.h"
#include "uJsonModel.h"

namespace corvane {

// One located edit: the replacement of Length bytes from Start, or the
// reason it was refused.
struct TLocatedEdit {
  int64_t Start = -1;
  int64_t Length = 0;
  std::string Replacement;  // UTF-8
  std::u16string Refusal;   // empty when accepted

  bool Accepted() const { return Start >= 0; }
};

TLocatedEdit LocateValueEdit(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newText);
TLocatedEdit LocateKeyRename(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newKey);

// Offset of raw in the one line "key = raw" (key bare and first on its line,
// raw followed only by blanks, a comment or the line end). False unless
// exactly one such line exists.
bool FindTomlValueOffset(std::string_view bytes, std::string_view key, std::string_view raw,
                         int64_t& offset);

// A double-quoted scalar valid in YAML and as a TOML basic string or key.
std::string QuoteDoubleString(std::u16string_view text);
std::string QuoteDoubleStringUtf8(const std::string& text);

// "A"-"Z", "a"-"z", "0"-"9", "-", "_".
bool IsBareKeyChar(unsigned char c);

}  // namespace corvane
