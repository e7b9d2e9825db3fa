// The host's find dialog over the grid and the text pane.
#include <gtest/gtest.h>

#include <vector>

#include "uHostSearch.h"

namespace corvane {
namespace {

// A grid of display texts, row by row.
struct TGrid {
  explicit TGrid(std::vector<std::vector<std::u16string>> cells = {}) : Cells(std::move(cells)) {}
  std::vector<std::vector<std::u16string>> Cells;
  TSearchState State;

  TSearchOutcome Find(std::u16string_view text, int flags, int tab = kTabGrid,
                      TTextPaneView pane = {}) {
    const int rows = static_cast<int>(Cells.size());
    const int columns = rows ? static_cast<int>(Cells[0].size()) : 0;
    return RunSearch(&State, text, flags, tab, rows, columns,
                     [this](int r, int c) { return std::u16string_view(Cells[r][c]); }, pane);
  }
};

TEST(host_search_grid, forward_sequence_selects_beeps_and_restarts_in_the_last_cell) {
  TGrid grid({{u"xab"}, {u"ab"}});
  TSearchOutcome r = grid.Find(u"ab", kSearchFindFirst);
  EXPECT_EQ(r.Result, TSearchResult::Found);
  EXPECT_EQ(r.Row, 0);
  EXPECT_EQ(grid.State.SearchPos, 4);  // match at 2, plus its length
  r = grid.Find(u"ab", 0);
  EXPECT_EQ(r.Result, TSearchResult::Found);
  EXPECT_EQ(r.Row, 1);
  r = grid.Find(u"ab", 0);
  EXPECT_EQ(r.Result, TSearchResult::NotFound);
  EXPECT_EQ(grid.State.SearchRow, 1);
  EXPECT_EQ(grid.State.SearchPos, 1);
  r = grid.Find(u"ab", 0);
  EXPECT_EQ(r.Result, TSearchResult::Found);
  EXPECT_EQ(r.Row, 1);
}

TEST(host_search_grid, restart_and_direction_rules) {
  TGrid grid({{u"a1", u"a2"}, {u"a3", u"a4"}});
  EXPECT_EQ(grid.Find(u"A", kSearchFindFirst | kSearchBackwards).Column, 1);  // last cell
  EXPECT_EQ(grid.State.LastSearchFlags, kSearchBackwards);
  TSearchOutcome r = grid.Find(u"A", kSearchBackwards);
  EXPECT_EQ(r.Row, 1);
  EXPECT_EQ(r.Column, 0);
  // Find first with only the direction reversed continues from the match.
  r = grid.Find(u"A", kSearchFindFirst);
  EXPECT_EQ(r.Row, 1);
  EXPECT_EQ(r.Column, 1);
  // Changed options or another tab start over.
  r = grid.Find(u"A", kSearchFindFirst | kSearchMatchCase);
  EXPECT_EQ(r.Result, TSearchResult::NotFound);
  r = grid.Find(u"a", kSearchMatchCase);
  EXPECT_EQ(r.Row, 0);
  grid.Find(u"a", kSearchMatchCase, kTabText, {"zz a", 0, 0});
  EXPECT_EQ(grid.Find(u"a", kSearchMatchCase).Column, 0);  // not a2: the tab changed
  // An empty text searches and stores nothing.
  EXPECT_EQ(grid.Find(u"", kSearchFindFirst).Result, TSearchResult::Nothing);
  EXPECT_EQ(grid.State.LastSearchText, u"a");
}

TEST(host_search_find, whole_words_and_ascii_folding) {
  EXPECT_EQ(FindInHaystack(u"user_id id", u"id", 1, false, true), 9);
  EXPECT_EQ(FindInHaystack(u"user_id id", u"id", 1, false, false), 6);
  EXPECT_EQ(FindInHaystack(u"id-x", u"id", 1, false, true), 1);
  EXPECT_EQ(FindInHaystack(u"user_id", u"id", 1, false, true), 0);
  EXPECT_EQ(FindInHaystack(u"user_id", u"id", 100, true, true), 0);
  EXPECT_EQ(FindInHaystack(u"id id", u"id", kSearchPosEnd, true, true), 4);
  EXPECT_EQ(FindInHaystack(u"id id", u"id", 4, true, true), 1);
  EXPECT_EQ(FindInHaystack(u"abc", u"b", -5, false, false), 2);
  EXPECT_EQ(FindInHaystack(u"\u00E9id", u"id", 1, false, true), 0);  // é is a word character
  EXPECT_TRUE(IsWordChar(u'_'));
  EXPECT_FALSE(IsWordChar(u'`'));
  EXPECT_FALSE(IsWordChar(u'~'));

  TGrid grid({{u"\u00E4 a"}});
  EXPECT_EQ(grid.Find(u"\u00C4", kSearchFindFirst).Result, TSearchResult::NotFound);
  TGrid other({{u"xa"}});
  EXPECT_EQ(other.Find(u"A", kSearchFindFirst).Result, TSearchResult::Found);
}

// The text pane's positions are bytes of its UTF-8 text: the needle is
// searched as UTF-8, and whole words see every byte of a non-ASCII
// character as a word character.
TEST(host_search_text, finds_byte_ranges_in_utf8_text_forwards_and_backwards) {
  const std::string text = "\xC3\xA4 one\r\ntwo \xC3\xA4x\r\nthree four\r\n";
  TGrid unused;
  TSearchOutcome r = unused.Find(u"four", kSearchFindFirst, kTabText, {text, 0, 0});
  EXPECT_EQ(r.Result, TSearchResult::Found);
  EXPECT_EQ(r.SelStart, 23);
  EXPECT_EQ(r.SelEnd, 27);
  // Continuing forwards from that selection finds nothing more.
  r = unused.Find(u"four", 0, kTabText, {text, r.SelStart, r.SelEnd});
  EXPECT_EQ(r.Result, TSearchResult::NotFound);
  r = unused.Find(u"\u00C4", kSearchFindFirst, kTabText, {text, 0, 0});  // no folding beyond ASCII
  EXPECT_EQ(r.Result, TSearchResult::NotFound);
  r = unused.Find(u"\u00E4", kSearchFindFirst | kSearchBackwards, kTabText, {text, 0, 0});
  EXPECT_EQ(r.SelStart, 12);
  EXPECT_EQ(r.SelEnd, 14);
  r = unused.Find(u"\u00E4", kSearchBackwards, kTabText, {text, r.SelStart, r.SelEnd});
  EXPECT_EQ(r.SelStart, 0);
  // "ä" is a word character, so the whole word "x" is not found after it.
  EXPECT_EQ(unused.Find(u"X", kSearchFindFirst | kSearchWholeWords, kTabText, {text, 0, 0}).Result,
            TSearchResult::NotFound);
  EXPECT_EQ(FindInText(text, "ONE", 1, false, true, false), 4);
  EXPECT_EQ(FindInText(text, "ONE", 1, false, true, true), 0);
  EXPECT_EQ(FindInText("aaa", "aa", 4, true, false, true), 2);  // the last, overlapping
  EXPECT_EQ(FindInText("aaa", "aa", 3, true, false, true), 1);
  EXPECT_EQ(FindInText("id id_x id", "id", 100, true, true, true), 9);
  EXPECT_EQ(FindInText("id id_x id", "id", 9, true, true, true), 1);
}

// Every start position (0-based) of needle in the text pane, by "find
// first" and then "find next" until the search reports no more.
std::vector<int> PaneMatches(std::string_view text, std::u16string_view needle, int flags) {
  TSearchState state;
  TTextPaneView pane{text, 0, 0};
  std::vector<int> starts;
  for (TSearchOutcome r = RunSearch(&state, needle, flags | kSearchFindFirst, kTabText, 0, 0, nullptr, pane);
       r.Result == TSearchResult::Found && starts.size() < text.size();
       r = RunSearch(&state, needle, flags, kTabText, 0, 0, nullptr, pane)) {
    starts.push_back(static_cast<int>(r.SelStart));
    pane.SelStart = r.SelStart;
    pane.SelEnd = r.SelEnd;
  }
  return starts;
}

// Without match case only A-Z fold to a-z, in the text pane and in the grid:
// the ends of the alphabet do, their neighbours in the code table do not.
TEST(host_search_folding, folds_the_ends_of_the_alphabet_and_not_their_neighbours) {
  const std::string text = "@`[{\\|AaZz";
  using Starts = std::vector<int>;
  EXPECT_EQ(PaneMatches(text, u"@", 0), (Starts{0}));
  EXPECT_EQ(PaneMatches(text, u"`", 0), (Starts{1}));
  EXPECT_EQ(PaneMatches(text, u"[", 0), (Starts{2}));
  EXPECT_EQ(PaneMatches(text, u"{", 0), (Starts{3}));
  EXPECT_EQ(PaneMatches(text, u"\\", 0), (Starts{4}));
  EXPECT_EQ(PaneMatches(text, u"a", 0), (Starts{6, 7}));
  EXPECT_EQ(PaneMatches(text, u"A", 0), (Starts{6, 7}));
  EXPECT_EQ(PaneMatches(text, u"Z", 0), (Starts{8, 9}));
  EXPECT_EQ(PaneMatches(text, u"z", kSearchMatchCase), (Starts{9}));
  TGrid grid({{u"`", u"{", u"Z"}});
  TSearchOutcome r = grid.Find(u"@", kSearchFindFirst);
  EXPECT_EQ(r.Result, TSearchResult::NotFound);
  r = grid.Find(u"[", kSearchFindFirst);
  EXPECT_EQ(r.Result, TSearchResult::NotFound);
  r = grid.Find(u"z", kSearchFindFirst);
  EXPECT_EQ(r.Result, TSearchResult::Found);
  EXPECT_EQ(r.Column, 2);
}

}  // namespace
}  // namespace corvane
