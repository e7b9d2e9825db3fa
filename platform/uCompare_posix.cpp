// Natural comparison standing in for the Windows locale comparison: case and
// width folded for the common alphabets, digit runs compared by value.
#include "uCompare.h"

namespace corvane::platform {

namespace {

char16_t FoldWidth(char16_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) return char16_t(c - 0xFF01 + 0x21);  // full-width ASCII
  if (c == 0x3000) return u' ';                                         // ideographic space
  return c;
}

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);     // Latin-1
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return char16_t(c + 32);  // Greek
  if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return char16_t(c + 80);                // Cyrillic Ѐ..Џ
  return c;
}

char16_t Fold(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
  return FoldCase(FoldWidth(c));
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Compares the digit runs starting at *i in a and *j in b by value and
// advances both indexes past them.
int CompareDigitRuns(std::u16string_view a, size_t* i, std::u16string_view b, size_t* j) {
  auto skipZeros = [](std::u16string_view s, size_t* k) {
    while (*k < s.size() && Fold(s[*k]) == u'0') ++*k;
  };
  auto runEnd = [](std::u16string_view s, size_t k) {
    while (k < s.size() && IsDigit(Fold(s[k]))) ++k;
    return k;
  };
  skipZeros(a, i);
  skipZeros(b, j);
  const size_t ea = runEnd(a, *i), eb = runEnd(b, *j);
  int result = 0;
  if (ea - *i != eb - *j) {
    result = (ea - *i) < (eb - *j) ? -1 : 1;
  } else {
    for (size_t k = 0; k < ea - *i && result == 0; ++k) {
      const char16_t da = Fold(a[*i + k]), db = Fold(b[*j + k]);
      if (da != db) result = da < db ? -1 : 1;
    }
  }
  *i = ea;
  *j = eb;
  return result;
}

}  // namespace

bool LocaleCompare(std::u16string_view a, std::u16string_view b, int* result) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char16_t ca = Fold(a[i]), cb = Fold(b[j]);
    if (IsDigit(ca) && IsDigit(cb)) {
      const int r = CompareDigitRuns(a, &i, b, &j);
      if (r != 0) { *result = r; return true; }
      continue;
    }
    if (ca != cb) { *result = ca < cb ? -1 : 1; return true; }
    ++i;
    ++j;
  }
  const bool aLeft = i < a.size(), bLeft = j < b.size();
  *result = aLeft == bLeft ? 0 : (aLeft ? 1 : -1);
  return true;
}

// The natural comparison above has no key form (a digit run meets a letter
// as its first digit, but another digit run by value); callers compare.
bool LocaleSortKey(std::u16string_view, std::string*) { return false; }

}  // namespace corvane::platform
