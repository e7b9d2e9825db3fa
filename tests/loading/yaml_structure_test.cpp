// YAML structure trees built through the parser library: spans in bytes of
// the exact text, keys, styles, anchors, and the value tree they load as.
#include <gtest/gtest.h>

#include <string>

#include "uFileLoading.h"
#include "uJsonModel.h"
#include "uStructuredNode.h"
#include "uUnicode.h"

namespace corvane {
namespace {

TStructuredNodePtr Parse(const std::string& text) {
  TStructuredNodePtr root;
  std::u16string error;
  EXPECT_TRUE(ParseYamlStructure(text, root, error)) << Utf16ToUtf8(error);
  return root;
}

// The content node of the first document.
const TStructuredNode& Content(const TStructuredNodePtr& root) { return *root->ChildAt(0)->ChildAt(0); }

std::string Span(const std::string& text, const TStructuredNode& n) {
  return text.substr(n.StartOffset, n.EndOffset - n.StartOffset);
}

std::string KeySpan(const std::string& text, const TStructuredNode& n) {
  return text.substr(n.KeyStart, n.KeyEnd - n.KeyStart);
}

TJsonDataPtr Load(const std::string& text, std::u16string* error = nullptr) {
  TLoadedDocument doc;
  std::u16string message;
  const bool ok = LoadDocumentFromBytes(text, false, doc, message);
  if (error) *error = message;
  return ok ? std::move(doc.Value) : nullptr;
}

TEST(yaml_structure, spans_quoted_and_plain_scalars_and_their_keys) {
  const std::string text = "key: 'x'\nplain: some words  # note\n\"dq\": \"a\\tb\"\n";
  TStructuredNodePtr root = Parse(text);
  const TStructuredNode& map = Content(root);
  ASSERT_EQ(map.Kind, skMapping);
  ASSERT_EQ(map.ChildCount(), 3u);
  const TStructuredNode& quoted = *map.ChildAt(0);
  EXPECT_EQ(quoted.Style, 2);
  EXPECT_EQ(quoted.Value, "x");
  EXPECT_EQ(Span(text, quoted), "'x'");
  EXPECT_EQ(KeySpan(text, quoted), "key");
  EXPECT_EQ(quoted.KeyStyle, 1);
  EXPECT_FALSE(quoted.KeyNotScalar);
  EXPECT_EQ(Span(text, *map.ChildAt(1)), "some words");
  EXPECT_EQ(map.ChildAt(2)->Key, "dq");
  EXPECT_EQ(KeySpan(text, *map.ChildAt(2)), "\"dq\"");
  EXPECT_EQ(Span(text, *map.ChildAt(2)), "\"a\\tb\"");
  EXPECT_EQ(map.ChildAt(2)->Value, "a\tb");
  EXPECT_EQ(map.StartOffset, 0);
}

TEST(yaml_structure, spans_non_ascii_text_in_bytes) {
  const std::string text = "name: caf\xC3\xA9\n\xC3\xA9: 1\n";
  TStructuredNodePtr root = Parse(text);
  const TStructuredNode& map = Content(root);
  EXPECT_EQ(map.ChildAt(0)->EndOffset, 11);  // the line break after é
  EXPECT_EQ(KeySpan(text, *map.ChildAt(1)), "\xC3\xA9");
  EXPECT_EQ(Span(text, *map.ChildAt(1)), "1");
}

TEST(yaml_structure, counts_a_byte_order_mark_and_every_line_end_style) {
  TStructuredNodePtr bom = Parse("\xEF\xBB\xBF" "a: 1\n");
  EXPECT_EQ(Content(bom).StartOffset, 3);
  EXPECT_EQ(Content(bom).ChildAt(0)->KeyStart, 3);
  for (const std::string eol : {"\n", "\r\n", "\r"}) {
    const std::string text = "a: 1" + eol + "b: two" + eol + "c: [x, y]" + eol;
    TStructuredNodePtr root = Parse(text);
    const TStructuredNode& map = Content(root);
    ASSERT_EQ(map.ChildCount(), 3u);
    EXPECT_EQ(map.ChildAt(1)->Line, 2);
    EXPECT_EQ(Span(text, *map.ChildAt(1)), "two");
    EXPECT_EQ(Span(text, *map.ChildAt(2)), "[x, y]");
    EXPECT_EQ(Span(text, *map.ChildAt(2)->ChildAt(1)), "y");
  }
}

// The YAML parser also counts NEL, LS and PS as line breaks; spans after
// them must still point at the right bytes (lines alone would land on the
// wrong line of this file).
TEST(yaml_structure, spans_stay_exact_after_unicode_line_separators) {
  for (const std::string sep : {"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"}) {
    const std::string text = "a: \"x" + sep + "y\"\nb: 22\nc: caf\xC3\xA9\nd: 4444\ne: 5\n";
    TStructuredNodePtr root = Parse(text);
    ASSERT_TRUE(root);
    const TStructuredNode& map = Content(root);
    ASSERT_EQ(map.ChildCount(), 5u);
    EXPECT_EQ(Span(text, *map.ChildAt(0)), "\"x" + sep + "y\"");
    EXPECT_EQ(Span(text, *map.ChildAt(1)), "22");
    EXPECT_EQ(KeySpan(text, *map.ChildAt(2)), "c");
    EXPECT_EQ(Span(text, *map.ChildAt(2)), "caf\xC3\xA9");
    EXPECT_EQ(Span(text, *map.ChildAt(3)), "4444");
    EXPECT_EQ(Span(text, map), text.substr(0, text.size()));
  }
}

TEST(yaml_structure, keeps_anchors_tags_aliases_and_block_scalars) {
  const std::string text = "a: &n 1\nb: *n\nc: !!str 42\nd: |\n  line\ne: !t &m x\n";
  TStructuredNodePtr root = Parse(text);
  const TStructuredNode& map = Content(root);
  EXPECT_EQ(map.ChildAt(0)->Anchor, "n");
  EXPECT_EQ(Span(text, *map.ChildAt(0)), "&n 1");
  EXPECT_EQ(map.ChildAt(1)->Kind, skAlias);
  EXPECT_EQ(map.ChildAt(1)->Value, "n");
  EXPECT_EQ(map.ChildAt(2)->Tag, "tag:yaml.org,2002:str");
  EXPECT_EQ(text[map.ChildAt(2)->StartOffset], '!');
  EXPECT_EQ(map.ChildAt(3)->Style, 4);
  EXPECT_EQ(text[map.ChildAt(3)->StartOffset], '|');
  EXPECT_EQ(text[map.ChildAt(4)->StartOffset], '!');

  TJsonDataPtr value = Load(text);
  ASSERT_TRUE(value);
  const auto& object = static_cast<const TJsonObject&>(*value);
  EXPECT_EQ(object.Find("a")->PlainText(), "1");
  EXPECT_EQ(object.Find("b")->PlainText(), "*n");
  EXPECT_EQ(object.Find("c")->Kind(), nkNumber);  // tags do not change the typing
  EXPECT_EQ(object.Find("d")->PlainText(), "line\n");
}

TEST(yaml_structure, marks_keys_that_are_not_scalars) {
  TStructuredNodePtr root = Parse("? [a, b]\n: 1\nplain: 2\n");
  const TStructuredNode& map = Content(root);
  EXPECT_TRUE(map.ChildAt(0)->KeyNotScalar);
  EXPECT_EQ(map.ChildAt(0)->Key, "");
  EXPECT_FALSE(map.ChildAt(1)->KeyNotScalar);
}

// Children of nested collections (and of a collection used as a key) land
// in their own parent, in document order, with nothing left over.
TEST(yaml_structure, keeps_children_with_their_parents_at_every_depth) {
  const std::string text = "a: [1, {b: 2, c: [3, [4]]}, 5]\n? {k: [x]}\n: v\nd: {e: {f: 6}}\n";
  TStructuredNodePtr root = Parse(text);
  const TStructuredNode& map = Content(root);
  ASSERT_EQ(map.ChildCount(), 3u);
  const TStructuredNode& a = *map.ChildAt(0);
  ASSERT_EQ(a.ChildCount(), 3u);
  EXPECT_EQ(a.ChildAt(0)->Value, "1");
  EXPECT_EQ(a.ChildAt(2)->Value, "5");
  const TStructuredNode& inner = *a.ChildAt(1);
  ASSERT_EQ(inner.ChildCount(), 2u);
  EXPECT_EQ(inner.ChildAt(1)->Key, "c");
  ASSERT_EQ(inner.ChildAt(1)->ChildCount(), 2u);
  EXPECT_EQ(inner.ChildAt(1)->ChildAt(1)->ChildAt(0)->Value, "4");
  EXPECT_EQ(Span(text, *inner.ChildAt(1)), "[3, [4]]");
  EXPECT_TRUE(map.ChildAt(1)->KeyNotScalar);
  EXPECT_EQ(map.ChildAt(1)->Value, "v");
  EXPECT_EQ(KeySpan(text, *map.ChildAt(1)), "{k: [x]}");
  EXPECT_EQ(map.ChildAt(2)->ChildAt(0)->ChildAt(0)->Value, "6");
  EXPECT_EQ(map.ChildAt(2)->ChildAt(0)->ChildAt(0)->Key, "f");
}

TEST(yaml_loading, shapes_documents_into_values) {
  TJsonDataPtr two = Load("a: 1\n---\nb: 2\n");
  ASSERT_TRUE(two);
  ASSERT_EQ(two->Kind(), nkArray);
  EXPECT_EQ(static_cast<const TJsonArray&>(*two).Count(), 2u);
  TJsonDataPtr one = Load("a: 1\n");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->Kind(), nkObject);
  for (const std::string text : {"# only a comment\n", ""}) {
    TJsonDataPtr none = Load(text);
    ASSERT_TRUE(none);
    ASSERT_EQ(none->Kind(), nkArray);
    EXPECT_EQ(static_cast<const TJsonArray&>(*none).Count(), 0u);
  }
  TJsonDataPtr empty = Load("---\n...\n");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Kind(), nkNull);
}

TEST(yaml_loading, opens_a_text_that_ends_in_an_empty_document_without_a_line_break) {
  // The parser puts the empty document's marks on a line after the last one.
  for (const std::string text : {"a: 1\n---", "---", "--- ", "a: 1\n...\n---", "a: 1\r\n---"}) {
    std::u16string error;
    TJsonDataPtr value = Load(text, &error);
    ASSERT_TRUE(value) << text << ": " << Utf16ToUtf8(error);
    TStructuredNodePtr root = Parse(text);
    const TStructuredNode& last = *root->ChildAt(root->ChildCount() - 1);
    ASSERT_EQ(last.ChildCount(), 1u) << text;
    EXPECT_EQ(last.ChildAt(0)->StartOffset, static_cast<std::ptrdiff_t>(text.size())) << text;
  }
}

TEST(yaml_loading, refuses_bad_input_with_a_clear_text) {
  std::u16string error;
  EXPECT_FALSE(Load("a: 1\na: 2\n", &error));
  EXPECT_EQ(error, u"Duplicate object member: \"a\"");
  EXPECT_FALSE(Load("a: [1, 2\n", &error));
  EXPECT_NE(error.find(u"line"), std::u16string::npos) << Utf16ToUtf8(error);
  EXPECT_NE(error.find(u"column"), std::u16string::npos);
  TStructuredNodePtr root;
  EXPECT_FALSE(ParseYamlStructure("key: \"open\n", root, error));
  EXPECT_FALSE(root);
  EXPECT_FALSE(ValidateYaml("- a\n b: c\n -", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(ValidateYaml("- a\n- b\n", error));
  EXPECT_TRUE(error.empty());
}

// 100,000 levels of flow collections: a clear error, quickly, never a crash;
// nesting well inside the limit still loads.
TEST(yaml_loading, refuses_input_nested_a_hundred_thousand_levels) {
  std::string mappings;
  for (int i = 0; i < 100000; ++i) mappings += "{a: ";
  for (const std::string& text : {std::string(100000, '[') + std::string(100000, ']'),
                                   std::string(100000, '['), mappings}) {
    std::u16string error;
    EXPECT_FALSE(Load(text, &error));
    EXPECT_NE(error.find(u"nesting deeper than"), std::u16string::npos) << Utf16ToUtf8(error);
    EXPECT_NE(error.find(u"line 1, column "), std::u16string::npos) << Utf16ToUtf8(error);
  }
  std::u16string error;
  TJsonDataPtr value = Load(std::string(200, '[') + "7" + std::string(200, ']'), &error);
  ASSERT_TRUE(value) << Utf16ToUtf8(error);
  const TJsonData* walk = value.get();
  int depth = 0;
  for (; walk->Kind() == nkArray; ++depth) walk = static_cast<const TJsonArray*>(walk)->Child(0);
  EXPECT_EQ(depth, 200);
  EXPECT_EQ(walk->PlainText(), "7");
}

}  // namespace
}  // namespace corvane
