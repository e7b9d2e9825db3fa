// The scalar typing rules: which value-tree node the text of one YAML or
// TOML scalar becomes.
//
// Contract:
//  - YAML: a scalar whose style is not plain (1) is a string, untyped.
//    A plain scalar that is empty, "~" or "null" in any ASCII case is null;
//    "true" / "false" in any ASCII case are booleans; a text shorter than
//    256 bytes of decimal digits or "0x" / "0X" hexadecimal digits (with an
//    optional sign; uNumberText.h, 64 bits) is an integer ("$10", "x10",
//    "&7" and "%1" are strings); a text that contains a "." and, without
//    surrounding blanks, is a decimal float is a float (not keeping its
//    spelling); everything else is a string.
//  - TOML: the text is the value's raw source text, read by the TOML
//    grammar (uTomlText.h). Strings of all four forms are decoded; quoted
//    text is always a string. true / false are booleans. Integers of every
//    spelling and floats (inf and nan included) are numbers that show the
//    text as written: an integer written other than as its plain decimal
//    digits keeps that spelling (TSourceIntegerNumber), a float always
//    does (TSourceFloatNumber). Dates and times are TDateTimeString nodes
//    with the text as written and their TOML kind. A text that is none of
//    these (which the parser library never hands out) is a string as
//    written. There is no null.
#pragma once

#include <string_view>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"

namespace corvane {

// style is the YAML scalar style (1 plain); ignored for TOML.
TJsonDataPtr ScalarToValue(std::string_view text, int style, TDocumentLanguage language);

}  // namespace corvane
