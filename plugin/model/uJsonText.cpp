// Texts of value-tree nodes: number display texts, the JSON float form,
// summaries, type names and JSON string quoting.
//
// Contract:
//  - Every conversion between doubles and text goes through std::to_chars /
//    std::from_chars, so the host's C locale (a "," decimal separator, say)
//    never changes a result.
//  - NumberDisplayText picks the shortest general form (1 to 15 significant
//    digits) that reads back exactly, then the "0.###############" form, else
//    keeps the 15-digit form; a text without "." or "E" gets ".0". That is
//    the search FloatDisplayTextBySearch does attempt by attempt; display
//    texts are written straight from the shortest round-trip digits, which
//    are that search's answer wherever they settle it (ShortestSettles);
//    elsewhere the search runs.
//  - Non-finite floats: displayed as "inf", "-inf", "nan"; their JSON float
//    text is "Infinity", "-Infinity", "NaN" (the common JSON extension), since
//    the scientific form cannot express them.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "uI18n.h"
#include "uJsonModel.h"
#include "uNumberText.h"
#include "uUnicode.h"

namespace corvane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The pieces of std::to_chars' scientific output "[-]d.ddde[+-]xx".
struct TScientific {
  bool Negative = false;
  std::string Digits;  // without the point
  int Exponent = 0;
};

TScientific ToScientific(double v, int fractionDigits) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::scientific, fractionDigits);
  TScientific s;
  const char* p = buf;
  if (p < result.ptr && *p == '-') {
    s.Negative = true;
    ++p;
  }
  for (; p < result.ptr && *p != 'e'; ++p)
    if (IsDigit(*p)) s.Digits.push_back(*p);
  if (p < result.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, s.Exponent);
  return s;
}

// v rounded to p significant digits in the general format described above.
std::string GeneralText(double v, int p) {
  TScientific s = ToScientific(v, p - 1);
  while (s.Digits.size() > 1 && s.Digits.back() == '0') s.Digits.pop_back();
  if (s.Digits == "0") return "0";  // also drops the sign of a negative zero
  const int e = s.Exponent;
  std::string out = s.Negative ? "-" : "";
  if (e >= -5 && e < p) {
    if (e < 0) {
      out += "0." + std::string(static_cast<size_t>(-e - 1), '0') + s.Digits;
    } else {
      const size_t whole = static_cast<size_t>(e) + 1;
      if (s.Digits.size() <= whole) {
        out += s.Digits + std::string(whole - s.Digits.size(), '0');
      } else {
        out += s.Digits.substr(0, whole) + "." + s.Digits.substr(whole);
      }
    }
    return out;
  }
  out += s.Digits.substr(0, 1);
  if (s.Digits.size() > 1) out += "." + s.Digits.substr(1);
  out += "E" + std::to_string(e);
  return out;
}

// Room for any float display text: the pattern form of the largest double
// has 309 digits before the point.
constexpr size_t kFloatTextRoom = 400;

// The "0.###############" pattern: fixed, at most 15 decimals, no trailing
// zeros, written into out (kFloatTextRoom bytes); its length.
size_t PatternChars(double v, char* out) {
  const auto result = std::to_chars(out, out + kFloatTextRoom, v, std::chars_format::fixed, 15);
  if (result.ec != std::errc()) return 0;
  size_t n = static_cast<size_t>(result.ptr - out);
  while (n > 0 && out[n - 1] == '0') --n;
  if (n > 0 && out[n - 1] == '.') --n;
  if (n == 2 && out[0] == '-' && out[1] == '0') {
    out[0] = '0';
    n = 1;
  }
  return n;
}

std::string PatternText(double v) {
  char buf[kFloatTextRoom];
  return std::string(buf, PatternChars(v, buf));
}

bool ReadsBack(std::string_view text, double v) {
  double parsed = 0.0;
  return ParseDecimalFloat(text, &parsed) && parsed == v;
}

// The end of the display text's definition: the pattern form when the
// general form did not read back, and ".0" for a text without point or
// exponent.
std::string WithPoint(std::string t) {
  if (t.find_first_of(".eE") == std::string::npos) t += ".0";
  return t;
}

std::string FinishFloatText(double v, std::string t, bool exact) {
  if (!exact) {
    std::string u = PatternText(v);
    if (ReadsBack(u, v)) t = u;
  }
  return WithPoint(std::move(t));
}

// The shortest text that reads back as v (std::to_chars without a
// precision): its significant digits, without point or trailing zeros, and
// its decimal exponent.
struct TShortest {
  bool Negative = false;
  char Digits[24] = {};
  int Count = 0;
  int Exponent = 0;
};

TShortest ShortestDigits(double v) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::scientific);
  TShortest s;
  const char* p = buf;
  if (p < result.ptr && *p == '-') {
    s.Negative = true;
    ++p;
  }
  for (; p < result.ptr && *p != 'e'; ++p)
    if (IsDigit(*p) && s.Count < int(sizeof s.Digits)) s.Digits[s.Count++] = *p;
  if (p < result.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, s.Exponent);
  while (s.Count > 1 && s.Digits[s.Count - 1] == '0') --s.Count;
  return s;
}

// Whether the shortest digits settle the search: away from zero, from the
// exponents where a longer text can be as short in characters (e+99 against
// e+100) and from powers of two, whose round-trip interval is lopsided. For
// every other value a text of p digits reads back exactly when p is at least
// the shortest count (the correctly rounded p digits lie no farther from v
// than any p-digit text), so the search stops at that count, and the
// correctly rounded digits at that count are the shortest digits themselves:
// they are the p-digit text nearest to v, and with p at most 15 no two
// p-digit texts can both lie within the round-trip interval at equal
// distance.
bool ShortestSettles(double v, const TShortest& s) {
  if (v == 0 || s.Exponent < -98 || s.Exponent > 98) return false;
  int exponent = 0;
  return std::frexp(v, &exponent) != 0.5 && std::frexp(v, &exponent) != -0.5;
}

// GeneralText(v, s.Count) written from the shortest digits into out, which
// has room for at least 130 characters (the exponent is within +-98); its
// length.
size_t GeneralChars(const TShortest& s, char* out) {
  char* at = out;
  if (s.Negative) *at++ = '-';
  const int e = s.Exponent;
  const char* digits = s.Digits;
  const int count = s.Count;
  if (e >= -5 && e < count) {
    if (e < 0) {
      *at++ = '0';
      *at++ = '.';
      at = std::fill_n(at, -e - 1, '0');
      at = std::copy(digits, digits + count, at);
    } else {
      at = std::copy(digits, digits + e + 1, at);  // e < count: no zeros to add
      if (e + 1 < count) {
        *at++ = '.';
        at = std::copy(digits + e + 1, digits + count, at);
      }
    }
    return size_t(at - out);
  }
  *at++ = digits[0];
  if (count > 1) {
    *at++ = '.';
    at = std::copy(digits + 1, digits + count, at);
  }
  *at++ = 'E';
  at = std::to_chars(at, at + 8, e).ptr;
  return size_t(at - out);
}

// The display text of a float into out (kFloatTextRoom bytes); its length.
size_t FloatDisplayChars(double v, char* out) {
  auto copy = [out](const std::string& text) {
    text.copy(out, kFloatTextRoom);
    return std::min(text.size(), kFloatTextRoom);
  };
  if (std::isnan(v) || std::isinf(v)) return copy(FloatDisplayTextBySearch(v));
  const TShortest shortest = ShortestDigits(v);
  if (!ShortestSettles(v, shortest)) return copy(FloatDisplayTextBySearch(v));
  if (shortest.Count <= 15) {
    size_t n = GeneralChars(shortest, out);
    if (std::string_view(out, n).find_first_of(".E") == std::string_view::npos) {
      out[n++] = '.';
      out[n++] = '0';
    }
    return n;
  }
  // More than 15 digits: every attempt of the search fails; the pattern form
  // is taken when it reads back, else the 15-digit form stays.
  const size_t n = PatternChars(v, out);
  if (!ReadsBack(std::string_view(out, n), v)) return copy(WithPoint(GeneralText(v, 15)));
  if (std::string_view(out, n).find_first_of(".eE") != std::string_view::npos) return n;
  return copy(WithPoint(std::string(out, n)));
}

}  // namespace

std::string DefaultFloatText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  const TScientific s = ToScientific(value, 16);
  const int e = s.Exponent < 0 ? -s.Exponent : s.Exponent;
  std::string out = s.Negative ? "-" : "";
  out += s.Digits.substr(0, 1) + "." + s.Digits.substr(1) + "E" + (s.Exponent < 0 ? "-" : "+");
  out += static_cast<char>('0' + e / 100);
  out += static_cast<char>('0' + e / 10 % 10);
  out += static_cast<char>('0' + e % 10);
  return out;
}

std::string JsonNumberText(const TJsonData& number) {
  if (number.Kind() != nkNumber) return number.JsonText();
  const auto& n = static_cast<const TJsonNumber&>(number);
  if (!n.IsFloat()) return static_cast<const TJsonInteger&>(n).TJsonInteger::PlainText();
  const double v = n.AsFloat();
  if (std::isnan(v) || std::isinf(v)) return DefaultFloatText(v);
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof(buf), v);
  return std::string(buf, result.ptr);
}

std::string JsonQuoteString(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case 8: out += "\\b"; break;
      case 9: out += "\\t"; break;
      case 10: out += "\\n"; break;
      case 12: out += "\\f"; break;
      case 13: out += "\\r"; break;
      default:
        if (c < 32) {
          out += "\\u00";
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 15]);
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
  return out;
}

int NodeKind(const TJsonData* node) { return node ? node->Kind() : nkUnknown; }

bool IsContainer(const TJsonData* node) {
  const int kind = NodeKind(node);
  return kind == nkArray || kind == nkObject;
}

const TJsonContainer* AsContainer(const TJsonData* node) {
  return IsContainer(node) ? static_cast<const TJsonContainer*>(node) : nullptr;
}

std::string FloatDisplayTextBySearch(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  std::string t;
  bool exact = false;
  for (int p = 1; p <= 15 && !exact; ++p) {
    t = GeneralText(v, p);
    exact = ReadsBack(t, v);
  }
  return FinishFloatText(v, std::move(t), exact);
}

std::u16string NumberDisplayText(const TJsonData& number) {
  if (number.Kind() != nkNumber) return Utf8ToUtf16(number.JsonText());
  if (auto* source = dynamic_cast<const TSourceFloatNumber*>(&number))
    if (!source->Spelling().empty()) return Utf8ToUtf16(source->Spelling());
  const auto& n = static_cast<const TJsonNumber&>(number);
  if (n.IsFloat()) {
    char text[kFloatTextRoom];
    return std::u16string(text, text + FloatDisplayChars(n.AsFloat(), text));
  }
  return U16(n.PlainText());  // a source-preserving integer's spelling
}

size_t NumberDisplayChars(const TJsonData& number, char* out, size_t room) {
  if (number.Kind() != nkNumber) return 0;
  const auto put = [out, room](std::string_view text) -> size_t {
    if (text.size() > room) return 0;
    for (const char c : text)
      if (static_cast<unsigned char>(c) >= 0x80) return 0;
    std::copy(text.begin(), text.end(), out);
    return text.size();
  };
  if (auto* source = dynamic_cast<const TSourceFloatNumber*>(&number))
    if (!source->Spelling().empty()) return put(source->Spelling());
  const auto& n = static_cast<const TJsonNumber&>(number);
  if (!n.IsFloat()) return put(n.PlainText());
  if (room >= kFloatTextRoom) return FloatDisplayChars(n.AsFloat(), out);
  char text[kFloatTextRoom];
  return put(std::string_view(text, FloatDisplayChars(n.AsFloat(), text)));
}

std::u16string ValueSummaryText(const TJsonData* node) {
  switch (NodeKind(node)) {
    case nkNumber: return NumberDisplayText(*node);
    case nkString: return Utf8ToUtf16(static_cast<const TJsonString*>(node)->Value());
    case nkArray: return u"[Array]";
    case nkObject: return u"[Object]";
    case nkBoolean:
    case nkNull: return U16(node->JsonText());
    default: return {};
  }
}

std::u16string TypeName(const TJsonData* node) {
  switch (NodeKind(node)) {
    case nkNumber: return tr(i18n::kTypeNumber);
    case nkString: return tr(i18n::kTypeString);
    case nkBoolean: return tr(i18n::kTypeBoolean);
    case nkNull: return tr(i18n::kTypeNull);
    case nkArray: return tr(i18n::kTypeArray);
    case nkObject: return tr(i18n::kTypeObject);
    default: return {};
  }
}

}  // namespace corvane
