// The viewer's side effects outside its own process: beeps, keys handed to
// the host's lister window and links opened by the shell. They go through
// this one seam so that the test flavour of the plug-in can record them
// instead (a test cannot hear a beep, and a key or a browser started under
// test would act on the test machine). The shipped plug-in links the real
// implementation (shipped/uOutside_win.cpp), the test flavour a recorder.
#pragma once

#include <string>

namespace corvane::outside {

// MessageBeep with the given type (MB_ICONEXCLAMATION, MB_ICONHAND, 0).
void Beep(unsigned type);

// A key press (down and up) in the system's input stream, as if typed; the
// caller has given the focus to the window that is to receive it.
void PressKey(int virtualKey);

// Opens target with the shell's "open" verb; false when the shell refused.
bool OpenWithShell(const std::u16string& target);

// SetWindowTheme from "uxtheme.dll", looked up for the call (the library is
// optional): a null classList restores the control's default visual style.
// Its effect cannot be read back from a control, so the test flavour records
// the request instead.
void SetVisualStyle(void* window, const wchar_t* appName, const wchar_t* classList);

}  // namespace corvane::outside
