// The host's text search (find dialog, find next) over the grid or the text.
//
// Contract:
//  - A search continues from the last match when the text, the match-case and
//    whole-word options and the tab are unchanged and either "find first" is
//    not set or only the direction was reversed; otherwise it starts over.
//  - Without match case, ASCII A-Z fold to a-z on both sides; nothing else.
//  - Positions are 1-based character positions as in the text control; the
//    text pane's CR LF pairs count as one character.
//  - Whole words: the characters around a match must not be word characters
//    (everything except codes 0-47, 58-64, 91-94, 96 and 123-127).
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
  int SelStart = 0, SelEnd = 0;   // text match, 0-based, end exclusive
};

bool IsWordChar(char16_t c);

// Finds needle in haystack from 1-based pos; both already case-folded.
// Forwards: first passing occurrence starting at pos or later. Backwards: last
// passing occurrence ending before pos. Returns the 1-based start or 0.
long long FindInHaystack(std::u16string_view haystack, std::u16string_view needle, long long pos,
                         bool backwards, bool wholeWords);

// The text control's view of a text: every CR LF reduced to CR.
std::u16string ReduceCrLf(std::u16string_view text);

// The text pane as the search sees it.
struct TTextPaneView {
  std::u16string_view Text;  // whole window text, CR LF already reduced
  int SelStart = 0, SelEnd = 0;
};

// Grid cell text for a display position and column.
using TGridCellFunc = std::function<std::u16string_view(int row, int column)>;

// Runs one search and updates the state. The grid is given by its row and
// column counts and a cell function; the text pane by its view.
TSearchOutcome RunSearch(TSearchState* state, std::u16string_view text, int flags, int tab,
                         int rowCount, int columnCount, const TGridCellFunc& cell,
                         const TTextPaneView& pane);

}  // namespace corvane
