#include <gtest/gtest.h>

#include "uGridPaintRules.h"

namespace corvane {
namespace {

TThemeColours Colours() { return DefaultThemeColours(false, RgbColour(212, 208, 200)); }

TEST(grid_cell_colours, stripes_follow_display_positions_and_only_the_current_cell_stands_out) {
  const TThemeColours c = Colours();
  EXPECT_EQ(GridCellColours(c, 0, 1, false, 0, 1).Back, c.BackColor);
  EXPECT_EQ(GridCellColours(c, 1, 1, false, 0, 1).Back, c.BackColor2);
  EXPECT_EQ(GridCellColours(c, 2, 0, false, 0, 1).Back, c.BackColor);
  EXPECT_EQ(GridCellColours(c, 3, 0, false, 0, 1).Text, c.TextColor);
  // A selected row: the current cell, the rest of the row, and the current
  // cell's place while its row is not selected.
  EXPECT_EQ(GridCellColours(c, 4, 2, true, 4, 2).Back, c.CurrentCellBackColor);
  EXPECT_EQ(GridCellColours(c, 4, 1, true, 4, 2).Back, c.SelectionBackColor);
  EXPECT_EQ(GridCellColours(c, 4, 1, true, 4, 2).Text, c.SelectionTextColor);
  EXPECT_EQ(GridCellColours(c, 5, 2, true, 4, 2).Back, c.SelectionBackColor);
  EXPECT_EQ(GridCellColours(c, 4, 2, false, 4, 2).Back, c.BackColor);
}

TEST(decimal_cell_layout, integer_part_ends_at_the_offset_and_the_rest_starts_there) {
  TScaling scaling;
  const TRect cell{100, 20, 200, 40};
  TDecimalCellLayout layout = LayoutDecimalCell(scaling, cell, 30, u" -3,25 ");
  ASSERT_TRUE(layout.Numeric);
  EXPECT_EQ(layout.IntegerPart, u"-3");
  EXPECT_EQ(layout.Rest, u",25");
  EXPECT_EQ(layout.IntegerBox.Left, 106);
  EXPECT_EQ(layout.IntegerBox.Right, 136);
  EXPECT_EQ(layout.RestBox.Left, 136);
  EXPECT_EQ(layout.RestBox.Right, 194);
  EXPECT_EQ(layout.RestBox.Top, 20);
  EXPECT_EQ(layout.RestBox.Bottom, 40);

  scaling.Dpi = 144;  // margins scale, the offset is in pixels already
  layout = LayoutDecimalCell(scaling, cell, 30, u"n/a");
  EXPECT_FALSE(layout.Numeric);
  EXPECT_EQ(layout.WholeBox.Left, 109);
  EXPECT_EQ(layout.WholeBox.Right, 191);
  EXPECT_EQ(layout.IntegerBox.Right, 139);
}

TEST(header_painting, caption_box_and_sort_triangles) {
  TScaling scaling;
  const TRect item{0, 0, 100, 25};
  const TRect box = HeaderTextBox(scaling, item);
  EXPECT_EQ(box.Left, 6);
  EXPECT_EQ(box.Right, 96);
  const auto up = SortTriangle(scaling, item, false);
  EXPECT_EQ(up[0].X, 84);
  EXPECT_EQ(up[0].Y, 14);
  EXPECT_EQ(up[1].X, 92);
  EXPECT_EQ(up[2].X, 88);
  EXPECT_EQ(up[2].Y, 9);  // the tip points up
  const auto down = SortTriangle(scaling, item, true);
  EXPECT_EQ(down[0].Y, 10);
  EXPECT_EQ(down[2].Y, 15);  // the tip points down
  scaling.Dpi = 192;
  EXPECT_EQ(SortTriangle(scaling, item, true)[2].Y, 18);
  EXPECT_EQ(SortTriangle(scaling, item, true)[2].X, 76);
}

}  // namespace
}  // namespace corvane
