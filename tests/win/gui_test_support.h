// Helpers of the Windows GUI tests: the plug-in loaded by path into this
// process with a parent window standing in for the host's lister window,
// and readers for what a user would see in the real controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"
#include "uListerInterface.h"

namespace corvane::test {

// Folder of this test program (the build's bin folder).
std::wstring ProgramFolder();
// A UTF-8 path as a Windows path.
std::wstring WinPath(const std::string& utf8);
std::string Utf8(const std::wstring& text);

// The plug-in DLL under test: "corvane.wlx64" (shipped) or
// "corvane_test.wlx64" (recording side effects, counting live resources)
// from the test folder, or a plug-in file named by its full path.
class TPluginDll {
 public:
  explicit TPluginDll(const wchar_t* name = L"corvane_test.wlx64");
  ~TPluginDll();
  TPluginDll(const TPluginDll&) = delete;
  TPluginDll& operator=(const TPluginDll&) = delete;

  HMODULE Module() const { return module_; }
  HWND Parent() const { return parent_; }
  // The host's default settings file (written before every open).
  const std::string& IniFile() const { return ini_; }
  void WriteIni(const std::string& keyValueLines);
  std::string ReadIni() const;

  HWND Open(const std::string& path, int showFlags = 0);
  // Writes the text to doc.yaml in the temporary folder and opens it; the
  // outside log starts empty.
  HWND OpenYaml(const std::string& yaml, int showFlags = 0);
  void Close(HWND window);
  int Search(HWND window, const std::wstring& text, int flags);
  int SendCommand(HWND window, int command, int parameter);

  // Test flavour only.
  int LiveCount(int kind) const;
  int LiveTotal() const;  // every kind together
  std::wstring TakeOutsideLog() const;
  // Visual styles the plug-in asked for ("style CLASS [APP|LIST]" lines).
  std::wstring TakeStyleLog() const;
  void FailNextOutsideCall() const;
  // The viewer's pending patches: "START LENGTH SIZE REPLACEMENT\n" each.
  std::string PendingPatches(HWND window) const;
  // Every scalar the viewer shows, "PATH<TAB>VALUE\n" each; the rows its
  // grid shows by its own count (-1 without a viewer); the failures the
  // plug-in's exception barriers dropped.
  std::string PathValues(HWND window) const;
  int VisibleRows(HWND window) const;
  int CaughtExceptions() const;

  TempDir Dir;

 private:
  template <typename F>
  F Export(const char* name) const { return ListerExport<F>(module_, name); }

  HMODULE module_ = nullptr;
  HWND parent_ = nullptr;
  std::string ini_;
};

// One pending patch of a viewer (TPluginDll::PendingPatches), and the
// original bytes with the patches (sorted, disjoint) put in.
struct TPatchSeen {
  int64_t Start = 0, Length = 0;
  std::string Replacement;
};
std::vector<TPatchSeen> ParsePatches(const std::string& lines);
std::string Applied(const std::string& original, const std::vector<TPatchSeen>& patches);

// Windows below parent, at any depth.
int CountChildren(HWND parent);

// The viewer's controls.
struct TViewerControls {
  explicit TViewerControls(HWND main);
  HWND Main, Tree, Tab, Grid, Text, Status, Header;
};

// Tree: the selected entry's label, the labels of an entry's children.
std::wstring TreeItemText(HWND tree, HTREEITEM item);
std::wstring SelectedTreeText(HWND tree);
std::vector<std::wstring> TreeChildTexts(HWND tree, HTREEITEM parent);
HTREEITEM TreeRoot(HWND tree);
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, int index);

// Grid: counts, header texts, a cell's text through LVN_GETDISPINFOW,
// selected rows.
int ItemCount(HWND grid);
std::vector<std::wstring> HeaderTexts(HWND grid);
std::wstring CellText(HWND grid, int row, int column);
std::vector<int> SelectedRows(HWND grid);

// The cell editor (edit box 106, a child of the grid) after a click on a
// cell and Enter, as a user opens it; nullptr when it did not open.
HWND OpenCellEditor(const TViewerControls& v, int row, int column);
// A window's text (an edit box's contents).
std::wstring WindowTextOf(HWND window);

// Status bar part texts (SB_GETTEXTW).
std::wstring StatusText(HWND status, int part);
std::vector<std::wstring> StatusTexts(HWND status);

// Presses a key in a control with the given modifiers held
// (SetKeyboardState, then WM_KEYDOWN).
void PressKey(HWND control, int virtualKey, bool ctrl = false, bool shift = false);
// Sends a notification from a control to a window (as the control would).
LRESULT Notify(HWND to, HWND from, UINT code, NMHDR* header = nullptr);
void PumpMessages(int milliseconds = 0);

// A popup menu as it showed while its modal loop ran.
struct TMenuItemSeen {
  UINT Id = 0;
  std::wstring Text;
  bool Grayed = false, Checked = false, Separator = false;
};
struct TMenuSeen {
  bool Opened = false;
  RECT Rect{};
  std::vector<TMenuItemSeen> Items;
  const TMenuItemSeen* Find(UINT id) const;
};
// Runs open (which enters a menu loop), reads the menu from inside the
// loop, then closes it with the given keys posted to the menu (none:
// EndMenu, nothing chosen).
TMenuSeen CaptureMenu(const std::function<void()>& open, const std::vector<int>& keys = {});

// A message box as it showed while its modal loop ran.
struct TMessageBoxSeen {
  std::wstring Caption, Text;
};
// What to do with one message box while its loop runs: usually press a
// button (AnswerWith), maybe after doing more inside the loop.
using TBoxAnswer = std::function<void(HWND box)>;
TBoxAnswer AnswerWith(int buttonId);
// Runs open; every message box of this thread that opens meanwhile is read
// and handed to the next answer, in order (a box beyond the answers is
// answered with IDNO). Returns the boxes seen.
std::vector<TMessageBoxSeen> AnswerMessageBoxes(const std::function<void()>& open,
                                                std::vector<TBoxAnswer> answers);
// True while AnswerMessageBoxes runs.
bool MessageBoxesAnswered();
// Runs open (which enters a popup menu's loop) and calls inside from within
// that loop; the menu is ended afterwards if inside did not end it. True
// when the menu was seen.
bool InsideMenu(const std::function<void()>& open, const std::function<void()>& inside);


// The process's private memory in bytes.
size_t PrivateBytes();

// Types text into an edit as keystrokes (WM_CHAR per character).
void TypeText(HWND edit, const std::wstring& text);
// The clipboard's CF_UNICODETEXT, or "(none)".
std::wstring ClipboardText();
// The text pane (a Scintilla control; positions are bytes of its UTF-8
// text): the bytes of a range, the selection, and the look of a range: the
// style of every byte (SCI_GETSTYLEAT), its foreground colour and weight,
// and whether the whole range shares one style.
std::string PaneText(HWND text, int64_t start, int64_t end);
std::pair<int64_t, int64_t> PaneSelection(HWND text);
struct TStyleSeen {
  int Style = -1;
  COLORREF Colour = 0;
  bool Bold = false;
  bool Uniform = false;
};
TStyleSeen PaneStyle(HWND text, int64_t start, int64_t end);

// Pixels of a window's client area that differ between what is on screen
// now and what a full repaint of it and its children puts there: paint
// left over from an earlier state. *where (when given) bounds them.
int LeftoverPixels(HWND window, RECT* where = nullptr);

// A 32-bit bitmap selected into a memory device context, for painting code
// to draw into and the test to read back.
class TCanvas {
 public:
  TCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  HDC Dc() const { return dc_; }
  COLORREF Pixel(int x, int y) const;
  // Number of pixels in the rectangle that differ from a colour.
  int CountOther(const RECT& area, COLORREF colour) const;
  // Smallest and largest x in the rectangle with a pixel not of colour
  // (-1 when there is none).
  int FirstOtherX(const RECT& area, COLORREF colour) const;
  int LastOtherX(const RECT& area, COLORREF colour) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace corvane::test
