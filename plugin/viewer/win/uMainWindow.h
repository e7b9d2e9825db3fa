// The viewer's main window: its class and its window procedure, which hands
// every message of a live viewer to the viewer (TJsonViewer::HandleMessage,
// uJsonViewerMessages.cpp), the one place that routes it to the pane that
// owns it, and retires a viewer whose window the host destroyed.
#pragma once

#include <windows.h>

namespace corvane {

// Private message: refresh the text pane after pending messages.
constexpr UINT kMsgRefreshTextPane = WM_USER + 2;

// Registers the viewer's window class once per loaded module; false when
// that fails.
bool RegisterViewerClass();
// Called when the module is unloaded, after every viewer is gone: a class
// left registered would point at code that no longer exists.
void UnregisterViewerClass();
const wchar_t* ViewerClassName();

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corvane
