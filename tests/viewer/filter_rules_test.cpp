// The filter language, number recognition, cell comparison and the sort.
#include <gtest/gtest.h>

#include <random>

#include "uCompare.h"
#include "uFilterRules.h"
#include "uUnicode.h"

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


// Rows of one column with texts of every kind the sort meets: numbers,
// mixed case, digit runs, punctuation, hyphens and apostrophes, accents,
// other scripts, full-width forms, empty cells, NULs, lone surrogates and
// many repeats, so ties and their order are exercised.
TTableModel VariedColumn(size_t count) {
  static const char16_t* const kPieces[] = {
      u"a", u"A", u"b", u"Z", u"e", u"E", u"\u00E9", u"\u00C9", u"e\u0301", u"\u00DF", u"ss",
      u"0", u"00", u"1", u"2", u"9", u"10", u"007", u"-", u"'", u"co-op", u"coop", u"don't",
      u".", u",", u"[", u"]", u"_", u" ", u"#", u"$", u"\u00BD", u"\u00B2", u"\u0661",
      u"\u0416", u"\u0436", u"\u0451", u"\u03A9", u"\u03C9", u"\u05D0", u"\u0628",
      u"\u4E2D", u"\u6587", u"\u3042", u"\u30A2", u"\uFF71", u"\uFF21", u"\uFF41",
      u"\uFF11", u"\U0001F600", u"\xD800", u"item-", u"Item", u"file", u"-1", u"1e3", u"2.5"};
  std::mt19937 random(11);
  TTableModel t;
  t.Headers = {u"text"};
  t.Cells.Reset(1);
  std::vector<std::u16string> made;
  for (size_t i = 0; i < count; ++i) {
    std::u16string text;
    const unsigned kind = random() % 10;
    if (kind == 0 && !made.empty()) {
      text = made[random() % made.size()];  // a repeat
    } else if (kind == 1) {
      text = std::u16string(u"-12.5e1").substr(0, random() % 8);  // numbers and near-numbers
    } else if (kind == 2) {
      text = std::u16string(1, char16_t(random() % 0x3000));  // a single character
    } else {
      for (unsigned n = random() % 5; n > 0; --n) text += kPieces[random() % std::size(kPieces)];
    }
    if (random() % 50 == 0) text += char16_t(0);
    t.Cells.Append(text);
    made.push_back(text);
  }
  t.RowNodes.assign(count, nullptr);
  return t;
}

TIntegerArray AllRows(const TTableModel& t) {
  TIntegerArray rows(size_t(t.RowCount()));
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = int32_t(i);
  return rows;
}

// The order of the comparison alone, and the order through sort keys.
void ExpectKeysSortAsTheComparison(const TTableModel& t, const TCollation& keyed) {
  const TCollation comparing{keyed.Compare, nullptr, 0};
  for (bool descending : {false, true}) {
    TIntegerArray expected = AllRows(t), actual = AllRows(t);
    SortRowsByColumn(t, 0, descending, &expected, comparing);
    SortRowsByColumn(t, 0, descending, &actual, keyed);
    ASSERT_EQ(actual, expected) << (descending ? "descending" : "ascending");
  }
}

// A stand-in collation whose keys are the ASCII-folded UTF-16 big-endian.
bool FoldedCompare(std::u16string_view a, std::u16string_view b, int* result) {
  *result = platform::OrdinalCompare(AsciiLowerText(a), AsciiLowerText(b));
  return true;
}
bool FoldedKey(std::u16string_view text, std::string* key) {
  if (text.size() == 3) return false;  // some texts have no key
  for (char16_t c : AsciiLowerText(text)) {
    key->push_back(char(c >> 8));
    key->push_back(char(c & 0xFF));
  }
  return true;
}

// A column mixing texts kept in 8-bit units with wide ones: a comparison
// reads two cells at once, which must not see one text twice.
TEST(stable_sort, mixed_narrow_and_wide_cells_order_as_their_texts) {
  TTableModel t;
  t.Headers = {u"k"};
  t.Cells.Reset(1);
  for (const char16_t* text : {u"b", u"\u00E9", u"a", u"\u0101", u"c", u"A", u"\u00E9x", u"\u0101"})
    t.Cells.Append(text);
  const TCollation comparing{FoldedCompare, nullptr, 0};
  const TCollation keyed{FoldedCompare, FoldedKey, size_t(1) << 20};
  for (const TCollation& collation : {comparing, keyed}) {
    TIntegerArray rows{0, 1, 2, 3, 4, 5, 6, 7};
    SortRowsByColumn(t, 0, false, &rows, collation);
    EXPECT_EQ(rows, (TIntegerArray{2, 5, 0, 4, 1, 6, 3, 7}));
    rows = {0, 1, 2, 3, 4, 5, 6, 7};
    SortRowsByColumn(t, 0, true, &rows, collation);
    EXPECT_EQ(rows, (TIntegerArray{3, 7, 6, 1, 4, 0, 2, 5}));
  }
}

TEST(keyed_sort, orders_exactly_as_the_comparison_with_and_without_room_for_keys) {
  const TTableModel t = VariedColumn(4000);
  for (size_t budget : {size_t(1) << 20, size_t(3000), size_t(0)})
    ExpectKeysSortAsTheComparison(t, {FoldedCompare, FoldedKey, budget});
}

TEST(keyed_sort, platform_keys_order_as_the_locale_comparison) {
  const TTableModel t = VariedColumn(30000);
  const TCollation platform = PlatformCollation();
#ifdef _WIN32
  std::string key;
  ASSERT_TRUE(platform::LocaleSortKey(u"file10", &key));
#endif
  // Pairs first: key order against the comparison itself.
  std::vector<std::string> keys(size_t(t.RowCount()));
  std::vector<bool> hasKey(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) hasKey[i] = platform::LocaleSortKey(t.CellText(int(i), 0), &keys[i]);
  for (size_t i = 0; i < keys.size(); i += 97) {
    for (size_t j = 0; j < keys.size(); j += 13) {
      int expected = 0;
      const std::u16string a = t.CellText(int(i), 0), b = t.CellText(int(j), 0);
      if (!hasKey[i] || !hasKey[j] || !platform::LocaleCompare(a, b, &expected)) continue;
      const int c = keys[i].compare(keys[j]);
      ASSERT_EQ(c < 0 ? -1 : (c > 0 ? 1 : 0), expected) << Utf16ToUtf8(a) << " / " << Utf16ToUtf8(b);
    }
  }
  ExpectKeysSortAsTheComparison(t, platform);
}

}  // namespace
}  // namespace corvane
