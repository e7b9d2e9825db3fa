// One table of number texts through every place that reads a number: YAML
// scalar typing, the settings' integers, the value tree's float
// text, the cell editor's checks, filters and sorting, and the clipboard's
// typing rule. The table holds what the two grammars answer; each caller's
// expected answer follows from it and from that caller's own documented rule
// (which blanks it ignores, whether it needs a ".", the JSON grammar of cell
// edits), so a caller that reads a number by a private rule again fails here.
// It lives with the viewer tests because only their program links every
// caller.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>

#include "uClipboard.h"
#include "uFilterRules.h"
#include "uNumberText.h"
#include "uSettings.h"
#include "uScalarTyping.h"
#include "uUnicode.h"
#include "uValueChecks.h"

namespace corvane {
namespace {

struct TRow {
  const char* Text;
  // The decimal-float grammar's answer for the text without surrounding
  // blanks (callers that ignore blanks trim them first).
  std::optional<double> Decimal;
  // The prefixed-integer grammar's answer at 64 and at 32 bits.
  std::optional<int64_t> Integer;
  std::optional<int64_t> Integer32;
};

constexpr double kMin = 4.9406564584124654e-324;

const TRow kRows[] = {
    // plain forms, signs, exponents
    {"5", 5, 5, 5},
    {"+5", 5, 5, 5},
    {"-5", -5, -5, -5},
    {"1.5", 1.5, {}, {}},
    {"+1.5", 1.5, {}, {}},
    {"-1.5", -1.5, {}, {}},
    {"1e5", 1e5, {}, {}},
    {"1E+5", 1e5, {}, {}},
    {"2.5e-3", 2.5e-3, {}, {}},
    {".5", 0.5, {}, {}},
    {"-.5", -0.5, {}, {}},
    {"5.", 5.0, {}, {}},
    {"--1", {}, {}, {}},
    {"+-1", {}, {}, {}},
    // leading zeros
    {"007", 7, 7, 7},
    {"007.5", 7.5, {}, {}},
    {"00.5", 0.5, {}, {}},
    {"-0", -0.0, 0, 0},
    // overflow and underflow
    {"1e400", {}, {}, {}},
    {"1.0e400", {}, {}, {}},
    {"-1.5e400", {}, {}, {}},
    {"0.001e400", {}, {}, {}},
    {"1e-400", 0.0, {}, {}},
    {"1.0e-400", 0.0, {}, {}},
    {"-1.0e-400", -0.0, {}, {}},
    {"1000e-326", 1e-323, {}, {}},
    {"4.9e-324", kMin, {}, {}},
    {"9223372036854775807", 9223372036854775807.0, INT64_MAX, {}},
    {"9223372036854775808", 9223372036854775808.0, {}, {}},
    {"-9223372036854775808", -9223372036854775808.0, INT64_MIN, {}},
    {"2147483648", 2147483648.0, 2147483648, {}},
    {"-2147483648", -2147483648.0, -2147483648, INT32_MIN},
    // prefixes and separators
    {"0x1F", {}, 31, 31},
    {"0X1f", {}, 31, 31},
    {"$ff", {}, 255, 255},
    {"x10", {}, 16, 16},
    {"&17", {}, 15, 15},
    {"%101", {}, 5, 5},
    {"-$10", {}, -16, -16},
    {"$10", {}, 16, 16},
    {"xab", {}, 171, 171},
    {"X1F", {}, 31, 31},
    {"%1", {}, 1, 1},
    {"&7", {}, 7, 7},
    {"-0x10", {}, -16, -16},
    {"$FFFFFFFF", {}, 4294967295, -1},
    {"0xFFFFFFFFFFFFFFFF", {}, -1, {}},
    {"0x1FFFFFFFFFFFFFFFF", {}, {}, {}},
    {"0x", {}, {}, {}},
    {"&8", {}, {}, {}},
    {"1_000", {}, {}, {}},
    {"1,5", {}, {}, {}},
    {"1.2.3", {}, {}, {}},
    // words
    {"inf", {}, {}, {}},
    {"-inf", {}, {}, {}},
    {"nan", {}, {}, {}},
    {".inf", {}, {}, {}},
    {"infinity", {}, {}, {}},
    // blanks and empty texts
    {" 1.5", 1.5, {}, {}},
    {"1.5 ", 1.5, {}, {}},
    {"\t2.5\t", 2.5, {}, {}},
    {" 7", 7, 7, 7},
    {"7 ", 7, {}, {}},
    {"", {}, {}, {}},
    {" ", {}, {}, {}},
    {".", {}, {}, {}},
    {"e5", {}, {}, {}},
    {"1e", {}, {}, {}},
};

bool HasBlanks(std::string_view text) { return TrimBlanks(text).size() != text.size(); }
bool HasPoint(std::string_view text) { return text.find('.') != std::string_view::npos; }

// The JSON number grammar as the cell editor states it.
bool IsJson(std::string_view text) { return IsJsonNumberText(Utf8ToUtf16(text)); }

// A number's value, or the text of what a caller made of it.
using TAnswer = std::string;

TAnswer Number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "number %.17g%s", value, std::signbit(value) ? " (negative)" : "");
  return buffer;
}
TAnswer Integer(int64_t value) { return "integer " + std::to_string(value); }
const TAnswer kNoNumber = "no number";

TAnswer Describe(const TJsonData& node) {
  switch (node.Kind()) {
    case nkNumber: {
      const auto& n = static_cast<const TJsonNumber&>(node);
      return n.IsFloat() ? Number(n.AsFloat()) : Integer(n.AsInt64());
    }
    case nkString: return "string";
    case nkNull: return "null";
    case nkBoolean: return "boolean";
    default: return "other";
  }
}

// ---- each caller as it reads a text, and what its rule expects ------------

// The prefixes only the settings file reads ("$", "x", "X", "&", "%"): a
// YAML plain scalar spelled with one is a string.
bool HasSettingsOnlyPrefix(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  return !text.empty() && std::string_view("$xX&%").find(text[0]) != std::string_view::npos;
}

// YAML plain scalars; TOML values follow TOML's own number grammar
// (uTomlText.h, checked with the TOML typing and the toml-test files).
TAnswer ScalarTyping(const TRow& row) { return Describe(*ScalarToValue(row.Text, 1, TDocumentLanguage::Yaml)); }
TAnswer ExpectedScalarTyping(const TRow& row) {
  if (std::string_view(row.Text).empty()) return "null";
  if (row.Integer && !HasSettingsOnlyPrefix(row.Text)) return Integer(*row.Integer);
  if (HasPoint(row.Text) && row.Decimal) return Number(*row.Decimal);
  return "string";
}

TAnswer SettingInteger(const TRow& row) {
  int value = 0;
  return ParseSettingInt(Utf8ToUtf16(row.Text), &value) ? Integer(value) : kNoNumber;
}
TAnswer ExpectedSettingInteger(const TRow& row) { return row.Integer32 ? Integer(*row.Integer32) : kNoNumber; }

TAnswer FloatText(const TRow& row) {
  TJsonFloat node;
  try {
    node.SetFromText(row.Text);
  } catch (const EJsonError&) {
    return kNoNumber;
  }
  return Number(node.AsFloat());
}
TAnswer ExpectedFloatText(const TRow& row) { return row.Decimal ? Number(*row.Decimal) : kNoNumber; }

TAnswer FloatCellEdit(const TRow& row) {
  TSourceFloatNumber node(0.25);
  const TValueCheck check = ApplyTypedValue(&node, Utf8ToUtf16(row.Text));
  return check == vcAccepted ? Number(node.AsFloat()) : kNoNumber;
}
TAnswer ExpectedFloatCellEdit(const TRow& row) {
  return IsJson(row.Text) && row.Decimal ? Number(*row.Decimal) : kNoNumber;
}

TAnswer IntegerCellEdit(const TRow& row) {
  TJsonInteger node(3);
  const TValueCheck check = ApplyTypedValue(&node, Utf8ToUtf16(row.Text));
  if (check == vcInvalidValue) return "refused as integer";
  return check == vcAccepted ? Integer(node.AsInt64()) : kNoNumber;
}
TAnswer ExpectedIntegerCellEdit(const TRow& row) {
  if (!IsJson(row.Text) || !row.Decimal) return kNoNumber;
  return row.Integer ? Integer(*row.Integer) : "refused as integer";
}

TAnswer CellNumber(const TRow& row) {
  double value = 0;
  return ParseCellNumber(Utf8ToUtf16(row.Text), &value) ? Number(value) : kNoNumber;
}
TAnswer ExpectedCellNumber(const TRow& row) {
  return row.Decimal && !HasBlanks(row.Text) ? Number(*row.Decimal) : kNoNumber;
}

// Filters and sorting compare a number cell with another number numerically:
// the cell must equal its own value written plainly, and the "<" / ">"
// filters must agree (as text "1e5" sorts after "100000").
TAnswer FilterAndSort(const TRow& row) {
  double value = 0;
  if (!ParseCellNumber(Utf8ToUtf16(row.Text), &value)) return kNoNumber;
  const std::u16string cell = Utf8ToUtf16(row.Text);
  char plain[64];
  std::snprintf(plain, sizeof plain, "%.17g", value);
  const std::u16string reference = Utf8ToUtf16(plain);
  if (CompareCells(cell, reference) != 0) return "sorted apart from " + std::string(plain);
  if (FilterMatches(cell, u">" + reference, false) || FilterMatches(cell, u"<" + reference, false))
    return "filtered apart from " + std::string(plain);
  return Number(value);
}

TEST(number_grammars, every_caller_reads_the_same_texts_as_the_same_numbers) {
  for (const TRow& row : kRows) {
    SCOPED_TRACE(std::string("text '") + row.Text + "'");
    EXPECT_EQ(ScalarTyping(row), ExpectedScalarTyping(row)) << "YAML plain scalar";
    EXPECT_EQ(SettingInteger(row), ExpectedSettingInteger(row)) << "setting";
    EXPECT_EQ(FloatText(row), ExpectedFloatText(row)) << "float node set from text";
    EXPECT_EQ(FloatCellEdit(row), ExpectedFloatCellEdit(row)) << "cell edit of a float";
    EXPECT_EQ(IntegerCellEdit(row), ExpectedIntegerCellEdit(row)) << "cell edit of an integer";
    EXPECT_EQ(CellNumber(row), ExpectedCellNumber(row)) << "cell number";
    EXPECT_EQ(FilterAndSort(row), ExpectedCellNumber(row)) << "filter and sort";
  }
}

// What a float shows reads back as the same float in filters and edits
// whenever the display text is exact (1/3 shows 15 digits and is not).
TEST(number_grammars, display_texts_read_back_everywhere) {
  for (double v : {0.1, 1.5, 2.0, 100.0, 1e20, 1e-7, kMin, 1.7976931348623157e308, -2.5e-300}) {
    const std::u16string shown = NumberDisplayText(TJsonFloat(v));
    double back = 0;
    ASSERT_TRUE(ParseCellNumber(shown, &back)) << v;
    EXPECT_EQ(back, v);
    TSourceFloatNumber edited(0);
    EXPECT_EQ(ApplyTypedValue(&edited, shown), vcAccepted) << Utf16ToUtf8(shown);
    EXPECT_EQ(edited.AsFloat(), v);
  }
}

TEST(number_grammars, convert_with_a_point_whatever_the_process_locale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "German");
  double value = 0.0;
  EXPECT_TRUE(ParseDecimalFloat("2.5", &value));
  EXPECT_EQ(value, 2.5);
  EXPECT_FALSE(ParseDecimalFloat("2,5", &value));
  EXPECT_TRUE(ParseDecimalFloat(u"-0.125e1", &value));
  EXPECT_EQ(value, -1.25);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(number_grammars, read_long_texts_and_refuse_characters_beyond_ascii) {
  double value = 0;
  const std::u16string longNumber = u"0." + std::u16string(5000, u'0') + u"1e5000";
  ASSERT_TRUE(ParseDecimalFloat(longNumber, &value));
  EXPECT_DOUBLE_EQ(value, 0.1);
  EXPECT_FALSE(ParseDecimalFloat(u"\xFF11", &value));       // full-width digit one
  EXPECT_FALSE(ParseDecimalFloat(u"1\u0130", &value));      // a letter that lowers to "i"
  EXPECT_FALSE(ParseDecimalFloat(std::u16string(u"1\0", 2), &value));
  int64_t integer = 0;
  EXPECT_FALSE(ParsePrefixedInteger(u"\xFF11", 64, &integer));
  EXPECT_FALSE(ParsePrefixedInteger(std::u16string(u"1\0", 2), 64, &integer));
}

}  // namespace
}  // namespace corvane
