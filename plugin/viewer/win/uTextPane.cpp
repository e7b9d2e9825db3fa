// The text pane: the document text in a rich-edit control, coloured one
// screenful at a time.
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

#include "uCommands.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uMainWindow.h"
#include "uSubclasses.h"
#include "uTextColouring.h"
#include "uTextSearch.h"
#include "uThemePaint.h"
#include "uThemes.h"
#include "uViewerCommands.h"

namespace corvane {

namespace {

// Lines coloured by one pass beyond the first visible one.
constexpr int kMaxColouredLines = 1000;

// The rich-edit library stays loaded once loaded: its window class must
// outlive every text pane of every viewer.
bool LoadRichEdit() {
  static const bool loaded = LoadLibraryW(L"msftedit.dll") != nullptr;
  return loaded;
}

HWND CreateTextControl(TJsonViewer& viewer) {
  // Child, scroll bars, tab stop, multi-line, auto-scroll both ways, read-only;
  // shown by the tab switch.
  constexpr DWORD kStyle = 0x403108C4 & ~WS_VISIBLE;
  return CreateWindowExW(0, L"RICHEDIT50W", L"", kStyle, 0, 0, 100, 100, viewer.Tab,
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

// Colours the lines of characters start..end (the first being line
// firstLine) that do not show the current colours yet, keeping the user's
// selection and scroll position and drawing once at the end.
void ColourText(TJsonViewer& viewer, LONG start, LONG end, size_t firstLine) {
  const HWND text = viewer.Text;
  const bool bold = viewer.Settings.ReadFlag(setting::kFontUseBold);
  if (bold != viewer.ColouredBold) {
    viewer.LineColours.ColoursChanged();
    viewer.ColouredBold = bold;
  }
  const std::vector<TColourSpan> spans =
      PendingColourSpans(TextRange(text, start, end), firstLine, viewer.Language, bold, &viewer.LineColours);
  if (spans.empty()) return;
  const CHARRANGE selection = Selection(text);
  POINT scroll{};
  SendMessageW(text, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(text, WM_SETREDRAW, FALSE, 0);
  for (const TColourSpan& span : spans)
    ColourRange(text, start + span.Start, span.Length, SyntaxRoleColour(viewer.Colours, span.Role), span.Bold);
  SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  SendMessageW(text, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(text, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(text, nullptr, FALSE);
}

// Messages after which the lines on screen may have changed.
bool ShowsOtherLines(const TJsonViewer& viewer, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_VSCROLL: case WM_MOUSEWHEEL: case WM_SIZE: case kMsgRecolourText:
      return true;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_UP: case VK_DOWN: return true;
        default: return false;
      }
    case WM_PAINT:
      return viewer.ColoursStale;
    default:
      return false;
  }
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

bool EnsureTextPane(TJsonViewer& viewer) {
  if (viewer.Text) return true;
  if (!viewer.Tab || !LoadRichEdit()) return false;
  const HWND text = CreateTextControl(viewer);
  if (!text) return false;
  if (!viewer.TextSubclass.Install(text, &viewer, TextPaneSubclassHandler)) {
    DestroyWindow(text);
    return false;
  }
  viewer.Text = text;
  // Read-only: nothing to undo, and format changes must not pile up there.
  SendMessageW(text, EM_SETUNDOLIMIT, 0, 0);
  SendMessageW(text, EM_EXLIMITTEXT, 0, INT_MAX - 1);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(viewer.MainFont.Get()), FALSE);
  SendMessageW(text, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(viewer.Colours.BackColor));
  ApplyControlTheme(viewer, text);
  return true;
}

void LoadText(TJsonViewer& viewer) {
  if (!viewer.Core.CurrentNode || !EnsureTextPane(viewer)) return;
  // The same text is not put in again (a tree selection marks the pane
  // stale, but the document is unchanged): replacing a big text costs
  // seconds, and the reader keeps the place and selection.
  if (viewer.TextShownRevision != viewer.SourceRevision()) {
    SetCharFormat(viewer.Text, SCF_DEFAULT, viewer.Colours.SyntaxText, false);
    const std::u16string& source = viewer.SourceText();
    SetWindowTextW(viewer.Text, reinterpret_cast<LPCWSTR>(source.c_str()));
    viewer.LineColours.TextLoaded(CountTextLines(source));
    viewer.TextShownRevision = viewer.SourceRevision();
  }
  viewer.TextStale = false;
  viewer.ColoursStale = true;
}

void RefreshTextPane(TJsonViewer& viewer) {
  if (viewer.ActiveTab != 1) return;
  if (viewer.TextStale)
    LoadText(viewer);
  else if (viewer.Text)
    InvalidateRect(viewer.Text, nullptr, FALSE);
}

void ColourVisibleLines(TJsonViewer& viewer) {
  if (viewer.ColouringBusy || !viewer.Text || !IsWindowVisible(viewer.Text)) return;
  TBusyFlag busy(viewer.ColouringBusy);
  TVisibleText visible;
  if (!VisibleText(viewer.Text, &visible)) return;
  ColourText(viewer, visible.Start, visible.End, visible.FirstLine);
  viewer.ColoursStale = false;
}

void ShowCellInText(TJsonViewer& viewer) {
  if (viewer.TextStale) LoadText(viewer);
  const std::vector<int> selected = SelectedGridRows(viewer);
  if (!viewer.Text || selected.empty() || selected[0] >= static_cast<int>(viewer.Core.VisibleNodes.size())) return;
  const TViewerCore& core = viewer.Core;
  const std::u16string cell =
      ShowCellSearchText(core.Table, core.VisibleRows, selected[0], core.CurrentColumn, core.FlatLevel);
  const int64_t found = FindCellInText(LinkText(viewer.Text), cell);
  if (found < 0) return;
  SendMessageW(viewer.Text, EM_SETSEL, static_cast<WPARAM>(found), static_cast<LPARAM>(found + cell.size()));
  SendMessageW(viewer.Text, kMsgRecolourText, 0, 0);
}

void FindSelectionInGrid(TJsonViewer& viewer) {
  if (!viewer.Text) return;
  const CHARRANGE selection = Selection(viewer.Text);
  if (selection.cpMin == selection.cpMax) return;
  const std::u16string selected = SelectedPaneText(LinkText(viewer.Text), selection.cpMin, selection.cpMax);
  const TGridCellPos cell = FindSelectionInGrid(viewer.Core.Table, viewer.Core.VisibleRows, selected);
  if (!cell.Found()) return;
  SelectOnlyRow(viewer, cell.Row);
  SendMessageW(viewer.Grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(cell.Row), FALSE);
  SetCurrentCell(viewer, cell.Row, cell.Column, true);
}

TTextPaneSnapshot TextPaneSnapshot(const TJsonViewer& viewer) {
  TTextPaneSnapshot snapshot;
  if (!viewer.Text) return snapshot;
  const int length = GetWindowTextLengthW(viewer.Text);
  std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
  text.resize(static_cast<size_t>(
      std::max(GetWindowTextW(viewer.Text, reinterpret_cast<LPWSTR>(&text[0]), length + 1), 0)));
  snapshot.Text = ReduceCrLf(text);
  const CHARRANGE selection = Selection(viewer.Text);
  snapshot.SelStart = selection.cpMin;
  snapshot.SelEnd = selection.cpMax;
  return snapshot;
}

void SelectTextMatch(TJsonViewer& viewer, int start, int end) {
  SendMessageW(viewer.Text, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  ColourVisibleLines(viewer);
  SetFocus(viewer.Text);
}

bool TextPaneSubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT* result) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (OfferToViewer(viewer, message, wParam, lParam)) return true;
  if (!ShowsOtherLines(viewer, message, wParam)) return false;
  *result = viewer.TextSubclass.CallPrevious(window, message, wParam, lParam);
  ColourVisibleLines(viewer);
  return true;
}

}  // namespace corvane
