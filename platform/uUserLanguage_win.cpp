// Win32: the primary language of the user's default UI language.
#include <windows.h>

#include <atomic>

#include "uUserLanguage.h"

namespace corvane::platform {

namespace {
std::atomic<int> gOverride{-1};
}

int UserUiPrimaryLanguage() {
  const int forced = gOverride.load();
  if (forced >= 0) return forced;
  return GetUserDefaultUILanguage() & 0x3FF;
}

void OverrideUserUiPrimaryLanguage(int primaryLanguage) { gOverride.store(primaryLanguage); }

}  // namespace corvane::platform
