// Theme colours on the controls, the theme commands and the host's flags.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace corvane {

class TJsonViewer;

// Loads the colours for the current theme and gives them to the controls.
void ApplyTheme(TJsonViewer& viewer);
// Commands 5005, 5017, 5018: stores the mode and applies it.
void SetTheme(TJsonViewer& viewer, const std::u16string& mode);
// ListSendCommand 2 / the show flags: the host's dark flags.
void HostFlagsChanged(TJsonViewer& viewer, int flags);
// The resolved theme mode ("tc", "light", "dark").
std::u16string ThemeModeOf(const TJsonViewer& viewer);

// NM_CUSTOMDRAW of the tab control and the status bar.
LRESULT TabCustomDraw(TJsonViewer& viewer, NMCUSTOMDRAW* draw);
LRESULT StatusCustomDraw(TJsonViewer& viewer, NMCUSTOMDRAW* draw);

}  // namespace corvane
