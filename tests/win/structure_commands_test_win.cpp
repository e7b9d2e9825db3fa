// The grid's structural commands in edit mode through the real viewer: a
// row deleted with the Delete key after its question, a row copied with
// "Insert row below" and its new cell edited, a column deleted from every
// row; saved, and the file compared with the expected text. The menu
// entries' states per view with the reason beside the grayed ones, and the
// refusals, which change nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

constexpr UINT kDeleteRow = 5013, kDeleteColumn = 5014, kInsertRow = 5015;

class StructureCommands : public ::testing::Test {
 protected:
  HWND OpenEditing(const std::string& name, const std::string& text) {
    path_ = dll_.Dir.File(name);
    WriteFileBytes(path_, text);
    HWND main = dll_.Open(path_);
    EXPECT_NE(main, nullptr);
    SetForegroundWindow(dll_.Parent());
    const TViewerControls v(main);
    TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
    SetFocus(v.Grid);
    PressKey(v.Grid, 'E', true);
    dll_.TakeOutsideLog();
    return main;
  }
  static void Click(const TViewerControls& v, int row, int column) {
    NMITEMACTIVATE click{};
    click.iItem = row;
    click.iSubItem = column;
    Notify(v.Main, v.Grid, NM_CLICK, &click.hdr);
    SetFocus(v.Grid);
  }
  static std::vector<std::wstring> Column(const TViewerControls& v, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < ItemCount(v.Grid); ++row) texts.push_back(CellText(v.Grid, row, column));
    return texts;
  }
  static std::wstring EditStatus(const TViewerControls& v) { return StatusText(v.Status, 6); }
  void Save(const TViewerControls& v) {
    PressKey(v.Grid, 'S', true);
    EXPECT_EQ(EditStatus(v), L" SAVED");
  }
  // The three entries of a context menu opened from the keyboard, grayed
  // or not, and the status text beside them.
  struct TStates {
    bool InsertRow, DeleteRow, DeleteColumn;
    std::wstring Status;
  };
  static TStates MenuStates(const TViewerControls& v) {
    const TMenuSeen seen = CaptureMenu([&] { SendMessageW(v.Grid, WM_CONTEXTMENU, WPARAM(v.Grid), -1); });
    EXPECT_TRUE(seen.Opened);
    return {!seen.Find(kInsertRow)->Grayed, !seen.Find(kDeleteRow)->Grayed, !seen.Find(kDeleteColumn)->Grayed,
            StatusText(v.Status, 6)};
  }

  TPluginDll dll_;
  std::string path_;
};

TEST_F(StructureCommands, the_delete_key_removes_a_row_after_its_question_and_the_save_keeps_every_other_byte) {
  const std::string text = "# services\nweb: nginx\n# the cache\ncache:\n  image: redis # pinned\n  port: 6379\ndb: postgres\n";
  HWND main = OpenEditing("doc.yaml", text);
  const TViewerControls v(main);
  ASSERT_EQ(Column(v, 0), (std::vector<std::wstring>{L"web", L"cache", L"db"}));
  Click(v, 1, 1);
  // No keeps the row.
  auto boxes = AnswerMessageBoxes([&] { PressKey(v.Grid, VK_DELETE); }, {AnswerWith(IDNO)});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, L"corvane");
  EXPECT_EQ(boxes[0].Text, L"Delete \"$.cache\"?");
  EXPECT_EQ(ItemCount(v.Grid), 3);
  EXPECT_EQ(dll_.PendingPatches(main), "");
  EXPECT_EQ(GetFocus(), v.Grid);
  boxes = AnswerMessageBoxes([&] { PressKey(v.Grid, VK_DELETE); }, {AnswerWith(IDYES)});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(Column(v, 0), (std::vector<std::wstring>{L"web", L"db"}));
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});  // the neighbour
  EXPECT_EQ(EditStatus(v), L" EDIT MODE *");
  EXPECT_EQ(TreeChildTexts(v.Tree, TreeRoot(v.Tree)), (std::vector<std::wstring>{L"web", L"db"}));
  EXPECT_EQ(ReadFileBytes(path_), text);
  Save(v);
  EXPECT_EQ(ReadFileBytes(path_), "# services\nweb: nginx\n# the cache\ndb: postgres\n");
  dll_.Close(main);
}

TEST_F(StructureCommands, insert_row_below_copies_the_entry_and_opens_the_editor_on_its_new_cell) {
  HWND main = OpenEditing("Cargo.toml", "[dependencies]\nserde = \"1.0\"\ntokio = { version = \"1\" }\n");
  const TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, TreeRoot(v.Tree), 0));
  ASSERT_EQ(Column(v, 0), (std::vector<std::wstring>{L"serde", L"tokio"}));
  Click(v, 0, 0);
  SendMessageW(main, WM_COMMAND, kInsertRow, 0);
  EXPECT_EQ(Column(v, 0), (std::vector<std::wstring>{L"serde", L"serde2", L"tokio"}));
  HWND box = GetDlgItem(v.Grid, 106);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowTextOf(box), L"1.0");
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  SetWindowTextW(box, L"1.1");
  PressKey(box, VK_RETURN);
  EXPECT_EQ(Column(v, 1), (std::vector<std::wstring>{L"1.0", L"1.1", L"[Object]"}));
  Save(v);
  EXPECT_EQ(ReadFileBytes(path_),
            "[dependencies]\nserde = \"1.0\"\nserde2 = \"1.1\"\ntokio = { version = \"1\" }\n");
  dll_.Close(main);
}

TEST_F(StructureCommands, delete_column_removes_the_member_from_every_row_in_one_change) {
  const std::string text = "- {name: a, port: 1}\n- {name: b, port: 2, tag: x}\n- name: c\n  port: 3\n- name: d\n";
  HWND main = OpenEditing("doc.yaml", text);
  const TViewerControls v(main);
  ASSERT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"name", L"port", L"tag"}));
  Click(v, 0, 1);
  const auto boxes = AnswerMessageBoxes([&] { SendMessageW(main, WM_COMMAND, kDeleteColumn, 0); }, {AnswerWith(IDYES)});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, L"Delete \"port\" from every row?");
  EXPECT_EQ(HeaderTexts(v.Grid), (std::vector<std::wstring>{L"name", L"tag"}));
  const std::string pending = dll_.PendingPatches(main);
  EXPECT_EQ(std::count(pending.begin(), pending.end(), '\n'), 3) << pending;  // three spans, one change
  Save(v);
  EXPECT_EQ(ReadFileBytes(path_), "- {name: a}\n- {name: b, tag: x}\n- name: c\n- name: d\n");
  dll_.Close(main);
}

TEST_F(StructureCommands, menu_entries_are_enabled_where_they_apply_and_say_why_not) {
  HWND main = OpenEditing("doc.yaml", "list:\n  - {a: 1}\n  - {a: 2}\nname: x\n");
  const TViewerControls v(main);
  // An object's table: rows are entries, its columns are no members.
  Click(v, 1, 1);
  TStates s = MenuStates(v);
  EXPECT_TRUE(s.InsertRow && s.DeleteRow);
  EXPECT_FALSE(s.DeleteColumn);
  EXPECT_EQ(s.Status, L" Only a column of the members of an array's objects can be deleted");
  // An array of objects: all three.
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, TreeRoot(v.Tree), 0));
  Click(v, 0, 0);
  s = MenuStates(v);
  EXPECT_TRUE(s.InsertRow && s.DeleteRow && s.DeleteColumn);
  // The Path/Value listing: rows (leaves), no column.
  SendMessageW(main, WM_COMMAND, 5020, 0);
  PressKey(v.Grid, VK_DOWN);
  s = MenuStates(v);
  EXPECT_TRUE(s.InsertRow && s.DeleteRow);
  EXPECT_FALSE(s.DeleteColumn);
  // Outside edit mode all three are grayed; the keys and commands refuse
  // with a beep and the reason.
  PressKey(v.Grid, 'E', true);
  s = MenuStates(v);
  EXPECT_FALSE(s.InsertRow || s.DeleteRow || s.DeleteColumn);
  dll_.TakeOutsideLog();
  for (UINT id : {kDeleteRow, kDeleteColumn, kInsertRow}) {
    SendMessageW(main, WM_COMMAND, id, 0);
    EXPECT_EQ(EditStatus(v), L" Switch edit mode on (Ctrl+E) to add or delete entries");
    EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 48\n");
  }
  EXPECT_EQ(dll_.PendingPatches(main), "");
  dll_.Close(main);
}

TEST_F(StructureCommands, refusals_beep_name_the_reason_and_change_nothing) {
  const std::string text = "base: &b {x: 1}\nuse: *b\n---\nother: 1\n";
  HWND main = OpenEditing("doc.yaml", text);
  const TViewerControls v(main);
  // The root lists the two documents: a whole document is no entry.
  Click(v, 0, 0);
  SendMessageW(main, WM_COMMAND, kInsertRow, 0);
  EXPECT_EQ(EditStatus(v), L" A whole document cannot be removed or copied");
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 48\n");
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, TreeRoot(v.Tree), 0));
  Click(v, 0, 0);
  AnswerMessageBoxes([&] { SendMessageW(main, WM_COMMAND, kDeleteRow, 0); }, {AnswerWith(IDYES)});
  EXPECT_EQ(EditStatus(v), L" An alias elsewhere uses an anchor defined in this entry");
  SendMessageW(main, WM_COMMAND, kInsertRow, 0);
  EXPECT_EQ(EditStatus(v), L" This entry defines an anchor, which a copy would define a second time");
  EXPECT_EQ(Column(v, 0), (std::vector<std::wstring>{L"base", L"use"}));
  EXPECT_EQ(dll_.PendingPatches(main), "");
  EXPECT_EQ(AnswerMessageBoxes([&] { dll_.Close(main); }, {}).size(), 0u);  // nothing to save
  EXPECT_EQ(ReadFileBytes(path_), text);
}

}  // namespace
}  // namespace corvane::test
