// Helpers for the editing tests: a parsed document, value lookup by path, and
// applying one located edit to check what the file would then hold.
#pragma once

#include <functional>
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
// A value edit that writes text as newValue's kind (a null filled in, a
// kind stated explicitly).
TEditResult EditValueAs(const TParsed& parsed, const std::string& path, const std::u16string& text,
                        const TJsonData& newValue);

// Compact JSON of a value tree (member order kept) for whole-tree comparisons.
std::string JsonOf(const TJsonData* node);

// A node of a value tree with its index path from the root.
using TPath = std::vector<size_t>;
struct TItem {
  TPath Path;
  const TJsonData* Node;
  std::string Name;  // member name when the parent is an object
  bool IsMember;
};
// Every node below the root with its index path, without recursion.
std::vector<TItem> Enumerate(const TJsonData* root);
TJsonData* NodeAt(TJsonData* root, const TPath& path);
std::string PathText(const TPath& path);  // "/0/3"

// Checks one accepted edit of the parsed document: the bytes outside its
// span are unchanged, the text parses, and its value tree is the original
// with exactly the change apply makes.
void ExpectOnlyTheEdit(const TParsed& parsed, const TEditResult& edit,
                       const std::function<void(TJsonData* root)>& apply, const std::string& where);

}  // namespace corvane::test
