// Win32 console output: UTF-16 to a console window, the UTF-8 bytes to a
// pipe or file (a script reading the output gets the same bytes as on
// other systems).
#include "uConsole.h"

#include <windows.h>

#include "uUnicode.h"

namespace corvane::cli {

namespace {

void WriteTo(DWORD which, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::u16string wide = Utf8ToUtf16(text);
    WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
    return;
  }
  while (!text.empty()) {
    const DWORD chunk = DWORD(text.size() < (1u << 30) ? text.size() : (1u << 30));
    if (!WriteFile(handle, text.data(), chunk, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

}  // namespace

void WriteStandardOutput(std::string_view text) { WriteTo(STD_OUTPUT_HANDLE, text); }
void WriteStandardError(std::string_view text) { WriteTo(STD_ERROR_HANDLE, text); }

}  // namespace corvane::cli
