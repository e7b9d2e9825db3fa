// Test programs' side of the test seams: switches a test sets, and the
// answers product code gets from them.
#include "test_seams.h"

#include <atomic>
#include <mutex>

#include "uTestSeams.h"

namespace corvane {

namespace {

std::atomic<platform::TFileFault> gFileFault{platform::TFileFault::None};
std::atomic<int> gUserLanguage{-1};
std::mutex gLock;  // guards the two names below
std::u16string gModuleFileName;
std::u16string gParserFolder;

}  // namespace

void platform::SetFileFaultForTesting(TFileFault fault) { gFileFault = fault; }
void platform::OverrideUserUiPrimaryLanguage(int primaryLanguage) { gUserLanguage = primaryLanguage; }

void OverridePluginModuleFileName(const std::u16string& fileName) {
  std::lock_guard<std::mutex> lock(gLock);
  gModuleFileName = fileName;
}

void SetParserLibraryFolderForTesting(const std::u16string& folder) {
  std::lock_guard<std::mutex> lock(gLock);
  gParserFolder = folder;
}

namespace seams {

platform::TFileFault InjectedFileFault() { return gFileFault; }
int UserLanguageOverride() { return gUserLanguage; }

std::u16string ModuleFileNameOverride() {
  std::lock_guard<std::mutex> lock(gLock);
  return gModuleFileName;
}

std::u16string ParserFolderOverride() {
  std::lock_guard<std::mutex> lock(gLock);
  return gParserFolder;
}

}  // namespace seams

}  // namespace corvane
