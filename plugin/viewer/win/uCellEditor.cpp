#include "uCellEditor.h"

#include <algorithm>

#include "uViewerCommands.h"

namespace corvane {

namespace {

// WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL
constexpr DWORD kEditBoxStyle = 0x50800080;
// Private message to the box: take the focus back after a refused commit on
// focus loss.
constexpr UINT kMsgRefocusCellEdit = WM_USER + 3;

std::u16string BoxText(HWND box) {
  const int length = std::max(GetWindowTextLengthW(box), 0);
  std::u16string text(size_t(length) + 1, u'\0');
  const int read = GetWindowTextW(box, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
  text.resize(size_t(std::max(read, 0)));
  return text;
}

}  // namespace

bool TCellEditor::Open(HWND parent, const RECT& cell, const TCellEditTarget& target) {
  HWND box = CreateWindowExW(0, L"EDIT", L"", kEditBoxStyle, cell.left, cell.top, cell.right - cell.left,
                             cell.bottom - cell.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::kEditBox)), PluginInstance(), nullptr);
  if (!box) return false;
  SendMessageW(box, EM_SETLIMITTEXT, kCellEditMaxLength, 0);
  SetWindowTextW(box, reinterpret_cast<LPCWSTR>(target.Text.c_str()));
  // What the box shows must be exactly the value: anything it changed on the
  // way in would be committed as an edit nobody made.
  if (BoxText(box) != target.Text || !subclass_.Install(box, this, SubclassHandler)) {
    DestroyWindow(box);
    return false;
  }
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(look_.MainFont.Get()), FALSE);
  box_ = box;
  parent_ = parent;
  target_ = target;
  SendMessageW(box, EM_SETSEL, 0, -1);
  SetFocus(box);
  return true;
}

bool TCellEditor::InsideViewer(HWND window) const {
  return window && main_ && (window == main_ || IsChild(main_, window));
}

// After a refused commit: the box keeps the focus it has, takes it back when
// the focus went to another pane of this viewer (posted, so the click that
// moved it is handled first), and leaves it where it went outside.
void TCellEditor::TakeFocusBack(HWND focus) const {
  if (focus == box_)
    SendMessageW(box_, EM_SETSEL, 0, -1);
  else if (InsideViewer(focus))
    PostMessageW(box_, kMsgRefocusCellEdit, 0, 0);
}

void TCellEditor::Refocus() {
  const HWND focus = GetFocus();
  if (focus != box_ && !InsideViewer(focus)) return;
  if (focus != box_) SetFocus(box_);
  SendMessageW(box_, EM_SETSEL, 0, -1);
}

void TCellEditor::Close(bool focusWasInBox) {
  const HWND box = box_;
  // Cleared first: the focus change that destroying the box causes finds no
  // open edit.
  box_ = nullptr;
  target_ = TCellEditTarget();
  refusedText_.reset();
  if (IsWindow(box)) DestroyWindow(box);
  if (focusWasInBox && parent_) SetFocus(parent_);
}

void TCellEditor::End(bool commit, HWND focus) {
  const HWND box = box_;
  if (ending_ || !box) return;
  ending_ = true;
  if (commit) {
    const std::u16string text = BoxText(box);
    if (!events_.CellEditCommit(target_, text)) {
      refusedText_ = text;
      ending_ = false;
      RefusalBeep();
      TakeFocusBack(focus);
      return;
    }
  }
  Close(focus == box);
  ending_ = false;
  events_.CellEditClosed();
}

void TCellEditor::EndBeforeRowsMove() {
  if (!box_ || ending_) return;
  // A text refused a moment ago (on focus loss) would only be refused and
  // beeped at again.
  if (refusedText_ != BoxText(box_)) End(true, GetFocus());
  if (box_) End(false, GetFocus());
}

// Keys: Enter commits, Escape drops; every other key is offered to the
// viewer's keyboard map first (Ctrl+S saves, Ctrl+E leaves edit mode), and
// the character of a key it handled does not reach the box.
bool TCellEditor::Key(WPARAM key) {
  if (key == VK_RETURN || key == VK_ESCAPE) {
    swallowChar_ = true;
    End(key == VK_RETURN, GetFocus());
    return true;
  }
  const bool handled = events_.PaneKeyDown(int(key));
  swallowChar_ = handled;
  return handled;
}

bool TCellEditor::SubclassHandler(void* owner, HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT* result) {
  auto& self = *static_cast<TCellEditor*>(owner);
  switch (message) {
    case WM_KEYDOWN:
      return self.Key(wParam);
    case WM_CHAR: {
      const bool swallow = self.swallowChar_;
      self.swallowChar_ = false;
      return swallow;
    }
    case WM_KILLFOCUS:
      *result = self.subclass_.CallPrevious(box, message, wParam, lParam);
      if (self.box_ == box) self.End(true, reinterpret_cast<HWND>(wParam));
      return true;
    case kMsgRefocusCellEdit:
      if (self.box_ == box) self.Refocus();
      return true;
    case WM_DESTROY:
      // Destroyed with its parents (the viewer's windows going).
      if (self.box_ == box) self.box_ = nullptr;
      return false;
    default:
      return false;
  }
}

}  // namespace corvane
