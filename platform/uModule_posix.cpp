// POSIX implementation of the module calls (dladdr/dlopen/dlsym/dlclose).
#include "uModule.h"

#include <dlfcn.h>

#include "uUnicode.h"

namespace corvane::platform {

namespace {
// Any address inside this module; dladdr maps it to the object that holds it,
// which is the test program or shared object linking this code, not whatever
// program loaded that object.
void OwnModuleAnchor() {}
}  // namespace

std::u16string OwnModuleFileName() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OwnModuleAnchor), &info) == 0 || info.dli_fname == nullptr)
    return std::u16string();
  return Utf8ToUtf16(info.dli_fname);
}

TLibraryHandle LoadLibraryByPath(const std::u16string& fullPath) {
  // dlopen searches LD_LIBRARY_PATH and the system folders for a name without
  // a slash; only a name with a folder part is taken literally.
  if (fullPath.find(u'/') == std::u16string::npos) return nullptr;
  const std::string path = Utf16ToUtf8(fullPath);
  if (path.find('\0') != std::string::npos) return nullptr;
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* ResolveSymbol(TLibraryHandle lib, const char* name) {
  if (lib == nullptr || name == nullptr) return nullptr;
  return dlsym(lib, name);
}

void ReleaseLibrary(TLibraryHandle lib) {
  if (lib != nullptr) dlclose(lib);
}

}  // namespace corvane::platform
