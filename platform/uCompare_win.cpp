// Locale-aware comparison through CompareStringEx.
#include "uCompare.h"

#include <windows.h>

#include <climits>

namespace corvane::platform {

bool LocaleCompare(std::u16string_view a, std::u16string_view b, int* result) {
  // CompareStringEx takes int lengths; longer texts are beyond any cell.
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  const DWORD flags = NORM_IGNORECASE | SORT_DIGITSASNUMBERS | NORM_IGNOREWIDTH;
  const int r = CompareStringEx(LOCALE_NAME_USER_DEFAULT, flags,
                                reinterpret_cast<LPCWSTR>(a.data()), static_cast<int>(a.size()),
                                reinterpret_cast<LPCWSTR>(b.data()), static_cast<int>(b.size()),
                                nullptr, nullptr, 0);
  if (r == 0) return false;  // failure (bad flags, invalid input)
  *result = r - 2;           // CSTR_LESS_THAN 1, CSTR_EQUAL 2, CSTR_GREATER_THAN 3
  return true;
}

}  // namespace corvane::platform
