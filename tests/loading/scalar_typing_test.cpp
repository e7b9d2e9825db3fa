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

TEST(scalar_typing, reads_integers_in_yaml_notations_only) {
  EXPECT_EQ(Yaml("007"), "int:7");
  EXPECT_EQ(Yaml("0x1F"), "int:31");
  EXPECT_EQ(Yaml("0X1f"), "int:31");
  EXPECT_EQ(Yaml("-12"), "int:-12");
  EXPECT_EQ(Yaml("+12"), "int:12");
  EXPECT_EQ(Yaml(" \t5"), "int:5");
  EXPECT_EQ(Yaml("9223372036854775807"), "int:9223372036854775807");
  EXPECT_EQ(Yaml("-9223372036854775808"), "int:-9223372036854775808");
  EXPECT_EQ(Yaml("0xFFFFFFFFFFFFFFFF"), "int:-1");  // a full 64-bit pattern
  // The settings file's other prefixes are no YAML: such a plain scalar is
  // the text as written, never a number it does not say.
  for (const char* text : {"$ff", "x10", "X10", "xab", "&17", "%101", "-$10", "$10", "%1", "&7"})
    EXPECT_EQ(Yaml(text), std::string("str:") + text) << text;
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

// The kind, value and shown text of a TOML raw value.
std::string TomlShown(const std::string& raw) {
  const TJsonDataPtr value = ScalarToValue(raw, 0, TDocumentLanguage::Toml);
  std::string kind = Describe(*value);
  if (auto* date = dynamic_cast<const TDateTimeString*>(value.get()))
    kind += " kind " + std::to_string(int(date->Form()));
  const std::u16string shown = ValueSummaryText(value.get());
  return kind + " shown " + std::string(shown.begin(), shown.end());
}

TEST(toml_scalar_typing, decodes_strings_of_all_four_forms) {
  EXPECT_EQ(Toml(R"("Tom")"), "str:Tom");
  EXPECT_EQ(Toml("'Tom'"), "str:Tom");
  EXPECT_EQ(Toml(R"("")"), "str:");
  EXPECT_EQ(Toml(R"("C:\\Users")"), R"(str:C:\Users)");
  EXPECT_EQ(Toml(R"("tab\there \"q\" \b\f\n\r")"), "str:tab\there \"q\" \b\f\n\r");
  EXPECT_EQ(Toml(R"("caf\u00E9 \U0001F600")"), "str:caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(Toml(R"('C:\Users\n')"), R"(str:C:\Users\n)");  // literal: no escapes
  // Multi-line: the first line break goes, CR LF reads as LF, a backslash
  // at a line's end joins the next text that is not blank.
  EXPECT_EQ(Toml("\"\"\"\nWelcome\r\nhere\n\"\"\""), "str:Welcome\nhere\n");
  EXPECT_EQ(Toml("\"\"\"one \\  \n   \r\n  two\"\"\""), "str:one two");
  EXPECT_EQ(Toml(R"("""quote ""here""""")"), R"(str:quote ""here"")");
  EXPECT_EQ(Toml("'''\n\\d{3}\n'''"), "str:\\d{3}\n");
  EXPECT_EQ(Toml("''''quoted'''''"), "str:'quoted''");
}

TEST(toml_scalar_typing, keeps_quoted_text_a_string_and_broken_text_as_written) {
  EXPECT_EQ(Toml(R"("42")"), "str:42");
  EXPECT_EQ(Toml("'true'"), "str:true");
  EXPECT_EQ(Toml(R"("1979-05-27")"), "str:1979-05-27");
  EXPECT_EQ(Toml("'nan'"), "str:nan");
  // Texts the parser library never hands out stay as written.
  for (const char* raw : {R"("\x41")", R"("\uD800")", R"("a"b")", "\"'", "\"", "'a'b'", R"("""a""""""")",
                          "\"a\nb\"", "null", "~", "TRUE"})
    EXPECT_EQ(Toml(raw), std::string("str:") + raw) << raw;
}

TEST(toml_scalar_typing, reads_every_number_spelling_and_shows_it_as_written) {
  EXPECT_EQ(TomlShown("42"), "int:42 shown 42");
  EXPECT_EQ(TomlShown("-17"), "int:-17 shown -17");
  EXPECT_EQ(TomlShown("+42"), "int:42 shown +42");
  EXPECT_EQ(TomlShown("1_000"), "int:1000 shown 1_000");
  EXPECT_EQ(TomlShown("0x1F"), "int:31 shown 0x1F");
  EXPECT_EQ(TomlShown("0xdead_BEEF"), "int:3735928559 shown 0xdead_BEEF");
  EXPECT_EQ(TomlShown("0o755"), "int:493 shown 0o755");
  EXPECT_EQ(TomlShown("0b1101"), "int:13 shown 0b1101");
  EXPECT_EQ(TomlShown("0x7FFFFFFFFFFFFFFF"), "int:9223372036854775807 shown 0x7FFFFFFFFFFFFFFF");
  EXPECT_EQ(TomlShown("-9223372036854775808"), "int:-9223372036854775808 shown -9223372036854775808");
  EXPECT_EQ(TomlShown("3.1415"), "float:3.141500 shown 3.1415");
  EXPECT_EQ(TomlShown("5e+22"), "float:" + std::to_string(5e22) + " shown 5e+22");
  EXPECT_EQ(TomlShown("1e6"), "float:1000000.000000 shown 1e6");
  EXPECT_EQ(TomlShown("1_000.5_5"), "float:1000.550000 shown 1_000.5_5");
  EXPECT_EQ(TomlShown("-0.0"), "float:-0.000000 shown -0.0");
  EXPECT_EQ(TomlShown("+inf"), "float:inf shown +inf");
  EXPECT_EQ(TomlShown("-inf"), "float:-inf shown -inf");
  EXPECT_EQ(TomlShown("nan").substr(0, 6), "float:");
  // Outside TOML's grammar: leading zeros, stray underscores, a sign or a
  // capital letter on a prefixed form, a value beyond 64 bits.
  for (const char* raw : {"007", "1__0", "_1", "1_", "-0x1", "0X1F", "0x8000000000000000", "9223372036854775808",
                          "1.", ".5", "1e", "1.5_", "infinity", "$10"})
    EXPECT_EQ(Toml(raw), std::string("str:") + raw) << raw;
}

TEST(toml_scalar_typing, keeps_dates_and_times_as_written_with_their_kind) {
  EXPECT_EQ(TomlShown("1979-05-27T07:32:00Z"), "str:1979-05-27T07:32:00Z kind 8 shown 1979-05-27T07:32:00Z");
  EXPECT_EQ(TomlShown("1979-05-27 07:32:00.999-07:00"),
            "str:1979-05-27 07:32:00.999-07:00 kind 8 shown 1979-05-27 07:32:00.999-07:00");
  EXPECT_EQ(TomlShown("1979-05-27t07:32:00"), "str:1979-05-27t07:32:00 kind 9 shown 1979-05-27t07:32:00");
  EXPECT_EQ(TomlShown("2000-02-29"), "str:2000-02-29 kind 10 shown 2000-02-29");
  EXPECT_EQ(TomlShown("07:32:00.5"), "str:07:32:00.5 kind 11 shown 07:32:00.5");
  for (const char* raw : {"1900-02-29", "1979-13-01", "1979-04-31", "24:00:00", "07:32", "07:60:00",
                          "1979-05-27T07:32Z", "1979-05-27T07:32:00+7:00", "1979-05-27_07:32:00"})
    EXPECT_EQ(TomlShown(raw), std::string("str:") + raw + " shown " + raw) << raw;
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
