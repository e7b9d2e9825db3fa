// Test seams: the few places where a test stands in for the operating system
// or for the plug-in's own location. Product code asks the functions below.
// The plug-in links uNoTestSeams.cpp, whose every answer is "nothing switched
// on"; test programs link tests/common/test_seams.cpp instead, which holds the
// switches (tests/common/test_seams.h). So the switches exist only in test
// programs, and tools/check-binaries.sh checks that the plug-in has none.
#pragma once

#include <string>

#include "uFiles.h"

namespace corvane::seams {

// The file operation to fail as if the operating system refused it.
platform::TFileFault InjectedFileFault();
// Stands for the plug-in's module file name (settings file and language
// files beside it) when not empty.
std::u16string ModuleFileNameOverride();
// Stands for the user's interface language (a primary language number) when
// 0 or more.
int UserLanguageOverride();
// Folder (ending with a separator) to load the parser library from instead of
// the module's own folder, when not empty.
std::u16string ParserFolderOverride();

}  // namespace corvane::seams
