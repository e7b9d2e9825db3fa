// The number grammars of the plug-in, each written once: decimal floats and
// integers with a base prefix. Every place that reads a number from text
// (YAML scalar typing, settings, the value tree, cell edits, filters,
// sorting, the clipboard's typing rule) calls these, so the same text is the
// same number everywhere. TOML values follow TOML's own grammar
// (uTomlText.h).
//
// Contract:
//  - Pure functions of the text: no locale, no allocation for texts of up
//    to 128 characters, nothing raised.
//  - UTF-16 texts follow exactly the rules of their UTF-8 form; a character
//    outside ASCII is never part of a number.
//  - Blanks are spaces and tabs. Where a caller's rule ignores blanks around
//    a number it trims them itself (TrimBlanks): the grammars take none,
//    except the leading blanks the integer grammar allows.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvane {

// Decimal float: an optional "+" or "-"; digits with an optional fraction
// ("5", "5.", ".5", "5.25": at least one digit); an optional exponent ("e" or
// "E", an optional sign, at least one digit); nothing else. Not numbers:
// blanks, "inf", "nan", hexadecimal, "_" or "," separators. A value too large
// for a double is refused; one too small reads as a zero of its sign, as the
// parsers of both languages read it.
bool ParseDecimalFloat(std::string_view text, double* value);
bool ParseDecimalFloat(std::u16string_view text, double* value);

// Integer with a base prefix: optional blanks in front; an optional "+" or
// "-"; then "$", "x", "X", "0x" or "0X" and hexadecimal digits, "&" and octal
// digits, "%" and binary digits, or decimal digits; nothing after the digits.
// Decimal text must fit the signed range of `bits` bits (32 or 64); a
// prefixed text may be any `bits`-bit pattern, read as two's complement
// ("$FFFFFFFF" is -1 at 32 bits), a "-" negating the pattern.
bool ParsePrefixedInteger(std::string_view text, int bits, int64_t* value);
bool ParsePrefixedInteger(std::u16string_view text, int bits, int64_t* value);

// The same grammar with only the "0x" / "0X" prefix: decimal or hexadecimal
// digits, the integers a YAML plain scalar can spell. "$10", "x10", "&7" and
// "%1" are no integers here.
bool ParseDecimalOrHexInteger(std::string_view text, int bits, int64_t* value);

// text without the spaces and tabs at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace corvane
