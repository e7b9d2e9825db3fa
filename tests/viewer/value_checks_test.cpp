#include <gtest/gtest.h>

#include "uUnicode.h"
#include "uValueChecks.h"

namespace corvane {
namespace {

TEST(typed_value_checks, follow_the_json_number_grammar) {
  for (const char16_t* good : {u"0", u"-0", u"12", u"1.5", u"-0.25", u"1e5", u"1E+5", u"2.5e-3"}) {
    EXPECT_TRUE(IsJsonNumberText(good)) << Utf16ToUtf8(good);
  }
  for (const char16_t* bad : {u"", u"+1", u"01", u".5", u"1.", u"0x10", u"1e", u"1e+", u"-",
                              u"--1", u" 1", u"1 ", u"1,5", u"NaN", u"Infinity", u"1.2.3"}) {
    EXPECT_FALSE(IsJsonNumberText(bad)) << Utf16ToUtf8(bad);
  }
  EXPECT_FALSE(IsJsonNumberText(std::u16string(u"1\0", 2)));
  EXPECT_FALSE(IsJsonNumberText(std::u16string(1, u'\xD800')));
}

TEST(typed_value_checks, refuse_number_texts_with_the_status_of_each_node_kind) {
  TJsonInteger integer(5);
  TSourceFloatNumber fraction(0.5);
  for (const char16_t* bad : {u"+1", u"01", u".5", u"1.", u"0x10"}) {
    EXPECT_EQ(CheckTypedValue(&integer, bad), vcInvalidNumber) << Utf16ToUtf8(bad);
    EXPECT_EQ(CheckTypedValue(&fraction, bad), vcInvalidNumber) << Utf16ToUtf8(bad);
  }
  EXPECT_EQ(CheckTypedValue(&fraction, u"1e5"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&integer, u"1e5"), vcInvalidValue);
  EXPECT_EQ(CheckTypedValue(&integer, u"2.5"), vcInvalidValue);
  EXPECT_EQ(CheckTypedValue(&integer, u"1.0"), vcInvalidValue);
  EXPECT_EQ(CheckTypedValue(&integer, u"9223372036854775807"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&integer, u"-9223372036854775808"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&integer, u"9223372036854775808"), vcInvalidValue);
  EXPECT_EQ(CheckTypedValue(&integer, u"-9223372036854775809"), vcInvalidValue);
  EXPECT_EQ(CheckTypedValue(&integer, u"99999999999999999999999"), vcInvalidValue);
  // Too large for a double: no infinity reaches the value tree.
  EXPECT_EQ(CheckTypedValue(&fraction, u"1e400"), vcInvalidNumber);
  EXPECT_EQ(CheckTypedValue(&fraction, u"1" + std::u16string(400, u'0')), vcInvalidNumber);
  EXPECT_EQ(CheckTypedValue(&fraction, u"1e-400"), vcAccepted);
  EXPECT_EQ(ValueCheckStatusText(vcInvalidNumber), u" INVALID NUMBER");
  EXPECT_EQ(ValueCheckStatusText(vcInvalidValue), u" INVALID VALUE");
}

TEST(typed_value_checks, accept_only_exact_literals_for_booleans_and_null) {
  TJsonBoolean boolean(false);
  TJsonNull null;
  TJsonString text("x");
  TJsonArray array;
  EXPECT_EQ(CheckTypedValue(&boolean, u"true"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&boolean, u"True"), vcUseTrueFalse);
  EXPECT_EQ(CheckTypedValue(&boolean, u"1"), vcUseTrueFalse);
  EXPECT_EQ(CheckTypedValue(&null, u"null"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&null, u"NULL"), vcUseNull);
  EXPECT_EQ(CheckTypedValue(&null, u""), vcUseNull);
  EXPECT_EQ(CheckTypedValue(&text, std::u16string(u"\0\xD800", 2)), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&array, u"[]"), vcNotEditable);
  EXPECT_EQ(CheckTypedValue(nullptr, u"1"), vcNotEditable);
  EXPECT_EQ(ValueCheckStatusText(vcUseTrueFalse), u" USE true OR false");
  EXPECT_EQ(ValueCheckStatusText(vcUseNull), u" USE null");
  EXPECT_EQ(ValueCheckStatusText(vcAccepted), u"");
  EXPECT_EQ(ValueCheckStatusText(vcNotEditable), u"");
}

TEST(typed_value_checks, apply_accepted_texts_and_leave_refused_nodes_alone) {
  TJsonInteger integer(5);
  EXPECT_EQ(ApplyTypedValue(&integer, u"2.5"), vcInvalidValue);
  EXPECT_EQ(integer.AsInt64(), 5);
  EXPECT_EQ(ApplyTypedValue(&integer, u"-42"), vcAccepted);
  EXPECT_EQ(integer.AsInt64(), -42);
  TSourceFloatNumber fraction(0.5);
  EXPECT_EQ(ApplyTypedValue(&fraction, u"1e5"), vcAccepted);
  EXPECT_EQ(fraction.AsFloat(), 1e5);
  EXPECT_EQ(fraction.Spelling(), "1e5");
  TJsonBoolean boolean(false);
  EXPECT_EQ(ApplyTypedValue(&boolean, u"true"), vcAccepted);
  EXPECT_TRUE(boolean.Value());
  TJsonString text("old");
  EXPECT_EQ(ApplyTypedValue(&text, u"n\u00e9w"), vcAccepted);
  EXPECT_EQ(text.Value(), "n\xC3\xA9w");
}

}  // namespace
}  // namespace corvane
