// The text pane on a rich-edit control.
//
// Positions: the control keeps one character per line break, while its
// window text hands out CR LF; every text read here is reduced to one
// character per line break first, so positions found in it are the
// control's own.
#include "uTextPane.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <climits>

#include "uHostSearch.h"
#include "uTextSearch.h"
#include "uThemes.h"
#include "uViewerCommands.h"

namespace corvane {

namespace {

// Private message to the text pane: colour the lines on screen.
constexpr UINT kMsgRecolourText = WM_USER + 49;

// Lines coloured by one pass beyond the first visible one.
constexpr int kMaxColouredLines = 1000;

// The rich-edit library stays loaded once loaded: its window class must
// outlive every text pane of every viewer.
bool LoadRichEdit() {
  static const bool loaded = LoadLibraryW(L"msftedit.dll") != nullptr;
  return loaded;
}

HWND CreateTextControl(HWND parent) {
  // Child, scroll bars, tab stop, multi-line, auto-scroll both ways, read-only;
  // shown by the tab switch.
  constexpr DWORD kStyle = 0x403108C4 & ~WS_VISIBLE;
  return CreateWindowExW(0, L"RICHEDIT50W", L"", kStyle, 0, 0, 100, 100, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::kText)), PluginInstance(), nullptr);
}

// Characters start..end of the control (end exclusive), one per line break.
std::u16string TextRange(HWND text, LONG start, LONG end) {
  if (end <= start) return {};
  // Room for a CR LF per character, should the control hand those out.
  std::u16string buffer(2 * static_cast<size_t>(end - start) + 1, u'\0');
  TEXTRANGEW range{};
  range.chrg.cpMin = start;
  range.chrg.cpMax = end;
  range.lpstrText = reinterpret_cast<LPWSTR>(&buffer[0]);
  const LRESULT copied = SendMessageW(text, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  buffer.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
  return ReduceCrLf(buffer);
}

LONG TextLength(HWND text) {
  GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT length = SendMessageW(text, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
  return static_cast<LONG>(std::max<LRESULT>(length, 0));
}

// The first characters of the pane, as far as the tab-switch links look.
std::u16string LinkText(HWND text) {
  return TextRange(text, 0, std::min<LONG>(TextLength(text), static_cast<LONG>(kPaneTextLinkLimit)));
}

CHARRANGE Selection(HWND text) {
  CHARRANGE selection{};
  SendMessageW(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  return selection;
}

void SetCharFormat(HWND text, WPARAM scope, COLORREF colour, bool bold) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR | CFM_BOLD;
  format.dwEffects = bold ? CFE_BOLD : 0;
  format.crTextColor = colour;
  SendMessageW(text, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&format));
}

void ColourRange(HWND text, LONG start, LONG length, COLORREF colour, bool bold) {
  SendMessageW(text, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
  SetCharFormat(text, SCF_SELECTION, colour, bold);
}

// The characters of the lines on screen: from the first visible line down
// to the last line that starts above the client's bottom, at most 1,001.
// A handful of messages whatever the count: some rich-edit implementations
// walk the text from its start for every position asked for.
struct TVisibleText {
  LONG Start = 0, End = 0;
  size_t FirstLine = 0;
};

bool VisibleText(HWND text, TVisibleText* visible) {
  RECT client{};
  GetClientRect(text, &client);
  const LRESULT first = SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0);
  const LRESULT start = SendMessageW(text, EM_LINEINDEX, static_cast<WPARAM>(first), 0);
  // The line under the client's bottom-left pixel is the last one on screen
  // (below the text's end the control answers with the last line).
  POINTL corner{0, std::max<LONG>(client.bottom - 1, 0)};
  const LRESULT bottom = SendMessageW(text, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner));
  const LRESULT bottomLine = SendMessageW(text, EM_EXLINEFROMCHAR, 0, bottom);
  const LRESULT last = std::min<LRESULT>(std::max(bottomLine, first), first + kMaxColouredLines);
  const LRESULT lastStart = SendMessageW(text, EM_LINEINDEX, static_cast<WPARAM>(last), 0);
  if (start < 0 || lastStart < 0) return false;
  const LRESULT end = lastStart + SendMessageW(text, EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0);
  if (end <= start) return false;
  *visible = {static_cast<LONG>(start), static_cast<LONG>(end), static_cast<size_t>(first)};
  return true;
}

// Clears the busy flag however a pass ends.
struct TBusyFlag {
  explicit TBusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~TBusyFlag() { flag_ = false; }
  TBusyFlag(const TBusyFlag&) = delete;
  TBusyFlag& operator=(const TBusyFlag&) = delete;
  bool& flag_;
};

}  // namespace

bool TTextPane::Ensure(HWND parent, bool darkStyle) {
  if (text_) return true;
  if (!parent || !LoadRichEdit()) return false;
  const HWND text = CreateTextControl(parent);
  if (!text) return false;
  if (!subclass_.Install(text, this, SubclassHandler)) {
    DestroyWindow(text);
    return false;
  }
  text_ = text;
  // Read-only: nothing to undo, and format changes must not pile up there.
  SendMessageW(text, EM_SETUNDOLIMIT, 0, 0);
  SendMessageW(text, EM_EXLIMITTEXT, 0, INT_MAX - 1);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(look_.MainFont.Get()), FALSE);
  SendMessageW(text, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(look_.Colours.BackColor));
  // A new control has the default style already.
  if (darkStyle) SetControlStyle(text, true);
  return true;
}

void TTextPane::Place(const TRect& r) { PlaceControl(text_, r.Left, r.Top, r.Width(), r.Height()); }

void TTextPane::Show(bool shown) {
  if (text_) ShowWindow(text_, shown ? SW_SHOW : SW_HIDE);
}

void TTextPane::Load() {
  if (shownRevision_ != events_.DocumentRevision()) {
    SetCharFormat(text_, SCF_DEFAULT, look_.Colours.SyntaxText, false);
    const std::u16string& source = events_.DocumentText();
    SetWindowTextW(text_, reinterpret_cast<LPCWSTR>(source.c_str()));
    lineColours_.TextLoaded(CountTextLines(source));
    shownRevision_ = events_.DocumentRevision();
  }
  stale_ = false;
  coloursStale_ = true;
}

void TTextPane::Repaint() {
  if (text_) InvalidateRect(text_, nullptr, FALSE);
}

// Colours the lines of characters start..end (the first being line
// firstLine) that do not show the current colours yet, keeping the user's
// selection and scroll position and drawing once at the end.
void TTextPane::ColourText(LONG start, LONG end, size_t firstLine) {
  const bool bold = settings_.ReadFlag(setting::kFontUseBold);
  if (bold != colouredBold_) {
    lineColours_.ColoursChanged();
    colouredBold_ = bold;
  }
  const std::vector<TColourSpan> spans =
      PendingColourSpans(TextRange(text_, start, end), firstLine, language_, bold, &lineColours_);
  if (spans.empty()) return;
  const CHARRANGE selection = Selection(text_);
  POINT scroll{};
  SendMessageW(text_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(text_, WM_SETREDRAW, FALSE, 0);
  for (const TColourSpan& span : spans)
    ColourRange(text_, start + span.Start, span.Length, SyntaxRoleColour(look_.Colours, span.Role), span.Bold);
  SendMessageW(text_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  SendMessageW(text_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(text_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(text_, nullptr, FALSE);
}

void TTextPane::ColourVisibleLines() {
  if (busy_ || !text_ || !IsWindowVisible(text_)) return;
  TBusyFlag busy(busy_);
  TVisibleText visible;
  if (!VisibleText(text_, &visible)) return;
  ColourText(visible.Start, visible.End, visible.FirstLine);
  coloursStale_ = false;
}

void TTextPane::ColoursChanged() {
  coloursStale_ = true;
  lineColours_.ColoursChanged();
}

void TTextPane::ApplyColours() {
  if (text_) SendMessageW(text_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(look_.Colours.BackColor));
}

void TTextPane::SelectFirst(const std::u16string& cellText) {
  const int64_t found = FindCellInText(LinkText(text_), cellText);
  if (found < 0) return;
  SendMessageW(text_, EM_SETSEL, static_cast<WPARAM>(found), static_cast<LPARAM>(found + cellText.size()));
  SendMessageW(text_, kMsgRecolourText, 0, 0);
}

bool TTextPane::SelectedLinkText(std::u16string* text) const {
  if (!text_) return false;
  const CHARRANGE selection = Selection(text_);
  if (selection.cpMin == selection.cpMax) return false;
  *text = SelectedPaneText(LinkText(text_), selection.cpMin, selection.cpMax);
  return true;
}

TTextPaneSnapshot TTextPane::Snapshot() const {
  TTextPaneSnapshot snapshot;
  if (!text_) return snapshot;
  const int length = GetWindowTextLengthW(text_);
  std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
  text.resize(static_cast<size_t>(
      std::max(GetWindowTextW(text_, reinterpret_cast<LPWSTR>(&text[0]), length + 1), 0)));
  snapshot.Text = ReduceCrLf(text);
  const CHARRANGE selection = Selection(text_);
  snapshot.SelStart = selection.cpMin;
  snapshot.SelEnd = selection.cpMax;
  return snapshot;
}

void TTextPane::SelectMatch(int start, int end) {
  SendMessageW(text_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  ColourVisibleLines();
  SetFocus(text_);
}

void TTextPane::Copy() { SendMessageW(text_, WM_COPY, 0, 0); }

// Messages after which the lines on screen may have changed.
bool TTextPane::ShowsOtherLines(UINT message, WPARAM wParam) const {
  switch (message) {
    case WM_VSCROLL: case WM_MOUSEWHEEL: case WM_SIZE: case kMsgRecolourText:
      return true;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_UP: case VK_DOWN: return true;
        default: return false;
      }
    case WM_PAINT:
      return coloursStale_;
    default:
      return false;
  }
}

// Keys first, then a colouring pass after anything that may bring other
// lines on screen.
bool TTextPane::SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT* result) {
  auto& self = *static_cast<TTextPane*>(owner);
  if (OfferToHost(self.events_, message, wParam)) return true;
  if (!self.ShowsOtherLines(message, wParam)) return false;
  *result = self.subclass_.CallPrevious(window, message, wParam, lParam);
  self.ColourVisibleLines();
  return true;
}

}  // namespace corvane
