// The eight lister exports the file manager calls.
//
// Contract:
//  - Nothing escapes an export: every failure is caught here and becomes the
//    export's "nothing done" result (no window, 0), so the host never sees an
//    exception or a crash from the plug-in.
//  - The eight-bit variants convert from the ANSI code page and call the wide
//    ones.
//  - ListLoadW opens a YAML or TOML file in a read-only summary window: the
//    file is read, parsed once through the parser library beside the plug-in,
//    and the outcome (event or key count, or the parser's error) is shown.
//    Other extensions and unreadable files give no window.
//  - ListCloseWindow destroys only windows this plug-in created.
#include <windows.h>

#include <cstring>
#include <string>

#include "uFiles.h"
#include "uParserBinding.h"
#include "uSettings.h"
#include "uUnicode.h"

namespace {

// Record handed over by ListSetDefaultParams; layout fixed by the host.
struct ListDefaultParamStruct {
  int size;
  DWORD PluginInterfaceVersionLow;
  DWORD PluginInterfaceVersionHi;
  char DefaultIniName[MAX_PATH];
};

// Marks the windows made by ListLoadW so ListCloseWindow never destroys a
// window it was handed by mistake.
const wchar_t kOwnWindowProp[] = L"corvane.window";

std::u16string AnsiToUtf16(const char* text, size_t maxBytes) {
  if (text == nullptr) return std::u16string();
  const int length = int(strnlen(text, maxBytes));
  if (length == 0) return std::u16string();
  const int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  std::u16string result(size_t(wide > 0 ? wide : 0), u'\0');
  if (wide > 0) MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<LPWSTR>(&result[0]), wide);
  return result;
}

std::string Utf16ToAnsi(const std::u16string& text) {
  if (text.empty()) return std::string();
  const LPCWSTR wide = reinterpret_cast<LPCWSTR>(text.c_str());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), &result[0], bytes, nullptr, nullptr);
  return result;
}

enum class TFileKind { Unsupported, Yaml, Toml };

TFileKind KindOfFile(const std::u16string& path) {
  const size_t dot = path.find_last_of(u'.');
  const size_t slash = path.find_last_of(u"\\/");
  if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash)) return TFileKind::Unsupported;
  const std::u16string ext = corvane::AsciiLowerText(path.substr(dot + 1));
  if (ext == u"yaml" || ext == u"yml") return TFileKind::Yaml;
  if (ext == u"toml") return TFileKind::Toml;
  return TFileKind::Unsupported;
}

std::string YamlSummary(const std::string& bytes) {
  corvane::TYamlEventReader reader(bytes);
  corvane::TYamlEvent event;
  size_t count = 0;
  while (reader.Next(event)) {
    ++count;
    if (event.Kind == corvane::yeStreamEnd || event.Kind == corvane::yeNone) {
      return "YAML: " + std::to_string(count) + " events";
    }
  }
  return "Error: " + reader.LastErrorUtf8();
}

std::string TomlSummary(const std::string& bytes) {
  corvane::TTomlNative toml(bytes);
  void* root = toml.toml_root(toml.DocumentHandle);
  int keys = 0;
  while (root != nullptr && toml.toml_table_key(root, keys) != nullptr) ++keys;
  return "TOML: " + std::to_string(keys) + " top-level keys";
}

// What the window shows for a file: its name, the library used, the outcome.
std::u16string ParseSummary(const std::u16string& path, TFileKind kind, const std::string& bytes) {
  std::string outcome;
  try {
    outcome = kind == TFileKind::Yaml ? YamlSummary(bytes) : TomlSummary(bytes);
  } catch (const std::exception& e) {
    outcome = std::string("Error: ") + e.what();
  }
  return u"corvane\r\nFile: " + path + u"\r\nParser: " + corvane::ParserLibraryPath() + u"\r\n" +
         corvane::Utf8ToUtf16(outcome);
}

HWND CreateSummaryWindow(HWND parent, const std::u16string& text) {
  RECT client{};
  GetClientRect(parent, &client);
  HWND window = CreateWindowExW(0, L"EDIT", reinterpret_cast<LPCWSTR>(text.c_str()),
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                0, 0, client.right - client.left, client.bottom - client.top, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window != nullptr) SetPropW(window, kOwnWindowProp, reinterpret_cast<HANDLE>(1));
  return window;
}

HWND LoadWindow(HWND parent, const std::u16string& path) {
  const TFileKind kind = KindOfFile(path);
  if (kind == TFileKind::Unsupported || parent == nullptr) return nullptr;
  std::string bytes;
  std::u16string error;
  if (!corvane::platform::ReadFileBytes(path, bytes, error)) return nullptr;
  return CreateSummaryWindow(parent, ParseSummary(path, kind, bytes));
}

}  // namespace

extern "C" {

HWND __stdcall ListLoadW(HWND ParentWin, WCHAR* FileToLoad, int /*ShowFlags*/) {
  try {
    if (FileToLoad == nullptr) return nullptr;
    return LoadWindow(ParentWin, reinterpret_cast<const char16_t*>(FileToLoad));
  } catch (...) {
    return nullptr;
  }
}

HWND __stdcall ListLoad(HWND ParentWin, char* FileToLoad, int ShowFlags) {
  try {
    if (FileToLoad == nullptr) return nullptr;
    std::u16string path = AnsiToUtf16(FileToLoad, size_t(-1));
    return ListLoadW(ParentWin, reinterpret_cast<WCHAR*>(&path[0]), ShowFlags);
  } catch (...) {
    return nullptr;
  }
}

void __stdcall ListCloseWindow(HWND ListWin) {
  if (ListWin == nullptr || !IsWindow(ListWin) || GetPropW(ListWin, kOwnWindowProp) == nullptr) return;
  RemovePropW(ListWin, kOwnWindowProp);
  DestroyWindow(ListWin);
}

void __stdcall ListGetDetectString(char* DetectString, int maxlen) {
  if (DetectString == nullptr || maxlen <= 0) return;
  DetectString[0] = '\0';
  try {
    const std::string text = Utf16ToAnsi(corvane::DetectString());
    const size_t taken = text.size() < size_t(maxlen - 1) ? text.size() : size_t(maxlen - 1);
    std::memcpy(DetectString, text.data(), taken);
    DetectString[taken] = '\0';
  } catch (...) {
    DetectString[0] = '\0';
  }
}

void __stdcall ListSetDefaultParams(ListDefaultParamStruct* dps) {
  if (dps == nullptr) return;
  try {
    corvane::SetDefaultSettingsFileName(AnsiToUtf16(dps->DefaultIniName, sizeof dps->DefaultIniName));
  } catch (...) {
  }
}

int __stdcall ListSearchTextW(HWND /*ListWin*/, WCHAR* /*SearchString*/, int /*SearchParameter*/) { return 0; }

int __stdcall ListSearchText(HWND ListWin, char* SearchString, int SearchParameter) {
  try {
    const std::u16string text = AnsiToUtf16(SearchString, size_t(-1));
    return ListSearchTextW(ListWin, const_cast<WCHAR*>(reinterpret_cast<const WCHAR*>(text.c_str())),
                           SearchParameter);
  } catch (...) {
    return 0;
  }
}

int __stdcall ListSendCommand(HWND /*ListWin*/, int /*Command*/, int /*Parameter*/) { return 0; }

}  // extern "C"
