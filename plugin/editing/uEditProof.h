// The proof behind every edit and the check before a save: the loaded bytes
// with replacements are parsed again and compared, record by record, with
// the structure loaded from the bytes.
//
// Contract:
// - Patches are in loaded-byte offsets, sorted and disjoint (as
//   TSourcePatchDocument keeps them).
// - Only what a replacement can change is parsed again. In a YAML stream of
//   several documents that is the documents the patches fall in, each parsed
//   on its own, when
//     * the document after an edited one starts with a "---" line: at the
//       start of a line "---" and a blank always end whatever token came
//       before (a plain scalar stops, a quoted one is an error, a block scalar
//       is indented), so the edited document cannot run past it, and
//     * an edited document other than the first starts at the start of a line
//       with "---" or a directive, where the YAML scanner starts afresh: no
//       indentation, no flow level, no pending key; directives belong to the
//       document they head and are dropped at its end; and the patches leave
//       that head (directives, "---" and the blank after it) alone.
//   The documents before and after are the same bytes read from the same
//   scanner state, so they load as before. The one text a document parsed on
//   its own refuses where the whole text might pass is an edited document
//   that ends in a directive (the whole text would hand it on to the next
//   document). Anything else (TOML, a single document, a patch on a
//   document's head or reaching the next one, a next document that starts
//   with a directive) parses the whole patched text.
// - A patched text that does not parse, or whose shape differs (records,
//   subtree ends, one document per edited document), never passes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "uFileLoading.h"
#include "uSourcePatch.h"

namespace corvane {

// Decides for one record (its index in doc.Index) whether the record as
// parsed again (after) may stand for the record as loaded (before).
using TRecordCheck = std::function<bool(size_t record, const TNodeView& before, const TNodeView& after)>;

// True when the loaded bytes with the patches parse, keep the loaded shape
// wherever the patches can change it, and check accepts every record there.
// A parse failure is reported in parseError when one is given.
bool PatchedRecordsHold(const TLoadedDocument& doc, const TSourcePatches& patches, const TRecordCheck& check,
                        TLoadError* parseError = nullptr);

// The structure check of a save: the patched text parses to the loaded
// records except the texts of values and keys whose spans a patch replaces
// (TOML records have no spans: there at most one changed text per patch).
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
