// The real side effects of the shipped plug-in (see uOutside.h).
#include <windows.h>
#include <shellapi.h>

#include "uOutside.h"

namespace corvane::outside {

void Beep(unsigned type) { MessageBeep(type); }

void PressKey(int virtualKey) {
  const BYTE key = static_cast<BYTE>(virtualKey);
  const BYTE scan = static_cast<BYTE>(MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC));
  keybd_event(key, scan, KEYEVENTF_EXTENDEDKEY, 0);
  keybd_event(key, scan, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}

bool OpenWithShell(const std::u16string& target) {
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(target.c_str()),
                                         nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void SetVisualStyle(void* window, const wchar_t* appName, const wchar_t* classList) {
  using FSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
  if (!uxtheme) return;
  auto setTheme = reinterpret_cast<FSetWindowTheme>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")));
  if (setTheme) setTheme(static_cast<HWND>(window), appName, classList);
  FreeLibrary(uxtheme);
}

}  // namespace corvane::outside
