// The viewer core's operations: filter pass, sort toggle, cursor rules,
// filters kept across a rebuild, flat level changes and the host search.
#include <gtest/gtest.h>

#include "uFilterRules.h"
#include "uUnicode.h"
#include "uViewerCore.h"
#include "viewer_core_support.h"

namespace corvane {
namespace {

using test::Arr;
using test::Int;
using test::Obj;
using test::Str;

class ViewerCoreTest : public ::testing::Test {
 protected:
  ViewerCoreTest() : core_(settings_.Access()) {}

  // One-column grid ("Element") over the given texts.
  void Show(std::initializer_list<const char*> texts) {
    auto array = std::make_unique<TJsonArray>();
    for (const char* text : texts) array->Add(Str(text));
    doc_ = std::move(array);
    core_.Root = doc_.get();
    core_.BuildTable(doc_.get());
  }

  std::vector<std::string> Visible(int column = 0) const {
    std::vector<std::string> out;
    for (int p = 0; p < core_.VisibleRowCount(); ++p)
      out.push_back(Utf16ToUtf8(core_.DisplayText(p, column)));
    return out;
  }

  test::TMemorySettings settings_;
  TViewerCore core_;
  TJsonDataPtr doc_;
};
using Texts = std::vector<std::string>;

TEST_F(ViewerCoreTest, filter_pass_keeps_matching_rows_and_resets_the_search) {
  Show({"11", "10.5", "1e2", "9", "10", "abc"});
  core_.Search.LastSearchText = std::u16string(u"x");
  core_.SetFilterText(0, u">10");
  const TFilterPassResult r = core_.ApplyFilters(false);
  EXPECT_EQ(Visible(), (Texts{"11", "10.5", "1e2", "abc"}));
  EXPECT_EQ(r.VisibleCount, 4);
  EXPECT_EQ(core_.VisibleNode(3), static_cast<TJsonContainer*>(doc_.get())->Child(5));
  EXPECT_TRUE(core_.Search.LastSearchText.empty());

  settings_.Ints[u"filter-case-sensitive"] = 1;
  core_.SetFilterText(0, u"=ABC");
  core_.ApplyFilters(false);
  EXPECT_TRUE(Visible().empty());
  EXPECT_EQ(core_.CurrentRow, -1);
  settings_.Ints.clear();
  core_.ApplyFilters(false);
  EXPECT_EQ(Visible(), (Texts{"abc"}));
  EXPECT_EQ(core_.CurrentRow, 0);  // widening after an empty pass selects position 0
}

TEST_F(ViewerCoreTest, filters_in_several_columns_combine_and_columns_without_filters_pass) {
  doc_ = Arr({Obj({{"a", Str("x1")}, {"b", Str("y")}}), Obj({{"a", Str("x2")}, {"b", Str("z")}}),
             Obj({{"a", Str("q")}, {"b", Str("y")}})});
  core_.BuildTable(doc_.get());
  core_.SetFilterText(0, u"x");
  core_.SetFilterText(1, u"y");
  core_.SetFilterText(7, u"ignored");
  core_.ApplyFilters(false);
  EXPECT_EQ(Visible(), (Texts{"x1"}));
}

TEST_F(ViewerCoreTest, sort_toggle_cycles_and_keeps_the_selected_node) {
  Show({"abc", "10", "2", "10"});
  core_.SetCurrentCell(2, 0);  // "2"
  TJsonData* selected = core_.VisibleNode(2);
  ASSERT_TRUE(core_.ToggleSortColumn(0));
  EXPECT_EQ(Visible(), (Texts{"2", "10", "10", "abc"}));
  EXPECT_EQ(core_.VisibleRows, (TIntegerArray{2, 1, 3, 0}));
  EXPECT_EQ(core_.VisibleNode(core_.CurrentRow), selected);
  ASSERT_TRUE(core_.ToggleSortColumn(0));
  EXPECT_TRUE(core_.SortDescending);
  EXPECT_EQ(core_.VisibleRows, (TIntegerArray{0, 1, 3, 2}));
  EXPECT_EQ(core_.CurrentRow, 3);
  ASSERT_TRUE(core_.ToggleSortColumn(0));
  EXPECT_EQ(core_.SortColumn, -1);
  EXPECT_EQ(core_.VisibleRows, (TIntegerArray{0, 1, 2, 3}));

  EXPECT_FALSE(core_.ToggleSortColumn(1));
  EXPECT_FALSE(core_.ToggleSortColumn(-1));
  Show({"only"});
  EXPECT_FALSE(core_.ToggleSortColumn(0));
}

TEST_F(ViewerCoreTest, cursor_follows_the_rules_of_the_filter_pass) {
  Show({"a", "b", "c"});
  core_.SetCurrentCell(2, 5);
  EXPECT_EQ(core_.CurrentColumn, -1);
  core_.SetCurrentCell(2, 0);
  core_.SetFilterText(0, u"!c");
  core_.ApplyFilters(false);
  EXPECT_EQ(core_.CurrentRow, 1);  // clamped to the last visible row
  core_.CurrentColumn = 9;
  core_.ApplyFilters(false);
  EXPECT_EQ(core_.CurrentColumn, 0);
  core_.SetFilterText(0, u"zzz");
  core_.CurrentColumn = 0;
  core_.ApplyFilters(false);
  EXPECT_EQ(core_.CurrentRow, -1);
  EXPECT_EQ(core_.CurrentColumn, 0);
  core_.SetCurrentCell(-1, -1);
  EXPECT_EQ(core_.ApplyFilters(true).CurrentRow, -1);
}

TEST_F(ViewerCoreTest, filters_are_carried_over_by_header_text) {
  doc_ = Arr({Obj({{"name", Str("ann")}, {"age", Int(30)}}), Obj({{"name", Str("bob")}, {"age", Int(40)}})});
  core_.BuildTable(doc_.get());
  core_.SetFilterText(1, u">35");
  core_.ApplyFilters(false);
  const TFilterList saved = core_.SaveFilters();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].first, u"age");

  TJsonDataPtr other = Arr({Obj({{"age", Int(50)}, {"x", Int(1)}}), Obj({{"age", Int(20)}, {"x", Int(2)}})});
  core_.BuildTable(other.get());
  EXPECT_EQ(core_.VisibleRowCount(), 2);  // a rebuild starts with empty filters
  core_.RestoreFilters(saved);
  EXPECT_EQ(core_.FilterTexts[0], u">35");
  EXPECT_EQ(Visible(1), (Texts{"1"}));
}

TEST_F(ViewerCoreTest, flat_level_changes_are_clamped_and_rebuild) {
  doc_ = Arr({Obj({{"n", Obj({{"x", Int(1)}})}})});
  core_.BuildTable(doc_.get());
  EXPECT_EQ(core_.Table.Header(0), u"n");
  EXPECT_FALSE(core_.SetFlatLevel(0));
  EXPECT_TRUE(core_.SetFlatLevel(7));
  EXPECT_EQ(core_.FlatLevel, 2);
  EXPECT_EQ(core_.Table.Header(0), u"n.x");
  EXPECT_TRUE(core_.SetFlatLevel(-5));
  EXPECT_EQ(core_.Table.Header(0), u"Path");
  EXPECT_EQ(core_.DisplayText(0, 0), u"[0].n.x");
}

TEST_F(ViewerCoreTest, cell_texts_are_cut_to_the_requesters_buffer) {
  Show({"abcdef"});
  char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
  ASSERT_TRUE(core_.CopyDisplayText(0, 0, buffer, 4));
  EXPECT_EQ(std::u16string(buffer), u"abc");
  buffer[0] = u'q';
  EXPECT_FALSE(core_.CopyDisplayText(1, 0, buffer, 4));
  EXPECT_FALSE(core_.CopyDisplayText(0, 1, buffer, 4));
  EXPECT_FALSE(core_.CopyDisplayText(0, 0, buffer, 0));
  EXPECT_EQ(buffer[0], u'q');
  ASSERT_TRUE(core_.CopyDisplayText(0, 0, buffer, 1));
  EXPECT_EQ(buffer[0], 0);
}

TEST_F(ViewerCoreTest, an_empty_or_columnless_table_is_an_ordinary_state) {
  core_.BuildTable(nullptr);
  EXPECT_EQ(core_.ColumnCount(), 0);
  EXPECT_EQ(core_.CurrentRow, -1);
  EXPECT_FALSE(core_.ToggleSortColumn(0));
  EXPECT_EQ(core_.DisplayText(-1, -1), u"");
  char16_t buffer[4] = u"x";
  EXPECT_FALSE(core_.CopyDisplayText(0, 0, buffer, 4));
  EXPECT_EQ(core_.VisibleNode(-1), nullptr);
  EXPECT_TRUE(core_.SaveFilters().empty());
  EXPECT_EQ(core_.SearchText(u"x", kSearchFindFirst, kTabGrid).Result, TSearchResult::Nothing);
  Show({});
  EXPECT_EQ(core_.ColumnCount(), 1);
  EXPECT_EQ(core_.ApplyFilters(true).VisibleCount, 0);
  EXPECT_EQ(core_.SearchText(u"x", 0, kTabGrid).Result, TSearchResult::Nothing);
}

// The filter pass and the search read narrow and wide cells alike: every
// filter passes exactly the rows whose texts it matches on their own.
TEST_F(ViewerCoreTest, filters_and_search_see_narrow_and_wide_cells_as_their_texts) {
  Show({"caf\xC3\xA9", "CAFE", "\xC4\x80" "bc", "x\xC3\xBF", "", "10", "9.5", "\xC3\xA9t\xC3\xA9"});
  for (const char16_t* filter : {u"\u00E9", u"caf", u"=CAF\u00C9", u"!\u00E9", u">\u00FF", u"<\u0100",
                                 u"\u0100", u">9", u"c"}) {
    core_.SetFilterText(0, filter);
    core_.ApplyFilters(false);
    Texts expected;
    for (int r = 0; r < core_.Table.RowCount(); ++r)
      if (FilterMatches(core_.Table.CellText(r, 0), filter, false)) expected.push_back(Utf16ToUtf8(core_.Table.CellText(r, 0)));
    EXPECT_EQ(Visible(), expected) << Utf16ToUtf8(filter);
  }
  core_.SetFilterText(0, u"");
  core_.ApplyFilters(false);
  const TSearchOutcome found = core_.SearchText(u"\u00E9t", kSearchFindFirst, kTabGrid);
  ASSERT_EQ(found.Result, TSearchResult::Found);
  EXPECT_EQ(found.Row, 7);
}

TEST_F(ViewerCoreTest, cells_with_nuls_and_lone_surrogates_filter_sort_and_search) {
  auto array = std::make_unique<TJsonArray>();
  array->Add(Str(std::string("b\0x", 3)));
  array->Add(Str("a"));
  array->Add(Str("c"));
  doc_ = std::move(array);
  core_.BuildTable(doc_.get());
  core_.Table.Cells.Set(1, 0, u"a\xD800");  // a lone surrogate, as an edited cell may hold
  ASSERT_EQ(core_.ToggleSortColumn(0), true);
  EXPECT_EQ(core_.VisibleRowCount(), 3);
  core_.SetFilterText(0, std::u16string(u"\0x", 2));
  core_.ApplyFilters(false);
  EXPECT_EQ(core_.VisibleRowCount(), 1);
  const TSearchOutcome found = core_.SearchText(u"x", kSearchFindFirst, kTabGrid);
  EXPECT_EQ(found.Result, TSearchResult::Found);
  EXPECT_EQ(core_.Search.SearchPos, 4);
}

}  // namespace
}  // namespace corvane
