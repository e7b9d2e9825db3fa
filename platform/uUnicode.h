// UTF-8 <-> UTF-16 conversion used across the core.
//
// The core keeps parser data and value-tree strings as UTF-8 byte strings
// (std::string) and everything shown to the user as UTF-16 (std::u16string),
// so behaviour is identical natively and on Windows, where wchar_t is 16-bit.
// Malformed input never throws: an invalid UTF-8 sequence becomes U+FFFD, and a
// lone surrogate is encoded as U+FFFD on the way back to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

std::u16string Utf8ToUtf16(std::string_view text);
// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values above U+10FFFF) without a NUL: text, not UTF-16 or a binary file.
bool IsUtf8Text(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// ASCII-only helpers; the core folds case for ASCII letters only.
inline char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }
std::u16string AsciiLowerText(std::u16string_view text);

// A UTF-16 literal from plain ASCII text, e.g. U16("null").
std::u16string U16(std::string_view ascii);

}  // namespace corvane
