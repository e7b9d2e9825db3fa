// The TOML value grammar. See uTomlText.h.
#include "uTomlText.h"

#include <algorithm>
#include <limits>

#include "uNumberText.h"

namespace corvane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitIn(char c, int base) {
  int digit = 99;
  if (c >= '0' && c <= '9') digit = c - '0';
  else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

// Digits of base from i with single underscores between two digits; false
// when there is not at least one digit. i moves past them.
bool ReadDigits(std::string_view s, size_t& i, int base) {
  const size_t start = i;
  while (i < s.size()) {
    if (DigitIn(s[i], base) >= 0) {
      ++i;
    } else if (s[i] == '_' && i > start && DigitIn(s[i - 1], base) >= 0 && i + 1 < s.size() &&
               DigitIn(s[i + 1], base) >= 0) {
      ++i;
    } else {
      break;
    }
  }
  return i > start;
}

// An unsigned decimal integer: "0" alone, or digits that do not start with 0.
bool ReadUnsignedDecimal(std::string_view s, size_t& i) {
  if (i >= s.size() || !IsDigit(s[i])) return false;
  if (s[i] == '0') return ++i, true;
  return ReadDigits(s, i, 10);
}

size_t SkipSign(std::string_view s) { return !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0; }

// The base a "0x", "0o" or "0b" prefix names; 10 without one.
int PrefixBase(std::string_view s) {
  if (s.size() < 2 || s[0] != '0') return 10;
  return s[1] == 'x' ? 16 : s[1] == 'o' ? 8 : s[1] == 'b' ? 2 : 10;
}

bool IsTomlInteger(std::string_view s) {
  const int base = PrefixBase(s);
  size_t i = base == 10 ? SkipSign(s) : 2;
  const bool read = base == 10 ? ReadUnsignedDecimal(s, i) : ReadDigits(s, i, base);
  return read && i == s.size();
}

bool IsTomlFloat(std::string_view s) {
  size_t i = SkipSign(s);
  if (s.substr(i) == "inf" || s.substr(i) == "nan") return true;
  if (!ReadUnsignedDecimal(s, i)) return false;
  bool fraction = false, exponent = false;
  if (i < s.size() && s[i] == '.') {
    if (!ReadDigits(s, ++i, 10)) return false;
    fraction = true;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!ReadDigits(s, i, 10)) return false;
    exponent = true;
  }
  return (fraction || exponent) && i == s.size();
}

// ---- dates and times ----------------------------------------------------------

// Exactly n decimal digits at i, within [low, high].
bool ReadField(std::string_view s, size_t& i, size_t n, int low, int high, int* value = nullptr) {
  if (i > s.size() || s.size() - i < n) return false;
  int v = 0;
  for (size_t k = 0; k < n; ++k) {
    if (!IsDigit(s[i + k])) return false;
    v = v * 10 + (s[i + k] - '0');
  }
  if (v < low || v > high) return false;
  i += n;
  if (value) *value = v;
  return true;
}

bool ReadChar(std::string_view s, size_t& i, char c) {
  if (i >= s.size() || s[i] != c) return false;
  return ++i, true;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ReadDate(std::string_view s, size_t& i) {
  int year = 0, month = 0, day = 0;
  return ReadField(s, i, 4, 0, 9999, &year) && ReadChar(s, i, '-') && ReadField(s, i, 2, 1, 12, &month) &&
         ReadChar(s, i, '-') && ReadField(s, i, 2, 1, 31, &day) && day <= DaysInMonth(year, month);
}

bool ReadTime(std::string_view s, size_t& i) {
  if (!ReadField(s, i, 2, 0, 23) || !ReadChar(s, i, ':') || !ReadField(s, i, 2, 0, 59) || !ReadChar(s, i, ':') ||
      !ReadField(s, i, 2, 0, 59))
    return false;
  if (i < s.size() && s[i] == '.') {
    const size_t start = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i > start;
  }
  return true;
}

bool ReadOffset(std::string_view s, size_t& i) {
  if (ReadChar(s, i, 'Z') || ReadChar(s, i, 'z')) return true;
  if (!ReadChar(s, i, '+') && !ReadChar(s, i, '-')) return false;
  return ReadField(s, i, 2, 0, 23) && ReadChar(s, i, ':') && ReadField(s, i, 2, 0, 59);
}

TTomlForm DateTimeForm(std::string_view s) {
  size_t i = 0;
  if (ReadDate(s, i)) {
    if (i == s.size()) return TTomlForm::LocalDate;
    if (s[i] != 'T' && s[i] != 't' && s[i] != ' ') return TTomlForm::None;
    if (!ReadTime(s, ++i)) return TTomlForm::None;
    if (i == s.size()) return TTomlForm::LocalDateTime;
    return ReadOffset(s, i) && i == s.size() ? TTomlForm::OffsetDateTime : TTomlForm::None;
  }
  i = 0;
  return ReadTime(s, i) && i == s.size() ? TTomlForm::LocalTime : TTomlForm::None;
}

// ---- strings --------------------------------------------------------------------

// Control characters a TOML string may not hold as they are (a tab may).
bool IsControl(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && b != '\t') || b == 0x7F;
}

void AppendUtf8(std::string* out, uint32_t cp) {
  if (!out) return;
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void Append(std::string* out, char c) {
  if (out) out->push_back(c);
}

// The escape whose backslash is at i; i moves past it.
bool ReadEscape(std::string_view s, size_t& i, std::string* out) {
  if (++i >= s.size()) return false;
  const char c = s[i++];
  switch (c) {
    case 'b': return Append(out, '\b'), true;
    case 't': return Append(out, '\t'), true;
    case 'n': return Append(out, '\n'), true;
    case 'f': return Append(out, '\f'), true;
    case 'r': return Append(out, '\r'), true;
    case '"': return Append(out, '"'), true;
    case '\\': return Append(out, '\\'), true;
    case 'u':
    case 'U': {
      const size_t n = c == 'u' ? 4 : 8;
      if (s.size() - i < n) return false;
      uint32_t cp = 0;
      for (size_t k = 0; k < n; ++k) {
        const int digit = DigitIn(s[i + k], 16);
        if (digit < 0) return false;
        cp = cp << 4 | static_cast<uint32_t>(digit);
      }
      if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
      i += n;
      AppendUtf8(out, cp);
      return true;
    }
    default: return false;
  }
}

// A line break at i (LF or CR LF): its length, else 0.
size_t LineBreakAt(std::string_view s, size_t i) {
  if (i < s.size() && s[i] == '\n') return 1;
  if (i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n') return 2;
  return 0;
}

// A backslash at i that ends its line (blanks may follow it): skips it and
// every blank and line break after it.
bool SkipLineEndingBackslash(std::string_view s, size_t& i) {
  size_t j = i + 1;
  while (j < s.size() && (s[j] == ' ' || s[j] == '\t')) ++j;
  if (!LineBreakAt(s, j)) return false;
  while (j < s.size() && (s[j] == ' ' || s[j] == '\t' || LineBreakAt(s, j))) j += s[j] == '\r' ? 2 : 1;
  i = j;
  return true;
}

// The content of a string between its delimiters.
bool DecodeContent(std::string_view s, bool basic, bool multiLine, std::string* out) {
  const char quote = basic ? '"' : '\'';
  // Most strings are one line with nothing to decode: taken whole.
  if (!multiLine && out &&
      std::none_of(s.begin(), s.end(), [&](char c) { return c == quote || (basic && c == '\\') || IsControl(c); })) {
    out->append(s.data(), s.size());
    return true;
  }
  size_t i = multiLine ? LineBreakAt(s, 0) : 0;
  while (i < s.size()) {
    const char c = s[i];
    if (basic && c == '\\') {
      if (multiLine && SkipLineEndingBackslash(s, i)) continue;
      if (!ReadEscape(s, i, out)) return false;
    } else if (const size_t lineBreak = multiLine ? LineBreakAt(s, i) : 0) {
      Append(out, '\n');
      i += lineBreak;
    } else if (IsControl(c) || (c == quote && (!multiLine || s.substr(i, 3) == std::string(3, quote)))) {
      return false;
    } else {
      Append(out, c);
      ++i;
    }
  }
  return true;
}

// The string form of raw, decoded into out (when given); None when raw is
// no valid string.
TTomlForm DecodeString(std::string_view raw, std::string* out) {
  if (raw.size() < 2) return TTomlForm::None;
  const char quote = raw[0];
  if (quote != '"' && quote != '\'') return TTomlForm::None;
  const bool basic = quote == '"';
  const std::string_view triple = basic ? "\"\"\"" : "'''";
  bool ok = false;
  TTomlForm form = TTomlForm::None;
  if (raw.size() >= 6 && raw.substr(0, 3) == triple) {
    ok = raw.substr(raw.size() - 3) == triple && DecodeContent(raw.substr(3, raw.size() - 6), basic, true, out);
    form = basic ? TTomlForm::MultiLineBasicString : TTomlForm::MultiLineLiteralString;
  } else {
    ok = raw.back() == quote && DecodeContent(raw.substr(1, raw.size() - 2), basic, false, out);
    form = basic ? TTomlForm::BasicString : TTomlForm::LiteralString;
  }
  return ok ? form : TTomlForm::None;
}

// The value of digits in base (underscores skipped); prefixed forms are
// never negative and must fit the signed range like decimal ones.
bool Accumulate(std::string_view digits, int base, bool negative, int64_t* value) {
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t v = 0;
  for (const char c : digits) {
    if (c == '_') continue;
    const auto d = static_cast<uint64_t>(DigitIn(c, base));
    if (v > (limit - d) / static_cast<uint64_t>(base)) return false;
    v = v * static_cast<uint64_t>(base) + d;
  }
  *value = static_cast<int64_t>(negative ? uint64_t{0} - v : v);
  return true;
}

}  // namespace

bool IsTomlStringForm(TTomlForm form) {
  return form == TTomlForm::BasicString || form == TTomlForm::LiteralString ||
         form == TTomlForm::MultiLineBasicString || form == TTomlForm::MultiLineLiteralString;
}

bool IsTomlDateTimeForm(TTomlForm form) {
  return form == TTomlForm::OffsetDateTime || form == TTomlForm::LocalDateTime ||
         form == TTomlForm::LocalDate || form == TTomlForm::LocalTime;
}

TTomlForm TomlFormOf(std::string_view raw) {
  if (raw.empty()) return TTomlForm::None;
  if (raw[0] == '"' || raw[0] == '\'') return DecodeString(raw, nullptr);
  if (raw == "true" || raw == "false") return TTomlForm::Boolean;
  if (IsTomlInteger(raw)) return TTomlForm::Integer;
  if (IsTomlFloat(raw)) return TTomlForm::Float;
  return DateTimeForm(raw);
}

bool DecodeTomlString(std::string_view raw, std::string* text) {
  std::string decoded;
  if (DecodeString(raw, &decoded) == TTomlForm::None) return false;
  *text = std::move(decoded);
  return true;
}

bool ParseTomlInteger(std::string_view raw, int64_t* value) {
  if (!IsTomlInteger(raw)) return false;
  const int base = PrefixBase(raw);
  if (base != 10) return Accumulate(raw.substr(2), base, false, value);
  const size_t sign = SkipSign(raw);
  return Accumulate(raw.substr(sign), 10, sign && raw[0] == '-', value);
}

bool ParseTomlFloat(std::string_view raw, double* value) {
  if (!IsTomlFloat(raw)) return false;
  const bool negative = raw[0] == '-';
  const std::string_view word = raw.substr(SkipSign(raw));
  if (word == "inf" || word == "nan") {
    const double v =
        word == "inf" ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    *value = negative ? -v : v;
    return true;
  }
  std::string digits;
  digits.reserve(raw.size());
  for (const char c : raw)
    if (c != '_') digits.push_back(c);
  return ParseDecimalFloat(digits, value);
}

}  // namespace corvane
