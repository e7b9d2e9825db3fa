// Edit locating: turns a changed value or a renamed key of the value tree into
// one byte-span replacement of the loaded bytes, or refuses with a reason.
//
// Contract:
// - The input is a loaded document (uFileLoading.h): its bytes (not the
//   patched text), the structure records parsed from exactly those bytes and
//   the value tree built from them, whose nodes may since have taken edited
//   values. Nothing here changes any of them.
// - The node's record is found beside the value tree; the span and the
//   replacement bytes follow the writing rules of uEditForms.h (YAML spans
//   from the records; TOML spans from the records too, or, with a parser
//   library that gives none, from the one "key = raw value" line).
// - Every accepted edit is proven before it is handed out: the loaded bytes
//   with this one replacement are parsed again (in YAML only the top-level
//   entry or document it falls in, where that gives the same answer:
//   uEditProof.h) and must give the same structure except for the one
//   edited value or key, whose new text must read back exactly as given: a
//   value then loads as exactly the typed text (a string) or as a value of
//   the kind it was written as (a number stays a number, a TOML date a date
//   of the same kind). A replacement that would land in the wrong table,
//   inside another string, drop an anchor or tag, carry a comment or more
//   lines along, split a table named in more than one place, or change any
//   other node is refused.
// - A refusal has no span (Start -1) and a translated reason
//   ("error.unsafe_edit", "error.toml_ambiguous", "error.unsafe_key",
//   "error.alias_value", "error.merge_key").
// - Nothing recurses on the input's nesting depth.
#pragma once

#include <string_view>

#include "uEditForms.h"
#include "uFileLoading.h"
#include "uJsonModel.h"

namespace corvane {

// The value edit of valueNode to newText, written as a value of valueNode's
// own kind (a string stays a string, a number a number).
TLocatedEdit LocateValueEdit(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newText);
// The same, written as newValue's kind: newText is what newValue was read
// from (a null filled in, a kind stated explicitly), and the proof holds the
// edited value to that kind.
TLocatedEdit LocateValueEdit(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newText,
                             const TJsonData& newValue);
TLocatedEdit LocateKeyRename(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newKey);

}  // namespace corvane
