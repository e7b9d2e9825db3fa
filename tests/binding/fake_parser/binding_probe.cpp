// A program that binds the parser library the way the plug-in does, from
// wherever it has been copied to. The binding tests copy it into a folder
// without the library and put the real library's folder on the system search
// path: the binding must still fail, while a plain search by name (the control
// case) finds the library.
//
// Usage: corvane_binding_probe OUTPUT-FILE
// Writes two lines: "search: found|missing" and "binding: ok|<message>".
#include <fstream>
#include <string>

#include "uParserBinding.h"

namespace corvane::probe {
bool SearchPathFindsLibrary(const std::u16string& name);
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ofstream out(argv[1], std::ios::binary);
  const bool found = corvane::probe::SearchPathFindsLibrary(corvane::ParserLibraryFileName());
  out << "search: " << (found ? "found" : "missing") << "\n";
  try {
    corvane::TYamlEventReader reader("a: 1\n");
    out << "binding: ok\n";
  } catch (const std::exception& e) {
    out << "binding: " << e.what() << "\n";
  }
  return out.good() ? 0 : 3;
}
