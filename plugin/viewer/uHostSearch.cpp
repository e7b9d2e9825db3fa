#include "uHostSearch.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <type_traits>

#include "uUnicode.h"

namespace corvane {

namespace {

// Whole-word test of an occurrence in UTF-16 text or UTF-8 bytes (every
// byte of a non-ASCII character counts as a word character, as the
// character does).
template <typename TChar>
bool PassesWholeWord(std::basic_string_view<TChar> h, size_t start, size_t length) {
  auto word = [&](size_t i) { return IsWordChar(static_cast<std::make_unsigned_t<TChar>>(h[i])); };
  if (start > 0 && word(start - 1)) return false;
  if (start + length < h.size() && word(start + length)) return false;
  return true;
}

struct TSearchStart {
  bool Restart, DirectionChange, Backwards, WholeWords;
  std::u16string Needle;  // folded unless match case
  bool MatchCase;
};

TSearchStart BeginSearch(TSearchState* state, std::u16string_view text, int flags, int tab) {
  TSearchStart start{};
  start.Backwards = (flags & kSearchBackwards) != 0;
  start.WholeWords = (flags & kSearchWholeWords) != 0;
  start.MatchCase = (flags & kSearchMatchCase) != 0;
  const bool sameText = text == state->LastSearchText && tab == state->LastSearchTab;
  const bool storedBackwards = (state->LastSearchFlags & kSearchBackwards) != 0;
  start.DirectionChange = sameText && start.Backwards != storedBackwards;
  const bool sameOptions = (flags & 6) == (state->LastSearchFlags & 6);
  start.Restart = !(sameText && sameOptions &&
                    ((flags & kSearchFindFirst) == 0 || start.DirectionChange));
  start.Needle = start.MatchCase ? std::u16string(text) : AsciiLowerText(text);
  state->LastSearchText = std::u16string(text);
  state->LastSearchFlags = (flags & 6) | (start.Backwards ? kSearchBackwards : 0);
  state->LastSearchTab = tab;
  return start;
}

TSearchOutcome SearchPane(const TSearchStart& start, std::u16string_view text, const TTextPaneView& pane) {
  const std::string needle = Utf16ToUtf8(text);
  long long pos;
  if (start.Restart)
    pos = start.Backwards ? static_cast<long long>(pane.Text.size()) + 1 : 1;
  else
    pos = (start.Backwards ? pane.SelStart : pane.SelEnd) + 1;
  const long long k = FindInText(pane.Text, needle, pos, start.Backwards, start.WholeWords, start.MatchCase);
  TSearchOutcome outcome;
  if (k == 0) {
    outcome.Result = TSearchResult::NotFound;
    return outcome;
  }
  outcome.Result = TSearchResult::Found;
  outcome.SelStart = k - 1;
  outcome.SelEnd = k - 1 + static_cast<long long>(needle.size());
  return outcome;
}

TSearchOutcome SearchGrid(TSearchState* state, const TSearchStart& start, int rows, int columns,
                          const TGridCellFunc& cell) {
  TSearchOutcome outcome;
  if (rows <= 0 || columns <= 0 || !cell) return outcome;
  const long long length = static_cast<long long>(start.Needle.size());
  int row, column;
  long long pos;
  if (start.Restart) {
    row = start.Backwards ? rows - 1 : 0;
    column = start.Backwards ? columns - 1 : 0;
    pos = start.Backwards ? kSearchPosEnd : 1;
  } else {
    row = state->SearchRow;
    column = state->SearchColumn;
    pos = state->SearchPos;
    if (start.DirectionChange) pos += start.Backwards ? -length : length;
  }
  // A stored cell outside a grid that shrank meanwhile is brought back inside.
  column = std::clamp(column, 0, columns - 1);
  std::u16string folded;
  while (row >= 0 && row < rows) {
    std::u16string_view text = cell(row, column);
    if (!start.MatchCase) { folded = AsciiLowerText(text); text = folded; }
    const long long k = FindInHaystack(text, start.Needle, pos, start.Backwards, start.WholeWords);
    if (k > 0) {
      state->SearchRow = row;
      state->SearchColumn = column;
      state->SearchPos = start.Backwards ? k : k + length;
      outcome.Result = TSearchResult::Found;
      outcome.Row = row;
      outcome.Column = column;
      return outcome;
    }
    if (!start.Backwards) {
      pos = 1;
      if (++column >= columns) { column = 0; ++row; }
    } else {
      pos = kSearchPosEnd;
      if (--column < 0) { column = columns - 1; --row; }
    }
  }
  state->SearchPos = pos;
  outcome.Result = TSearchResult::NotFound;
  return outcome;
}

}  // namespace

bool IsWordChar(char16_t c) {
  if (c <= 47) return false;
  if (c >= 58 && c <= 64) return false;
  if (c >= 91 && c <= 94) return false;
  if (c == 96) return false;
  if (c >= 123 && c <= 127) return false;
  return true;
}

long long FindInHaystack(std::u16string_view haystack, std::u16string_view needle, long long pos,
                         bool backwards, bool wholeWords) {
  const long long n = static_cast<long long>(haystack.size());
  const long long l = static_cast<long long>(needle.size());
  if (l == 0 || l > n) return 0;
  if (!backwards) {
    size_t from = static_cast<size_t>(std::max(pos, 1LL) - 1);
    while (from < haystack.size()) {
      const size_t at = haystack.find(needle, from);
      if (at == std::u16string_view::npos) return 0;
      if (!wholeWords || PassesWholeWord(haystack, at, needle.size())) return at + 1;
      from = at + 1;
    }
    return 0;
  }
  pos = std::min(pos, n + 1);
  // Occurrences ending at pos - 1 or earlier start at pos - l or earlier.
  long long last = pos - l;  // 1-based latest start
  while (last >= 1) {
    const size_t at = haystack.rfind(needle, static_cast<size_t>(last - 1));
    if (at == std::u16string_view::npos) return 0;
    if (!wholeWords || PassesWholeWord(haystack, at, needle.size())) return at + 1;
    last = static_cast<long long>(at);  // next candidate starts before this one
  }
  return 0;
}

namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Start of the first occurrence of needle in [first, last), or last.
template <typename It>
It SearchFolded(It first, It last, It needleFirst, It needleLast, bool matchCase) {
  if (matchCase) return std::search(first, last, std::boyer_moore_horspool_searcher(needleFirst, needleLast));
  const auto hash = [](char c) { return std::hash<char>()(FoldAscii(c)); };
  const auto equal = [](char a, char b) { return FoldAscii(a) == FoldAscii(b); };
  return std::search(first, last, std::boyer_moore_horspool_searcher(needleFirst, needleLast, hash, equal));
}

}  // namespace

long long FindInText(std::string_view haystack, std::string_view needle, long long pos, bool backwards,
                     bool wholeWords, bool matchCase) {
  const long long n = static_cast<long long>(haystack.size());
  const long long l = static_cast<long long>(needle.size());
  if (l == 0 || l > n) return 0;
  if (!backwards) {
    for (long long from = std::max(pos, 1LL) - 1; from + l <= n;) {
      const char* at = SearchFolded(haystack.data() + from, haystack.data() + n, needle.data(),
                                    needle.data() + l, matchCase);
      if (at == haystack.data() + n) return 0;
      const size_t k = static_cast<size_t>(at - haystack.data());
      if (!wholeWords || PassesWholeWord(haystack, k, needle.size())) return static_cast<long long>(k) + 1;
      from = static_cast<long long>(k) + 1;
    }
    return 0;
  }
  // Backwards: the last occurrence ending at pos - 1 or earlier, found as
  // the first occurrence of the reversed needle in the reversed haystack.
  using TBack = std::reverse_iterator<const char*>;
  const TBack needleFirst(needle.data() + l), needleLast(needle.data());
  for (long long end = std::min(pos, n + 1) - 1; end >= l;) {
    const TBack hayFirst(haystack.data() + end), hayLast(haystack.data());
    const TBack at = SearchFolded(hayFirst, hayLast, needleFirst, needleLast, matchCase);
    if (at == hayLast) return 0;
    const long long k = static_cast<long long>(at.base() - haystack.data()) - l;  // 0-based start
    if (!wholeWords || PassesWholeWord(haystack, static_cast<size_t>(k), needle.size())) return k + 1;
    end = k + l - 1;  // the next candidate ends before this one does
  }
  return 0;
}

TSearchOutcome RunSearch(TSearchState* state, std::u16string_view text, int flags, int tab,
                         int rowCount, int columnCount, const TGridCellFunc& cell,
                         const TTextPaneView& pane) {
  if (text.empty()) return {};
  const TSearchStart start = BeginSearch(state, text, flags, tab);
  if (tab == kTabText) return SearchPane(start, text, pane);
  return SearchGrid(state, start, rowCount, columnCount, cell);
}

}  // namespace corvane
