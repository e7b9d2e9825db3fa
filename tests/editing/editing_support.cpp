#include "editing_support.h"

#include <cstdlib>
#include <sstream>

#include "uEditLocate.h"
#include "uUnicode.h"

namespace corvane::test {

TParsed Parse(const std::string& bytes, bool isToml) {
  TParsed parsed;
  parsed.Ok = LoadDocumentFromBytes(bytes, isToml, parsed.Doc, parsed.Error);
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

TEditResult Finish(const TParsed& parsed, bool accepted, int64_t start, int64_t length,
                   std::string replacement, const std::u16string& error) {
  TEditResult result;
  result.Accepted = accepted;
  result.Start = start;
  result.Length = length;
  result.Replacement = std::move(replacement);
  result.Error = Utf16ToUtf8(error);
  if (accepted) {
    const std::string& bytes = parsed.Doc.Bytes;
    result.Patched = bytes.substr(0, size_t(start)) + result.Replacement +
                     bytes.substr(size_t(start + length));
  }
  return result;
}

}  // namespace

TEditResult EditValue(const TParsed& parsed, const std::string& path, const std::u16string& text) {
  int64_t start = 0, length = 0;
  std::string replacement;
  std::u16string error;
  bool ok = LocateValueEdit(parsed.Doc.Bytes, parsed.Doc.Index, parsed.Doc.Value.get(),
                            ValueAt(parsed, path), parsed.Doc.IsToml, text, start, length,
                            replacement, error);
  return Finish(parsed, ok, start, length, std::move(replacement), error);
}

TEditResult RenameKey(const TParsed& parsed, const std::string& path, const std::u16string& key) {
  int64_t start = 0, length = 0;
  std::string replacement;
  std::u16string error;
  bool ok = LocateKeyRename(parsed.Doc.Bytes, parsed.Doc.Index, parsed.Doc.Value.get(),
                            ValueAt(parsed, path), parsed.Doc.IsToml, key, start, length,
                            replacement, error);
  return Finish(parsed, ok, start, length, std::move(replacement), error);
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
