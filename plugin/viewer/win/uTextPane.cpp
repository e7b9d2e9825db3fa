#include "uTextPane.h"

#include <windows.h>
#include <richedit.h>

#include "uJsonViewer.h"
#include "uSubclasses.h"

namespace corvane {

void LoadText(TJsonViewer& viewer) {
  if (!viewer.Core.CurrentNode || !viewer.Text) return;
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR | CFM_BOLD;
  format.crTextColor = viewer.Colours.SyntaxText;
  SendMessageW(viewer.Text, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  SetWindowTextW(viewer.Text, reinterpret_cast<LPCWSTR>(viewer.SourceText().c_str()));
  viewer.TextStale = false;
  viewer.ColoursStale = true;
}

void RefreshTextPane(TJsonViewer& viewer) {
  if (viewer.ActiveTab != 1) return;
  if (viewer.TextStale)
    LoadText(viewer);
  else
    InvalidateRect(viewer.Text, nullptr, FALSE);
}

void ColourVisibleLines(TJsonViewer&) {
  // The text is shown in the base text colour; syntax colours come later.
}

void ShowCellInText(TJsonViewer& viewer) {
  if (viewer.TextStale) LoadText(viewer);
}

void FindSelectionInGrid(TJsonViewer&) {
  // The grid keeps its current cell when the Text tab is left.
}

TTextPaneSnapshot TextPaneSnapshot(const TJsonViewer& viewer) {
  TTextPaneSnapshot snapshot;
  const int length = GetWindowTextLengthW(viewer.Text);
  std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
  text.resize(static_cast<size_t>(
      std::max(GetWindowTextW(viewer.Text, reinterpret_cast<LPWSTR>(&text[0]), length + 1), 0)));
  snapshot.Text = ReduceCrLf(text);
  CHARRANGE selection{};
  SendMessageW(viewer.Text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  snapshot.SelStart = selection.cpMin;
  snapshot.SelEnd = selection.cpMax;
  return snapshot;
}

void SelectTextMatch(TJsonViewer& viewer, int start, int end) {
  SendMessageW(viewer.Text, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  ColourVisibleLines(viewer);
  SetFocus(viewer.Text);
}

bool TextPaneSubclassHandler(void* owner, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) {
  return OfferToViewer(*static_cast<TJsonViewer*>(owner), message, wParam, lParam);
}

}  // namespace corvane
