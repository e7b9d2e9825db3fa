// The decisions of the in-place cell editor, without a window: which node a
// cell edit opens on and with which text, why it cannot open (said before
// any edit box does), what committing a value (a null filled in too) or a
// renamed key does to the value tree and the patch list, and saving with its
// status text.
//
// Contract:
//  - An edit is opened on a node, never on a row: the commit goes to the node
//    it was opened on, whatever the grid shows by then.
//  - A cell opens only when its text is exactly its node's display text (a
//    cell showing the missing text, "[Object]" or "[Array]" has no node), and
//    only when the single-line box can hold that text unchanged and the
//    document can take an edit of it in place; otherwise the reason is
//    given before any box opens.
//  - A commit either changes nothing and says why (Refused, with the status
//    text), changes nothing because the text is the old one (Unchanged), or
//    adds exactly one patch and gives the node its new value or name, or
//    puts a node of the new kind in a filled-in null's place (Accepted).
//    Nothing is changed before every check has passed, so a refusal never
//    needs to put anything back.
//  - After a successful save the document's bytes are the saved bytes and its
//    structure records are parsed from them again; the value tree is kept (it
//    already holds the saved values).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "uFileLoading.h"
#include "uSourcePatch.h"
#include "uViewerCore.h"

namespace corvane {

// The most characters the cell editor holds (and reads back).
constexpr size_t kCellEditMaxLength = 4095;

struct TCellEditTarget {
  TJsonData* Node = nullptr;  // the value edited, or the leaf whose key is renamed
  bool RenameKey = false;     // the Path column of the Path/Value view
  std::u16string Text;        // what the box opens with: display text or path

  bool Valid() const { return Node != nullptr; }
};

// The node a table cell shows (table row, column), containers included, or
// nullptr: the Attribute column and a missing member have none.
TJsonData* TableCellNode(const TViewerCore& core, int row, int column);

// The scalar node a grid cell shows (display position, column), or nullptr:
// containers, missing values, the Attribute and Path columns have none.
TJsonData* CellValueNode(const TViewerCore& core, int position, int column);

// What an edit of the cell opens on; invalid when the cell cannot be edited
// (the caller answers " READ ONLY").
TCellEditTarget CellEditTarget(const TViewerCore& core, int position, int column);

// Why an edit of the target cannot open, said before any edit box does; ""
// when it can. No value under the cell: " READ ONLY"; a text the one-line
// box cannot hold unchanged (line breaks, as a block scalar's; more than
// kCellEditMaxLength characters; a NUL): why;
// a value or key the document cannot take in place (an alias, a merge
// key's value, a place that cannot be found): the editing rules' reason,
// found by locating the edit of the unchanged text.
std::u16string CellEditRefusal(const TLoadedDocument& doc, const TCellEditTarget& target);

// Whether the one-line box holds the text unchanged: no line break, no NUL,
// at most kCellEditMaxLength characters.
bool FitsCellEditBox(std::u16string_view text);

enum class TCommitOutcome { Refused, Unchanged, Accepted };

struct TCommitResult {
  TCommitOutcome Outcome = TCommitOutcome::Refused;
  std::u16string Status;  // the refusal's status text (may be empty)
  // Accepted: the node that holds the value now. A null filled in becomes a
  // node of the new kind in the old one's place; Replaced keeps the old node
  // alive until every view has let go of it (RefreshNodeTexts).
  TJsonData* Node = nullptr;
  TJsonDataPtr Replaced;

  bool Committed() const { return Outcome != TCommitOutcome::Refused; }
};

// A value typed over a scalar: checked against the node's kind and the
// document's typing, located in the loaded bytes, recorded as a patch. A
// null takes any text, as the value the text reads as in the document's
// format (text that reads as null leaves it as it is).
TCommitResult CommitValueEdit(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* node,
                              std::u16string_view text);

// A path typed over the Path cell of a leaf: only the last segment may
// change; the member keeps its place in its object.
TCommitResult CommitKeyRename(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* node,
                              std::u16string_view pathText, std::u16string_view text);

TCommitResult CommitCellEdit(TLoadedDocument& doc, TSourcePatchDocument& patches,
                             const TCellEditTarget& target, std::u16string_view text);

// After an accepted commit: every cell of the table that shows node (its
// value, or its path in the Path/Value view) takes the node's new text;
// rows, cells and the current node that stood for replaced (a null filled
// in) stand for node from now on.
void RefreshNodeTexts(TViewerCore& core, TJsonData* node, const TJsonData* replaced = nullptr);

struct TSaveResult {
  bool Saved = false;
  bool StructureRebuilt = false;  // false leaves the document without records
  std::u16string Status;          // " SAVED", its plain-move variant, or " SAVE FAILED: ..."
};

// Saves the patches (validated in the document's language); on success the
// document takes the saved bytes and their structure records.
TSaveResult SaveEditedDocument(TLoadedDocument& doc, TSourcePatchDocument& patches);

// The text of a message box telling that a save failed: the status text
// without its leading blank.
std::u16string SaveFailureMessage(std::u16string_view status);

// The message box after a save at close failed: the failure, then where the
// edited text was kept (keptAt; "" when no copy could be written).
std::u16string CloseSaveFailureMessage(std::u16string_view status, const std::u16string& keptAt);

}  // namespace corvane
