// YAML structure records built through the parser library: spans in bytes
// of the exact text, keys, styles, anchors, and the value tree they load as.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "record_support.h"
#include "uFileLoading.h"
#include "uJsonModel.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

namespace corvane {
namespace {

using test::TRecordNode;

// A text with its records; the text outlives every node read from them.
struct TParsed {
  std::string Text;
  TStructureIndex Index;
  TRecordNode Root() const { return TRecordNode(Index, Text, 0); }
  // The content node of the first document.
  TRecordNode Content() const { return Root().ChildAt(0).ChildAt(0); }
};

std::unique_ptr<TParsed> Parse(const std::string& text) {
  auto parsed = std::make_unique<TParsed>();
  parsed->Text = text;
  TLoadError error;
  EXPECT_TRUE(ParseYamlIndex(parsed->Text, parsed->Index, error)) << Utf16ToUtf8(error.Text);
  return parsed;
}

TJsonDataPtr Load(const std::string& text, TLoadError* error = nullptr) {
  TLoadedDocument doc;
  TLoadError message;
  const bool ok = LoadDocumentFromBytes(text, TDocumentLanguage::Yaml, doc, message);
  if (error) *error = message;
  return ok ? std::move(doc.Value) : nullptr;
}

TEST(yaml_structure, spans_quoted_and_plain_scalars_and_their_keys) {
  const std::string text = "key: 'x'\nplain: some words  # note\n\"dq\": \"a\\tb\"\n";
  const auto root = Parse(text);
  const TRecordNode map = root->Content();
  ASSERT_EQ(map->Kind, skMapping);
  ASSERT_EQ(map.ChildCount(), 3u);
  const TRecordNode quoted = map.ChildAt(0);
  EXPECT_EQ(quoted->Style, 2);
  EXPECT_EQ(quoted->Value, "x");
  EXPECT_EQ(quoted.Span(), "'x'");
  EXPECT_EQ(quoted.KeySpan(), "key");
  EXPECT_EQ(quoted->KeyStyle, 1);
  EXPECT_FALSE(quoted->KeyNotScalar);
  EXPECT_EQ(map.ChildAt(1).Span(), "some words");
  EXPECT_EQ(map.ChildAt(2)->Key, "dq");
  EXPECT_EQ(map.ChildAt(2).KeySpan(), "\"dq\"");
  EXPECT_EQ(map.ChildAt(2).Span(), "\"a\\tb\"");
  EXPECT_EQ(map.ChildAt(2)->Value, "a\tb");
  EXPECT_EQ(map->StartOffset, 0);
}

TEST(yaml_structure, spans_non_ascii_text_in_bytes) {
  const std::string text = "name: caf\xC3\xA9\n\xC3\xA9: 1\n";
  const auto root = Parse(text);
  const TRecordNode map = root->Content();
  EXPECT_EQ(map.ChildAt(0)->EndOffset, 11);  // the line break after é
  EXPECT_EQ(map.ChildAt(1).KeySpan(), "\xC3\xA9");
  EXPECT_EQ(map.ChildAt(1).Span(), "1");
}

TEST(yaml_structure, counts_a_byte_order_mark_and_every_line_end_style) {
  const auto bom = Parse("\xEF\xBB\xBF" "a: 1\n");
  EXPECT_EQ(bom->Content()->StartOffset, 3);
  EXPECT_EQ(bom->Content().ChildAt(0)->KeyStart, 3);
  for (const std::string eol : {"\n", "\r\n", "\r"}) {
    const std::string text = "a: 1" + eol + "b: two" + eol + "c: [x, y]" + eol;
    const auto root = Parse(text);
    const TRecordNode map = root->Content();
    ASSERT_EQ(map.ChildCount(), 3u);
    EXPECT_EQ(map.ChildAt(1).Span(), "two");
    EXPECT_EQ(map.ChildAt(2).Span(), "[x, y]");
    EXPECT_EQ(map.ChildAt(2).ChildAt(1).Span(), "y");
  }
}

// The YAML parser also counts NEL, LS and PS as line breaks; spans after
// them must still point at the right bytes (lines alone would land on the
// wrong line of this file).
TEST(yaml_structure, spans_stay_exact_after_unicode_line_separators) {
  for (const std::string sep : {"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"}) {
    const std::string text = "a: \"x" + sep + "y\"\nb: 22\nc: caf\xC3\xA9\nd: 4444\ne: 5\n";
    const auto root = Parse(text);
    const TRecordNode map = root->Content();
    ASSERT_EQ(map.ChildCount(), 5u);
    EXPECT_EQ(map.ChildAt(0).Span(), "\"x" + sep + "y\"");
    EXPECT_EQ(map.ChildAt(1).Span(), "22");
    EXPECT_EQ(map.ChildAt(2).KeySpan(), "c");
    EXPECT_EQ(map.ChildAt(2).Span(), "caf\xC3\xA9");
    EXPECT_EQ(map.ChildAt(3).Span(), "4444");
    EXPECT_EQ(map.Span(), text.substr(0, text.size()));
  }
}

// Characters of every UTF-8 width, in runs long enough that positions are
// found several bytes at a time across character boundaries, after a
// byte-order mark and with line separators the parser counts as breaks:
// every scalar's span is exactly its text.
TEST(yaml_structure, spans_every_scalar_of_a_text_of_mixed_character_widths) {
  const std::string widths[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
  std::string text = "\xEF\xBB\xBF";
  std::vector<std::string> values;
  for (int i = 0; i < 40; ++i) {
    std::string value;
    for (int j = 0; j <= i % 13; ++j) value += widths[(i + j) % 4];
    values.push_back(value);
    text += "k" + std::to_string(i) + ": " + value + (i % 7 == 3 ? "\r\n" : i % 9 == 4 ? " # \xE2\x80\xA8 \n" : "\n");
  }
  const auto root = Parse(text);
  const TRecordNode map = root->Content();
  ASSERT_EQ(map.ChildCount(), values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(map.ChildAt(i).Span(), values[i]) << "value " << i;
    EXPECT_EQ(map.ChildAt(i).KeySpan(), "k" + std::to_string(i)) << "key " << i;
  }
}

TEST(yaml_structure, spans_documents_from_their_first_token_to_their_end) {
  const std::string text = "# head\na: 1\n---\nb: 2\n...\n%YAML 1.1\n--- c\n";
  const auto root = Parse(text);
  ASSERT_EQ(root->Root().ChildCount(), 3u);
  EXPECT_EQ(root->Root().ChildAt(0).Span(), "a: 1\n");
  EXPECT_EQ(root->Root().ChildAt(1).Span(), "---\nb: 2\n...");
  EXPECT_EQ(root->Root().ChildAt(2).Span(), "%YAML 1.1\n--- c\n");
}

TEST(yaml_structure, keeps_anchors_tags_aliases_and_block_scalars) {
  const std::string text = "a: &n 1\nb: *n\nc: !!str 42\nd: |\n  line\ne: !t &m x\n";
  const auto root = Parse(text);
  const TRecordNode map = root->Content();
  EXPECT_EQ(map.ChildAt(0)->Anchor, "n");
  EXPECT_EQ(map.ChildAt(0).Span(), "&n 1");
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
  const auto root = Parse("? [a, b]\n: 1\nplain: 2\n");
  const TRecordNode map = root->Content();
  EXPECT_TRUE(map.ChildAt(0)->KeyNotScalar);
  EXPECT_EQ(map.ChildAt(0)->Key, "");
  EXPECT_FALSE(map.ChildAt(1)->KeyNotScalar);
}

// Children of nested collections (and of a collection used as a key) land
// in their own parent, in document order, with nothing left over.
TEST(yaml_structure, keeps_children_with_their_parents_at_every_depth) {
  const std::string text = "a: [1, {b: 2, c: [3, [4]]}, 5]\n? {k: [x]}\n: v\nd: {e: {f: 6}}\n";
  const auto root = Parse(text);
  const TRecordNode map = root->Content();
  ASSERT_EQ(map.ChildCount(), 3u);
  const TRecordNode a = map.ChildAt(0);
  ASSERT_EQ(a.ChildCount(), 3u);
  EXPECT_EQ(a.ChildAt(0)->Value, "1");
  EXPECT_EQ(a.ChildAt(2)->Value, "5");
  const TRecordNode inner = a.ChildAt(1);
  ASSERT_EQ(inner.ChildCount(), 2u);
  EXPECT_EQ(inner.ChildAt(1)->Key, "c");
  ASSERT_EQ(inner.ChildAt(1).ChildCount(), 2u);
  EXPECT_EQ(inner.ChildAt(1).ChildAt(1).ChildAt(0)->Value, "4");
  EXPECT_EQ(inner.ChildAt(1).Span(), "[3, [4]]");
  EXPECT_TRUE(map.ChildAt(1)->KeyNotScalar);
  EXPECT_EQ(map.ChildAt(1)->Value, "v");
  EXPECT_EQ(map.ChildAt(1).KeySpan(), "{k: [x]}");
  EXPECT_EQ(map.ChildAt(2).ChildAt(0).ChildAt(0)->Value, "6");
  EXPECT_EQ(map.ChildAt(2).ChildAt(0).ChildAt(0)->Key, "f");
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
    TLoadError error;
    TJsonDataPtr value = Load(text, &error);
    ASSERT_TRUE(value) << text << ": " << Utf16ToUtf8(error.Text);
    const auto root = Parse(text);
    const TRecordNode last = root->Root().ChildAt(root->Root().ChildCount() - 1);
    ASSERT_EQ(last.ChildCount(), 1u) << text;
    EXPECT_EQ(last.ChildAt(0)->StartOffset, static_cast<std::ptrdiff_t>(text.size())) << text;
  }
}

// A syntax error keeps the line and column the parser names as numbers
// beside its text, so the text pane can place the caret there.
TEST(yaml_loading, refuses_bad_input_with_a_clear_text_and_its_place) {
  TLoadError error;
  EXPECT_FALSE(Load("a: 1\na: 2\n", &error));
  EXPECT_EQ(error.Text, u"Duplicate object member: \"a\"");
  EXPECT_EQ(error.Region.Line, 0);
  // Of two repeats the first in the text is named, not one inside the value
  // of the second.
  EXPECT_FALSE(Load("a: 1\na:\n  c: 1\n  c: 2\n", &error));
  EXPECT_EQ(error.Text, u"Duplicate object member: \"a\"");
  EXPECT_EQ(error.Region.Offset, -1);
  EXPECT_FALSE(Load("a: 1\nb: [1, 2\n", &error));
  EXPECT_NE(error.Text.find(u" at line 3, column 1"), std::u16string::npos) << Utf16ToUtf8(error.Text);
  EXPECT_EQ(error.Region.Line, 3);
  EXPECT_EQ(error.Region.Column, 1);
  EXPECT_EQ(error.Region.Offset, 14);
  // Columns count characters; the offset counts bytes: "é" is two.
  EXPECT_FALSE(Load("k: \"\xC3\xA9\" x\n", &error));
  EXPECT_EQ(error.Region.Column, 8);
  EXPECT_EQ(error.Region.Offset, 8);
  TStructureIndex index;
  EXPECT_FALSE(ParseYamlIndex("x: 1\nkey: \"open\n", index, error));
  EXPECT_TRUE(index.Empty());
  EXPECT_EQ(error.Region.Line, 3) << Utf16ToUtf8(error.Text);
  std::u16string text;
  EXPECT_FALSE(ValidateYaml("- a\n b: c\n -", text));
  EXPECT_FALSE(text.empty());
  EXPECT_TRUE(ValidateYaml("- a\n- b\n", text));
  EXPECT_TRUE(text.empty());
}

// 100,000 levels of flow collections: a clear error, quickly, never a crash;
// nesting well inside the limit still loads.
TEST(yaml_loading, refuses_input_nested_a_hundred_thousand_levels) {
  std::string mappings;
  for (int i = 0; i < 100000; ++i) mappings += "{a: ";
  for (const std::string& text : {std::string(100000, '[') + std::string(100000, ']'),
                                   std::string(100000, '['), mappings}) {
    TLoadError error;
    EXPECT_FALSE(Load(text, &error));
    EXPECT_NE(error.Text.find(u"nesting deeper than"), std::u16string::npos) << Utf16ToUtf8(error.Text);
    EXPECT_EQ(error.Region.Line, 1);
    EXPECT_GT(error.Region.Column, 100);
  }
  TLoadError error;
  TJsonDataPtr value = Load(std::string(200, '[') + "7" + std::string(200, ']'), &error);
  ASSERT_TRUE(value) << Utf16ToUtf8(error.Text);
  const TJsonData* walk = value.get();
  int depth = 0;
  for (; walk->Kind() == nkArray; ++depth) walk = static_cast<const TJsonArray*>(walk)->Child(0);
  EXPECT_EQ(depth, 200);
  EXPECT_EQ(walk->PlainText(), "7");
}

}  // namespace
}  // namespace corvane
