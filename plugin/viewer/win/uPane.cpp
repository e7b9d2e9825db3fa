#include "uPane.h"

#include "uI18n.h"
#include "uOutside.h"
#include "uViewerError.h"

namespace corvane {

bool KeyHeld(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

bool OfferToHost(IPaneHost& host, UINT message, WPARAM wParam) {
  if (message == WM_KEYDOWN) return host.PaneKeyDown(static_cast<int>(wParam));
  const bool ctrl = KeyHeld(VK_CONTROL) || (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
  if (message != WM_MOUSEWHEEL || !ctrl) return false;
  host.PaneZoom(GET_WHEEL_DELTA_WPARAM(wParam));
  return true;
}

HINSTANCE PluginInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&PluginInstance), &module);
  return module;
}

HWND CreateControl(const wchar_t* className, DWORD style, HWND parent, int id) {
  HWND control = CreateWindowExW(0, className, L"", style, 0, 0, 100, 100, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), PluginInstance(), nullptr);
  if (!control) throw EViewerError(u"cannot create a control");
  return control;
}

void SubclassControl(win::TSubclass& subclass, HWND control, void* owner, win::TSubclass::THandler handler) {
  if (!subclass.Install(control, owner, handler)) throw EViewerError(u"cannot subclass a control");
}

void SetControlFont(HWND control, HFONT font) {
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void SetControlStyle(HWND control, bool dark) {
  if (control) outside::SetVisualStyle(control, nullptr, dark ? L"DarkMode_Explorer" : nullptr);
}

void PlaceControl(HWND control, int left, int top, int width, int height) {
  if (control) MoveWindow(control, left, top, width, height, TRUE);
}

HMENU BuildMenu(const std::vector<TMenuEntry>& entries) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const TMenuEntry& entry : entries) {
    if (entry.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::u16string text = entry.Text ? tr(*entry.Text) : entry.Literal;
    UINT flags = MF_STRING;
    if (entry.Grayed) flags |= MF_GRAYED;
    if (entry.Checked) flags |= MF_CHECKED;
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(entry.Id), reinterpret_cast<LPCWSTR>(text.c_str()));
  }
  return menu;
}

void RefusalBeep() { outside::Beep(MB_ICONEXCLAMATION); }

bool SelectAllKey(HWND edit, UINT message, WPARAM wParam) {
  constexpr WPARAM kCtrlA = 1;  // the character Ctrl+A types
  if (message == WM_CHAR && wParam == kCtrlA) return true;
  if (message != WM_KEYDOWN || wParam != 'A' || !KeyHeld(VK_CONTROL)) return false;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  return true;
}

}  // namespace corvane
