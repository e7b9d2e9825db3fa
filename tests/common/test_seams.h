// The switches of the test seams (platform/uTestSeams.h). They exist only in
// test programs: each links test_seams.cpp, while the plug-in links the
// answers that never switch anything on.
#pragma once

#include <string>

#include "uFiles.h"

namespace corvane {

namespace platform {
// Makes one kind of file operation fail as if the operating system refused
// it; TFileFault::None ends that.
void SetFileFaultForTesting(TFileFault fault);
// A value >= 0 replaces the system's interface language; -1 restores it.
void OverrideUserUiPrimaryLanguage(int primaryLanguage);
}  // namespace platform

// Points the plug-in's module name (and so its settings and language files)
// elsewhere; an empty name restores the real one.
void OverridePluginModuleFileName(const std::u16string& fileName);
// Loads the parser library from folder (ending with a separator) instead of
// the module's folder; an empty folder restores the module-folder rule.
void SetParserLibraryFolderForTesting(const std::u16string& folder);

}  // namespace corvane
