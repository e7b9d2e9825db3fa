// Entry point of the parser library on Windows.
//
// The plug-in loads the library for each parse and frees it afterwards. The
// library carries its own copy of the C++ runtime, whose start-up reserves a
// buffer of about 73 KB for throwing exceptions when memory is short, taken
// from the C runtime heap the whole process shares. Nothing gives it back when
// the library is freed, so every file opened would leave one behind in the
// host; the library returns it itself when it is unloaded.
#include <windows.h>

#include "cvn_parse_memory.h"

namespace __gnu_cxx {
void __freeres() noexcept;  // defined by the GNU C++ runtime, not declared in its headers
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) corvane::parser::ParseMemoryAttach();
  if (reason == DLL_PROCESS_DETACH) corvane::parser::ParseMemoryDetach();
  // At process exit (reserved set) the system reclaims everything anyway.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
  return TRUE;
}
