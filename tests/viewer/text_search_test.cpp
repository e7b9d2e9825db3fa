#include <gtest/gtest.h>

#include "uTextSearch.h"

namespace corvane {
namespace {

TTableModel MakeTable(std::vector<std::u16string> headers, TUnicodeRows rows) {
  TTableModel table;
  table.Headers = std::move(headers);
  table.Cells = rows;
  table.RowNodes.assign(size_t(table.RowCount()), nullptr);
  return table;
}

TEST(show_cell_in_text, finds_the_cell_text_and_skips_container_summaries) {
  const std::u16string pane = u"name: alpha\nport: 8080\n";
  EXPECT_EQ(FindCellInText(pane, u"8080"), 18);
  EXPECT_EQ(FindCellInText(pane, u"Alpha"), -1);  // case-sensitive
  EXPECT_EQ(FindCellInText(pane, u""), -1);
  EXPECT_EQ(FindCellInText(u"[Object] [Array]", u"[Object]"), -1);
  EXPECT_EQ(FindCellInText(u"[Object] [Array]", u"[Array]"), -1);
  // Only the first 65535 characters are searched.
  const std::u16string longPane = std::u16string(kPaneTextLinkLimit, u' ') + u"tail";
  EXPECT_EQ(FindCellInText(longPane, u"tail"), -1);
}

TEST(show_cell_in_text, reads_the_value_column_in_the_listing_and_checks_positions) {
  const TTableModel table = MakeTable({u"Path", u"Value"}, {{u"a.b", u"1"}, {u"c", u"x"}});
  const TIntegerArray visible = {1, 0};
  EXPECT_EQ(ShowCellSearchText(table, visible, 0, 0, -1), u"x");
  EXPECT_EQ(ShowCellSearchText(table, visible, 1, 0, 0), u"a.b");
  EXPECT_EQ(ShowCellSearchText(table, visible, -1, 0, 0), u"");
  EXPECT_EQ(ShowCellSearchText(table, visible, 2, 0, 0), u"");
  EXPECT_EQ(ShowCellSearchText(table, visible, 0, -1, 0), u"");
  const TTableModel wide = MakeTable({u"Value"}, {{std::u16string(5000, u'w')}});
  EXPECT_EQ(ShowCellSearchText(wide, {0}, 0, 0, 0).size(), kLinkCellTextLimit);
  const TIntegerArray staleRows = {7};
  EXPECT_EQ(ShowCellSearchText(table, staleRows, 0, 0, 0), u"");
}

TEST(find_selection_in_grid, matches_cells_containing_or_contained_in_the_selection) {
  const TTableModel table =
      MakeTable({u"a", u"b"}, {{u"", u"alpha"}, {u"beta", u"gamma"}, {u"x", u"y"}});
  const TIntegerArray visible = {2, 1, 0};
  TGridCellPos pos = FindSelectionInGrid(table, visible, u"mm");
  EXPECT_EQ(pos.Row, 1);
  EXPECT_EQ(pos.Column, 1);
  pos = FindSelectionInGrid(table, visible, u"(beta)");  // cell inside selection
  EXPECT_EQ(pos.Row, 1);
  EXPECT_EQ(pos.Column, 0);
  pos = FindSelectionInGrid(table, visible, u"y");  // display order decides
  EXPECT_EQ(pos.Row, 0);
  EXPECT_EQ(pos.Column, 1);
  EXPECT_FALSE(FindSelectionInGrid(table, visible, u"").Found());
  EXPECT_FALSE(FindSelectionInGrid(table, visible, u"Alpha").Found());
  EXPECT_FALSE(FindSelectionInGrid(MakeTable({}, {}), {}, u"a").Found());
  EXPECT_FALSE(FindSelectionInGrid(table, {9, -3}, u"a").Found());
}

TEST(find_selection_in_grid, cuts_the_selection_from_the_pane_text_safely) {
  const std::u16string pane = u"hello world";
  EXPECT_EQ(SelectedPaneText(pane, 6, 11), u"world");
  EXPECT_EQ(SelectedPaneText(pane, 11, 6), u"world");
  EXPECT_EQ(SelectedPaneText(pane, -5, 2), u"he");
  EXPECT_EQ(SelectedPaneText(pane, 3, 900), u"lo world");
  EXPECT_EQ(SelectedPaneText(u"", 0, 4), u"");
  const std::u16string nul(u"a\0b", 3);
  EXPECT_EQ(SelectedPaneText(nul, 0, 3), nul);
}

TEST(text_pane_positions, count_one_character_per_line_break_and_utf16_units) {
  const std::string text = "a: 1\r\nb: \xC3\xA9\xF0\x9F\x98\x80x\r\n";
  EXPECT_EQ(PanePositionOfByte(text, 0), 0);
  EXPECT_EQ(PanePositionOfByte(text, 6), 5);    // "b" after one CR LF
  EXPECT_EQ(PanePositionOfByte(text, 9), 8);    // after "b: "
  EXPECT_EQ(PanePositionOfByte(text, 15), 11);  // é is one unit, the emoji two
  EXPECT_EQ(PanePositionOfByte(text, 900), 13);
  EXPECT_EQ(PanePositionOfByte(text, -4), 0);
}

}  // namespace
}  // namespace corvane
