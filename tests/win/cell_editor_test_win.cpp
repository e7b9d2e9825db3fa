// Edit mode through the real cell editor: values and keys edited in the
// grid, saved, and read back by a new viewer; the refusals and their status
// texts; the question on close; the editor's focus rules; and closes that
// arrive while a menu or message box of the viewer is open.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

enum TKind { kFont, kBrush, kPen, kBitmap, kMenu, kTimer, kSubclass, kWindow, kUserData, kViewer };

class CellEditor : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dll_.Dir.File(name);
    WriteFileBytes(path, text);
    return path;
  }
  std::string CopyCorpus(const std::string& name) {
    return Write(name, ReadFileBytes(SourceDir() + "/tests/editing/corpus/" + name));
  }
  HWND Open(const std::string& path) {
    HWND main = dll_.Open(path);
    EXPECT_NE(main, nullptr) << path;
    SetForegroundWindow(dll_.Parent());
    dll_.TakeOutsideLog();
    return main;
  }
  static void ShowRoot(const TViewerControls& v) { TreeView_SelectItem(v.Tree, TreeRoot(v.Tree)); }
  static void EditModeOn(const TViewerControls& v) {
    SetFocus(v.Grid);
    PressKey(v.Grid, 'E', true);
  }
  // Opens path showing the root's table, in edit mode.
  HWND OpenEditing(const std::string& path) {
    HWND main = Open(path);
    const TViewerControls v(main);
    ShowRoot(v);
    EditModeOn(v);
    return main;
  }
  static HWND OpenEditor(const TViewerControls& v, int row, int column) { return OpenCellEditor(v, row, column); }
  static void TypeAndEnter(HWND box, const std::wstring& text) {
    SetWindowTextW(box, text.c_str());
    PressKey(box, VK_RETURN);
  }
  static std::wstring BoxText(HWND box) { return WindowTextOf(box); }
  static int RowOf(const TViewerControls& v, int column, const std::wstring& text) {
    for (int row = 0; row < ItemCount(v.Grid); ++row)
      if (CellText(v.Grid, row, column) == text) return row;
    return -1;
  }
  // Edits the Value cell of the row whose column 0 is name.
  void EditValue(const TViewerControls& v, const std::wstring& name, const std::wstring& text) {
    const int row = RowOf(v, 0, name);
    ASSERT_GE(row, 0) << Utf8(name);
    HWND box = OpenEditor(v, row, 1);
    ASSERT_NE(box, nullptr) << Utf8(name);
    TypeAndEnter(box, text);
  }
  static std::wstring EditStatus(const TViewerControls& v) { return StatusText(v.Status, 6); }
  // The root's child entry labelled name, expanded; nullptr when none.
  static HTREEITEM ExpandTopEntry(const TViewerControls& v, const std::wstring& name) {
    HTREEITEM entry = TreeChild(v.Tree, TreeRoot(v.Tree), 0);
    while (entry && TreeItemText(v.Tree, entry) != name) entry = TreeView_GetNextSibling(v.Tree, entry);
    if (entry) TreeView_Expand(v.Tree, entry, TVE_EXPAND);
    return entry;
  }
  // The original with one fragment replaced: what a save of exactly one
  // edit must leave in the file.
  static std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  }

  TPluginDll dll_;
};

TEST_F(CellEditor, edits_a_value_saves_exactly_its_span_and_a_new_viewer_shows_it) {
  const std::string path = CopyCorpus("service.toml");
  const std::string original = ReadFileBytes(path);
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  EXPECT_EQ(EditStatus(v), L" EDIT MODE");
  const int row = RowOf(v, 0, L"max_connections");
  HWND box = OpenEditor(v, row, 1);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"512");
  EXPECT_EQ(GetFocus(), box);
  EXPECT_EQ(EditStatus(v), L" EDITING");
  TypeAndEnter(box, L"1024");
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(GetFocus(), v.Grid);
  EXPECT_EQ(CellText(v.Grid, row, 1), L"1024");
  EXPECT_EQ(EditStatus(v), L" EDIT MODE *");
  EXPECT_EQ(ReadFileBytes(path), original);  // nothing written before the save
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(EditStatus(v), L" SAVED");
  EXPECT_EQ(ReadFileBytes(path), Replaced(original, "max_connections = 512", "max_connections = 1024"));
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(EditStatus(v), L" NO CHANGES");
  dll_.Close(main);

  main = Open(path);
  TViewerControls again(main);
  ShowRoot(again);
  EXPECT_EQ(CellText(again.Grid, RowOf(again, 0, L"max_connections"), 1), L"1024");
  dll_.Close(main);
}

TEST_F(CellEditor, a_string_keeps_quotes_backslashes_and_non_ascii_text_through_a_reload) {
  const std::string path = CopyCorpus("flow-and-quoting.yaml");
  const std::string original = ReadFileBytes(path);
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  const std::wstring typed = L"say \"hi\" \\ caf\u00E9 \u65E5";
  EditValue(v, L"colon", typed);
  EXPECT_EQ(CellText(v.Grid, RowOf(v, 0, L"colon"), 1), typed);
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(ReadFileBytes(path),
            Replaced(original, "colon: \"a: b\"", "colon: \"say \\\"hi\\\" \\\\ caf\xC3\xA9 \xE6\x97\xA5\""));
  dll_.Close(main);
  main = Open(path);
  TViewerControls again(main);
  ShowRoot(again);
  EXPECT_EQ(CellText(again.Grid, RowOf(again, 0, L"colon"), 1), typed);
  dll_.Close(main);
}

TEST_F(CellEditor, refusals_keep_the_editor_open_with_the_reason_and_escape_drops_the_text) {
  const std::string path = Write("doc.yaml",
                                 "folded: >-\n  one line\nscript: |\n  echo 1\n  echo 2\nratio: 1.5\n"
                                 "count: 3\nlist: [1]\nlong: \"" + std::string(5000, 'x') + "\"\n" +
                                 "base: &b 80\nport: *b\nnul: \"a\\0b\"\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  // A block scalar cannot hold a line separator without escapes.
  EditValue(v, L"folded", L"two\u2028words");
  HWND box = GetDlgItem(v.Grid, 106);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(EditStatus(v), L" This value cannot be edited without changing its syntax");
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 48\n");
  EXPECT_EQ(GetFocus(), box);
  PressKey(box, VK_ESCAPE);
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(CellText(v.Grid, RowOf(v, 0, L"folded"), 1), L"one line");
  EXPECT_EQ(EditStatus(v), L" EDIT MODE");
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");  // Escape went to the editor, not to the host
  EditValue(v, L"folded", L"two words");
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(CellText(v.Grid, RowOf(v, 0, L"folded"), 1), L"two words");

  // Numbers that would load again as something else.
  EditValue(v, L"ratio", L"1e5");
  EXPECT_EQ(EditStatus(v), L" INVALID NUMBER");
  TypeAndEnter(GetDlgItem(v.Grid, 106), L"2");
  EXPECT_EQ(EditStatus(v), L" INVALID NUMBER");
  TypeAndEnter(GetDlgItem(v.Grid, 106), L"2.0");
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EditValue(v, L"count", L"2.5");
  EXPECT_EQ(EditStatus(v), L" INVALID VALUE");
  PressKey(GetDlgItem(v.Grid, 106), VK_ESCAPE);
  dll_.TakeOutsideLog();

  // Enter on a value the editor cannot take says why before any box opens:
  // a text the single-line box cannot hold unchanged, an alias; a container
  // is no value.
  const std::pair<const wchar_t*, const wchar_t*> unopened[] = {
      {L"script", L" This text has line breaks; the cell editor holds one line"},
      {L"long", L" This text is longer than the 4095 characters the cell editor holds"},
      {L"nul", L" This text holds a NUL character, which the cell editor cannot hold"},
      {L"port", L" This value is an alias of another value: edit the anchored value it stands for"},
      {L"list", L" READ ONLY"},
  };
  for (const auto& [name, reason] : unopened) {
    EXPECT_EQ(OpenEditor(v, RowOf(v, 0, name), 1), nullptr) << Utf8(name);
    EXPECT_EQ(EditStatus(v), reason);
    EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 48\n");
  }
  // Delete row asks first, and No keeps the row; an object's table has no
  // member column to delete.
  EXPECT_EQ(AnswerMessageBoxes([&] { SendMessageW(main, WM_COMMAND, 5013, 0); }, {AnswerWith(IDNO)}).size(), 1u);
  SendMessageW(main, WM_COMMAND, 5014, 0);
  EXPECT_EQ(EditStatus(v), L" Only a column of the members of an array's objects can be deleted");
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 48\n");
  EXPECT_EQ(ItemCount(v.Grid), 9);
  // The accepted 2.0 is still unsaved: the close asks.
  EXPECT_EQ(AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDNO)}).size(), 1u);
}

TEST_F(CellEditor, a_toml_value_among_equal_lines_changes_in_its_own_table) {
  const std::string path = Write("doc.toml", "[a]\nenabled = true\n[b]\nenabled = true\n");
  HWND main = Open(path);
  TViewerControls v(main);
  TreeView_SelectItem(v.Tree, TreeChild(v.Tree, TreeRoot(v.Tree), 1));
  EditModeOn(v);
  EditValue(v, L"enabled", L"false");
  EXPECT_EQ(EditStatus(v), L" EDIT MODE *");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(ReadFileBytes(path), "[a]\nenabled = true\n[b]\nenabled = false\n");
  dll_.Close(main);
}

TEST_F(CellEditor, renames_a_key_in_the_path_value_view_and_saves_it) {
  const std::string path = CopyCorpus("service.toml");
  const std::string original = ReadFileBytes(path);
  HWND main = Open(path);
  TViewerControls v(main);
  HTREEITEM server = ExpandTopEntry(v, L"server");
  ASSERT_NE(server, nullptr);
  SendMessageW(main, WM_COMMAND, 5020, 0);  // flat level -1: Path / Value
  EditModeOn(v);
  const int row = RowOf(v, 0, L"server.port");
  HWND box = OpenEditor(v, row, 0);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"server.port");
  TypeAndEnter(box, L"other.port");
  EXPECT_EQ(EditStatus(v), L"Only the final key may be renamed");
  TypeAndEnter(GetDlgItem(v.Grid, 106), L"server.host");
  EXPECT_EQ(EditStatus(v), L"Empty or duplicate key");
  TypeAndEnter(GetDlgItem(v.Grid, 106), L"server.web port");
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(CellText(v.Grid, row, 0), L"server.web port");
  EXPECT_EQ(TreeChildTexts(v.Tree, server)[1], L"web port");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(ReadFileBytes(path), Replaced(original, "port = 8080", "\"web port\" = 8080"));
  dll_.Close(main);
  main = Open(path);
  TViewerControls again(main);
  EXPECT_NE(RowOf(again, 0, L"server.web port"), -1);  // the view level was kept
  dll_.Close(main);
}

// An empty Helm value filled in: the null's node is replaced by a string
// node, which the grid, the tree entry and the status bar show from then on;
// the saved file differs only by the text after "password: ".
TEST_F(CellEditor, fills_in_an_empty_helm_value_and_saves_only_the_new_text) {
  const std::string path = CopyCorpus("helm-chart-values.yaml");
  const std::string original = ReadFileBytes(path);
  HWND main = Open(path);
  TViewerControls v(main);
  HTREEITEM auth = ExpandTopEntry(v, L"auth");
  ASSERT_NE(auth, nullptr);
  TreeView_SelectItem(v.Tree, auth);
  EditModeOn(v);
  const int row = RowOf(v, 0, L"password");
  HWND box = OpenEditor(v, row, 1);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"null");
  TypeAndEnter(box, L"s3cr3t pass");
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr) << Utf8(EditStatus(v));
  EXPECT_EQ(CellText(v.Grid, row, 1), L"s3cr3t pass");
  EXPECT_EQ(EditStatus(v), L" EDIT MODE *");
  // The tree entry stands for the new node: selecting it shows the string.
  HTREEITEM password = TreeChild(v.Tree, auth, row);
  ASSERT_EQ(TreeItemText(v.Tree, password), L"password");
  TreeView_SelectItem(v.Tree, password);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"s3cr3t pass");
  EXPECT_EQ(StatusText(v.Status, 2), L" STRING");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(EditStatus(v), L" SAVED");
  EXPECT_EQ(ReadFileBytes(path),
            Replaced(original, "  username:\n  password:\n", "  username:\n  password: s3cr3t pass\n"));
  dll_.Close(main);
}

TEST_F(CellEditor, editing_a_value_again_replaces_its_earlier_edit) {
  const std::string path = Write("doc.yaml", "a: 1\nb: 2\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  EditValue(v, L"a", L"10");
  EditValue(v, L"b", L"20");
  EditValue(v, L"a", L"1000");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(ReadFileBytes(path), "a: 1000\nb: 20\n");
  dll_.Close(main);
}

TEST_F(CellEditor, a_save_after_the_file_changed_on_disk_fails_and_leaves_it) {
  const std::string path = Write("doc.yaml", "a: 1\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  EditValue(v, L"a", L"2");
  WriteFileBytes(path, "a: 7\n");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(EditStatus(v), L" SAVE FAILED: Source file changed outside corvane");
  EXPECT_EQ(dll_.TakeOutsideLog(), L"beep 16\n");
  EXPECT_EQ(ReadFileBytes(path), "a: 7\n");
  EXPECT_EQ(dll_.Dir.Names(), (std::vector<std::string>{"doc.yaml", "lsplugin.ini"}));
  // Still modified: the close asks, and the save fails again.
  const auto boxes =
      AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDYES), AnswerWith(IDOK)});
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Caption, L"corvane");
  EXPECT_EQ(boxes[0].Text, L"Save changes to \"doc.yaml\" before closing?");
  EXPECT_EQ(boxes[1].Caption, L"corvane");
  // The window closes anyway: the edited text is kept beside the file.
  const std::string kept = dll_.Dir.File("doc.corvane-unsaved.yaml");
  EXPECT_EQ(boxes[1].Text, L"SAVE FAILED: Source file changed outside corvane\r\n\r\n"
                           L"Your changes were written to \"" + WinPath(kept) + L"\".");
  EXPECT_EQ(ReadFileBytes(path), "a: 7\n");
  EXPECT_EQ(ReadFileBytes(kept), "a: 2\n");
  EXPECT_EQ(dll_.LiveTotal(), 0);
}

// The other ways the save at close can fail keep the edits too: a file
// made read-only meanwhile (the copy goes beside it), a folder that is gone
// (the copy goes to the temporary folder).
TEST_F(CellEditor, a_failed_save_at_close_keeps_the_edits_in_a_copy_it_names) {
  const std::string path = Write("doc.yaml", "a: 1\n");
  HWND main = OpenEditing(path);
  EditValue(TViewerControls(main), L"a", L"2");
  SetFileAttributesW(WinPath(path).c_str(), FILE_ATTRIBUTE_READONLY);
  auto boxes = AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDYES), AnswerWith(IDOK)});
  ASSERT_EQ(boxes.size(), 2u);
  const std::string beside = dll_.Dir.File("doc.corvane-unsaved.yaml");
  EXPECT_EQ(boxes[1].Text, L"SAVE FAILED: Source file is read-only\r\n\r\nYour changes were written to \"" +
                               WinPath(beside) + L"\".");
  EXPECT_EQ(ReadFileBytes(beside), "a: 2\n");
  SetFileAttributesW(WinPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);

  // Changed on disk meanwhile: the file keeps the other program's text, the
  // edits go to the next free name.
  main = OpenEditing(path);
  EditValue(TViewerControls(main), L"a", L"4");
  WriteFileBytes(path, "a: 9\n");
  boxes = AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDYES), AnswerWith(IDOK)});
  ASSERT_EQ(boxes.size(), 2u);
  const std::string second = dll_.Dir.File("doc.corvane-unsaved-2.yaml");
  EXPECT_EQ(boxes[1].Text, L"SAVE FAILED: Source file changed outside corvane\r\n\r\nYour changes were written to \"" +
                               WinPath(second) + L"\".");
  EXPECT_EQ(ReadFileBytes(second), "a: 4\n");
  EXPECT_EQ(ReadFileBytes(path), "a: 9\n");

  const std::string folder = dll_.Dir.Folder("gone");
  const std::string inside = folder + "/values-gone-test.yaml";
  WriteFileBytes(inside, "a: 1\n");
  main = OpenEditing(inside);
  EditValue(TViewerControls(main), L"a", L"3");
  ASSERT_TRUE(DeleteFileW(WinPath(inside).c_str()));
  ASSERT_TRUE(RemoveDirectoryW(WinPath(folder).c_str()));
  boxes = AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDYES), AnswerWith(IDOK)});
  ASSERT_EQ(boxes.size(), 2u);
  wchar_t temporary[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temporary);
  const std::wstring prefix = L"SAVE FAILED: Cannot reread source file\r\n\r\nYour changes were written to \"" +
                              std::wstring(temporary) + L"values-gone-test.corvane-unsaved";
  EXPECT_EQ(boxes[1].Text.substr(0, prefix.size()), prefix);
  const size_t open = boxes[1].Text.find(L'"') + 1;
  const std::wstring copy = boxes[1].Text.substr(open, boxes[1].Text.rfind(L'"') - open);
  EXPECT_EQ(ReadFileBytes(Utf8(copy)), "a: 3\n");
  DeleteFileW(copy.c_str());
  EXPECT_EQ(dll_.LiveTotal(), 0);
}

TEST_F(CellEditor, a_read_only_file_is_refused_before_anything_is_written) {
  const std::string path = Write("doc.yaml", "a: 1\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  EditValue(v, L"a", L"2");
  SetFileAttributesW(WinPath(path).c_str(), FILE_ATTRIBUTE_READONLY);
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(EditStatus(v), L" SAVE FAILED: Source file is read-only");
  EXPECT_EQ(ReadFileBytes(path), "a: 1\n");
  SetFileAttributesW(WinPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(EditStatus(v), L" SAVED");
  EXPECT_EQ(ReadFileBytes(path), "a: 2\n");
  dll_.Close(main);
}

TEST_F(CellEditor, closing_asks_and_yes_saves_while_no_leaves_the_file) {
  for (int answer : {IDYES, IDNO}) {
    const std::string path = Write("doc.yaml", "name: old\n");
    HWND main = OpenEditing(path);
    TViewerControls v(main);
    EditValue(v, L"name", L"new");
    const auto boxes = AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(answer)});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, L"Save changes to \"doc.yaml\" before closing?");
    EXPECT_EQ(ReadFileBytes(path), answer == IDYES ? "name: new\n" : "name: old\n");
    EXPECT_EQ(dll_.LiveTotal(), 0);
    EXPECT_FALSE(IsWindow(main));
  }
}

TEST_F(CellEditor, a_refused_edit_open_at_close_is_dropped_before_the_question) {
  const std::string path = Write("doc.yaml", "a: 1\nb: 2\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  EditValue(v, L"a", L"5");
  EditValue(v, L"b", L"not a number");
  ASSERT_NE(GetDlgItem(v.Grid, 106), nullptr);
  const auto boxes = AnswerMessageBoxes([&] { dll_.Close(main); }, {AnswerWith(IDYES)});
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(ReadFileBytes(path), "a: 5\nb: 2\n");
  // Nothing accepted: no question at all.
  main = OpenEditing(path);
  TViewerControls w(main);
  EditValue(w, L"a", L"x");
  EXPECT_TRUE(AnswerMessageBoxes([&] { dll_.Close(main); }, {}).empty());
  EXPECT_EQ(dll_.LiveTotal(), 0);
}

TEST_F(CellEditor, an_open_edit_is_committed_to_its_own_node_before_rows_move) {
  const std::string path = Write("doc.yaml", "- {n: b, v: 1}\n- {n: a, v: 2}\n- {n: c, v: 3}\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  HWND box = OpenEditor(v, 0, 1);  // v of the row n: b
  ASSERT_NE(box, nullptr);
  SetWindowTextW(box, L"10");
  PressKey(box, '1', true);  // Ctrl+1 sorts by n: the edit ends first
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"a");
  EXPECT_EQ(CellText(v.Grid, 1, 1), L"10");  // row b, now second
  // A refused text is dropped when the rows move.
  box = OpenEditor(v, 0, 1);
  SetWindowTextW(box, L"x");
  PressKey(box, '1', true);
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(CellText(v.Grid, 2, 1), L"2");  // row a, now last
  // The filter pass ends an open edit too.
  box = OpenEditor(v, 0, 1);
  SetWindowTextW(box, L"30");
  HWND filter = GetDlgItem(v.Tab, 1000);
  SetWindowTextW(filter, L"c");
  SendMessageW(main, WM_TIMER, 1, 0);
  EXPECT_EQ(GetDlgItem(v.Grid, 106), nullptr);
  EXPECT_EQ(ItemCount(v.Grid), 1);
  EXPECT_EQ(CellText(v.Grid, 0, 0), L"c");
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(ReadFileBytes(path), "- {n: b, v: 10}\n- {n: a, v: 2}\n- {n: c, v: 30}\n");
  dll_.Close(main);
}

TEST_F(CellEditor, a_refused_edit_takes_the_focus_back_only_inside_its_viewer) {
  const std::string path = Write("doc.yaml", "a: 1\nb: 2\n");
  HWND main = OpenEditing(path);
  TViewerControls v(main);
  HWND box = OpenEditor(v, 0, 1);
  SetWindowTextW(box, L"x");
  SetFocus(v.Tree);  // the focus goes to another pane: refused, then taken back
  EXPECT_EQ(StatusText(v.Status, 6), L" INVALID NUMBER");
  EXPECT_EQ(GetFocus(), v.Tree);  // not inside the focus change
  PumpMessages();
  EXPECT_EQ(GetFocus(), box);

  // A second viewer with a refused edit of its own: the focus goes where the
  // user puts it and stays.
  HWND other = OpenEditing(Write("other.yaml", "c: 3\n"));
  TViewerControls o(other);
  HWND otherBox = OpenEditor(o, 0, 1);
  SetWindowTextW(otherBox, L"y");
  SetFocus(box);
  PumpMessages(100);
  EXPECT_EQ(GetFocus(), box);
  SetFocus(otherBox);
  PumpMessages(100);
  EXPECT_EQ(GetFocus(), otherBox);
  SetFocus(o.Grid);  // inside its own viewer: back to its box
  PumpMessages();
  EXPECT_EQ(GetFocus(), otherBox);
  dll_.Close(other);
  dll_.Close(main);
  EXPECT_EQ(dll_.LiveTotal(), 0);
}

TEST_F(CellEditor, a_close_from_inside_a_menu_or_message_box_waits_for_its_loop) {
  const std::string path = Write("doc.yaml", "a: 1\n");
  HWND main = Open(path);
  TViewerControls v(main);
  int viewersInside = -1;
  // The context menu: the close ends it, and the viewer goes after its loop.
  EXPECT_TRUE(InsideMenu([&] { SendMessageW(main, WM_CONTEXTMENU, WPARAM(v.Grid), -1); },
                         [&] {
                           dll_.Close(main);
                           viewersInside = dll_.LiveCount(kViewer);
                         }));
  EXPECT_EQ(viewersInside, 1);
  EXPECT_EQ(dll_.LiveTotal(), 0);
  EXPECT_FALSE(IsWindow(main));

  // The flat-level popup: the host destroys the window instead.
  main = Open(path);
  TViewerControls w(main);
  NMMOUSE click{};
  click.dwItemSpec = 3;
  EXPECT_TRUE(InsideMenu([&] { Notify(main, w.Status, NM_CLICK, &click.hdr); },
                         [&] {
                           DestroyWindow(main);
                           viewersInside = dll_.LiveCount(kViewer);
                         }));
  EXPECT_EQ(viewersInside, 1);
  EXPECT_EQ(dll_.LiveTotal(), 0);

  // The question on close: the close asked again from inside its loop does
  // nothing, and the answer still saves.
  main = OpenEditing(path);
  TViewerControls x(main);
  EditValue(x, L"a", L"2");
  const auto boxes = AnswerMessageBoxes([&] { dll_.Close(main); }, {[&](HWND box) {
                                                               dll_.Close(main);
                                                               viewersInside = dll_.LiveCount(kViewer);
                                                               AnswerWith(IDYES)(box);
                                                             }});
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(viewersInside, 1);
  EXPECT_EQ(ReadFileBytes(path), "a: 2\n");
  EXPECT_EQ(dll_.LiveTotal(), 0);
  EXPECT_EQ(CountChildren(dll_.Parent()), 0);
}

}  // namespace
}  // namespace corvane::test
