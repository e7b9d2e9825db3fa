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

TEST(typed_value_checks, hold_toml_dates_and_times_to_their_kind) {
  TDateTimeString offset("1979-05-27T07:32:00Z", TTomlForm::OffsetDateTime);
  TDateTimeString day("1979-05-27", TTomlForm::LocalDate);
  TDateTimeString time("07:32:00", TTomlForm::LocalTime);
  EXPECT_EQ(CheckTypedValue(&offset, u"2024-02-29 23:59:59.125+05:30"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&day, u"2000-02-29"), vcAccepted);
  EXPECT_EQ(CheckTypedValue(&time, u"00:00:00.5"), vcAccepted);
  for (const char16_t* bad : {u"1979-05-27T07:32:00", u"1979-05-27", u"tomorrow", u"", u"1979-05-27T07:32Z"})
    EXPECT_EQ(CheckTypedValue(&offset, bad), vcInvalidValue) << Utf16ToUtf8(bad);
  for (const char16_t* bad : {u"2001-02-29", u"1979-05-32", u"07:32:00", u"\"1979-05-27\"", u"1979-5-27"})
    EXPECT_EQ(CheckTypedValue(&day, bad), vcInvalidValue) << Utf16ToUtf8(bad);
  EXPECT_EQ(CheckTypedValue(&time, u"24:00:00"), vcInvalidValue);
  EXPECT_EQ(ApplyTypedValue(&day, u"2001-01-01"), vcAccepted);
  EXPECT_EQ(day.Value(), "2001-01-01");
  EXPECT_EQ(day.Form(), TTomlForm::LocalDate);
}

TEST(typed_value_checks, apply_accepted_texts_and_leave_refused_nodes_alone) {
  TJsonInteger integer(5);
  EXPECT_EQ(ApplyTypedValue(&integer, u"2.5"), vcInvalidValue);
  EXPECT_EQ(integer.AsInt64(), 5);
  EXPECT_EQ(ApplyTypedValue(&integer, u"-42"), vcAccepted);
  EXPECT_EQ(integer.AsInt64(), -42);
  // An integer shown as written in the file shows the new value after.
  TSourceIntegerNumber spelled(31, "0x1F");
  EXPECT_EQ(ValueSummaryText(&spelled), u"0x1F");
  EXPECT_EQ(ApplyTypedValue(&spelled, u"32"), vcAccepted);
  EXPECT_EQ(ValueSummaryText(&spelled), u"32");
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
