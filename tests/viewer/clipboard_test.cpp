#include <gtest/gtest.h>

#include "test_support.h"
#include "uClipboard.h"
#include "viewer_core_support.h"
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
    Show();
  }
  // The table the grid builds for node at a flat level (root: the document).
  TGridFixture(TJsonData* node, int flatLevel, TJsonData* root = nullptr) {
    BuildTableModel(node, root ? root : node, flatLevel, TTableOptions(), &table);
    Show();
  }
  void Show() {
    for (size_t i = 0; i < size_t(table.RowCount()); ++i) visible.push_back(static_cast<int32_t>(i));
    grid.Table = &table;
    grid.VisibleRows = &visible;
  }
};

std::string Json(const TGridFixture& f, std::vector<int> selected, bool compact) {
  std::u16string text;
  EXPECT_TRUE(CopyAsJsonText(f.grid, selected, 0, compact, &text));
  return Utf16ToUtf8(text);
}

// Child i of a container.
TJsonData* At(const TJsonData* node, size_t i) { return AsContainer(node)->Child(i); }

TJsonDataPtr Float(double v, const char* spelling) {
  return std::make_unique<TSourceFloatNumber>(v, spelling);
}

// [{name: a, n: 1.50, tags: [x, y], meta: {k: "42"}}, {name: b}]
TJsonDataPtr Servers() {
  using namespace test;
  return Arr({Obj({{"name", Str("a")}, {"n", Float(1.5, "1.50")}, {"tags", Arr({"x", "y"})},
                   {"meta", Obj({{"k", Str("42")}})}}),
              Obj({{"name", Str("b")}})});
}

TEST(copy_as_json, copies_the_nodes_whole_with_missing_values_left_out) {
  TJsonDataPtr doc = Servers();
  TGridFixture f(doc.get(), 0);
  ASSERT_EQ(f.table.Headers, (std::vector<std::u16string>{u"name", u"n", u"tags", u"meta"}));
  EXPECT_EQ(Json(f, {0, 1}, true),
            "[{ \"name\" : \"a\", \"n\" : 1.5, \"tags\" : [\"x\", \"y\"], \"meta\" : { \"k\" : \"42\" } }, "
            "{ \"name\" : \"b\" }]");
  EXPECT_EQ(Json(f, {1}, false),
            "[\r\n"
            "  {\r\n"
            "    \"name\" : \"b\"\r\n"
            "  }\r\n"
            "]");
  // The element list and the attribute list copy their nodes too.
  TGridFixture elements(At(At(doc.get(), 0), 2), 0);
  EXPECT_EQ(Json(elements, {0, 1}, true), "[\"x\", \"y\"]");
  TGridFixture attributes(At(doc.get(), 0), 0);
  EXPECT_EQ(Json(attributes, {1, 3}, true), "{ \"n\" : 1.5, \"meta\" : { \"k\" : \"42\" } }");
}

TEST(copy_as_json, writes_numbers_in_their_shortest_exact_form_and_strings_as_strings) {
  using namespace test;
  TJsonDataPtr doc = Arr({Int(-7), Float(0.1, "0.10"), Float(1e300, "1e300"), Float(42, "42.0"), Str("3.50"),
                          Str("true"), Str("null"), Null(), Bool(false), Float(1.0 / 3, "")});
  TGridFixture f(doc.get(), 0);
  ASSERT_EQ(f.table.Headers, std::vector<std::u16string>{u"Element"});
  std::vector<int> all;
  for (int i = 0; i < f.table.RowCount(); ++i) all.push_back(i);
  EXPECT_EQ(Json(f, all, true),
            "[-7, 0.1, 1e+300, 42, \"3.50\", \"true\", \"null\", null, false, 0.3333333333333333]");
}

TEST(copy_as_json, keeps_labels_of_keyed_flat_views_and_the_listing_as_text) {
  using namespace test;
  TJsonDataPtr doc = Obj({{"web", Obj({{"port", Int(80)}})}, {"db", Obj({{"port", Int(5432)}, {"ha", Bool(true)}})}});
  TGridFixture keyed(doc.get(), 1);
  ASSERT_EQ(keyed.table.Headers, (std::vector<std::u16string>{u"Attribute", u"port", u"ha"}));
  EXPECT_EQ(Json(keyed, {0, 1}, true),
            "[{ \"Attribute\" : \"web\", \"port\" : 80 }, { \"Attribute\" : \"db\", \"port\" : 5432, \"ha\" : true }]");
  TGridFixture listing(doc.get(), -1);
  EXPECT_EQ(Json(listing, {2}, true), "[{ \"Path\" : \"db.ha\", \"Value\" : true }]");
  TGridFixture value(At(At(doc.get(), 0), 0), 0);
  EXPECT_EQ(Json(value, {}, true), "80");  // a single value behaves as Copy cell
}

TEST(copy_as_json, escapes_names_and_strings_but_keeps_slash_and_non_ascii) {
  EXPECT_EQ(JsonQuoteString("a\"b\\c/d\xC3\xA9"), "\"a\\\"b\\\\c/d\xC3\xA9\"");
  EXPECT_EQ(JsonQuoteString("\b\t\n\f\r\x01\x1F"), "\"\\b\\t\\n\\f\\r\\u0001\\u001F\"");
  EXPECT_EQ(JsonQuoteString(std::string("\0", 1)), "\"\\u0000\"");
  TJsonDataPtr doc = test::Arr({test::Obj({{"k\"ey", test::Str("v\\")}})});
  TGridFixture f(doc.get(), 0);
  EXPECT_EQ(Json(f, {0}, true), "[{ \"k\\\"ey\" : \"v\\\\\" }]");
}

TEST(copy_as_json, follows_column_order_and_skips_hidden_columns) {
  TJsonDataPtr doc = test::Arr({test::Obj({{"a", test::Int(1)}, {"b", test::Int(2)}, {"c", test::Int(3)}})});
  TGridFixture f(doc.get(), 0);
  f.grid.ColumnOrder = {2, 0, 1};
  f.grid.ColumnWidths = {50, 0, 50};
  EXPECT_EQ(Json(f, {0}, true), "[{ \"c\" : 3, \"a\" : 1 }]");
  // Copy rows keeps the hidden column and ignores the reordering.
  EXPECT_EQ(CopyRowsText(f.grid, {0}, u'\t'), u"1\t2\t3");
}

TEST(copy_as_json, handles_empty_grids_selections_and_clashing_headers) {
  TGridFixture none({}, {});
  std::u16string text = u"stale";
  EXPECT_FALSE(CopyAsJsonText(none.grid, {0}, 0, true, &text));
  TJsonDataPtr doc = test::Arr({test::Obj({{"x", test::Int(1)}})});
  TGridFixture f(doc.get(), 0);
  EXPECT_EQ(Json(f, {}, false), "");
  EXPECT_EQ(Json(f, {5, -1}, true), "[]");  // stale selection reads nothing
  // Two columns whose names agree in their first 255 bytes keep the first.
  const std::u16string longName(300, u'n');
  TGridFixture clash({longName, longName + u"x"}, {{u"1", u"2"}});
  clash.table.FlatView = true;
  clash.table.ColumnKeys = {"a", "b"};
  clash.table.CellNodes = {TJsonDataArray{At(At(doc.get(), 0), 0), At(At(doc.get(), 0), 0)}};
  EXPECT_EQ(Json(clash, {0}, true), "[{ \"" + std::string(255, 'n') + "\" : 1 }]");
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

TEST(copy_path, writes_paths_as_the_command_reads_them_from_the_row_or_cell_node) {
  using namespace test;
  TJsonDataPtr doc = Obj({{"items", Arr({"x", "y", Obj({{"a.b", Int(1)}, {"c", Int(2)}})})}, {"say \"hi\"", Null()}});
  TJsonData* items = At(doc.get(), 0);
  EXPECT_EQ(CopiedPathText(At(items, 2)), u"$.items[2]");
  EXPECT_EQ(CopiedPathText(At(doc.get(), 1)), u"$[\"say \\\"hi\\\"\"]");
  EXPECT_EQ(CopiedPathText(At(At(items, 2), 0)), u"$.items[2][\"a.b\"]");
  EXPECT_EQ(CopiedPathText(doc.get()), u"$");
  EXPECT_EQ(CopiedPathText(nullptr), u"");

  TGridFixture listing(doc.get(), -1);
  EXPECT_EQ(CopiedPathText(GridPathNode(listing.grid, {2, 3}, 0)), u"$.items[2][\"a.b\"]");
  EXPECT_EQ(GridPathNode(listing.grid, {}, 0), nullptr);
  TGridFixture plain(items, 0);
  EXPECT_EQ(CopiedPathText(GridPathNode(plain.grid, {1}, 0)), u"$.items[1]");
  TJsonDataPtr servers = Obj({{"web", Obj({{"port", Int(80)}})}});
  TGridFixture keyed(servers.get(), 1);
  EXPECT_EQ(CopiedPathText(GridPathNode(keyed.grid, {0}, 1)), u"$.web.port");  // the cell's node
  EXPECT_EQ(CopiedPathText(GridPathNode(keyed.grid, {0}, 0)), u"$.web");       // the label: the row's
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
