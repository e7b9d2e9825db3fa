// The console side of the corvane command that is the same everywhere.
#include "uConsole.h"

#include <utility>

#include "uCommands.h"
#include "uParserBinding.h"
#include "uUnicode.h"

namespace corvane::cli {

std::vector<std::u16string> ArgumentsFromUtf8(int argc, const char* const* argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToUtf16(argv[i]));
  return args;
}

std::vector<std::u16string> ArgumentsFromUtf16(int argc, const char16_t* const* argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

int RunOnConsole(const std::vector<std::u16string>& args, std::function<void(const std::u16string&)> beforeSave) {
  // Installed, the program lies in the "cli" folder below the parser libraries.
  AllowParserLibraryInParentFolder();
  TCommandIo io{WriteStandardOutput, WriteStandardError, std::move(beforeSave)};
  return RunCommandLine(args, io);
}

}  // namespace corvane::cli
