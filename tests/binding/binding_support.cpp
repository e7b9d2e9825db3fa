#include "binding_support.h"

#include "test_support.h"
#include "uModule.h"
#include "uUnicode.h"

namespace corvane::test {

std::string ProgramFolder() {
  std::string path = Utf16ToUtf8(platform::OwnModuleFileName());
  for (char& c : path)
    if (c == '\\') c = '/';
  return path.substr(0, path.find_last_of('/') + 1);
}

void CopyBinary(const std::string& from, const std::string& to) {
  WriteFileBytes(to, ReadFileBytes(from));
  MarkRunnable(to);
}

}  // namespace corvane::test
