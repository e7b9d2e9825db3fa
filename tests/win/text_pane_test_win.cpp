// The Text tab: the document in a rich-edit control with syntax colours on
// the lines on screen, and the selection carried between grid and text.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

constexpr COLORREF kPlain = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(128, 0, 128);
constexpr COLORREF kString = RGB(0, 128, 0);
constexpr COLORREF kBoolean = RGB(0, 0, 255);
constexpr COLORREF kNull = RGB(255, 0, 0);
constexpr COLORREF kComment = RGB(110, 110, 110);

class TextPane : public ::testing::Test {
 protected:
  // Opens text (written as given) and shows the Text tab.
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
  // Colour of a piece of the text, found after `after` (one character per
  // line break, as the control counts); fails when the piece is not uniform.
  static COLORREF ColourOf(HWND text, const std::wstring& all, const std::wstring& piece,
                           const std::wstring& after = L"") {
    const size_t from = all.find(after);
    const size_t at = all.find(piece, from == std::wstring::npos ? 0 : from);
    EXPECT_NE(at, std::wstring::npos) << Utf8(piece);
    const TCharFormatSeen seen = RichCharFormat(text, int(at), int(at + piece.size()));
    EXPECT_TRUE(seen.Uniform) << Utf8(piece);
    return seen.Colour;
  }
  static CHARRANGE Selection(HWND text) {
    CHARRANGE range{};
    SendMessageW(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }
  TPluginDll dll_;
};

TEST_F(TextPane, yaml_lines_get_key_string_number_null_and_comment_colours) {
  const std::wstring doc =
      L"items:\n  - name: \"a: b\" # note\nratio: a:b\ntime: 12:30\nkey: ~\nother: Null\nlist: [1, -2]\n";
  HWND main = Open(Utf8(doc));
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(IsWindowVisible(text));
  EXPECT_EQ(ColourOf(text, doc, L"  - "), kPlain);
  EXPECT_EQ(ColourOf(text, doc, L"name"), kKey);
  EXPECT_EQ(ColourOf(text, doc, L"\"a: b\""), kString);
  EXPECT_EQ(ColourOf(text, doc, L"# note"), kComment);
  EXPECT_EQ(ColourOf(text, doc, L"a:b"), kString);
  EXPECT_EQ(ColourOf(text, doc, L"12:30"), kBoolean);
  EXPECT_EQ(ColourOf(text, doc, L"~"), kNull);
  EXPECT_EQ(ColourOf(text, doc, L"Null"), kString);
  EXPECT_EQ(ColourOf(text, doc, L"[", L"list"), kPlain);
  EXPECT_EQ(ColourOf(text, doc, L"-", L"[1"), kPlain);
  EXPECT_EQ(ColourOf(text, doc, L"2", L"[1"), kBoolean);
  EXPECT_FALSE(RichCharFormat(text, 9, 13).Bold);
  // The theme's colours replace the light ones at once, and every one reads
  // well on the dark background.
  SendMessageW(main, WM_COMMAND, 5018, 0);
  EXPECT_EQ(ColourOf(text, doc, L"name"), RGB(220, 140, 230));
  const COLORREF back = COLORREF(SendMessageW(text, EM_SETBKGNDCOLOR, 0, RGB(32, 32, 32)));
  EXPECT_EQ(back, RGB(32, 32, 32));
  for (const wchar_t* piece : {L"  - ", L"name", L"\"a: b\"", L"# note", L"12:30", L"~"})
    EXPECT_GE(ContrastRatio(ColourOf(text, doc, piece), back), 4.5) << Utf8(piece);
  dll_.Close(main);
}

TEST_F(TextPane, toml_headers_and_keys_are_bold_when_asked) {
  dll_.WriteIni("font-use-bold=1\r\n");
  const std::wstring doc = L"title = \"x\"\n[server.alpha] # x\nports = [ 8001, 8002 ]\n";
  HWND main = Open(Utf8(doc), "doc.toml");
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(ColourOf(text, doc, L"[server.alpha] # x"), kKey);
  EXPECT_TRUE(RichCharFormat(text, 12, 30).Bold);
  EXPECT_EQ(ColourOf(text, doc, L"ports"), kKey);
  EXPECT_EQ(ColourOf(text, doc, L"8001"), kBoolean);
  EXPECT_EQ(ColourOf(text, doc, L"8002"), kBoolean);
  EXPECT_EQ(ColourOf(text, doc, L"[", L"ports"), kPlain);
  EXPECT_EQ(ColourOf(text, doc, L",", L"ports"), kPlain);
  EXPECT_FALSE(RichCharFormat(text, 8, 11).Bold);  // the string value
  dll_.Close(main);
}

TEST_F(TextPane, only_lines_on_screen_are_coloured_and_scrolling_colours_the_new_ones) {
  std::string doc;
  for (int i = 0; i < 400; ++i) doc += "k" + std::to_string(i) + ": v\n";
  HWND main = Open(doc);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  const int last = int(SendMessageW(text, EM_LINEINDEX, 399, 0));
  EXPECT_EQ(RichCharFormat(text, 0, 2).Colour, kKey);
  EXPECT_EQ(RichCharFormat(text, last, last + 4).Colour, kPlain);  // far below the screen
  // Down to the line cut by the bottom edge, and not further.
  RECT client{};
  GetClientRect(text, &client);
  POINTL corner{0, client.bottom - 1};
  const LRESULT bottomChar = SendMessageW(text, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner));
  const LRESULT bottomLine = SendMessageW(text, EM_EXLINEFROMCHAR, 0, bottomChar);
  ASSERT_GT(bottomLine, 2);
  ASSERT_LT(bottomLine, 390);
  const int bottom = int(SendMessageW(text, EM_LINEINDEX, bottomLine, 0));
  const int below = int(SendMessageW(text, EM_LINEINDEX, bottomLine + 2, 0));
  EXPECT_EQ(RichCharFormat(text, bottom, bottom + 2).Colour, kKey);
  EXPECT_EQ(RichCharFormat(text, below, below + 2).Colour, kPlain);
  SendMessageW(text, WM_VSCROLL, SB_BOTTOM, 0);
  PumpMessages();
  EXPECT_EQ(RichCharFormat(text, last, last + 4).Colour, kKey);
  EXPECT_EQ(RichCharFormat(text, 0, 2).Colour, kKey);  // lines scrolled out keep theirs
  dll_.Close(main);
}

TEST_F(TextPane, selection_is_carried_between_grid_and_text_in_a_crlf_file) {
  HWND main = Open("a: 1\r\nb: 2\r\nname: target\r\n");
  TViewerControls v(main);
  NMITEMACTIVATE click{};
  click.iItem = 2;
  click.iSubItem = 1;
  ListView_SetItemState(v.Grid, -1, 0, LVIS_SELECTED);
  ListView_SetItemState(v.Grid, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  // Line 3 starts at 10 when each line break counts one character.
  CHARRANGE selection = Selection(text);
  EXPECT_EQ(selection.cpMin, 16);
  EXPECT_EQ(selection.cpMax, 22);
  EXPECT_EQ(RichTextRange(text, 16, 22), L"target");
  // The host's search on the Text tab counts the same way.
  dll_.Search(main, L"targ", 1);
  selection = Selection(text);
  EXPECT_EQ(selection.cpMin, 16);
  EXPECT_EQ(selection.cpMax, 20);
  EXPECT_EQ(GetFocus(), text);
  // Text selected in the pane is found in the grid on the way back.
  SendMessageW(text, EM_SETSEL, 8, 9);  // the "2" of line 2
  ShowTab(main, 0);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  EXPECT_EQ(StatusText(v.Status, 5), L" 2:2");
  dll_.Close(main);
}

TEST_F(TextPane, recolour_request_colours_again_when_the_colours_changed) {
  HWND main = Open("key: value\n");
  HWND text = ShowTab(main, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(RichCharFormat(text, 0, 3).Colour, kKey);
  EXPECT_FALSE(RichCharFormat(text, 0, 3).Bold);
  // The setting is read by each pass; the private request runs one.
  dll_.WriteIni("font-use-bold=1\r\n");
  SendMessageW(text, EM_SETSEL, 2, 7);
  SendMessageW(text, WM_USER + 49, 0, 0);
  EXPECT_TRUE(RichCharFormat(text, 0, 3).Bold);
  EXPECT_FALSE(RichCharFormat(text, 5, 10).Bold);
  EXPECT_EQ(RichCharFormat(text, 5, 10).Colour, kString);
  // The user's selection survives a pass.
  EXPECT_EQ(Selection(text).cpMin, 2);
  EXPECT_EQ(Selection(text).cpMax, 7);
  dll_.Close(main);
}

}  // namespace
}  // namespace corvane::test
