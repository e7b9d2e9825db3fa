// A viewer on screen: what its tree, grid and status bar show, its layout,
// and the settings it reads at creation and writes back at close.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

class ViewerWindow : public ::testing::Test {
 protected:
  HWND Open(const std::string& yaml, const char* name = "doc.yaml") {
    const std::string path = dll_.Dir.File(name);
    WriteFileBytes(path, yaml);
    return dll_.Open(path);
  }
  TPluginDll dll_;
};

struct TSelectionCase {
  const char* Yaml;
  const char* Settings;
  const wchar_t* Selected;
  std::vector<std::wstring> Headers;
};

// The initial selection for each example document of the tree's rules.
TEST_F(ViewerWindow, selects_the_entry_the_initial_rule_chooses) {
  const TSelectionCase cases[] = {
      {"[1, 2, 3]\n", "", L"<<root>>", {L"Element"}},
      {"version: 1\nservices: {a: {}}\nname: x\n", "", L"services", {L"Attribute", L"Value"}},
      {"version: 1\na: {}\nb: []\n", "", L"<<root>>", {L"Attribute", L"Value"}},
      {"server: {host: h}\nport: 1\n", "", L"server", {L"Attribute", L"Value"}},
      {"- {a: 1}\n- {a: 2}\n", "FlatViewLevel=1\r\n", L"<<root>>", {L"a"}},
      {"- {a: 1}\n- {a: 2}\n", "", L"[0]", {L"Attribute", L"Value"}},
      {"server: {host: h}\nport: 1\n", "alwaysStartAtRoot=1\r\n", L"<<root>>", {L"Attribute", L"Value"}},
      {"{}\n", "", L"<<root>>", {L"Attribute", L"Value"}},
  };
  for (const TSelectionCase& c : cases) {
    SCOPED_TRACE(c.Yaml);
    dll_.WriteIni(c.Settings);
    HWND main = Open(c.Yaml);
    ASSERT_NE(main, nullptr);
    TViewerControls v(main);
    EXPECT_EQ(SelectedTreeText(v.Tree), c.Selected);
    EXPECT_EQ(HeaderTexts(v.Grid), c.Headers);
    dll_.Close(main);
  }
}

TEST_F(ViewerWindow, tree_fills_lazily_once_and_empty_containers_have_no_button) {
  HWND main = Open("items: [1, 2, 3]\nempty: {}\nname: x\n");
  TViewerControls v(main);
  HTREEITEM root = TreeRoot(v.Tree);
  EXPECT_EQ(TreeChildTexts(v.Tree, root), (std::vector<std::wstring>{L"items", L"empty", L"name"}));
  HTREEITEM items = TreeChild(v.Tree, root, 0);
  EXPECT_EQ(TreeChildTexts(v.Tree, items), std::vector<std::wstring>{L"..."});
  TreeView_Expand(v.Tree, items, TVE_EXPAND);
  EXPECT_EQ(TreeChildTexts(v.Tree, items), (std::vector<std::wstring>{L"[0]", L"[1]", L"[2]"}));
  TreeView_Expand(v.Tree, items, TVE_COLLAPSE);
  TreeView_Expand(v.Tree, items, TVE_EXPAND);
  EXPECT_EQ(TreeChildTexts(v.Tree, items).size(), 3u);
  EXPECT_TRUE(TreeChildTexts(v.Tree, TreeChild(v.Tree, root, 1)).empty());

  // Selecting an entry shows its node in the grid and the status bar.
  TreeView_SelectItem(v.Tree, items);
  EXPECT_EQ(HeaderTexts(v.Grid), std::vector<std::wstring>{L"Element"});
  EXPECT_EQ(CellText(v.Grid, 2, 0), L"3");
  EXPECT_EQ(StatusText(v.Status, 1), L" 2");
  EXPECT_EQ(StatusText(v.Status, 2), L" ARRAY");
  dll_.Close(main);
}

// A root sequence of 2,500 items: the root entry holds range entries, the
// initial selection opens the first range, and a grid row is followed into
// the tree through its range.
TEST_F(ViewerWindow, a_large_level_is_shown_through_range_entries) {
  std::string yaml;
  for (int i = 0; i < 2500; ++i) yaml += "- {id: " + std::to_string(i) + "}\n";
  HWND main = Open(yaml);
  ASSERT_NE(main, nullptr);
  TViewerControls v(main);
  HTREEITEM root = TreeRoot(v.Tree);
  EXPECT_EQ(TreeChildTexts(v.Tree, root),
            (std::vector<std::wstring>{L"[0 \u2026 999]", L"[1000 \u2026 1999]", L"[2000 \u2026 2499]"}));
  EXPECT_EQ(SelectedTreeText(v.Tree), L"[0]");
  EXPECT_EQ(TreeChildTexts(v.Tree, TreeChild(v.Tree, root, 0)).size(), 1000u);
  EXPECT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"Attribute", L"Value"}));

  // A range entry shows its container; it fills on its first expansion.
  HTREEITEM last = TreeChild(v.Tree, root, 2);
  EXPECT_EQ(TreeChildTexts(v.Tree, last), std::vector<std::wstring>{L"..."});
  TreeView_SelectItem(v.Tree, last);
  EXPECT_EQ(ItemCount(v.Grid), 2500);
  EXPECT_EQ(StatusText(v.Status, 2), L" ARRAY");
  TreeView_Expand(v.Tree, last, TVE_EXPAND);
  const std::vector<std::wstring> tail = TreeChildTexts(v.Tree, last);
  ASSERT_EQ(tail.size(), 500u);
  EXPECT_EQ(tail.front(), L"[2000]");
  EXPECT_EQ(tail.back(), L"[2499]");

  // Select corresponding item, from the root's grid into the second range.
  TreeView_SelectItem(v.Tree, root);
  NMITEMACTIVATE click{};
  click.iItem = 1234;
  Notify(main, v.Grid, NM_DBLCLK, &click.hdr);
  EXPECT_EQ(SelectedTreeText(v.Tree), L"[1234]");
  EXPECT_EQ(CellText(v.Grid, 0, 1), L"1234");
  dll_.Close(main);
}

TEST_F(ViewerWindow, fresh_viewer_shows_the_status_of_its_node) {
  HWND main = Open("a: 1\nb: two\nc: true\n");
  TViewerControls v(main);
  // Built out of sight, it must be on screen once the host has it.
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_TRUE(IsWindowVisible(v.Tree) && IsWindowVisible(v.Grid) && IsWindowVisible(v.Status));
  const std::vector<std::wstring> expected{L" UTF-8", L" 1", L" OBJECT", L" Flat: 0", L" Rows: 3/3", L" 1:1", L""};
  EXPECT_EQ(StatusTexts(v.Status), expected);
  int edges[8] = {};
  ASSERT_EQ(SendMessageW(v.Status, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 7);
  EXPECT_GE(edges[4] - edges[3], 200);
  EXPECT_EQ(edges[6], -1);
  EXPECT_EQ(CellText(v.Grid, 1, 1), L"two");
  EXPECT_EQ(CellText(v.Grid, 9, 1), L"");  // outside the table: no text
  dll_.Close(main);
}

TEST_F(ViewerWindow, path_value_listing_and_flat_views_fill_the_grid) {
  dll_.WriteIni("FlatViewLevel=-7\r\n");
  HWND main = Open("a: {b: [10, {c: true}]}\nd: {}\n");
  TViewerControls v(main);
  EXPECT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"Path", L"Value"}));
  ASSERT_EQ(ItemCount(v.Grid), 2);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"a.b[0]");
  EXPECT_EQ(CellText(v.Grid, 1, 0), L"a.b[1].c");
  EXPECT_EQ(CellText(v.Grid, 1, 1), L"true");
  EXPECT_EQ(StatusText(v.Status, 3), L" Flat: -1+");
  dll_.Close(main);
  // Read as -1, written back as -1.
  EXPECT_NE(dll_.ReadIni().find("FlatViewLevel=-1"), std::string::npos) << dll_.ReadIni();
}

TEST_F(ViewerWindow, untouched_viewer_writes_no_settings_back) {
  dll_.WriteIni("tab-no=5\r\n");
  HWND main = Open("a: 1\n");
  TViewerControls v(main);
  // 229 = ScaleFont(200) at 96 DPI with font size 16.
  RECT tree{};
  GetWindowRect(v.Tree, &tree);
  EXPECT_EQ(tree.right - tree.left, 229);
  // "tab-no" 5 is no tab: the grid shows.
  EXPECT_EQ(TabCtrl_GetCurSel(v.Tab), 0);
  EXPECT_TRUE(IsWindowVisible(v.Grid));
  EXPECT_FALSE(IsWindowVisible(v.Text));
  dll_.Close(main);
  EXPECT_EQ(dll_.ReadIni(), "[corvane]\r\ntab-no=5\r\n");
}

TEST_F(ViewerWindow, changed_view_settings_are_written_back_and_dpi_alone_is_not) {
  HWND main = Open("a: 1\n");
  TViewerControls v(main);
  // A DPI change scales the splitter but is no user choice.
  SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  RECT tree{};
  GetWindowRect(v.Tree, &tree);
  EXPECT_EQ(tree.right - tree.left, 344);
  // Tab 1 and one zoom step are.
  TabCtrl_SetCurSel(v.Tab, 1);
  Notify(main, v.Tab, TCN_SELCHANGE);
  const HWND textPane = GetDlgItem(v.Tab, 104);  // created when first shown
  EXPECT_TRUE(IsWindowVisible(textPane));
  EXPECT_FALSE(IsWindowVisible(v.Grid));
  wchar_t text[64] = {};
  GetWindowTextW(textPane, text, 64);
  EXPECT_EQ(std::wstring(text).substr(0, 4), L"a: 1");  // the text pane shows the file
  SendMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  dll_.Close(main);
  const std::string ini = dll_.ReadIni();
  EXPECT_NE(ini.find("tab-no=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("font-size=17"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("splitter-position"), std::string::npos) << ini;
}

TEST_F(ViewerWindow, zoom_stays_within_its_limits_and_resizes_the_fonts) {
  dll_.WriteIni("font-size=48\r\n");
  HWND main = Open("a: 1\n");
  TViewerControls v(main);
  auto height = [&] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(v.Grid, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
  };
  EXPECT_EQ(height(), 48);
  SendMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  EXPECT_EQ(height(), 48);
  SendMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(-WHEEL_DELTA)), 0);
  EXPECT_EQ(height(), 47);
  SendMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);  // no Ctrl: no zoom
  EXPECT_EQ(height(), 47);
  // Over the grid or the tree the wheel reaches the control first; with
  // Ctrl it zooms the viewer all the same.
  SendMessageW(v.Grid, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(-WHEEL_DELTA)), 0);
  SendMessageW(v.Tree, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(-WHEEL_DELTA)), 0);
  EXPECT_EQ(height(), 45);
  dll_.Close(main);
}

TEST_F(ViewerWindow, splitter_drag_follows_the_mouse_within_its_clamps) {
  HWND main = Open("a: 1\n");
  TViewerControls v(main);
  auto treeWidth = [&] {
    RECT r{};
    GetWindowRect(v.Tree, &r);
    return int(r.right - r.left);
  };
  SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(232, 100));  // 3 px into the strip
  EXPECT_EQ(GetCapture(), main);
  SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(303, 100));
  EXPECT_EQ(treeWidth(), 300);
  SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5000, 100));
  RECT client{};
  GetClientRect(main, &client);
  EXPECT_EQ(treeWidth(), client.right - 91);  // width - ScaleFont(80)
  SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(5000, 100));
  EXPECT_NE(GetCapture(), main);
  SendMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(400, 100));  // no longer dragging
  EXPECT_EQ(treeWidth(), client.right - 91);
  // Each layout pauses the viewer's drawing; the viewer stays on screen and
  // has everything to repaint afterwards.
  EXPECT_TRUE(IsWindowVisible(main) && IsWindowVisible(v.Grid));
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(v.Grid, &update, FALSE));
  dll_.Close(main);
  EXPECT_NE(dll_.ReadIni().find("splitter-position="), std::string::npos);
}

TEST_F(ViewerWindow, flat_level_menu_over_part_3_rebuilds_the_grid) {
  HWND main = Open("- {a: 1, n: {x: 1}}\n- {a: 2, n: {x: 2}}\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  EXPECT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"a", L"n"}));
  NMMOUSE click{};
  click.dwItemSpec = 2;  // part 2 opens nothing
  TMenuSeen seen = CaptureMenu([&] { Notify(main, v.Status, NM_CLICK, &click.hdr); });
  EXPECT_FALSE(seen.Opened);
  click.dwItemSpec = 3;
  // Down twice from the top: item "1".
  seen = CaptureMenu([&] { Notify(main, v.Status, NM_CLICK, &click.hdr); }, {VK_DOWN, VK_DOWN, VK_RETURN});
  ASSERT_TRUE(seen.Opened);
  ASSERT_EQ(seen.Items.size(), 4u);
  EXPECT_TRUE(seen.Find(5010)->Checked);
  EXPECT_EQ(seen.Find(5020)->Text, L"-1 (Path / Value)");
  EXPECT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"a", L"n.x"}));
  EXPECT_EQ(StatusText(v.Status, 3), L" Flat: 1+");
  dll_.Close(main);
  EXPECT_NE(dll_.ReadIni().find("FlatViewLevel=1"), std::string::npos);
}

// A file that does not parse opens anyway: no tree entries and no grid,
// the parser's message with its place in the status bar, and the text on
// the Text tab with the place it names selected.
TEST_F(ViewerWindow, a_file_that_does_not_parse_shows_its_error_at_its_place) {
  HWND main = Open("name: web\r\nports: [80, 443\r\nimage: nginx\r\n", "broken.yaml");
  ASSERT_NE(main, nullptr);
  TViewerControls v(main);
  EXPECT_EQ(TreeRoot(v.Tree), nullptr);
  EXPECT_EQ(ItemCount(v.Grid), 0);
  EXPECT_EQ(HeaderTexts(v.Grid).size(), 0u);
  EXPECT_EQ(StatusText(v.Status, 6), L" NOT LOADED (line 3, column 6): did not find expected ',' or ']'");
  // The parts that have nothing to say give their width to the message.
  RECT encoding{}, message{};
  SendMessageW(v.Status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&encoding));
  SendMessageW(v.Status, SB_GETRECT, 6, reinterpret_cast<LPARAM>(&message));
  EXPECT_LE(message.left, encoding.right + 4);
  EXPECT_EQ(TabCtrl_GetCurSel(v.Tab), 1);
  v = TViewerControls(main);  // the text pane exists now
  ASSERT_NE(v.Text, nullptr);
  EXPECT_TRUE(IsWindowVisible(v.Text));
  EXPECT_EQ(GetFocus(), v.Text);
  const auto [start, end] = PaneSelection(v.Text);
  EXPECT_EQ(start, 33);  // "name: web" CR LF "ports: [80, 443" CR LF "image"
  EXPECT_EQ(PaneText(v.Text, start, end), ":");
  SendMessageW(main, WM_COMMAND, 5009, 0);  // no edit mode without a document
  EXPECT_EQ(StatusText(v.Status, 6), L" NOT LOADED (line 3, column 6): did not find expected ',' or ']'");
  dll_.Close(main);
  // Nothing of the error makes the next file open on the Text tab.
  EXPECT_EQ(dll_.ReadIni().find("tab-no"), std::string::npos) << dll_.ReadIni();
  main = Open("a = 1\nb = [1,\n", "broken.toml");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(StatusText(TViewerControls(main).Status, 6).substr(0, 22), L" NOT LOADED (line 2): ");
  dll_.Close(main);
}

// The message part takes what the other parts leave, and a text that still
// does not fit is shown whole in a tooltip.
TEST_F(ViewerWindow, a_long_status_message_is_shown_whole_in_a_tooltip) {
  HWND main = Open("a: 1\nb: &x 2\nc: *x\n");
  TViewerControls v(main);
  RECT bar{}, part{};
  GetClientRect(v.Status, &bar);
  SendMessageW(v.Status, SB_GETRECT, 6, reinterpret_cast<LPARAM>(&part));
  EXPECT_GE(part.right, bar.right - 2);
  SetFocus(v.Grid);
  PressKey(v.Grid, 'E', true);
  const std::wstring tip = [&] {
    wchar_t text[1024] = {};
    SendMessageW(v.Status, SB_GETTIPTEXTW, MAKEWPARAM(6, 1024), reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  }();
  EXPECT_EQ(tip, L"");  // " EDIT MODE" fits
  // Narrow the viewer until the refusal of the alias cannot fit.
  MoveWindow(main, 0, 0, 560, 400, TRUE);
  ASSERT_EQ(OpenCellEditor(v, 2, 1), nullptr);
  const std::wstring reason = L" This value is an alias of another value: edit the anchored value it stands for";
  ASSERT_EQ(StatusText(v.Status, 6), reason);
  wchar_t text[1024] = {};
  SendMessageW(v.Status, SB_GETTIPTEXTW, MAKEWPARAM(6, 1024), reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::wstring(text), reason.substr(1));
  dll_.Close(main);
}

}  // namespace
}  // namespace corvane::test
