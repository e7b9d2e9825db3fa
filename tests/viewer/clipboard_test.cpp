#include <gtest/gtest.h>

#include "test_support.h"
#include "uClipboard.h"
#include "uJsonWriter.h"
#include "uSettings.h"
#include "uUnicode.h"

namespace corvane {
namespace {

// A grid of the given headers and rows, every row visible in table order.
struct TGridFixture {
  TTableModel table;
  TIntegerArray visible;
  TGridCopySource grid;

  TGridFixture(std::vector<std::u16string> headers, TUnicodeRows rows) {
    table.Headers = std::move(headers);
    table.Cells = rows;
    table.RowNodes.assign(size_t(table.RowCount()), nullptr);
    for (size_t i = 0; i < size_t(table.RowCount()); ++i) visible.push_back(static_cast<int32_t>(i));
    grid.Table = &table;
    grid.VisibleRows = &visible;
  }
};

std::string Json(const TGridFixture& f, std::vector<int> selected, bool compact) {
  std::u16string text;
  EXPECT_TRUE(CopyAsJsonText(f.grid, selected, 0, compact, u"<N/A>", &text));
  return Utf16ToUtf8(text);
}

TEST(copy_as_json, writes_the_two_row_table_example_in_both_layouts) {
  TGridFixture f({u"name", u"n"}, {{u"a", u"1"}, {u"b", u"<N/A>"}});
  EXPECT_EQ(Json(f, {0, 1}, true),
            "[{ \"name\" : \"a\", \"n\" : 1.0000000000000000E+000 }, { \"name\" : \"b\" }]");
  EXPECT_EQ(Json(f, {0, 1}, false),
            "[\r\n"
            "  {\r\n"
            "    \"name\" : \"a\",\r\n"
            "    \"n\" : 1.0000000000000000E+000\r\n"
            "  },\r\n"
            "  {\r\n"
            "    \"name\" : \"b\"\r\n"
            "  }\r\n"
            "]");
}

TEST(copy_as_json, types_cells_only_when_they_are_plain_decimals_or_exact_booleans) {
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {u"true", "true"},        {u"false", "false"},     {u"True", "\"True\""},
      {u"null", "\"null\""},    {u"42", "4.2000000000000000E+001"},
      {u"3.50", "3.5000000000000000E+000"},  {u"-5", "\"-5\""},  {u"1e3", "\"1e3\""},
      {u"0x1F", "\"0x1F\""},    {u"3.5.1", "\"3.5.1\""}, {u"", "\"\""},
      {u".", "\".\""},          {std::u16string(u"4\0" u"2", 3), "\"4\\u00002\""},
      {u"1" + std::u16string(400, u'0'), "\"1" + std::string(400, '0') + "\""},
  };
  for (const auto& [cell, json] : cases) {
    TJsonDataPtr value = TypedCellValue(cell);
    TJsonArray holder;
    holder.Add(std::move(value));
    EXPECT_EQ(WriteJson(holder, true), "[" + json + "]") << Utf16ToUtf8(cell);
  }
}

TEST(copy_as_json, escapes_names_and_strings_but_keeps_slash_and_non_ascii) {
  EXPECT_EQ(JsonQuoteString("a\"b\\c/d\xC3\xA9"), "\"a\\\"b\\\\c/d\xC3\xA9\"");
  EXPECT_EQ(JsonQuoteString("\b\t\n\f\r\x01\x1F"), "\"\\b\\t\\n\\f\\r\\u0001\\u001F\"");
  EXPECT_EQ(JsonQuoteString(std::string("\0", 1)), "\"\\u0000\"");
  TGridFixture f({u"k\"ey"}, {{u"v\\"}});
  EXPECT_EQ(Json(f, {0}, true), "[{ \"k\\\"ey\" : \"v\\\\\" }]");
}

TEST(copy_as_json, recognises_element_attribute_and_value_grids) {
  TGridFixture elements({u"Element"}, {{u"42"}, {u"x"}});
  EXPECT_EQ(Json(elements, {0, 1}, true), "[4.2000000000000000E+001, \"x\"]");
  TGridFixture attributes({u"Attribute", u"Value"}, {{u"a", u"42"}, {u"b", u"true"}});
  EXPECT_EQ(Json(attributes, {0, 1}, true), "{ \"a\" : \"42\", \"b\" : \"true\" }");
  TGridFixture value({u"Value"}, {{u"plain"}});
  EXPECT_EQ(Json(value, {}, true), "plain");  // behaves as Copy cell
  TGridFixture listing({u"Path", u"Value"}, {{u"a.b", u"1"}});
  EXPECT_EQ(Json(listing, {0}, true), "[{ \"Path\" : \"a.b\", \"Value\" : 1.0000000000000000E+000 }]");
}

TEST(copy_as_json, follows_column_order_and_skips_hidden_columns) {
  TGridFixture f({u"a", u"b", u"c"}, {{u"1", u"2", u"3"}});
  f.grid.ColumnOrder = {2, 0, 1};
  f.grid.ColumnWidths = {50, 0, 50};
  EXPECT_EQ(Json(f, {0}, true),
            "[{ \"c\" : 3.0000000000000000E+000, \"a\" : 1.0000000000000000E+000 }]");
  // Copy rows keeps the hidden column and ignores the reordering.
  EXPECT_EQ(CopyRowsText(f.grid, {0}, u'\t'), u"1\t2\t3");
}

TEST(copy_as_json, handles_empty_grids_selections_and_clashing_headers) {
  TGridFixture none({}, {});
  std::u16string text = u"stale";
  EXPECT_FALSE(CopyAsJsonText(none.grid, {0}, 0, true, u"<N/A>", &text));
  TGridFixture f({u"x"}, {{u"1"}});
  EXPECT_EQ(Json(f, {}, false), "");
  EXPECT_EQ(Json(f, {5, -1}, true), "[]");  // stale selection reads nothing
  // Two columns whose names agree in their first 255 bytes keep the first.
  const std::u16string longName(300, u'n');
  TGridFixture clash({longName, longName + u"x"}, {{u"1", u"2"}});
  EXPECT_NO_THROW(Json(clash, {0}, true));
  EXPECT_EQ(Json(clash, {0}, true),
            "[{ \"" + std::string(255, 'n') + "\" : 1.0000000000000000E+000 }]");
}

TEST(copy_rows_and_cells, join_cells_rows_and_columns_and_survive_bad_positions) {
  TGridFixture f({u"a", u"b"}, {{u"1", u"2"}, {u"3", u"4"}, {u"5", u"6"}});
  EXPECT_EQ(CopyRowsText(f.grid, {0, 2}, u';'), u"1;2\r\n5;6");
  EXPECT_EQ(CopyRowsText(f.grid, {}, u'\t'), u"1\t2");  // row 0 without a selection
  EXPECT_EQ(CopyColumnText(f.grid, 1), u"2\r\n4\r\n6");
  EXPECT_EQ(CopyColumnText(f.grid, -1), u"");
  EXPECT_EQ(CopyCellText(f.grid, {2, 0}, 1), u"6");
  EXPECT_EQ(CopyCellText(f.grid, {}, 7), u"");
  TGridFixture empty({u"a"}, {});
  EXPECT_EQ(CopyRowsText(empty.grid, {}, u'\t'), u"");
  EXPECT_EQ(CopyCellText(empty.grid, {}, 0), u"");
  // Grid texts are cut like the grid's display buffer.
  TGridFixture wide({u"a"}, {{std::u16string(5000, u'x')}});
  EXPECT_EQ(CopyCellText(wide.grid, {}, 0).size(), kCopyCellTextLimit);
}

TEST(copy_rows_and_cells, take_the_delimiter_from_the_first_character_of_the_setting) {
  test::TempDir dir;
  OverridePluginModuleFileName(Utf8ToUtf16(dir.File("corvane.wlx64")));
  const TSettingsAccess settings = FileSettingsAccess();
  EXPECT_EQ(ColumnDelimiter(settings), u'\t');
  WriteSetting(u"column-delimiter", u"ab");
  EXPECT_EQ(ColumnDelimiter(settings), u'a');
  WriteSetting(u"column-delimiter", u";");
  EXPECT_EQ(ColumnDelimiter(settings), u';');
  OverridePluginModuleFileName(u"");
}

TEST(copy_path, builds_dollar_rooted_paths_and_uses_the_listing_path_cell) {
  auto root = std::make_unique<TJsonObject>();
  auto* items = static_cast<TJsonArray*>(root->Add("items", std::make_unique<TJsonArray>()));
  for (int i = 0; i < 3; ++i) items->Add(std::make_unique<TJsonString>("x"));
  auto* quoted = root->Add("say \"hi\"", std::make_unique<TJsonNull>());
  EXPECT_EQ(TreePathText(items->Child(2)), u"$.items[2]");
  EXPECT_EQ(TreePathText(quoted), u"$.say \"hi\"");
  EXPECT_EQ(TreePathText(root.get()), u"$");
  EXPECT_EQ(TreePathText(nullptr), u"");

  std::u16string text;
  TGridFixture listing({u"Path", u"Value"}, {{std::u16string(5000, u'p'), u"1"}});
  EXPECT_TRUE(CopyPathText(listing.grid, {0}, -1, items, &text));
  EXPECT_EQ(text.size(), 5000u);  // row text, not the cut display text
  EXPECT_FALSE(CopyPathText(listing.grid, {}, -1, items, &text));
  EXPECT_TRUE(CopyPathText(listing.grid, {}, 0, items->Child(1), &text));
  EXPECT_EQ(text, u"$.items[1]");
  EXPECT_FALSE(CopyPathText(listing.grid, {0}, 1, nullptr, &text));
}

TEST(open_link, opens_scheme_texts_as_they_are_and_dotted_texts_over_https) {
  EXPECT_EQ(LinkTarget(u"ftp://host/x"), u"ftp://host/x");
  EXPECT_EQ(LinkTarget(u"example.org/a"), u"https://example.org/a");
  EXPECT_EQ(LinkTarget(u"localhost"), u"");
  EXPECT_EQ(LinkTarget(u""), u"");
}

TEST(open_link, hands_only_web_links_to_the_shell) {
  struct TCase {
    const char16_t* Cell;
    TLinkKind Kind;
    const char16_t* Target;
  };
  const TCase cases[] = {
      {u"https://example.org/a?b=1", TLinkKind::Web, u"https://example.org/a?b=1"},
      {u"HTTP://Example.org", TLinkKind::Web, u"HTTP://Example.org"},
      {u" example.org\t", TLinkKind::Web, u"https://example.org"},
      {u"file:///C:/Windows/System32/calc.exe", TLinkKind::Refused, u"file:///C:/Windows/System32/calc.exe"},
      {u"ms-settings://x", TLinkKind::Refused, u"ms-settings://x"},
      {u"javascript://x.y", TLinkKind::Refused, u"javascript://x.y"},
      {u"https://", TLinkKind::Refused, u"https://"},
      {u"https://a.b/\" --flag", TLinkKind::Refused, u"https://a.b/\" --flag"},
      {u"https://a.b/x\ny", TLinkKind::Refused, u"https://a.b/x\ny"},
      {u"localhost", TLinkKind::None, u""},
  };
  for (const TCase& c : cases) {
    const TLinkToOpen link = LinkToOpen(c.Cell);
    EXPECT_EQ(link.Kind, c.Kind) << Utf16ToUtf8(c.Cell);
    EXPECT_EQ(link.Target, c.Target) << Utf16ToUtf8(c.Cell);
  }
}

}  // namespace
}  // namespace corvane
