// Private-profile (INI) files: read one value, write one value.
//
// On Windows these are GetPrivateProfileStringW / WritePrivateProfileStringW.
// The POSIX side gives the same observable behaviour, so the settings rules
// built on top are tested natively too:
//  - section and key names match without regard to ASCII letter case; the
//    first matching section and the first matching key win;
//  - a value is trimmed of blanks at both ends, then one pair of matching
//    surrounding quotes (" or ') is removed;
//  - a missing file, section or key gives the default, whose trailing blanks
//    are removed;
//  - at most kProfileBufferChars - 1 characters are returned;
//  - a write replaces the key's line, or adds the key at the end of its
//    section, or appends the section; every other byte of the file is kept.
#pragma once

#include <cstddef>
#include <string>

namespace corvane::platform {

// Read buffer size in characters, including the terminating NUL.
constexpr size_t kProfileBufferChars = 1024;

std::u16string ReadProfileString(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, const std::u16string& defaultValue);

// False when the value could not be stored.
bool WriteProfileString(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, const std::u16string& value);

}  // namespace corvane::platform
