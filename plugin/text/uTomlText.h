// The TOML value grammar: which form a raw TOML value (its exact source
// text) is written in, and what it stands for. Scalar typing reads values
// with it, the cell editor checks typed dates and times with it, and edit
// locating writes strings back in the form they had.
//
// Contract:
//  - Pure functions of the text, nothing raised, no locale.
//  - The grammar is TOML 1.0 as the parser library reads it: escapes
//    \b \t \n \f \r \" \\ \uXXXX \UXXXXXXXX (no surrogates); times with
//    seconds 00-59; integers within the signed 64-bit range, the prefixed
//    forms (0x, 0o, 0b) unsigned; "_" only between two digits.
//  - A multi-line string drops a line break right after its opening
//    delimiter, reads each CR LF inside it as LF, and a basic one drops a
//    backslash at a line's end together with the blanks and line breaks
//    after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

enum class TTomlForm : uint8_t {
  None,  // not one complete TOML scalar value
  BasicString,
  LiteralString,
  MultiLineBasicString,
  MultiLineLiteralString,
  Boolean,
  Integer,
  Float,
  OffsetDateTime,
  LocalDateTime,
  LocalDate,
  LocalTime,
};

bool IsTomlStringForm(TTomlForm form);
bool IsTomlDateTimeForm(TTomlForm form);

// The form of raw, checked against the whole grammar of that form.
TTomlForm TomlFormOf(std::string_view raw);

// The text a TOML string value stands for; false when raw is no valid
// string of any of the four forms.
bool DecodeTomlString(std::string_view raw, std::string* text);

// The value of a TOML integer ("+1_000", "0x1F", "0o755", "0b1101").
bool ParseTomlInteger(std::string_view raw, int64_t* value);

// The value of a TOML float ("5e+22", "1_000.5", "inf", "-nan"); false for
// a text that is none, or too large for a double.
bool ParseTomlFloat(std::string_view raw, double* value);

}  // namespace corvane
