// Why a text did not load, and where: the failure's message and the place
// in the text it names, as numbers beside the text (never read back out of
// it), so a caller can report "FILE:LINE:COLUMN" or put a caret there.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvane {

// A place in a parsed text: the 1-based line and the 1-based column in
// characters the parser names, and the byte offset they stand for (a
// byte-order mark counted). Line 0: no place named (a file that cannot be
// read or is too large, a duplicate member). Column 0: the line only (TOML
// errors); the offset is then the line's start. Offset -1: not known (no
// place, or a place that is not in the text).
struct TSourceRegion {
  int64_t Line = 0;
  int64_t Column = 0;
  int64_t Offset = -1;
};

struct TLoadError {
  std::u16string Text;
  TSourceRegion Region;
  // The text itself does not load (its syntax, a repeated member, its
  // nesting), as opposed to the machine (the file unreadable, memory, the
  // parser library missing).
  bool InText = false;
};

// A failure of a parse that may name its place (line 0: none). The parser
// binding and the structure builders raise it; the builders turn it into a
// TLoadError at their boundary.
class ELoadFailure : public std::runtime_error {
 public:
  explicit ELoadFailure(const std::string& message, int64_t line = 0, int64_t column = 0)
      : std::runtime_error(message), line_(line), column_(column) {}
  int64_t Line() const { return line_; }
  int64_t Column() const { return column_; }
  // False for a failure that is not the text's (the parser library).
  virtual bool InText() const { return true; }

 private:
  int64_t line_;
  int64_t column_;
};

// The place of a line and column in text (line 0: none); the offset comes
// from a line index over text, built only for this.
TSourceRegion RegionInText(std::string_view text, int64_t line, int64_t column);

// A failure as a load error: its UTF-8 message, and its place in text.
TLoadError LoadErrorOf(const ELoadFailure& failure, std::string_view text);

}  // namespace corvane
