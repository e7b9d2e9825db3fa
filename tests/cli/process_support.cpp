#include "process_support.h"

#include "uModule.h"
#include "uUnicode.h"

namespace corvane::test {

std::u16string ProgramBeside(const std::string& name) {
  const std::u16string self = platform::OwnModuleFileName();
  const size_t slash = self.find_last_of(u"\\/");
#ifdef _WIN32
  const std::u16string suffix = u".exe";
#else
  const std::u16string suffix;
#endif
  return self.substr(0, slash + 1) + Utf8ToUtf16(name) + suffix;
}

}  // namespace corvane::test
