// Syntax colouring of the text pane as pure functions: the bytes of a
// stretch of lines go in, a syntax role per byte comes out; the Win32 side
// hands the roles to the control as its style numbers, and the control
// draws each role in its theme colour (keys bold per "font-use-bold").
//
// Contract:
//  - Text is the document's UTF-8 bytes, unchanged: position i of a given
//    stretch is the control's position first + i. The rules look at ASCII
//    characters only, so every byte of a multi-byte character belongs to
//    the same token as its first.
//  - The first span of ColourLines always covers the whole text in the base
//    text role; later spans override it and never overlap each other.
//  - The rules are line-local and light (no YAML or TOML parsing): keys before
//    the first separator, quoted runs, comments, and plain tokens classified
//    by their first character. Any input, including NULs and invalid UTF-8,
//    is accepted.
//  - A line ends at CR or LF; a CR LF pair ends one line (the LF starts an
//    empty stretch that colours nothing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "uDocumentLanguage.h"

namespace corvane {

enum TSyntaxRole : uint8_t { srText, srKey, srString, srBoolean, srNull, srComment };
constexpr int kSyntaxRoleCount = 6;

struct TColourSpan {
  int32_t Start = 0;
  int32_t Length = 0;
  TSyntaxRole Role = srText;
};

// Spans of one line (no line break inside), offset by lineStart.
void ColourLine(std::string_view line, int32_t lineStart, TDocumentLanguage language,
                std::vector<TColourSpan>* spans);

// Spans of a stretch of lines.
std::vector<TColourSpan> ColourLines(std::string_view text, TDocumentLanguage language);

// The role of every byte of a stretch of lines, into roles[0 .. text.size()).
void ColourBytes(std::string_view text, TDocumentLanguage language, char* roles);

// Most lines one colouring pass colours.
constexpr size_t kMaxColouredLines = 1001;

// Which lines of the text pane carry their colours. The control asks for
// colours from the end of what it holds as coloured up to the lines it is
// about to draw; after a jump into a long text only the lines on screen are
// coloured, and the lines skipped are coloured when they come on screen.
//
// Contract:
//  - Reset after each load of the text: no line is coloured.
//  - The text never changes while it is shown, and the roles of a line do
//    not depend on the theme (colours and bold belong to the roles), so a
//    line is coloured once per load.
class TColouredLines {
 public:
  void Reset(size_t lineCount);
  size_t LineCount() const { return lines_; }
  bool IsColoured(size_t line) const;
  // Lines [first, end) are coloured now (clamped to the line count).
  void MarkColoured(size_t first, size_t end);
  // The first line at or after line that is not coloured; LineCount() when
  // every line from there on is.
  size_t FirstUncoloured(size_t line) const;

 private:
  std::vector<uint64_t> bits_;
  size_t lines_ = 0;
};

struct TLineRange {
  size_t First = 0;
  size_t End = 0;  // exclusive
  bool Empty() const { return End <= First; }
};

// The lines a request colours: the control holds lines before styledLine as
// coloured and needs them up to neededLine (inclusive) for drawing, whose
// first line on screen is firstVisible. A request of at most
// kMaxColouredLines lines is met whole; a longer one (a jump) colours the
// lines from firstVisible on, at most kMaxColouredLines of them.
TLineRange LinesToColour(size_t styledLine, size_t neededLine, size_t firstVisible, size_t lineCount);

}  // namespace corvane
