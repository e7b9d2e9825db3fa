// How an edit is written into a file's bytes: the span a value or key takes
// and the bytes put in its place, for one node of the document's structure
// records. Edit locating (uEditLocate.h) proves every result by parsing the
// replaced bytes again before handing it out; the structure oracle of the
// tests writes edits with these same rules and proves them its own way.
//
// Contract:
//  - YAML values: a plain or quoted scalar is replaced whole; a string is
//    written double-quoted, any other value as typed. A literal or folded
//    block scalar keeps its header (its chomping indicator set to what the
//    new text needs) and gets new content lines at its own indentation, in
//    the file's line breaks; a text the block form cannot hold is refused.
//    An empty plain value right after its ":" or "-" is given a blank and
//    the new text. Anchored and tagged values are refused, and aliases with
//    a reason of their own ("error.alias_edit").
//  - TOML values: the value's span from the records, or (a parser library
//    without spans) the one "key = raw" line with that bare key. A string
//    keeps its form where the form can hold the new text (a literal string
//    that cannot becomes a basic string, a multi-line literal a multi-line
//    basic string); a multi-line string writes line breaks as the file
//    does. Every other value is written as typed.
//  - Keys: the new key double-quoted in place of the key as written (YAML:
//    the key scalar; TOML: the key, the one segment of a dotted key or
//    table header where it first appears; without spans, the first token
//    of the value's "key = raw" line).
//  - A refusal has no span (Start -1) and a translated reason.
//  - Pure functions of their arguments; nothing is raised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"
#include "uStructureIndex.h"

namespace corvane {

// One located edit: the replacement of Length bytes from Start, or the
// reason it was refused.
struct TLocatedEdit {
  int64_t Start = -1;
  int64_t Length = 0;
  std::string Replacement;  // UTF-8
  std::u16string Refusal;   // empty when accepted

  bool Accepted() const { return Start >= 0; }
};

// The replacement of node's value by text; isString tells whether the
// value-tree node is a string.
TLocatedEdit WriteValueEdit(std::string_view bytes, TDocumentLanguage language, const TNodeView& node, bool isString,
                            std::u16string_view text);
// The replacement of node's key by key.
TLocatedEdit WriteKeyRename(std::string_view bytes, TDocumentLanguage language, const TNodeView& node,
                            std::u16string_view key);

// The text the edited record must hold once the bytes are parsed again:
// the typed text (YAML, whose records hold decoded scalars) or the
// replacement itself (TOML, whose records hold raw values).
std::string_view ExpectedRecordValue(TDocumentLanguage language, const TLocatedEdit& edit, std::string_view typed);

// True when the edited record, parsed again, loads as what was typed into
// valueNode: a string with exactly the typed text (a TOML date or time of
// the same kind), any other value of the same kind.
bool ReadsBackAsTyped(TDocumentLanguage language, const TNodeView& after, const TJsonData* valueNode,
                      std::string_view typed);

// Offset of raw in the one line "key = raw" (key bare and first on its line,
// raw followed only by blanks, a comment or the line end). False unless
// exactly one such line exists.
bool FindTomlValueOffset(std::string_view bytes, std::string_view key, std::string_view raw, int64_t& offset);

// A double-quoted scalar valid in YAML and as a TOML basic string or key.
std::string QuoteDoubleString(std::u16string_view text);
std::string QuoteDoubleStringUtf8(const std::string& text);

// "A"-"Z", "a"-"z", "0"-"9", "-", "_".
bool IsBareKeyChar(unsigned char c);

}  // namespace corvane
