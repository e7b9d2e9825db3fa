#include "uCellEditor.h"

#include <windows.h>

#include "uCommands.h"
#include "uI18n.h"
#include "uJsonViewer.h"
#include "uStatusBar.h"

namespace corvane {

namespace {

std::u16string FileNameWithoutFolder(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void ToggleEditMode(TJsonViewer& viewer) {
  if (!viewer.HasStructure) {
    RefusalBeep();
    return;
  }
  EndCellEdit(viewer, true);
  if (viewer.EditBox) return;
  viewer.EditMode = !viewer.EditMode;
  UpdateEditStatus(viewer);
}

void BeginCellEdit(TJsonViewer& viewer, int, int) {
  EndCellEdit(viewer, true);
  // Cells are not edited in place yet; edit mode only shows in the status bar.
}

void EndCellEdit(TJsonViewer& viewer, bool) {
  if (!viewer.EditBox) return;
}

bool SaveChanges(TJsonViewer& viewer) {
  EndCellEdit(viewer, true);
  if (viewer.EditBox) return false;
  if (!viewer.Modified) {
    const std::u16string text = tr(i18n::kStatusNoChanges);
    UpdateEditStatus(viewer, &text);
    return true;
  }
  return false;
}

void AskSaveBeforeClose(TJsonViewer& viewer) {
  EndCellEdit(viewer, true);
  if (!viewer.Modified) return;
  std::u16string question = tr(i18n::kDialogSaveBeforeClose);
  const size_t at = question.find(u"%s");
  if (at != std::u16string::npos) question.replace(at, 2, FileNameWithoutFolder(viewer.FileName));
  const int answer = MessageBoxW(viewer.Window(), reinterpret_cast<LPCWSTR>(question.c_str()), L"corvane",
                                 MB_ICONWARNING | MB_YESNO);
  if (answer == IDYES) SaveChanges(viewer);
}

}  // namespace corvane
