#include "editing_support.h"

#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "uEditLocate.h"
#include "uSourcePatch.h"
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

TEditResult EditValueAs(const TParsed& parsed, const std::string& path, const std::u16string& text,
                        const TJsonData& newValue) {
  return Finish(parsed, LocateValueEdit(parsed.Doc, ValueAt(parsed, path), text, newValue));
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

std::vector<TItem> Enumerate(const TJsonData* root) {
  std::vector<TItem> items, pending{{{}, root, "", false}};
  while (!pending.empty()) {
    TItem item = pending.back();
    pending.pop_back();
    if (item.Node != root) items.push_back(item);
    if (item.Node->Kind() != nkArray && item.Node->Kind() != nkObject) continue;
    auto* container = static_cast<const TJsonContainer*>(item.Node);
    for (size_t i = container->Count(); i-- > 0;) {
      TItem child{item.Path, container->Child(i), "", item.Node->Kind() == nkObject};
      child.Path.push_back(i);
      if (child.IsMember) child.Name = static_cast<const TJsonObject*>(item.Node)->Name(i);
      pending.push_back(child);
    }
  }
  return items;
}

TJsonData* NodeAt(TJsonData* root, const TPath& path) {
  for (size_t index : path) root = static_cast<TJsonContainer*>(root)->Child(index);
  return root;
}

std::string PathText(const TPath& path) {
  std::string text;
  for (size_t index : path) text += "/" + std::to_string(index);
  return text;
}

void ExpectOnlyTheEdit(const TParsed& parsed, const TEditResult& edit,
                       const std::function<void(TJsonData* root)>& apply, const std::string& where) {
  const std::string& original = parsed.Doc.Bytes;
  TSourcePatchDocument doc;
  doc.LoadFromBytes(u"corpus", original);
  ASSERT_TRUE(doc.AddPatch(edit.Start, edit.Length, edit.Replacement)) << where;
  const std::string text = doc.BuildText();
  const size_t start = size_t(edit.Start);
  const size_t tail = original.size() - start - size_t(edit.Length);
  EXPECT_EQ(text.compare(0, start, original, 0, start), 0) << where;
  EXPECT_EQ(text.compare(text.size() - tail, tail, original, original.size() - tail, tail), 0) << where;
  const TParsed again = Parse(text, parsed.Doc.Language);
  ASSERT_TRUE(again.Ok) << where << ": " << Utf16ToUtf8(again.Error);
  TJsonDataPtr expected = parsed.Doc.Value->Clone();
  apply(expected.get());
  EXPECT_EQ(JsonOf(again.Doc.Value.get()), JsonOf(expected.get())) << where;
}

}  // namespace corvane::test
