// The grid <-> text links on loaded documents: the span a cell selects in the
// text, the node a text selection lies in, and the grid cell that shows it.
#include <gtest/gtest.h>

#include "loaded_view_support.h"
#include "test_support.h"
#include "uCellEdit.h"
#include "uTextLinks.h"
#include "uUnicode.h"

namespace corvane {
namespace {

class text_links : public test::TLoadedViewTest {
 protected:
  std::string Shown() const { return patches_.Patches().empty() ? doc_.Bytes : patches_.BuildText(); }
  // The shown text a cell selects, "<none>" without a span.
  std::string CellSpan(int row, int column) const {
    const TByteSpan span = TargetSpanInText(doc_, patches_.Patches(), CellLinkTarget(core_, row, column));
    if (!span.Valid()) return "<none>";
    return Shown().substr(size_t(span.Start), size_t(span.End - span.Start));
  }
  // The node under the selection of the first occurrence of `selected`
  // (from `from` on) with `before` more bytes before it and `after` fewer at
  // its end: as the path of the node, "!" for its key, "<none>".
  std::string At(const std::string& selected, int before = 0, int after = 0, const std::string& from = "") const {
    const std::string text = Shown();
    const size_t at = text.find(selected, text.find(from));
    EXPECT_NE(at, std::string::npos) << selected;
    const int64_t start = int64_t(at) + before;
    const TLinkTarget target =
        TargetAtSelection(doc_, patches_.Patches(), {start, int64_t(at + selected.size()) - after});
    if (!target.Node) return "<none>";
    return Utf16ToUtf8(LeafPath(target.Node)) + (target.Key ? "!" : "");
  }
  std::string Cell(TLinkTarget target) const {
    const TGridCellPos cell = FindTargetInGrid(core_, target);
    return cell.Found() ? std::to_string(cell.Row) + ":" + std::to_string(cell.Column) : "-";
  }
};

const char kHelm[] =
    "# Replicas: count: 3 mentioned in a long comment line first\n"
    "count: 3\n"
    "image: {repository: nginx, tag: \"1.25\"}\n"
    "ports:\n"
    "  - 80\n"
    "  - name: https # secure\n"
    "    port: 443\n";

TEST_F(text_links, a_cell_selects_the_exact_span_of_its_value_or_key) {
  Load(kHelm);
  Show();
  EXPECT_EQ(CellSpan(0, 1), "3");      // not the "3" of the comment above it
  EXPECT_EQ(CellSpan(0, 0), "count");  // the Attribute column: the key
  EXPECT_EQ(CellSpan(1, 1), "{repository: nginx, tag: \"1.25\"}");
  Show(0, Member("image"));
  EXPECT_EQ(CellSpan(1, 1), "\"1.25\"");
  Show(0, Member("ports"));  // a table of an element and an object
  EXPECT_EQ(CellSpan(1, 0), "https");
  EXPECT_EQ(CellSpan(0, 0), "80");     // no member of that name: the row's element
  Show(-1);                            // Path/Value: the Path column is the key
  EXPECT_EQ(CellSpan(0, 0), "count");
  EXPECT_EQ(CellSpan(0, 1), "3");
  EXPECT_EQ(CellSpan(3, 0), "80");     // an element has no key: its value
  EXPECT_EQ(CellSpan(9, 0), "<none>");
}

TEST_F(text_links, a_span_far_into_the_file_is_found_and_edits_move_it) {
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += "k" + std::to_string(i) + ": \"\xC3\xA9t\xC3\xA9 value " + std::to_string(i) + "\"\n";
  Load(text + "last: end\n");
  Show();
  EXPECT_EQ(CellSpan(3000, 1), "end");  // beyond 64 K characters
  // An edit: its span is the replacement, later spans move by the difference.
  const std::string seventh = "\"\xC3\xA9t\xC3\xA9 value 7\"";
  ASSERT_TRUE(patches_.AddPatch(int64_t(text.find(seventh)), int64_t(seventh.size()), "\"longer value\""));
  EXPECT_EQ(CellSpan(7, 1), "\"longer value\"");
  EXPECT_EQ(CellSpan(8, 1), "\"\xC3\xA9t\xC3\xA9 value 8\"");
  EXPECT_EQ(CellSpan(3000, 1), "end");
  EXPECT_EQ(At("onger"), "k7");  // inside the replacement: the edited node
  EXPECT_EQ(At("value 8"), "k8");
}

TEST_F(text_links, a_selection_lies_in_the_innermost_scalar_or_key_or_in_none) {
  Load(kHelm);
  EXPECT_EQ(At("3", 0, 0, "\ncount"), "count");
  EXPECT_EQ(At("ount"), "<none>");                 // inside the comment
  EXPECT_EQ(At("count", 2, 3, "\ncount"), "count!");  // a caret in the key
  EXPECT_EQ(At("ngin", 1, 3), "image.repository");     // a caret in a flow value
  EXPECT_EQ(At("1.25"), "image.tag");                  // inside the quotes
  EXPECT_EQ(At("https # secure", 0, 0), "ports[1].name");  // into the comment: the one scalar touched
  EXPECT_EQ(At("name: https # secure\n    port"), "ports[1]");  // over two entries: their object
  EXPECT_EQ(At("secure"), "<none>");
  EXPECT_EQ(At("3\nimage"), "");  // over top-level entries: the root
}

TEST_F(text_links, documents_and_toml_tables_map_to_their_nodes) {
  Load("a: 1\n---\n# second\nb: [x, y]\n");
  EXPECT_EQ(At("y"), "[1].b[1]");
  EXPECT_EQ(At("b"), "[1].b!");
  Show(-1);
  EXPECT_EQ(CellSpan(1, 1), "x");
  Load("title = \"t\"\n\n[server]\nhost = \"h\"\nport = 80\n", TDocumentLanguage::Toml);
  Show();
  EXPECT_EQ(CellSpan(1, 1), "host = \"h\"\nport = 80");  // a table: what its entries cover
  EXPECT_EQ(At("80"), "server.port");
  EXPECT_EQ(At("host"), "server.host!");
}

TEST_F(text_links, the_grid_cell_of_a_node_or_of_its_nearest_shown_ancestor) {
  Load(kHelm);
  TJsonData* ports = Member("ports");
  TJsonData* name = Member("name", static_cast<TJsonArray*>(ports)->Child(1));
  Show();
  EXPECT_EQ(Cell({Member("count"), false}), "0:1");
  EXPECT_EQ(Cell({Member("count"), true}), "0:0");
  EXPECT_EQ(Cell({name, false}), "2:1");  // under "ports": its row, the value
  EXPECT_EQ(Cell({name, true}), "2:1");
  Show(0, ports);
  EXPECT_EQ(Cell({name, false}), "1:0");
  EXPECT_EQ(Cell({name, true}), "1:0");  // no key column: the value's cell
  Show(-1);
  EXPECT_EQ(Cell({name, true}), "4:0");
  EXPECT_EQ(Cell({name, false}), "4:1");
  EXPECT_EQ(Cell({ports, false}), "-");  // the listing shows leaves only
  Show(0, Member("image"));
  EXPECT_EQ(Cell({name, false}), "-");
  EXPECT_EQ(Cell({}), "-");
}

TEST(text_link_fallbacks, cell_text_in_the_whole_text_and_selected_text_in_the_grid) {
  EXPECT_EQ(FindCellInText("name: alpha\nport: 8080\n", u"8080"), 18);
  EXPECT_EQ(FindCellInText("name: alpha\n", u"Alpha"), -1);  // case-sensitive
  EXPECT_EQ(FindCellInText("x: \xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"), 3);
  EXPECT_EQ(FindCellInText(std::string(100000, ' ') + "tail", u"tail"), 100000);
  for (const char16_t* skipped : {u"", u"[Object]", u"[Array]"})
    EXPECT_EQ(FindCellInText("[Object] [Array]", skipped), -1);

  TTableModel table;
  table.Headers = {u"a", u"b"};
  table.Cells = TUnicodeRows{{u"", u"alpha"}, {u"beta", u"gamma"}, {u"x", u"y"}};
  const TIntegerArray visible = {2, 1, 0};
  const auto found = [&](std::u16string_view selection, const TIntegerArray& rows) {
    const TGridCellPos pos = FindSelectionInGrid(table, rows, selection);
    return pos.Found() ? std::to_string(pos.Row) + ":" + std::to_string(pos.Column) : "-";
  };
  EXPECT_EQ(found(u"mm", visible), "1:1");
  EXPECT_EQ(found(u"(beta)", visible), "1:0");  // the cell inside the selection
  EXPECT_EQ(found(u"y", visible), "0:1");       // display order decides
  EXPECT_EQ(found(u"", visible), "-");
  EXPECT_EQ(found(u"Alpha", visible), "-");
  EXPECT_EQ(found(u"a", {9, -3}), "-");
}

}  // namespace
}  // namespace corvane
