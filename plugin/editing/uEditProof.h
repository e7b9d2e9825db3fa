// The proof behind every edit and the check before a save: the loaded bytes
// with replacements are parsed again and compared, record by record, with
// the structure loaded from the bytes.
//
// Contract:
// - Patches are in loaded-byte offsets, sorted and disjoint (as
//   TSourcePatchDocument keeps them).
// - Only what a replacement can change is parsed again, where a stretch
//   parsed on its own reads as it does in place (YAML only):
//     * the top-level entries the patches fall in, when a document's content
//       is a block mapping or sequence whose keys (or "-") start their lines
//       and the entry is not the last: at the start of such a line the
//       scanner has closed everything before (a plain or block scalar cannot
//       run on there, a quoted scalar or flow collection would have been an
//       error), and inside the entry it sees the same indentation as alone;
//       a patched entry with a line that starts with "---", "..." or "%"
//       (tokens of the stream) is not parsed alone, nor a document that
//       starts with directives (its tags);
//     * otherwise, in a stream of several documents, the documents the
//       patches fall in, when the document after an edited one starts with a
//       "---" line (which ends whatever token came before), an edited
//       document other than the first starts at the start of a line with
//       "---" or a directive (where the scanner starts afresh; directives
//       belong to the document they head and are dropped at its end), and
//       the patches leave that head (directives, "---" and its blank) alone.
//   The text before and after is the same bytes read from the same scanner
//   state, so it loads as before. A stretch that does not hold parsed alone
//   proves nothing: the whole patched text decides then, as it does for
//   TOML and whenever no stretch fits.// - A patched text that does not parse, or whose shape differs (records,
//   subtree ends, one document per edited document), never passes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "uFileLoading.h"
#include "uSourcePatch.h"

namespace corvane {

// Decides for one record (its index in doc.Index) whether the record as
// parsed again (after) may stand for the record as loaded (before). A record
// is judged again when a stretch that did not hold leaves the decision to
// the whole text, whose comparison starts with record 0.
using TRecordCheck = std::function<bool(size_t record, const TNodeView& before, const TNodeView& after)>;

// True when the loaded bytes with the patches parse, keep the loaded shape
// wherever the patches can change it, and check accepts every record there.
// A parse failure is reported in parseError when one is given.
bool PatchedRecordsHold(const TLoadedDocument& doc, const TSourcePatches& patches, const TRecordCheck& check,
                        TLoadError* parseError = nullptr);

// The structure check of a save: the patched text parses to the loaded
// records except the texts of values and keys whose spans a patch replaces
// (TOML records without spans: there at most one changed text per patch).
// False with the parser's message, or with the "error.unsafe_edit" text when
// something else changed.
bool CheckPatchedStructure(const TLoadedDocument& doc, const TSourcePatches& patches, std::u16string& error);

// The validation TSourcePatchDocument::SaveToFile runs for patches that edit
// locating accepted one at a time on doc (each proven on its own): the text
// to be saved must be doc's bytes with exactly these patches; a single patch
// was parsed with exactly this text by its own proof, several are checked
// together with CheckPatchedStructure. doc must outlive the validation.
TValidateText LocatedEditsValidation(const TLoadedDocument& doc, TSourcePatches patches);

}  // namespace corvane
