// The viewer's main window: its class and its window procedure, which routes
// every message, notification and command to the pane that owns it.
//
//   WM_SIZE                         LayoutControls (uLayout)
//   WM_SETFOCUS                     FocusContent (uLayout)
//   WM_PAINT, WM_ERASEBKGND,
//   WM_SETCURSOR, mouse messages    the splitter (uLayout)
//   WM_MOUSEWHEEL with Ctrl         ZoomFont (uLayout)
//   WM_DPICHANGED                   ChangeDpi (uLayout)
//   WM_KEYDOWN                      HandleViewerKey (uCommands)
//   WM_CONTEXTMENU                  ShowContextMenu (uContextMenu)
//   WM_COMMAND                      filter edits (uFilterRow), else RunCommand (uCommands)
//   WM_TIMER 1                      FilterTimerFired (uFilterRow)
//   WM_USER + 2                     RefreshTextPane (uTextPane)
//   WM_NOTIFY from the tree         TreeNotify (uTreePane)
//   WM_NOTIFY from the grid         GridNotify (uGridPane)
//   WM_NOTIFY from the tab control  SwitchTab (uLayout)
//   WM_NOTIFY from the status bar   StatusNotify (uStatusBar)
//   WM_CTLCOLOREDIT                 FilterEditColours (uFilterRow)
// The tab control and the status bar are painted by their subclasses
// (uSubclasses, uThemePaint); the grid's header by the grid's subclass.
#pragma once

#include <windows.h>

namespace corvane {

// Private message: refresh the text pane after pending messages.
constexpr UINT kMsgRefreshTextPane = WM_USER + 2;
// Timer of the filter row's typing delay.
constexpr UINT_PTR kFilterTimerId = 1;

// The module the plug-in's code lives in (its windows belong to it).
HINSTANCE PluginInstance();

// Registers the viewer's window class once per loaded module; false when
// that fails.
bool RegisterViewerClass();
// Called when the module is unloaded, after every viewer is gone: a class
// left registered would point at code that no longer exists.
void UnregisterViewerClass();
const wchar_t* ViewerClassName();

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corvane
