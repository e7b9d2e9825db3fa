// Control case of the probe: a load by bare name, which dlopen resolves
// through LD_LIBRARY_PATH and the system folders.
#include <dlfcn.h>

#include <string>

#include "uUnicode.h"

namespace corvane::probe {
bool SearchPathFindsLibrary(const std::u16string& name) {
  void* lib = dlopen(Utf16ToUtf8(name).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) return false;
  dlclose(lib);
  return true;
}
}  // namespace corvane::probe
