// The corvane command: reads and changes single values in YAML and TOML files
// from scripts. Everything but taking the arguments lives in uCommands.
#include "uConsole.h"

#ifdef _WIN32
// The wide entry point: file names and values reach the program as typed,
// whatever the system's code page.
int wmain(int argc, wchar_t** argv) {
  return corvane::cli::RunOnConsole(
      corvane::cli::ArgumentsFromUtf16(argc, reinterpret_cast<const char16_t* const*>(argv)));
}
#else
int main(int argc, char** argv) { return corvane::cli::RunOnConsole(corvane::cli::ArgumentsFromUtf8(argc, argv)); }
#endif
