#include "uCellEditor.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "uCommands.h"
#include "uGridPane.h"
#include "uI18n.h"
#include "uJsonViewer.h"
#include "uMainWindow.h"
#include "uOutside.h"
#include "uStatusBar.h"
#include "uTextPane.h"
#include "uTreePane.h"
#include "uViewerCommands.h"
#include "uViewerLifetime.h"

namespace corvane {

namespace {

// WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL
constexpr DWORD kEditBoxStyle = 0x50800080;

LPCWSTR W(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

std::u16string BoxText(HWND box) {
  const int length = std::max(GetWindowTextLengthW(box), 0);
  std::u16string text(size_t(length) + 1, u'\0');
  const int read = GetWindowTextW(box, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
  text.resize(size_t(std::max(read, 0)));
  return text;
}

bool InsideViewer(const TJsonViewer& viewer, HWND window) {
  return window && viewer.Window() && (window == viewer.Window() || IsChild(viewer.Window(), window));
}

void ShowStatus(TJsonViewer& viewer, const TI18nKey& key) {
  const std::u16string text = tr(key);
  UpdateEditStatus(viewer, &text);
}

void RefuseReadOnly(TJsonViewer& viewer) {
  RefusalBeep();
  ShowStatus(viewer, i18n::kStatusReadOnly);
}

// The cell's rectangle in the grid; the bounds of sub-item 0 span the whole
// row, so column 0 ends where its own width does.
bool CellRect(const TJsonViewer& viewer, int row, int column, RECT* cell) {
  *cell = RECT{};
  cell->top = column;
  cell->left = LVIR_BOUNDS;
  if (!SendMessageW(viewer.Grid, LVM_GETSUBITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(cell))) return false;
  if (column == 0) cell->right = cell->left + int(SendMessageW(viewer.Grid, LVM_GETCOLUMNWIDTH, 0, 0));
  return cell->right > cell->left && cell->bottom > cell->top;
}

// After a refused commit: the box keeps the focus it has, takes it back when
// the focus went to another pane of this viewer (posted, so the click that
// moved it is handled first), and leaves it where it went outside.
void TakeFocusBack(TJsonViewer& viewer, HWND box, HWND focus) {
  if (focus == box)
    SendMessageW(box, EM_SETSEL, 0, -1);
  else if (InsideViewer(viewer, focus))
    PostMessageW(box, kMsgRefocusCellEdit, 0, 0);
}

void Refocus(TJsonViewer& viewer, HWND box) {
  if (viewer.EditBox != box) return;
  const HWND focus = GetFocus();
  if (focus != box && !InsideViewer(viewer, focus)) return;
  if (focus != box) SetFocus(box);
  SendMessageW(box, EM_SETSEL, 0, -1);
}

void CloseBox(TJsonViewer& viewer, bool focusWasInBox) {
  const HWND box = viewer.EditBox;
  TCellEditSession& edit = viewer.CellEdit;
  // Cleared first: the focus change that destroying the box causes finds no
  // open edit.
  viewer.EditBox = nullptr;
  edit.Target = TCellEditTarget();
  edit.Row = edit.Column = -1;
  edit.RefusedText.reset();
  if (IsWindow(box)) DestroyWindow(box);
  if (focusWasInBox && viewer.Grid) SetFocus(viewer.Grid);
}

// Ends the open edit; focus is where the keyboard focus is (or goes, when
// the box is losing it).
void EndEdit(TJsonViewer& viewer, bool commit, HWND focus) {
  TCellEditSession& edit = viewer.CellEdit;
  const HWND box = viewer.EditBox;
  if (edit.Ending || !box) return;
  edit.Ending = true;
  if (commit) {
    const std::u16string text = BoxText(box);
    if (!CommitCellEdit(viewer, text)) {
      edit.RefusedText = text;
      edit.Ending = false;
      RefusalBeep();
      TakeFocusBack(viewer, box, focus);
      return;
    }
  }
  CloseBox(viewer, focus == box);
  edit.Ending = false;
  UpdateEditStatus(viewer);
}

// Every view shows an accepted edit: the table's texts, the filter and sort
// pass, the tree's labels, the text pane and the status bar. A null filled
// in was replaced by a node of the new kind: the table and the tree entry
// stand for that one before the old node goes with the result.
void ShowAcceptedEdit(TJsonViewer& viewer, const TCellEditTarget& target, const TCommitResult& result) {
  viewer.Modified = true;
  viewer.SourceChanged();
  viewer.TextStale = true;
  RefreshNodeTexts(viewer.Core, result.Node, result.Replaced.get());
  ShowFilterResult(viewer, viewer.Core.ApplyFilters(true));
  if (target.RenameKey || result.Replaced) RelabelTreeEntry(viewer, result.Node, result.Replaced.get());
  if (result.Replaced) UpdateStatusBar(viewer);  // the kind of a scalar selected in the tree
  InvalidateRect(viewer.Tree, nullptr, FALSE);
  if (viewer.ActiveTab == 1) LoadText(viewer);
}

// Keys: Enter commits, Escape drops; every other key is offered to the
// viewer's keyboard map first (Ctrl+S saves, Ctrl+E leaves edit mode), and
// the character of a key it handled does not reach the box.
bool EditBoxKey(TJsonViewer& viewer, WPARAM key) {
  if (key == VK_RETURN || key == VK_ESCAPE) {
    viewer.CellEdit.SwallowChar = true;
    EndEdit(viewer, key == VK_RETURN, GetFocus());
    return true;
  }
  const bool handled = HandleViewerKey(viewer, int(key));
  viewer.CellEdit.SwallowChar = handled;
  return handled;
}

bool EditBoxHandler(void* owner, HWND box, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  switch (message) {
    case WM_KEYDOWN:
      return EditBoxKey(viewer, wParam);
    case WM_CHAR: {
      const bool swallow = viewer.CellEdit.SwallowChar;
      viewer.CellEdit.SwallowChar = false;
      return swallow;
    }
    case WM_KILLFOCUS:
      *result = viewer.CellEdit.Subclass.CallPrevious(box, message, wParam, lParam);
      if (viewer.EditBox == box) EndEdit(viewer, true, reinterpret_cast<HWND>(wParam));
      return true;
    case kMsgRefocusCellEdit:
      Refocus(viewer, box);
      return true;
    case WM_DESTROY:
      // Destroyed with its parents (the viewer's windows going).
      if (viewer.EditBox == box) viewer.EditBox = nullptr;
      return false;
    default:
      return false;
  }
}

HWND CreateEditBox(TJsonViewer& viewer, const RECT& cell, const std::u16string& text) {
  HWND box = CreateWindowExW(0, L"EDIT", L"", kEditBoxStyle, cell.left, cell.top, cell.right - cell.left,
                             cell.bottom - cell.top, viewer.Grid,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::kEditBox)), PluginInstance(), nullptr);
  if (!box) return nullptr;
  SendMessageW(box, EM_SETLIMITTEXT, kCellEditMaxLength, 0);
  SetWindowTextW(box, W(text));
  // What the box shows must be exactly the value: anything it changed on the
  // way in would be committed as an edit nobody made.
  if (BoxText(box) != text || !viewer.CellEdit.Subclass.Install(box, &viewer, EditBoxHandler)) {
    DestroyWindow(box);
    return nullptr;
  }
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(viewer.MainFont.Get()), FALSE);
  return box;
}

// Saves and shows the outcome; the failure's status text in *failure.
bool SaveAndReport(TJsonViewer& viewer, std::u16string* failure) {
  const TSaveResult result = SaveEditedDocument(viewer.Document, viewer.PatchDocument);
  if (!result.Saved) {
    outside::Beep(MB_ICONHAND);
    UpdateEditStatus(viewer, &result.Status);
    if (failure) *failure = result.Status;
    return false;
  }
  viewer.Modified = false;
  viewer.HasStructure = result.StructureRebuilt;
  if (!viewer.HasStructure) viewer.EditMode = false;
  viewer.SourceChanged();
  UpdateEditStatus(viewer, &result.Status);
  return true;
}

std::u16string FileNameWithoutFolder(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

// Message boxes belong to the viewer's window while it exists, else to the
// host's lister window.
HWND MessageOwner(const TJsonViewer& viewer) {
  if (IsWindow(viewer.Window())) return viewer.Window();
  return IsWindow(viewer.Parent) ? viewer.Parent : nullptr;
}

int AskViewerQuestion(TJsonViewer& viewer, const std::u16string& text, UINT style) {
  int answer = 0;
  RunModal(viewer, false, [&] { answer = MessageBoxW(MessageOwner(viewer), W(text), L"corvane", style); });
  return answer;
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

void BeginCellEdit(TJsonViewer& viewer, int row, int column) {
  EndCellEdit(viewer, true);
  if (viewer.EditBox || !viewer.EditMode) return;
  const TCellEditTarget target = CellEditTarget(viewer.Core, row, column);
  if (!target.Valid() || !FitsCellEditBox(target.Text)) return RefuseReadOnly(viewer);
  RECT cell{};
  if (!CellRect(viewer, row, column, &cell)) return;
  const HWND box = CreateEditBox(viewer, cell, target.Text);
  if (!box) return RefuseReadOnly(viewer);
  viewer.EditBox = box;
  viewer.CellEdit.Target = target;
  viewer.CellEdit.Row = row;
  viewer.CellEdit.Column = column;
  SendMessageW(box, EM_SETSEL, 0, -1);
  SetFocus(box);
  ShowStatus(viewer, i18n::kStatusEditing);
}

void EndCellEdit(TJsonViewer& viewer, bool commit) { EndEdit(viewer, commit, GetFocus()); }

void EndCellEditBeforeRowsMove(TJsonViewer& viewer) {
  const HWND box = viewer.EditBox;
  if (!box || viewer.CellEdit.Ending) return;
  // A text refused a moment ago (on focus loss) would only be refused and
  // beeped at again.
  if (viewer.CellEdit.RefusedText != BoxText(box)) EndCellEdit(viewer, true);
  if (viewer.EditBox) EndCellEdit(viewer, false);
}

bool CommitCellEdit(TJsonViewer& viewer, const std::u16string& text) {
  const TCellEditTarget target = viewer.CellEdit.Target;
  const TCommitResult result = CommitCellEdit(viewer.Document, viewer.PatchDocument, target, text);
  if (!result.Committed()) {
    UpdateEditStatus(viewer, &result.Status);
    return false;
  }
  if (result.Outcome == TCommitOutcome::Accepted) ShowAcceptedEdit(viewer, target, result);
  UpdateEditStatus(viewer);
  return true;
}

bool SaveChanges(TJsonViewer& viewer) {
  EndCellEdit(viewer, true);
  if (viewer.EditBox) return false;
  if (!viewer.Modified) {
    ShowStatus(viewer, i18n::kStatusNoChanges);
    return true;
  }
  return SaveAndReport(viewer, nullptr);
}

void AskSaveBeforeClose(TJsonViewer& viewer) {
  EndCellEdit(viewer, true);
  // A refused edit is dropped: the question is about what was accepted.
  if (viewer.EditBox) EndCellEdit(viewer, false);
  if (!viewer.Modified) return;
  std::u16string question = tr(i18n::kDialogSaveBeforeClose);
  const size_t at = question.find(u"%s");
  if (at != std::u16string::npos) question.replace(at, 2, FileNameWithoutFolder(viewer.FileName));
  if (AskViewerQuestion(viewer, question, MB_ICONWARNING | MB_YESNO) != IDYES) return;
  std::u16string failure;
  if (!SaveAndReport(viewer, &failure))
    AskViewerQuestion(viewer, SaveFailureMessage(failure), MB_ICONERROR | MB_OK);
}

void RefuseStructuralCommand(TJsonViewer& viewer) { RefuseReadOnly(viewer); }

}  // namespace corvane
