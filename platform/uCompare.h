// String comparison for sorting grid cells.
//
// LocaleCompare orders texts the way the user expects from a file manager:
// letter case and character width are ignored and runs of digits compare as
// numbers ("file2" before "file10"). On Windows this is the system's
// CompareStringEx for the user's default locale; natively an equivalent
// natural comparison. Callers fall back to OrdinalCompare when it fails.
#pragma once

#include <string>
#include <string_view>

namespace corvane::platform {

// Ordinal comparison of UTF-16 code units: decided at the first differing
// unit; when one text is a prefix of the other the shorter sorts first.
// Returns -1, 0 or 1.
inline int OrdinalCompare(std::u16string_view a, std::u16string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Locale-aware comparison (ignore case, digits as numbers, ignore width).
// Stores -1, 0 or 1 in *result and returns true, or returns false when the
// platform could not compare the texts.
bool LocaleCompare(std::u16string_view a, std::u16string_view b, int* result);

// The sort key of a text for LocaleCompare: two keys compared bytewise
// (unsigned bytes; a key that is a prefix of another first) order as
// LocaleCompare orders their texts. Appends the key to *key and returns
// true, or returns false (leaving *key as it was) when the platform gives no
// key for the text; such texts are compared with LocaleCompare.
bool LocaleSortKey(std::u16string_view text, std::string* key);

}  // namespace corvane::platform
