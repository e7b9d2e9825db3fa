#include "uClipboardCommands.h"

#include <windows.h>

#include <cstring>

#include "uClipboard.h"
#include "uCommands.h"
#include "uGridPane.h"
#include "uI18n.h"
#include "uJsonViewer.h"
#include "uOutside.h"
#include "uStatusBar.h"
#include "uTreePane.h"

namespace corvane {

namespace {

// The grid as the copy texts read it: the table, the visible rows and the
// header's order and widths.
TGridCopySource CopySource(const TJsonViewer& viewer) {
  TGridCopySource source;
  source.Table = &viewer.Core.Table;
  source.VisibleRows = &viewer.Core.VisibleRows;
  source.ColumnOrder = GridColumnOrder(viewer);
  source.ColumnWidths = GridColumnWidths(viewer);
  return source;
}

// Puts text on the clipboard as CF_UNICODETEXT, owned by the viewer's window
// (a clipboard opened without an owner refuses the data after emptying).
void PutClipboardText(const TJsonViewer& viewer, const std::u16string& text) {
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(viewer.Window())) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

}  // namespace

void CopyCell(TJsonViewer& viewer) {
  if (viewer.Text && GetFocus() == viewer.Text) {
    SendMessageW(viewer.Text, WM_COPY, 0, 0);
    return;
  }
  PutClipboardText(viewer, CopyCellText(CopySource(viewer), SelectedGridRows(viewer), viewer.Core.CurrentColumn));
}

void CopyRows(TJsonViewer& viewer) {
  PutClipboardText(viewer, CopyRowsText(CopySource(viewer), SelectedGridRows(viewer), ColumnDelimiter(viewer.Settings)));
}

void CopyColumn(TJsonViewer& viewer) {
  PutClipboardText(viewer, CopyColumnText(CopySource(viewer), viewer.Core.CurrentColumn));
}

void CopyAsJson(TJsonViewer& viewer) {
  std::u16string text;
  const bool compact = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (CopyAsJsonText(CopySource(viewer), SelectedGridRows(viewer), viewer.Core.CurrentColumn, compact,
                     MissingAttributeText(viewer.Settings), &text))
    PutClipboardText(viewer, text);
}

void CopyPath(TJsonViewer& viewer) {
  std::u16string text;
  if (CopyPathText(CopySource(viewer), SelectedGridRows(viewer), viewer.Core.FlatLevel, SelectedTreeNode(viewer),
                   &text))
    PutClipboardText(viewer, text);
}

void OpenLinkInCell(TJsonViewer& viewer) {
  const std::vector<int> selected = SelectedGridRows(viewer);
  if (selected.empty()) return;
  const TLinkToOpen link = LinkToOpen(CopySource(viewer).DisplayText(selected[0], viewer.Core.CurrentColumn));
  switch (link.Kind) {
    case TLinkKind::None:
      return;
    case TLinkKind::Web:
      outside::OpenWithShell(link.Target);
      return;
    case TLinkKind::Refused: {
      RefusalBeep();
      const std::u16string text = tr(i18n::kStatusLinkRefused);
      UpdateEditStatus(viewer, &text);
      return;
    }
  }
}

}  // namespace corvane
