#include "uFilterRules.h"

#include <vector>

#include "uCompare.h"
#include "uNumberText.h"
#include "uUnicode.h"

namespace corvane {

bool ParseCellNumber(std::u16string_view text, double* value) { return ParseDecimalFloat(text, value); }

int CompareCells(std::u16string_view a, std::u16string_view b) {
  double x = 0, y = 0;
  if (ParseCellNumber(a, &x) && ParseCellNumber(b, &y)) return x < y ? -1 : (x > y ? 1 : 0);
  int result = 0;
  if (platform::LocaleCompare(a, b, &result)) return result < 0 ? -1 : (result > 0 ? 1 : 0);
  return platform::OrdinalCompare(a, b);
}

// ---- TCellFilter ------------------------------------------------------------

TCellFilter::TCellFilter(std::u16string_view filter, bool caseSensitive)
    : caseSensitive_(caseSensitive) {
  if (filter.size() > kMaxFilterLength) filter = filter.substr(0, kMaxFilterLength);
  if (filter.empty()) return;
  std::u16string folded(filter);
  if (!caseSensitive)
    for (char16_t& c : folded) c = AsciiLower(c);
  kind_ = TKind::Contains;
  operand_ = folded;
  if (folded.size() < 2) return;
  switch (folded[0]) {
    case u'=': kind_ = TKind::Equal; break;
    case u'!': kind_ = TKind::NotContains; break;
    case u'<': kind_ = TKind::Less; break;
    case u'>': kind_ = TKind::Greater; break;
    default: return;
  }
  operand_.erase(0, 1);
  operandIsNumber_ = ParseCellNumber(operand_, &operandNumber_);
}

bool TCellFilter::Contains(std::u16string_view text) const {
  const size_t n = operand_.size();
  if (n > text.size()) return false;
  if (caseSensitive_) return text.find(operand_) != std::u16string_view::npos;
  const char16_t first = operand_[0];
  const size_t last = text.size() - n;
  for (size_t i = 0; i <= last; ++i) {
    if (AsciiLower(text[i]) != first) continue;
    size_t k = 1;
    while (k < n && AsciiLower(text[i + k]) == operand_[k]) ++k;
    if (k == n) return true;
  }
  return false;
}

bool TCellFilter::EqualText(std::u16string_view text) const {
  if (text.size() != operand_.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = caseSensitive_ ? text[i] : AsciiLower(text[i]);
    if (c != operand_[i]) return false;
  }
  return true;
}

// Ordinal comparison of the (folded) text with the operand.
int TCellFilter::OrdinalVersusOperand(std::u16string_view text) const {
  const size_t n = std::min(text.size(), operand_.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = caseSensitive_ ? text[i] : AsciiLower(text[i]);
    if (c != operand_[i]) return c < operand_[i] ? -1 : 1;
  }
  if (text.size() == operand_.size()) return 0;
  return text.size() < operand_.size() ? -1 : 1;
}

bool TCellFilter::Matches(std::u16string_view text) const {
  switch (kind_) {
    case TKind::All: return true;
    case TKind::Equal: return EqualText(text);
    case TKind::NotContains: return !Contains(text);
    case TKind::Contains: return Contains(text);
    case TKind::Less:
    case TKind::Greater: break;
  }
  double number = 0;
  int order;
  // Folding leaves digits, signs, "." and "e" alone; "E" folds to "e", which
  // parses the same.
  if (operandIsNumber_ && ParseCellNumber(text, &number))
    order = number < operandNumber_ ? -1 : (number > operandNumber_ ? 1 : 0);
  else
    order = OrdinalVersusOperand(text);
  return kind_ == TKind::Less ? order < 0 : order > 0;
}

bool FilterMatches(std::u16string_view text, std::u16string_view filter, bool caseSensitive) {
  return TCellFilter(filter, caseSensitive).Matches(text);
}

// ---- sorting ----------------------------------------------------------------

void SortRowsByColumn(const TTableModel& table, int column, bool descending, TIntegerArray* rows) {
  // Each text is parsed once; the merge then moves small entries around.
  struct TEntry {
    double Number;
    int32_t Row;
    bool IsNumber;
  };
  std::vector<TEntry> entries;
  entries.reserve(rows->size());
  for (int32_t row : *rows) {
    TEntry entry{0, row, false};
    entry.IsNumber = ParseCellNumber(table.CellView(row, column), &entry.Number);
    entries.push_back(entry);
  }
  const int sign = descending ? -1 : 1;
  StableMergeSort(&entries, [&](const TEntry& a, const TEntry& b) {
    int order;
    if (a.IsNumber && b.IsNumber) {
      order = a.Number < b.Number ? -1 : (a.Number > b.Number ? 1 : 0);
    } else {
      const std::u16string_view ta = table.CellView(a.Row, column);
      const std::u16string_view tb = table.CellView(b.Row, column);
      if (!platform::LocaleCompare(ta, tb, &order)) order = platform::OrdinalCompare(ta, tb);
    }
    return sign * order;
  });
  for (size_t i = 0; i < entries.size(); ++i) (*rows)[i] = entries[i].Row;
}

}  // namespace corvane
