// The cell editor's decisions on loaded documents: which cells open, what a
// commit of a value or a key does to the value tree, the patches and the
// table, and the texts of refusals and saves.
#include <gtest/gtest.h>

#include "loaded_view_support.h"
#include "test_support.h"
#include "uCellEdit.h"
#include "uUnicode.h"

namespace corvane {
namespace {

class cell_edit : public test::TLoadedViewTest {
 protected:
  TCommitResult Edit(int row, int column, const std::u16string& text) {
    const TCellEditTarget target = CellEditTarget(core_, row, column);
    TCommitResult result;
    result.Status = u"<no target>";
    if (!target.Valid()) return result;
    result = CommitCellEdit(doc_, patches_, target, text);
    if (result.Outcome == TCommitOutcome::Accepted) RefreshNodeTexts(core_, result.Node, result.Replaced.get());
    return result;
  }
  std::u16string Cell(int row, int column) const { return std::u16string(core_.DisplayText(row, column)); }
};

TEST_F(cell_edit, opens_only_cells_that_show_their_own_scalar) {
  Load("name: x\nnested: {a: 1}\nlist:\n  - {port: 80, host: a}\n  - {host: b}\n  - 7\nplain: [1, 2]\n"
       "servers:\n  - {name: a, net: {port: 1}}\n  - {name: b, net: {port: 2}}\n");
  Show();
  EXPECT_FALSE(CellEditTarget(core_, 0, 0).Valid());  // the Attribute column
  const TCellEditTarget name = CellEditTarget(core_, 0, 1);
  ASSERT_TRUE(name.Valid());
  EXPECT_EQ(name.Node, Member("name"));
  EXPECT_EQ(name.Text, u"x");
  EXPECT_FALSE(CellEditTarget(core_, 1, 1).Valid());  // "[Object]"
  Show(0, Member("list"));
  ASSERT_EQ(core_.Table.Headers, (std::vector<std::u16string>{u"port", u"host"}));
  EXPECT_EQ(CellEditTarget(core_, 0, 0).Text, u"80");
  EXPECT_FALSE(CellEditTarget(core_, 1, 0).Valid());  // missing: "<N/A>"
  EXPECT_FALSE(CellEditTarget(core_, 2, 0).Valid());  // a scalar element under named columns
  Show(0, Member("plain"));
  EXPECT_EQ(CellEditTarget(core_, 1, 0).Text, u"2");  // the Element column
  EXPECT_FALSE(CellEditTarget(core_, 2, 0).Valid());
  Show(1, Member("servers"));
  ASSERT_EQ(core_.Table.Headers, (std::vector<std::u16string>{u"name", u"net.port"}));
  EXPECT_EQ(CellEditTarget(core_, 1, 1).Text, u"2");
  // The Path column of the Path/Value view renames the leaf's key.
  Show(-1);
  const TCellEditTarget path = CellEditTarget(core_, 1, 0);
  EXPECT_TRUE(path.RenameKey);
  EXPECT_EQ(path.Text, u"nested.a");
  EXPECT_EQ(path.Node, Member("a", Member("nested")));
  EXPECT_FALSE(CellEditTarget(core_, 1, 1).RenameKey);
}

// Enter says why before any box opens: a text the one-line box would cut
// or change, a value without a place of its own, a cell without a value.
TEST_F(cell_edit, says_why_a_cell_cannot_open_before_any_box_does) {
  Load("base: &b {port: 80}\nweb: *b\nnote: |\n  two\n  lines\nname: x\nanchored: &a text\nlong: " +
       std::string(kCellEditMaxLength + 1, 'a') + "\nnul: \"a\\0b\"\nlist: [1]\nfold: >-\n  one line\n");
  Show();
  const std::vector<std::pair<int, std::u16string>> cases = {
      {0, u" READ ONLY"},  // "[Object]"
      {1, u" This value is an alias of another value: edit the anchored value it stands for"},
      {2, u" This text has line breaks; the cell editor holds one line"},
      {3, u""},
      {4, u""},  // an anchored value keeps its anchor
      {5, u" This text is longer than the 4095 characters the cell editor holds"},
      {6, u" This text holds a NUL character, which the cell editor cannot hold"},
      {8, u""},  // a block scalar of one line without a final break is edited
  };
  for (const auto& [row, reason] : cases)
    EXPECT_EQ(CellEditRefusal(doc_, CellEditTarget(core_, row, 1)), reason) << row;
  EXPECT_EQ(CellEditRefusal(doc_, CellEditTarget(core_, 3, 0)), u" READ ONLY");  // the Attribute column
  Load("base: &p 80\nport: *p\n");
  Show();
  EXPECT_EQ(CellEditRefusal(doc_, CellEditTarget(core_, 1, 1)),
            u" This value is an alias of another value: edit the anchored value it stands for");
  Show(-1);  // the listing's Path cell opens a key rename
  EXPECT_EQ(CellEditRefusal(doc_, CellEditTarget(core_, 0, 0)), u"");
}

TEST_F(cell_edit, commits_values_into_the_node_the_patch_and_the_table) {
  Load("# keep\nport: 80   # web\nname: 'John'\nratio: 1.5\non: true\n");
  Show();
  EXPECT_EQ(Edit(0, 1, u"81").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(Edit(1, 1, u"Ja\"ne\\ \u00E9").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(Edit(2, 1, u"2.25").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(Edit(3, 1, u"false").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(Edit(3, 1, u"false").Outcome, TCommitOutcome::Unchanged);
  EXPECT_EQ(patches_.BuildText(),
            "# keep\nport: 81   # web\nname: 'Ja\"ne\\ \xC3\xA9'\nratio: 2.25\non: false\n");
  EXPECT_EQ(Cell(0, 1), u"81");
  EXPECT_EQ(Cell(1, 1), u"Ja\"ne\\ \u00E9");
  EXPECT_EQ(static_cast<TJsonNumber*>(Member("port"))->AsInt64(), 81);
  // Editing the same value again replaces its patch.
  EXPECT_EQ(Edit(0, 1, u"82").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(patches_.Patches().size(), 4u);
}

TEST_F(cell_edit, refuses_texts_with_the_status_and_changes_nothing) {
  Load("port: 80\nratio: 1.5\non: true\nuse: *a\nbase: &a {x: 1}\n");
  Show();
  const std::string before = patches_.BuildText();
  struct TCase { int Row; std::u16string Text; std::u16string Status; };
  for (const TCase& c : std::vector<TCase>{
           {0, u"+1", u" INVALID NUMBER"},
           {0, u"2.5", u" INVALID VALUE"},
           {0, u"1e5", u" INVALID VALUE"},
           // Would load again as a string or as an integer, not as the float
           // the grid would show.
           {1, u"1e5", u" INVALID NUMBER"},
           {1, u"2", u" INVALID NUMBER"},
           {1, u"0x10", u" INVALID NUMBER"},
           {2, u"True", u" USE true OR false"},
           {3, u"new", u" This value is an alias of another value: edit the anchored value it stands for"},
       }) {
    const TCommitResult result = Edit(c.Row, 1, c.Text);
    EXPECT_EQ(result.Outcome, TCommitOutcome::Refused) << Utf16ToUtf8(c.Text);
    EXPECT_EQ(result.Status, c.Status) << Utf16ToUtf8(c.Text);
  }
  EXPECT_EQ(patches_.BuildText(), before);
  EXPECT_EQ(Cell(1, 1), u"1.5");
  EXPECT_EQ(static_cast<TJsonNumber*>(Member("port"))->AsInt64(), 80);
  EXPECT_EQ(Edit(1, 1, u"2.0e3").Outcome, TCommitOutcome::Accepted);
}

// A null takes any text as the value the text reads as; its node is
// replaced by one of the new kind, and the table stands for the new node.
TEST_F(cell_edit, fills_in_a_null_with_the_value_its_text_reads_as) {
  Load("password:\nport: ~\nflag: null\nnote: null  # later\nkeep: ~\nlist:\n  -\n");
  Show();
  struct TCase {
    int Row;
    std::u16string Text;
    int Kind;
  };
  for (const TCase& c : {TCase{0, u"s3cret", nkString}, TCase{1, u"8080", nkNumber}, TCase{2, u"true", nkBoolean},
                         TCase{3, u"a: b", nkString}, TCase{4, u"~", nkNull}}) {
    const TCommitResult result = Edit(c.Row, 1, c.Text);
    EXPECT_TRUE(result.Committed()) << Utf16ToUtf8(c.Text) << ": " << Utf16ToUtf8(result.Status);
    const TJsonData* node = core_.Table.RowNode(c.Row);
    EXPECT_EQ(NodeKind(node), c.Kind) << Utf16ToUtf8(c.Text);
    EXPECT_EQ(node->Parent(), doc_.Value.get());
    EXPECT_EQ(Cell(c.Row, 1), c.Kind == nkNull ? u"null" : c.Text);
  }
  EXPECT_EQ(static_cast<TJsonObject*>(doc_.Value.get())->Find("port"), core_.Table.RowNode(1));
  EXPECT_EQ(patches_.BuildText(),
            "password: s3cret\nport: 8080\nflag: true\nnote: \"a: b\"  # later\nkeep: ~\nlist:\n  -\n");
  // The filled-in value is edited as a value of its new kind from now on.
  EXPECT_EQ(Edit(1, 1, u"x").Status, u" INVALID NUMBER");
  EXPECT_EQ(Edit(1, 1, u"8081").Outcome, TCommitOutcome::Accepted);
  Show(0, Member("list"));
  EXPECT_EQ(Edit(0, 0, u"item").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(patches_.BuildText(),
            "password: s3cret\nport: 8081\nflag: true\nnote: \"a: b\"  # later\nkeep: ~\nlist:\n  - item\n");
}

TEST_F(cell_edit, refuses_an_edit_overlapping_a_patch_and_keeps_the_node) {
  Load("port: 80\n");
  Show();
  ASSERT_TRUE(patches_.AddPatch(4, 3, " 9"));  // a patch running into the value
  const TCommitResult result = Edit(0, 1, u"81");
  EXPECT_EQ(result.Status, u" OVERLAPPING EDIT");
  EXPECT_EQ(Cell(0, 1), u"80");
  EXPECT_EQ(static_cast<TJsonNumber*>(Member("port"))->AsInt64(), 80);
}

TEST_F(cell_edit, edits_the_toml_value_of_its_own_table_among_equal_lines) {
  Load("[a]\nenabled = true\n[b]\nenabled = true\nport = 80\n", TDocumentLanguage::Toml);
  Show(0, Member("a"));
  EXPECT_EQ(Edit(0, 1, u"false").Outcome, TCommitOutcome::Accepted);
  Show(0, Member("b"));
  EXPECT_EQ(Edit(1, 1, u"81").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(patches_.BuildText(), "[a]\nenabled = false\n[b]\nenabled = true\nport = 81\n");
}

TEST_F(cell_edit, renames_only_the_last_path_segment_keeping_the_member_in_place) {
  Load("server:\n  host: a\n  port: 80\nlist: [1]\n");
  Show(-1);
  ASSERT_EQ(Cell(1, 0), u"server.port");
  EXPECT_EQ(Edit(1, 0, u"other.web").Status, u"Only the final key may be renamed");
  EXPECT_EQ(Edit(1, 0, u"server.host").Status, u"Empty or duplicate key");
  EXPECT_EQ(Edit(1, 0, u"server.").Status, u"Empty or duplicate key");
  EXPECT_EQ(Edit(1, 0, u"server." + std::u16string(256, u'k')).Status, u"This key cannot be renamed safely");
  EXPECT_EQ(Edit(2, 0, u"list[5]").Status, u"This key cannot be renamed safely");  // an array element
  EXPECT_EQ(Edit(1, 0, u"server.port").Outcome, TCommitOutcome::Unchanged);
  EXPECT_EQ(Edit(1, 0, u"server.Host").Outcome, TCommitOutcome::Accepted);  // case differs from host
  EXPECT_EQ(Edit(1, 0, u"server.web port").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(patches_.BuildText(), "server:\n  host: a\n  web port: 80\nlist: [1]\n");
  EXPECT_EQ(patches_.Patches().size(), 1u);
  const auto* server = static_cast<TJsonObject*>(Member("server"));
  EXPECT_EQ(server->Name(1), "web port");
  EXPECT_EQ(Cell(1, 0), u"server.web port");
}

TEST_F(cell_edit, renames_a_toml_key_of_a_scalar_only) {
  Load("port = 80\n[t]\nx = 1\n", TDocumentLanguage::Toml);
  Show(-1);
  EXPECT_EQ(Edit(0, 0, u"web port").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(patches_.BuildText(), "\"web port\" = 80\n[t]\nx = 1\n");
  EXPECT_EQ(Edit(0, 0, u"web_port").Outcome, TCommitOutcome::Accepted);
  EXPECT_EQ(patches_.BuildText(), "web_port = 80\n[t]\nx = 1\n");
}

TEST(cell_edit_save, rebuilds_the_records_from_the_saved_bytes_and_reports_the_outcome) {
  test::TempDir dir;
  const std::string path = dir.File("a.yaml");
  test::WriteFileBytes(path, "a: 1\nb: [2]\n");
  TLoadedDocument doc;
  TLoadError error;
  ASSERT_TRUE(LoadDocument(Utf8ToUtf16(path), 0, doc, error));
  TSourcePatchDocument patches;
  patches.LoadFromBytes(Utf8ToUtf16(path), doc.Bytes);
  EXPECT_TRUE(doc.Bytes.SharesWith(patches.LoadedBytes()));  // one buffer, not a copy per owner
  auto* root = static_cast<TJsonObject*>(doc.Value.get());
  TJsonData* a = root->Find("a");
  ASSERT_TRUE(CommitKeyRename(doc, patches, a, u"a", u"alpha").Committed());
  ASSERT_TRUE(CommitValueEdit(doc, patches, a, u"10").Committed());
  TSaveResult saved = SaveEditedDocument(doc, patches);
  EXPECT_TRUE(saved.Saved);
  EXPECT_TRUE(saved.StructureRebuilt);
  EXPECT_EQ(saved.Status, u" SAVED");
  EXPECT_EQ(test::ReadFileBytes(path), "alpha: 10\nb: [2]\n");
  EXPECT_EQ(doc.Bytes, patches.LoadedBytes());
  EXPECT_TRUE(doc.Bytes.SharesWith(patches.LoadedBytes()));
  // Located in the saved bytes from now on: a second edit lands in them.
  ASSERT_TRUE(CommitValueEdit(doc, patches, a, u"11").Committed());
  EXPECT_EQ(patches.BuildText(), "alpha: 11\nb: [2]\n");
  test::WriteFileBytes(path, "changed elsewhere\n");
  saved = SaveEditedDocument(doc, patches);
  EXPECT_FALSE(saved.Saved);
  EXPECT_EQ(saved.Status, u" SAVE FAILED: Source file changed outside corvane");
  EXPECT_EQ(SaveFailureMessage(saved.Status), u"SAVE FAILED: Source file changed outside corvane");
  EXPECT_EQ(CloseSaveFailureMessage(saved.Status, u"C:\\a\\d.corvane-unsaved.yaml"),
            u"SAVE FAILED: Source file changed outside corvane\r\n\r\n"
            u"Your changes were written to \"C:\\a\\d.corvane-unsaved.yaml\".");
  EXPECT_EQ(CloseSaveFailureMessage(saved.Status, u""),
            u"SAVE FAILED: Source file changed outside corvane\r\n\r\n"
            u"Your changes could not be written anywhere and are lost.");
  EXPECT_EQ(test::ReadFileBytes(path), "changed elsewhere\n");
}

// What the grid shows after an edit is what a reload shows, also for a
// TOML string that has to be written with escapes.
TEST_F(cell_edit, a_toml_string_with_quotes_and_backslashes_reloads_as_typed) {
  Load("name = \"x\"\nlit = 'y'\n", TDocumentLanguage::Toml);
  Show();
  const std::u16string typed = u"a \"b\" back\\slash\tcaf\u00E9";
  ASSERT_EQ(Edit(0, 1, typed).Outcome, TCommitOutcome::Accepted);
  ASSERT_EQ(Edit(1, 1, typed).Outcome, TCommitOutcome::Accepted);
  Load(patches_.BuildText(), TDocumentLanguage::Toml);
  Show();
  EXPECT_EQ(Cell(0, 1), typed);
  EXPECT_EQ(Cell(1, 1), typed);
}

}  // namespace
}  // namespace corvane
