// The layout of a TOML text as written: its statements (table headers and
// key/value lines) with their byte spans and the key paths they resolve
// to, and the items of an inline array or table. Structural edits (adding,
// copying and removing entries) find the lines of an entry with it; the
// parser library only knows where leaves and keys stand, not tables.
//
// Contract:
//  - Lexical only: strings (all four forms, multi-line ones across lines),
//    comments, inline arrays and tables (across lines) are skipped as whole
//    tokens; nothing is typed or checked beyond what finding the spans
//    needs. A text this scanner cannot follow gives false, and the caller
//    refuses. Every change made from this layout is proven by parsing the
//    changed text again, so a scanner mistake ends in a refusal.
//  - Paths: a header's path is its table's (an element of an array of
//    tables as the element's index: [[a]] [[a]] give a[0], a[1]); a
//    key/value line's path is the path of its header followed by its
//    dotted key's segments.
//  - Nothing recurses on the text's nesting: inline values are skipped
//    with a depth count, and their items are listed one level at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One step of a TOML path: a key, or (Index >= 0) an array element.
struct TTomlStep {
  std::string Key;
  long long Index = -1;
  bool operator==(const TTomlStep& o) const { return Index == o.Index && Key == o.Key; }
};
using TTomlPath = std::vector<TTomlStep>;

// True when path starts with prefix (or equals it).
bool TomlPathStartsWith(const TTomlPath& path, const TTomlPath& prefix);

// One segment of a key as written: its decoded name and its span.
struct TTomlKeySegment {
  std::string Name;
  size_t Begin = 0;
  size_t End = 0;
};

enum class TTomlStatementKind { Table, ArrayTable, KeyValue };

struct TTomlStatement {
  TTomlStatementKind Kind = TTomlStatementKind::KeyValue;
  std::vector<TTomlKeySegment> Key;  // header segments, or the dotted key
  TTomlPath Path;                    // resolved (see above)
  size_t LineStart = 0;   // start of the statement's first line
  size_t Begin = 0;       // the header's "[", the key's first byte
  size_t ValueBegin = 0;  // key/value: the value (headers: after the "]")
  size_t ValueEnd = 0;    // key/value: after the value (headers: after the "]")
  size_t LineEnd = 0;     // after the line break of its last line, or the text's end
  int Header = -1;        // the header it stands under; -1 for the root table
};

// The statements of text in order; false when the text cannot be followed.
bool ScanTomlLayout(std::string_view text, std::vector<TTomlStatement>& statements);

// One item of an inline array or table: its span (a table member's from
// its key to the end of its value) and, for a member, its dotted key.
struct TTomlItem {
  std::vector<TTomlKeySegment> Key;  // empty for an array element
  size_t Begin = 0;
  size_t ValueBegin = 0;
  size_t End = 0;
};

// The items of the inline array or table whose "[" or "{" stands at open,
// and the offset of its closing bracket; false when it cannot be followed.
bool ScanTomlItems(std::string_view text, size_t open, std::vector<TTomlItem>& items, size_t& close);

// After the value that starts at p (any form), or npos when it cannot be
// followed.
size_t SkipTomlValue(std::string_view text, size_t p);

// The line break a text uses: that of its first line, "\n" without any.
std::string_view TomlLineBreakOf(std::string_view text);

}  // namespace corvane
