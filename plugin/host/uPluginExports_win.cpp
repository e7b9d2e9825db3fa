// The eight lister exports the file manager calls.
//
// Contract:
//  - Nothing escapes an export: every failure is caught here and becomes the
//    export's "nothing done" result (no window, 0), so the host never sees an
//    exception or a crash from the plug-in.
//  - The eight-bit variants convert from the ANSI code page and call the wide
//    ones.
//  - ListLoadW creates a viewer (TJsonViewer) inside the host's lister window
//    and returns its main window; any failure returns 0 and leaves nothing
//    behind. The other exports find the viewer through that window's
//    user-data slot and do nothing for a window without one.
//  - Each export is a frame of the plug-in (uViewerLifetime.h): a viewer
//    closed from inside a modal loop of its own is deleted only once that
//    loop's code has returned.
#include <windows.h>

#include <cstring>
#include <string>

#include "uGuard.h"
#include "uJsonViewer.h"
#include "uListerInterface.h"
#include "uMainWindow.h"
#include "uSettings.h"
#include "uTextControl.h"
#include "uUnicode.h"
#include "uViewerLifetime.h"

namespace {

using corvane::TJsonViewer;
using corvane::TPluginFrame;
using corvane::win::Guarded;
using corvane::win::GuardedVoid;

std::u16string AnsiToUtf16(const char* text, size_t maxBytes) {
  if (text == nullptr) return std::u16string();
  const int length = int(strnlen(text, maxBytes));
  if (length == 0) return std::u16string();
  const int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  std::u16string result(size_t(wide > 0 ? wide : 0), u'\0');
  if (wide > 0) MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<LPWSTR>(&result[0]), wide);
  return result;
}

// The host's theme flags, decoded here only: the show flags of ListLoad and
// the parameter of command 2 carry the same bits.
corvane::THostThemeFlags HostThemeFlags(int flags) {
  return corvane::THostThemeFlags{(flags & lcp_darkmode) != 0, (flags & lcp_darkmodenative) != 0};
}

std::string Utf16ToAnsi(const std::u16string& text) {
  if (text.empty()) return std::string();
  const LPCWSTR wide = reinterpret_cast<LPCWSTR>(text.c_str());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), &result[0], bytes, nullptr, nullptr);
  return result;
}

}  // namespace

// The module is unloaded: its window classes must go with its code. (At
// process exit the system cleans up by itself.)
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) GuardedVoid([] {
    corvane::UnregisterViewerClass();
    corvane::ReleaseTextControlClass();
  });
  return TRUE;
}

extern "C" {

HWND __stdcall ListLoadW(HWND ParentWin, WCHAR* FileToLoad, int ShowFlags) {
  TPluginFrame frame;
  return Guarded<HWND>(nullptr, [&]() -> HWND {
    if (FileToLoad == nullptr) return nullptr;
    auto viewer = TJsonViewer::Create(ParentWin, reinterpret_cast<const char16_t*>(FileToLoad),
                                      HostThemeFlags(ShowFlags));
    // From here the viewer lives as long as its window.
    return viewer.release()->Window();
  });
}

HWND __stdcall ListLoad(HWND ParentWin, char* FileToLoad, int ShowFlags) {
  return Guarded<HWND>(nullptr, [&]() -> HWND {
    if (FileToLoad == nullptr) return nullptr;
    std::u16string path = AnsiToUtf16(FileToLoad, size_t(-1));
    return ListLoadW(ParentWin, reinterpret_cast<WCHAR*>(&path[0]), ShowFlags);
  });
}

void __stdcall ListCloseWindow(HWND ListWin) {
  TPluginFrame frame;
  TJsonViewer* viewer = Guarded<TJsonViewer*>(nullptr, [&] { return TJsonViewer::FromWindow(ListWin); });
  if (viewer == nullptr) return;
  GuardedVoid([&] { corvane::CloseViewer(*viewer); });
}

void __stdcall ListGetDetectString(char* DetectString, int maxlen) {
  if (DetectString == nullptr || maxlen <= 0) return;
  DetectString[0] = '\0';
  GuardedVoid([&] {
    const std::string text = Utf16ToAnsi(corvane::DetectString());
    const size_t taken = text.size() < size_t(maxlen - 1) ? text.size() : size_t(maxlen - 1);
    std::memcpy(DetectString, text.data(), taken);
    DetectString[taken] = '\0';
  });
}

void __stdcall ListSetDefaultParams(ListDefaultParamStruct* dps) {
  if (dps == nullptr) return;
  GuardedVoid([&] {
    corvane::SetDefaultSettingsFileName(AnsiToUtf16(dps->DefaultIniName, sizeof dps->DefaultIniName));
  });
}

int __stdcall ListSearchTextW(HWND ListWin, WCHAR* SearchString, int SearchParameter) {
  TPluginFrame frame;
  GuardedVoid([&] {
    TJsonViewer* viewer = TJsonViewer::FromWindow(ListWin);
    if (viewer == nullptr || SearchString == nullptr) return;
    viewer->SearchText(reinterpret_cast<const char16_t*>(SearchString), SearchParameter);
  });
  return 0;
}

int __stdcall ListSearchText(HWND ListWin, char* SearchString, int SearchParameter) {
  GuardedVoid([&] {
    std::u16string text = AnsiToUtf16(SearchString, size_t(-1));
    ListSearchTextW(ListWin, reinterpret_cast<WCHAR*>(&text[0]), SearchParameter);
  });
  return 0;
}

int __stdcall ListSendCommand(HWND ListWin, int Command, int Parameter) {
  TPluginFrame frame;
  GuardedVoid([&] {
    if (Command != lc_newparams) return;
    if (TJsonViewer* viewer = TJsonViewer::FromWindow(ListWin))
      viewer->HostFlagsChanged(HostThemeFlags(Parameter));
  });
  return 0;
}

}  // extern "C"
