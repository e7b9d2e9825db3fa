// Themes on screen: the colours every control shows after each theme
// command and host notification, the dark visual style only when the host
// draws natively dark, and the tab control and status bar painted in the
// theme's colours.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "uThemes.h"

namespace corvane::test {
namespace {

struct TExpected {
  COLORREF Text, Back, Back2, FilterText, FilterBack;
};
constexpr TExpected kLight{RGB(0, 0, 0), RGB(255, 255, 255), RGB(240, 240, 240), RGB(0, 0, 0), RGB(240, 240, 240)};
constexpr TExpected kDark{RGB(220, 220, 220), RGB(32, 32, 32), RGB(52, 52, 52), RGB(255, 255, 255), RGB(60, 60, 60)};

class Themes : public ::testing::Test {
 protected:
  HWND Open(int showFlags = 0) {
    HWND main = dll_.OpenYaml("- {name: a, n: 1}\n- {name: b, n: 2}\n", showFlags);
    TViewerControls v(main);
    TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
    return main;
  }
  // What the viewer answers an edit's WM_CTLCOLOREDIT with.
  static void EditColours(const TViewerControls& v, COLORREF* text, COLORREF* back, COLORREF* brush) {
    TCanvas canvas(4, 4);
    HWND edit = GetDlgItem(v.Tab, 1000);
    auto answer = HBRUSH(SendMessageW(v.Tab, WM_CTLCOLOREDIT, WPARAM(canvas.Dc()), LPARAM(edit)));
    *text = GetTextColor(canvas.Dc());
    *back = GetBkColor(canvas.Dc());
    LOGBRUSH info{};
    *brush = GetObjectW(answer, sizeof info, &info) ? info.lbColor : CLR_INVALID;
  }
  static void ExpectColours(const TViewerControls& v, const TExpected& e) {
    EXPECT_EQ(COLORREF(SendMessageW(v.Tree, TVM_GETBKCOLOR, 0, 0)), e.Back);
    EXPECT_EQ(COLORREF(SendMessageW(v.Tree, TVM_GETTEXTCOLOR, 0, 0)), e.Text);
    EXPECT_EQ(COLORREF(SendMessageW(v.Grid, LVM_GETBKCOLOR, 0, 0)), e.Back);
    EXPECT_EQ(COLORREF(SendMessageW(v.Grid, LVM_GETTEXTBKCOLOR, 0, 0)), e.Back);
    EXPECT_EQ(COLORREF(SendMessageW(v.Grid, LVM_GETTEXTCOLOR, 0, 0)), e.Text);
    COLORREF text = 0, back = 0, brush = 0;
    EditColours(v, &text, &back, &brush);
    EXPECT_EQ(text, e.FilterText);
    EXPECT_EQ(back, e.FilterBack);
    EXPECT_EQ(brush, e.FilterBack);
    // The tab control: its client and the selected tab in back-color, the
    // other tab in back-color2.
    RECT client{}, grid{}, text1{};
    GetClientRect(v.Tab, &client);
    TabCtrl_GetItemRect(v.Tab, 0, &grid);
    TabCtrl_GetItemRect(v.Tab, 1, &text1);
    TCanvas tab(client.right, client.bottom);
    SendMessageW(v.Tab, WM_PRINTCLIENT, WPARAM(tab.Dc()), PRF_CLIENT);
    EXPECT_EQ(tab.Pixel(grid.left + 3, grid.top + 3), e.Back);
    EXPECT_EQ(tab.Pixel(text1.left + 3, text1.top + 3), e.Back2);
    EXPECT_EQ(tab.Pixel(client.right - 2, client.bottom - 2), e.Back);
    EXPECT_GT(tab.CountOther(text1, e.Back2), 0);  // caption and edge
    // The status bar: back-color with its texts in text-color.
    RECT bar{};
    GetClientRect(v.Status, &bar);
    TCanvas status(bar.right, bar.bottom);
    SendMessageW(v.Status, WM_PRINTCLIENT, WPARAM(status.Dc()), PRF_CLIENT);
    EXPECT_EQ(status.Pixel(bar.right - 2, 1), e.Back);
    RECT part{};
    SendMessageW(v.Status, SB_GETRECT, 4, reinterpret_cast<LPARAM>(&part));
    const int area = (part.right - part.left) * (part.bottom - part.top);
    EXPECT_LT(status.CountOther(part, e.Text), area);  // some text-colour pixels
    EXPECT_GT(status.CountOther(part, e.Back), 0);
  }
  TPluginDll dll_;
};

TEST_F(Themes, every_control_takes_the_colours_of_each_theme_command) {
  HWND main = Open();
  TViewerControls v(main);
  ExpectColours(v, kLight);
  SendMessageW(main, WM_COMMAND, 5018, 0);  // Theme: dark
  ExpectColours(v, kDark);
  std::string ini = dll_.ReadIni();
  EXPECT_NE(ini.find("theme-mode=dark"), std::string::npos) << ini;
  EXPECT_NE(ini.find("dark-theme=1"), std::string::npos) << ini;
  SendMessageW(main, WM_COMMAND, 5017, 0);  // Theme: light
  ExpectColours(v, kLight);
  ini = dll_.ReadIni();
  EXPECT_NE(ini.find("dark-theme=0"), std::string::npos) << ini;
  SendMessageW(main, WM_COMMAND, 5005, 0);  // follow the host, which is light
  ExpectColours(v, kLight);
  dll_.SendCommand(main, 2, 0x80);  // the host turns dark
  ExpectColours(v, kDark);
  dll_.SendCommand(main, 2, 0);
  ExpectColours(v, kLight);
  dll_.Close(main);
}

TEST_F(Themes, dark_visual_style_only_when_the_host_draws_natively_dark) {
  dll_.WriteIni("theme-mode=tc\r\n");
  HWND main = Open(0x80);  // dark colours, the host's own controls not dark
  TViewerControls v(main);
  std::wstring styles = dll_.TakeStyleLog();
  EXPECT_EQ(styles.find(L"DarkMode_Explorer"), std::wstring::npos) << Utf8(styles);
  EXPECT_NE(styles.find(L"style SysHeader32 [ | ]"), std::wstring::npos) << Utf8(styles);
  EXPECT_EQ(COLORREF(SendMessageW(v.Tree, TVM_GETBKCOLOR, 0, 0)), kDark.Back);

  dll_.SendCommand(main, 2, 0x180);
  styles = dll_.TakeStyleLog();
  for (const wchar_t* control : {L"SysTreeView32", L"SysTabControl32", L"SysListView32", L"msctls_statusbar32", L"Edit"})
    EXPECT_NE(styles.find(std::wstring(L"style ") + control + L" [-|DarkMode_Explorer]"), std::wstring::npos)
        << Utf8(control) << "\n" << Utf8(styles);
  // The header stays without a visual style, painted by the viewer.
  EXPECT_EQ(styles.substr(styles.rfind(L"style ")), L"style SysHeader32 [ | ]\n");
  // The text pane and filter edits made later get the dark style too.
  TabCtrl_SetCurSel(v.Tab, 1);
  Notify(main, v.Tab, TCN_SELCHANGE);
  EXPECT_NE(dll_.TakeStyleLog().find(L"CorvaneText [-|DarkMode_Explorer]"), std::wstring::npos);

  dll_.SendCommand(main, 2, 0x80);  // native dark off again: default styles
  styles = dll_.TakeStyleLog();
  EXPECT_EQ(styles.find(L"DarkMode_Explorer"), std::wstring::npos);
  EXPECT_NE(styles.find(L"style CorvaneText [-|-]"), std::wstring::npos) << Utf8(styles);
  dll_.SendCommand(main, 2, 0x80);  // nothing changed: nothing applied
  EXPECT_EQ(dll_.TakeStyleLog(), L"");
  dll_.Close(main);
}

TEST_F(Themes, the_selected_tree_entry_stays_readable_without_the_focus) {
  HWND main = Open();
  TViewerControls v(main);
  SendMessageW(main, WM_COMMAND, 5018, 0);  // Theme: dark
  HTREEITEM selected = TreeView_GetSelection(v.Tree);
  ASSERT_NE(selected, nullptr);
  SetFocus(v.Grid);
  // What a user sees: the selected label in text-color on back-color2.
  RECT label{};
  ASSERT_TRUE(TreeView_GetItemRect(v.Tree, selected, &label, TRUE));
  RECT client{};
  GetClientRect(v.Tree, &client);
  TCanvas canvas(client.right, client.bottom);
  SendMessageW(v.Tree, WM_PRINTCLIENT, WPARAM(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(canvas.Pixel(label.left + 1, label.top + 1), kDark.Back2);
  EXPECT_LT(canvas.CountOther(label, kDark.Text), (label.right - label.left) * (label.bottom - label.top));
  // With the focus in the tree the control's own highlight stays.
  SetFocus(v.Tree);
  NMTVCUSTOMDRAW draw{};
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.uItemState = CDIS_SELECTED;
  draw.clrText = RGB(1, 2, 3);
  draw.clrTextBk = RGB(4, 5, 6);
  EXPECT_EQ(Notify(main, v.Tree, NM_CUSTOMDRAW, &draw.nmcd.hdr), CDRF_DODEFAULT);
  EXPECT_EQ(draw.clrText, RGB(1, 2, 3));
  EXPECT_EQ(draw.clrTextBk, RGB(4, 5, 6));
}

TEST_F(Themes, brushes_and_fonts_are_replaced_before_the_old_ones_go) {
  HWND main = Open();
  TViewerControls v(main);
  TCanvas canvas(4, 4);
  HWND edit = GetDlgItem(v.Tab, 1000);
  auto brush = HBRUSH(SendMessageW(v.Tab, WM_CTLCOLOREDIT, WPARAM(canvas.Dc()), LPARAM(edit)));
  ASSERT_NE(GetObjectType(brush), 0u);
  HFONT font = HFONT(SendMessageW(edit, WM_GETFONT, 0, 0));
  SendMessageW(main, WM_COMMAND, 5018, 0);
  EXPECT_EQ(GetObjectType(brush), 0u);  // the old brush is gone ...
  brush = HBRUSH(SendMessageW(v.Tab, WM_CTLCOLOREDIT, WPARAM(canvas.Dc()), LPARAM(edit)));
  EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));  // ... and the edits have a live one
  SendMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  EXPECT_EQ(GetObjectType(font), 0u);
  for (HWND control : {v.Tree, v.Grid, v.Status, edit})
    EXPECT_EQ(GetObjectType(HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0))), DWORD(OBJ_FONT));
  EXPECT_EQ(GetObjectType(HGDIOBJ(SendMessageW(v.Tab, WM_GETFONT, 0, 0))), DWORD(OBJ_FONT));
  dll_.Close(main);
}

// A status text longer than any fixed buffer (here a translation of 5,000
// characters) is held and painted in full.
TEST_F(Themes, status_bar_paints_texts_of_any_length) {
  const std::wstring lng = ProgramFolder() + L"corvane.de.lng";
  const std::string longText = " " + std::string(4999, 'W');
  WriteFileBytes(Utf8(lng), "status.link_refused=" + longText + "\n");
  dll_.WriteIni("language=de\r\n");
  HWND main = dll_.OpenYaml("- file://x/y.exe\n- z\n");
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
  ListView_SetItemState(v.Grid, 0, LVIS_SELECTED, LVIS_SELECTED);
  BYTE keys[256] = {};
  keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  NMITEMACTIVATE click{};
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  BYTE none[256] = {};
  SetKeyboardState(none);
  EXPECT_EQ(LOWORD(SendMessageW(v.Status, SB_GETTEXTLENGTHW, 6, 0)), 5000);
  RECT bar{}, part{};
  GetClientRect(v.Status, &bar);
  SendMessageW(v.Status, SB_GETRECT, 6, reinterpret_cast<LPARAM>(&part));
  TCanvas status(bar.right, bar.bottom);
  SendMessageW(v.Status, WM_PRINTCLIENT, WPARAM(status.Dc()), PRF_CLIENT);
  EXPECT_GT(status.CountOther(part, kLight.Back), 0);
  UpdateWindow(v.Status);
  dll_.Close(main);
  DeleteFileW(lng.c_str());
}

// In the dark theme the cells read well on every background (stripes,
// selection, current cell), and no part of the viewer stays light: the tab
// frames and the splitter strip wear the theme too.
TEST_F(Themes, dark_cells_read_well_and_no_part_stays_light) {
  dll_.WriteIni("decimal-align=0\r\ntheme-mode=dark\r\n");
  HWND main = Open();
  TViewerControls v(main);
  TCanvas canvas(100, 20);
  NMLVCUSTOMDRAW draw{};
  for (int row : {0, 1})
    for (int column : {0, 1}) {
      draw = NMLVCUSTOMDRAW{};
      draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
      draw.nmcd.hdc = canvas.Dc();
      draw.nmcd.rc = RECT{0, 0, 100, 20};
      draw.nmcd.dwItemSpec = DWORD_PTR(row);
      draw.iSubItem = column;
      Notify(main, v.Grid, NM_CUSTOMDRAW, &draw.nmcd.hdr);
      EXPECT_GE(ContrastRatio(draw.clrText, draw.clrTextBk), 4.5) << row << ":" << column;
    }
  RECT tab{};
  GetClientRect(v.Tab, &tab);
  TCanvas tabs(tab.right, tab.bottom);
  SendMessageW(v.Tab, WM_PRINTCLIENT, WPARAM(tabs.Dc()), PRF_CLIENT);
  RECT item{};
  TabCtrl_GetItemRect(v.Tab, 1, &item);
  EXPECT_LT(ContrastRatio(tabs.Pixel(item.left, item.top + 2), kDark.Back), 4.0);  // the frame: no white edge
  EXPECT_EQ(tabs.Pixel(item.right - 1, item.bottom - 1), tabs.Pixel(item.left, item.top));
  RECT client{};
  GetClientRect(main, &client);
  TCanvas window(client.right, client.bottom);
  SendMessageW(main, WM_ERASEBKGND, WPARAM(window.Dc()), 0);
  EXPECT_EQ(window.Pixel(client.right - 1, 1), RGB(60, 60, 60));  // the splitter colour
  dll_.Close(main);
}

}  // namespace
}  // namespace corvane::test
