#include "uFilterRow.h"

#include <algorithm>

#include "uFilterRules.h"
#include "uPaintTools.h"
#include "uViewerCommands.h"

namespace corvane {

namespace {

constexpr UINT kTypingDelayMs = 250;

DWORD AlignmentStyle(int align) { return align < 0 ? ES_LEFT : (align == 0 ? ES_CENTER : ES_RIGHT); }

std::u16string EditText(HWND edit) {
  wchar_t buffer[kMaxFilterLength + 1] = {};
  const int length = GetWindowTextW(edit, buffer, static_cast<int>(kMaxFilterLength + 1));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(std::max(length, 0)));
}

}  // namespace

void TFilterRow::Attach(HWND parent, HWND timerWindow) {
  parent_ = parent;
  timerWindow_ = timerWindow;
}

// Ctrl+Tab goes to the viewer's keyboard map and Escape back to the grid;
// Ctrl+A selects the text; every other key belongs to the edit. The border
// is drawn in the theme's colours (the system's sunken edge is a light one).
bool TFilterRow::EditHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  auto& self = *static_cast<TFilterRow*>(owner);
  if (message == WM_NCPAINT) {
    self.PaintBorder(window);
    *result = 0;
    return true;
  }
  if (SelectAllKey(window, message, wParam)) return true;
  if (message != WM_KEYDOWN) return false;
  if (wParam == VK_TAB && KeyHeld(VK_CONTROL)) return self.events_.PaneKeyDown(VK_TAB);
  if (wParam != VK_ESCAPE) return false;
  self.events_.FilterEscape();
  return true;
}

// The client edge: a frame in the splitter's line colour around one in the
// edit's background.
void TFilterRow::PaintBorder(HWND edit) const {
  HDC dc = GetWindowDC(edit);
  if (!dc) return;
  RECT r{};
  GetWindowRect(edit, &r);
  OffsetRect(&r, -r.left, -r.top);
  const TThemeColours& c = look_.Colours;
  FrameSolid(dc, r, SplitterLineColour(c.SplitterColor, c.TextColor));
  InflateRect(&r, -1, -1);
  FrameSolid(dc, r, c.FilterBackColor);
  ReleaseDC(edit, dc);
}

void TFilterRow::Destroy() {
  subclasses_.clear();
  for (HWND edit : edits_) DestroyWindow(edit);
  edits_.clear();
}

void TFilterRow::Create(int columns, int align, bool darkStyle) {
  Destroy();
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | AlignmentStyle(align);
  for (int i = 0; i < columns; ++i) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, look_.ScaleDpi(10), Height(), parent_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmd::kFilterEditBase + i)),
                                PluginInstance(), nullptr);
    if (!edit) break;
    edits_.push_back(edit);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(look_.MainFont.Get()), FALSE);
    // A new control has the default style already.
    if (darkStyle) SetControlStyle(edit, true);
    auto subclass = std::make_unique<win::TSubclass>();
    if (subclass->Install(edit, this, EditHandler)) subclasses_.push_back(std::move(subclass));
  }
}

bool TFilterRow::Owns(HWND window) const {
  return window && std::find(edits_.begin(), edits_.end(), window) != edits_.end();
}

int TFilterRow::Height() const { return FilterRowHeight(look_.Scaling, look_.LineHeight); }

void TFilterRow::Place(const std::vector<TRect>& columns, int top, bool gridShown) {
  const int height = Height();
  const bool rowShown = shown_ && gridShown;
  for (size_t i = 0; i < edits_.size() && i < columns.size(); ++i) {
    const int width = columns[i].Width();
    // Without the old bits: a border copied from the old size would stay.
    SetWindowPos(edits_[i], nullptr, columns[i].Left, top, std::max(width, 0), height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    ShowWindow(edits_[i], rowShown && width > 0 ? SW_SHOWNA : SW_HIDE);
  }
}

std::vector<std::u16string> TFilterRow::Texts() const {
  std::vector<std::u16string> texts;
  for (HWND edit : edits_) texts.push_back(EditText(edit));
  return texts;
}

void TFilterRow::SetTexts(const std::vector<std::u16string>& texts) {
  writing_ = true;
  for (size_t i = 0; i < edits_.size() && i < texts.size(); ++i)
    SetWindowTextW(edits_[i], reinterpret_cast<LPCWSTR>(texts[i].c_str()));
  writing_ = false;
}

bool TFilterRow::Command(int id, int code) {
  const int index = id - cmd::kFilterEditBase;
  if (index < 0 || index >= Count()) return false;
  if (code == EN_CHANGE && !writing_) timer_.Start(timerWindow_, kTimerId, kTypingDelayMs);
  return true;
}

void TFilterRow::TimerFired() {
  timer_.Stop();
  events_.FiltersTyped();
}

HBRUSH TFilterRow::ColourEdit(HDC dc) const {
  if (!brush_) return nullptr;
  SetTextColor(dc, look_.Colours.FilterTextColor);
  SetBkColor(dc, look_.Colours.FilterBackColor);
  return brush_.Get();
}

void TFilterRow::ApplyColours() {
  // The new brush replaces the old only once it exists.
  win::TBrush brush(CreateSolidBrush(look_.Colours.FilterBackColor));
  brush_ = std::move(brush);
}

void TFilterRow::ApplyStyle(bool dark) {
  for (HWND edit : edits_) SetControlStyle(edit, dark);
}

void TFilterRow::SetFont(HFONT font) {
  for (HWND edit : edits_) SetControlFont(edit, font);
}

void TFilterRow::Detach() {
  timer_.Stop();
  subclasses_.clear();
}

void TFilterRow::Forget() {
  edits_.clear();
  brush_.Reset();
}

}  // namespace corvane
