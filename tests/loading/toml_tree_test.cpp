// TOML structure records through the parser library: the shape, the key
// order of the library, raw leaf texts and their typing, failures.
#include <gtest/gtest.h>

#include <string>

#include "record_support.h"
#include "uFileLoading.h"
#include "uJsonModel.h"
#include "uTomlTree.h"
#include "uUnicode.h"

namespace corvane {
namespace {

using test::TRecordNode;

TJsonDataPtr Load(const std::string& text, TLoadError* error = nullptr) {
  TLoadedDocument doc;
  TLoadError message;
  const bool ok = LoadDocumentFromBytes(text, TDocumentLanguage::Toml, doc, message);
  if (error) *error = message;
  return ok ? std::move(doc.Value) : nullptr;
}

std::string Names(const TJsonData& value) {
  const auto& object = static_cast<const TJsonObject&>(value);
  std::string names;
  for (size_t i = 0; i < object.Count(); ++i) names.append(i ? "," : "").append(object.Name(i));
  return names;
}

// The slice of text a span covers, or "-" for none.
std::string Slice(const std::string& text, int32_t start, int32_t end) {
  return start < 0 ? "-" : text.substr(size_t(start), size_t(end - start));
}

TEST(toml_tree, has_the_stream_document_table_shape_with_value_and_key_spans) {
  const std::string text = "\xEF\xBB\xBF" "a = 1\r\ne.f = 0x1F\n[t]\nb = [1, {\"c d\" = 'x'}]\n";
  TStructureIndex index;
  TLoadError error;
  ASSERT_TRUE(ParseTomlIndex(text, index, error)) << Utf16ToUtf8(error.Text);
  const TRecordNode root(index, text, 0);
  ASSERT_EQ(root->Kind, skStream);
  ASSERT_EQ(root.ChildCount(), 1u);
  const TRecordNode doc = root.ChildAt(0);
  ASSERT_EQ(doc->Kind, skDocument);
  const TRecordNode table = doc.ChildAt(0);
  EXPECT_EQ(table->Kind, skMapping);
  EXPECT_EQ(table->StartOffset, -1);
  const TRecordNode a = table.ChildAt(0);
  EXPECT_EQ(a->Key, "a");
  EXPECT_EQ(a->Value, "1");
  EXPECT_EQ(a->StartOffset, 7);  // after the byte-order mark
  EXPECT_EQ(Slice(text, a->KeyStart, a->KeyEnd), "a");
  const TRecordNode t = table.ChildAt(2);
  EXPECT_EQ(Slice(text, t->KeyStart, t->KeyEnd), "t");  // the header's segment
  EXPECT_EQ(t->StartOffset, -1);
  const TRecordNode b = t.ChildAt(0);
  EXPECT_EQ(b->Kind, skSequence);
  EXPECT_EQ(Slice(text, b.ChildAt(0)->StartOffset, b.ChildAt(0)->EndOffset), "1");
  const TRecordNode c = b.ChildAt(1).ChildAt(0);
  EXPECT_EQ(b.ChildAt(1)->Kind, skMapping);
  EXPECT_EQ(c->Value, "'x'");
  EXPECT_EQ(c->Key, "c d");
  EXPECT_EQ(Slice(text, c->StartOffset, c->EndOffset), "'x'");
  EXPECT_EQ(Slice(text, c->KeyStart, c->KeyEnd), "\"c d\"");
  const TRecordNode e = table.ChildAt(1);
  const TRecordNode f = e.ChildAt(0);
  EXPECT_EQ(Slice(text, e->KeyStart, e->KeyEnd), "e");  // dotted segments
  EXPECT_EQ(Slice(text, f->KeyStart, f->KeyEnd), "f");
  EXPECT_EQ(Slice(text, f->StartOffset, f->EndOffset), "0x1F");
}

TEST(toml_tree, orders_members_leaves_then_arrays_then_tables) {
  TJsonDataPtr value = Load("ports = [80, 443]\nowner = { name = 1 }\ntitle = 2\n");
  ASSERT_TRUE(value);
  EXPECT_EQ(Names(*value), "title,ports,owner");
  TJsonDataPtr items = Load("[[items]]\nx = 1\n[[items]]\nx = 2\n");
  ASSERT_TRUE(items);
  const TJsonData* list = static_cast<const TJsonObject&>(*items).Find("items");
  ASSERT_EQ(NodeKind(list), nkArray);
  EXPECT_EQ(static_cast<const TJsonArray*>(list)->Count(), 2u);
  TJsonDataPtr dotted = Load("a.b = 1\n");
  ASSERT_TRUE(dotted);
  const TJsonData* a = static_cast<const TJsonObject&>(*dotted).Find("a");
  ASSERT_EQ(NodeKind(a), nkObject);
  EXPECT_EQ(Names(*a), "b");
}

TEST(toml_tree, loads_an_empty_text_as_an_empty_object) {
  TJsonDataPtr value = Load("");
  ASSERT_TRUE(value);
  ASSERT_EQ(value->Kind(), nkObject);
  EXPECT_EQ(static_cast<const TJsonObject&>(*value).Count(), 0u);
}

// The line a TOML error names is kept as a number too (the library names no
// column).
TEST(toml_tree, reports_failures_with_their_line) {
  TLoadError error;
  std::string text;
  for (int i = 1; i < 12; ++i) text += "k" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  text += "bad = = 1\n";
  EXPECT_FALSE(Load(text, &error));
  EXPECT_EQ(error.Text.rfind(u"line 12: ", 0), 0u) << Utf16ToUtf8(error.Text);
  EXPECT_EQ(error.Region.Line, 12);
  EXPECT_EQ(error.Region.Column, 0);
  EXPECT_EQ(error.Region.Offset, 81);  // the start of line 12
  EXPECT_FALSE(Load(std::string("a = 1\0", 6), &error));
  EXPECT_EQ(error.Text, u"Invalid NUL byte in TOML source");
  EXPECT_EQ(error.Region.Line, 0);
  std::u16string message;
  EXPECT_FALSE(ValidateToml("a = 1\na = 2\n", message));
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(ValidateToml("a = 1\n", message));
}

TEST(toml_tree, survives_arrays_nested_a_hundred_thousand_levels) {
  for (const std::string& text : {"a = " + std::string(100000, '[') + std::string(100000, ']'),
                                   "a = " + std::string(100000, '['), "a = [" + std::string(1000, '[') + "1" +
                                   std::string(1000, ']') + "]"}) {
    TLoadError error;
    TJsonDataPtr value = Load(text, &error);
    EXPECT_TRUE(value || !error.Text.empty());
  }
}

}  // namespace
}  // namespace corvane
