// Layout of the viewer's controls, the splitter between the tree and the
// tabs, fonts, DPI changes, font zoom, the focus cycle and tab switching.
#pragma once

#include <windows.h>

#include "uViewerKeys.h"

namespace corvane {

class TJsonViewer;

// DPI of a window: the per-window DPI function when the system has it, else
// the device context's logical pixels, else 96.
int WindowDpi(HWND window);

// Top of the tab control's display area (its client adjusted for the tabs).
int TabDisplayTop(const TJsonViewer& viewer);
// Positions every control for the main window's client size.
void LayoutControls(TJsonViewer& viewer);
// (Re)creates the three fonts and gives them to the controls.
void CreateFonts(TJsonViewer& viewer);
// WM_DPICHANGED.
void ChangeDpi(TJsonViewer& viewer, int newDpi);
// Ctrl+wheel: one step larger (delta > 0) or smaller, within 10..48.
void ZoomFont(TJsonViewer& viewer, int delta);

// Where the focus is, for the keyboard map.
TFocusPane FocusPaneOf(const TJsonViewer& viewer, HWND focus);
void FocusCycle(TJsonViewer& viewer);
// Focuses the control of the selected tab (loading the text pane first).
void FocusContent(TJsonViewer& viewer);

// TCN_SELCHANGE: the tab control shows another tab.
void SwitchTab(TJsonViewer& viewer);
// Shows the grid on tab 0 and the text pane on tab 1.
void ShowTabContent(TJsonViewer& viewer);

// The splitter strip's messages; each returns true when it handled one.
bool SplitterSetCursor(TJsonViewer& viewer);
bool SplitterButtonDown(TJsonViewer& viewer, int x);
void SplitterMouseMove(TJsonViewer& viewer, int x);
void SplitterButtonUp(TJsonViewer& viewer);
void SplitterCaptureLost(TJsonViewer& viewer);
// WM_ERASEBKGND / WM_PAINT of the main window: splitter colour and line.
void EraseMainWindow(TJsonViewer& viewer, HDC dc);
void PaintMainWindow(TJsonViewer& viewer);

}  // namespace corvane
