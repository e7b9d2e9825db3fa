#include "uNumberSplit.h"

namespace corvane {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && text.front() <= 32) text.remove_prefix(1);
  while (!text.empty() && text.back() <= 32) text.remove_suffix(1);
  return text;
}

}  // namespace

TNumberSplit SplitNumber(std::u16string_view text) {
  const std::u16string_view trimmed = Trim(text);
  TNumberSplit split;
  if (trimmed.empty()) return split;
  const size_t start = (trimmed[0] == u'+' || trimmed[0] == u'-') ? 1 : 0;
  size_t separator = std::u16string_view::npos;
  for (size_t i = start; i < trimmed.size(); ++i) {
    const char16_t c = trimmed[i];
    if (IsDigit(c)) continue;
    if ((c != u'.' && c != u',') || separator != std::u16string_view::npos) return split;
    separator = i;
  }
  if (separator == std::u16string_view::npos) {
    if (trimmed.size() == start) return split;  // a bare sign
    split.Numeric = true;
    split.IntegerPart = trimmed;
    return split;
  }
  // Digits must stand on both sides of the separator.
  if (separator == start || separator + 1 == trimmed.size()) return split;
  split.Numeric = true;
  split.IntegerPart = trimmed.substr(0, separator);
  split.Rest = trimmed.substr(separator);
  return split;
}

}  // namespace corvane
