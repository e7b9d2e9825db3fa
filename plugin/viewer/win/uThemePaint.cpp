#include "uThemePaint.h"

#include <windows.h>
#include <richedit.h>

#include "uJsonViewer.h"
#include "uThemes.h"

namespace corvane {

namespace {

// Repaints everything at once; while the viewer is being created the
// controls paint when they are first shown anyway.
void RedrawAll(TJsonViewer& viewer) {
  const UINT now = viewer.Created() ? RDW_UPDATENOW : 0;
  RedrawWindow(viewer.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | now);
}

}  // namespace

std::u16string ThemeModeOf(const TJsonViewer& viewer) { return ResolveThemeMode(viewer.Settings); }

void ApplyTheme(TJsonViewer& viewer) {
  viewer.ColoursStale = true;
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
  SendMessageW(viewer.Text, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(c.BackColor));
  RedrawAll(viewer);
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

LRESULT TabCustomDraw(TJsonViewer&, NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }
LRESULT StatusCustomDraw(TJsonViewer&, NMCUSTOMDRAW*) { return CDRF_DODEFAULT; }

}  // namespace corvane
