// Theme colours on the controls. The tree, the grid and the text pane take
// their colours through their own messages; the tab control and the status
// bar have none, so their subclasses paint them here (WM_PRINTCLIENT too, so
// a caller can render them into its own device context).
#include "uThemePaint.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>

#include "uFilterRow.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uOutside.h"
#include "uPaintTools.h"
#include "uTextPane.h"
#include "uThemes.h"

namespace corvane {

namespace {

constexpr int kTabCaptionLength = 256;
constexpr int kMaxStatusParts = 7;

// Repaints everything at once; while the viewer is being created the
// controls paint when they are first shown anyway.
void RedrawAll(TJsonViewer& viewer) {
  const UINT now = viewer.Created() ? RDW_UPDATENOW : 0;
  RedrawWindow(viewer.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | now);
}

bool DarkControlStyle(const TJsonViewer& viewer) {
  return UseDarkControlStyle(IsDark(ThemeModeOf(viewer), viewer.HostDark),
                             THostThemeFlags{viewer.HostDark, viewer.HostNativeDark});
}

void SetControlStyle(HWND control, bool dark) {
  if (control) outside::SetVisualStyle(control, nullptr, dark ? L"DarkMode_Explorer" : nullptr);
}

std::u16string TabCaption(HWND tab, int index) {
  wchar_t buffer[kTabCaptionLength + 1] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = kTabCaptionLength + 1;
  if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
  return reinterpret_cast<const char16_t*>(item.pszText ? item.pszText : buffer);
}

void PaintTabControl(const TJsonViewer& viewer, HWND tab, HDC dc) {
  const TThemeColours& c = viewer.Colours;
  RECT client{};
  GetClientRect(tab, &client);
  FillSolid(dc, client, c.BackColor);
  const int selected = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    FillSolid(dc, r, i == selected ? c.BackColor : c.BackColor2);
    TRect box = FromRect(r);
    box.Left += viewer.ScaleDpi(6);
    box.Right -= viewer.ScaleDpi(6);
    DrawTextIn(dc, TabCaption(tab, i), box, viewer.TabFont.Get(), c.TextColor,
               DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  }
}

// Part texts come from the viewer, never from a fixed buffer: part 6 may
// hold a parser message or a long translation.
void PaintStatusBar(const TJsonViewer& viewer, HWND bar, HDC dc) {
  RECT client{};
  GetClientRect(bar, &client);
  FillSolid(dc, client, viewer.Colours.BackColor);
  const int parts = std::min(static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0)), kMaxStatusParts);
  for (int i = 0; i < parts && i < static_cast<int>(viewer.StatusTexts.size()); ++i) {
    RECT r{};
    if (!SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    TRect box = FromRect(r);
    box.Left += viewer.ScaleDpi(4);
    DrawTextIn(dc, viewer.StatusTexts[static_cast<size_t>(i)], box, viewer.MainFont.Get(),
               viewer.Colours.TextColor, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
  }
}

using TPainter = void (*)(const TJsonViewer&, HWND, HDC);

// WM_ERASEBKGND, WM_PAINT and WM_PRINTCLIENT of a control painted here.
bool PaintMessage(const TJsonViewer& viewer, HWND control, UINT message, WPARAM wParam, LRESULT* result,
                  TPainter paint) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(control, &client);
      FillSolid(reinterpret_cast<HDC>(wParam), client, viewer.Colours.BackColor);
      *result = 1;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(viewer, control, reinterpret_cast<HDC>(wParam));
      *result = 0;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      if (HDC dc = BeginPaint(control, &ps)) {
        paint(viewer, control, dc);
        EndPaint(control, &ps);
      }
      *result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::u16string ThemeModeOf(const TJsonViewer& viewer) { return ResolveThemeMode(viewer.Settings); }

void ApplyTheme(TJsonViewer& viewer) {
  viewer.ColoursStale = true;
  viewer.LineColours.ColoursChanged();
  const bool dark = IsDark(ThemeModeOf(viewer), viewer.HostDark);
  viewer.Colours = LoadThemeColours(viewer.Settings, dark, GetSysColor(COLOR_BTNFACE));
  const TThemeColours& c = viewer.Colours;
  // The new brush replaces the old only once it exists.
  win::TBrush brush(CreateSolidBrush(c.FilterBackColor));
  viewer.FilterBrush = std::move(brush);
  SendMessageW(viewer.Tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(c.BackColor));
  SendMessageW(viewer.Tree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(c.TextColor));
  SendMessageW(viewer.Grid, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(c.BackColor));
  SendMessageW(viewer.Grid, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(c.BackColor));
  SendMessageW(viewer.Grid, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(c.TextColor));
  if (viewer.Text) {
    SendMessageW(viewer.Text, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(c.BackColor));
    if (viewer.Core.CurrentNode) ColourVisibleLines(viewer);
  }
  ApplyControlThemes(viewer);
  PositionFilterEdits(viewer);
  RedrawAll(viewer);
}

void ApplyControlThemes(TJsonViewer& viewer) {
  const bool dark = DarkControlStyle(viewer);
  for (HWND control : {viewer.Tree, viewer.Tab, viewer.Grid, GridHeader(viewer), viewer.Text, viewer.Status,
                       viewer.EditBox})
    SetControlStyle(control, dark);
  for (HWND edit : viewer.FilterEdits) SetControlStyle(edit, dark);
  SwitchOffHeaderStyle(viewer);
}

void ApplyControlTheme(TJsonViewer& viewer, HWND control) {
  // A new control has the default style already.
  if (DarkControlStyle(viewer)) SetControlStyle(control, true);
}

void SwitchOffHeaderStyle(TJsonViewer& viewer) {
  // A blank theme name leaves the header without a visual style, so that
  // every part of it is painted by the header's custom draw.
  if (HWND header = GridHeader(viewer)) outside::SetVisualStyle(header, L" ", L" ");
}

void SetTheme(TJsonViewer& viewer, const std::u16string& mode) {
  StoreThemeMode(viewer.Settings, mode);
  ApplyTheme(viewer);
}

void HostFlagsChanged(TJsonViewer& viewer, int flags) {
  const THostThemeFlags before{viewer.HostDark, viewer.HostNativeDark};
  const THostThemeFlags after = HostThemeFlagsFrom(flags);
  viewer.HostDark = after.Dark;
  viewer.HostNativeDark = after.NativeDark;
  if (HostFlagsNeedThemeApply(ThemeModeOf(viewer), before, after)) ApplyTheme(viewer);
}

bool TabPaintMessage(TJsonViewer& viewer, HWND tab, UINT message, WPARAM wParam, LRESULT* result) {
  return PaintMessage(viewer, tab, message, wParam, result, PaintTabControl);
}

bool StatusPaintMessage(TJsonViewer& viewer, HWND bar, UINT message, WPARAM wParam, LRESULT* result) {
  return PaintMessage(viewer, bar, message, wParam, result, PaintStatusBar);
}

}  // namespace corvane
