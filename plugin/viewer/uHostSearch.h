// The host's text search (find dialog, find next) over the grid or the text.
//
// Contract:
//  - A search continues from the last match when the text, the match-case and
//    whole-word options and the tab are unchanged and either "find first" is
//    not set or only the direction was reversed; otherwise it starts over.
//  - Without match case, ASCII A-Z fold to a-z on both sides; nothing else.
//  - Grid positions are 1-based character positions within a cell; text
//    pane positions are byte offsets of its UTF-8 text (the needle is
//    searched as UTF-8, which finds exactly what the characters would), so
//    a match is a byte range of the text the control holds.
//  - The text pane's whole text is searched, in place: nothing is copied or
//    folded beforehand, however large it is.
//  - Whole words: the characters around a match must not be word characters
//    (everything except codes 0-47, 58-64, 91-94, 96 and 123-127; in UTF-8
//    every byte of a non-ASCII character is one).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace corvane {

constexpr int kSearchFindFirst = 1;
constexpr int kSearchMatchCase = 2;
constexpr int kSearchWholeWords = 4;
constexpr int kSearchBackwards = 8;

constexpr int kTabGrid = 0;
constexpr int kTabText = 1;

// Position used for "from the end of the cell" when searching backwards.
constexpr long long kSearchPosEnd = 2147483647;

struct TSearchState {
  std::u16string LastSearchText;  // as the host passed it
  int LastSearchFlags = 0;        // match case | whole words | 8 when backwards
  int LastSearchTab = 0;
  int SearchRow = 0;              // display position of the last match
  int SearchColumn = 0;
  long long SearchPos = 0;        // next position within the current cell
};

enum class TSearchResult { Nothing, Found, NotFound };  // NotFound: beep

struct TSearchOutcome {
  TSearchResult Result = TSearchResult::Nothing;
  int Row = -1, Column = -1;      // grid match
  int64_t SelStart = 0, SelEnd = 0;  // text match, byte offsets, end exclusive
};

bool IsWordChar(char16_t c);

// Finds needle in haystack from 1-based pos; both already case-folded.
// Forwards: first passing occurrence starting at pos or later. Backwards: last
// passing occurrence ending before pos. Returns the 1-based start or 0.
long long FindInHaystack(std::u16string_view haystack, std::u16string_view needle, long long pos,
                         bool backwards, bool wholeWords);

// The same over UTF-8 bytes, with ASCII folding unless matchCase: the
// haystack is read in place. Returns the 1-based byte position or 0.
long long FindInText(std::string_view haystack, std::string_view needle, long long pos, bool backwards,
                     bool wholeWords, bool matchCase);

// The text pane as the search sees it.
struct TTextPaneView {
  std::string_view Text;  // the whole text the control holds
  int64_t SelStart = 0, SelEnd = 0;
};

// Grid cell text for a display position and column; the view may last only
// until the next call.
using TGridCellFunc = std::function<std::u16string_view(int row, int column)>;

// Runs one search and updates the state. The grid is given by its row and
// column counts and a cell function; the text pane by its view.
TSearchOutcome RunSearch(TSearchState* state, std::u16string_view text, int flags, int tab,
                         int rowCount, int columnCount, const TGridCellFunc& cell,
                         const TTextPaneView& pane);

}  // namespace corvane
