// The decisions of the grid's structural commands, without a window: which
// entry "Delete row" and "Insert row below" act on and which members
// "Delete column" removes, why a command cannot act (the status text beside
// a grayed menu entry), the change itself on the document and its patches,
// and where the grid's selection goes afterwards.
//
// Contract:
//  - Only in edit mode. A row acts on the node it stands for, which must be
//    an entry: a member or element of a container (the top of a document is
//    none). A column acts on the members it shows in an array's rows, in a
//    plain or flat view (never the Path/Value listing), each row's member
//    of that name, where it has one.
//  - A change is located and proven by the editing layer (uEntryEdits.h)
//    and goes into the patch document whole or not at all; the value tree
//    follows it. Nodes that left the tree are handed back to be freed once
//    no view refers to them.
#pragma once

#include <string>
#include <vector>

#include "uEntryEdits.h"
#include "uI18nKeys.h"
#include "uViewerCore.h"

namespace corvane {

// What a command acts on, or why it cannot (Reason set).
struct TStructureTarget {
  std::vector<TJsonData*> Nodes;  // the row's entry, or a column's members
  std::u16string Name;            // what the question names: the row's path, the column's header
  const TI18nKey* Reason = nullptr;

  bool Available() const { return Reason == nullptr; }
};

// The entry of the row at a display position.
TStructureTarget RowEntryTarget(const TViewerCore& core, int position, bool editMode);
// The members a column shows in the rows of the table.
TStructureTarget ColumnMembersTarget(const TViewerCore& core, int column, bool editMode);

// The outcome of a command: changed (a patch recorded, the tree changed),
// or the status text of its refusal.
struct TStructureResult {
  bool Changed = false;
  std::u16string Status;           // " " + the reason, when refused
  TJsonData* Added = nullptr;      // the copy's node
  std::vector<TJsonDataPtr> Gone;  // removed nodes, to be freed by the caller
};

// Removes the entries (a row's, or a column's members, in one change).
TStructureResult RemoveEntries(TLoadedDocument& doc, TSourcePatchDocument& patches,
                               const std::vector<TJsonData*>& entries);
// Puts a copy of entry right after it ("Insert row below").
TStructureResult CopyEntryBelow(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* entry);

// The display position the selection goes to once the table is built again:
// the row of `node` when shown, else the row at `position` or the last.
int PositionAfterChange(const TViewerCore& core, const TJsonData* node, int position);

// The first column of a display row whose cell the editor can open, or -1.
int FirstEditableColumn(const TViewerCore& core, int position);

// The node the tree selects once entries are removed: selected, or the
// container of the entry it lies in.
TJsonData* SelectionAfterRemoval(TJsonData* selected, const std::vector<TJsonData*>& entries);

}  // namespace corvane
