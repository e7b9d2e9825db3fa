// settings_reference ini|markdown|keys: writes the corvane.ini shipped in the
// release archive, the settings page of the documentation, or the key names
// (one per line), all from the settings key table, to standard output.
#include <cstdio>
#include <cstring>
#include <string>

#include "uSettingsReference.h"
#include "uUnicode.h"

int main(int argc, char** argv) {
  using namespace corvane;
  const char* what = argc == 2 ? argv[1] : "";
  std::string text;
  if (std::strcmp(what, "ini") == 0) {
    text = IniReferenceText();
  } else if (std::strcmp(what, "markdown") == 0) {
    text = MarkdownReferenceText();
  } else if (std::strcmp(what, "keys") == 0) {
    for (size_t i = 0; i < kAllSettingKeyCount; ++i) text += Utf16ToUtf8(std::u16string(kAllSettingKeys[i]->Name)) + "\n";
  } else {
    std::fputs("usage: settings_reference ini|markdown|keys\n", stderr);
    return 2;
  }
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
