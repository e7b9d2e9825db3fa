// POSIX implementation of the module calls (dladdr/dlopen/dlsym/dlclose).
#include "uModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <unistd.h>

#include "uUnicode.h"

namespace corvane::platform {

namespace {
// Any address inside this module; dladdr maps it to the object that holds it,
// which is the test program or shared object linking this code, not whatever
// program loaded that object.
void OwnModuleAnchor() {}

std::string RunningProgramPath() {
  char buffer[PATH_MAX + 1];
  const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
  return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}

// Absolute form of a path the loader recorded relative to the folder that was
// current at load time (best effort: the current folder may have changed).
std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  free(resolved);
  return result;
}
}  // namespace

std::u16string OwnModuleFileName() {
  // For the main program the loader keeps no file name (dladdr would report
  // argv[0], which may be relative), so it is taken from /proc/self/exe.
  Dl_info info{};
  link_map* map = nullptr;
  if (dladdr1(reinterpret_cast<void*>(&OwnModuleAnchor), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
    return std::u16string();
  const bool isProgram = map == nullptr || map->l_name == nullptr || map->l_name[0] == '\0';
  return Utf8ToUtf16(isProgram ? RunningProgramPath() : Absolute(map->l_name));
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
