// The grid's structural commands without a window. See uStructureEdit.h.
#include "uStructureEdit.h"

#include "uCellEdit.h"
#include "uI18n.h"
#include "uUnicode.h"
#include "uValuePath.h"

namespace corvane {

namespace {

TStructureTarget Unavailable(const TI18nKey& reason) {
  TStructureTarget target;
  target.Reason = &reason;
  return target;
}

TStructureResult Refusal(const std::u16string& reason) {
  TStructureResult result;
  result.Status = u" " + reason;
  return result;
}

// An accepted change taken into the patches and the tree.
TStructureResult Commit(TLoadedDocument& doc, TSourcePatchDocument& patches, TEntryChange& change) {
  if (!change.Accepted()) return Refusal(change.Refusal);
  TStructureResult result;
  if (!CommitEntryChange(doc, patches, change, result.Gone, &result.Added))
    return Refusal(tr(i18n::kStatusOverlapping));
  result.Changed = true;
  return result;
}

bool Within(const TJsonData* node, const TJsonData* outer) {
  for (; node; node = node->Parent())
    if (node == outer) return true;
  return false;
}

}  // namespace

TStructureTarget RowEntryTarget(const TViewerCore& core, int position, bool editMode) {
  if (!editMode) return Unavailable(i18n::kErrorStructureEditMode);
  TJsonData* node = core.Table.RowNode(core.TableRowAt(position));
  if (!node || !node->Parent()) return Unavailable(i18n::kErrorNoEntryRow);
  TStructureTarget target;
  target.Nodes.push_back(node);
  target.Name = ValuePathText(node, u"$", TPathNames::Quoted);
  return target;
}

TStructureTarget ColumnMembersTarget(const TViewerCore& core, int column, bool editMode) {
  if (!editMode) return Unavailable(i18n::kErrorStructureEditMode);
  const TTableModel& table = core.Table;
  if (core.FlatLevel == kFlatLevelPathValue || NodeKind(core.CurrentNode) != nkArray || column < 0 ||
      column >= table.ColumnCount())
    return Unavailable(i18n::kErrorColumnNotMember);
  TStructureTarget target;
  for (int row = 0; row < table.RowCount(); ++row) {
    TJsonData* cell = TableCellNode(core, row, column);
    // A member of the row's object (or of an object below it, flat views).
    if (cell && NodeKind(cell->Parent()) == nkObject && cell != table.RowNode(row) &&
        Within(cell, table.RowNode(row)))
      target.Nodes.push_back(cell);
  }
  if (target.Nodes.empty()) return Unavailable(i18n::kErrorColumnNotMember);
  target.Name = table.Header(column);
  return target;
}

TStructureResult RemoveEntries(TLoadedDocument& doc, TSourcePatchDocument& patches,
                               const std::vector<TJsonData*>& entries) {
  if (!DescribePatchedText(doc, patches)) return Refusal(tr(i18n::kErrorEntryUnsafe));
  TEntryChange change = LocateEntryRemoval(doc, entries);
  return Commit(doc, patches, change);
}

TStructureResult CopyEntryBelow(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* entry) {
  if (!DescribePatchedText(doc, patches)) return Refusal(tr(i18n::kErrorEntryCopyUnsafe));
  TEntryChange change = LocateEntryCopy(doc, entry);
  return Commit(doc, patches, change);
}

int PositionAfterChange(const TViewerCore& core, const TJsonData* node, int position) {
  const int count = core.VisibleRowCount();
  if (count == 0) return -1;
  for (int i = 0; node && i < count; ++i)
    if (core.VisibleNode(i) == node) return i;
  return std::max(0, std::min(position, count - 1));
}

int FirstEditableColumn(const TViewerCore& core, int position) {
  for (int column = 0; column < core.ColumnCount(); ++column) {
    const TCellEditTarget target = CellEditTarget(core, position, column);
    if (target.Valid() && FitsCellEditBox(target.Text)) return column;
  }
  return -1;
}

TJsonData* SelectionAfterRemoval(TJsonData* selected, const std::vector<TJsonData*>& entries) {
  for (TJsonData* entry : entries)
    if (Within(selected, entry)) return entry->Parent();
  return selected;
}

}  // namespace corvane
