// lister_host: a stand-in for the file manager's lister window, for trying
// the plug-in outside the file manager and for driving it from tests.
//
//   lister_host [--plugin-dir DIR] [--ini FILE] [--show-flags N]
//               [--check --out FILE] [--close-after-ms N] FILE-TO-VIEW
//
// It loads corvane.wlx64 (corvane.wlx in a 32-bit build) from DIR (default:
// the folder of this program), then calls the exports in the order the file
// manager does: ListGetDetectString, ListSetDefaultParams (with DIR\lsplugin.ini
// unless --ini names another file), ListLoadW for the file inside its own
// window; it keeps the plug-in's window sized to its client area and calls
// ListCloseWindow before it closes.
//
// --check writes a UTF-8 report to --out (a GUI program has no console under
// wine) and closes by itself (after --close-after-ms, default 500 ms):
//   detect: <detect string>
//   window: yes|no
//   window-class: <class of the returned window>
//   window-text: <its text, line breaks shown as \n>
//   sized: yes|no      the window filled the client area after a resize
//   closed: yes|no     the window was gone after ListCloseWindow
// Exit code: 0 a window was returned, 1 none, 2 the plug-in could not be loaded.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct ListDefaultParamStruct {
  int size;
  DWORD PluginInterfaceVersionLow;
  DWORD PluginInterfaceVersionHi;
  char DefaultIniName[MAX_PATH];
};

using FListLoadW = HWND(__stdcall*)(HWND, WCHAR*, int);
using FListCloseWindow = void(__stdcall*)(HWND);
using FListGetDetectString = void(__stdcall*)(char*, int);
using FListSetDefaultParams = void(__stdcall*)(ListDefaultParamStruct*);

struct TOptions {
  std::wstring PluginDir;
  std::wstring IniFile;
  std::wstring File;
  std::wstring OutFile;
  int ShowFlags = 0;
  int CloseAfterMs = -1;
  bool Check = false;
};

struct THost {
  TOptions Options;
  HMODULE Plugin = nullptr;
  FListLoadW ListLoadW = nullptr;
  FListCloseWindow ListCloseWindow = nullptr;
  FListGetDetectString ListGetDetectString = nullptr;
  FListSetDefaultParams ListSetDefaultParams = nullptr;
  HWND Main = nullptr;
  HWND ListWin = nullptr;
  std::string Report;
};

THost gHost;
const UINT_PTR kCloseTimer = 1;

std::wstring OwnFolder() {
  wchar_t buffer[MAX_PATH * 4] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, DWORD(sizeof buffer / sizeof buffer[0]));
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(size_t(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &result[0], bytes, nullptr, nullptr);
  return result;
}

bool ParseOptions(int argc, wchar_t** argv, TOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--plugin-dir" && hasValue) options.PluginDir = argv[++i];
    else if (arg == L"--ini" && hasValue) options.IniFile = argv[++i];
    else if (arg == L"--out" && hasValue) options.OutFile = argv[++i];
    else if (arg == L"--show-flags" && hasValue) options.ShowFlags = _wtoi(argv[++i]);
    else if (arg == L"--close-after-ms" && hasValue) options.CloseAfterMs = _wtoi(argv[++i]);
    else if (arg == L"--check") options.Check = true;
    else if (arg.rfind(L"--", 0) == 0) return false;
    else options.File = arg;
  }
  options.PluginDir = WithSeparator(options.PluginDir.empty() ? OwnFolder() : options.PluginDir);
  if (options.IniFile.empty()) options.IniFile = options.PluginDir + L"lsplugin.ini";
  if (options.Check && options.CloseAfterMs < 0) options.CloseAfterMs = 500;
  return !options.File.empty();
}

// FARPROC has no parameters; going through void* states the cast is meant.
template <typename F>
F Entry(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool LoadPlugin(THost& host) {
  const wchar_t* name = sizeof(void*) == 8 ? L"corvane.wlx64" : L"corvane.wlx";
  host.Plugin = LoadLibraryW((host.Options.PluginDir + name).c_str());
  if (host.Plugin == nullptr) return false;
  host.ListLoadW = Entry<FListLoadW>(host.Plugin, "ListLoadW");
  host.ListCloseWindow = Entry<FListCloseWindow>(host.Plugin, "ListCloseWindow");
  host.ListGetDetectString = Entry<FListGetDetectString>(host.Plugin, "ListGetDetectString");
  host.ListSetDefaultParams = Entry<FListSetDefaultParams>(host.Plugin, "ListSetDefaultParams");
  return host.ListLoadW && host.ListCloseWindow && host.ListGetDetectString && host.ListSetDefaultParams;
}

void Note(const std::string& line) { gHost.Report += line + "\n"; }

std::wstring WindowText(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, &text[0], int(text.size()))));
  return text;
}

std::string OneLine(std::string text) {
  std::string result;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') result += "\\n";
    else result += c;
  }
  return result;
}

void NoteListWindow(HWND listWin) {
  Note(std::string("window: ") + (listWin ? "yes" : "no"));
  if (!listWin) return;
  wchar_t className[256] = {};
  GetClassNameW(listWin, className, 256);
  Note("window-class: " + Utf8(className));
  Note("window-text: " + OneLine(Utf8(WindowText(listWin))));
}

// Calls the exports in the host's order and returns the plug-in's window.
HWND OpenList(THost& host) {
  char detect[1024] = {};
  host.ListGetDetectString(detect, int(sizeof detect));
  Note(std::string("detect: ") + detect);

  ListDefaultParamStruct params{};
  params.size = int(sizeof params);
  params.PluginInterfaceVersionLow = 12;
  params.PluginInterfaceVersionHi = 2;
  WideCharToMultiByte(CP_ACP, 0, host.Options.IniFile.c_str(), -1, params.DefaultIniName, MAX_PATH - 1, nullptr, nullptr);
  host.ListSetDefaultParams(&params);

  std::wstring file = host.Options.File;
  return host.ListLoadW(host.Main, &file[0], host.Options.ShowFlags);
}

void FitListWindow() {
  if (gHost.ListWin == nullptr) return;
  RECT client{};
  GetClientRect(gHost.Main, &client);
  MoveWindow(gHost.ListWin, 0, 0, client.right, client.bottom, TRUE);
}

bool ListWindowFillsClient() {
  RECT client{}, list{};
  GetClientRect(gHost.Main, &client);
  GetWindowRect(gHost.ListWin, &list);
  return list.right - list.left == client.right && list.bottom - list.top == client.bottom;
}

// The plug-in's window goes first, as when the file manager closes a lister.
void CloseList() {
  if (gHost.ListWin == nullptr) return;
  HWND listWin = gHost.ListWin;
  gHost.ListWin = nullptr;
  gHost.ListCloseWindow(listWin);
  Note(std::string("closed: ") + (IsWindow(listWin) ? "no" : "yes"));
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      FitListWindow();
      return 0;
    case WM_SETFOCUS:
      if (gHost.ListWin) SetFocus(gHost.ListWin);
      return 0;
    case WM_TIMER:
      if (wParam == kCloseTimer) PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      KillTimer(window, kCloseTimer);
      CloseList();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateMainWindow(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = MainProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  cls.lpszClassName = L"CorvaneListerHost";
  RegisterClassExW(&cls);
  const std::wstring title = L"Lister - " + gHost.Options.File;
  return CreateWindowExW(0, cls.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, 900, 650, nullptr, nullptr, instance, nullptr);
}

void WriteReport() {
  if (gHost.Options.OutFile.empty()) return;
  FILE* out = _wfopen(gHost.Options.OutFile.c_str(), L"wb");
  if (out == nullptr) return;
  fwrite(gHost.Report.data(), 1, gHost.Report.size(), out);
  fclose(out);
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return int(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  if (!ParseOptions(__argc, __wargv, gHost.Options)) {
    MessageBoxW(nullptr, L"usage: lister_host [--plugin-dir DIR] [--ini FILE] [--show-flags N] "
                L"[--check --out FILE] [--close-after-ms N] FILE", L"lister_host", MB_OK);
    return 2;
  }
  if (!LoadPlugin(gHost)) {
    Note("plugin: not loaded");
    WriteReport();
    if (!gHost.Options.Check) MessageBoxW(nullptr, L"Cannot load the plug-in", L"lister_host", MB_ICONERROR);
    return 2;
  }
  gHost.Main = CreateMainWindow(instance);
  gHost.ListWin = OpenList(gHost);
  NoteListWindow(gHost.ListWin);
  ShowWindow(gHost.Main, gHost.Options.Check ? SW_SHOWNOACTIVATE : showCommand);
  // Resize once so the check shows the plug-in window follows the host's size.
  SetWindowPos(gHost.Main, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (gHost.ListWin) Note(std::string("sized: ") + (ListWindowFillsClient() ? "yes" : "no"));
  if (gHost.Options.CloseAfterMs >= 0) SetTimer(gHost.Main, kCloseTimer, UINT(gHost.Options.CloseAfterMs), nullptr);
  const HWND listWin = gHost.ListWin;
  RunMessageLoop();
  WriteReport();
  FreeLibrary(gHost.Plugin);
  return listWin ? 0 : 1;
}
