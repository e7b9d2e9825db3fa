// Scalar typing and the conversion of structure trees into value trees,
// checked on hand-built trees so they do not need the parser library.
#include <gtest/gtest.h>

#include <string>

#include "uJsonModel.h"
#include "uStructuredNode.h"

namespace corvane {
namespace {

TStructuredNodePtr Scalar(std::string value, int style = 1, std::string key = {}) {
  auto node = std::make_unique<TStructuredNode>(skScalar);
  node->Value = std::move(value);
  node->Style = style;
  node->Key = std::move(key);
  return node;
}

std::string Describe(const TJsonData& v) {
  switch (v.Kind()) {
    case nkNull: return "null";
    case nkBoolean: return static_cast<const TJsonBoolean&>(v).Value() ? "bool:true" : "bool:false";
    case nkString: return "str:" + std::string(static_cast<const TJsonString&>(v).Value());
    case nkNumber: {
      const auto& n = static_cast<const TJsonNumber&>(v);
      if (n.IsFloat()) return "float:" + std::to_string(n.AsFloat());
      return "int:" + std::to_string(n.AsInt64());
    }
    default: return "container";
  }
}

std::string Yaml(const std::string& text, int style = 1) { return Describe(*ScalarToValue(text, style, false)); }
std::string Toml(const std::string& text) { return Describe(*ScalarToValue(text, 0, true)); }

TEST(yaml_scalar_typing, types_plain_scalars_and_keeps_quoted_ones_as_strings) {
  EXPECT_EQ(Yaml("42"), "int:42");
  EXPECT_EQ(Yaml("42", 3), "str:42");
  EXPECT_EQ(Yaml("42", 2), "str:42");
  EXPECT_EQ(Yaml("null", 3), "str:null");
  EXPECT_EQ(Yaml("true", 4), "str:true");
  for (const char* text : {"", "~", "null", "NULL", "Null", "nuLL"}) EXPECT_EQ(Yaml(text), "null") << text;
  EXPECT_EQ(Yaml("TRUE"), "bool:true");
  EXPECT_EQ(Yaml("False"), "bool:false");
  for (const char* text : {"yes", "no", "on", "off", ".inf", ".nan", "1_000", "1e5", "~x"})
    EXPECT_EQ(Yaml(text), std::string("str:") + text) << text;
}

TEST(scalar_typing, reads_integers_in_every_accepted_notation) {
  EXPECT_EQ(Yaml("007"), "int:7");
  EXPECT_EQ(Yaml("0x1F"), "int:31");
  EXPECT_EQ(Yaml("0X1f"), "int:31");
  EXPECT_EQ(Yaml("$ff"), "int:255");
  EXPECT_EQ(Yaml("x10"), "int:16");
  EXPECT_EQ(Yaml("&17"), "int:15");
  EXPECT_EQ(Yaml("%101"), "int:5");
  EXPECT_EQ(Yaml("-12"), "int:-12");
  EXPECT_EQ(Yaml("+12"), "int:12");
  EXPECT_EQ(Yaml(" \t5"), "int:5");
  EXPECT_EQ(Yaml("9223372036854775807"), "int:9223372036854775807");
  EXPECT_EQ(Yaml("-9223372036854775808"), "int:-9223372036854775808");
  EXPECT_EQ(Yaml("0xFFFFFFFFFFFFFFFF"), "int:-1");  // a full 64-bit pattern
}

TEST(scalar_typing, leaves_texts_that_are_not_whole_integers_alone) {
  for (const char* text : {"9223372036854775808", "-9223372036854775809", "0x1FFFFFFFFFFFFFFFF", "0x", "$",
                           "-", "12 ", "1 2", "0o755", "0b1101", "%102", "&8", "0xG"})
    EXPECT_EQ(Yaml(text), std::string("str:") + text) << text;
  EXPECT_EQ(Yaml(std::string(256, '1')), "str:" + std::string(256, '1'));
}

TEST(scalar_typing, reads_floats_only_when_the_text_has_a_point) {
  EXPECT_EQ(Yaml("1.0"), "float:1.000000");
  EXPECT_EQ(NumberDisplayText(*ScalarToValue("1.0", 1, false)), u"1.0");
  EXPECT_EQ(Yaml("1.5e3"), "float:1500.000000");
  EXPECT_EQ(Yaml("-0.25"), "float:-0.250000");
  EXPECT_EQ(Yaml(".5"), "float:0.500000");
  EXPECT_EQ(Yaml("5."), "float:5.000000");
  EXPECT_EQ(Yaml("1.0e-400"), "float:0.000000");  // underflow is zero
  for (const char* text : {"1.0e400", "1.2.3", ".", "-.", "1.0e", "1.0f", "1,5", "v1.2"})
    EXPECT_EQ(Yaml(text), std::string("str:") + text) << text;
}

TEST(toml_scalar_typing, strips_one_pair_of_quotes_and_types_what_is_left) {
  EXPECT_EQ(Toml("\"Tom\""), "str:Tom");
  EXPECT_EQ(Toml("'Tom'"), "str:Tom");
  EXPECT_EQ(Toml("\"a\\tb\""), "str:a\\tb");
  EXPECT_EQ(Toml("\"\"\"x\"\"\""), "str:\"\"x\"\"");
  EXPECT_EQ(Toml("\"42\""), "int:42");
  EXPECT_EQ(Toml("'true'"), "bool:true");
  EXPECT_EQ(Toml("\"'"), "str:\"'");
  EXPECT_EQ(Toml("\""), "str:\"");
  EXPECT_EQ(Toml("null"), "str:null");
  EXPECT_EQ(Toml("~"), "str:~");
  EXPECT_EQ(Toml("\"\""), "str:");
  EXPECT_EQ(Toml("0x1F"), "int:31");
  EXPECT_EQ(Toml("6.626e-34").substr(0, 6), "float:");
  for (const char* text : {"0o755", "1_000", "5e+22", "inf", "+inf", "nan", "1979-05-27T07:32:00Z", "07:32:00"})
    EXPECT_EQ(Toml(text), std::string("str:") + text) << text;
}

TEST(structure_to_value, converts_mappings_sequences_aliases_and_documents) {
  TStructuredNode root(skStream);
  TStructuredNode* doc = root.AddChild(std::make_unique<TStructuredNode>(skDocument));
  TStructuredNode* map = doc->AddChild(std::make_unique<TStructuredNode>(skMapping));
  map->AddChild(Scalar("1", 1, "a"));
  auto alias = std::make_unique<TStructuredNode>(skAlias);
  alias->Value = "anchor";
  alias->Key = "<<";
  map->AddChild(std::move(alias));
  auto seq = std::make_unique<TStructuredNode>(skSequence);
  seq->Key = "list";
  seq->AddChild(Scalar("x"));
  seq->AddChild(std::make_unique<TStructuredNode>(skMapping));
  map->AddChild(std::move(seq));

  TJsonDataPtr value = StructureRootToValue(root, false);
  ASSERT_EQ(value->Kind(), nkObject);
  const auto& object = static_cast<const TJsonObject&>(*value);
  ASSERT_EQ(object.Count(), 3u);
  EXPECT_EQ(Describe(*object.Find("a")), "int:1");
  EXPECT_EQ(Describe(*object.Find("<<")), "str:*anchor");
  const auto& list = static_cast<const TJsonArray&>(*object.Find("list"));
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(Describe(*list.Child(0)), "str:x");
  EXPECT_EQ(list.Child(1)->Kind(), nkObject);
}

TEST(structure_to_value, refuses_a_repeated_key_naming_it) {
  TStructuredNode map(skMapping);
  map.AddChild(Scalar("1", 1, "a"));
  map.AddChild(Scalar("2", 1, "a"));
  try {
    StructureToValue(map, false);
    FAIL() << "duplicate accepted";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Duplicate object member: \"a\"");
  }
}

// 200,000 levels of sequences: building, converting and freeing must not
// recurse (the host's GUI thread has a small stack).
TEST(structure_to_value, handles_very_deep_trees_without_recursion) {
  auto root = std::make_unique<TStructuredNode>(skSequence);
  TStructuredNode* cursor = root.get();
  for (int i = 0; i < 200000; ++i) {
    auto next = std::make_unique<TStructuredNode>(i % 2 ? skSequence : skMapping);
    next->Key = "k";
    cursor = cursor->AddChild(std::move(next));
  }
  cursor->AddChild(Scalar("7", 1, "leaf"));
  TJsonDataPtr value = StructureToValue(*root, false);
  const TJsonData* walk = value.get();
  int depth = 0;
  while (walk->Kind() == nkArray || walk->Kind() == nkObject) {
    walk = static_cast<const TJsonContainer*>(walk)->Child(0);
    ++depth;
  }
  EXPECT_EQ(depth, 200001);
  EXPECT_EQ(Describe(*walk), "int:7");
  root.reset();
  value.reset();
}

}  // namespace
}  // namespace corvane
