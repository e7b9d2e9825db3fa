#include "uFilterRules.h"

#include <cstdint>
#include <string>
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

TCollation PlatformCollation() {
  // 64 MiB: keys for a few million short cells, well within a 32-bit host.
  return {platform::LocaleCompare, platform::LocaleSortKey, size_t(64) << 20};
}

namespace {

// One row being sorted. The merge moves these small records; the first
// eight key bytes ride along, so most text comparisons touch nothing else.
struct TSortEntry {
  double Number;
  uint64_t KeyPrefix;  // first 8 key bytes, big-endian, zero-padded
  uint32_t Index;      // position in the rows given, and in the key spans
  bool IsNumber;
  bool HasKey;
};

struct TKeySpan {
  size_t Start;
  size_t Length;
};

uint64_t KeyPrefix(std::string_view key) {
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i)
    prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  return prefix;
}

}  // namespace

void SortRowsByColumn(const TTableModel& table, int column, bool descending, TIntegerArray* rows) {
  SortRowsByColumn(table, column, descending, rows, PlatformCollation());
}

void SortRowsByColumn(const TTableModel& table, int column, bool descending, TIntegerArray* rows,
                      const TCollation& collation) {
  // Each text is parsed once; the merge then moves small entries around.
  const TIntegerArray& given = *rows;
  // A narrow cell's text is widened into a buffer; a comparison holds two
  // texts at once, so each side has its own.
  std::u16string scratch, otherScratch;
  const auto text = [&](const TSortEntry& e, std::u16string* buffer) {
    return table.Cell(given[e.Index], column).View(buffer);
  };
  std::vector<TSortEntry> entries;
  entries.reserve(rows->size());
  bool anyText = false;
  for (size_t i = 0; i < given.size(); ++i) {
    TSortEntry entry{0, 0, static_cast<uint32_t>(i), false, false};
    entry.IsNumber = ParseCellNumber(text(entry, &scratch), &entry.Number);
    anyText = anyText || !entry.IsNumber;
    entries.push_back(entry);
  }
  // Keys only matter when some text meets another text or a number.
  std::string keys;
  std::vector<TKeySpan> spans;
  if (anyText && collation.SortKey) {
    spans.resize(entries.size());
    for (TSortEntry& entry : entries) {
      const size_t start = keys.size();
      if (start >= collation.KeyBudget) break;
      if (!collation.SortKey(text(entry, &scratch), &keys)) continue;
      if (keys.size() > collation.KeyBudget) {
        keys.resize(start);
        break;
      }
      spans[entry.Index] = {start, keys.size() - start};
      entry.KeyPrefix = KeyPrefix(std::string_view(keys).substr(start));
      entry.HasKey = true;
    }
  }
  const auto keyOf = [&](const TSortEntry& e) {
    return std::string_view(keys).substr(spans[e.Index].Start, spans[e.Index].Length);
  };
  const int sign = descending ? -1 : 1;
  StableMergeSort(&entries, [&](const TSortEntry& a, const TSortEntry& b) {
    int order;
    if (a.IsNumber && b.IsNumber) {
      order = a.Number < b.Number ? -1 : (a.Number > b.Number ? 1 : 0);
    } else if (a.HasKey && b.HasKey) {
      if (a.KeyPrefix != b.KeyPrefix) {
        order = a.KeyPrefix < b.KeyPrefix ? -1 : 1;
      } else {
        const int c = keyOf(a).compare(keyOf(b));  // char_traits<char>: unsigned bytes
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
      }
    } else {
      const std::u16string_view ta = text(a, &scratch), tb = text(b, &otherScratch);
      if (!collation.Compare(ta, tb, &order)) order = platform::OrdinalCompare(ta, tb);
      order = order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    return sign * order;
  });
  TIntegerArray sorted(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) sorted[i] = given[entries[i].Index];
  *rows = std::move(sorted);
}

}  // namespace corvane
