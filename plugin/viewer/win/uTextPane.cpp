// The text pane on a Scintilla control.
//
// Colouring: the control asks (SCN_STYLENEEDED) for the styles of every
// line from the end of what it holds as styled up to the last line it is
// about to draw. After a jump into a long text that would be everything
// before; the pane colours the lines on screen only and then puts the
// control's styled end back to the first line it has not coloured yet, so
// the control asks again whenever it draws lines the pane skipped.
#include "uTextPane.h"

#include <windowsx.h>
#include <Scintilla.h>

#include <algorithm>

#include "uClipboard.h"
#include "uLayout.h"
#include "uTextControl.h"
#include "uThemes.h"
#include "uUnicode.h"
#include "uViewerCommands.h"

namespace corvane {

namespace {

// Private message to the text pane: colour the lines on screen.
constexpr UINT kMsgRecolourText = WM_USER + 49;

// Scintilla takes colours with an alpha byte for its drawing elements.
constexpr intptr_t Opaque(TColour colour) { return static_cast<intptr_t>(colour | 0xFF000000u); }

HWND CreateTextControl(HWND parent) {
  // Shown by the tab switch; the control shows its scroll bars as needed.
  constexpr DWORD kStyle = WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL;
  return CreateWindowExW(0, TextControlClassName(), L"", kStyle, 0, 0, 100, 100, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::kText)), PluginInstance(), nullptr);
}

// The em height in pixels of a font, as Scintilla sizes its fonts.
int EmHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const bool measured = GetTextMetricsW(dc, &metrics) != 0;
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return measured ? metrics.tmHeight - metrics.tmInternalLeading : 0;
}

// The length of text without a UTF-8 character cut off at its end.
size_t WholeCharacters(std::string_view text) {
  size_t lead = text.size();
  while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead == 0) return text.size();
  const auto first = static_cast<unsigned char>(text[lead - 1]);
  const size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
  return text.size() - (lead - 1) < needed ? lead - 1 : text.size();
}

}  // namespace

intptr_t TTextPane::Call(UINT message, uintptr_t wParam, intptr_t lParam) const {
  return text_ ? SendMessageW(text_, message, wParam, lParam) : 0;
}

bool TTextPane::Ensure(HWND parent, bool darkStyle) {
  if (text_) return true;
  if (!parent || !EnsureTextControlClass()) return false;
  const HWND text = CreateTextControl(parent);
  if (!text) return false;
  if (!subclass_.Install(text, this, SubclassHandler)) {
    DestroyWindow(text);
    return false;
  }
  text_ = text;
  Configure();
  ApplyColours();
  // A new control has the default style already.
  if (darkStyle) SetControlStyle(text, true);
  return true;
}

// A read-only viewer of UTF-8 bytes: no undo history (it would copy the
// whole text), no notifications the pane does not use, no menu of its own
// (the viewer's context menu opens instead), no zoom of its own.
void TTextPane::Configure() {
  Call(SCI_SETCODEPAGE, SC_CP_UTF8);
  Call(SCI_SETUNDOCOLLECTION, 0);
  Call(SCI_SETREADONLY, 1);
  Call(SCI_SETMODEVENTMASK, SC_MOD_NONE);
  Call(SCI_SETCOMMANDEVENTS, 0);
  Call(SCI_USEPOPUP, SC_POPUP_NEVER);
  Call(SCI_SETMARGINWIDTHN, 1, 0);
  Call(SCI_SETSCROLLWIDTH, 1);
  Call(SCI_SETSCROLLWIDTHTRACKING, 1);
  for (const int key : {SCK_ADD, SCK_SUBTRACT, SCK_DIVIDE}) Call(SCI_CLEARCMDKEY, key + (SCMOD_CTRL << 16));
}

void TTextPane::Place(const TRect& r) { PlaceControl(text_, r.Left, r.Top, r.Width(), r.Height()); }

void TTextPane::Show(bool shown) {
  if (text_) ShowWindow(text_, shown ? SW_SHOW : SW_HIDE);
}

void TTextPane::Load() {
  const uint64_t revision = events_.DocumentRevision();
  if (shownRevision_ != revision) {
    const int64_t firstLine = Call(SCI_GETFIRSTVISIBLELINE);
    const TByteSpan selection = Selection();
    std::string scratch;
    const std::string_view bytes = events_.DocumentText(&scratch);
    Call(SCI_SETREADONLY, 0);
    Call(SCI_CLEARALL);
    // Room for the whole text and its line starts at once: appending would
    // grow them in steps and leave the last step's slack behind.
    Call(SCI_ALLOCATE, bytes.size() + 1);
    Call(SCI_ALLOCATELINES, std::count(bytes.begin(), bytes.end(), '\n') + 2);
    Call(SCI_APPENDTEXT, bytes.size(), reinterpret_cast<intptr_t>(bytes.data()));
    Call(SCI_SETREADONLY, 1);
    coloured_.Reset(static_cast<size_t>(Call(SCI_GETLINECOUNT)));
    roles_ = std::string();
    shownRevision_ = revision;
    ShowLineNumbers();
    Call(SCI_SETSELECTION, std::min<int64_t>(selection.End, bytes.size()),
         std::min<int64_t>(selection.Start, bytes.size()));
    Call(SCI_SETFIRSTVISIBLELINE, firstLine);
  }
  stale_ = false;
}

void TTextPane::Repaint() {
  if (text_) InvalidateRect(text_, nullptr, FALSE);
}

// ---- colours and fonts ---------------------------------------------------------

void TTextPane::ApplyColours() { ApplyLook(look_.MainFont.Get()); }

void TTextPane::SetFont(HFONT font) { ApplyLook(font); }

void TTextPane::ApplyLook(HFONT font) {
  if (!text_) return;
  const TThemeColours& c = look_.Colours;
  Call(SCI_STYLESETFORE, STYLE_DEFAULT, c.SyntaxText);
  Call(SCI_STYLESETBACK, STYLE_DEFAULT, c.BackColor);
  ApplyFont(font);
  Call(SCI_STYLECLEARALL);
  for (int role = srText; role < kSyntaxRoleCount; ++role)
    Call(SCI_STYLESETFORE, role, SyntaxRoleColour(c, static_cast<TSyntaxRole>(role)));
  Call(SCI_STYLESETBOLD, srKey, settings_.ReadFlag(setting::kFontUseBold) ? 1 : 0);
  Call(SCI_STYLESETFORE, STYLE_LINENUMBER, c.Comment);
  Call(SCI_STYLESETBACK, STYLE_LINENUMBER, c.BackColor2);
  // The selection stays visible without the focus: a value selected by a
  // tab switch is shown while the tab control keeps the focus.
  for (const int element : {SC_ELEMENT_SELECTION_TEXT, SC_ELEMENT_SELECTION_INACTIVE_TEXT})
    Call(SCI_SETELEMENTCOLOUR, element, Opaque(c.SelectionTextColor));
  for (const int element : {SC_ELEMENT_SELECTION_BACK, SC_ELEMENT_SELECTION_INACTIVE_BACK})
    Call(SCI_SETELEMENTCOLOUR, element, Opaque(c.SelectionBackColor));
  Call(SCI_SETELEMENTCOLOUR, SC_ELEMENT_CARET, Opaque(c.SyntaxText));
  ShowLineNumbers();
}

// The viewer's main font on every style: face, weight and size (Scintilla
// takes points; the em height in pixels is converted at the control's DPI).
void TTextPane::ApplyFont(HFONT font) {
  LOGFONTW face{};
  if (!font || !GetObjectW(font, sizeof face, &face)) return;
  const std::string name = Utf16ToUtf8(reinterpret_cast<const char16_t*>(face.lfFaceName));
  Call(SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<intptr_t>(name.c_str()));
  Call(SCI_STYLESETWEIGHT, STYLE_DEFAULT, face.lfWeight > 0 ? face.lfWeight : FW_NORMAL);
  const int em = EmHeight(text_, font);
  const int points = MulDiv(em, 72 * SC_FONT_SIZE_MULTIPLIER, WindowDpi(text_));
  if (em > 0) Call(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, points);
}

// The margin of line numbers ("text-line-numbers"), as wide as the largest
// number needs.
void TTextPane::ShowLineNumbers() {
  int width = 0;
  if (settings_.ReadFlag(setting::kTextLineNumbers)) {
    const size_t digits = std::max<size_t>(std::to_string(Call(SCI_GETLINECOUNT)).size(), 3);
    const std::string widest = "_" + std::string(digits, '9');
    width = static_cast<int>(Call(SCI_TEXTWIDTH, STYLE_LINENUMBER, reinterpret_cast<intptr_t>(widest.c_str())));
  }
  Call(SCI_SETMARGINWIDTHN, 0, width);
}

// ---- colouring -------------------------------------------------------------------

int64_t TTextPane::LineStart(size_t line) const {
  const int64_t start = Call(SCI_POSITIONFROMLINE, line);
  return start < 0 ? Call(SCI_GETLENGTH) : start;
}

// Colours lines [first, end), which carry no colours yet.
void TTextPane::ColourLineRun(size_t first, size_t end) {
  const int64_t start = LineStart(first);
  const int64_t length = LineStart(end) - start;
  if (length <= 0) return;
  const auto* bytes = reinterpret_cast<const char*>(Call(SCI_GETRANGEPOINTER, start, length));
  if (!bytes) return;
  roles_.resize(static_cast<size_t>(length));
  ColourBytes(std::string_view(bytes, static_cast<size_t>(length)), language_, &roles_[0]);
  Call(SCI_STARTSTYLING, start);
  Call(SCI_SETSTYLINGEX, length, reinterpret_cast<intptr_t>(roles_.data()));
}

void TTextPane::StyleNeeded(int64_t position) {
  const size_t lines = coloured_.LineCount();
  const auto lineOf = [&](int64_t at) { return static_cast<size_t>(Call(SCI_LINEFROMPOSITION, at)); };
  const size_t styled = lineOf(Call(SCI_GETENDSTYLED));
  // The bytes before position are needed, the line it starts not yet.
  const size_t needed = lineOf(std::max<int64_t>(position - 1, 0));
  const TLineRange range = LinesToColour(styled, needed, static_cast<size_t>(Call(SCI_GETFIRSTVISIBLELINE)), lines);
  for (size_t line = range.First; line < range.End;) {
    if (coloured_.IsColoured(line)) {
      ++line;
      continue;
    }
    size_t end = line + 1;
    while (end < range.End && !coloured_.IsColoured(end)) ++end;
    ColourLineRun(line, end);
    coloured_.MarkColoured(line, end);
    line = end;
  }
  Call(SCI_STARTSTYLING, LineStart(coloured_.FirstUncoloured(styled)));
}

void TTextPane::ColourVisibleLines() {
  if (!text_ || !IsWindowVisible(text_)) return;
  const bool bold = settings_.ReadFlag(setting::kFontUseBold);
  if ((Call(SCI_STYLEGETBOLD, srKey) != 0) != bold) Call(SCI_STYLESETBOLD, srKey, bold ? 1 : 0);
  const int64_t first = Call(SCI_GETFIRSTVISIBLELINE);
  Call(SCI_COLOURISE, LineStart(first), LineStart(first + Call(SCI_LINESONSCREEN) + 1));
}

bool TTextPane::Notify(NMHDR* header, LRESULT* result) {
  if (header->hwndFrom != text_ || header->code != SCN_STYLENEEDED) return false;
  StyleNeeded(reinterpret_cast<SCNotification*>(header)->position);
  *result = 0;
  return true;
}

// ---- selection, search, links ----------------------------------------------------

void TTextPane::SelectRange(int64_t start, int64_t end) {
  if (!text_ || stale_) return;
  const int64_t length = Call(SCI_GETLENGTH);
  start = std::clamp<int64_t>(start, 0, length);
  end = std::clamp<int64_t>(end, start, length);
  Call(SCI_SETSELECTION, end, start);
  ScrollIntoView(start, end);
}

// The start's line a third down the screen unless it is on screen already;
// the line's start in view when the range (or, over several lines, its first
// line's part) fits the width from there, else the range's start.
void TTextPane::ScrollIntoView(int64_t start, int64_t end) {
  const int64_t line = Call(SCI_LINEFROMPOSITION, start);
  const int64_t first = Call(SCI_GETFIRSTVISIBLELINE);
  const int64_t onScreen = std::max<int64_t>(Call(SCI_LINESONSCREEN), 1);
  if (line < first || line >= first + onScreen)
    Call(SCI_SETFIRSTVISIBLELINE, std::max<int64_t>(line - onScreen / 3, 0));
  const int64_t lineStart = Call(SCI_POSITIONFROMLINE, line);
  const auto x = [&](int64_t at) { return Call(SCI_POINTXFROMPOSITION, 0, at); };
  const int64_t reach = x(Call(SCI_LINEFROMPOSITION, end) == line ? end : start) - x(lineStart);
  const int width = TextWidth();
  Call(SCI_SETXOFFSET, reach <= width ? 0 : std::max<int64_t>(x(start) - x(lineStart) - width / 4, 0));
}

// The width of the text beside the margins, less a little room for the caret.
int TTextPane::TextWidth() const {
  RECT client{};
  GetClientRect(text_, &client);
  int margins = 0;
  for (int m = 0; m < Call(SCI_GETMARGINS); ++m) margins += static_cast<int>(Call(SCI_GETMARGINWIDTHN, m));
  return client.right - margins - look_.ScaleDpi(8);
}

TByteSpan TTextPane::Selection() const {
  if (!text_) return {0, 0};
  return {Call(SCI_GETSELECTIONSTART), Call(SCI_GETSELECTIONEND)};
}

std::string TTextPane::SelectedText(size_t maxBytes) const {
  const TByteSpan selection = Selection();
  const size_t selected = static_cast<size_t>(selection.End - selection.Start);
  const size_t length = std::min(selected, maxBytes);
  const auto* bytes = reinterpret_cast<const char*>(Call(SCI_GETRANGEPOINTER, selection.Start, length));
  if (!bytes || length == 0) return {};
  const std::string_view text(bytes, length);
  return std::string(text.substr(0, length < selected ? WholeCharacters(text) : length));
}

TTextPaneView TTextPane::SearchView() const {
  TTextPaneView view;
  if (!text_) return view;
  const auto* bytes = reinterpret_cast<const char*>(Call(SCI_GETCHARACTERPOINTER));
  if (bytes) view.Text = std::string_view(bytes, static_cast<size_t>(Call(SCI_GETLENGTH)));
  const TByteSpan selection = Selection();
  view.SelStart = selection.Start;
  view.SelEnd = selection.End;
  return view;
}

void TTextPane::SelectMatch(int64_t start, int64_t end) {
  SelectRange(start, end);
  SetFocus(text_);
}

void TTextPane::Copy() { Call(WM_COPY); }

// Alt+click on a run of text naming a scheme opens it as a link; anywhere
// else the click is the control's (a rectangular selection).
bool TTextPane::OpenLinkAt(LPARAM point) {
  const int64_t at = Call(SCI_POSITIONFROMPOINTCLOSE, GET_X_LPARAM(point), GET_Y_LPARAM(point));
  if (at < 0) return false;
  const int64_t line = Call(SCI_LINEFROMPOSITION, at);
  const int64_t start = Call(SCI_POSITIONFROMLINE, line);
  const int64_t length = Call(SCI_GETLINEENDPOSITION, line) - start;
  const auto* bytes = reinterpret_cast<const char*>(Call(SCI_GETRANGEPOINTER, start, length));
  if (!bytes || length <= 0) return false;
  const std::string link =
      LinkTextAt(std::string_view(bytes, static_cast<size_t>(length)), static_cast<size_t>(at - start));
  if (link.empty()) return false;
  events_.TextLinkClicked(Utf8ToUtf16(link));
  return true;
}

// Keys first; the recolour request and Alt+click on a link.
bool TTextPane::SubclassHandler(void* owner, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto& self = *static_cast<TTextPane*>(owner);
  if (OfferToHost(self.events_, message, wParam)) return true;
  if (message == kMsgRecolourText) {
    self.ColourVisibleLines();
    *result = 0;
    return true;
  }
  return message == WM_LBUTTONDOWN && KeyHeld(VK_MENU) && self.OpenLinkAt(lParam);
}

}  // namespace corvane
