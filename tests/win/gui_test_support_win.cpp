#include "gui_test_support.h"

#include <commctrl.h>
#include <psapi.h>
#include <Scintilla.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace corvane::test {

std::wstring ProgramFolder() {
  wchar_t buffer[1024] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, 1024);
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring WinPath(const std::string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &text[0], int(text.size()))));
  for (wchar_t& c : text)
    if (c == L'/') c = L'\\';
  return text;
}

// Runs open (which enters a modal loop) with a thread timer firing inside
// that loop every period milliseconds.
void WithThreadTimer(UINT period, TIMERPROC fired, const std::function<void()>& open) {
  const UINT_PTR timer = SetTimer(nullptr, 0, period, fired);
  open();
  KillTimer(nullptr, timer);
  PumpMessages();
}

std::string Utf8(const std::wstring& text) {
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(size_t(
      WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &utf8[0], int(utf8.size()), nullptr, nullptr)));
  return utf8;
}

// ---- the plug-in --------------------------------------------------------------

namespace {

// A text export of the test flavour: asked once for the length, then filled.
std::string TextExport(HMODULE module, const char* name, HWND window) {
  const auto read = ListerExport<int(__stdcall*)(HWND, char*, int)>(module, name);
  const int length = read ? read(window, nullptr, 0) : -1;
  if (length <= 0) return {};
  std::string text(size_t(length) + 1, '\0');
  text.resize(size_t(read(window, &text[0], length + 1)));
  return text;
}

}  // namespace

TPluginDll::TPluginDll(const wchar_t* name) {
  const bool fullPath = wcspbrk(name, L"\\/") != nullptr;
  module_ = LoadLibraryW(fullPath ? name : (ProgramFolder() + name).c_str());
  EXPECT_NE(module_, nullptr) << Utf8(name) << " not loadable";
  parent_ = CreateWindowExW(0, L"STATIC", L"lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600, nullptr,
                            nullptr, nullptr, nullptr);
  ini_ = Dir.File("lsplugin.ini");
  WriteIni("");
  if (!module_) return;
  ListDefaultParamStruct params{};
  params.size = int(sizeof params);
  const std::wstring ini = WinPath(ini_);
  WideCharToMultiByte(CP_ACP, 0, ini.c_str(), -1, params.DefaultIniName, MAX_PATH - 1, nullptr, nullptr);
  Export<FListSetDefaultParams>("ListSetDefaultParams")(&params);
}

TPluginDll::~TPluginDll() {
  if (parent_) DestroyWindow(parent_);
  if (module_) FreeLibrary(module_);
}

void TPluginDll::WriteIni(const std::string& keyValueLines) { WriteFileBytes(ini_, "[corvane]\r\n" + keyValueLines); }

std::string TPluginDll::ReadIni() const { return ReadFileBytes(ini_); }

HWND TPluginDll::Open(const std::string& path, int showFlags) {
  std::wstring file = WinPath(path);
  HWND window = Export<FListLoadW>("ListLoadW")(parent_, &file[0], showFlags);
  if (window) {
    RECT client{};
    GetClientRect(parent_, &client);
    MoveWindow(window, 0, 0, client.right, client.bottom, TRUE);
  }
  return window;
}

HWND TPluginDll::OpenYaml(const std::string& yaml, int showFlags) {
  const std::string path = Dir.File("doc.yaml");
  WriteFileBytes(path, yaml);
  HWND window = Open(path, showFlags);
  TakeOutsideLog();
  return window;
}

// A message box nobody expected would block the test for ever: it is
// answered No and reported.
void TPluginDll::Close(HWND window) {
  const auto close = [&] { Export<FListCloseWindow>("ListCloseWindow")(window); };
  if (MessageBoxesAnswered()) return close();
  for (const TMessageBoxSeen& box : AnswerMessageBoxes(close, {}))
    ADD_FAILURE() << "unexpected message box on close: " << Utf8(box.Text);
}

int TPluginDll::Search(HWND window, const std::wstring& text, int flags) {
  std::wstring copy = text;
  return Export<FListSearchTextW>("ListSearchTextW")(window, &copy[0], flags);
}

int TPluginDll::SendCommand(HWND window, int command, int parameter) {
  return Export<FListSendCommand>("ListSendCommand")(window, command, parameter);
}

std::string TPluginDll::PendingPatches(HWND window) const {
  return TextExport(module_, "CorvaneTestPendingPatches", window);
}

std::string TPluginDll::PathValues(HWND window) const {
  return TextExport(module_, "CorvaneTestPathValues", window);
}

int TPluginDll::VisibleRows(HWND window) const {
  const auto rows = Export<int(__stdcall*)(HWND)>("CorvaneTestVisibleRows");
  return rows ? rows(window) : -1;
}

int TPluginDll::CaughtExceptions() const {
  const auto caught = Export<int(__stdcall*)()>("CorvaneTestCaughtExceptions");
  return caught ? caught() : -1;
}

std::vector<TPatchSeen> ParsePatches(const std::string& lines) {
  std::vector<TPatchSeen> patches;
  std::istringstream in(lines);
  TPatchSeen patch;
  size_t size = 0;
  while (in >> patch.Start >> patch.Length >> size) {
    in.get();  // the blank before the replacement
    patch.Replacement.assign(size, '\0');
    in.read(&patch.Replacement[0], std::streamsize(size));
    in.get();  // the line break after it
    patches.push_back(patch);
  }
  return patches;
}

std::string Applied(const std::string& original, const std::vector<TPatchSeen>& patches) {
  std::string text;
  size_t copied = 0;
  for (const TPatchSeen& patch : patches) {
    EXPECT_GE(size_t(patch.Start), copied);
    text.append(original, copied, size_t(patch.Start) - copied);
    text += patch.Replacement;
    copied = size_t(patch.Start + patch.Length);
  }
  return text + original.substr(std::min(copied, original.size()));
}

int TPluginDll::LiveCount(int kind) const {
  auto count = Export<int(__stdcall*)(int)>("CorvaneTestLiveCount");
  return count ? count(kind) : -1;
}

int TPluginDll::LiveTotal() const {
  int total = 0;
  for (int kind = 0; kind < 10; ++kind) total += LiveCount(kind);
  return total;
}

std::wstring TPluginDll::TakeOutsideLog() const {
  auto take = Export<int(__stdcall*)(wchar_t*, int)>("CorvaneTestTakeOutsideLog");
  if (!take) return L"";
  wchar_t buffer[4096] = {};
  take(buffer, 4096);
  return buffer;
}

std::wstring TPluginDll::TakeStyleLog() const {
  auto take = Export<int(__stdcall*)(wchar_t*, int)>("CorvaneTestTakeStyleLog");
  if (!take) return L"";
  std::wstring buffer(size_t(take(nullptr, 0)) + 1, L'\0');
  buffer.resize(size_t(take(&buffer[0], int(buffer.size()))));
  return buffer;
}

void TPluginDll::FailNextOutsideCall() const {
  if (auto fail = Export<void(__stdcall*)()>("CorvaneTestFailNextOutsideCall")) fail();
}

// ---- controls -------------------------------------------------------------------

namespace {

BOOL CALLBACK CountOne(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

}  // namespace

int CountChildren(HWND parent) {
  int count = 0;
  EnumChildWindows(parent, CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

TViewerControls::TViewerControls(HWND main)
    : Main(main),
      Tree(GetDlgItem(main, 101)),
      Tab(GetDlgItem(main, 102)),
      Grid(GetDlgItem(Tab, 103)),
      Text(GetDlgItem(Tab, 104)),
      Status(GetDlgItem(main, 105)),
      Header(reinterpret_cast<HWND>(SendMessageW(Grid, LVM_GETHEADER, 0, 0))) {}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[512] = {};
  TVITEMW entry{};
  entry.mask = TVIF_TEXT;
  entry.hItem = item;
  entry.pszText = buffer;
  entry.cchTextMax = 512;
  if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry))) return L"(none)";
  return buffer;
}

std::wstring SelectedTreeText(HWND tree) {
  return TreeItemText(tree, TreeView_GetSelection(tree));
}

HTREEITEM TreeRoot(HWND tree) { return TreeView_GetRoot(tree); }

HTREEITEM TreeChild(HWND tree, HTREEITEM parent, int index) {
  HTREEITEM item = TreeView_GetChild(tree, parent);
  for (int i = 0; item && i < index; ++i) item = TreeView_GetNextSibling(tree, item);
  return item;
}

std::vector<std::wstring> TreeChildTexts(HWND tree, HTREEITEM parent) {
  std::vector<std::wstring> texts;
  for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item))
    texts.push_back(TreeItemText(tree, item));
  return texts;
}

int ItemCount(HWND grid) { return int(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::wstring> HeaderTexts(HWND grid) {
  std::vector<std::wstring> texts;
  HWND header = reinterpret_cast<HWND>(SendMessageW(grid, LVM_GETHEADER, 0, 0));
  const int count = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t buffer[512] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(header, HDM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    texts.push_back(buffer);
  }
  return texts;
}

std::wstring CellText(HWND grid, int row, int column) {
  wchar_t buffer[4096] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 4096;
  SendMessageW(grid, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<int> SelectedRows(HWND grid) {
  std::vector<int> rows;
  int item = -1;
  while ((item = int(SendMessageW(grid, LVM_GETNEXTITEM, WPARAM(item), LVNI_SELECTED))) >= 0) rows.push_back(item);
  return rows;
}

HWND OpenCellEditor(const TViewerControls& v, int row, int column) {
  NMITEMACTIVATE click{};
  click.iItem = row;
  click.iSubItem = column;
  Notify(v.Main, v.Grid, NM_CLICK, &click.hdr);
  SetFocus(v.Grid);
  PressKey(v.Grid, VK_RETURN);
  return GetDlgItem(v.Grid, 106);
}

std::wstring WindowTextOf(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, &text[0], int(text.size()))));
  return text;
}

std::wstring StatusText(HWND status, int part) {
  const int length = LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, WPARAM(part), 0));
  std::wstring text(size_t(length) + 1, L'\0');
  SendMessageW(status, SB_GETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(size_t(length));
  return text;
}

std::vector<std::wstring> StatusTexts(HWND status) {
  std::vector<std::wstring> texts;
  for (int part = 0; part < 7; ++part) texts.push_back(StatusText(status, part));
  return texts;
}

void PressKey(HWND control, int virtualKey, bool ctrl, bool shift) {
  BYTE keys[256] = {};
  if (ctrl) keys[VK_CONTROL] = 0x80;
  if (shift) keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(control, WM_KEYDOWN, WPARAM(virtualKey), 1);
  BYTE none[256] = {};
  SetKeyboardState(none);
}

LRESULT Notify(HWND to, HWND from, UINT code, NMHDR* header) {
  NMHDR plain{};
  NMHDR* sent = header ? header : &plain;
  sent->hwndFrom = from;
  sent->idFrom = UINT_PTR(GetDlgCtrlID(from));
  sent->code = code;
  return SendMessageW(to, WM_NOTIFY, sent->idFrom, reinterpret_cast<LPARAM>(sent));
}

void PumpMessages(int milliseconds) {
  const DWORD end = GetTickCount() + DWORD(milliseconds);
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (milliseconds > 0) Sleep(10);
  } while (milliseconds > 0 && GetTickCount() < end);
}

// ---- menus ------------------------------------------------------------------------

const TMenuItemSeen* TMenuSeen::Find(UINT id) const {
  for (const TMenuItemSeen& item : Items)
    if (!item.Separator && item.Id == id) return &item;
  return nullptr;
}

namespace {

TMenuSeen* gMenuSeen = nullptr;
std::vector<int> gMenuKeys;

void ReadMenu(HWND window, TMenuSeen* seen) {
  seen->Opened = true;
  GetWindowRect(window, &seen->Rect);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 256;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    TMenuItemSeen item;
    item.Id = info.wID;
    item.Text = text;
    item.Separator = (info.fType & MFT_SEPARATOR) != 0;
    item.Grayed = (info.fState & MFS_GRAYED) != 0;
    item.Checked = (info.fState & MFS_CHECKED) != 0;
    seen->Items.push_back(item);
  }
}

// Fires inside the menu's modal loop.
void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND window = FindWindowW(L"#32768", nullptr);
  if (!window || !IsWindowVisible(window)) return;
  KillTimer(nullptr, id);
  if (gMenuSeen) ReadMenu(window, gMenuSeen);
  if (gMenuKeys.empty()) {
    EndMenu();
    return;
  }
  for (int key : gMenuKeys) PostMessageW(window, WM_KEYDOWN, WPARAM(key), 0);
}

}  // namespace

TMenuSeen CaptureMenu(const std::function<void()>& open, const std::vector<int>& keys) {
  TMenuSeen seen;
  gMenuSeen = &seen;
  gMenuKeys = keys;
  WithThreadTimer(50, MenuTimer, open);
  gMenuSeen = nullptr;
  return seen;
}

// ---- message boxes ------------------------------------------------------------

namespace {

struct TBoxScript {
  std::vector<TBoxAnswer> Answers;
  std::vector<TMessageBoxSeen> Seen;
  std::vector<HWND> Handled;
};
TBoxScript* gBoxScript = nullptr;

BOOL CALLBACK FindNewBox(HWND window, LPARAM found) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  for (HWND handled : gBoxScript->Handled)
    if (handled == window) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Fires inside any modal loop of the thread.
void CALLBACK BoxTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!gBoxScript) return;
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindNewBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  gBoxScript->Handled.push_back(box);
  gBoxScript->Seen.push_back({WindowTextOf(box), WindowTextOf(GetDlgItem(box, 0xFFFF))});
  TBoxAnswer answer = AnswerWith(IDNO);
  if (!gBoxScript->Answers.empty()) {
    answer = gBoxScript->Answers.front();
    gBoxScript->Answers.erase(gBoxScript->Answers.begin());
  }
  answer(box);
}

}  // namespace

bool MessageBoxesAnswered() { return gBoxScript != nullptr; }

TBoxAnswer AnswerWith(int buttonId) {
  return [buttonId](HWND box) { PostMessageW(box, WM_COMMAND, WPARAM(buttonId), 0); };
}

std::vector<TMessageBoxSeen> AnswerMessageBoxes(const std::function<void()>& open,
                                                std::vector<TBoxAnswer> answers) {
  TBoxScript script;
  script.Answers = std::move(answers);
  gBoxScript = &script;
  WithThreadTimer(30, BoxTimer, open);
  gBoxScript = nullptr;
  return script.Seen;
}

namespace {

const std::function<void()>* gInsideMenu = nullptr;
bool gInsideMenuSeen = false;

void CALLBACK InsideMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND window = FindWindowW(L"#32768", nullptr);
  if (!window || !IsWindowVisible(window) || !gInsideMenu) return;
  KillTimer(nullptr, id);
  gInsideMenuSeen = true;
  (*gInsideMenu)();
  if (IsWindow(window) && IsWindowVisible(window)) EndMenu();
}

}  // namespace

bool InsideMenu(const std::function<void()>& open, const std::function<void()>& inside) {
  gInsideMenu = &inside;
  gInsideMenuSeen = false;
  WithThreadTimer(50, InsideMenuTimer, open);
  gInsideMenu = nullptr;
  return gInsideMenuSeen;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  // Wine fills only the basic record; its pagefile usage is the same
  // private commit charge.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

void TypeText(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, WPARAM(c), 1);
}

std::wstring ClipboardText() {
  if (!OpenClipboard(nullptr)) return L"(not opened)";
  std::wstring text = L"(none)";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::string PaneText(HWND text, int64_t start, int64_t end) {
  if (end <= start) return {};
  std::string buffer(size_t(end - start) + 1, '\0');
  Sci_TextRangeFull range{{Sci_Position(start), Sci_Position(end)}, &buffer[0]};
  buffer.resize(size_t(SendMessageW(text, SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<LPARAM>(&range))));
  return buffer;
}

std::pair<int64_t, int64_t> PaneSelection(HWND text) {
  return {SendMessageW(text, SCI_GETSELECTIONSTART, 0, 0), SendMessageW(text, SCI_GETSELECTIONEND, 0, 0)};
}

TStyleSeen PaneStyle(HWND text, int64_t start, int64_t end) {
  TStyleSeen seen;
  seen.Style = int(SendMessageW(text, SCI_GETSTYLEAT, WPARAM(start), 0));
  seen.Colour = COLORREF(SendMessageW(text, SCI_STYLEGETFORE, WPARAM(seen.Style), 0));
  seen.Bold = SendMessageW(text, SCI_STYLEGETBOLD, WPARAM(seen.Style), 0) != 0;
  seen.Uniform = true;
  for (int64_t at = start + 1; at < end; ++at)
    seen.Uniform = seen.Uniform && SendMessageW(text, SCI_GETSTYLEAT, WPARAM(at), 0) == seen.Style;
  return seen;
}

// ---- canvas -----------------------------------------------------------------------

TCanvas::TCanvas(int width, int height, COLORREF fill) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
  RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

TCanvas::~TCanvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

COLORREF TCanvas::Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

int TCanvas::CountOther(const RECT& area, COLORREF colour) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) != colour ? 1 : 0;
  return count;
}

int TCanvas::FirstOtherX(const RECT& area, COLORREF colour) const {
  for (int x = area.left; x < area.right; ++x)
    for (int y = area.top; y < area.bottom; ++y)
      if (Pixel(x, y) != colour) return x;
  return -1;
}

int TCanvas::LastOtherX(const RECT& area, COLORREF colour) const {
  for (int x = area.right - 1; x >= area.left; --x)
    for (int y = area.top; y < area.bottom; ++y)
      if (Pixel(x, y) != colour) return x;
  return -1;
}

int LeftoverPixels(HWND window, RECT* where) {
  RECT r{};
  GetClientRect(window, &r);
  TCanvas before(r.right, r.bottom), after(r.right, r.bottom);
  const auto capture = [&](const TCanvas& canvas) {
    HDC dc = GetDC(window);
    BitBlt(canvas.Dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
  };
  capture(before);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  capture(after);
  int differ = 0;
  RECT bounds{r.right, r.bottom, 0, 0};
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) {
      if (before.Pixel(x, y) == after.Pixel(x, y)) continue;
      ++differ;
      bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y), std::max<LONG>(bounds.right, x + 1),
                    std::max<LONG>(bounds.bottom, y + 1)};
    }
  if (where) *where = bounds;
  return differ;
}

}  // namespace corvane::test
