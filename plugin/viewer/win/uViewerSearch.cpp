#include "uViewerSearch.h"

#include <windows.h>
#include <commctrl.h>

#include "uCommands.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uOutside.h"
#include "uTextPane.h"

namespace corvane {

void SearchText(TJsonViewer& viewer, const std::u16string& text, int flags) {
  if (text.empty()) return;
  const int tab = viewer.ActiveTab;
  TTextPaneSnapshot pane;
  if (tab == kTabText) pane = TextPaneSnapshot(viewer);
  const TSearchOutcome outcome =
      viewer.Core.SearchText(text, flags, tab, TTextPaneView{pane.Text, pane.SelStart, pane.SelEnd});
  switch (outcome.Result) {
    case TSearchResult::Nothing:
      return;
    case TSearchResult::NotFound:
      outside::Beep(0);
      return;
    case TSearchResult::Found:
      break;
  }
  if (tab == kTabText) {
    SelectTextMatch(viewer, outcome.SelStart, outcome.SelEnd);
    return;
  }
  SelectOnlyRow(viewer, outcome.Row);
  SendMessageW(viewer.Grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(outcome.Row), FALSE);
  SetCurrentCell(viewer, outcome.Row, outcome.Column, true);
  SetFocus(viewer.Grid);
}

}  // namespace corvane
