// Win32: the primary language of the user's default UI language.
#include <windows.h>

#include "uTestSeams.h"
#include "uUserLanguage.h"

namespace corvane::platform {

int UserUiPrimaryLanguage() {
  const int forced = seams::UserLanguageOverride();
  if (forced >= 0) return forced;
  return GetUserDefaultUILanguage() & 0x3FF;
}

}  // namespace corvane::platform
