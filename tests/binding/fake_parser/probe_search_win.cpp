// Control case of the probe: a load by bare name, which LoadLibraryW resolves
// through the program folder, the system folders, the current folder and PATH.
#include <windows.h>

#include <string>

namespace corvane::probe {
bool SearchPathFindsLibrary(const std::u16string& name) {
  HMODULE lib = LoadLibraryW(reinterpret_cast<LPCWSTR>(name.c_str()));
  if (lib == nullptr) return false;
  FreeLibrary(lib);
  return true;
}
}  // namespace corvane::probe
