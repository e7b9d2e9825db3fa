// The plug-in's side of the test seams (uTestSeams.h): nothing is switched on.
#include "uTestSeams.h"

namespace corvane::seams {

platform::TFileFault InjectedFileFault() { return platform::TFileFault::None; }
std::u16string ModuleFileNameOverride() { return {}; }
int UserLanguageOverride() { return -1; }
std::u16string ParserFolderOverride() { return {}; }

}  // namespace corvane::seams
