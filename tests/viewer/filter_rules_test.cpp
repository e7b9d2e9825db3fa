// The filter language, number recognition, cell comparison and the sort.
#include <gtest/gtest.h>

#include "uCompare.h"
#include "uFilterRules.h"

namespace corvane {
namespace {

std::vector<std::u16string> Passing(std::u16string_view filter,
                                    std::initializer_list<std::u16string_view> cells,
                                    bool caseSensitive = false) {
  std::vector<std::u16string> out;
  for (auto cell : cells)
    if (FilterMatches(cell, filter, caseSensitive)) out.emplace_back(cell);
  return out;
}
using Texts = std::vector<std::u16string>;

TEST(filter_match, compares_numbers_numerically_and_other_texts_ordinally) {
  EXPECT_EQ(Passing(u">10", {u"11", u"10.5", u"1e2", u"9", u"10", u"abc"}),
            (Texts{u"11", u"10.5", u"1e2", u"abc"}));
  EXPECT_EQ(Passing(u"<10", {u"9", u"-1E3", u"10", u"1"}), (Texts{u"9", u"-1E3", u"1"}));
  // No "<=": the operand is the text "=5".
  EXPECT_EQ(Passing(u"<=5", {u"4", u"=4", u">"}), (Texts{u"4", u"=4"}));
  EXPECT_EQ(Passing(u">b", {u"a", u"b", u"ba", u""}), (Texts{u"ba"}));
}

TEST(filter_match, equality_exclusion_and_substring) {
  EXPECT_EQ(Passing(u"=abc", {u"abc", u"ABC", u"abcd", u"xabc"}), (Texts{u"abc", u"ABC"}));
  EXPECT_EQ(Passing(u"=abc", {u"abc", u"ABC"}, true), (Texts{u"abc"}));
  EXPECT_EQ(Passing(u"!x", {u"axe", u"", u"X", u"b"}), (Texts{u"", u"b"}));
  EXPECT_EQ(Passing(u"Ab", {u"cab", u"CAB", u"a b"}), (Texts{u"cab", u"CAB"}));
  // One-character operators are plain substrings.
  for (std::u16string_view op : {u"=", u"!", u"<", u">"})
    EXPECT_EQ(Passing(op, {u"a=b!c<d>e", u"plain"}), (Texts{u"a=b!c<d>e"}));
  EXPECT_EQ(Passing(u"", {u"", u"x"}), (Texts{u"", u"x"}));
}

TEST(filter_match, folds_ascii_only_and_handles_unusual_texts) {
  EXPECT_EQ(Passing(u"\u00C4", {u"\u00E4", u"\u00C4"}), (Texts{u"\u00C4"}));
  const std::u16string withNul(u"a\0b", 3);
  EXPECT_TRUE(FilterMatches(withNul, std::u16string(u"\0b", 2), false));
  EXPECT_FALSE(FilterMatches(withNul, u"ab", false));
  const std::u16string lone(u"x\xD800y");
  EXPECT_TRUE(FilterMatches(lone, std::u16string(u"\xD800"), false));
  EXPECT_TRUE(FilterMatches(u"\xDC00", u">\xD800", false));
  // A filter longer than the edit allows is cut to 4,095 characters.
  const std::u16string cell(4095, u'a');
  EXPECT_TRUE(FilterMatches(cell, std::u16string(4095, u'a') + u"zzz", false));
  EXPECT_FALSE(FilterMatches(cell.substr(1), std::u16string(4095, u'a'), false));
}

// Without case sensitivity only A-Z fold to a-z: the letters at both ends of
// the alphabet do, their neighbours in the code table (@ [ \ ` {) do not.
TEST(filter_match, folds_the_ends_of_the_alphabet_and_not_their_neighbours) {
  const auto cells = {u"@", u"`", u"[", u"{", u"\\", u"|", u"A", u"a", u"Z", u"z"};
  const auto passing = [&](std::u16string_view filter) {
    Texts out;
    for (std::u16string_view cell : cells)
      if (FilterMatches(cell, filter, false)) out.emplace_back(cell);
    return out;
  };
  EXPECT_EQ(passing(u"@"), (Texts{u"@"}));
  EXPECT_EQ(passing(u"`"), (Texts{u"`"}));
  EXPECT_EQ(passing(u"["), (Texts{u"["}));
  EXPECT_EQ(passing(u"{"), (Texts{u"{"}));
  EXPECT_EQ(passing(u"\\"), (Texts{u"\\"}));
  EXPECT_EQ(passing(u"a"), (Texts{u"A", u"a"}));
  EXPECT_EQ(passing(u"A"), (Texts{u"A", u"a"}));
  EXPECT_EQ(passing(u"z"), (Texts{u"Z", u"z"}));
  EXPECT_EQ(passing(u"=Z"), (Texts{u"Z", u"z"}));
  EXPECT_EQ(passing(u"=["), (Texts{u"["}));
  EXPECT_EQ(passing(u"!@"), (Texts{u"`", u"[", u"{", u"\\", u"|", u"A", u"a", u"Z", u"z"}));
  // The ordinal "<" and ">" compare folded texts: "[" stays below "z".
  EXPECT_EQ(passing(u">Z"), (Texts{u"{", u"|"}));
  EXPECT_EQ(passing(u"<a"), (Texts{u"@", u"`", u"[", u"\\"}));
  EXPECT_EQ(Passing(u"a", {u"A", u"a"}, true), (Texts{u"a"}));
}

TEST(cell_number, accepts_plain_decimal_and_exponent_forms_only) {
  double v = 0;
  for (auto text : {u"0", u"-1", u"+2.5", u"1e2", u"1E-3", u".5", u"5.", u"-0.0e+1"})
    EXPECT_TRUE(ParseCellNumber(text, &v));
  for (auto text : {u"", u" 1", u"1 ", u"1,5", u"1e", u"e5", u".", u"-", u"inf", u"nan",
                    u"0x10", u"1e999", u"1.2.3", u"\xFF11"})
    EXPECT_FALSE(ParseCellNumber(text, &v));
  ASSERT_TRUE(ParseCellNumber(u"1e2", &v));
  EXPECT_EQ(v, 100.0);
  EXPECT_FALSE(ParseCellNumber(std::u16string(u"1\0", 2), &v));
}

TEST(cell_compare, numbers_first_then_the_natural_text_order) {
  EXPECT_EQ(CompareCells(u"2", u"10"), -1);
  EXPECT_EQ(CompareCells(u"10", u"abc"), -1);
  EXPECT_EQ(CompareCells(u"abc", u"2"), 1);
  EXPECT_EQ(CompareCells(u"1.0", u"1"), 0);
  EXPECT_EQ(CompareCells(u"file2", u"file10"), -1);
  EXPECT_EQ(CompareCells(u"ABC", u"abc"), 0);
  EXPECT_EQ(CompareCells(u"\xFF21", u"a"), 0);  // full-width A
  EXPECT_EQ(platform::OrdinalCompare(u"ab", u"abc"), -1);
  EXPECT_EQ(platform::OrdinalCompare(u"b", u"abc"), 1);
  // Texts the locale comparison may refuse still get an order.
  const int c = CompareCells(std::u16string(u"a\0b", 3), u"\xD800");
  EXPECT_TRUE(c == -1 || c == 1);
}

TEST(stable_sort, keeps_table_order_of_equal_rows_in_both_directions) {
  TTableModel t;
  t.Headers = {u"k", u"id"};
  const char16_t* keys[] = {u"b", u"a", u"B", u"a", u"10", u"2", u"abc"};
  t.Cells.Reset(2);
  for (int i = 0; i < 7; ++i) t.Cells.AddRow({keys[i], std::u16string(1, char16_t(u'0' + i))});
  TIntegerArray rows{0, 1, 2, 3, 4, 5, 6};
  SortRowsByColumn(t, 0, false, &rows);
  EXPECT_EQ(rows, (TIntegerArray{5, 4, 1, 3, 6, 0, 2}));
  rows = {0, 1, 2, 3, 4, 5, 6};
  SortRowsByColumn(t, 0, true, &rows);
  EXPECT_EQ(rows, (TIntegerArray{0, 2, 6, 1, 3, 4, 5}));
  // A column beyond the rows sorts nothing away.
  rows = {2, 0, 1};
  SortRowsByColumn(t, 9, false, &rows);
  EXPECT_EQ(rows, (TIntegerArray{2, 0, 1}));
}

}  // namespace
}  // namespace corvane
