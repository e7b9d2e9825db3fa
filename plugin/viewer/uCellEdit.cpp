// Cell-editor decisions: targets, commits, refreshed texts, saving.
// See uCellEdit.h for the contract.
#include "uCellEdit.h"

#include "uEditLocate.h"
#include "uEntryEdits.h"
#include "uI18n.h"
#include "uUnicode.h"
#include "uValueChecks.h"

namespace corvane {

namespace {

TCommitResult Outcome(TCommitOutcome outcome, std::u16string status = {}, TJsonData* node = nullptr) {
  TCommitResult result;
  result.Outcome = outcome;
  result.Status = std::move(status);
  result.Node = node;
  return result;
}
TCommitResult Refused(std::u16string status) { return Outcome(TCommitOutcome::Refused, std::move(status)); }
TCommitResult Unchanged() { return Outcome(TCommitOutcome::Unchanged); }
TCommitResult Accepted(TJsonData* node) { return Outcome(TCommitOutcome::Accepted, {}, node); }

// The refusal of a located edit as the status bar shows it.
TCommitResult RefusedEdit(const TLocatedEdit& edit) { return Refused(u" " + edit.Refusal); }

// A null takes any text, as the value the text reads as in the document's
// format; the new value's node takes the null's place.
TCommitResult FillNull(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* node,
                       std::u16string_view text) {
  TJsonDataPtr value = ValueTypedOverNull(text, doc.Language);
  if (NodeKind(value.get()) == nkNull) return Unchanged();
  // The top of a document has no place another node could take.
  if (!node->Parent()) return Refused(u" " + tr(i18n::kErrorUnsafeEdit));
  const TLocatedEdit edit = LocateValueEdit(doc, node, text, *value);
  if (!edit.Accepted()) return RefusedEdit(edit);
  if (!RecordLocatedEdits(doc, patches, {{edit.Start, edit.Length, edit.Replacement}}))
    return Refused(tr(i18n::kStatusOverlapping));
  TCommitResult result = Accepted(value.get());
  result.Replaced = ReplaceInParent(node, std::move(value));
  return result;
}

// The views' references to from now stand for to.
void Repoint(TViewerCore& core, const TJsonData* from, TJsonData* to) {
  auto repoint = [&](TJsonData*& node) {
    if (node == from) node = to;
  };
  for (TJsonData*& node : core.Table.RowNodes) repoint(node);
  for (TJsonDataArray& row : core.Table.CellNodes)
    for (TJsonData*& node : row) repoint(node);
  for (TJsonData*& node : core.VisibleNodes) repoint(node);
  repoint(core.CurrentNode);
}

// The key a leaf has in its object ("" elsewhere).
std::u16string LeafKey(const TJsonData* node) {
  const TJsonData* parent = node ? node->Parent() : nullptr;
  if (NodeKind(parent) != nkObject) return {};
  const auto* object = static_cast<const TJsonObject*>(parent);
  const long long index = object->IndexOf(node);
  return index < 0 ? std::u16string() : Utf8ToUtf16(object->Name(size_t(index)));
}

}  // namespace

// By the rule the view was built with (see TTableModel::ShownNode).
TJsonData* TableCellNode(const TViewerCore& core, int row, int column) {
  return core.Table.ShownNode(row, column);
}

TJsonData* CellValueNode(const TViewerCore& core, int position, int column) {
  const int row = core.TableRowAt(position);
  TJsonData* node = TableCellNode(core, row, column);
  if (!node || IsContainer(node)) return nullptr;
  // What the cell shows must be the node's own text: anything else (the
  // missing text, a name that led elsewhere) would open another value.
  return core.Table.Cell(row, column) == ValueSummaryText(node) ? node : nullptr;
}

TCellEditTarget CellEditTarget(const TViewerCore& core, int position, int column) {
  TCellEditTarget target;
  if (core.FlatLevel == kFlatLevelPathValue && column == 0) {
    const int row = core.TableRowAt(position);
    TJsonData* leaf = core.Table.RowNode(row);
    if (!leaf || IsContainer(leaf)) return target;
    target.Node = leaf;
    target.RenameKey = true;
    target.Text = core.Table.CellText(row, 0);
    return target;
  }
  target.Node = CellValueNode(core, position, column);
  if (target.Node) target.Text = ValueSummaryText(target.Node);
  return target;
}

bool FitsCellEditBox(std::u16string_view text) {
  return text.find_first_of(u"\r\n") == text.npos && text.size() <= kCellEditMaxLength && text.find(u'\0') == text.npos;
}

std::u16string CellEditRefusal(const TLoadedDocument& doc, const TCellEditTarget& target) {
  if (!target.Valid()) return tr(i18n::kStatusReadOnly);
  const std::u16string_view text = target.Text;
  if (text.find_first_of(u"\r\n") != text.npos) return tr(i18n::kStatusCellMultiline);
  if (text.size() > kCellEditMaxLength) return tr(i18n::kStatusCellTooLong);
  if (text.find(u'\0') != text.npos) return tr(i18n::kStatusCellNul);
  const TLocatedEdit trial = target.RenameKey ? LocateKeyRename(doc, target.Node, LeafKey(target.Node))
                                              : LocateValueEdit(doc, target.Node, text);
  return trial.Accepted() ? std::u16string() : RefusedEdit(trial).Status;
}

TCommitResult CommitValueEdit(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* node,
                              std::u16string_view text) {
  if (!node || IsContainer(node)) return Refused({});
  if (text == ValueSummaryText(node)) return Unchanged();
  if (NodeKind(node) == nkNull) return FillNull(doc, patches, node, text);
  const TValueCheck check = CheckEditedValue(node, text, doc.Language);
  if (check != vcAccepted) return Refused(ValueCheckStatusText(check));
  const TLocatedEdit edit = LocateValueEdit(doc, node, text);
  if (!edit.Accepted()) return RefusedEdit(edit);
  const TSourcePatches located{{edit.Start, edit.Length, edit.Replacement}};
  if (!CanRecordLocatedEdits(doc, patches, located)) return Refused(tr(i18n::kStatusOverlapping));
  if (ApplyTypedValue(node, text) != vcAccepted) return Refused(tr(i18n::kStatusInvalidValue));
  RecordLocatedEdits(doc, patches, located);
  return Accepted(node);
}

TCommitResult CommitKeyRename(TLoadedDocument& doc, TSourcePatchDocument& patches, TJsonData* node,
                              std::u16string_view pathText, std::u16string_view text) {
  TJsonData* parent = node ? node->Parent() : nullptr;
  if (NodeKind(parent) != nkObject) return Refused(tr(i18n::kErrorUnsafeKey));
  auto* object = static_cast<TJsonObject*>(parent);
  const long long index = object->IndexOf(node);
  if (index < 0) return Refused(tr(i18n::kErrorUnsafeKey));
  const std::u16string oldKey = Utf8ToUtf16(object->Name(size_t(index)));
  // The path ends with the key (the listing builds it so); the rest names
  // the parent and must stay as it is.
  if (pathText.size() < oldKey.size() || pathText.substr(pathText.size() - oldKey.size()) != oldKey)
    return Refused(tr(i18n::kErrorUnsafeKey));
  const std::u16string_view prefix = pathText.substr(0, pathText.size() - oldKey.size());
  if (text.substr(0, prefix.size()) != prefix) return Refused(tr(i18n::kErrorPathParent));
  const std::u16string_view newKey = text.substr(prefix.size());
  if (newKey == oldKey) return Unchanged();
  const std::string newName = Utf16ToUtf8(newKey);
  // The value tree keeps at most 255 bytes of a name: a longer key would be
  // shown (and found) as another one than the file holds.
  if (newName.size() > CutMemberName(newName).size()) return Refused(tr(i18n::kErrorUnsafeKey));
  if (newKey.empty() || object->IndexOfName(newName) >= 0) return Refused(tr(i18n::kErrorDuplicateKey));
  const TLocatedEdit edit = LocateKeyRename(doc, node, newKey);
  if (!edit.Accepted()) return RefusedEdit(edit);
  const TSourcePatches located{{edit.Start, edit.Length, edit.Replacement}};
  if (!CanRecordLocatedEdits(doc, patches, located)) return Refused(tr(i18n::kStatusOverlapping));
  if (!object->Rename(size_t(index), newName)) return Refused(tr(i18n::kErrorDuplicateKey));
  RecordLocatedEdits(doc, patches, located);
  return Accepted(node);
}

TCommitResult CommitCellEdit(TLoadedDocument& doc, TSourcePatchDocument& patches,
                             const TCellEditTarget& target, std::u16string_view text) {
  if (target.RenameKey) return CommitKeyRename(doc, patches, target.Node, target.Text, text);
  return CommitValueEdit(doc, patches, target.Node, text);
}

void RefreshNodeTexts(TViewerCore& core, TJsonData* node, const TJsonData* replaced) {
  if (replaced) Repoint(core, replaced, node);
  TTableModel& table = core.Table;
  const bool listing = core.FlatLevel == kFlatLevelPathValue;
  for (int row = 0; row < table.RowCount(); ++row) {
    if (listing && table.RowNode(row) == node) table.Cells.Set(row, 0, LeafPath(node));
    for (int column = 0; column < table.Cells.ColumnCount(); ++column)
      if (core.Table.ShownNode(row, column) == node) table.Cells.Set(row, column, ValueSummaryText(node));
  }
}

TSaveResult SaveEditedDocument(TLoadedDocument& doc, TSourcePatchDocument& patches) {
  TSaveResult result;
  const TDocumentLanguage language = doc.Language;
  const TValidateText validate = [language](const std::string& text, std::u16string& error) {
    return ValidateDocument(text, language, error);
  };
  std::u16string error;
  platform::TReplaceOutcome how = platform::TReplaceOutcome::Kept;
  if (!patches.SaveToFile(validate, error, &how)) {
    std::u16string status = tr(i18n::kStatusSaveFailed);
    const size_t at = status.find(u"%s");
    if (at != std::u16string::npos) status.replace(at, 2, error);
    result.Status = status;
    return result;
  }
  result.Saved = true;
  result.Status = tr(how == platform::TReplaceOutcome::PlainMove ? i18n::kStatusSavedPlainMove : i18n::kStatusSaved);
  // The records must describe the bytes that edits are located in from now.
  doc.Bytes = patches.LoadedBytes();
  TStructureIndex index;
  TLoadError parseError;
  result.StructureRebuilt = ParseDocumentIndex(doc.Bytes, language, index, parseError);
  doc.Index = result.StructureRebuilt ? std::move(index) : TStructureIndex();
  return result;
}

std::u16string SaveFailureMessage(std::u16string_view status) {
  while (!status.empty() && status.front() == u' ') status.remove_prefix(1);
  return std::u16string(status);
}

std::u16string CloseSaveFailureMessage(std::u16string_view status, const std::u16string& keptAt) {
  std::u16string kept = tr(keptAt.empty() ? i18n::kDialogUnsavedLost : i18n::kDialogUnsavedKept);
  const size_t at = kept.find(u"%s");
  if (at != std::u16string::npos) kept.replace(at, 2, keptAt);
  return SaveFailureMessage(status) + u"\r\n\r\n" + kept;
}

}  // namespace corvane
