// How an edit is written into a file's bytes: the span a value or key takes
// and the bytes put in its place, for one node of the document's structure
// records. Edit locating (uEditLocate.h) proves every result by parsing the
// replaced bytes again before handing it out; the structure oracle of the
// tests writes edits with these same rules and proves them its own way.
//
// Contract:
//  - Texts are written with the rules of uScalarWriting.h, each value and
//    key in its own style where that style holds the new text.
//  - YAML values: a plain or quoted scalar is replaced whole, after its
//    anchor and tag (which stay, with the blank after them). A string keeps
//    its style: plain where the plain text reads back as typed at its place
//    (block or flow, and kept plain where the file's readers took the old
//    text for the same kind of value), else single-quoted where that holds
//    it, else double-quoted; a single-quoted string stays single-quoted
//    where it can, a double-quoted one double-quoted. A value that becomes a
//    string (a number, boolean or null before) and cannot stay plain is
//    double-quoted. Numbers, booleans and nulls are written as typed. A
//    literal or folded block scalar keeps its header (its chomping
//    indicator set to what the new text needs) and gets new content lines
//    at its own indentation, in the file's line breaks; a text the block
//    form cannot hold is refused. An empty value gets its text after its
//    ":", "-", anchor or tag with one blank between (a blank already there
//    is used). Aliases and the value of a merge key ("<<") are refused,
//    each with its own reason.
//  - TOML values: the value's span from the records, or (a parser library
//    without spans) the one "key = raw" line with that bare key. A string
//    keeps its form where the form can hold the new text (a literal string
//    that cannot becomes a basic string, a multi-line literal a multi-line
//    basic string); a multi-line string writes line breaks as the file
//    does; a value that becomes a string is a basic string. Every other
//    value is written as typed.
//  - Keys: the new key in place of the key as written (YAML: the key scalar;
//    TOML: the key, the one segment of a dotted key or table header where it
//    first appears; without spans, the first token of the value's
//    "key = raw" line), in the old key's style where that holds the new key
//    (a bare TOML key stays bare for a bare-safe name, a quoted one keeps its
//    quote kind), else double-quoted. A YAML merge key is not renamed.
//  - A refusal has no span (Start -1) and a translated reason.
//  - Pure functions of their arguments; nothing is raised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"
#include "uScalarWriting.h"
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

// Where an edited node stands, as the writing rules need it.
struct TEditPlace {
  bool Flow = false;        // YAML: inside a flow collection
  bool MergeValue = false;  // YAML: the value of a merge key "<<", or an item of it
};

// The place of node in the collection whose record is parent (nullptr at
// the top of a document). A YAML collection counts as a flow collection
// when "[" or "{" stands at its start, after its anchor and tag.
TEditPlace EditPlaceOf(std::string_view bytes, const TNodeView& node, const TNodeView* parent);

// True when a value is written as a string: a string that is no TOML date
// or time (those are written as typed, like numbers).
bool WritesAsString(const TJsonData& value);

// The replacement of node's value by text, written as a string when
// asString, else as typed.
TLocatedEdit WriteValueEdit(std::string_view bytes, TDocumentLanguage language, const TNodeView& node,
                            TEditPlace place, bool asString, std::u16string_view text);
// The replacement of node's key by key.
TLocatedEdit WriteKeyRename(std::string_view bytes, TDocumentLanguage language, const TNodeView& node,
                            TEditPlace place, std::u16string_view key);

// The text the edited record must hold once the bytes are parsed again:
// the typed text (YAML, whose records hold decoded scalars) or the
// replacement itself (TOML, whose records hold raw values).
std::string_view ExpectedRecordValue(TDocumentLanguage language, const TLocatedEdit& edit, std::string_view typed);

// True when the edited record, parsed again, loads as the value the typed
// text was written as: a string with exactly the typed text (a TOML date or
// time of the same kind), any other value of the same kind.
bool ReadsBackAsTyped(TDocumentLanguage language, const TNodeView& after, const TJsonData& value,
                      std::string_view typed);

// Offset of raw in the one line "key = raw" (key bare and first on its line,
// raw followed only by blanks, a comment or the line end). False unless
// exactly one such line exists.
bool FindTomlValueOffset(std::string_view bytes, std::string_view key, std::string_view raw, int64_t& offset);

}  // namespace corvane
