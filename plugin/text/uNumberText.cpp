// The decimal-float and prefixed-integer grammars. See uNumberText.h.
//
// The float grammar is checked here, not left to std::from_chars, which
// would also take "inf", "nan" and "infinity"; from_chars then only converts
// (exactly, with "." whatever the C locale says). It reports a value out of
// the double range the same way for both ends, so the text's decimal
// magnitude tells an underflow (read as zero) from an overflow (refused).
#include "uNumberText.h"

#include <charconv>
#include <string>

namespace corvane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when a float text whose conversion left the double range is too small
// rather than too large: its first significant digit stands at a power of
// ten of at most -1. mantissa holds the digits and the point; exponent is
// the written exponent, already clamped far beyond the double range.
bool IsUnderflow(std::string_view mantissa, long long exponent) {
  const size_t point = mantissa.find('.');
  std::string_view whole = mantissa.substr(0, point);
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  if (!whole.empty()) return static_cast<long long>(whole.size()) + exponent <= 0;
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
  size_t zeros = 0;
  while (zeros < fraction.size() && fraction[zeros] == '0') ++zeros;
  return exponent - static_cast<long long>(zeros) <= 0;
}

// Reads the exponent digits from i; false when there are none. The value is
// clamped far beyond the double range, so it cannot wrap.
bool ReadExponent(std::string_view text, size_t& i, long long& exponent) {
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  for (; i < text.size() && IsDigit(text[i]); ++i)
    if (exponent < 100000000) exponent = exponent * 10 + (text[i] - '0');
  if (negative) exponent = -exponent;
  return i > start;
}

int DigitValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return 99;
}

// Which base prefixes an integer text may carry.
enum class TPrefixes { All, HexOnly };

// The base a prefix at i names (i moves past it); 10 without a prefix.
template <typename TChar>
int TakeBase(std::basic_string_view<TChar> s, size_t& i, TPrefixes prefixes) {
  if (i >= s.size()) return 10;
  const TChar c = s[i];
  if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) return i += 2, 16;
  if (prefixes == TPrefixes::HexOnly) return 10;
  if (c == '$' || c == 'x' || c == 'X') return ++i, 16;
  if (c == '&') return ++i, 8;
  if (c == '%') return ++i, 2;
  return 10;
}

template <typename TChar>
bool ParseInteger(std::basic_string_view<TChar> s, int bits, int64_t* value, TPrefixes prefixes) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const int base = TakeBase(s, i, prefixes);
  if (i >= s.size()) return false;
  const uint64_t mask = bits >= 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
  uint64_t pattern = 0;
  for (; i < s.size(); ++i) {
    const int digit = DigitValue(static_cast<char32_t>(s[i]));
    if (digit >= base) return false;
    const auto d = static_cast<uint64_t>(digit);
    if (pattern > (mask - d) / static_cast<uint64_t>(base)) return false;
    pattern = pattern * static_cast<uint64_t>(base) + d;
  }
  if (base == 10) {
    // Decimal text must fit the signed range as written.
    const uint64_t limit = (mask >> 1) + (negative ? 1 : 0);
    if (pattern > limit) return false;
    *value = static_cast<int64_t>(negative ? uint64_t{0} - pattern : pattern);
    return true;
  }
  uint64_t bitsValue = (negative ? uint64_t{0} - pattern : pattern) & mask;
  // Sign-extend the pattern from its top bit.
  if (bits < 64 && (bitsValue >> (bits - 1)) != 0) bitsValue |= ~mask;
  *value = static_cast<int64_t>(bitsValue);
  return true;
}

}  // namespace

bool ParseDecimalFloat(std::string_view text, double* value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
  const size_t start = i;
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.')
    for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  if (digits == 0) return false;
  const std::string_view mantissa = text.substr(start, i - start);
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E') && !ReadExponent(text, ++i, exponent)) return false;
  if (i != text.size()) return false;
  // from_chars takes no sign of its own here: the unsigned part is converted
  // and the sign applied after, also to a zero that underflowed.
  double parsed = 0.0;
  const auto result = std::from_chars(text.data() + start, text.data() + text.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    if (!IsUnderflow(mantissa, exponent)) return false;
    parsed = 0.0;
  } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return false;
  }
  *value = negative ? -parsed : parsed;
  return true;
}

bool ParseDecimalFloat(std::u16string_view text, double* value) {
  // Narrowed to bytes (a character outside ASCII cannot belong to a number),
  // on the stack for every text a cell or a filter usually holds.
  char small[128];
  std::string large;
  char* bytes = small;
  if (text.size() > sizeof small) {
    large.resize(text.size());
    bytes = large.data();
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] > 127) return false;
    bytes[i] = static_cast<char>(text[i]);
  }
  return ParseDecimalFloat(std::string_view(bytes, text.size()), value);
}

bool ParsePrefixedInteger(std::string_view text, int bits, int64_t* value) {
  return ParseInteger(text, bits, value, TPrefixes::All);
}

bool ParsePrefixedInteger(std::u16string_view text, int bits, int64_t* value) {
  return ParseInteger(text, bits, value, TPrefixes::All);
}

bool ParseDecimalOrHexInteger(std::string_view text, int bits, int64_t* value) {
  return ParseInteger(text, bits, value, TPrefixes::HexOnly);
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace corvane
