// Locale-aware comparison through CompareStringEx, sort keys through
// LCMapStringEx with the same locale and flags.
#include "uCompare.h"

#include <windows.h>

#include <climits>

namespace corvane::platform {

namespace {

constexpr DWORD kCompareFlags = NORM_IGNORECASE | SORT_DIGITSASNUMBERS | NORM_IGNOREWIDTH;

// Sort keys of cell texts are seldom longer than this; longer ones are
// measured first.
constexpr int kKeyRoom = 512;

// Characters whose weights expand into several (Tibetan vowel signs, Arabic
// presentation forms with vowel marks): some implementations weigh them
// differently in keys and in comparisons, so texts holding any of them get
// no key and are compared directly.
bool KeyMayDisagree(std::u16string_view text) {
  for (const char16_t c : text)
    if ((c >= 0x0F00 && c <= 0x0FFF) || (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF))
      return true;
  return false;
}

}  // namespace

bool LocaleCompare(std::u16string_view a, std::u16string_view b, int* result) {
  // CompareStringEx takes int lengths; longer texts are beyond any cell.
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  // An empty view may carry no pointer, which CompareStringEx refuses.
  const auto text = [](std::u16string_view s) { return s.data() ? reinterpret_cast<LPCWSTR>(s.data()) : L""; };
  const int r = CompareStringEx(LOCALE_NAME_USER_DEFAULT, kCompareFlags, text(a), static_cast<int>(a.size()),
                                text(b), static_cast<int>(b.size()), nullptr, nullptr, 0);
  if (r == 0) return false;  // failure (bad flags, invalid input)
  *result = r - 2;           // CSTR_LESS_THAN 1, CSTR_EQUAL 2, CSTR_GREATER_THAN 3
  return true;
}

bool LocaleSortKey(std::u16string_view text, std::string* key) {
  if (text.size() > INT_MAX / 8 || KeyMayDisagree(text)) return false;
  // A zero length is refused by LCMapStringEx; the empty text is passed as
  // an empty zero-terminated string instead.
  const wchar_t* source = text.empty() ? L"" : reinterpret_cast<const wchar_t*>(text.data());
  const int length = text.empty() ? -1 : static_cast<int>(text.size());
  const DWORD flags = LCMAP_SORTKEY | kCompareFlags;
  // With LCMAP_SORTKEY the destination is a byte buffer and its size is
  // counted in bytes.
  BYTE room[kKeyRoom];
  int bytes = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, source, length,
                            reinterpret_cast<LPWSTR>(room), kKeyRoom, nullptr, nullptr, 0);
  if (bytes > 0) {
    key->append(reinterpret_cast<const char*>(room), size_t(bytes));
    return true;
  }
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  bytes = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, source, length, nullptr, 0, nullptr, nullptr, 0);
  if (bytes <= 0) return false;
  const size_t start = key->size();
  key->resize(start + size_t(bytes));
  const int written = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, source, length,
                                    reinterpret_cast<LPWSTR>(&(*key)[start]), bytes, nullptr, nullptr, 0);
  if (written <= 0) {
    key->resize(start);
    return false;
  }
  key->resize(start + size_t(written));
  return true;
}

}  // namespace corvane::platform
