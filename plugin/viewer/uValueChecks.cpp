// Typed-value checks of the cell editor.
//
// Contract:
//  - Grammar and conversion are done by hand and with std::from_chars, never
//    with strtod or streams, so a host that runs with a locale using ","
//    as decimal point checks and converts the same way.
//  - The integer check accumulates with an overflow test instead of relying
//    on a library conversion, so "9223372036854775808" is refused, not
//    clamped.
#include "uValueChecks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "uI18n.h"
#include "uUnicode.h"

namespace corvane {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

size_t SkipDigits(std::u16string_view text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// Decimal magnitude of the first non-zero digit of a number that passed the
// grammar of ParseFiniteDouble: > 0 means the value is too large for a
// double, otherwise too small. Exponents are clamped so the sum cannot wrap.
long long DecimalMagnitude(std::string_view text) {
  size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  long long intDigits = 0;
  long long firstNonZero = std::numeric_limits<long long>::min();
  long long position = 0;  // digits seen so far, integer part first
  bool inFraction = false;
  for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
    if (text[i] == '.') { inFraction = true; continue; }
    if (!inFraction) ++intDigits;
    if (text[i] != '0' && firstNonZero == std::numeric_limits<long long>::min())
      firstNonZero = position;
    ++position;
  }
  long long exponent = 0;
  if (i < text.size()) {
    ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (; i < text.size(); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000000LL);
    if (negative) exponent = -exponent;
  }
  if (firstNonZero == std::numeric_limits<long long>::min()) return 0;
  return intDigits - firstNonZero - 1 + exponent;
}

}  // namespace

bool IsJsonNumberText(std::u16string_view text) {
  size_t i = 0;
  if (i < text.size() && text[i] == u'-') ++i;
  if (i >= text.size() || !IsDigit(text[i])) return false;
  i = text[i] == u'0' ? i + 1 : SkipDigits(text, i);
  if (i < text.size() && text[i] == u'.') {
    const size_t start = ++i;
    i = SkipDigits(text, i);
    if (i == start) return false;
  }
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    const size_t start = i;
    i = SkipDigits(text, i);
    if (i == start) return false;
  }
  return i == text.size();
}

bool ParseFiniteDouble(std::string_view ascii, double* value) {
  if (ascii.empty()) return false;
  // from_chars takes no "+" sign; a second sign after it must still fail.
  std::string_view body = ascii;
  if (body[0] == '+') {
    body.remove_prefix(1);
    if (body.empty() || body[0] == '-' || body[0] == '+') return false;
  }
  double parsed = 0.0;
  const auto result =
      std::from_chars(body.data(), body.data() + body.size(), parsed, std::chars_format::general);
  if (result.ptr != body.data() + body.size()) return false;
  if (result.ec == std::errc::result_out_of_range) {
    if (DecimalMagnitude(body) > 0) return false;  // overflow
    parsed = body[0] == '-' ? -0.0 : 0.0;          // underflow reads as zero
  } else if (result.ec != std::errc()) {
    return false;
  }
  if (!std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

bool ParseInt64Text(std::u16string_view text, int64_t* value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (negative) ++i;
  if (i >= text.size()) return false;
  // Accumulate as a negative number: its range holds the 64-bit minimum.
  const int64_t min = std::numeric_limits<int64_t>::min();
  int64_t acc = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    const int digit = text[i] - u'0';
    if (acc < (min + digit) / 10) return false;
    acc = acc * 10 - digit;
  }
  if (!negative && acc == min) return false;
  *value = negative ? acc : -acc;
  return true;
}

namespace {

TValueCheck CheckNumber(const TJsonData& node, std::u16string_view text) {
  double parsed = 0.0;
  if (!IsJsonNumberText(text) || !ParseFiniteDouble(Utf16ToUtf8(text), &parsed)) {
    return vcInvalidNumber;
  }
  if (static_cast<const TJsonNumber&>(node).IsFloat()) return vcAccepted;
  int64_t integer = 0;
  return ParseInt64Text(text, &integer) ? vcAccepted : vcInvalidValue;
}

}  // namespace

TValueCheck CheckTypedValue(const TJsonData* node, std::u16string_view text) {
  switch (NodeKind(node)) {
    case nkNumber: return CheckNumber(*node, text);
    case nkBoolean: return (text == u"true" || text == u"false") ? vcAccepted : vcUseTrueFalse;
    case nkNull: return text == u"null" ? vcAccepted : vcUseNull;
    case nkString: return vcAccepted;
    default: return vcNotEditable;
  }
}

std::u16string ValueCheckStatusText(TValueCheck check) {
  switch (check) {
    case vcInvalidNumber: return tr(i18n::kStatusInvalidNumber);
    case vcUseTrueFalse: return tr(i18n::kStatusTrueFalse);
    case vcUseNull: return tr(i18n::kStatusNull);
    case vcInvalidValue: return tr(i18n::kStatusInvalidValue);
    default: return {};
  }
}

namespace {

// Gives an accepted number text to its node; false when the node refuses it.
bool SetNumber(TJsonData* node, std::u16string_view text) {
  auto* number = static_cast<TJsonNumber*>(node);
  if (!number->IsFloat()) {
    int64_t value = 0;
    if (!ParseInt64Text(text, &value)) return false;
    static_cast<TJsonInteger*>(node)->SetValue(value);
    return true;
  }
  try {
    static_cast<TJsonFloat*>(node)->SetFromText(Utf16ToUtf8(text));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace

TValueCheck ApplyTypedValue(TJsonData* node, std::u16string_view text) {
  const TValueCheck check = CheckTypedValue(node, text);
  if (check != vcAccepted) return check;
  switch (node->Kind()) {
    case nkNumber:
      return SetNumber(node, text) ? vcAccepted : vcInvalidValue;
    case nkBoolean:
      static_cast<TJsonBoolean*>(node)->SetValue(text == u"true");
      return vcAccepted;
    case nkString:
      static_cast<TJsonString*>(node)->SetValue(Utf16ToUtf8(text));
      return vcAccepted;
    default:
      return vcAccepted;  // null: the only accepted text is "null" itself
  }
}

}  // namespace corvane
