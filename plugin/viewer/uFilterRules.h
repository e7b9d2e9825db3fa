// The pure rules of the filter row and of sorting.
//
// Contract:
//  - Filter language (per column): "" passes everything; "=x" equality;
//    "!x" the text must not contain x; "<x" / ">x" numeric when both sides are
//    numbers, else ordinal UTF-16 comparison; anything else is a substring
//    test. A one-character "=", "!", "<" or ">" is an ordinary substring.
//    Unless case-sensitive, ASCII A-Z are folded on both sides.
//  - Numbers: a cell text or operand is a number when it is a decimal float
//    (ParseDecimalFloat of uNumberText.h: optional sign, digits with an
//    optional "." fraction, optional exponent; no blanks, no inf/nan; too
//    large is no number, too small is zero).
//  - CompareCells: numeric when both are numbers, else the platform's
//    locale-aware comparison, else ordinal.
//  - The sort is a stable merge sort: equal rows keep table order in both
//    directions. Texts are compared through sort keys made once per row
//    where the platform has them (bytewise key order is the locale
//    comparison's order, so the merge takes the same steps); the keys are
//    freed when the sort ends and their total size is bounded: rows beyond
//    the bound are compared with the locale comparison itself.
#pragma once

#include <algorithm>
#include <vector>
#include <string>
#include <string_view>

#include "uTableModel.h"

namespace corvane {

// Longest filter text used; longer texts are cut.
constexpr size_t kMaxFilterLength = 4095;

// The number a cell text (or a filter operand) stands for in filters and
// sorting: the decimal-float grammar of uNumberText.h, nothing added.
bool ParseCellNumber(std::u16string_view text, double* value);

// -1, 0 or 1.
int CompareCells(std::u16string_view a, std::u16string_view b);

// A filter prepared once per pass (folded, number pre-parsed), then matched
// against many cells without allocating.
class TCellFilter {
 public:
  TCellFilter(std::u16string_view filter, bool caseSensitive);
  bool Empty() const { return kind_ == TKind::All; }
  bool Matches(std::u16string_view text) const;

 private:
  enum class TKind { All, Equal, NotContains, Less, Greater, Contains };
  bool Contains(std::u16string_view text) const;
  bool EqualText(std::u16string_view text) const;
  int OrdinalVersusOperand(std::u16string_view text) const;
  TKind kind_ = TKind::All;
  bool caseSensitive_;
  std::u16string operand_;  // folded unless case-sensitive
  bool operandIsNumber_ = false;
  double operandNumber_ = 0;
};

bool FilterMatches(std::u16string_view text, std::u16string_view filter, bool caseSensitive);

// Stable top-down merge sort with a scratch array; when merging, the left
// element is taken while compare(left, right) <= 0.
template <typename T, typename TCompare>
void StableMergeSort(T* items, T* scratch, size_t count, const TCompare& compare) {
  if (count < 2) return;
  const size_t half = count / 2;
  StableMergeSort(items, scratch, half, compare);
  StableMergeSort(items + half, scratch, count - half, compare);
  std::copy(items, items + count, scratch);
  size_t l = 0, r = half, out = 0;
  while (l < half && r < count)
    items[out++] = compare(scratch[l], scratch[r]) <= 0 ? scratch[l++] : scratch[r++];
  while (l < half) items[out++] = scratch[l++];
  while (r < count) items[out++] = scratch[r++];
}

template <typename T, typename TCompare>
void StableMergeSort(std::vector<T>* items, const TCompare& compare) {
  if (items->size() < 2) return;
  std::vector<T> scratch(items->size());
  StableMergeSort(items->data(), scratch.data(), items->size(), compare);
}

// How sorting compares two texts that are not both numbers: the locale
// comparison, and optionally sort keys whose bytewise order (unsigned bytes,
// a key that is a prefix of another first) is the comparison's order.
struct TCollation {
  bool (*Compare)(std::u16string_view a, std::u16string_view b, int* result);
  bool (*SortKey)(std::u16string_view text, std::string* key);  // may be null
  size_t KeyBudget;  // bytes of keys held at most during one sort
};

// The platform's locale comparison with its sort keys.
TCollation PlatformCollation();

// Sorts table rows by the texts of one column with CompareCells, each text
// parsed as a number once.
void SortRowsByColumn(const TTableModel& table, int column, bool descending, TIntegerArray* rows);
void SortRowsByColumn(const TTableModel& table, int column, bool descending, TIntegerArray* rows,
                      const TCollation& collation);

}  // namespace corvane
