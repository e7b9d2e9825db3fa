// Win32 implementation of the module calls.
#include "uModule.h"

#include <windows.h>

namespace corvane::platform {

namespace {
// Any address inside this module; GetModuleHandleExW maps it to the DLL (or
// program) that holds this code rather than to the host program.
void OwnModuleAnchor() {}

bool IsFullPath(const std::u16string& path) {
  // "X:\..." or "X:/..." or a UNC/device path "\\...": never a bare name or a
  // relative path, which LoadLibrary would resolve through the search order.
  if (path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/')) return true;
  return path.size() >= 2 && (path[0] == u'\\' || path[0] == u'/') && (path[1] == u'\\' || path[1] == u'/');
}
}  // namespace

std::u16string OwnModuleFileName() {
  HMODULE module = nullptr;
  const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&OwnModuleAnchor), &module)) return std::u16string();
  wchar_t buffer[261] = {};
  const DWORD length = GetModuleFileNameW(module, buffer, 261);
  // A full buffer means the name was cut; at most 260 characters are taken.
  const DWORD taken = length > 260 ? 260 : length;
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), taken);
}

TLibraryHandle LoadLibraryByPath(const std::u16string& fullPath) {
  if (!IsFullPath(fullPath) || fullPath.find(u'\0') != std::u16string::npos) return nullptr;
  // The loader wants backslashes in a path; callers may build paths with '/'.
  std::u16string path = fullPath;
  for (char16_t& c : path)
    if (c == u'/') c = u'\\';
  // The altered search order makes the library's own dependencies resolve from
  // its folder first; the library itself is taken only from the given path.
  // Load failures must not pop up the system's error dialog in the host.
  DWORD oldMode = 0;
  const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
  HMODULE lib = LoadLibraryExW(reinterpret_cast<LPCWSTR>(path.c_str()), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (modeSet) SetThreadErrorMode(oldMode, nullptr);
  return reinterpret_cast<TLibraryHandle>(lib);
}

void* ResolveSymbol(TLibraryHandle lib, const char* name) {
  if (lib == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}

void ReleaseLibrary(TLibraryHandle lib) {
  if (lib != nullptr) FreeLibrary(static_cast<HMODULE>(lib));
}

}  // namespace corvane::platform
