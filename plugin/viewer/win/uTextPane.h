// The text pane: the document text in a rich-edit control on the Text tab,
// created when it is first needed (the rich-edit library too), coloured one
// screenful at a time.
#pragma once

#include <windows.h>

#include <string>

#include "uHostSearch.h"

namespace corvane {

class TJsonViewer;

// Private message to the text pane: colour the lines on screen.
constexpr UINT kMsgRecolourText = WM_USER + 49;

// Creates the control (child of the tab control, id 104) unless it exists;
// false when the rich-edit library or the control is not available.
bool EnsureTextPane(TJsonViewer& viewer);
// Replaces the control's text with the document text.
void LoadText(TJsonViewer& viewer);
// On the Text tab: loads the text when it is stale, else repaints it.
void RefreshTextPane(TJsonViewer& viewer);
// Colours the lines on screen (at most 1,001), unless a pass is running or
// the pane is hidden.
void ColourVisibleLines(TJsonViewer& viewer);
// Tab switches: the current cell's text is selected in the text, and text
// selected in the text pane is found in the grid.
void ShowCellInText(TJsonViewer& viewer);
void FindSelectionInGrid(TJsonViewer& viewer);

// The pane as the host's search sees it: the control's text with CR LF
// reduced to CR, and its selection.
struct TTextPaneSnapshot {
  std::u16string Text;
  int SelStart = 0, SelEnd = 0;
};
TTextPaneSnapshot TextPaneSnapshot(const TJsonViewer& viewer);
// Selects a found match and gives the pane the focus.
void SelectTextMatch(TJsonViewer& viewer, int start, int end);

// Subclass handler of the text pane: keys first, then a colouring pass
// after anything that may bring other lines on screen.
bool TextPaneSubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT* result);

}  // namespace corvane
