#include "uStatusBar.h"

#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uStatusTexts.h"
#include "uViewerCommands.h"
#include "uViewerLifetime.h"

namespace corvane {

namespace {

// Text width of a template in the main font on the status bar.
int MeasureOnBar(HWND bar, HFONT font, std::u16string_view text) {
  HDC dc = GetDC(bar);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(bar, dc);
  return size.cx;
}

// Checks exactly the flat menu's item of the current level.
void CheckFlatItem(HMENU menu, int flatLevel) {
  for (const TMenuEntry& entry : FlatLevelMenuEntries(flatLevel))
    CheckMenuItem(menu, static_cast<UINT>(entry.Id), MF_BYCOMMAND | (entry.Checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void SetStatusText(TJsonViewer& viewer, int part, const std::u16string& text) {
  if (part < 0 || part >= static_cast<int>(viewer.StatusTexts.size())) return;
  viewer.StatusTexts[static_cast<size_t>(part)] = text;
  if (viewer.Status)
    SendMessageW(viewer.Status, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(reinterpret_cast<LPCWSTR>(text.c_str())));
}

void UpdateStatusBar(TJsonViewer& viewer) {
  const TViewerCore& core = viewer.Core;
  const TJsonData* node = core.CurrentNode;
  if (!node) return;
  SetStatusText(viewer, 0, StatusEncodingText(viewer.Document.EncodingName));
  SetStatusText(viewer, 1, StatusDepthText(node));
  SetStatusText(viewer, 2, StatusKindText(node));
  SetStatusText(viewer, kStatusPartFlat, StatusFlatText(core.FlatLevel, core.Table));
  SetStatusText(viewer, 4, StatusRowsText(core.VisibleRowCount(), core.Table.RowCount()));
  SetStatusText(viewer, kStatusPartCursor, StatusCursorText(core.CurrentRow, core.CurrentColumn));
  LayoutStatusParts(viewer);
  UpdateEditStatus(viewer);
}

void LayoutStatusParts(TJsonViewer& viewer) {
  const HWND bar = viewer.Status;
  if (!bar) return;
  const HFONT font = viewer.MainFont.Get();
  std::vector<int> edges = StatusPartRightEdges(
      viewer.Scaling, [&](std::u16string_view text) { return MeasureOnBar(bar, font, text); });
  SendMessageW(bar, SB_SETMINHEIGHT, StatusBarMinHeight(viewer.Scaling, viewer.LineHeight), 0);
  SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  SendMessageW(bar, WM_SIZE, 0, 0);
}

void UpdateEditStatus(TJsonViewer& viewer, const std::u16string* text) {
  SetStatusText(viewer, kStatusPartEdit, text ? *text : StatusEditText(viewer.EditMode, viewer.Modified));
}

void ShowFlatLevelMenu(TJsonViewer& viewer) {
  const HMENU menu = viewer.FlatMenu.Get();
  if (!menu) return;
  CheckFlatItem(menu, viewer.Core.FlatLevel);
  RECT part{};
  if (!SendMessageW(viewer.Status, SB_GETRECT, kStatusPartFlat, reinterpret_cast<LPARAM>(&part))) return;
  POINT corner{part.left, part.top};
  ClientToScreen(viewer.Status, &corner);
  int chosen = 0;
  const bool open = RunModal(viewer, true, [&] {
    chosen = static_cast<int>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                             corner.x, corner.y, 0, viewer.Window(), nullptr));
  });
  if (!open) return;  // closed from inside the popup
  int level = 0;
  if (chosen != 0 && FlatLevelOfCommand(chosen, &level)) {
    SetFlatLevel(viewer, level);
  }
}

bool StatusNotify(TJsonViewer& viewer, NMHDR* header, LRESULT*) {
  if (header->code == NM_CLICK) {
    if (reinterpret_cast<NMMOUSE*>(header)->dwItemSpec == kStatusPartFlat) ShowFlatLevelMenu(viewer);
    return true;
  }
  return false;
}

}  // namespace corvane
