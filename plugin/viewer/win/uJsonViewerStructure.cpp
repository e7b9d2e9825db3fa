// Rows and columns added, copied and deleted: the grid's structural
// commands carried out on the document, and every pane brought to the new
// document with the selection on the neighbouring row.
#include "uJsonViewer.h"

#include "uStructureEdit.h"

namespace corvane {

void TJsonViewer::RefuseStructureChange(const std::u16string& status) {
  RefusalBeep();
  UpdateEditStatus(&status);
}

// "Delete row" and the Delete key: the row's entry, after a question.
void TJsonViewer::DeleteRow() {
  EndCellEdit(true);
  if (editor_.IsOpen()) return;
  const TStructureTarget target = RowEntryTarget(core_, core_.CurrentRow, editMode_);
  if (!target.Available()) return RefuseStructureChange(u" " + tr(*target.Reason));
  if (ConfirmStructureChange(i18n::kDialogDeleteRow, target.Name)) RemoveAndShow(target.Nodes);
}

// "Delete column": the column's member in every row that has it, as one
// change, after a question.
void TJsonViewer::DeleteColumn() {
  EndCellEdit(true);
  if (editor_.IsOpen()) return;
  const TStructureTarget target = ColumnMembersTarget(core_, core_.CurrentColumn, editMode_);
  if (!target.Available()) return RefuseStructureChange(u" " + tr(*target.Reason));
  if (ConfirmStructureChange(i18n::kDialogDeleteColumn, target.Name)) RemoveAndShow(target.Nodes);
}

// "Insert row below": a copy of the row's entry right after it; the cell
// editor opens on the new row's first cell it can edit.
void TJsonViewer::InsertRowBelow() {
  EndCellEdit(true);
  if (editor_.IsOpen()) return;
  const TStructureTarget target = RowEntryTarget(core_, core_.CurrentRow, editMode_);
  if (!target.Available()) return RefuseStructureChange(u" " + tr(*target.Reason));
  EndCellEditBeforeRowsMove();
  TStructureResult result = CopyEntryBelow(document_, patches_, target.Nodes.front());
  if (!result.Changed) return RefuseStructureChange(result.Status);
  ShowStructureChange(tree_.SelectedNode(), result.Added, core_.CurrentRow + 1);
  const int column = FirstEditableColumn(core_, core_.CurrentRow);
  if (column >= 0) BeginCellEdit(core_.CurrentRow, column);
}

// True when the user answers Yes; false too when the viewer began closing
// meanwhile.
bool TJsonViewer::ConfirmStructureChange(const TI18nKey& question, const std::u16string& name) {
  std::u16string text = tr(question);
  const size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, name);
  const int answer = AskQuestion(text, MB_ICONQUESTION | MB_YESNO);
  if (closing_) return false;
  SetFocus(grid_.Window());  // back from the question, also after No
  return answer == IDYES;
}

void TJsonViewer::RemoveAndShow(const std::vector<TJsonData*>& entries) {
  EndCellEditBeforeRowsMove();
  TJsonData* select = SelectionAfterRemoval(tree_.SelectedNode(), entries);
  const int position = core_.CurrentRow;
  // The removed nodes live until every pane has let go of them.
  TStructureResult result = RemoveEntries(document_, patches_, entries);
  if (!result.Changed) return RefuseStructureChange(result.Status);
  ShowStructureChange(select, nullptr, position);
}

// Every pane shows the changed document: the tree built again with treeNode
// selected, its table, the row of rowNode (or the one at position, the
// neighbour of a removed row) selected, the text pane and the status bar.
void TJsonViewer::ShowStructureChange(TJsonData* treeNode, const TJsonData* rowNode, int position) {
  modified_ = true;
  SourceChanged();
  text_.MarkStale();
  const int column = core_.CurrentColumn;
  tree_.Build(document_.Value.get(), core_.FlatLevel, alwaysStartAtRoot_);
  if (treeNode && treeNode != tree_.SelectedNode()) tree_.SelectNode(treeNode);
  const int row = PositionAfterChange(core_, rowNode, position);
  grid_.SelectOnlyRow(row);
  if (row >= 0) grid_.EnsureVisible(row);
  SetCurrentCell(row, std::max(0, std::min(column, core_.ColumnCount() - 1)), true);
  SetFocus(grid_.Window());
  if (tabs_.ActiveTab() == kTabText) LoadText();
  UpdateStatusBar();
  UpdateEditStatus();
}

}  // namespace corvane
