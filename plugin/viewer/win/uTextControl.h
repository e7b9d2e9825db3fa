// The text pane's control: Scintilla, linked into the plug-in, its window
// classes registered for the plug-in's own module.
//
// Scintilla registers its classes as global ones under fixed names
// ("Scintilla", and "CallTip" and "ListBoxX" when its first window is
// made). A second copy of the plug-in (the other width's build does not
// count, it lives in another process, but another version or the test
// flavour does) or any other module embedding Scintilla would then clash
// with this one: the second registration fails, or finds the other module's
// procedure, which goes away when that module is unloaded. The build routes
// Scintilla's registration calls here instead (see cmake/Dependencies.cmake),
// and every class is registered local to the plug-in's module, the editor
// class under a name of the plug-in's own, so each loaded copy has classes
// of its own whatever else the process holds.
#pragma once

#include <windows.h>

namespace corvane {

// Registers the control's classes on first use; false when that failed.
bool EnsureTextControlClass();
const wchar_t* TextControlClassName();
// The module is being unloaded: the classes go (no window of them may be
// left).
void ReleaseTextControlClass();

}  // namespace corvane
