// The user's interface language, as a Windows primary language number (the
// low 10 bits of a LANGID: 7 German, 9 English, 25 Russian, 34 Ukrainian).
// Windows asks GetUserDefaultUILanguage; POSIX maps the language part of
// LC_ALL / LC_MESSAGES / LANG onto the same numbers (English when unknown).
#pragma once

namespace corvane::platform {

int UserUiPrimaryLanguage();

}  // namespace corvane::platform
