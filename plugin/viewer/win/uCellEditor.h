// Edit mode, the in-place cell editor, saving and the question on close.
#pragma once

namespace corvane {

class TJsonViewer;

void ToggleEditMode(TJsonViewer& viewer);
void BeginCellEdit(TJsonViewer& viewer, int row, int column);
// Ends an open cell edit, committing the typed text or dropping it.
void EndCellEdit(TJsonViewer& viewer, bool commit);
bool SaveChanges(TJsonViewer& viewer);
// Before the host closes the viewer: offers to save unsaved edits.
void AskSaveBeforeClose(TJsonViewer& viewer);

}  // namespace corvane
