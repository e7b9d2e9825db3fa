// Syntax colouring of the text pane as a pure function: a stretch of lines
// goes in, coloured spans come out; the Win32 side applies them to the
// rich-edit control.
//
// Contract:
//  - Positions are UTF-16 units relative to the start of the given text,
//    which must already have CR LF pairs reduced to CR (ReduceCrLf of
//    uHostSearch.h), so that position i is control position
//    first-character + i.
//  - The first span always covers the whole text in the base text role, not
//    bold; later spans override it and never overlap each other.
//  - The rules are line-local and light (no YAML or TOML parsing): keys before
//    the first separator, quoted runs, comments, and plain tokens classified
//    by their first character. Any input, including NULs and lone
//    surrogates, is accepted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "uDocumentLanguage.h"

namespace corvane {

enum TSyntaxRole { srText, srKey, srString, srBoolean, srNull, srComment };

struct TColourSpan {
  int32_t Start = 0;
  int32_t Length = 0;
  TSyntaxRole Role = srText;
  bool Bold = false;
};

// Spans of one line (no line break inside), offset by lineStart.
void ColourLine(std::u16string_view line, int32_t lineStart, TDocumentLanguage language, bool bold,
                std::vector<TColourSpan>* spans);

// Spans of a stretch of lines (lines end at CR or LF). bold is the
// "font-use-bold" setting: keys and TOML table headers are then bold.
std::vector<TColourSpan> ColourLines(std::u16string_view text, TDocumentLanguage language, bool bold);

}  // namespace corvane
