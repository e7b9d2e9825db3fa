// lister_host: a stand-in for the file manager's lister window, for trying
// the plug-in outside the file manager, for screenshots and for driving it
// from tests.
//
//   lister_host [--plugin-dir DIR] [--plugin NAME] [--ini FILE] [--show-flags N]
//               [--size WxH] [--tab 1] [--filter N=TEXT] [--screenshot FILE [--menu]]
//               [--send-keys KEYS] [--check --out FILE] [--close-after-ms N]
//               [--bench RUNS --out FILE] [--grid-bench [--no-text|--text-only] --out FILE] FILE-TO-VIEW
//
// It loads the plug-in (corvane.wlx64, or corvane.wlx in a 32-bit build,
// unless --plugin names another) from DIR (default: the folder of this
// program), then calls the exports in the order the file manager does:
// ListGetDetectString, ListSetDefaultParams (with DIR\lsplugin.ini unless
// --ini names another file), ListLoadW with the show flags inside its own
// window. Like the lister window it
//  - keeps the plug-in's window sized to its client area;
//  - takes the keys the plug-in hands back: Escape closes, N and P name the
//    file that would come next or before (in the window title and the
//    report), Ctrl+F opens a find prompt and F3 finds the next match, both
//    through ListSearchTextW with the host's flag bits;
//  - sends ListSendCommand 2 with the dark-mode bits from its Options menu;
//  - calls ListCloseWindow before it closes.
//
// --filter N=TEXT types TEXT into the filter edit of column N after the keys
// and before the screenshot (which then waits past the typing delay).
// --screenshot writes a PNG of the plug-in's window (with its context menu
// open when --menu is given) after the keys of --send-keys, then closes
// (unless --close-after-ms says when). --send-keys presses keys in the
// plug-in's focused control (separated by commas: a character as typed, Esc,
// Tab, F2, F3, the arrows, Enter, Home, End, Back, Del, Space, Apps; ^ for
// Ctrl as in ^F; #N sends the plug-in the command N as its menu would; @N
// clicks tab N).
// --check writes a UTF-8 report to --out (a GUI program has no console under
// wine) and closes by itself (after
// --close-after-ms, default 500 ms, or after the screenshot):
//   detect: <detect string>
//   window: yes|no
//   window-class: <class of the returned window>
//   sized: yes|no      the window filled the client area after a resize
//   key: <what a key handed back did>
//   closed: yes|no     the window was gone after ListCloseWindow
// --bench and --grid-bench time the plug-in instead of showing a session
// (host_bench.cpp, host_grid_bench.cpp).
// Exit code: 0 a window was returned, 1 none, 2 the plug-in could not be loaded.
#include "lister_host.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

THost gHost;

namespace {

const UINT_PTR kCloseTimer = 1;
const UINT_PTR kScriptTimer = 2;
const UINT_PTR kMenuShotTimer = 3;

enum TMenuId : UINT {
  idDark = 100, idNativeDark, idFind, idFindNext, idClose,
};

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

bool ParseOptions(int argc, wchar_t** argv, TOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--plugin-dir" && hasValue) options.PluginDir = argv[++i];
    else if (arg == L"--plugin" && hasValue) options.PluginName = argv[++i];
    else if (arg == L"--ini" && hasValue) options.IniFile = argv[++i];
    else if (arg == L"--out" && hasValue) options.OutFile = argv[++i];
    else if (arg == L"--screenshot" && hasValue) options.ScreenshotFile = argv[++i];
    else if (arg == L"--send-keys" && hasValue) options.SendKeys = argv[++i];
    else if (arg == L"--show-flags" && hasValue) options.ShowFlags = _wtoi(argv[++i]);
    else if (arg == L"--close-after-ms" && hasValue) options.CloseAfterMs = _wtoi(argv[++i]);
    else if (arg == L"--bench" && hasValue) options.BenchRuns = std::max(_wtoi(argv[++i]), 1);
    else if (arg == L"--tab" && hasValue) options.Tab = _wtoi(argv[++i]);
    else if (arg == L"--size" && hasValue) swscanf(argv[++i], L"%dx%d", &options.Width, &options.Height);
    else if (arg == L"--menu") options.MenuShot = true;
    else if (arg == L"--filter" && hasValue) {
      const std::wstring value = argv[++i];
      const size_t equals = value.find(L'=');
      if (equals != std::wstring::npos) {
        options.FilterColumn = _wtoi(value.substr(0, equals).c_str());
        options.FilterText = value.substr(equals + 1);
      }
    }
    else if (arg == L"--grid-bench") options.GridBench = true;
    else if (arg == L"--no-text") options.NoText = true;
    else if (arg == L"--text-only") options.TextOnly = true;
    else if (arg == L"--check") options.Check = true;
    else if (arg.rfind(L"--", 0) == 0) return false;
    else options.File = arg;
  }
  options.PluginDir = WithSeparator(options.PluginDir.empty() ? OwnFolder() : options.PluginDir);
  if (options.PluginName.empty()) options.PluginName = sizeof(void*) == 8 ? L"corvane.wlx64" : L"corvane.wlx";
  if (options.IniFile.empty()) options.IniFile = options.PluginDir + L"lsplugin.ini";
  if (options.Check && options.CloseAfterMs < 0 && options.ScreenshotFile.empty()) options.CloseAfterMs = 500;
  return !options.File.empty();
}

bool LoadPlugin(THost& host) {
  TPlugin& p = host.Plugin;
  p.Module = LoadLibraryW((host.Options.PluginDir + host.Options.PluginName).c_str());
  if (p.Module == nullptr) return false;
  p.ListLoadW = ListerExport<FListLoadW>(p.Module, "ListLoadW");
  p.ListCloseWindow = ListerExport<FListCloseWindow>(p.Module, "ListCloseWindow");
  p.ListGetDetectString = ListerExport<FListGetDetectString>(p.Module, "ListGetDetectString");
  p.ListSetDefaultParams = ListerExport<FListSetDefaultParams>(p.Module, "ListSetDefaultParams");
  p.ListSearchTextW = ListerExport<FListSearchTextW>(p.Module, "ListSearchTextW");
  p.ListSendCommand = ListerExport<FListSendCommand>(p.Module, "ListSendCommand");
  return p.ListLoadW && p.ListCloseWindow && p.ListGetDetectString && p.ListSetDefaultParams &&
         p.ListSearchTextW && p.ListSendCommand;
}

void NoteListWindow(HWND listWin) {
  Note(std::string("window: ") + (listWin ? "yes" : "no"));
  if (!listWin) return;
  wchar_t className[256] = {};
  GetClassNameW(listWin, className, 256);
  Note("window-class: " + Utf8(className));
}

// ListGetDetectString and ListSetDefaultParams, as the host calls them first.
void IntroducePlugin(THost& host) {
  char detect[1024] = {};
  host.Plugin.ListGetDetectString(detect, int(sizeof detect));
  Note(std::string("detect: ") + detect);
  ListDefaultParamStruct params{};
  params.size = int(sizeof params);
  params.PluginInterfaceVersionLow = 12;
  params.PluginInterfaceVersionHi = 2;
  WideCharToMultiByte(CP_ACP, 0, host.Options.IniFile.c_str(), -1, params.DefaultIniName, MAX_PATH - 1, nullptr,
                      nullptr);
  host.Plugin.ListSetDefaultParams(&params);
}

HWND OpenList(THost& host) {
  std::wstring file = host.Options.File;
  return host.Plugin.ListLoadW(host.Main, &file[0], host.Options.ShowFlags);
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

// A scripted run (screenshot, check) has nobody to answer the plug-in's
// question on close about unsaved edits: it is answered No (nothing of the
// viewed file is written) and noted. Runs as a thread timer, which fires
// inside the message box's loop.
void CALLBACK AnswerQuestionNo(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowW(L"#32770", nullptr);
  if (!box || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  Note("question: " + Utf8(text) + " (answered No)");
  PostMessageW(box, WM_COMMAND, IDNO, 0);
}

// The plug-in's window goes first, as when the file manager closes a lister.
void CloseList() {
  if (gHost.ListWin == nullptr) return;
  HWND listWin = gHost.ListWin;
  gHost.ListWin = nullptr;
  const bool scripted = gHost.Options.Check || !gHost.Options.ScreenshotFile.empty();
  const UINT_PTR answer = scripted ? SetTimer(nullptr, 0, 100, AnswerQuestionNo) : 0;
  gHost.Plugin.ListCloseWindow(listWin);
  if (answer) KillTimer(nullptr, answer);
  Note(std::string("closed: ") + (IsWindow(listWin) ? "no" : "yes"));
}

bool IsViewable(const std::wstring& name) {
  const size_t dot = name.find_last_of(L'.');
  if (dot == std::wstring::npos) return false;
  std::wstring ext = name.substr(dot);
  for (wchar_t& c : ext) c = static_cast<wchar_t>(towlower(c));
  return ext == L".yaml" || ext == L".yml" || ext == L".toml";
}

// The file the lister would show after (step 1) or before (step -1) the
// current one: its folder's viewable files in name order.
std::wstring NeighbourFile(int step) {
  const std::wstring& file = gHost.Options.File;
  const size_t slash = file.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : file.substr(0, slash + 1);
  const std::wstring current = file.substr(folder.size());
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return L"";
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsViewable(found.cFileName))
      names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  auto at = std::find(names.begin(), names.end(), current);
  if (at == names.end()) return L"";
  const long index = static_cast<long>(at - names.begin()) + step;
  return index >= 0 && index < static_cast<long>(names.size()) ? names[static_cast<size_t>(index)] : L"";
}

void ShowNeighbour(int step) {
  const std::wstring name = NeighbourFile(step);
  const std::wstring shown = name.empty() ? L"(none)" : name;
  Note(std::string("key: ") + (step > 0 ? "next " : "previous ") + Utf8(shown));
  SetWindowTextW(gHost.Main, (L"Lister - " + gHost.Options.File + (step > 0 ? L" - next: " : L" - previous: ") +
                              shown).c_str());
}

void SendHostFlags(int bit) {
  gHost.HostFlags ^= bit;
  CheckMenuItem(GetMenu(gHost.Main), bit == lcp_darkmode ? idDark : idNativeDark,
                MF_BYCOMMAND | ((gHost.HostFlags & bit) ? MF_CHECKED : MF_UNCHECKED));
  if (gHost.ListWin) gHost.Plugin.ListSendCommand(gHost.ListWin, lc_newparams, gHost.HostFlags);
}

// A key the plug-in handed back (or typed while the host has the focus).
bool HostKey(WPARAM key) {
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  switch (key) {
    case VK_ESCAPE: Note("key: close"); PostMessageW(gHost.Main, WM_CLOSE, 0, 0); return true;
    case 'N': ShowNeighbour(1); return true;
    case 'P': ShowNeighbour(-1); return true;
    case VK_F3: Note("key: find next"); FindNext(); return true;
    case 'F':
      if (!ctrl) return false;
      Note("key: find");
      OpenFindPrompt();
      return true;
    default: return false;
  }
}

HMENU BuildHostMenu() {
  HMENU bar = CreateMenu();
  HMENU search = CreatePopupMenu();
  AppendMenuW(search, MF_STRING, idFind, L"&Find...\tCtrl+F");
  AppendMenuW(search, MF_STRING, idFindNext, L"Find &next\tF3");
  AppendMenuW(search, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(search, MF_STRING, idClose, L"&Close\tEsc");
  HMENU options = CreatePopupMenu();
  AppendMenuW(options, MF_STRING, idDark, L"&Dark mode (sends command 2)");
  AppendMenuW(options, MF_STRING, idNativeDark, L"&Native dark mode (sends command 2)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(search), L"&Lister");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"&Options");
  return bar;
}

void RunMenuCommand(UINT id) {
  switch (id) {
    case idDark: SendHostFlags(lcp_darkmode); break;
    case idNativeDark: SendHostFlags(lcp_darkmodenative); break;
    case idFind: OpenFindPrompt(); break;
    case idFindNext: FindNext(); break;
    case idClose: PostMessageW(gHost.Main, WM_CLOSE, 0, 0); break;
    default: break;
  }
}

// The virtual key of a --send-keys name: a named key, or one character
// (a letter or digit as its key, any other character as the keyboard layout
// types it, Shift included); 0 for none.
WORD ScriptKey(const std::wstring& name, bool* shift) {
  static const std::pair<const wchar_t*, WORD> kNamed[] = {
      {L"Esc", VK_ESCAPE}, {L"Tab", VK_TAB},     {L"F2", VK_F2},     {L"F3", VK_F3},       {L"Down", VK_DOWN},
      {L"Up", VK_UP},      {L"Left", VK_LEFT},   {L"Right", VK_RIGHT}, {L"Enter", VK_RETURN}, {L"Home", VK_HOME},
      {L"End", VK_END},    {L"Back", VK_BACK},   {L"Del", VK_DELETE}, {L"Space", VK_SPACE},  {L"Apps", VK_APPS}};
  *shift = false;
  for (const auto& [text, vk] : kNamed)
    if (name == text) return vk;
  if (name.size() != 1) return 0;
  // Letters and digits are their keys (lower case, as before); other
  // characters are typed as the layout types them.
  if (iswalnum(name[0]) && name[0] < 128) return static_cast<WORD>(towupper(name[0]));
  const SHORT scan = VkKeyScanW(name[0]);
  if (scan == -1) return 0;
  *shift = (scan & 0x100) != 0;
  return static_cast<WORD>(scan & 0xFF);
}

void PressScriptKey(WORD vk, bool ctrl, bool shift) {
  if (ctrl) keybd_event(VK_CONTROL, 0, 0, 0);
  if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
  keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
  if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// Clicks a tab, as the user would.
void SelectTab(int index) {
  HWND tab = FindWindowExW(gHost.ListWin, nullptr, L"SysTabControl32", nullptr);
  if (!tab || index < 0) return;
  SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  NMHDR change{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(gHost.ListWin, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
}

// --send-keys "Down,N,P,Esc,F3,^F,#5007,@1": one key per timer tick, each
// pressed with the plug-in's window focused, so a key the plug-in hands back
// is handled before the next one is typed. "#N" sends the plug-in's window
// the command N (WM_COMMAND), as its context menu would; "@N" clicks tab N.
bool PressNextScriptKey() {
  // Ctrl stays down until the next tick, as a user's finger would: a key the
  // plug-in hands back arrives with Ctrl still held.
  static bool ctrlDown = false;
  if (ctrlDown) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  ctrlDown = false;
  std::wstring& keys = gHost.Options.SendKeys;
  if (keys.empty()) return false;
  const size_t comma = keys.find(L',');
  const std::wstring key = keys.substr(0, comma);
  keys = comma == std::wstring::npos ? L"" : keys.substr(comma + 1);
  if (key.size() > 1 && key[0] == L'#') {
    if (gHost.ListWin) SendMessageW(gHost.ListWin, WM_COMMAND, WPARAM(_wtoi(key.c_str() + 1)), 0);
    return true;
  }
  if (key.size() > 1 && key[0] == L'@') {
    SelectTab(_wtoi(key.c_str() + 1));
    return true;
  }
  const bool ctrl = key.size() > 1 && key[0] == L'^';
  bool shift = false;
  const WORD vk = ScriptKey(ctrl ? key.substr(1) : key, &shift);
  // After a key the plug-in handed back, the host holds the focus; the
  // next key is typed into the plug-in again.
  const HWND focus = GetFocus();
  if (gHost.ListWin && !gHost.FindPrompt && focus != gHost.ListWin && !IsChild(gHost.ListWin, focus))
    SetFocus(gHost.ListWin);
  if (vk) {
    PressScriptKey(vk, ctrl, shift);
    ctrlDown = ctrl;
  }
  return true;
}

// Screen rectangle of the plug-in's window, widened by an open popup menu.
RECT ShotArea() {
  RECT area{};
  GetWindowRect(gHost.ListWin ? gHost.ListWin : gHost.Main, &area);
  if (HWND menu = FindWindowW(L"#32768", nullptr)) {
    RECT m{};
    GetWindowRect(menu, &m);
    UnionRect(&area, &area, &m);
  }
  return area;
}

// Takes the screenshot; the session ends with it unless a closing time was
// given.
void TakeScreenshot() {
  RedrawWindow(gHost.Main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  const bool saved = SaveScreenPng(ShotArea(), gHost.Options.ScreenshotFile);
  Note(std::string("screenshot: ") + (saved ? "yes" : "no"));
  if (gHost.Options.CloseAfterMs < 0) PostMessageW(gHost.Main, WM_CLOSE, 0, 0);
}


// Types --filter's text into the filter edit of its column (control id
// 1000 + column, a child of the tab control), as keystrokes, so the
// viewer's typing delay and filter pass run as for a user.
void TypeFilter() {
  if (!gHost.ListWin) return;
  HWND tab = FindWindowExW(gHost.ListWin, nullptr, L"SysTabControl32", nullptr);
  HWND edit = tab ? GetDlgItem(tab, 1000 + gHost.Options.FilterColumn) : nullptr;
  if (!edit) return;
  SetFocus(edit);
  for (wchar_t c : gHost.Options.FilterText) SendMessageW(edit, WM_CHAR, c, 1);
}

// The context menu of the grid opened from the keyboard; the menu loop
// runs until the timer inside it has taken the screenshot.
void ShootWithMenu() {
  HWND tab = FindWindowExW(gHost.ListWin, nullptr, L"SysTabControl32", nullptr);
  HWND grid = tab ? FindWindowExW(tab, nullptr, L"SysListView32", nullptr) : nullptr;
  if (grid) SetFocus(grid);
  SetTimer(gHost.Main, kMenuShotTimer, 400, nullptr);
  SendMessageW(grid ? grid : gHost.ListWin, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(grid), -1);
}

void OnTimer(HWND window, WPARAM id) {
  KillTimer(window, id);
  if (id == kCloseTimer) {
    PostMessageW(window, WM_CLOSE, 0, 0);
  } else if (id == kScriptTimer) {
    if (PressNextScriptKey()) {
      SetTimer(window, kScriptTimer, 300, nullptr);
      return;
    }
    if (gHost.Options.FilterColumn >= 0) {
      TypeFilter();
      gHost.Options.FilterColumn = -1;
      SetTimer(window, kScriptTimer, 800, nullptr);  // past the viewer's typing delay
      return;
    }
    if (!gHost.Options.ScreenshotFile.empty()) {
      if (gHost.Options.MenuShot) ShootWithMenu();
      else TakeScreenshot();
    }
  } else if (id == kMenuShotTimer) {
    TakeScreenshot();
    EndMenu();
  }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: FitListWindow(); return 0;
    case WM_ACTIVATE:
      // Activated, the lister gives the plug-in the focus. (Keys the plug-in
      // hands back arrive while the host itself has the focus, so receiving
      // the focus alone does not pass it on.)
      if (LOWORD(wParam) != WA_INACTIVE && gHost.ListWin) SetFocus(gHost.ListWin);
      return 0;
    case WM_KEYDOWN:
      if (HostKey(wParam)) return 0;
      break;
    case WM_COMMAND: RunMenuCommand(LOWORD(wParam)); return 0;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_CLOSE:
      KillTimer(window, kCloseTimer);
      CloseList();
      if (gHost.FindPrompt) DestroyWindow(gHost.FindPrompt);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
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
  const bool withMenu =
      gHost.Options.ScreenshotFile.empty() && gHost.Options.BenchRuns == 0 && !gHost.Options.GridBench;
  return CreateWindowExW(0, cls.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                         gHost.Options.Width, gHost.Options.Height, nullptr, withMenu ? BuildHostMenu() : nullptr,
                         instance, nullptr);
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
    if (IsFindPromptMessage(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return int(message.wParam);
}

int RunSession(HINSTANCE instance, int showCommand) {
  gHost.Main = CreateMainWindow(instance);
  ShowWindow(gHost.Main, gHost.Options.Check ? SW_SHOWNOACTIVATE : showCommand);
  gHost.ListWin = OpenList(gHost);
  NoteListWindow(gHost.ListWin);
  // Resize once, as the lister does, so the check shows the plug-in's window
  // follows the host's size.
  SetWindowPos(gHost.Main, nullptr, 0, 0, gHost.Options.Width, gHost.Options.Height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitListWindow();
  if (gHost.ListWin) Note(std::string("sized: ") + (ListWindowFillsClient() ? "yes" : "no"));
  if (gHost.Options.Tab > 0) SelectTab(gHost.Options.Tab);
  if (gHost.ListWin && !gHost.Options.SendKeys.empty()) {
    SetForegroundWindow(gHost.Main);
    SetFocus(gHost.ListWin);
  }
  if (!gHost.Options.ScreenshotFile.empty() || !gHost.Options.SendKeys.empty())
    SetTimer(gHost.Main, kScriptTimer, 300, nullptr);
  if (gHost.Options.CloseAfterMs >= 0) SetTimer(gHost.Main, kCloseTimer, UINT(gHost.Options.CloseAfterMs), nullptr);
  const HWND listWin = gHost.ListWin;
  RunMessageLoop();
  return listWin ? 0 : 1;
}

}  // namespace

void Note(const std::string& line) { gHost.Report += line + "\n"; }

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(size_t(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &result[0], bytes, nullptr, nullptr);
  return result;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  if (!ParseOptions(__argc, __wargv, gHost.Options)) {
    MessageBoxW(nullptr, L"usage: lister_host [--plugin-dir DIR] [--plugin NAME] [--ini FILE] [--show-flags N] "
                L"[--size WxH] [--tab 1] [--filter N=TEXT] [--screenshot FILE [--menu]] [--send-keys KEYS] "
                L"[--check --out FILE] [--close-after-ms N] [--bench RUNS --out FILE] "
                L"[--grid-bench [--no-text|--text-only] --out FILE] FILE",
                L"lister_host", MB_OK);
    return 2;
  }
  if (!LoadPlugin(gHost)) {
    Note("plugin: not loaded");
    WriteReport();
    if (!gHost.Options.Check) MessageBoxW(nullptr, L"Cannot load the plug-in", L"lister_host", MB_ICONERROR);
    return 2;
  }
  IntroducePlugin(gHost);
  int code;
  if (gHost.Options.BenchRuns > 0 || gHost.Options.GridBench) {
    gHost.Main = CreateMainWindow(instance);
    ShowWindow(gHost.Main, SW_SHOWNOACTIVATE);
    code = gHost.Options.GridBench ? RunGridBench(gHost) : RunBench(gHost);
    DestroyWindow(gHost.Main);
  } else {
    code = RunSession(instance, showCommand);
  }
  WriteReport();
  FreeLibrary(gHost.Plugin.Module);
  return code;
}
