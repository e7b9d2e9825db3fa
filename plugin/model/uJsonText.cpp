// Texts of value-tree nodes: number display texts, the JSON float form,
// summaries, type names and JSON string quoting.
//
// Contract:
//  - Every conversion between doubles and text goes through std::to_chars /
//    std::from_chars, so the host's C locale (a "," decimal separator, say)
//    never changes a result.
//  - NumberDisplayText picks the shortest general form (1 to 15 significant
//    digits) that reads back exactly, then the "0.###############" form, else
//    keeps the 15-digit form; a text without "." or "E" gets ".0".
//  - Non-finite floats: displayed as "inf", "-inf", "nan"; their JSON float
//    text is "Infinity", "-Infinity", "NaN" (the common JSON extension), since
//    the scientific form cannot express them.
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

// The "0.###############" pattern: fixed, at most 15 decimals, no trailing zeros.
std::string PatternText(double v) {
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::fixed, 15);
  if (result.ec != std::errc()) return {};
  std::string out(buf, result.ptr);
  while (!out.empty() && out.back() == '0') out.pop_back();
  if (!out.empty() && out.back() == '.') out.pop_back();
  if (out == "-0") out = "0";
  return out;
}

bool ReadsBack(const std::string& text, double v) {
  double parsed = 0.0;
  return ParseDecimalFloat(text, &parsed) && parsed == v;
}

std::string FloatDisplayText(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  std::string t;
  bool exact = false;
  for (int p = 1; p <= 15 && !exact; ++p) {
    t = GeneralText(v, p);
    exact = ReadsBack(t, v);
  }
  if (!exact) {
    std::string u = PatternText(v);
    if (ReadsBack(u, v)) t = u;
  }
  if (t.find_first_of(".eE") == std::string::npos) t += ".0";
  return t;
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

std::u16string NumberDisplayText(const TJsonData& number) {
  if (number.Kind() != nkNumber) return Utf8ToUtf16(number.JsonText());
  if (auto* source = dynamic_cast<const TSourceFloatNumber*>(&number))
    if (!source->Spelling().empty()) return Utf8ToUtf16(source->Spelling());
  const auto& n = static_cast<const TJsonNumber&>(number);
  if (n.IsFloat()) return U16(FloatDisplayText(n.AsFloat()));
  return U16(n.PlainText());  // a source-preserving integer's spelling
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
