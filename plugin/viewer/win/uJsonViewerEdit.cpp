// Edit mode, cell edits on the document, saving and the question on close.
#include "uJsonViewer.h"

#include "uOutside.h"
#include "uUnsavedCopy.h"

namespace corvane {

namespace {

std::u16string FileNameWithoutFolder(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void TJsonViewer::ShowStatus(const TI18nKey& key) {
  const std::u16string text = tr(key);
  UpdateEditStatus(&text);
}

// Commands that are never available, and cells the editor cannot open: a
// beep and " READ ONLY".
void TJsonViewer::RefuseReadOnly() {
  RefusalBeep();
  ShowStatus(i18n::kStatusReadOnly);
}

// Ctrl+E, Ctrl+R and command 5009.
void TJsonViewer::ToggleEditMode() {
  if (!hasStructure_) {
    RefusalBeep();
    return;
  }
  EndCellEdit(true);
  if (editor_.IsOpen()) return;
  editMode_ = !editMode_;
  UpdateEditStatus();
}

// Enter on a cell and a double-click in edit mode.
void TJsonViewer::BeginCellEdit(int row, int column) {
  EndCellEdit(true);
  if (editor_.IsOpen() || !editMode_) return;
  const TCellEditTarget target = CellEditTarget(core_, row, column);
  const std::u16string refusal = CellEditRefusal(document_, target);
  if (!refusal.empty()) {
    RefusalBeep();
    UpdateEditStatus(&refusal);
    return;
  }
  RECT cell{};
  if (!grid_.CellRect(row, column, &cell)) return;
  if (!editor_.Open(grid_.Window(), cell, target)) return RefuseReadOnly();
  ShowStatus(i18n::kStatusEditing);
}

void TJsonViewer::EndCellEdit(bool commit) { editor_.End(commit, GetFocus()); }

// Before the grid's rows move (filter pass, sort, table rebuild, tree
// selection, scrolling).
void TJsonViewer::EndCellEditBeforeRowsMove() { editor_.EndBeforeRowsMove(); }

bool TJsonViewer::CellEditCommit(const TCellEditTarget& target, const std::u16string& text) {
  const TCommitResult result = CommitCellEdit(document_, patches_, target, text);
  if (!result.Committed()) {
    UpdateEditStatus(&result.Status);
    return false;
  }
  if (result.Outcome == TCommitOutcome::Accepted) ShowAcceptedEdit(target, result);
  UpdateEditStatus();
  return true;
}

// Every view shows an accepted edit: the table's texts, the filter and sort
// pass, the tree's labels, the text pane and the status bar. A null filled
// in was replaced by a node of the new kind: the table and the tree entry
// stand for that one before the old node goes with the result.
void TJsonViewer::ShowAcceptedEdit(const TCellEditTarget& target, const TCommitResult& result) {
  modified_ = true;
  SourceChanged();
  text_.MarkStale();
  RefreshNodeTexts(core_, result.Node, result.Replaced.get());
  ShowFilterResult(core_.ApplyFilters(true));
  if (target.RenameKey || result.Replaced) tree_.Relabel(result.Node, result.Replaced.get());
  if (result.Replaced) UpdateStatusBar();  // the kind of a scalar selected in the tree
  tree_.Repaint();
  if (tabs_.ActiveTab() == kTabText) LoadText();
}

// Ctrl+S and command 5019.
bool TJsonViewer::SaveChanges() {
  EndCellEdit(true);
  if (editor_.IsOpen()) return false;
  if (!modified_) {
    ShowStatus(i18n::kStatusNoChanges);
    return true;
  }
  return SaveAndReport(nullptr);
}

// Saves and shows the outcome; the failure's status text in *failure.
bool TJsonViewer::SaveAndReport(std::u16string* failure) {
  const TSaveResult result = SaveEditedDocument(document_, patches_);
  if (!result.Saved) {
    outside::Beep(MB_ICONHAND);
    UpdateEditStatus(&result.Status);
    if (failure) *failure = result.Status;
    return false;
  }
  modified_ = false;
  hasStructure_ = result.StructureRebuilt;
  if (!hasStructure_) editMode_ = false;
  // The text shown stays: it is what was saved, and the records now describe
  // it with no patches on top.
  UpdateEditStatus(&result.Status);
  return true;
}

void TJsonViewer::AskSaveBeforeClose() {
  EndCellEdit(true);
  // A refused edit is dropped: the question is about what was accepted.
  if (editor_.IsOpen()) EndCellEdit(false);
  if (!modified_) return;
  std::u16string question = tr(i18n::kDialogSaveBeforeClose);
  const size_t at = question.find(u"%s");
  if (at != std::u16string::npos) question.replace(at, 2, FileNameWithoutFolder(fileName_));
  if (AskQuestion(question, MB_ICONWARNING | MB_YESNO) != IDYES) return;
  std::u16string failure;
  if (SaveAndReport(&failure)) return;
  // The lister window closes whatever happens (the host gives it no way
  // back): the edited text goes to a file of its own, named in the message.
  const std::u16string kept = KeepUnsavedCopy(fileName_, patches_.BuildText());
  AskQuestion(CloseSaveFailureMessage(failure, kept), MB_ICONERROR | MB_OK);
}

// Message boxes belong to the viewer's window while it exists, else to the
// host's lister window.
int TJsonViewer::AskQuestion(const std::u16string& text, UINT style) {
  HWND owner = IsWindow(main_.Get()) ? main_.Get() : (IsWindow(parent_) ? parent_ : nullptr);
  int answer = 0;
  RunModal(false, [&] { answer = MessageBoxW(owner, reinterpret_cast<LPCWSTR>(text.c_str()), L"corvane", style); });
  return answer;
}

}  // namespace corvane
