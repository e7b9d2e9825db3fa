// The lister's find prompt (Ctrl+F) and find next (F3), calling
// ListSearchTextW with the host's flag bits: find first, match case, whole
// words, backwards.
#include "lister_host.h"

namespace {

enum TControlId { idText = 10, idMatchCase, idWholeWords, idBackwards };

const wchar_t kPromptClass[] = L"CorvaneListerFind";

HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                int h) {
  HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return control;
}

bool Checked(HWND prompt, int id) { return IsDlgButtonChecked(prompt, id) == BST_CHECKED; }

void Search(int flags) {
  if (!gHost.ListWin || gHost.LastSearch.empty()) return;
  Note("search: " + Utf8(gHost.LastSearch) + " flags " + std::to_string(flags));
  std::wstring text = gHost.LastSearch;
  gHost.Plugin.ListSearchTextW(gHost.ListWin, &text[0], flags);
}

void FindFromPrompt(HWND prompt) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(prompt, idText, text, 1024);
  gHost.LastSearch = text;
  gHost.LastSearchFlags = (Checked(prompt, idMatchCase) ? lcs_matchcase : 0) |
                          (Checked(prompt, idWholeWords) ? lcs_wholewords : 0) |
                          (Checked(prompt, idBackwards) ? lcs_backwards : 0);
  DestroyWindow(prompt);
  Search(lcs_findfirst | gHost.LastSearchFlags);
}

LRESULT CALLBACK PromptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) FindFromPrompt(window);
      else if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY:
      gHost.FindPrompt = nullptr;
      if (gHost.ListWin) SetFocus(gHost.ListWin);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPromptClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = PromptProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kPromptClass;
  registered = RegisterClassExW(&cls) != 0;
}

}  // namespace

void OpenFindPrompt() {
  if (gHost.FindPrompt) {
    SetForegroundWindow(gHost.FindPrompt);
    return;
  }
  RegisterPromptClass();
  RECT owner{};
  GetWindowRect(gHost.Main, &owner);
  HWND prompt = CreateWindowExW(WS_EX_DLGMODALFRAME, kPromptClass, L"Find", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                owner.left + 60, owner.top + 60, 340, 150, gHost.Main, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!prompt) return;
  HWND text = AddControl(prompt, L"EDIT", gHost.LastSearch.c_str(), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                         idText, 10, 10, 310, 22);
  AddControl(prompt, L"BUTTON", L"Match case", WS_TABSTOP | BS_AUTOCHECKBOX, idMatchCase, 10, 40, 100, 20);
  AddControl(prompt, L"BUTTON", L"Whole words", WS_TABSTOP | BS_AUTOCHECKBOX, idWholeWords, 115, 40, 100, 20);
  AddControl(prompt, L"BUTTON", L"Backwards", WS_TABSTOP | BS_AUTOCHECKBOX, idBackwards, 220, 40, 100, 20);
  AddControl(prompt, L"BUTTON", L"Find", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 150, 75, 80, 26);
  AddControl(prompt, L"BUTTON", L"Cancel", WS_TABSTOP, IDCANCEL, 240, 75, 80, 26);
  CheckDlgButton(prompt, idMatchCase, (gHost.LastSearchFlags & lcs_matchcase) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(prompt, idWholeWords, (gHost.LastSearchFlags & lcs_wholewords) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(prompt, idBackwards, (gHost.LastSearchFlags & lcs_backwards) ? BST_CHECKED : BST_UNCHECKED);
  gHost.FindPrompt = prompt;
  ShowWindow(prompt, SW_SHOW);
  SetFocus(text);
  Note("find-prompt: open");
}

void FindNext() {
  if (gHost.LastSearch.empty()) {
    OpenFindPrompt();
    return;
  }
  Search(gHost.LastSearchFlags);
}

bool IsFindPromptMessage(MSG* message) {
  return gHost.FindPrompt && IsDialogMessageW(gHost.FindPrompt, message);
}
