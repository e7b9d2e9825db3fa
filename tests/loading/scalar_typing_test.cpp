// Scalar typing and the conversion of structure records into value trees,
// checked on hand-built records so they do not need the parser library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uJsonModel.h"
#include "uScalarTyping.h"
#include "uStructureIndex.h"

namespace corvane {
namespace {

// Structure records written by hand, in pre-order: Open / Close around the
// children of a collection.
class TRecords {
 public:
  TStructureIndex Index;

  void Scalar(std::string_view value, std::string_view key = {}, int kind = skScalar) {
    TStructureRecord r;
    r.Kind = static_cast<int8_t>(kind);
    r.Style = kind == skScalar ? 1 : 0;
    r.StartOffset = r.EndOffset = -1;
    Index.Add(r, {}, value, key, {}, {});
  }
  void Open(int kind, std::string_view key = {}) {
    TStructureRecord r;
    r.Kind = static_cast<int8_t>(kind);
    r.StartOffset = r.EndOffset = -1;
    open_.push_back(Index.Add(r, {}, {}, key, {}, {}));
  }
  void Close() {
    Index.Records[open_.back()].SubtreeEnd = static_cast<uint32_t>(Index.Records.size());
    open_.pop_back();
  }

 private:
  std::vector<size_t> open_;
};

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

std::string Yaml(const std::string& text, int style = 1) {
  return Describe(*ScalarToValue(text, style, TDocumentLanguage::Yaml));
}
std::string Toml(const std::string& text) { return Describe(*ScalarToValue(text, 0, TDocumentLanguage::Toml)); }

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
  EXPECT_EQ(NumberDisplayText(*ScalarToValue("1.0", 1, TDocumentLanguage::Yaml)), u"1.0");
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

TEST(index_to_value, converts_mappings_sequences_aliases_and_documents) {
  TRecords records;
  records.Open(skStream);
  records.Open(skDocument);
  records.Open(skMapping);
  records.Scalar("1", "a");
  records.Scalar("anchor", "<<", skAlias);
  records.Open(skSequence, "list");
  records.Scalar("x");
  records.Open(skMapping);
  records.Close();
  records.Close();
  records.Close();
  records.Close();
  records.Close();

  TJsonDataPtr value = IndexRootToValue(records.Index, {}, TDocumentLanguage::Yaml);
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

TEST(index_to_value, makes_one_value_per_document_and_null_for_an_empty_one) {
  TRecords records;
  records.Open(skStream);
  records.Open(skDocument);
  records.Scalar("1");
  records.Close();
  records.Open(skDocument);
  records.Close();
  records.Close();
  TJsonDataPtr value = IndexRootToValue(records.Index, {}, TDocumentLanguage::Yaml);
  ASSERT_EQ(value->Kind(), nkArray);
  const auto& documents = static_cast<const TJsonArray&>(*value);
  ASSERT_EQ(documents.Count(), 2u);
  EXPECT_EQ(Describe(*documents.Child(0)), "int:1");
  EXPECT_EQ(Describe(*documents.Child(1)), "null");
}

TEST(index_to_value, refuses_a_repeated_key_naming_it) {
  TRecords records;
  records.Open(skMapping);
  records.Scalar("1", "a");
  records.Scalar("2", "a");
  records.Close();
  try {
    IndexToValue(records.Index, {}, 0, TDocumentLanguage::Yaml);
    FAIL() << "duplicate accepted";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Duplicate object member: \"a\"");
  }
}

// 200,000 levels of nested records: converting and freeing must not recurse
// (the host's GUI thread has a small stack).
TEST(index_to_value, handles_very_deep_structures_without_recursion) {
  TRecords records;
  records.Open(skSequence);
  for (int i = 0; i < 200000; ++i) records.Open(i % 2 ? skSequence : skMapping, "k");
  records.Scalar("7", "leaf");
  for (int i = 0; i <= 200000; ++i) records.Close();
  TJsonDataPtr value = IndexToValue(records.Index, {}, 0, TDocumentLanguage::Yaml);
  const TJsonData* walk = value.get();
  int depth = 0;
  while (walk->Kind() == nkArray || walk->Kind() == nkObject) {
    walk = static_cast<const TJsonContainer*>(walk)->Child(0);
    ++depth;
  }
  EXPECT_EQ(depth, 200001);
  EXPECT_EQ(Describe(*walk), "int:7");
  value.reset();
}

}  // namespace
}  // namespace corvane
