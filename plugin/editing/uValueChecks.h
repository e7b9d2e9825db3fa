// Checks of a value typed into a grid cell against the kind of its node, the
// status texts of each refusal, and applying an accepted text to the node.
//
// Contract:
//  - Numbers must follow the JSON number grammar ("-"? int frac? exp?) and
//    convert as a decimal float (uNumberText.h: "." as the decimal point
//    whatever the process locale is; too large refused, too small zero).
//  - An integer node takes only integer text within the signed 64-bit range;
//    a fraction, an exponent or an out-of-range value is refused.
//  - A TOML date or time (TDateTimeString) takes only a valid value of its
//    own kind (offset or local date-time, local date, local time); any other
//    text is refused as an invalid value. Other strings take any text.
//  - Comparisons are case-sensitive; nothing here raises.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"

namespace corvane {

enum TValueCheck {
  vcAccepted,       // the node can take the text
  vcInvalidNumber,  // " INVALID NUMBER"
  vcUseTrueFalse,   // " USE true OR false"
  vcUseNull,        // " USE null"
  vcInvalidValue,   // " INVALID VALUE": the number node or the date kind rejects it
  vcNotEditable,    // no node or a container: refused without a message
};

// The JSON number grammar, nothing before or after.
bool IsJsonNumberText(std::u16string_view text);

// Checks text against the node's kind (the caller has already found it
// differs from the node's current display text).
TValueCheck CheckTypedValue(const TJsonData* node, std::u16string_view text);

// Translated status text of a refusal ("" for accepted and not editable).
std::u16string ValueCheckStatusText(TValueCheck check);

// The check of a cell edit in a document: CheckTypedValue, and a number text
// must also load again from the document as the same kind of number the node
// is (unquoted, the file's scalar typing): "1e5" would load as a string and
// "2" in a float cell as an integer, so the grid would show what a reload
// does not. Such texts are refused with vcInvalidNumber.
TValueCheck CheckEditedValue(const TJsonData* node, std::u16string_view text, TDocumentLanguage language);

// Checks the text and, when accepted, gives it to the node: an integer node
// its 64-bit value, a float node the text (a source-preserving float keeps
// it as its spelling), a string or boolean node its new value; a null node
// stays as it is. The node is untouched on refusal.
TValueCheck ApplyTypedValue(TJsonData* node, std::u16string_view text);

// Kinds a value can be given explicitly (the command's --as).
enum class TValueKind { String, Number, Boolean, Null };

// The value text stands for as a value of kind in a document of language,
// or nullptr with the refusal in check: a number must be a JSON number the
// file reads as a number, a boolean "true" or "false", a null a spelling
// YAML reads as null (TOML has none: vcNotEditable); a string takes any
// text.
TJsonDataPtr ValueOfKind(std::u16string_view text, TValueKind kind, TDocumentLanguage language, TValueCheck& check);

// The value a text typed over a null stands for: what it reads as unquoted
// in the document's language (a number, a boolean, a null or a string).
TJsonDataPtr ValueTypedOverNull(std::u16string_view text, TDocumentLanguage language);

}  // namespace corvane
