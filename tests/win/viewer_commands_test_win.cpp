// Commands on a viewer: the host's search, its new-parameters command, the
// keyboard map, the cell cursor and the context menu.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

class ViewerCommands : public ::testing::Test {
 protected:
  HWND Open(const std::string& yaml) { return dll_.OpenYaml(yaml); }
  std::wstring Cursor(const TViewerControls& v) { return StatusText(v.Status, 5); }
  TPluginDll dll_;
};

TEST_F(ViewerCommands, search_continues_from_the_last_match_and_beeps_at_the_end) {
  HWND main = Open("- zab\n- ab\n");
  TViewerControls v(main);
  ASSERT_EQ(HeaderTexts(v.Grid), std::vector<std::wstring>{L"Element"});
  EXPECT_EQ(dll_.Search(main, L"ab", 1), 0);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{0});
  EXPECT_EQ(GetFocus(), v.Grid);
  dll_.Search(main, L"ab", 0);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  EXPECT_EQ(Cursor(v), L" 2:1");
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  dll_.Search(main, L"ab", 0);
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 0\n");
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  dll_.Search(main, L"ab", 0);  // starts inside the last cell again
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  // An empty text searches nothing and does not beep.
  dll_.Search(main, L"", 1);
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  dll_.Close(main);
}

TEST_F(ViewerCommands, whole_words_and_ascii_case_folding) {
  HWND main = Open("- user_id\n- id-x\n- \"\\xE4\"\n");
  TViewerControls v(main);
  dll_.Search(main, L"id", 1 | 4);  // underscore is a word character
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  dll_.Search(main, L"id", 4 | 8);  // backwards from there: user_id never passes
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 0\n");
  dll_.Search(main, L"ID-X", 1);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  dll_.Search(main, L"ID-X", 1 | 2);  // match case
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 0\n");
  dll_.Search(main, L"\u00C4", 1);  // no case folding beyond ASCII
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 0\n");
  dll_.Search(main, L"\u00E4", 1);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{2});
  dll_.Close(main);
}

// On the Text tab the search runs over the text pane's bytes: a CR LF line
// end counts two.
TEST_F(ViewerCommands, search_on_the_text_tab_selects_the_match_in_the_text) {
  HWND main = Open("a: 1\r\nb: 2\r\nkey: third line\r\n");
  TViewerControls v(main);
  TabCtrl_SetCurSel(v.Tab, 1);
  Notify(main, v.Tab, TCN_SELCHANGE);
  v = TViewerControls(main);  // the text pane is created with the Text tab
  dll_.Search(main, L"third", 1);
  EXPECT_EQ(PaneSelection(v.Text), (std::pair<int64_t, int64_t>{17, 22}));  // "a: 1" CR LF "b: 2" CR LF "key: "
  EXPECT_EQ(GetFocus(), v.Text);
  dll_.Search(main, L"third", 0);
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 0\n");
  dll_.Close(main);
}

TEST_F(ViewerCommands, new_parameters_command_is_the_only_one_acted_on) {
  HWND main = Open("a: 1\n");
  TViewerControls v(main);
  const COLORREF light = COLORREF(SendMessageW(v.Tree, TVM_GETBKCOLOR, 0, 0));
  dll_.WriteIni("theme-mode=tc\r\n");
  for (int command : {1, 3, 4}) EXPECT_EQ(dll_.SendCommand(main, command, 0x80), 0);
  EXPECT_EQ(COLORREF(SendMessageW(v.Tree, TVM_GETBKCOLOR, 0, 0)), light);
  EXPECT_EQ(dll_.SendCommand(main, 2, 0x80), 0);
  EXPECT_EQ(COLORREF(SendMessageW(v.Tree, TVM_GETBKCOLOR, 0, 0)), COLORREF(2105376));
  dll_.Close(main);
  EXPECT_EQ(dll_.SendCommand(main, 2, 0), 0);  // a closed window
}

TEST_F(ViewerCommands, arrow_keys_move_the_cell_cursor_in_the_grid) {
  HWND main = Open("- {a: 1, b: 2, c: 3}\n- {a: 4, b: 5, c: 6}\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SetFocus(v.Grid);
  EXPECT_EQ(Cursor(v), L" 1:1");
  PressKey(v.Grid, VK_RIGHT);
  PressKey(v.Grid, VK_RIGHT);
  EXPECT_EQ(Cursor(v), L" 1:3");
  PressKey(v.Grid, VK_RIGHT);
  EXPECT_EQ(Cursor(v), L" 1:3");
  PressKey(v.Grid, VK_DOWN);
  EXPECT_EQ(Cursor(v), L" 2:3");
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  PressKey(v.Grid, VK_LEFT, true);
  EXPECT_EQ(Cursor(v), L" 2:1");
  PressKey(v.Grid, VK_UP, true);
  EXPECT_EQ(Cursor(v), L" 1:1");
  // A click sets the cell; on other panes the arrows are the control's.
  NMITEMACTIVATE click{};
  click.iItem = 1;
  click.iSubItem = 1;
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  EXPECT_EQ(Cursor(v), L" 2:2");
  SetFocus(v.Tree);
  PressKey(v.Tree, VK_DOWN);
  EXPECT_EQ(Cursor(v).empty(), false);
  dll_.Close(main);
}

TEST_F(ViewerCommands, ctrl_digits_sort_by_shown_columns_and_host_keys_go_back) {
  HWND main = Open("- {a: 2, b: x}\n- {a: 10, b: y}\n- {a: 1, b: z}\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SetFocus(v.Grid);
  PressKey(v.Grid, '1', true);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"1");
  EXPECT_EQ(CellText(v.Grid, 2, 0), L"10");
  PressKey(v.Grid, '1', true);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"10");
  PressKey(v.Grid, '1', true);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"2");  // table order again
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");

  PressKey(v.Grid, 'N');
  PressKey(v.Grid, '3');
  PressKey(v.Grid, 'F', true);
  PressKey(v.Grid, 'F');
  PressKey(v.Grid, 'Q');
  EXPECT_EQ(dll_.TakeOutsideLog(), L"key 78\nkey 51\nkey 70\n");
  EXPECT_EQ(GetFocus(), dll_.Parent());

  dll_.WriteIni("disable-num-keys=1\r\ndisable-np-keys=1\r\nexit-by-q=1\r\n");
  SetFocus(v.Grid);
  PressKey(v.Grid, 'N');
  PressKey(v.Grid, '3');
  PressKey(v.Grid, '1', true);
  PressKey(v.Grid, 'Q');
  EXPECT_EQ(dll_.TakeOutsideLog(), L"key 81\n");
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"2");  // not sorted
  dll_.Close(main);
}

TEST_F(ViewerCommands, ctrl_tab_moves_the_focus_between_tree_and_content) {
  HWND main = Open("a: 1\n");
  TViewerControls v(main);
  SetFocus(v.Grid);
  PressKey(v.Grid, VK_TAB, true);
  EXPECT_EQ(GetFocus(), v.Tree);
  PressKey(v.Tree, VK_TAB, true);
  EXPECT_EQ(GetFocus(), v.Grid);
  SetFocus(main);  // the viewer's own window passes the focus on
  EXPECT_EQ(GetFocus(), v.Grid);
  dll_.Close(main);
}

TEST_F(ViewerCommands, context_menu_has_its_entries_and_opens_at_the_current_cell) {
  HWND main = Open("- {a: 1, b: 2}\n- {a: 3, b: 4}\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SetFocus(v.Grid);
  PressKey(v.Grid, VK_RIGHT);
  PressKey(v.Grid, VK_DOWN);
  // Shift+F10 (the keyboard's request, position -1).
  const TMenuSeen seen = CaptureMenu([&] { SendMessageW(v.Grid, WM_CONTEXTMENU, WPARAM(v.Grid), -1); });
  ASSERT_TRUE(seen.Opened);
  int commands = 0;
  for (const TMenuItemSeen& item : seen.Items) commands += item.Separator ? 0 : 1;
  EXPECT_EQ(commands, 17);
  EXPECT_EQ(seen.Items.size(), 21u);
  EXPECT_EQ(seen.Items[0].Text, L"Copy");
  EXPECT_FALSE(seen.Find(5016)->Grayed);
  for (UINT id : {5013u, 5014u, 5015u, 5019u}) EXPECT_TRUE(seen.Find(id)->Grayed) << id;
  EXPECT_FALSE(seen.Find(5009)->Grayed);  // the file can be edited
  EXPECT_TRUE(seen.Find(5006)->Checked);
  EXPECT_TRUE(seen.Find(5017)->Checked);  // no theme set: light
  RECT cell{};
  cell.top = 1;
  cell.left = LVIR_LABEL;
  SendMessageW(v.Grid, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  POINT corner{cell.left, cell.bottom};
  ClientToScreen(v.Grid, &corner);
  EXPECT_EQ(seen.Rect.left, corner.x);
  EXPECT_EQ(seen.Rect.top, corner.y);
  EXPECT_EQ(StatusText(v.Status, 5), L" 2:2");  // the current column stays
  dll_.Close(main);
}

TEST_F(ViewerCommands, right_click_on_a_header_picks_its_column) {
  HWND main = Open("- {a: 1, b: 2, c: 3}\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  RECT item{};
  SendMessageW(v.Header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(v.Header, &p);
  const TMenuSeen seen =
      CaptureMenu([&] { SendMessageW(main, WM_CONTEXTMENU, WPARAM(v.Grid), MAKELPARAM(p.x, p.y)); });
  EXPECT_TRUE(seen.Opened);
  EXPECT_EQ(StatusText(v.Status, 5), L" 1:3");
  // "Hide column" then acts on the column under the mouse.
  SendMessageW(main, WM_COMMAND, 5007, 0);
  EXPECT_EQ(SendMessageW(v.Grid, LVM_GETCOLUMNWIDTH, 2, 0), 0);
  EXPECT_GT(SendMessageW(v.Grid, LVM_GETCOLUMNWIDTH, 1, 0), 0);
  SendMessageW(main, WM_COMMAND, 5008, 0);  // show all columns
  EXPECT_GT(SendMessageW(v.Grid, LVM_GETCOLUMNWIDTH, 2, 0), 1);
  dll_.Close(main);
}

TEST_F(ViewerCommands, select_corresponding_item_follows_a_grid_row_into_the_tree) {
  HWND main = Open("servers:\n  - {host: a}\n  - {host: b, tags: [x]}\nport: 1\n");
  TViewerControls v(main);
  ASSERT_EQ(SelectedTreeText(v.Tree), L"servers");
  NMITEMACTIVATE click{};
  click.iItem = 1;
  Notify(main, v.Grid, NM_DBLCLK, &click.hdr);
  EXPECT_EQ(SelectedTreeText(v.Tree), L"[1]");
  EXPECT_EQ(GetFocus(), v.Tree);
  EXPECT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"Attribute", L"Value"}));
  SendMessageW(main, WM_COMMAND, 5011, 0);  // flat level 1 from the menu
  EXPECT_EQ(StatusText(v.Status, 3).substr(0, 8), L" Flat: 1");
  dll_.Close(main);
}

TEST_F(ViewerCommands, shift_with_arrows_pages_home_and_end_extends_the_row_selection) {
  std::string yaml;
  for (int i = 0; i < 80; ++i) yaml += "- " + std::to_string(i) + "\n";
  HWND main = Open(yaml);
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SetFocus(v.Grid);
  NMITEMACTIVATE click{};
  click.iItem = 2;
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  ListView_SetItemState(v.Grid, -1, 0, LVIS_SELECTED);
  PressKey(v.Grid, VK_DOWN);  // the cursor to row 3, the only selected row
  PressKey(v.Grid, VK_DOWN, false, true);
  PressKey(v.Grid, VK_DOWN, false, true);
  EXPECT_EQ(SelectedRows(v.Grid), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Cursor(v), L" 6:1");
  PressKey(v.Grid, VK_UP, false, true);
  EXPECT_EQ(SelectedRows(v.Grid), (std::vector<int>{3, 4}));
  PressKey(v.Grid, VK_NEXT, false, true);
  const std::vector<int> paged = SelectedRows(v.Grid);
  ASSERT_GT(paged.size(), 5u);
  EXPECT_EQ(paged.front(), 3);
  PressKey(v.Grid, VK_END, false, true);
  EXPECT_EQ(SelectedRows(v.Grid).size(), 77u);  // rows 3 to 79
  PressKey(v.Grid, VK_HOME, false, true);
  EXPECT_EQ(SelectedRows(v.Grid), (std::vector<int>{0, 1, 2, 3}));
  PressKey(v.Grid, 'C', false, true);  // Shift+C copies them all
  EXPECT_EQ(ClipboardText(), L"0\r\n1\r\n2\r\n3");
  dll_.Close(main);
}

TEST_F(ViewerCommands, a_new_flat_level_starts_at_the_first_column) {
  std::string yaml;
  for (int r = 0; r < 3; ++r) {
    yaml += "- {";
    for (int c = 0; c < 12; ++c) yaml += (c ? ", k" : "k") + std::to_string(c) + ": {v: " + std::string(30, 'x') + "}";
    yaml += "}\n";
  }
  HWND main = Open(yaml);
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  SendMessageW(main, WM_COMMAND, 5011, 0);  // flat level 1: twelve wide columns
  ASSERT_EQ(HeaderTexts(v.Grid).size(), 12u);
  for (int i = 0; i < 30; ++i) SendMessageW(v.Grid, WM_HSCROLL, SB_LINERIGHT, 0);
  ASSERT_GT(GetScrollPos(v.Grid, SB_HORZ), 0);
  SendMessageW(main, WM_COMMAND, 5010, 0);  // flat level 0
  EXPECT_EQ(GetScrollPos(v.Grid, SB_HORZ), 0);
  RECT first{};
  SendMessageW(v.Header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  POINT corner{first.left, 0};
  MapWindowPoints(v.Header, v.Grid, &corner, 1);
  EXPECT_EQ(corner.x, 0);
  dll_.Close(main);
}

// The listing shows the whole document whatever the tree selects: choosing
// a row's entry in the tree leaves its filters, sort and current row.
TEST_F(ViewerCommands, select_corresponding_item_keeps_the_path_value_listing) {
  dll_.WriteIni("FlatViewLevel=-1\r\n");
  HWND main = Open("a: {x: 1, y: 2}\nb: {x: 3, y: 4}\nc: 5\n");
  TViewerControls v(main);
  ASSERT_EQ(ItemCount(v.Grid), 5);
  HWND filter = GetDlgItem(v.Tab, 1000);
  SetWindowTextW(filter, L"x");
  SendMessageW(main, WM_TIMER, 1, 0);
  ASSERT_EQ(ItemCount(v.Grid), 2);
  NMLISTVIEW column{};
  column.iItem = -1;
  column.iSubItem = 1;
  Notify(main, v.Grid, LVN_COLUMNCLICK, &column.hdr);
  Notify(main, v.Grid, LVN_COLUMNCLICK, &column.hdr);  // descending: b.x before a.x
  ASSERT_EQ(CellText(v.Grid, 0, 0), L"b.x");
  NMITEMACTIVATE click{};
  click.iItem = 1;
  click.iSubItem = 1;
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  SendMessageW(main, WM_COMMAND, 5016, 0);
  EXPECT_EQ(SelectedTreeText(v.Tree), L"x");
  EXPECT_EQ(TreeItemText(v.Tree, TreeView_GetParent(v.Tree, TreeView_GetSelection(v.Tree))), L"a");
  EXPECT_EQ(ItemCount(v.Grid), 2);
  EXPECT_EQ(WindowTextOf(filter), L"x");
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"b.x");
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  EXPECT_EQ(Cursor(v), L" 2:2");
  dll_.Close(main);
}

}  // namespace
}  // namespace corvane::test
