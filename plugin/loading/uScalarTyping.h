// The scalar typing rules: which value-tree node the text of one YAML or
// TOML scalar becomes.
//
// Contract:
//  - YAML: a scalar whose style is not plain (1) is a string, untyped.
//    A plain scalar that is empty, "~" or "null" in any ASCII case is null.
//  - TOML: one pair of matching outer quotes (both " or both ') is removed
//    and nothing else is decoded; the rest is typed like a plain scalar
//    (there is no null, so "null" and "~" stay strings).
//  - Then: "true" / "false" in any ASCII case are booleans; a text shorter
//    than 256 bytes in the prefixed-integer grammar (uNumberText.h, 64 bits)
//    is an integer; a text that contains a "." and, without surrounding
//    blanks, is a decimal float is a float (not keeping its spelling);
//    everything else is a string.
#pragma once

#include <string_view>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"

namespace corvane {

// style is the YAML scalar style (1 plain); ignored for TOML.
TJsonDataPtr ScalarToValue(std::string_view text, int style, TDocumentLanguage language);

}  // namespace corvane
