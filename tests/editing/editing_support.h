// Helpers for the editing tests: a parsed document, value lookup by path, and
// applying one located edit to check what the file would then hold.
#pragma once

#include <string>
#include <vector>

#include "uFileLoading.h"
#include "uJsonModel.h"

namespace corvane::test {

// A document parsed from bytes; Ok is false (with Error) when it did not load.
struct TParsed {
  TLoadedDocument Doc;
  bool Ok = false;
  std::u16string Error;
};
TParsed Parse(const std::string& bytes, TDocumentLanguage language);

// The value under a path of member names and array indexes ("servers/0/port").
TJsonData* ValueAt(const TParsed& parsed, const std::string& path);

// The outcome of one located edit.
struct TEditResult {
  bool Accepted = false;
  int64_t Start = -1;
  int64_t Length = 0;
  std::string Replacement;
  std::string Error;   // UTF-8
  std::string Patched; // loaded bytes with the one replacement, when accepted
};
TEditResult EditValue(const TParsed& parsed, const std::string& path, const std::u16string& text);
TEditResult RenameKey(const TParsed& parsed, const std::string& path, const std::u16string& key);

// Compact JSON of a value tree (member order kept) for whole-tree comparisons.
std::string JsonOf(const TJsonData* node);

}  // namespace corvane::test
