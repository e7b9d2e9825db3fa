// The copy commands as the user gets them: the clipboard's Unicode text
// after each command, and links opened by Alt+click.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

class Clipboard : public ::testing::Test {
 protected:
  HWND Open(const std::string& yaml) { return dll_.OpenYaml(yaml); }
  static void SelectRows(const TViewerControls& v, const std::vector<int>& rows) {
    ListView_SetItemState(v.Grid, -1, 0, LVIS_SELECTED);
    for (int row : rows) ListView_SetItemState(v.Grid, row, LVIS_SELECTED, LVIS_SELECTED);
  }
  static void ClickCell(const TViewerControls& v, int row, int column, bool alt = false) {
    BYTE keys[256] = {};
    if (alt) keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    NMITEMACTIVATE click{};
    click.iItem = row;
    click.iSubItem = column;
    Notify(v.Main, v.Grid, NM_CLICK, &click.hdr);
    BYTE none[256] = {};
    SetKeyboardState(none);
  }
  // Runs a command with Ctrl held or not; returns the clipboard's text.
  static std::wstring Copy(HWND main, int command, bool ctrl = false) {
    BYTE keys[256] = {};
    if (ctrl) keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(main, WM_COMMAND, WPARAM(command), 0);
    BYTE none[256] = {};
    SetKeyboardState(none);
    return ClipboardText();
  }
  TPluginDll dll_;
};

TEST_F(Clipboard, copy_commands_put_the_exact_texts_on_the_clipboard) {
  dll_.WriteIni("column-delimiter=;x\r\n");
  HWND main = Open("items:\n  - {name: a, n: 1}\n  - {name: b}\n  - {name: \"q\\\"t\", n: 3.50}\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, TreeRoot(v.Tree), 0));
  ASSERT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"name", L"n"}));
  ClickCell(v, 0, 1);
  SelectRows(v, {0, 1});
  EXPECT_EQ(Copy(main, 5000), L"1");
  EXPECT_EQ(GetClipboardOwner(), main);
  EXPECT_EQ(Copy(main, 5001), L"a;1\r\nb;<N/A>");
  EXPECT_EQ(Copy(main, 5002), L"1\r\n<N/A>\r\n3.5");
  EXPECT_EQ(Copy(main, 5003, true), L"[{ \"name\" : \"a\", \"n\" : 1 }, { \"name\" : \"b\" }]");
  EXPECT_EQ(Copy(main, 5003),
            L"[\r\n  {\r\n    \"name\" : \"a\",\r\n    \"n\" : 1\r\n  },\r\n"
            L"  {\r\n    \"name\" : \"b\"\r\n  }\r\n]");
  SelectRows(v, {2});
  EXPECT_EQ(Copy(main, 5003, true), L"[{ \"name\" : \"q\\\"t\", \"n\" : 3.5 }]");
  // The keyboard's copies: Ctrl+C the column, Shift+C the rows.
  SetFocus(v.Grid);
  PressKey(v.Grid, 'C', false, true);
  EXPECT_EQ(ClipboardText(), L"q\"t;3.5");
  SelectRows(v, {});
  EXPECT_EQ(Copy(main, 5003), L"");  // no selection: an empty text
  dll_.Close(main);
}

// Copy as JSON copies what the cells stand for: an object or array whole,
// a string that looks like a number as a string, a number as a number.
TEST_F(Clipboard, copy_as_json_copies_objects_and_arrays_whole) {
  HWND main = Open("image: {repository: nginx, tag: \"1.25\"}\nports: [80, 443]\nreplicas: 2\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  ASSERT_EQ(CellText(v.Grid, 0, 1), L"[Object]");
  SelectRows(v, {0, 1, 2});
  EXPECT_EQ(Copy(main, 5003, true),
            L"{ \"image\" : { \"repository\" : \"nginx\", \"tag\" : \"1.25\" }, \"ports\" : [80, 443], "
            L"\"replicas\" : 2 }");
  dll_.Close(main);
}

// Copy path writes the path as the corvane command reads it: from a grid
// row the row's node (the cell's in a flat view), from the tree its entry.
TEST_F(Clipboard, copy_path_names_the_row_or_the_tree_entry_as_the_command_reads_it) {
  HWND main = Open("metadata:\n  labels: {app.kubernetes.io/name: web, tier: front}\nspec: [{port: 80}, {port: 81}]\n");
  TViewerControls v(main);
  HTREEITEM metadata = TreeChild(v.Tree, TreeRoot(v.Tree), 0);
  TreeView_Expand(v.Tree, metadata, TVE_EXPAND);
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, metadata, 0));
  ASSERT_EQ(SelectedTreeText(v.Tree), L"labels");
  SetFocus(v.Grid);
  SelectRows(v, {0});
  EXPECT_EQ(Copy(main, 5004), L"$.metadata.labels[\"app.kubernetes.io/name\"]");
  SetFocus(v.Tree);
  EXPECT_EQ(Copy(main, 5004), L"$.metadata.labels");
  // The context menu acts for the pane it was opened over.
  auto menuCopyPath = [&](HWND over) {
    RECT r{};
    GetWindowRect(over, &r);
    SetFocus(v.Grid);
    CaptureMenu([&] { SendMessageW(main, WM_CONTEXTMENU, WPARAM(over), MAKELPARAM(r.left + 5, r.top + 30)); },
                {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    return ClipboardText();
  };
  ClipboardText();
  EXPECT_EQ(menuCopyPath(v.Tree), L"$.metadata.labels");
  EXPECT_EQ(menuCopyPath(v.Grid), L"$.metadata.labels[\"app.kubernetes.io/name\"]");
  // A flat view: the current cell's node.
  SendMessageW(main, WM_COMMAND, 5011, 0);
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, TreeRoot(v.Tree), 1));
  ASSERT_EQ(HeaderTexts(v.Grid), std::vector<std::wstring>{L"port"});
  ClickCell(v, 1, 0);
  SelectRows(v, {1});
  SetFocus(v.Grid);
  EXPECT_EQ(Copy(main, 5004), L"$.spec[1].port");
  dll_.Close(main);
}

TEST_F(Clipboard, path_value_listing_copies_the_rows_path) {
  dll_.WriteIni("FlatViewLevel=-1\r\n");
  HWND main = Open("a: {b: [10, {c: true}]}\n");
  TViewerControls v(main);
  SelectRows(v, {1});
  SetFocus(v.Grid);
  EXPECT_EQ(Copy(main, 5004), L"$.a.b[1].c");
  EXPECT_EQ(Copy(main, 5003, true), L"[{ \"Path\" : \"a.b[1].c\", \"Value\" : true }]");
  dll_.Close(main);
}

TEST_F(Clipboard, a_busy_clipboard_is_left_alone_and_nothing_is_kept) {
  HWND main = Open("- " + std::string(100000, 'x') + "\n- short\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SelectRows(v, {0});
  Copy(main, 5000);
  ASSERT_EQ(ClipboardText().size(), 4095u);  // cut like the grid's display buffer
  SelectRows(v, {1});
  Copy(main, 5000);
  // Another window holds the clipboard open: every copy is dropped.
  SelectRows(v, {0});
  ASSERT_TRUE(OpenClipboard(dll_.Parent()));
  for (int i = 0; i < 50; ++i) SendMessageW(main, WM_COMMAND, 5001, 0);
  const size_t before = PrivateBytes();
  for (int i = 0; i < 1000; ++i) SendMessageW(main, WM_COMMAND, 5001, 0);
  const size_t after = PrivateBytes();
  CloseClipboard();
  EXPECT_LT(after, before + 4 * 1024 * 1024) << before << " " << after;  // 1,000 x 8 KB kept would be 8 MB
  EXPECT_EQ(ClipboardText(), L"short");
  dll_.Close(main);
}

TEST_F(Clipboard, alt_click_opens_web_links_and_refuses_other_schemes) {
  HWND main = Open("- https://example.org/a\n- example.org\n- file:///C:/Windows/notepad.exe\n- plain\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  auto altClick = [&](int row) {
    SelectRows(v, {row});
    ClickCell(v, row, 0, true);
    return dll_.TakeOutsideLog();
  };
  EXPECT_EQ(altClick(0), L"open https://example.org/a\n");
  EXPECT_EQ(altClick(1), L"open https://example.org\n");
  EXPECT_EQ(altClick(2), L"beep 48\n");
  EXPECT_EQ(StatusText(v.Status, 6), L" ONLY WEB LINKS (HTTP, HTTPS) ARE OPENED");
  EXPECT_EQ(altClick(3), L"");
  ClickCell(v, 0, 0);  // without Alt a click only moves the cursor
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  dll_.Close(main);
}

}  // namespace
}  // namespace corvane::test
