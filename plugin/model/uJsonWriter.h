// The JSON text of a value tree, as Copy as JSON and the command's get
// write it.
//
// Contract:
//  - Formatted: members and elements on lines of their own, indented by two
//    blanks per level, CR LF line ends, " : " between name and value; an
//    empty object is "{}", an empty array "[" CR LF "]". Compact: one line,
//    spaced as { "a" : 1, "b" : [1, 2] }, "{}" and "[]" when empty.
//  - Strings and names are escaped by JsonQuoteString (slash and non-ASCII
//    unchanged, other controls \u00XX); numbers are written by JsonNumberText
//    (the shortest text that reads back exactly).
//  - The writer keeps its own stack of open containers instead of
//    recursing, so nesting depth costs no call stack.
#pragma once

#include <string>

#include "uJsonModel.h"

namespace corvane {

// Writes a value tree as JSON in the formatted or the compact layout.
std::string WriteJson(const TJsonData& value, bool compact);

}  // namespace corvane
