// The grid as a user sees it: the filter row typed into, sorting by header
// clicks, hidden columns, and the colours and pixels its cells and header
// are painted with.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

// Light theme defaults.
constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kBack2 = RGB(240, 240, 240);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kSelectionBack = RGB(10, 36, 106);
constexpr COLORREF kSelectionText = RGB(255, 255, 255);
constexpr COLORREF kCurrentCell = RGB(70, 96, 166);
constexpr COLORREF kHeaderBack = RGB(204, 204, 204);  // filter-back-color at 85 %

const char kTable[] =
    "- {name: alpha, n: 1.5}\n"
    "- {name: beta, n: 10.25}\n"
    "- {name: gamma, n: 3}\n"
    "- {name: Alphabet, n: 22}\n";

class GridPainting : public ::testing::Test {
 protected:
  // Opens a document and shows its root in the grid.
  HWND Open(const std::string& yaml) {
    HWND main = dll_.OpenYaml(yaml);
    TViewerControls v(main);
    TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
    dll_.TakeOutsideLog();
    return main;
  }
  static HWND FilterEdit(const TViewerControls& v, int column) { return GetDlgItem(v.Tab, 1000 + column); }
  static int ColumnWidth(const TViewerControls& v, int column) {
    return int(SendMessageW(v.Grid, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
  }
  static std::vector<std::wstring> Column(const TViewerControls& v, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < ItemCount(v.Grid); ++row) texts.push_back(CellText(v.Grid, row, column));
    return texts;
  }
  // The answer to one custom-draw stage of the grid, drawn into canvas.
  static LRESULT DrawCell(const TViewerControls& v, TCanvas& canvas, DWORD stage, int row, int column,
                          const RECT& rect, NMLVCUSTOMDRAW* draw) {
    *draw = NMLVCUSTOMDRAW{};
    draw->nmcd.dwDrawStage = stage;
    draw->nmcd.hdc = canvas.Dc();
    draw->nmcd.rc = rect;
    draw->nmcd.dwItemSpec = DWORD_PTR(row);
    draw->nmcd.uItemState = CDIS_SELECTED;
    draw->iSubItem = column;
    return Notify(v.Main, v.Grid, NM_CUSTOMDRAW, &draw->nmcd.hdr);
  }
  TPluginDll dll_;
};

TEST_F(GridPainting, typed_filters_apply_after_the_delay_and_combine) {
  HWND main = Open(kTable);
  TViewerControls v(main);
  ASSERT_EQ(ItemCount(v.Grid), 4);
  TypeText(FilterEdit(v, 0), L"ALP");
  EXPECT_EQ(ItemCount(v.Grid), 4);  // not before the typing delay
  PumpMessages(400);
  EXPECT_EQ(Column(v, 0), (std::vector<std::wstring>{L"alpha", L"Alphabet"}));
  EXPECT_EQ(StatusText(v.Status, 4), L" Rows: 2/4");
  TypeText(FilterEdit(v, 1), L">2");
  SendMessageW(main, WM_TIMER, 1, 0);  // the delay's end, delivered at once
  EXPECT_EQ(Column(v, 0), std::vector<std::wstring>{L"Alphabet"});
  EXPECT_EQ(StatusText(v.Status, 4), L" Rows: 1/4");

  // Keys typed in an edit are the edit's; Escape goes back to the grid.
  SetFocus(FilterEdit(v, 1));
  PressKey(FilterEdit(v, 1), 'N');
  PressKey(FilterEdit(v, 1), '3');
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  PressKey(FilterEdit(v, 1), VK_ESCAPE);
  EXPECT_EQ(GetFocus(), v.Grid);

  // Hiding the row keeps its filters; no row left leaves no cursor.
  SendMessageW(main, WM_COMMAND, 5006, 0);
  EXPECT_FALSE(IsWindowVisible(FilterEdit(v, 0)));
  EXPECT_EQ(ItemCount(v.Grid), 1);
  SetWindowTextW(FilterEdit(v, 1), L"=nothing");
  PumpMessages(400);
  EXPECT_EQ(ItemCount(v.Grid), 0);
  EXPECT_EQ(StatusText(v.Status, 5), L"");
  SendMessageW(main, WM_COMMAND, 5006, 0);
  EXPECT_TRUE(IsWindowVisible(FilterEdit(v, 0)));
  SetWindowTextW(FilterEdit(v, 1), L"");
  PumpMessages(400);
  EXPECT_EQ(ItemCount(v.Grid), 2);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{0});
  dll_.Close(main);
}

TEST_F(GridPainting, filter_edits_sit_under_their_columns_as_these_move) {
  HWND main = Open(kTable);
  TViewerControls v(main);
  auto editLeft = [&](int column) {
    RECT edit{}, item{};
    GetWindowRect(FilterEdit(v, column), &edit);
    SendMessageW(v.Header, HDM_GETITEMRECT, WPARAM(column), reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(v.Header, nullptr, reinterpret_cast<POINT*>(&item), 2);
    EXPECT_EQ(edit.right - edit.left, ColumnWidth(v, column));
    return edit.left - item.left;
  };
  EXPECT_EQ(editLeft(0), 0);
  EXPECT_EQ(editLeft(1), 0);
  SendMessageW(v.Grid, LVM_SETCOLUMNWIDTH, 0, 300);
  EXPECT_EQ(editLeft(1), 0);
  SendMessageW(v.Grid, LVM_SCROLL, 50, 0);
  EXPECT_EQ(editLeft(0), 0);
  EXPECT_EQ(editLeft(1), 0);
  int order[2] = {1, 0};  // the user drags column 1 to the front
  SendMessageW(v.Grid, LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(order));
  NMHEADERW changed{};
  Notify(main, v.Header, HDN_ITEMCHANGEDW, &changed.hdr);
  EXPECT_EQ(editLeft(0), 0);
  EXPECT_EQ(editLeft(1), 0);
  dll_.Close(main);
}

TEST_F(GridPainting, header_clicks_cycle_the_sort_and_mark_the_header) {
  HWND main = Open(kTable);
  TViewerControls v(main);
  auto click = [&](int column) {
    NMLISTVIEW info{};
    info.iItem = -1;
    info.iSubItem = column;
    Notify(main, v.Grid, LVN_COLUMNCLICK, &info.hdr);
  };
  auto format = [&](int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(v.Header, HDM_GETITEMW, WPARAM(column), reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  };
  click(1);
  EXPECT_EQ(Column(v, 1), (std::vector<std::wstring>{L"1.5", L"3", L"10.25", L"22"}));
  EXPECT_EQ(format(1), HDF_SORTUP);
  click(1);
  EXPECT_EQ(Column(v, 1), (std::vector<std::wstring>{L"22", L"10.25", L"3", L"1.5"}));
  EXPECT_EQ(format(1), HDF_SORTDOWN);
  click(1);
  EXPECT_EQ(Column(v, 1), (std::vector<std::wstring>{L"1.5", L"10.25", L"3", L"22"}));
  EXPECT_EQ(format(1), 0);
  click(0);
  EXPECT_EQ(Column(v, 0), (std::vector<std::wstring>{L"alpha", L"Alphabet", L"beta", L"gamma"}));
  EXPECT_EQ(format(0), HDF_SORTUP);
  dll_.Close(main);
}

TEST_F(GridPainting, hidden_columns_stay_hidden_through_filter_passes_until_shown_again) {
  HWND main = Open(kTable);
  TViewerControls v(main);
  NMITEMACTIVATE click{};
  click.iItem = 0;
  click.iSubItem = 1;
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  SendMessageW(main, WM_COMMAND, 5007, 0);
  EXPECT_EQ(ColumnWidth(v, 1), 0);
  EXPECT_FALSE(IsWindowVisible(FilterEdit(v, 1)));
  TypeText(FilterEdit(v, 0), L"a");
  PumpMessages(400);
  EXPECT_EQ(ColumnWidth(v, 1), 0);
  PressKey(v.Grid, VK_SPACE, true);  // Ctrl+Space shows every column
  EXPECT_GT(ColumnWidth(v, 1), 1);
  EXPECT_TRUE(IsWindowVisible(FilterEdit(v, 1)));
  dll_.Close(main);
}

TEST_F(GridPainting, width_pass_limits_two_and_one_column_grids) {
  dll_.WriteIni("max-column-width=100\r\n");
  const std::string longName(60, 'k');
  HWND main = Open(longName + ": " + std::string(80, 'v') + "\nb: 1\n");
  TViewerControls v(main);
  ASSERT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"Attribute", L"Value"}));
  EXPECT_EQ(ColumnWidth(v, 0), 100);  // the attribute column stops at the limit
  EXPECT_GT(ColumnWidth(v, 1), 300);  // the value column grows to its text
  dll_.Close(main);

  main = Open("- " + std::string(200, 'x') + "\n- y\n");
  TViewerControls one(main);
  ASSERT_EQ(HeaderTexts(one.Grid), std::vector<std::wstring>{L"Element"});
  const int width = ColumnWidth(one, 0);
  EXPECT_LT(width, 3 * 120);  // three times the header's width plus 24
  EXPECT_GT(width, 100);
  dll_.Close(main);
}

// The width pass sums the font's advance widths for plain Latin texts and
// asks the text-extent function for others: both must size a column as
// that function measures its text.
TEST_F(GridPainting, width_pass_sizes_columns_as_the_text_extent_measures) {
  dll_.WriteIni("max-column-width=3000\r\n");
  const std::wstring latin = L"Wide, thin: iiii WWWW \u00e9\u00df \u0101 fl 0123456789 Long text";
  const std::wstring other = L"\u0416\u0438\u0437\u043d\u044c \u65e5\u672c e\u0301 Long text";
  int widths[2] = {};
  int extents[2] = {};
  const std::wstring* texts[2] = {&latin, &other};
  for (int i = 0; i < 2; ++i) {
    HWND main = Open("key: \"" + Utf8(*texts[i]) + "\"\n");
    TViewerControls v(main);
    ASSERT_EQ(CellText(v.Grid, 0, 1), *texts[i]);
    widths[i] = ColumnWidth(v, 1);
    HDC dc = GetDC(v.Grid);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(v.Grid, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, texts[i]->c_str(), int(texts[i]->size()), &size);
    SelectObject(dc, old);
    ReleaseDC(v.Grid, dc);
    extents[i] = size.cx;
    dll_.Close(main);
  }
  EXPECT_GT(extents[0], 100);
  EXPECT_EQ(widths[0] - widths[1], extents[0] - extents[1]);
}

TEST_F(GridPainting, cells_get_stripes_selection_and_current_cell_colours) {
  dll_.WriteIni("decimal-align=0\r\n");
  HWND main = Open(kTable);
  TViewerControls v(main);
  TCanvas canvas(200, 30);
  const RECT rect{0, 0, 200, 30};
  NMLVCUSTOMDRAW draw{};
  EXPECT_EQ(DrawCell(v, canvas, CDDS_PREPAINT, 0, 0, rect, &draw), CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT);
  // Row 0 is selected: the control must not paint its own highlight.
  EXPECT_EQ(DrawCell(v, canvas, CDDS_ITEMPREPAINT, 0, 0, rect, &draw), CDRF_NOTIFYSUBITEMDRAW);
  EXPECT_EQ(draw.nmcd.uItemState & CDIS_SELECTED, 0u);
  EXPECT_EQ(DrawCell(v, canvas, CDDS_ITEMPREPAINT, 1, 0, rect, &draw), CDRF_NOTIFYSUBITEMDRAW);
  EXPECT_EQ(draw.nmcd.uItemState & CDIS_SELECTED, UINT(CDIS_SELECTED));

  const DWORD sub = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
  struct TCase {
    int Row, Column;
    COLORREF Text, Back;
  };
  const TCase cases[] = {
      {0, 0, kSelectionText, kCurrentCell},    // the current cell of the selected row
      {0, 1, kSelectionText, kSelectionBack},  // the rest of the selected row
      {1, 0, kText, kBack2},                   // odd display positions
      {2, 1, kText, kBack},
      {3, 0, kText, kBack2},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(DrawCell(v, canvas, sub, c.Row, c.Column, rect, &draw), CDRF_DODEFAULT);
    EXPECT_EQ(draw.clrText, c.Text) << c.Row << ":" << c.Column;
    EXPECT_EQ(draw.clrTextBk, c.Back) << c.Row << ":" << c.Column;
  }
  // Sorting moves the rows but the stripes stay with the display positions.
  PressKey(v.Grid, '2', true);
  EXPECT_EQ(DrawCell(v, canvas, sub, 1, 0, rect, &draw), CDRF_DODEFAULT);
  EXPECT_EQ(draw.clrTextBk, kBack2);
  dll_.Close(main);
}

TEST_F(GridPainting, decimal_column_is_drawn_in_two_boxes_split_at_the_separator) {
  HWND main = Open(kTable);
  TViewerControls v(main);
  const int width = ColumnWidth(v, 1);
  const RECT rect{0, 0, width, 24};
  const DWORD sub = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
  NMLVCUSTOMDRAW draw{};
  // Rows 2 ("3") and 3 ("22") end at the same x; row 1 ("10.25") has its
  // integer part before that x and its fraction after it.
  TCanvas ten(width, 24), three(width, 24), twenty(width, 24), name(ColumnWidth(v, 0), 24);
  EXPECT_EQ(DrawCell(v, ten, sub, 1, 1, rect, &draw), CDRF_SKIPDEFAULT);
  EXPECT_EQ(DrawCell(v, three, sub, 2, 1, rect, &draw), CDRF_SKIPDEFAULT);
  EXPECT_EQ(DrawCell(v, twenty, sub, 3, 1, rect, &draw), CDRF_SKIPDEFAULT);
  EXPECT_EQ(ten.Pixel(1, 1), kBack2);  // the stripe is filled by the cell itself
  EXPECT_EQ(three.Pixel(1, 1), kBack);
  const int threeEnd = three.LastOtherX(rect, kBack);
  EXPECT_GT(threeEnd, 12);
  EXPECT_NEAR(twenty.LastOtherX(rect, kBack2), threeEnd, 1);
  EXPECT_GT(ten.CountOther(RECT{0, 0, threeEnd + 1, 24}, kBack2), 0);
  EXPECT_GT(ten.LastOtherX(rect, kBack2), threeEnd + 8);
  // The name column is not aligned: the control draws it.
  EXPECT_EQ(DrawCell(v, name, sub, 2, 0, RECT{0, 0, ColumnWidth(v, 0), 24}, &draw), CDRF_DODEFAULT);
  dll_.Close(main);
}

TEST_F(GridPainting, header_is_painted_in_theme_colours_with_the_sort_triangle) {
  HWND main = Open(kTable);
  TViewerControls v(main);
  PressKey(v.Grid, '2', true);  // sort by n, ascending
  RECT item{};
  SendMessageW(v.Header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  TCanvas canvas(item.right + 10, item.bottom + 2);
  NMCUSTOMDRAW draw{};
  draw.hdc = canvas.Dc();
  draw.rc = RECT{0, 0, item.right + 10, item.bottom};
  draw.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(Notify(v.Grid, v.Header, NM_CUSTOMDRAW, &draw.hdr), CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT);
  EXPECT_EQ(canvas.Pixel(item.right + 5, 2), kHeaderBack);
  draw.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.dwItemSpec = 1;
  draw.rc = item;
  EXPECT_EQ(Notify(v.Grid, v.Header, NM_CUSTOMDRAW, &draw.hdr), CDRF_SKIPDEFAULT);
  const COLORREF splitter = canvas.Pixel(item.right - 1, item.top + 2);
  EXPECT_EQ(canvas.Pixel(item.left + 2, item.bottom - 1), splitter);  // the bottom line
  EXPECT_NE(splitter, kHeaderBack);
  EXPECT_EQ(canvas.Pixel(item.right - 12, (item.top + item.bottom) / 2), kText);  // the triangle
  EXPECT_GT(canvas.CountOther(RECT{item.left + 6, item.top, item.left + 20, item.bottom - 1}, kHeaderBack), 0);
  dll_.Close(main);
}

// A table wider than the grid and longer than a page: 60 rows, 8 columns.
std::string WideTable() {
  std::string yaml;
  for (int r = 0; r < 60; ++r) {
    yaml += "- {";
    for (int c = 0; c < 8; ++c)
      yaml += (c ? ", " : "") + std::string("col") + char('a' + c) + ": value-" + std::to_string(r) + "-" +
              std::to_string(c) + "-wide";
    yaml += "}\n";
  }
  return yaml;
}

// Every shown filter edit lies exactly over its column's header item, and
// the edit of a hidden column is hidden.
void ExpectEditsUnderColumns(const TViewerControls& v, const char* when) {
  const int count = int(SendMessageW(v.Header, HDM_GETITEMCOUNT, 0, 0));
  ASSERT_GT(count, 0) << when;
  for (int c = 0; c < count; ++c) {
    HWND edit = GetDlgItem(v.Tab, 1000 + c);
    RECT item{}, box{};
    SendMessageW(v.Header, HDM_GETITEMRECT, WPARAM(c), reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(v.Header, nullptr, reinterpret_cast<POINT*>(&item), 2);
    GetWindowRect(edit, &box);
    if (item.right <= item.left) {
      EXPECT_FALSE(IsWindowVisible(edit)) << when << ": column " << c;
      continue;
    }
    EXPECT_EQ(box.left, item.left) << when << ": column " << c;
    EXPECT_EQ(box.right, item.right) << when << ": column " << c;
  }
}

TEST_F(GridPainting, filter_edits_stay_under_their_columns_through_filters_hiding_and_scrolling) {
  HWND main = Open(WideTable());
  TViewerControls v(main);
  ASSERT_EQ(ItemCount(v.Grid), 60);
  ExpectEditsUnderColumns(v, "opened");
  for (int i = 0; i < 12; ++i) SendMessageW(v.Grid, WM_HSCROLL, SB_LINERIGHT, 0);
  ASSERT_GT(GetScrollPos(v.Grid, SB_HORZ), 0);
  ExpectEditsUnderColumns(v, "scrolled");
  SendMessageW(v.Grid, LVM_SCROLL, 100000, 0);
  ExpectEditsUnderColumns(v, "scrolled to the end");
  // The list view's own keys scroll it too.
  SetFocus(v.Grid);
  PressKey(v.Grid, VK_END);
  PressKey(v.Grid, VK_HOME);
  ExpectEditsUnderColumns(v, "End and Home");
  SendMessageW(v.Grid, LVM_SCROLL, 100000, 0);
  // A filter that leaves one row takes the vertical scroll bar away: the
  // list gets wider and scrolls back by the bar's width.
  SetWindowTextW(FilterEdit(v, 0), L"=value-7-0-wide");
  PumpMessages(400);
  ASSERT_EQ(ItemCount(v.Grid), 1);
  ExpectEditsUnderColumns(v, "filtered");
  NMITEMACTIVATE click{};
  click.iItem = 0;
  click.iSubItem = 2;
  Notify(main, v.Grid, NM_CLICK, &click.hdr);
  SendMessageW(main, WM_COMMAND, 5007, 0);  // hide column 2
  ExpectEditsUnderColumns(v, "column hidden");
  SetWindowTextW(FilterEdit(v, 0), L"");
  PumpMessages(400);
  ExpectEditsUnderColumns(v, "filter cleared");
  PressKey(v.Grid, VK_SPACE, true);  // Ctrl+Space shows every column
  ExpectEditsUnderColumns(v, "columns shown");
  dll_.Close(main);
}

TEST_F(GridPainting, a_filter_without_matches_keeps_the_column_widths) {
  HWND main = Open(WideTable());
  TViewerControls v(main);
  std::vector<int> before;
  for (int c = 0; c < 8; ++c) before.push_back(ColumnWidth(v, c));
  SetWindowTextW(FilterEdit(v, 3), L"no such value");
  PumpMessages(400);
  ASSERT_EQ(ItemCount(v.Grid), 0);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(ColumnWidth(v, c), before[size_t(c)]) << c;
  ExpectEditsUnderColumns(v, "no match");
  dll_.Close(main);
}

TEST_F(GridPainting, filter_text_is_left_aligned_visible_and_ctrl_a_selects_it) {
  HWND main = Open("- {n: 1, a: x}\n- {n: 2, a: y}\n");
  TViewerControls v(main);
  HWND narrow = FilterEdit(v, 0);
  EXPECT_EQ(GetWindowLongW(narrow, GWL_STYLE) & (ES_CENTER | ES_RIGHT), 0);
  SetFocus(narrow);
  TypeText(narrow, L"a long filter text that does not fit");
  RECT client{};
  GetClientRect(narrow, &client);
  const int length = GetWindowTextLengthW(narrow);
  // The caret's end of the text is on screen, and a short text starts at
  // the left edge.
  const LRESULT last = SendMessageW(narrow, EM_POSFROMCHAR, WPARAM(length - 1), 0);
  EXPECT_GE(short(LOWORD(last)), 0);
  EXPECT_LT(short(LOWORD(last)), client.right);
  PressKey(narrow, 'A', true);
  DWORD from = 9, to = 0;
  SendMessageW(narrow, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, DWORD(length));
  SetWindowTextW(narrow, L"1");
  EXPECT_LT(short(LOWORD(SendMessageW(narrow, EM_POSFROMCHAR, 0, 0))), 6);
  dll_.Close(main);
}

// The grid's lines and the header's empty end wear the theme, and nothing
// of a previous table is left under the header.
TEST_F(GridPainting, grid_lines_and_the_header_end_take_the_dark_theme) {
  dll_.WriteIni("theme-mode=dark\r\n");
  HWND main = Open("- {a: 1}\n- {a: 2}\n");
  TViewerControls v(main);
  RECT client{};
  GetClientRect(v.Grid, &client);
  TCanvas grid(client.right, client.bottom);
  SendMessageW(v.Grid, WM_PRINTCLIENT, WPARAM(grid.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
  RECT item{}, row{};
  SendMessageW(v.Header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  row.left = LVIR_BOUNDS;
  SendMessageW(v.Grid, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  constexpr COLORREF kLine = RGB(136, 136, 136);
  EXPECT_EQ(grid.Pixel(item.right - 1, client.bottom - 3), kLine);  // right of column 0, below the rows
  EXPECT_EQ(grid.Pixel(item.right + 20, row.bottom - 1), kLine);     // below row 0, right of the columns
  EXPECT_EQ(grid.CountOther(RECT{0, row.top, client.right, client.bottom}, RGB(255, 255, 255)),
            client.right * (client.bottom - row.top));  // nothing white
  RECT bar{};
  GetClientRect(v.Header, &bar);
  TCanvas header(bar.right, bar.bottom);
  SendMessageW(v.Header, WM_PRINTCLIENT, WPARAM(header.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(header.Pixel(bar.right - 3, bar.bottom / 2), RGB(51, 51, 51));  // filter-back-color at 85 %
  dll_.Close(main);
}

// Switching to a smaller table after scrolling a wide one, and from the
// Text tab back, leaves nothing of the earlier picture on screen.
TEST_F(GridPainting, switching_tables_and_tabs_leaves_no_paint_of_the_previous_table) {
  HWND main = dll_.OpenYaml("wide:\n" + WideTable() + "small: {a: 1, b: 2}\n");
  TViewerControls v(main);
  PumpMessages(200);
  HTREEITEM root = TreeRoot(v.Tree);
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, root, 0));
  for (int i = 0; i < 20; ++i) SendMessageW(v.Grid, WM_HSCROLL, SB_LINERIGHT, 0);
  PumpMessages(200);
  SetFocus(v.Tree);
  PressKey(v.Tree, VK_DOWN);
  ASSERT_EQ(SelectedTreeText(v.Tree), L"small");
  PumpMessages(200);
  RECT where{};
  EXPECT_EQ(LeftoverPixels(v.Tab, &where), 0) << where.left << "," << where.top << "-" << where.right << "," << where.bottom;
  for (int tab : {1, 0}) {
    TabCtrl_SetCurSel(v.Tab, tab);
    Notify(main, v.Tab, TCN_SELCHANGE);
    PumpMessages(200);
  }
  EXPECT_EQ(LeftoverPixels(v.Tab, &where), 0) << where.left << "," << where.top << "-" << where.right << "," << where.bottom;
  dll_.Close(main);
}

}  // namespace
}  // namespace corvane::test
