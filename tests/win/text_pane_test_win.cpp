// The Text tab: the document's bytes in the Scintilla control, styled by the
// colouring rules as lines come on screen, the selection carried between
// grid and text by the nodes' exact spans, the host's search, theme, zoom,
// copy and links, and two loaded copies of the plug-in side by side.
#include <windows.h>
#include <commctrl.h>
#include <Scintilla.h>

#include <gtest/gtest.h>

#include <memory>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

constexpr COLORREF kPlain = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(128, 0, 128);
constexpr COLORREF kString = RGB(0, 128, 0);
constexpr COLORREF kBoolean = RGB(0, 0, 255);
constexpr COLORREF kNull = RGB(255, 0, 0);
constexpr COLORREF kComment = RGB(110, 110, 110);

LRESULT Sci(HWND text, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageW(text, message, wParam, lParam);
}

class TextPane : public ::testing::Test {
 protected:
  HWND Open(const std::string& text, const char* name = "doc.yaml") {
    const std::string path = dll_.Dir.File(name);
    WriteFileBytes(path, text);
    HWND main = dll_.Open(path);
    dll_.TakeOutsideLog();
    return main;
  }
  static HWND ShowTab(HWND main, int tab) {
    TViewerControls v(main);
    TabCtrl_SetCurSel(v.Tab, tab);
    Notify(main, v.Tab, TCN_SELCHANGE);
    PumpMessages();
    return GetDlgItem(v.Tab, 104);
  }
  // The style of the first occurrence of piece after `after`; fails when the
  // piece is not of one style.
  static TStyleSeen StyleOf(HWND text, const std::string& all, const std::string& piece,
                            const std::string& after = "") {
    const size_t at = all.find(piece, all.find(after));
    EXPECT_NE(at, std::string::npos) << piece;
    const TStyleSeen seen = PaneStyle(text, int64_t(at), int64_t(at + piece.size()));
    EXPECT_TRUE(seen.Uniform) << piece;
    return seen;
  }
  // A click on a grid cell, as the user makes it current.
  static void ClickCell(const TViewerControls& v, int row, int column) {
    ListView_SetItemState(v.Grid, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(v.Grid, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NMITEMACTIVATE click{};
    click.iItem = row;
    click.iSubItem = column;
    Notify(v.Main, v.Grid, NM_CLICK, &click.hdr);
  }
  // The selected bytes, and whether their line is on screen with its start.
  static std::string Selected(HWND text) {
    const auto [start, end] = PaneSelection(text);
    return PaneText(text, start, end);
  }
  static bool LineStartShown(HWND text) {
    const int64_t line = Sci(text, SCI_LINEFROMPOSITION, WPARAM(PaneSelection(text).first));
    const int64_t first = Sci(text, SCI_GETFIRSTVISIBLELINE);
    return line >= first && line < first + Sci(text, SCI_LINESONSCREEN) && Sci(text, SCI_GETXOFFSET) == 0;
  }
  TPluginDll dll_;
};

TEST_F(TextPane, yaml_lines_get_key_string_number_null_and_comment_styles) {
  const std::string doc = "items:\n  - name: \"a: b\" # note\nratio: a:b\ntime: 12:30\nkey: ~\nother: Null\n"
                          "list: [1, -2]\ncaf\xC3\xA9: \xC3\xBC\n";
  HWND main = Open(doc);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(IsWindowVisible(text));
  EXPECT_EQ(Sci(text, SCI_GETLENGTH), LRESULT(doc.size()));  // the bytes themselves
  EXPECT_EQ(StyleOf(text, doc, "  - ").Colour, kPlain);
  EXPECT_EQ(StyleOf(text, doc, "name").Colour, kKey);
  EXPECT_EQ(StyleOf(text, doc, "\"a: b\"").Colour, kString);
  EXPECT_EQ(StyleOf(text, doc, "# note").Colour, kComment);
  EXPECT_EQ(StyleOf(text, doc, "a:b").Colour, kString);
  EXPECT_EQ(StyleOf(text, doc, "12:30").Colour, kBoolean);
  EXPECT_EQ(StyleOf(text, doc, "~").Colour, kNull);
  EXPECT_EQ(StyleOf(text, doc, "Null").Colour, kString);
  EXPECT_EQ(StyleOf(text, doc, "[", "list").Colour, kPlain);
  EXPECT_EQ(StyleOf(text, doc, "-", "[1").Colour, kPlain);
  EXPECT_EQ(StyleOf(text, doc, "2", "[1").Colour, kBoolean);
  EXPECT_EQ(StyleOf(text, doc, "caf\xC3\xA9").Colour, kKey);  // every byte of a character
  EXPECT_EQ(StyleOf(text, doc, "\xC3\xBC").Colour, kString);
  EXPECT_FALSE(StyleOf(text, doc, "name").Bold);
  dll_.Close(main);
}

TEST_F(TextPane, toml_headers_and_keys_are_bold_when_asked) {
  dll_.WriteIni("font-use-bold=1\r\n");
  const std::string doc = "title = \"x\"\n[server.alpha] # x\nports = [ 8001, 8002 ]\n";
  HWND main = Open(doc, "doc.toml");
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  const TStyleSeen header = StyleOf(text, doc, "[server.alpha] # x");
  EXPECT_EQ(header.Colour, kKey);
  EXPECT_TRUE(header.Bold);
  EXPECT_EQ(StyleOf(text, doc, "ports").Colour, kKey);
  EXPECT_EQ(StyleOf(text, doc, "8001").Colour, kBoolean);
  EXPECT_EQ(StyleOf(text, doc, "8002").Colour, kBoolean);
  EXPECT_EQ(StyleOf(text, doc, "[", "ports").Colour, kPlain);
  EXPECT_EQ(StyleOf(text, doc, ",", "ports").Colour, kPlain);
  EXPECT_FALSE(StyleOf(text, doc, "\"x\"").Bold);
  // The setting is read again by the recolour request.
  dll_.WriteIni("");
  Sci(text, WM_USER + 49);
  EXPECT_FALSE(StyleOf(text, doc, "ports").Bold);
  dll_.Close(main);
}

// The control asks for the lines it draws; after a jump only those are
// styled, and the lines jumped over are styled when they come on screen.
TEST_F(TextPane, lines_are_styled_as_they_come_on_screen) {
  std::string doc;
  for (int i = 0; i < 3000; ++i) doc += "k" + std::to_string(i) + ": v\n";
  HWND main = Open(doc);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  const auto keyStyled = [&](int line) {
    UpdateWindow(text);
    return PaneStyle(text, Sci(text, SCI_POSITIONFROMLINE, line), Sci(text, SCI_POSITIONFROMLINE, line) + 2).Colour ==
           kKey;
  };
  EXPECT_TRUE(keyStyled(0));
  EXPECT_FALSE(keyStyled(2999));
  PressKey(text, VK_END, true);  // Ctrl+End
  EXPECT_TRUE(keyStyled(2999));
  EXPECT_FALSE(keyStyled(1500));
  Sci(text, SCI_GOTOLINE, 1500);
  EXPECT_TRUE(keyStyled(1500));
  const int64_t below = Sci(text, SCI_GETFIRSTVISIBLELINE) + Sci(text, SCI_LINESONSCREEN) + 3;
  EXPECT_FALSE(keyStyled(int(below)));
  PressKey(text, VK_NEXT);  // Page Down
  EXPECT_TRUE(keyStyled(int(below)));
  EXPECT_TRUE(keyStyled(0));  // lines scrolled out keep theirs
  dll_.Close(main);
}

// A value whose text occurs earlier in a long comment line, a value beyond
// the first 64 K characters, a key: each tab switch selects the node's own
// span and shows its line from its start.
TEST_F(TextPane, a_tab_switch_selects_the_cells_node_where_it_is) {
  const std::string filler = "# " + std::string(300, 'x') + " count: 3\n";
  std::string doc = "# The default count: 3 replicas, scaled by the operator later on " + std::string(200, '-') + "\n"
                    "replicaCount: 1\ncount: 3\n";
  for (int i = 0; i < 250; ++i) doc += filler;
  doc += "far: \"\xC3\xA9t\xC3\xA9 3\"\n";
  ASSERT_GT(doc.size(), 70000u);
  HWND main = Open(doc);
  TViewerControls v(main);
  ClickCell(v, 1, 1);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(PaneSelection(text).first, int64_t(doc.find("count: 3\n", 1) + 7));
  EXPECT_EQ(Selected(text), "3");
  EXPECT_TRUE(LineStartShown(text));
  ShowTab(main, 0);
  ClickCell(v, 2, 1);
  ShowTab(main, 1);
  EXPECT_EQ(Selected(text), "\"\xC3\xA9t\xC3\xA9 3\"");
  EXPECT_TRUE(LineStartShown(text));
  ShowTab(main, 0);
  ClickCell(v, 1, 0);
  ShowTab(main, 1);
  EXPECT_EQ(Selected(text), "count");
  EXPECT_EQ(PaneSelection(text).first, int64_t(doc.find("\ncount") + 1));
  EXPECT_TRUE(LineStartShown(text));
  dll_.Close(main);
}

// Back to the grid: a caret in a value or a key selects its cell; text
// selected in a comment is looked for in the grid; a caret in a comment
// leaves the grid as it was.
TEST_F(TextPane, find_selection_in_grid_takes_the_node_under_the_caret) {
  const std::string doc = "# see far and near\nnear: 1\nfar:\r\n  deep: \"x y\"\nlast: 2\n";
  HWND main = Open(doc);
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  const auto caretBack = [&](const std::string& piece, int into, int length = 0) {
    const int64_t at = int64_t(doc.find(piece)) + into;
    Sci(text, SCI_SETSEL, WPARAM(at), at + length);
    ShowTab(main, 0);
    const std::vector<int> rows = SelectedRows(v.Grid);
    const std::wstring where = (rows.size() == 1 ? std::to_wstring(rows[0]) : L"?") + StatusText(v.Status, 5);
    ShowTab(main, 1);
    return where;
  };
  EXPECT_EQ(caretBack("1\n", 0), L"0 1:2");         // a value
  EXPECT_EQ(caretBack("last", 2), L"2 3:1");        // a key
  EXPECT_EQ(caretBack("x y", 1), L"1 2:2");         // inside far's object: far's value cell
  EXPECT_EQ(caretBack("far and", 0, 3), L"1 2:1");  // text in a comment: the cell showing it
  EXPECT_EQ(caretBack("near\n", 1), L"1 2:1");      // a caret in a comment: nothing changes
  dll_.Close(main);
}

// After an edit the pane shows the patched text; the links use the
// replacement's span, and spans after it move with it.
TEST_F(TextPane, an_edit_is_shown_and_linked_where_it_was_written) {
  HWND main = Open("first: 1\nlabel: short\nlast: 2\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SetForegroundWindow(dll_.Parent());
  SetFocus(v.Grid);
  PressKey(v.Grid, 'E', true);  // edit mode
  HWND box = OpenCellEditor(v, 1, 1);
  ASSERT_NE(box, nullptr);
  SetWindowTextW(box, L"a much longer label");
  PressKey(box, VK_RETURN);
  ClickCell(v, 1, 1);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(PaneText(text, 0, Sci(text, SCI_GETLENGTH)), "first: 1\nlabel: a much longer label\nlast: 2\n");
  EXPECT_EQ(Selected(text), "a much longer label");
  ShowTab(main, 0);
  ClickCell(v, 2, 1);
  ShowTab(main, 1);
  EXPECT_EQ(Selected(text), "2");
  Sci(text, SCI_SETSEL, 20, 20);  // inside the new value
  ShowTab(main, 0);
  EXPECT_EQ(StatusText(v.Status, 5), L" 2:2");
  EXPECT_EQ(AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDNO)}).size(), 1u);
}

TEST_F(TextPane, host_search_runs_over_the_whole_text_both_ways_and_by_whole_words) {
  std::string doc = "id: user_id\r\n";
  for (int i = 0; i < 5000; ++i) doc += "k" + std::to_string(i) + ": \xC3\xA9t\xC3\xA9\r\n";
  doc += "key: id x\r\nlast: ID\r\n";
  HWND main = Open(doc);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  const auto find = [&](const wchar_t* needle, int flags) {
    dll_.Search(main, needle, flags);
    return PaneSelection(text).first;
  };
  EXPECT_EQ(find(L"id", 1), 0);
  EXPECT_EQ(GetFocus(), text);
  EXPECT_EQ(find(L"id", 0), 9);                                          // user_id
  EXPECT_EQ(find(L"id", 1 | 4), 0);                                      // whole words, from the start
  EXPECT_EQ(find(L"id", 4), int64_t(doc.find("id x")));                  // not user_id
  EXPECT_EQ(find(L"id", 1 | 8), int64_t(doc.rfind("ID")));               // backwards, any case
  EXPECT_EQ(find(L"id", 8), int64_t(doc.find("id x")));                  // on backwards
  EXPECT_EQ(find(L"id", 1 | 2 | 8), int64_t(doc.find("id x")));          // match case
  EXPECT_EQ(find(L"\u00E9t\u00E9", 1 | 8), int64_t(doc.rfind("\xC3\xA9t\xC3\xA9")));
  EXPECT_EQ(Selected(text), "\xC3\xA9t\xC3\xA9");
  dll_.TakeOutsideLog();
  find(L"absent", 1);
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 0\n");
  dll_.Close(main);
}

TEST_F(TextPane, theme_commands_colour_text_background_selection_and_margin) {
  HWND main = Open("key: value\n");
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  struct TExpected {
    int Command;
    COLORREF Back, Key, SelectionBack, MarginBack;
  };
  for (const TExpected& e : {TExpected{5018, RGB(32, 32, 32), RGB(200, 0, 200), RGB(72, 102, 102), RGB(52, 52, 52)},
                             TExpected{5017, RGB(255, 255, 255), kKey, RGB(10, 36, 106), RGB(240, 240, 240)},
                             TExpected{5005, RGB(255, 255, 255), kKey, RGB(10, 36, 106), RGB(240, 240, 240)}}) {
    SendMessageW(main, WM_COMMAND, WPARAM(e.Command), 0);
    EXPECT_EQ(COLORREF(Sci(text, SCI_STYLEGETBACK, STYLE_DEFAULT)), e.Back) << e.Command;
    EXPECT_EQ(COLORREF(Sci(text, SCI_STYLEGETBACK, 1)), e.Back) << e.Command;
    EXPECT_EQ(PaneStyle(text, 0, 3).Colour, e.Key) << e.Command;
    for (int element : {SC_ELEMENT_SELECTION_BACK, SC_ELEMENT_SELECTION_INACTIVE_BACK})
      EXPECT_EQ(COLORREF(Sci(text, SCI_GETELEMENTCOLOUR, element) & 0xFFFFFF), e.SelectionBack) << e.Command;
    EXPECT_EQ(COLORREF(Sci(text, SCI_STYLEGETBACK, STYLE_LINENUMBER)), e.MarginBack) << e.Command;
  }
  dll_.Close(main);
}

TEST_F(TextPane, font_zoom_line_numbers_and_copy_follow_the_viewer) {
  dll_.WriteIni("font=Tahoma\r\n");
  HWND main = Open("name: caf\xC3\xA9 \xE2\x82\xAC\n");
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  char face[64] = {};
  Sci(text, SCI_STYLEGETFONT, 1, reinterpret_cast<LPARAM>(face));
  EXPECT_STREQ(face, "Tahoma");
  EXPECT_GT(Sci(text, SCI_GETMARGINWIDTHN, 0), 0);  // "text-line-numbers" is on by default
  const LRESULT size = Sci(text, SCI_STYLEGETSIZEFRACTIONAL, 1);
  SendMessageW(text, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  EXPECT_GT(Sci(text, SCI_STYLEGETSIZEFRACTIONAL, 1), size);  // the viewer's zoom, not the control's own
  EXPECT_EQ(Sci(text, SCI_GETZOOM), 0);
  // Ctrl+C and the context menu's Copy put the selection on the clipboard.
  SetForegroundWindow(dll_.Parent());
  SetFocus(text);
  Sci(text, SCI_SETSEL, 6, 15);
  PressKey(text, 'C', true);
  EXPECT_EQ(ClipboardText(), L"caf\u00E9 \u20AC");
  Sci(text, SCI_SETSEL, 0, 4);
  // A right-click opens the viewer's context menu, not the control's own.
  const TMenuSeen menu = CaptureMenu([&] { SendMessageW(text, WM_CONTEXTMENU, WPARAM(text), MAKELPARAM(20, 20)); });
  EXPECT_TRUE(menu.Opened);
  EXPECT_NE(menu.Find(5000), nullptr);
  SetFocus(text);
  SendMessageW(main, WM_COMMAND, 5000, 0);
  EXPECT_EQ(ClipboardText(), L"name");
  PressKey(text, 'A', true);  // select all
  EXPECT_EQ(PaneSelection(text), (std::pair<int64_t, int64_t>{0, 16}));
  PressKey(text, VK_TAB, true);  // Ctrl+Tab: the tree
  EXPECT_EQ(GetFocus(), TViewerControls(main).Tree);
  dll_.Close(main);
  dll_.WriteIni("text-line-numbers=0\r\n");
  main = Open("a: 1\n");
  EXPECT_EQ(Sci(ShowTab(main, 1), SCI_GETMARGINWIDTHN, 0), 0);
  dll_.Close(main);
}

TEST_F(TextPane, alt_click_opens_web_links_in_the_text_and_refuses_other_schemes) {
  const std::string doc = "home: https://example.org/a?b=1 # docs\ntool: file:///C:/Windows/notepad.exe\nname: x.org\n";
  HWND main = Open(doc);
  TViewerControls v(main);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  UpdateWindow(text);
  const auto altClick = [&](const std::string& piece, bool alt = true) {
    const LPARAM at = LPARAM(doc.find(piece) + 2);
    const int x = int(Sci(text, SCI_POINTXFROMPOSITION, 0, at)) + 2;
    const int y = int(Sci(text, SCI_POINTYFROMPOSITION, 0, at)) + 2;
    BYTE keys[256] = {};
    if (alt) keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(text, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(text, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    BYTE none[256] = {};
    SetKeyboardState(none);
    return dll_.TakeOutsideLog();
  };
  EXPECT_EQ(altClick("example.org"), L"open https://example.org/a?b=1\n");
  EXPECT_EQ(altClick("Windows"), L"beep 48\n");
  EXPECT_EQ(StatusText(v.Status, 6), L" ONLY WEB LINKS (HTTP, HTTPS) ARE OPENED");
  EXPECT_EQ(altClick("x.org"), L"");  // no scheme: no link in running text
  EXPECT_EQ(altClick("example.org", false), L"");
  dll_.Close(main);
}

// Two copies of the plug-in in one process, with a module that holds
// Scintilla's usual global classes already: each copy has its own classes,
// and one unloaded leaves the other working.
TEST(TextControlClasses, two_loaded_copies_of_the_plug_in_keep_their_own) {
  const wchar_t* const foreign[] = {L"Scintilla", L"CallTip", L"ListBoxX"};
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  for (const wchar_t* name : foreign) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.style = CS_GLOBALCLASS;
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = name;
    ASSERT_TRUE(RegisterClassExW(&cls)) << Utf8(name);
  }
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"Scintilla", &info));
  const WNDPROC foreignProc = info.lpfnWndProc;
  auto shipped = std::make_unique<TPluginDll>(L"corvane.wlx64");
  TPluginDll flavour(L"corvane_test.wlx64");
  ASSERT_NE(shipped->Module(), flavour.Module());
  const auto openText = [](TPluginDll& dll, const std::string& yaml) {
    HWND main = dll.OpenYaml(yaml);
    TViewerControls v(main);
    TabCtrl_SetCurSel(v.Tab, 1);
    Notify(main, v.Tab, TCN_SELCHANGE);
    return std::make_pair(main, GetDlgItem(v.Tab, 104));
  };
  const auto [shippedMain, shippedText] = openText(*shipped, "a: 1\n");
  const auto [flavourMain, flavourText] = openText(flavour, "bb: 22\n");
  ASSERT_NE(shippedText, nullptr);
  ASSERT_NE(flavourText, nullptr);
  EXPECT_EQ(HMODULE(GetWindowLongPtrW(shippedText, GWLP_HINSTANCE)), shipped->Module());
  EXPECT_EQ(HMODULE(GetWindowLongPtrW(flavourText, GWLP_HINSTANCE)), flavour.Module());
  EXPECT_EQ(Sci(shippedText, SCI_GETLENGTH), 5);
  EXPECT_EQ(Sci(flavourText, SCI_GETLENGTH), 7);
  shipped->Close(shippedMain);
  const HMODULE gone = shipped->Module();
  shipped.reset();
  EXPECT_FALSE(GetModuleHandleW(L"corvane.wlx64")) << gone;
  EXPECT_TRUE(GetClassInfoExW(flavour.Module(), L"CorvaneText", &info));
  EXPECT_NE(info.lpfnWndProc, foreignProc);
  // The remaining copy draws, styles and makes new text panes as before.
  UpdateWindow(flavourText);
  Sci(flavourText, WM_USER + 49);
  EXPECT_EQ(PaneStyle(flavourText, 0, 2).Colour, kKey);
  const auto [second, secondText] = openText(flavour, "cc: 3\n");
  EXPECT_EQ(Sci(secondText, SCI_GETLENGTH), 6);
  flavour.Close(second);
  flavour.Close(flavourMain);
  // The other module's classes were never touched.
  for (const wchar_t* name : foreign) {
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &info)) << Utf8(name);
    EXPECT_EQ(info.lpfnWndProc, foreignProc) << Utf8(name);
    UnregisterClassW(name, GetModuleHandleW(nullptr));
  }
}

}  // namespace
}  // namespace corvane::test
