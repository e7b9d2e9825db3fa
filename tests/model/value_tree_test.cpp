#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "uJsonModel.h"
#include "uNumberText.h"
#include "uUnicode.h"

namespace corvane {
namespace {

std::u16string FloatDisplay(double v) { return NumberDisplayText(TJsonFloat(v)); }

TEST(number_display_text, picks_the_shortest_form_that_reads_back) {
  EXPECT_EQ(FloatDisplay(1.5), u"1.5");
  EXPECT_EQ(FloatDisplay(2.0), u"2.0");
  EXPECT_EQ(FloatDisplay(0.1), u"0.1");
  EXPECT_EQ(FloatDisplay(100.0), u"1E2");
  EXPECT_EQ(FloatDisplay(1e20), u"1E20");
  EXPECT_EQ(FloatDisplay(1.0 / 3.0), u"0.333333333333333");
  EXPECT_EQ(FloatDisplay(0.00000015), u"1.5E-7");
  EXPECT_EQ(FloatDisplay(-2.5), u"-2.5");
  EXPECT_EQ(FloatDisplay(0.0001), u"0.0001");
  EXPECT_EQ(FloatDisplay(123456.0), u"123456.0");
  EXPECT_EQ(FloatDisplay(-0.0), u"0.0");
  EXPECT_EQ(FloatDisplay(0.0), u"0.0");
}

TEST(number_display_text, falls_back_to_the_fixed_pattern_for_long_integral_floats) {
  // No general form up to 15 digits reads back, the fixed form does.
  EXPECT_EQ(FloatDisplay(123456789012345678.0), u"123456789012345680.0");
}

TEST(number_display_text, reads_back_at_the_ends_of_the_double_range) {
  for (const double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                         -1e-300}) {
    double back = 0;
    ASSERT_TRUE(ParseDecimalFloat(Utf16ToUtf8(FloatDisplay(v)), &back)) << v;
    EXPECT_EQ(back, v);
  }
  EXPECT_EQ(FloatDisplay(std::numeric_limits<double>::denorm_min()), u"5E-324");
}

TEST(number_display_text, names_non_finite_values) {
  EXPECT_EQ(FloatDisplay(std::numeric_limits<double>::infinity()), u"inf");
  EXPECT_EQ(FloatDisplay(-std::numeric_limits<double>::infinity()), u"-inf");
  EXPECT_EQ(FloatDisplay(std::nan("")), u"nan");
}

TEST(number_display_text, ignores_the_c_locale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "German"))
    GTEST_SKIP() << "no German locale installed";
  EXPECT_EQ(FloatDisplay(1.5), u"1.5");
  EXPECT_EQ(DefaultFloatText(0.5), "5.0000000000000000E-001");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(number_display_text, shows_integers_and_spellings_as_they_are) {
  EXPECT_EQ(NumberDisplayText(TJsonInteger(-7)), u"-7");
  EXPECT_EQ(NumberDisplayText(TJsonInteger(INT64_MIN)), u"-9223372036854775808");
  TSourceFloatNumber spelled;
  spelled.SetFromText("1.50");
  EXPECT_EQ(NumberDisplayText(spelled), u"1.50");
}

TEST(default_float_text, writes_seventeen_digits_and_a_three_digit_exponent) {
  EXPECT_EQ(DefaultFloatText(42.0), "4.2000000000000000E+001");
  EXPECT_EQ(DefaultFloatText(-0.5), "-5.0000000000000000E-001");
  EXPECT_EQ(DefaultFloatText(0.0), "0.0000000000000000E+000");
  EXPECT_EQ(DefaultFloatText(0.1), "1.0000000000000001E-001");
  EXPECT_EQ(DefaultFloatText(-1e-300), "-1.0000000000000000E-300");
  EXPECT_EQ(DefaultFloatText(std::numeric_limits<double>::infinity()), "Infinity");
  EXPECT_EQ(DefaultFloatText(std::nan("")), "NaN");
}

TEST(source_float_number, keeps_its_spelling_until_a_non_text_setter) {
  TSourceFloatNumber n;
  n.SetFromText("1.50");
  EXPECT_EQ(n.PlainText(), "1.50");
  EXPECT_EQ(n.JsonText(), "1.50");
  EXPECT_DOUBLE_EQ(n.AsFloat(), 1.5);

  TJsonDataPtr copy = n.Clone();
  EXPECT_EQ(copy->JsonText(), "1.50");

  n.SetFromFloat(1.5);
  EXPECT_EQ(NumberDisplayText(n), u"1.5");
  EXPECT_EQ(n.JsonText(), "1.5000000000000000E+000");

  n.SetFromText("7e1");
  n.SetFromInt64(3);
  EXPECT_EQ(n.Spelling(), "");
  n.SetFromText("7e1");
  n.Clear();
  EXPECT_EQ(n.Spelling(), "");
  EXPECT_EQ(n.AsFloat(), 0.0);
}

TEST(source_float_number, refuses_text_that_is_not_a_decimal_number_and_keeps_its_value) {
  TSourceFloatNumber n;
  n.SetFromText("2.50");
  for (const char* bad : {"", "abc", "1,5", "0x10", "inf", "nan", "1e", "--1", "1.2.3", "1e999"})
    EXPECT_THROW(n.SetFromText(bad), EJsonError) << bad;
  EXPECT_EQ(n.Spelling(), "2.50");
  EXPECT_EQ(n.AsFloat(), 2.5);
}

TEST(float_node, converts_to_integer_without_undefined_behaviour) {
  EXPECT_EQ(TJsonFloat(2.9).AsInt64(), 2);
  EXPECT_EQ(TJsonFloat(-2.9).AsInt64(), -2);
  EXPECT_EQ(TJsonFloat(1e30).AsInt64(), INT64_MAX);
  EXPECT_EQ(TJsonFloat(-1e30).AsInt64(), INT64_MIN);
  EXPECT_EQ(TJsonFloat(std::nan("")).AsInt64(), 0);
}

TEST(new_float_node, makes_a_source_preserving_float) {
  TJsonDataPtr node = NewFloatNode(3.5);
  ASSERT_NE(dynamic_cast<TSourceFloatNumber*>(node.get()), nullptr);
  EXPECT_EQ(node->JsonText(), "3.5000000000000000E+000");
}

TEST(value_summary_text, describes_every_kind) {
  EXPECT_EQ(ValueSummaryText(TJsonBoolean(true).Clone().get()), u"true");
  TJsonBoolean no(false);
  TJsonNull null;
  TJsonArray array;
  TJsonObject object;
  TJsonString text("[Array]");
  TJsonString umlaut("gr\xC3\xBC\xC3\x9F");
  EXPECT_EQ(ValueSummaryText(&no), u"false");
  EXPECT_EQ(ValueSummaryText(&null), u"null");
  EXPECT_EQ(ValueSummaryText(&array), u"[Array]");
  EXPECT_EQ(ValueSummaryText(&object), u"[Object]");
  EXPECT_EQ(ValueSummaryText(&text), u"[Array]");
  EXPECT_EQ(ValueSummaryText(&umlaut), u"gr\u00FC\u00DF");
  EXPECT_EQ(ValueSummaryText(nullptr), u"");
  EXPECT_EQ(NodeKind(&text), nkString);
  EXPECT_EQ(NodeKind(nullptr), nkUnknown);
}

TEST(type_name, gives_the_english_names_without_translations) {
  TJsonInteger number(1);
  TJsonObject object;
  TJsonNull null;
  EXPECT_EQ(TypeName(&number), u"NUMBER");
  EXPECT_EQ(TypeName(&object), u"OBJECT");
  EXPECT_EQ(TypeName(&null), u"NULL");
  EXPECT_EQ(TypeName(nullptr), u"");
}

TEST(string_node, keeps_any_bytes_through_changes_and_copies) {
  for (const std::string& value : {std::string(), std::string("web"), std::string("service-12345"),
                                   std::string("a\0b", 3), std::string(300, '\xE4')}) {
    TJsonString node(value);
    EXPECT_EQ(node.Value(), value);
    EXPECT_EQ(node.PlainText(), value);
    EXPECT_EQ(static_cast<const TJsonString&>(*node.Clone()).Value(), value);
    node.SetValue("registry.local/app-1:1.4");
    EXPECT_EQ(node.Value(), "registry.local/app-1:1.4");
    node.SetValue(value);
    EXPECT_EQ(node.PlainText(), value);
  }
  EXPECT_EQ(TJsonString(std::string("a\0b", 3)).JsonText(), "\"a\\u0000b\"");
}

TEST(scalar_texts, follow_the_plain_and_json_rules) {
  EXPECT_EQ(TJsonBoolean(true).PlainText(), "True");
  EXPECT_EQ(TJsonBoolean(false).JsonText(), "false");
  EXPECT_THROW(TJsonNull().PlainText(), EJsonError);
  EXPECT_EQ(TJsonNull().JsonText(), "null");
  EXPECT_EQ(TJsonString("a\"b\\c/d\x01\b\t\n\f\r\xC3\xA4").JsonText(),
            "\"a\\\"b\\\\c/d\\u0001\\b\\t\\n\\f\\r\xC3\xA4\"");
  EXPECT_EQ(JsonQuoteString("\x1f"), "\"\\u001F\"");
}

}  // namespace
}  // namespace corvane
