// Win32: the private-profile functions themselves.
#include <windows.h>

#include <vector>

// <windows.h> maps WriteProfileString onto the win.ini function
// WriteProfileStringW; ours is a different function of the same name.
#undef WriteProfileString

#include "uProfile.h"

namespace corvane::platform {

namespace {
LPCWSTR W(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }
}  // namespace

std::u16string ReadProfileString(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, const std::u16string& defaultValue) {
  std::vector<wchar_t> buffer(kProfileBufferChars, L'\0');
  const DWORD length = GetPrivateProfileStringW(W(section), W(key), W(defaultValue), buffer.data(),
                                                static_cast<DWORD>(buffer.size()), W(file));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

bool WriteProfileString(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, const std::u16string& value) {
  return WritePrivateProfileStringW(W(section), W(key), W(value), W(file)) != FALSE;
}

}  // namespace corvane::platform
