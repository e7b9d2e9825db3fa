// POSIX: the language part of the locale environment, mapped onto the
// Windows primary language numbers the caller compares against.
#include <cstdlib>
#include <string>

#include "uTestSeams.h"
#include "uUserLanguage.h"

namespace corvane::platform {

namespace {

// The first of LC_ALL, LC_MESSAGES, LANG that is set and not empty.
std::string LocaleName() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace

int UserUiPrimaryLanguage() {
  const int forced = seams::UserLanguageOverride();
  if (forced >= 0) return forced;
  const std::string locale = LocaleName();
  const std::string language = locale.substr(0, locale.find_first_of("_.@-"));
  if (language == "de") return 7;
  if (language == "ru") return 25;
  if (language == "uk") return 34;
  return 9;
}

}  // namespace corvane::platform
