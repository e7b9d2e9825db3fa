// Unsaved copies. See uUnsavedCopy.h.
#include "uUnsavedCopy.h"

#include "uFiles.h"
#include "uUnicode.h"

namespace corvane {

namespace {

// Names tried in one folder before the next folder is.
constexpr int kNamesPerFolder = 100;

size_t NameStart(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? 0 : slash + 1;
}

std::u16string WriteInFolder(const std::u16string& folder, std::u16string_view fileName, const std::string& text) {
  for (int n = 1; n <= kNamesPerFolder; ++n) {
    const std::u16string path = folder + UnsavedCopyName(fileName, n);
    if (platform::CreateNewFileWithBytes(path, text)) return path;
    // A name that is free but cannot be created: the folder takes no file.
    if (!platform::FileExists(path)) return {};
  }
  return {};
}

}  // namespace

std::u16string UnsavedCopyName(std::u16string_view fileName, int n) {
  fileName.remove_prefix(NameStart(fileName));
  const size_t dot = fileName.find_last_of(u'.');
  const bool hasExtension = dot != std::u16string_view::npos && dot > 0;
  std::u16string name(fileName.substr(0, hasExtension ? dot : fileName.size()));
  name += u".corvane-unsaved";
  if (n > 1) {
    name += u'-';
    name += U16(std::to_string(n));
  }
  if (hasExtension) name += fileName.substr(dot);
  return name;
}

std::u16string KeepUnsavedCopy(const std::u16string& sourcePath, const std::string& text) {
  const std::u16string_view fileName = std::u16string_view(sourcePath).substr(NameStart(sourcePath));
  const std::u16string beside = sourcePath.substr(0, NameStart(sourcePath));
  std::u16string kept = WriteInFolder(beside, fileName, text);
  if (kept.empty()) {
    const std::u16string temporary = platform::TemporaryFolder();
    if (!temporary.empty()) kept = WriteInFolder(temporary, fileName, text);
  }
  return kept;
}

}  // namespace corvane
