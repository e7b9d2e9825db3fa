#include "monkey_support_win.h"

#include <windows.h>
#include <commctrl.h>
#include <Scintilla.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>

namespace corvane::test {
namespace {

// ---- drawing actions ------------------------------------------------------------

const int kKeys[] = {VK_UP,   VK_DOWN,   VK_LEFT, VK_RIGHT,  VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_TAB,
                     VK_RETURN, VK_ESCAPE, VK_DELETE, VK_F3,  VK_SPACE, VK_F2,   VK_BACK, VK_INSERT, 'E',
                     'S',     'C',       'A',     'F',       'N',      'P',     '0',     '1',    '2',
                     '3',     '4',       '5',     '9'};

// Pieces of typed texts: numbers, booleans and nulls in both languages'
// spellings, YAML indicators, quotes, escapes, non-ASCII and a surrogate
// pair, filter operators.
const wchar_t* const kPieces[] = {
    L"42",   L"-7",     L"3.25",  L"1e5",     L"0x1F",  L"true",       L"false", L"yes",  L"no",
    L"null", L"~",      L"",      L"plain",   L"two words", L"a: b",   L" #c",   L"'q'",  L"\"dq\"",
    L"\\",   L"\u00E4\u00F6\u00DF", L"\u65E5\u672C", L"\xD83D\xDE00", L"[x]", L"{y}", L"- z", L"*ref",
    L"&anc", L"!tag",   L"\t",    L"2024-05-01", L"x,y", L"=",         L">5",    L"<3",   L"!",
    L"*",    L"1.5e300", L"007",  L"+1",      L" ",     L"\u00A0"};

// Weights of the action kinds, in the order of TAct.
const int kWeights[] = {26, 5, 12, 4, 8, 6, 4, 2, 2, 6, 2, 2, 1, 4, 10, 3, 1, 1, 1, 2};

std::wstring RandomText(std::mt19937& random) {
  std::wstring text;
  const int pieces = int(random() % 4);
  for (int i = 0; i < pieces; ++i) text += kPieces[random() % (sizeof kPieces / sizeof *kPieces)];
  return text;
}

TAct RandomAct(std::mt19937& random) {
  int total = 0;
  for (int weight : kWeights) total += weight;
  int pick = int(random() % unsigned(total));
  int kind = 0;
  while (pick >= kWeights[kind]) pick -= kWeights[kind++];
  return TAct(kind);
}

}  // namespace

std::vector<TMonkeyAction> MonkeyActions(uint32_t seed, int count) {
  std::mt19937 random(seed);
  std::vector<TMonkeyAction> actions;
  for (int i = 0; i < count; ++i) {
    TMonkeyAction action;
    action.Act = RandomAct(random);
    action.A = int(random() % 1000);
    action.B = int(random() % 1000);
    action.C = int(random() % 1000);
    switch (action.Act) {
      case TAct::Key:
        action.A = kKeys[random() % (sizeof kKeys / sizeof *kKeys)];
        action.B = random() % 5 < 2 ? 1 : 0;
        action.B |= random() % 7 == 0 ? 2 : 0;
        action.C = random() % 3 == 0 ? int(random() % 6) : 0;
        break;
      case TAct::Chars:
      case TAct::Filter:
      case TAct::Search:
      case TAct::EditCell: action.Text = RandomText(random); break;
      default: break;
    }
    actions.push_back(action);
  }
  return actions;
}

namespace {

const char* const kActNames[] = {"Key",     "Chars",  "GridClick", "HeaderClick", "Tree",    "Filter",  "Tab",
                                 "StatusClick", "Splitter", "ContextMenu", "Resize", "Wheel", "Theme", "Search",
                                 "EditCell", "Save",  "Outside",   "Reopen",      "Wait",    "TextClick"};

std::string Literal(const std::wstring& text) {
  std::string out = "L\"";
  char buffer[32];
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\') {
      out += char(c);
    } else {
      snprintf(buffer, sizeof buffer, "\\x%04X\" L\"", unsigned(c));
      out += buffer;
    }
  }
  return out + "\"";
}

}  // namespace

std::string DescribeAction(const TMonkeyAction& action) {
  std::ostringstream out;
  out << "{TAct::" << kActNames[int(action.Act)] << ", " << action.A << ", " << action.B << ", " << action.C << ", "
      << Literal(action.Text) << "}";
  return out.str();
}

namespace {

// The text of a printed literal: L"ab\x00E4" L"c" gives "ab\u00E4c".
std::wstring ReadLiteral(const std::string& line, size_t at) {
  std::wstring text;
  for (size_t i = line.find('"', at); i != std::string::npos && i < line.size();) {
    ++i;
    while (i < line.size() && line[i] != '"') {
      if (line[i] == '\\' && line[i + 1] == 'x') {
        text += wchar_t(std::stoul(line.substr(i + 2, 4), nullptr, 16));
        i += 6;
      } else {
        text += wchar_t(line[i++]);
      }
    }
    const size_t next = line.find("L\"", i);
    i = next == std::string::npos ? next : next + 1;
  }
  return text;
}

}  // namespace

std::vector<TMonkeyAction> ReadMonkeyScript(const std::string& text) {
  std::vector<TMonkeyAction> actions;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t name = line.find("TAct::");
    if (name == std::string::npos) continue;
    TMonkeyAction action;
    const size_t comma = line.find(',', name);
    const std::string kind = line.substr(name + 6, comma - name - 6);
    for (size_t k = 0; k < sizeof kActNames / sizeof *kActNames; ++k)
      if (kind == kActNames[k]) action.Act = TAct(k);
    sscanf(line.c_str() + comma + 1, "%d, %d, %d", &action.A, &action.B, &action.C);
    action.Text = ReadLiteral(line, line.find("L\"", comma));
    actions.push_back(action);
  }
  return actions;
}

// ---- answering modal loops ----------------------------------------------------------

namespace {

struct TModalState {
  const TMonkeyAction* Action = nullptr;
  HWND Main = nullptr;
  FListCloseWindow Close = nullptr;
  bool ClosedInside = false;
  bool Closing = false;
  std::vector<HWND> Answered;
  TMonkeyTotals* Totals = nullptr;
};
TModalState gModal;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (std::find(gModal.Answered.begin(), gModal.Answered.end(), window) != gModal.Answered.end()) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// A message box: one of the buttons it has, by the action's choice.
void AnswerBox(HWND box) {
  std::vector<int> buttons;
  for (int id : {IDYES, IDNO, IDCANCEL, IDOK})
    if (GetDlgItem(box, id)) buttons.push_back(id);
  gModal.Answered.push_back(box);
  if (gModal.Totals) ++gModal.Totals->Boxes;
  const int id = buttons.empty() ? IDCANCEL : buttons[size_t(gModal.Action->A) % buttons.size()];
  PostMessageW(box, WM_COMMAND, WPARAM(id), 0);
}

// A popup menu: an enabled entry chosen (its command arrives after the
// loop, as the menu would send it), nothing chosen, or the viewer closed
// from inside the loop.
void AnswerMenu(HWND window) {
  if (gModal.Closing) return void(EndMenu());
  const int mode = gModal.Action->Act == TAct::ContextMenu ? gModal.Action->B % 8 : 0;
  if (mode == 7 && gModal.Close && gModal.Main) {
    gModal.Closing = true;
    gModal.Close(gModal.Main);
    gModal.ClosedInside = true;
    if (IsWindow(window) && IsWindowVisible(window)) EndMenu();
    return;
  }
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  std::vector<UINT> enabled;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    if (!(info.fType & MFT_SEPARATOR) && !(info.fState & MFS_GRAYED)) enabled.push_back(info.wID);
  }
  EndMenu();
  PostMessageW(window, WM_NULL, 0, 0);  // wakes the loop to see its end
  if (mode == 6 || enabled.empty()) return;
  if (gModal.Totals) ++gModal.Totals->MenuChoices;
  PostMessageW(gModal.Main, WM_COMMAND, enabled[size_t(gModal.Action->A) % enabled.size()], 0);
}

// Fires inside every modal loop while an action runs.
void CALLBACK ModalTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!gModal.Action) return;
  // A message box over a menu runs the inner loop: it is answered first.
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (box) return AnswerBox(box);
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu && IsWindowVisible(menu)) AnswerMenu(menu);
}

// A crash inside an action names the action before the process ends.
const std::vector<TMonkeyAction>* gCrashActions = nullptr;
int gCrashIndex = -1;
void PrintActionsSoFar(const char* what);

LONG CALLBACK CrashReport(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  const bool fatal = code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW ||
                     code == EXCEPTION_ILLEGAL_INSTRUCTION || code == EXCEPTION_INT_DIVIDE_BY_ZERO;
  if (fatal && gCrashActions && gCrashIndex >= 0) {
    fprintf(stderr, "monkey: exception %08lX\n", code);
    PrintActionsSoFar("a crash");
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// An action that does not come back names itself and ends the process.
volatile DWORD gActionStarted = 0;

void PrintActionsSoFar(const char* what) {
  fprintf(stderr, "monkey: %s in action %d; the actions up to it:\n", what, gCrashIndex);
  for (int i = 0; i <= gCrashIndex && i < int(gCrashActions->size()); ++i)
    fprintf(stderr, "  %s,\n", DescribeAction((*gCrashActions)[size_t(i)]).c_str());
  fflush(stderr);
}

DWORD WINAPI Watchdog(void*) {
  for (;;) {
    Sleep(1000);
    const DWORD started = gActionStarted;
    // Signed: the start (odd, never 0) may lie a tick after the watchdog's clock.
    if (started == 0 || int(GetTickCount() - started) < 30000 || !gCrashActions || gCrashIndex < 0) continue;
    PrintActionsSoFar("no answer for 30 s");
    TerminateProcess(GetCurrentProcess(), 3);
  }
}

// Dispatches what is queued; a queue that never drains (a window that
// keeps posting or never validates its paint) is a busy host: false, with
// the message that kept coming.
bool PumpUntilIdle(std::string* busy) {
  MSG message;
  for (int count = 0; count < 20000; ++count) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  wchar_t className[64] = {};
  GetClassNameW(message.hwnd, className, 64);
  *busy = "message " + std::to_string(message.message) + " to " + Utf8(className) + " keeps coming";
  return false;
}

// ---- one run --------------------------------------------------------------------------

std::string Extension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  return dot == std::string::npos ? ".yaml" : path.substr(dot);
}

std::string SourcePath(const std::string& file) {
  if (file.find_first_of("/\\") != std::string::npos) return file;
  return SourceDir() + "/tests/editing/corpus/" + file;
}

// The first number of a status text (" Rows: 3/10" gives 3), -1 without one.
int FirstNumber(const std::wstring& text) {
  const size_t digit = text.find_first_of(L"0123456789");
  return digit == std::wstring::npos ? -1 : _wtoi(text.c_str() + digit);
}

// What the rules compare an action's outcome with.
struct TBefore {
  bool Known = false;
  std::string Values, Patches;
  bool EditorOpen = false;
};

class TMonkeyRun {
 public:
  TMonkeyRun(TPluginDll& dll, const std::string& sourceFile, TMonkeyTotals* totals)
      : dll_(dll), totals_(totals ? totals : &ownTotals_) {
    path_ = dll.Dir.File("monkey" + Extension(sourceFile));
    scratch_ = dll.Dir.File("monkey-check" + Extension(sourceFile));
    WriteFileBytes(path_, ReadFileBytes(SourcePath(sourceFile)));
    disk_ = base_ = ReadFileBytes(path_);
    close_ = ListerExport<FListCloseWindow>(dll.Module(), "ListCloseWindow");
    load_ = ListerExport<FListLoadW>(dll.Module(), "ListLoadW");
    checkParent_ = CreateWindowExW(0, L"STATIC", L"check", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                   nullptr, nullptr);
  }
  ~TMonkeyRun() { DestroyWindow(checkParent_); }

  TMonkeyFailure Run(const std::vector<TMonkeyAction>& actions);

 private:
  bool Fail(int index, const std::string& invariant, const std::string& detail) {
    if (failure_.Failed) return false;
    failure_ = {true, index, invariant, detail};
    return false;
  }
  bool Open(int index);
  bool CloseViewer(int index, int answer);
  bool ResourcesBack(int index);
  void Perform(const TMonkeyAction& action);
  void PerformSome(const TMonkeyAction& action, const TViewerControls& v);
  void PerformMore(const TMonkeyAction& action, const TViewerControls& v);
  TBefore Snapshot();
  bool Check(int index, const TBefore& before, TBefore* after);
  bool CheckFile(int index, const TBefore& before);
  bool CheckValues(int index, const TBefore& before, TBefore* after);
  bool CheckRows(int index);
  std::string FreshValues(const std::string& path, bool* loaded);
  HWND KeyTarget(const TViewerControls& v, int pane);
  void ClickCell(const TViewerControls& v, int row, int column, int how);
  void EditCell(const TViewerControls& v, const TMonkeyAction& action);

  TPluginDll& dll_;
  TMonkeyTotals* totals_;
  TMonkeyTotals ownTotals_;
  std::string path_, scratch_;
  std::string disk_;  // what the file on disk must hold
  std::string base_;  // the bytes the viewer loaded or last saved
  FListCloseWindow close_ = nullptr;
  FListLoadW load_ = nullptr;
  HWND checkParent_ = nullptr;
  HWND main_ = nullptr;
  int liveAtStart_ = 0, caughtAtStart_ = 0;
  int index_ = -1;         // the action running
  bool savedNow_ = false;  // the action wrote the file
  TMonkeyFailure failure_;
};

bool TMonkeyRun::Open(int index) {
  std::wstring file = WinPath(path_);
  main_ = load_(dll_.Parent(), &file[0], 0);
  if (!main_) return Fail(index, "open", "the file did not open");
  RECT client{};
  GetClientRect(dll_.Parent(), &client);
  MoveWindow(main_, 0, 0, client.right, client.bottom, TRUE);
  SetForegroundWindow(dll_.Parent());
  base_ = disk_;
  return true;
}

bool TMonkeyRun::ResourcesBack(int index) {
  PumpMessages();
  const int live = dll_.LiveTotal() - liveAtStart_;
  if (live != 0) return Fail(index, "resources", std::to_string(live) + " owned objects left after the close");
  if (CountChildren(dll_.Parent()) != 0) return Fail(index, "resources", "windows left after the close");
  return true;
}

// Closes the viewer, answering a question with the answer's button.
bool TMonkeyRun::CloseViewer(int index, int answer) {
  TMonkeyAction closing;
  closing.A = answer;
  gModal.Action = &closing;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, ModalTimer);
  close_(main_);
  main_ = nullptr;
  PumpMessages();
  KillTimer(nullptr, timer);
  gModal.Action = nullptr;
  return ResourcesBack(index);
}

HWND TMonkeyRun::KeyTarget(const TViewerControls& v, int pane) {
  HWND target = nullptr;
  switch (pane % 6) {
    case 1: target = v.Grid; break;
    case 2: target = v.Tree; break;
    case 3: target = v.Text && IsWindowVisible(v.Text) ? v.Text : nullptr; break;
    case 4: target = GetDlgItem(v.Tab, 1000); break;
    case 5: target = GetDlgItem(v.Grid, 106); break;
    default: break;
  }
  if (target && IsWindowVisible(target)) {
    SetFocus(target);
    return target;
  }
  const HWND focus = GetFocus();
  return focus && IsChild(main_, focus) ? focus : v.Grid;
}

void TMonkeyRun::ClickCell(const TViewerControls& v, int row, int column, int how) {
  const int rows = ItemCount(v.Grid);
  const int columns = std::max<int>(1, int(HeaderTexts(v.Grid).size()));
  NMITEMACTIVATE click{};
  click.iItem = row % (rows + 2) - 1;  // -1 and one past the end too
  click.iSubItem = column % columns;
  SetFocus(v.Grid);
  if (click.iItem >= 0 && click.iItem < rows) {
    ListView_SetItemState(v.Grid, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(v.Grid, click.iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  BYTE keys[256] = {};
  if (how == 2) keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  Notify(v.Main, v.Grid, how == 1 ? NM_DBLCLK : NM_CLICK, &click.hdr);
  BYTE none[256] = {};
  SetKeyboardState(none);
}

void TMonkeyRun::EditCell(const TViewerControls& v, const TMonkeyAction& action) {
  ClickCell(v, action.A, action.B, 0);
  if (!IsWindow(main_)) return;
  PressKey(v.Grid, VK_RETURN);
  HWND box = GetDlgItem(v.Grid, 106);
  if (!box && (action.B & 4) && IsWindow(main_)) {
    PressKey(v.Grid, 'E', true);
    PressKey(v.Grid, VK_RETURN);
    box = GetDlgItem(v.Grid, 106);
  }
  if (!box) return;
  if (action.B & 8)
    SendMessageW(box, EM_SETSEL, WPARAM(-1), -1);
  else
    SendMessageW(box, EM_SETSEL, 0, -1);
  for (wchar_t c : action.Text) {
    if (!IsWindow(box)) return;
    const SHORT key = VkKeyScanW(c);
    if (key != -1) SendMessageW(box, WM_KEYDOWN, WPARAM(LOBYTE(key)), 1);
    if (IsWindow(box)) SendMessageW(box, WM_CHAR, WPARAM(c), 1);
  }
  if (!IsWindow(box) || action.C % 3 == 2) return;
  PressKey(box, action.C % 3 == 0 ? VK_RETURN : VK_ESCAPE);
}

void TMonkeyRun::Perform(const TMonkeyAction& action) {
  const TViewerControls v(main_);
  if (int(action.Act) <= int(TAct::Splitter))
    PerformSome(action, v);
  else
    PerformMore(action, v);
}

void TMonkeyRun::PerformSome(const TMonkeyAction& a, const TViewerControls& v) {
  switch (a.Act) {
    case TAct::Key: PressKey(KeyTarget(v, a.C), a.A, (a.B & 1) != 0, (a.B & 2) != 0); break;
    case TAct::Chars: TypeText(KeyTarget(v, a.C), a.Text); break;
    case TAct::GridClick: ClickCell(v, a.A, a.B, a.C % 3); break;
    case TAct::HeaderClick: {
      NMLISTVIEW click{};
      click.iItem = -1;
      click.iSubItem = a.A % std::max<int>(1, int(HeaderTexts(v.Grid).size()));
      Notify(v.Main, v.Grid, LVN_COLUMNCLICK, &click.hdr);
      break;
    }
    case TAct::Tree: {
      std::vector<HTREEITEM> items;
      for (HTREEITEM item = TreeView_GetRoot(v.Tree); item; item = TreeView_GetNextVisible(v.Tree, item))
        items.push_back(item);
      if (items.empty()) break;
      HTREEITEM item = items[size_t(a.A) % items.size()];
      if (a.B % 3 == 2) SetFocus(v.Tree);
      if (a.B % 3 == 1)
        TreeView_Expand(v.Tree, item, TVE_TOGGLE);
      else
        TreeView_SelectItem(v.Tree, item);
      break;
    }
    case TAct::Filter: {
      std::vector<HWND> edits;
      for (int i = 0; i < 64; ++i)
        if (HWND edit = GetDlgItem(v.Tab, 1000 + i); edit && IsWindowVisible(edit)) edits.push_back(edit);
      if (edits.empty()) break;
      HWND edit = edits[size_t(a.A) % edits.size()];
      SetFocus(edit);
      SendMessageW(edit, EM_SETSEL, a.B % 2 ? WPARAM(-1) : 0, -1);
      if (a.B % 2 == 0) SendMessageW(edit, WM_CLEAR, 0, 0);
      TypeText(edit, a.Text);
      break;
    }
    case TAct::Tab:
      TabCtrl_SetCurSel(v.Tab, a.A % 2);
      Notify(v.Main, v.Tab, TCN_SELCHANGE);
      break;
    case TAct::StatusClick: {
      NMMOUSE click{};
      click.dwItemSpec = DWORD_PTR(a.A % 7);
      Notify(v.Main, v.Status, NM_CLICK, &click.hdr);
      break;
    }
    case TAct::Splitter: {
      RECT tree{}, tab{};
      GetWindowRect(v.Tree, &tree);
      GetWindowRect(v.Tab, &tab);
      POINT grab{(tree.right + tab.left) / 2, tree.top + 5};
      ScreenToClient(v.Main, &grab);
      RECT client{};
      GetClientRect(v.Main, &client);
      SendMessageW(v.Main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
      const int x = a.A % (client.right + 40) - 20;
      SendMessageW(v.Main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, grab.y));
      SendMessageW(v.Main, WM_LBUTTONUP, 0, MAKELPARAM(x, grab.y));
      break;
    }
    default: break;
  }
}

void TMonkeyRun::PerformMore(const TMonkeyAction& a, const TViewerControls& v) {
  switch (a.Act) {
    case TAct::ContextMenu: {
      RECT r{};
      GetWindowRect(a.C % 3 == 1 ? v.Grid : v.Main, &r);
      const int x = r.left + a.A % std::max<int>(1, r.right - r.left);
      const int y = r.top + a.C % std::max<int>(1, r.bottom - r.top);
      SendMessageW(v.Main, WM_CONTEXTMENU, WPARAM(v.Main), a.C % 3 == 0 ? LPARAM(-1) : MAKELPARAM(x, y));
      break;
    }
    case TAct::Resize: {
      const int width = a.C % 5 == 1 ? 2 : 200 + a.A, height = a.C % 5 == 1 ? 2 : 120 + a.B % 700;
      MoveWindow(dll_.Parent(), 0, 0, width, height, TRUE);
      RECT client{};
      GetClientRect(dll_.Parent(), &client);
      MoveWindow(v.Main, 0, 0, client.right, client.bottom, TRUE);
      break;
    }
    case TAct::Wheel:
      SendMessageW(KeyTarget(v, a.C), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, a.A % 2 ? 120 : -120),
                   MAKELPARAM(100, 100));
      break;
    case TAct::Theme: {
      const int flags[] = {0, lcp_darkmode, lcp_darkmode | lcp_darkmodenative, lcp_darkmodenative};
      dll_.SendCommand(v.Main, lc_newparams, flags[a.A % 4]);
      break;
    }
    case TAct::Search: dll_.Search(v.Main, a.Text, a.A % 16); break;
    case TAct::EditCell: EditCell(v, a); break;
    case TAct::Save: PressKey(KeyTarget(v, 0), 'S', true); break;
    case TAct::Outside:
      if (a.A % 2 == 0) disk_ += "\n# changed outside\n";
      WriteFileBytes(path_, disk_);
      break;
    case TAct::Reopen:
      if (CloseViewer(index_, a.A)) Open(index_);
      break;
    case TAct::Wait: PumpMessages(300); break;
    case TAct::TextClick: {
      if (!v.Text || !IsWindowVisible(v.Text)) break;
      const int length = int(SendMessageW(v.Text, SCI_GETLENGTH, 0, 0));
      SetFocus(v.Text);
      SendMessageW(v.Text, SCI_GOTOPOS, WPARAM(a.A % (length + 1)), 0);
      if (a.B % 2) SendMessageW(v.Text, SCI_SETSEL, WPARAM(a.A % (length + 1)), LPARAM(a.C % (length + 1)));
      break;
    }
    default: break;
  }
}

// ---- the rules checked after every action -------------------------------------------

std::string TMonkeyRun::FreshValues(const std::string& path, bool* loaded) {
  const HWND focus = GetFocus();
  std::wstring file = WinPath(path);
  HWND fresh = load_(checkParent_, &file[0], 0);
  *loaded = fresh != nullptr;
  std::string values = fresh ? dll_.PathValues(fresh) : std::string();
  if (fresh) close_(fresh);
  if (focus && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
  return values;
}

// The file changes only on a save, and then holds the loaded bytes with
// the pending patches put in; it loads and shows what the viewer showed.
bool TMonkeyRun::CheckFile(int index, const TBefore& before) {
  const std::string now = ReadFileBytes(path_);
  savedNow_ = now != disk_;
  if (!savedNow_) return true;
  if (base_ != disk_) return Fail(index, "file", "written although it had changed on disk since it was loaded");
  if (!before.EditorOpen && now != Applied(base_, ParsePatches(before.Patches)))
    return Fail(index, "file", "the saved bytes are not the loaded bytes with the pending patches");
  bool loaded = false;
  const std::string saved = FreshValues(path_, &loaded);
  if (!loaded) return Fail(index, "file", "the saved file does not load");
  const bool alive = main_ && IsWindow(main_);
  if (alive && saved != dll_.PathValues(main_))
    return Fail(index, "values", "the saved file shows other values than the viewer");
  if (!alive && !before.EditorOpen && saved != before.Values)
    return Fail(index, "values", "the file saved on close shows other values than the viewer did");
  if (alive && !dll_.PendingPatches(main_).empty()) return Fail(index, "file", "patches left after a save");
  disk_ = base_ = now;
  ++totals_->Saves;
  return true;
}

// No shown value changes without an accepted edit, and what the patches
// would write loads as exactly what the viewer shows.
TBefore TMonkeyRun::Snapshot() {
  TBefore state;
  state.Known = true;
  state.Values = dll_.PathValues(main_);
  state.Patches = dll_.PendingPatches(main_);
  state.EditorOpen = GetDlgItem(GetDlgItem(GetDlgItem(main_, 102), 103), 106) != nullptr;
  return state;
}

bool TMonkeyRun::CheckValues(int index, const TBefore& before, TBefore* after) {
  *after = Snapshot();
  const std::string& values = after->Values;
  const std::string& patches = after->Patches;
  if (patches == before.Patches) {
    // An edit box still open may commit and save within one action (Ctrl+S).
    const bool committedAndSaved = savedNow_ && before.EditorOpen;
    if (values != before.Values && !committedAndSaved)
      return Fail(index, "values", "values changed without an accepted edit");
    return true;
  }
  ++totals_->Edits;
  if (patches.empty()) return true;
  WriteFileBytes(scratch_, Applied(base_, ParsePatches(patches)));
  bool loaded = false;
  const std::string patched = FreshValues(scratch_, &loaded);
  if (!loaded) return Fail(index, "edit", "the text with the pending patches does not load");
  if (patched != values) return Fail(index, "values", "the pending patches would save other values than shown");
  return true;
}

// The status bar's row count, the grid's item count and the viewer's
// visible rows agree.
bool TMonkeyRun::CheckRows(int index) {
  const TViewerControls v(main_);
  const int items = ItemCount(v.Grid), visible = dll_.VisibleRows(main_);
  const int shown = FirstNumber(StatusText(v.Status, 4));
  if (items != visible || shown != visible)
    return Fail(index, "rows",
                "grid " + std::to_string(items) + ", viewer " + std::to_string(visible) + ", status " +
                    std::to_string(shown));
  return true;
}

bool TMonkeyRun::Check(int index, const TBefore& before, TBefore* after) {
  if (!CheckFile(index, before)) return false;
  const int caught = dll_.CaughtExceptions() - caughtAtStart_;
  if (caught != 0) return Fail(index, "exception", std::to_string(caught) + " failures dropped by the barriers");
  if (!main_) return true;
  if (!IsWindow(main_)) return Fail(index, "alive", "the viewer's window is gone");
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
    return Fail(index, "alive", "the viewer's window does not answer");
  return CheckRows(index) && CheckValues(index, before, after);
}

TMonkeyFailure TMonkeyRun::Run(const std::vector<TMonkeyAction>& actions) {
  liveAtStart_ = dll_.LiveTotal();
  caughtAtStart_ = dll_.CaughtExceptions();
  gModal = TModalState{};
  gModal.Close = close_;
  gModal.Totals = totals_;
  gCrashActions = &actions;
  if (!Open(-1)) return failure_;
  TBefore before;
  for (size_t i = 0; i < actions.size() && !failure_.Failed; ++i) {
    if (!main_ && !Open(int(i))) break;
    if (!before.Known) before = Snapshot();
    TBefore next;
    gModal.Action = &actions[i];
    gModal.Main = main_;
    gModal.ClosedInside = gModal.Closing = false;
    gModal.Answered.clear();
    gCrashIndex = index_ = int(i);
    gActionStarted = GetTickCount() | 1;
    const DWORD gActionStarted0 = gActionStarted;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, ModalTimer);
    Perform(actions[i]);
    std::string busy;
    const bool idle = PumpUntilIdle(&busy);
    KillTimer(nullptr, timer);
    gModal.Action = nullptr;
    gCrashIndex = -1;
    gActionStarted = 0;
    ++totals_->Actions;
    if (actions[i].Act == TAct::Reopen) ++totals_->Reopens;
    if (gModal.ClosedInside) {
      main_ = nullptr;
      ++totals_->Reopens;
      if (!ResourcesBack(int(i))) break;
    }
    const bool held = (idle || Fail(int(i), "idle", busy)) && Check(int(i), before, &next);
    before = next;
    totals_->Milliseconds[int(actions[i].Act)] += long(GetTickCount() - (gActionStarted0));
    if (!held) break;
  }
  if (main_) {
    before = Snapshot();
    before.EditorOpen = true;
    CloseViewer(int(actions.size()), 1);  // the question, if any, answered No
    TBefore ignored;
    Check(int(actions.size()), before, &ignored);
  }
  gCrashActions = nullptr;
  return failure_;
}

}  // namespace

TMonkeyFailure RunMonkey(TPluginDll& dll, const std::string& sourceFile, const std::vector<TMonkeyAction>& actions,
                         TMonkeyTotals* totals) {
  static const PVOID handler = AddVectoredExceptionHandler(1, CrashReport);
  static const HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  (void)handler;
  (void)watchdog;
  TMonkeyRun run(dll, sourceFile, totals);
  return run.Run(actions);
}

std::vector<TMonkeyAction> ShrinkMonkey(TPluginDll& dll, const std::string& sourceFile,
                                        const std::vector<TMonkeyAction>& actions, const TMonkeyFailure& failure,
                                        int maxRuns) {
  std::vector<TMonkeyAction> best(actions.begin(),
                                  actions.begin() + std::min<size_t>(actions.size(), size_t(failure.Index + 1)));
  int runs = 0;
  const auto stillFails = [&](std::vector<TMonkeyAction>& candidate) {
    ++runs;
    const TMonkeyFailure again = RunMonkey(dll, sourceFile, candidate);
    if (!again.Failed || again.Invariant != failure.Invariant) return false;
    if (again.Index >= 0 && size_t(again.Index) + 1 < candidate.size()) candidate.resize(size_t(again.Index) + 1);
    return true;
  };
  for (size_t chunk = std::max<size_t>(1, best.size() / 2); runs < maxRuns; chunk = std::max<size_t>(1, chunk / 2)) {
    bool dropped = false;
    for (size_t at = 0; at < best.size() && runs < maxRuns;) {
      std::vector<TMonkeyAction> candidate(best.begin(), best.begin() + at);
      candidate.insert(candidate.end(), best.begin() + std::min(best.size(), at + chunk), best.end());
      if (stillFails(candidate)) {
        best = candidate;
        dropped = true;
      } else {
        at += chunk;
      }
    }
    if (chunk == 1 && !dropped) break;
  }
  return best;
}

std::string MonkeyReport(uint32_t seed, const std::string& sourceFile, const TMonkeyFailure& failure,
                         const std::vector<TMonkeyAction>& shrunk) {
  std::ostringstream out;
  out << "monkey: seed " << seed << ", file " << sourceFile << ": rule \"" << failure.Invariant
      << "\" broken after action " << failure.Index << ": " << failure.Detail << "\n"
      << "the least actions that still break it (" << shrunk.size() << "), as a script:\n"
      << "  ExpectScriptHolds(\"" << sourceFile << "\", {\n";
  for (const TMonkeyAction& action : shrunk) out << "      " << DescribeAction(action) << ",\n";
  out << "  });\n";
  return out.str();
}

}  // namespace corvane::test
