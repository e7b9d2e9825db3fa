// Structure tree nodes, their conversion into the value tree, the scalar
// typing rules, and the reference position-to-offset scan.
//
// Contract:
//  - Freeing and converting walk the tree with explicit stacks: the depth of
//    a document never reaches the thread's stack.
//  - Scalar typing (YAML plain scalars and every TOML leaf): null words (YAML
//    only), true/false in any ASCII case, 64-bit integer texts with the "$",
//    "0x", "x", "&" and "%" prefixes, decimal floats that contain a "."; every
//    other text is a string. YAML quoted and block scalars are always strings;
//    TOML leaves lose one pair of matching outer quotes and nothing else.
//  - A mapping with a repeated key raises EJsonError from the value tree.
#include "uStructuredNode.h"

#include "uValueBuilding.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace corvane {

TStructuredNode::~TStructuredNode() {
  if (Children.empty()) return;
  // Detach the whole subtree into a flat list so no destructor below this one
  // ever has children left to free.
  std::vector<TStructuredNodePtr> pending = std::move(Children);
  Children.clear();
  while (!pending.empty()) {
    TStructuredNodePtr node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->Children) pending.push_back(std::move(child));
    node->Children.clear();
  }
}

TStructuredNode* TStructuredNode::AddChild(std::unique_ptr<TStructuredNode> child) {
  Children.push_back(std::move(child));
  return Children.back().get();
}

// ---- scalar typing ----------------------------------------------------------

namespace {

bool EqualsAsciiNoCase(std::string_view s, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != word[i]) return false;
  }
  return i == s.size();
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Base and first digit position of the number part starting at i.
int IntegerBase(std::string_view s, size_t& i) {
  if (i < s.size() && s[i] == '$') return ++i, 16;
  if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) return ++i, 16;
  if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) return i += 2, 16;
  if (i < s.size() && s[i] == '&') return ++i, 8;
  if (i < s.size() && s[i] == '%') return ++i, 2;
  return 10;
}

// Digits from i to the end in base; false on any other byte, no digits, or
// overflow of the 64-bit pattern.
bool AccumulateDigits(std::string_view s, size_t i, int base, uint64_t& out) {
  if (i >= s.size()) return false;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    const int d = DigitValue(s[i]);
    if (d >= base) return false;
    if (v > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  out = v;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Decimal power of the first non-zero mantissa digit of a checked float text
// (mantissa from b to the exponent), plus the exponent: above 0 means a text
// that overflowed, otherwise it underflowed.
long long DecimalMagnitude(std::string_view s, size_t b, size_t e) {
  long long power = 0;
  bool seenDot = false, seenNonZero = false;
  long long intDigits = 0, leadingFractionZeros = 0;
  size_t i = b;
  for (; i < e && s[i] != 'e' && s[i] != 'E'; ++i) {
    if (s[i] == '.') { seenDot = true; continue; }
    if (s[i] < '0' || s[i] > '9') continue;
    if (!seenDot && (seenNonZero || s[i] != '0')) ++intDigits;
    if (s[i] != '0') seenNonZero = true;
    if (seenDot && !seenNonZero) ++leadingFractionZeros;
  }
  power = intDigits > 0 ? intDigits - 1 : -(leadingFractionZeros + 1);
  long long exponent = 0;
  if (i < e) {
    ++i;
    bool negative = false;
    if (i < e && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    for (; i < e && exponent < 1000000000LL; ++i) exponent = exponent * 10 + (s[i] - '0');
    if (negative) exponent = -exponent;
  }
  return power + exponent;
}

// A complete decimal float: optional sign, digits with at most one ".",
// optional exponent; blanks around it are ignored. A value too large for a
// double is not accepted (the text stays a string); one too small becomes 0.
bool ParseFloatText(std::string_view s, double* value) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  size_t i = b;
  if (i < e && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  bool dot = false;
  for (; i < e; ++i) {
    if (s[i] >= '0' && s[i] <= '9') ++digits;
    else if (s[i] == '.' && !dot) dot = true;
    else break;
  }
  if (digits == 0) return false;
  if (i < e && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < e && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t expStart = i;
    while (i < e && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == expStart) return false;
  }
  if (i != e) return false;
  // from_chars takes no "+" and is locale-independent.
  const size_t first = s[b] == '+' ? b + 1 : b;
  double v = 0;
  auto r = std::from_chars(s.data() + first, s.data() + e, v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    if (DecimalMagnitude(s, first, e) > 0) return false;
    v = s[first] == '-' ? -0.0 : 0.0;
  } else if (r.ec != std::errc() || r.ptr != s.data() + e || !std::isfinite(v)) {
    return false;
  }
  *value = v;
  return true;
}

bool HasDigit(std::string_view s) {
  for (char c : s)
    if (c >= '0' && c <= '9') return true;
  return false;
}

bool ParseIntegerText(std::string_view s, int64_t* value) {
  if (s.size() >= 256) return false;
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const int base = IntegerBase(s, i);
  uint64_t pattern = 0;
  if (!AccumulateDigits(s, i, base, pattern)) return false;
  if (base == 10) {
    // Decimal texts must fit the signed range.
    const uint64_t limit = negative ? (uint64_t{1} << 63) : static_cast<uint64_t>(INT64_MAX);
    if (pattern > limit) return false;
  }
  const uint64_t v = negative ? uint64_t{0} - pattern : pattern;
  *value = static_cast<int64_t>(v);
  return true;
}

}  // namespace

bool ParseScalarInteger(std::string_view text, int64_t* value) { return ParseIntegerText(text, value); }

TJsonDataPtr ScalarToValue(std::string_view text, int style, bool isToml) {
  std::string_view s = text;
  if (isToml && s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) s = s.substr(1, s.size() - 2);
  if (!isToml) {
    if (style != 1) return std::make_unique<TJsonString>(s);
    if (s.empty() || s == "~" || EqualsAsciiNoCase(s, "null")) return std::make_unique<TJsonNull>();
  }
  if (EqualsAsciiNoCase(s, "true")) return std::make_unique<TJsonBoolean>(true);
  if (EqualsAsciiNoCase(s, "false")) return std::make_unique<TJsonBoolean>(false);
  int64_t integer = 0;
  if (ParseIntegerText(s, &integer)) return std::make_unique<TJsonInteger>(integer);
  double number = 0;
  if (s.find('.') != std::string_view::npos && HasDigit(s) && ParseFloatText(s, &number))
    return std::make_unique<TJsonFloat>(number);
  return std::make_unique<TJsonString>(s);
}

// ---- conversion -------------------------------------------------------------

namespace {

// A node tree as a source for the shared conversion (uValueBuilding.h).
struct TTreeSource {
  using TNode = const TStructuredNode*;
  struct TCursor {
    const TStructuredNode* Node;
    size_t Next;
  };
  TNode None() const { return nullptr; }
  bool IsNone(TNode n) const { return n == nullptr; }
  int Kind(TNode n) const { return n->Kind; }
  int Style(TNode n) const { return n->Style; }
  std::string_view Value(TNode n) const { return n->Value; }
  std::string_view Key(TNode n) const { return n->Key; }
  TNode FirstChild(TNode n) const { return n->Children.empty() ? nullptr : n->ChildAt(0); }
  size_t ChildCount(TNode n) const { return n->ChildCount(); }
  TCursor Children(TNode n) const { return {n, 0}; }
  bool Done(const TCursor& c) const { return c.Next >= c.Node->ChildCount(); }
  TNode Take(TCursor& c) const { return c.Node->ChildAt(c.Next++); }
};

}  // namespace

TJsonDataPtr StructureToValue(const TStructuredNode& node, bool isToml) {
  return detail::BuildValue(TTreeSource{}, &node, isToml);
}

TJsonDataPtr StructureRootToValue(const TStructuredNode& root, bool isToml) {
  if (root.ChildCount() == 1) return StructureToValue(*root.ChildAt(0), isToml);
  return StructureToValue(root, isToml);
}

// ---- positions ----------------------------------------------------------------

std::ptrdiff_t LineColumnToOffset(const std::string& text, std::ptrdiff_t line, std::ptrdiff_t column) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text.size());
  std::ptrdiff_t l = 1, c = 1, i = 0;
  if (n >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
      static_cast<unsigned char>(text[2]) == 0xBF)
    i = 3;
  for (; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const bool continuation = (b & 0xC0) == 0x80;
    if (!continuation && l == line && c == column) return i;
    if (b == '\r') {
      ++l, c = 1;
      if (i + 1 < n && text[i + 1] == '\n') ++i;
    } else if (b == '\n') {
      ++l, c = 1;
    } else if (!continuation) {
      ++c;
    }
  }
  return (l == line && c == column) ? n : -1;
}

}  // namespace corvane
