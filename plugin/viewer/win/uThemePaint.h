// Theme colours on the controls, the theme commands and the host's flags;
// the painting of the tab control and the status bar in theme colours.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace corvane {

class TJsonViewer;

// Loads the colours for the current theme and gives them to the controls.
void ApplyTheme(TJsonViewer& viewer);
// The dark visual style on every control when the dark set applies and the
// host asked for native dark mode, else the default style; the grid's
// header is then switched to no visual style at all.
void ApplyControlThemes(TJsonViewer& viewer);
// The same for one control created later (text pane, filter edits, editor).
void ApplyControlTheme(TJsonViewer& viewer, HWND control);
void SwitchOffHeaderStyle(TJsonViewer& viewer);
// Commands 5005, 5017, 5018: stores the mode and applies it.
void SetTheme(TJsonViewer& viewer, const std::u16string& mode);
// ListSendCommand 2 / the show flags: the host's dark flags.
void HostFlagsChanged(TJsonViewer& viewer, int flags);
// The resolved theme mode ("tc", "light", "dark").
std::u16string ThemeModeOf(const TJsonViewer& viewer);

// Painting messages (WM_ERASEBKGND, WM_PAINT, WM_PRINTCLIENT) of the tab
// control and the status bar; true when handled (*result is the answer).
bool TabPaintMessage(TJsonViewer& viewer, HWND tab, UINT message, WPARAM wParam, LRESULT* result);
bool StatusPaintMessage(TJsonViewer& viewer, HWND bar, UINT message, WPARAM wParam, LRESULT* result);

}  // namespace corvane
