// The corvane command as the process tests need it once: the same program,
// except that when CORVANE_TEST_CHANGE_BEFORE_SAVE is set, its text is
// appended to the file between loading and saving, as another program
// writing the file meanwhile would. The shipped program has no such hook.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "uConsole.h"

namespace {

void ChangeBeforeSave(const std::u16string& file) {
  const char* text = std::getenv("CORVANE_TEST_CHANGE_BEFORE_SAVE");
  if (!text) return;
  std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::app);
  out << text;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  return corvane::cli::RunOnConsole(
      corvane::cli::ArgumentsFromUtf16(argc, reinterpret_cast<const char16_t* const*>(argv)), ChangeBeforeSave);
}
#else
int main(int argc, char** argv) {
  return corvane::cli::RunOnConsole(corvane::cli::ArgumentsFromUtf8(argc, argv), ChangeBeforeSave);
}
#endif
