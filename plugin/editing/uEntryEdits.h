// Structural edits: removing, adding and copying entries of mappings,
// sequences, TOML tables and arrays, every other byte kept.
//
// Contract:
//  - The input is a document whose bytes, structure records and value tree
//    describe the same text (a loaded document, or one kept up to date by
//    RecordLocatedEdits / ApplyEntryChange). Nothing here changes it until
//    ApplyEntryChange.
//  - A removal takes an entry's own lines (a mapping member with its key,
//    its value and all its lines, a block scalar or nested block content and
//    a comment on its last line; a sequence item with its "-"; a TOML key
//    line; a table section from its header to its last line; one [[array]]
//    element with its sections); comment lines above an entry stay, and so
//    do blank lines. Inside a flow collection or inline TOML value it takes
//    the item with one separator. A YAML mapping or sequence left empty is
//    written {} or []; a TOML table left empty keeps its header.
//  - An addition is written in the layout of its neighbours: indentation,
//    block or flow, the "- " of a sequence item, the key's and value's
//    quoting, a TOML key/value line under the right header (or inside an
//    inline table), the spacing around "=" and after ",". A key the
//    container has already is refused. A new value may be an empty object
//    or array, written {} or [] (typed so); in a TOML table (not inline)
//    an empty object is a new [header] section after the last section of
//    its parent, and in an array of tables a new [[header]] element after
//    the array's last.
//  - A copy (the viewer's "Insert row below") puts the entry's own bytes
//    right after it, a mapping member under a new key (the old one with a
//    numeric suffix). A TOML table is copied as new sections after the last
//    section of its parent.
//  - Every change is a few non-overlapping patches of doc.Bytes and is
//    proven before it is handed out: the changed text, parsed again in
//    whole, must give exactly the loaded structure with those entries
//    removed or that entry added (every other key, value, anchor, tag and
//    style as before), or the change is refused with a translated reason
//    and no patch.
//  - Nothing recurses on the input's nesting depth.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "uFileLoading.h"
#include "uSourcePatch.h"

namespace corvane {

// A located structural change: its patches, the text and records the proof
// parsed, and what it does to the value tree; or the reason it is refused.
struct TEntryChange {
  TSourcePatches Patches;    // offsets of doc.Bytes, sorted, disjoint
  std::u16string Refusal;    // empty when accepted
  std::string NewText;       // doc.Bytes with the patches
  TStructureIndex NewIndex;  // NewText's records
  std::vector<TJsonData*> Removed;
  // An added or copied entry: its container, its index there, its record
  // in NewIndex and (a member) its key.
  TJsonData* InsertParent = nullptr;
  size_t InsertIndex = 0;
  size_t InsertRecord = 0;
  std::string InsertKey;

  bool Accepted() const { return Refusal.empty() && !NewText.empty(); }
};

// The removal of entries (members or elements of containers; none inside
// another).
TEntryChange LocateEntryRemoval(const TLoadedDocument& doc, const std::vector<TJsonData*>& entries);

// What an added entry holds: its key (none for a sequence element), the
// text it was typed as and the value that text stands for (a scalar, or an
// empty object or array typed "{}" or "[]").
struct TNewEntry {
  std::optional<std::string> Key;  // UTF-8
  std::string Typed;               // UTF-8
  const TJsonData* Value = nullptr;
};

// The value a new entry's typed text stands for: "{}" and "[]" an empty
// object and array, anything else what it reads as over a null.
TJsonDataPtr NewEntryValue(std::u16string_view typed, TDocumentLanguage language);

// The addition of entry to container, after the child `after` (nullptr: at
// the end).
TEntryChange LocateEntryAddition(const TLoadedDocument& doc, TJsonData* container, const TJsonData* after,
                                 const TNewEntry& entry);

// A copy of entry right after it; a member takes UniqueCopyKey's key.
TEntryChange LocateEntryCopy(const TLoadedDocument& doc, TJsonData* entry);

// A key for a copy of member `key` of object: its number raised by one
// when it ends in one ("item1" -> "item2"), else "2" added, then onward
// until no member has it; empty when such a key would be longer than a
// member name the model tells apart (kMaxMemberNameBytes).
std::string UniqueCopyKey(const TJsonData* object, std::string_view key);

// Makes an accepted change: doc takes its text and records, the removed
// nodes leave the value tree (handed back, for the caller to free once no
// view refers to them) and an added entry's node goes in, built from its
// records (returned in *added).
std::vector<TJsonDataPtr> ApplyEntryChange(TLoadedDocument& doc, TEntryChange& change, TJsonData** added = nullptr);

// ---- located edits and the patch document -----------------------------------------

// Until the first structural change, doc.Bytes are the patch document's
// loaded bytes and an edit's offsets are the patches'. A structural change
// needs doc to describe the patched text: this parses it into doc (the
// value tree already holds the edits); false when it does not parse.
bool DescribePatchedText(TLoadedDocument& doc, const TSourcePatchDocument& patches);

// True when edits have to be located in the patched text (a structural
// change was made since the last save).
bool DescribesPatchedText(const TLoadedDocument& doc, const TSourcePatchDocument& patches);

// Puts an accepted change, located in doc after DescribePatchedText, into
// patches (in offsets of the patched text) and makes it (ApplyEntryChange,
// whose removed nodes land in removed). False, nothing changed, when the
// patch document refuses the patches.
bool CommitEntryChange(TLoadedDocument& doc, TSourcePatchDocument& patches, TEntryChange& change,
                       std::vector<TJsonDataPtr>& removed, TJsonData** added = nullptr);

// Whether patches would take edits located in doc (a structural change
// taken in: always; else no overlap with a different span).
bool CanRecordLocatedEdits(const TLoadedDocument& doc, const TSourcePatchDocument& patches,
                           const TSourcePatches& edits);
// Puts edits located in doc into patches; when doc describes the patched
// text, it describes the new one afterwards (parsed again). False (nothing
// changed) when the patch document refuses them.
bool RecordLocatedEdits(TLoadedDocument& doc, TSourcePatchDocument& patches, const TSourcePatches& edits);

// The validation of a save of these patches: LocatedEditsValidation while
// doc is the loaded bytes; after structural changes the text must be the
// one every change was proven on (doc.Bytes), which parses.
TValidateText EditedTextValidation(const TLoadedDocument& doc, const TSourcePatchDocument& patches);

}  // namespace corvane
