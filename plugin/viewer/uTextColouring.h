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

// Which lines of the text pane already show the current colours, so that a
// colouring pass formats only lines that came on screen since (each format
// change of a rich-edit control is costly; the text itself never changes
// while it is shown).
//
// Contract:
//  - Loading the text leaves every line in the base text colour of the
//    current colours; a line coloured since shows them fully.
//  - New colours (a theme, the bold setting) make every line stale; a stale
//    line that was coloured before, or was loaded under other colours, needs
//    its base colour again before its spans.
//  - Lines beyond the loaded count (the control counts differently) always
//    need colouring, base included.
class TLineColourState {
 public:
  // The text was loaded with this many lines, in the current colours.
  void TextLoaded(size_t lineCount);
  // Colours change meaning: every line must be coloured again.
  void ColoursChanged();
  bool NeedsColouring(size_t line) const;
  // The line may show colours other than the base text colour.
  bool NeedsBase(size_t line) const;
  void Coloured(size_t line);

 private:
  uint32_t generation_ = 1;
  uint32_t loadGeneration_ = 0;
  std::vector<uint32_t> coloured_;  // per line: generation it was coloured in, 0 never
};

// Number of lines of a text as a rich-edit control counts them: CR LF, CR
// and LF each end one line.
size_t CountTextLines(std::u16string_view text);

// The format changes a colouring pass makes over a stretch of lines (CR LF
// reduced, as for ColourLines) whose first line is firstLine: base text
// colour runs for the lines that need them (neighbouring lines merged into
// one run), then the syntax spans of every line not yet coloured, in the
// order they are to be applied. Those lines are marked coloured.
std::vector<TColourSpan> PendingColourSpans(std::u16string_view text, size_t firstLine, TDocumentLanguage language,
                                            bool bold, TLineColourState* state);

}  // namespace corvane
