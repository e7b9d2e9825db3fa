// Scintilla's window classes, local to the plug-in's module.
#include "uTextControl.h"

#include <Scintilla.h>
#include <ScintillaTypes.h>
#include <ScintillaWin.h>

#include <string>

#include "uGuard.h"
#include "uPane.h"

namespace corvane {

namespace {

const wchar_t kClassName[] = L"CorvaneText";

bool gRegistered = false;

// The classes registered for Scintilla (it registers three).
struct TRegisteredClass {
  std::wstring Name;
  ATOM Atom = 0;
  HINSTANCE Instance = nullptr;
};
TRegisteredClass gClasses[4];

// Scintilla's name for a class, as registered here.
std::wstring LocalName(LPCWSTR name) {
  const std::wstring text = name;
  return text == L"Scintilla" ? std::wstring(kClassName) : text;
}

TRegisteredClass* FindRegistered(LPCWSTR name, HINSTANCE instance) {
  for (TRegisteredClass& c : gClasses) {
    if (c.Atom == 0 || c.Instance != instance) continue;
    const bool same = IS_INTRESOURCE(name) ? c.Atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                                           : c.Name == LocalName(name);
    if (same) return &c;
  }
  return nullptr;
}

}  // namespace

bool EnsureTextControlClass() {
  if (!gRegistered) gRegistered = Scintilla_RegisterClasses(PluginInstance()) != 0;
  return gRegistered;
}

const wchar_t* TextControlClassName() { return kClassName; }

void ReleaseTextControlClass() {
  if (!gRegistered) return;
  // Scintilla's release as its own DLL runs it when unloaded: it frees no
  // library from inside the loader's lock.
  Scintilla::Internal::ResourcesRelease(true);
  gRegistered = false;
}

}  // namespace corvane

// Scintilla's RegisterClassExW: the class is registered local to the module
// named in it (the plug-in's), the editor's class under the plug-in's name.
extern "C" ATOM WINAPI CorvaneRegisterTextControlClass(const WNDCLASSEXW* cls) {
  if (!cls || IS_INTRESOURCE(cls->lpszClassName)) return 0;
  return corvane::win::Guarded<ATOM>(0, [&]() -> ATOM {
    corvane::TRegisteredClass* slot = nullptr;
    for (corvane::TRegisteredClass& c : corvane::gClasses)
      if (c.Atom == 0) slot = &c;
    if (!slot) return 0;
    const std::wstring name = corvane::LocalName(cls->lpszClassName);
    WNDCLASSEXW local = *cls;
    local.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    local.lpszClassName = name.c_str();
    const ATOM atom = RegisterClassExW(&local);
    if (atom != 0) *slot = {name, atom, cls->hInstance};
    return atom;
  });
}

// Scintilla's UnregisterClassW: only what was registered above, so a class
// of the same name that another module registered is never touched.
extern "C" BOOL WINAPI CorvaneUnregisterTextControlClass(LPCWSTR name, HINSTANCE instance) {
  return corvane::win::Guarded<BOOL>(FALSE, [&]() -> BOOL {
    corvane::TRegisteredClass* c = corvane::FindRegistered(name, instance);
    if (!c) {
      SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
      return FALSE;
    }
    const BOOL done = UnregisterClassW(c->Name.c_str(), instance);
    *c = {};
    return done;
  });
}
