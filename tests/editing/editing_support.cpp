#include "editing_support.h"

#include <cstdlib>
#include <sstream>

#include "uEditLocate.h"
#include "uUnicode.h"

namespace corvane::test {

TParsed Parse(const std::string& bytes, TDocumentLanguage language) {
  TParsed parsed;
  TLoadError error;
  parsed.Ok = LoadDocumentFromBytes(bytes, language, parsed.Doc, error);
  parsed.Error = error.Text;
  return parsed;
}

TJsonData* ValueAt(const TParsed& parsed, const std::string& path) {
  TJsonData* node = parsed.Doc.Value.get();
  std::stringstream parts(path);
  std::string part;
  while (node && std::getline(parts, part, '/')) {
    if (node->Kind() == nkObject) {
      node = static_cast<TJsonObject*>(node)->Find(part);
    } else if (node->Kind() == nkArray) {
      size_t index = size_t(std::strtoul(part.c_str(), nullptr, 10));
      auto* array = static_cast<TJsonArray*>(node);
      node = index < array->Count() ? array->Child(index) : nullptr;
    } else {
      node = nullptr;
    }
  }
  return node;
}

namespace {

TEditResult Finish(const TParsed& parsed, const TLocatedEdit& located) {
  TEditResult result;
  result.Accepted = located.Accepted();
  result.Start = located.Start;
  result.Length = located.Length;
  result.Replacement = located.Replacement;
  result.Error = Utf16ToUtf8(located.Refusal);
  if (result.Accepted) {
    const std::string& bytes = parsed.Doc.Bytes;
    result.Patched = bytes.substr(0, size_t(located.Start)) + result.Replacement +
                     bytes.substr(size_t(located.Start + located.Length));
  }
  return result;
}

}  // namespace

TEditResult EditValue(const TParsed& parsed, const std::string& path, const std::u16string& text) {
  return Finish(parsed, LocateValueEdit(parsed.Doc, ValueAt(parsed, path), text));
}

TEditResult RenameKey(const TParsed& parsed, const std::string& path, const std::u16string& key) {
  return Finish(parsed, LocateKeyRename(parsed.Doc, ValueAt(parsed, path), key));
}

std::string JsonOf(const TJsonData* node) {
  if (!node) return "<none>";
  if (node->Kind() == nkArray || node->Kind() == nkObject) {
    auto* container = static_cast<const TJsonContainer*>(node);
    std::string out = node->Kind() == nkArray ? "[" : "{";
    for (size_t i = 0; i < container->Count(); ++i) {
      if (i) out += ",";
      if (node->Kind() == nkObject)
        out += TJsonString(static_cast<const TJsonObject*>(node)->Name(i)).JsonText() + ":";
      out += JsonOf(container->Child(i));
    }
    return out + (node->Kind() == nkArray ? "]" : "}");
  }
  return node->JsonText();
}

}  // namespace corvane::test
