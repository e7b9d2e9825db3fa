// The decisions the Win32 panes ask the core for: the keyboard map, the
// cell-cursor moves, the context menu's entries and states, the layout
// rectangles and the tree pane's rules.
#include <gtest/gtest.h>

#include "uTreeRules.h"
#include "uViewerCommands.h"
#include "uViewerKeys.h"
#include "uViewerLayout.h"
#include "viewer_core_support.h"

namespace corvane {
namespace {

TKeyContext Key(int key, TFocusPane focus, bool ctrl = false, bool shift = false) {
  TKeyContext context;
  context.Press = {key, ctrl, shift, focus};
  return context;
}

TEST(viewer_keys, first_matching_rule_wins) {
  EXPECT_EQ(DecideViewerKey(Key(vk::kTab, TFocusPane::Grid, true)), TKeyAction::FocusCycle);
  EXPECT_EQ(DecideViewerKey(Key(vk::kTab, TFocusPane::Grid)), TKeyAction::NotHandled);
  // C in the grid: Ctrl copies the column, Shift the rows; outside the grid
  // or without a modifier it is an ordinary key.
  EXPECT_EQ(DecideViewerKey(Key(vk::kC, TFocusPane::Grid, true, true)), TKeyAction::CopyColumn);
  EXPECT_EQ(DecideViewerKey(Key(vk::kC, TFocusPane::Grid, false, true)), TKeyAction::CopyRows);
  EXPECT_EQ(DecideViewerKey(Key(vk::kC, TFocusPane::Grid)), TKeyAction::NotHandled);
  EXPECT_EQ(DecideViewerKey(Key(vk::kC, TFocusPane::Tree, false, true)), TKeyAction::NotHandled);
  TKeyContext plainC = Key(vk::kC, TFocusPane::Grid);
  plainC.Settings.CopyColumn = true;
  plainC.SelectedRows = 2;
  EXPECT_EQ(DecideViewerKey(plainC), TKeyAction::CopyColumn);
  plainC.SelectedRows = 1;
  EXPECT_EQ(DecideViewerKey(plainC), TKeyAction::NotHandled);

  EXPECT_EQ(DecideViewerKey(Key(vk::kR, TFocusPane::Tree, true)), TKeyAction::ToggleEditMode);
  EXPECT_EQ(DecideViewerKey(Key(vk::kS, TFocusPane::Text, true)), TKeyAction::SaveChanges);
  EXPECT_EQ(DecideViewerKey(Key(vk::kSpace, TFocusPane::Grid, true)), TKeyAction::ShowAllColumns);
  TKeyContext enter = Key(vk::kReturn, TFocusPane::Grid);
  EXPECT_EQ(DecideViewerKey(enter), TKeyAction::NotHandled);
  enter.EditMode = enter.CellValid = true;
  EXPECT_EQ(DecideViewerKey(enter), TKeyAction::BeginCellEdit);
  enter.Press.Focus = TFocusPane::Tree;
  EXPECT_EQ(DecideViewerKey(enter), TKeyAction::NotHandled);
  EXPECT_EQ(DecideViewerKey(Key(vk::kUp, TFocusPane::Tree)), TKeyAction::MoveCursor);
  // Shift+Up and Shift+Down in the grid are the list view's: they extend
  // the selection.
  EXPECT_EQ(DecideViewerKey(Key(vk::kDown, TFocusPane::Grid, false, true)), TKeyAction::NotHandled);
  EXPECT_EQ(DecideViewerKey(Key(vk::kDown, TFocusPane::Grid, true, true)), TKeyAction::MoveCursor);
  EXPECT_EQ(DecideViewerKey(Key(vk::kLeft, TFocusPane::Grid, false, true)), TKeyAction::MoveCursor);
}

TEST(viewer_keys, host_keys_follow_the_settings_and_never_leave_the_cell_editor) {
  EXPECT_EQ(DecideViewerKey(Key(vk::kEscape, TFocusPane::Grid)), TKeyAction::ForwardToHost);
  EXPECT_EQ(DecideViewerKey(Key(vk::kF3, TFocusPane::Tree)), TKeyAction::ForwardToHost);
  EXPECT_EQ(DecideViewerKey(Key(vk::kF, TFocusPane::Grid, true)), TKeyAction::ForwardToHost);
  EXPECT_EQ(DecideViewerKey(Key(vk::kF, TFocusPane::Grid)), TKeyAction::NotHandled);
  EXPECT_EQ(DecideViewerKey(Key(vk::kEscape, TFocusPane::EditBox)), TKeyAction::NotHandled);
  TKeyContext digit = Key(vk::k1 + 2, TFocusPane::Grid);
  EXPECT_EQ(DecideViewerKey(digit), TKeyAction::ForwardToHost);
  EXPECT_EQ(DecideViewerKey(Key(vk::k9, TFocusPane::Grid)), TKeyAction::NotHandled);
  EXPECT_EQ(DecideViewerKey(Key(vk::k0, TFocusPane::Grid)), TKeyAction::NotHandled);
  EXPECT_EQ(DecideViewerKey(Key(vk::k1 + 2, TFocusPane::Grid, true)), TKeyAction::SortByDigit);
  // "disable-num-keys": the digits neither switch the host's view nor sort.
  digit.Settings.DisableNumKeys = true;
  EXPECT_EQ(DecideViewerKey(digit), TKeyAction::NotHandled);
  digit.Press.Ctrl = true;
  EXPECT_EQ(DecideViewerKey(digit), TKeyAction::NotHandled);

  TKeyContext n = Key(vk::kN, TFocusPane::Tree);
  EXPECT_EQ(DecideViewerKey(n), TKeyAction::ForwardToHost);
  n.Settings.DisableNpKeys = true;
  EXPECT_EQ(DecideViewerKey(n), TKeyAction::NotHandled);
  TKeyContext q = Key(vk::kQ, TFocusPane::Grid);
  EXPECT_EQ(DecideViewerKey(q), TKeyAction::NotHandled);
  q.Settings.ExitByQ = true;
  EXPECT_EQ(DecideViewerKey(q), TKeyAction::ForwardToHost);
}

TEST(viewer_keys, ctrl_digit_counts_shown_columns_in_display_order) {
  const std::vector<int> widths{0, 50, 50, 50};
  const std::vector<int> order{3, 0, 1, 2};
  EXPECT_EQ(SortColumnForDigit(1, 0, order, widths), 3);
  EXPECT_EQ(SortColumnForDigit(3, 0, order, widths), 2);  // column 0 hidden is skipped
  EXPECT_EQ(SortColumnForDigit(4, 0, order, widths), -1);
  EXPECT_EQ(SortColumnForDigit(3, 0, {}, widths), 3);
  EXPECT_EQ(SortColumnForDigit(0, 2, order, widths), 2);
  EXPECT_EQ(SortColumnForDigit(0, 0, order, widths), -1);  // current column hidden
  EXPECT_EQ(SortColumnForDigit(0, 7, order, widths), -1);
}

TEST(viewer_keys, cursor_moves_skip_hidden_columns_and_stop_at_the_edges) {
  const std::vector<int> widths{50, 0, 50, 50, 0};
  TCursorMove m = ComputeCursorMove(vk::kRight, false, 3, 0, 10, widths);
  EXPECT_TRUE(m.Changed);
  EXPECT_EQ(m.Column, 2);
  EXPECT_TRUE(m.ScrollCell);
  m = ComputeCursorMove(vk::kLeft, false, 3, 2, 10, widths);
  EXPECT_EQ(m.Column, 0);
  // Right from the last shown column: the hidden last column is no target.
  m = ComputeCursorMove(vk::kRight, false, 3, 3, 10, widths);
  EXPECT_FALSE(m.Changed);
  EXPECT_FALSE(m.ScrollToLeftEdge);
  m = ComputeCursorMove(vk::kLeft, false, 3, 0, 10, widths);
  EXPECT_FALSE(m.Changed);
  EXPECT_TRUE(m.ScrollToLeftEdge);  // Left at the edge still scrolls left
  EXPECT_EQ(ComputeCursorMove(vk::kRight, true, 3, 0, 10, widths).Column, 3);
  EXPECT_EQ(ComputeCursorMove(vk::kLeft, true, 3, 3, 10, {0, 50, 50, 50}).Column, 1);

  m = ComputeCursorMove(vk::kDown, false, 9, 2, 10, widths);
  EXPECT_FALSE(m.Changed);
  m = ComputeCursorMove(vk::kDown, true, 2, 0, 10, widths);
  EXPECT_EQ(m.Row, 9);
  EXPECT_TRUE(m.EnsureRowVisible);
  EXPECT_TRUE(m.ScrollToLeftEdge);  // column 0: the grid goes to its left edge
  m = ComputeCursorMove(vk::kUp, false, 5, 2, 10, widths);
  EXPECT_EQ(m.Row, 4);
  EXPECT_FALSE(m.ScrollToLeftEdge);
  EXPECT_EQ(ComputeCursorMove(vk::kUp, true, 5, 2, 10, widths).Row, 0);
}

TEST(viewer_keys, scrolling_shows_a_cell_from_the_nearer_side) {
  EXPECT_EQ(HorizontalScrollToShow(-30, 20, 0, 100), -30);
  EXPECT_EQ(HorizontalScrollToShow(80, 130, 0, 100), 30);   // fits: right edges meet
  EXPECT_EQ(HorizontalScrollToShow(80, 300, 0, 100), 80);   // wider: left edges meet
  EXPECT_EQ(HorizontalScrollToShow(10, 90, 0, 100), 0);
  EXPECT_EQ(FocusCycleTarget(TFocusPane::Grid), TFocusTarget::Tree);
  EXPECT_EQ(FocusCycleTarget(TFocusPane::FilterEdit), TFocusTarget::Tree);
  EXPECT_EQ(FocusCycleTarget(TFocusPane::Tree), TFocusTarget::Content);
  EXPECT_EQ(FocusCycleTarget(TFocusPane::Outside), TFocusTarget::Content);
  EXPECT_EQ(FocusCycleTarget(TFocusPane::EditBox), TFocusTarget::Nothing);
}

const TMenuEntry* Entry(const std::vector<TMenuEntry>& entries, int id) {
  for (const TMenuEntry& e : entries)
    if (e.Id == id) return &e;
  return nullptr;
}

TEST(viewer_menus, context_menu_holds_seventeen_commands_with_their_states) {
  TContextMenuState state;
  state.CurrentRow = 2;
  state.GridRows = 2;
  state.ThemeMode = u"dark";
  auto entries = ContextMenuEntries(state);
  ASSERT_EQ(entries.size(), 21u);
  int commands = 0;
  for (const TMenuEntry& e : entries) commands += e.IsSeparator() ? 0 : 1;
  EXPECT_EQ(commands, 17);
  EXPECT_EQ(entries[0].Id, cmd::kCopy);
  EXPECT_EQ(entries[6].Id, cmd::kSelectItem);
  EXPECT_EQ(entries[20].Id, cmd::kThemeDark);
  EXPECT_TRUE(Entry(entries, cmd::kSelectItem)->Grayed);  // row 2 of 2 is past the end
  EXPECT_TRUE(Entry(entries, cmd::kInsertRow)->Grayed);
  EXPECT_TRUE(Entry(entries, cmd::kEditMode)->Grayed);    // no structure
  EXPECT_TRUE(Entry(entries, cmd::kSave)->Grayed);
  EXPECT_TRUE(Entry(entries, cmd::kFilters)->Checked);
  EXPECT_TRUE(Entry(entries, cmd::kThemeDark)->Checked);
  EXPECT_FALSE(Entry(entries, cmd::kThemeTc)->Checked);

  state.CurrentRow = 1;
  state.HasStructure = state.EditMode = state.Modified = true;
  state.FilterRowShown = false;
  entries = ContextMenuEntries(state);
  EXPECT_FALSE(Entry(entries, cmd::kSelectItem)->Grayed);
  EXPECT_FALSE(Entry(entries, cmd::kEditMode)->Grayed);
  EXPECT_TRUE(Entry(entries, cmd::kEditMode)->Checked);
  EXPECT_FALSE(Entry(entries, cmd::kSave)->Grayed);
  EXPECT_FALSE(Entry(entries, cmd::kFilters)->Checked);
}

TEST(viewer_menus, flat_level_popup_checks_the_current_level_only) {
  auto entries = FlatLevelMenuEntries(-1);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[1].Literal, u"1");
  EXPECT_TRUE(entries[3].Checked);
  for (const TMenuEntry& e : FlatLevelMenuEntries(3)) EXPECT_FALSE(e.Checked);
  int level = 99;
  EXPECT_TRUE(FlatLevelOfCommand(cmd::kFlatPathValue, &level));
  EXPECT_EQ(level, -1);
  EXPECT_TRUE(FlatLevelOfCommand(cmd::kFlat2, &level));
  EXPECT_EQ(level, 2);
  EXPECT_FALSE(FlatLevelOfCommand(cmd::kSelectItem, &level));
}

TEST(viewer_layout, panes_share_the_client_and_the_splitter_is_clamped) {
  const TScaling scaling{96, 16};
  TMainLayout m = ComputeMainLayout(scaling, 229, 800, 600, 24);
  EXPECT_EQ(m.Tree.Right, 229);
  EXPECT_EQ(m.Tree.Bottom, 576);
  EXPECT_EQ(m.Splitter.Left, 229);
  EXPECT_EQ(m.Splitter.Width(), 8);
  EXPECT_EQ(m.Tab.Left, 237);
  EXPECT_EQ(m.Tab.Right, 800);
  // Dragged to the far right: stops at width - ScaleFont(80).
  EXPECT_EQ(ComputeMainLayout(scaling, 5000, 800, 600, 24).SplitterPosition, 800 - 91);
  // A window narrower than ScaleFont(190) keeps only the minimum; the tab
  // control gets what is left, possibly nothing.
  m = ComputeMainLayout(scaling, 5000, 150, 600, 24);
  EXPECT_EQ(m.SplitterPosition, 5000);
  EXPECT_EQ(m.Tab.Width(), 0);
  EXPECT_EQ(ComputeMainLayout(scaling, 10, 800, 600, 24).SplitterPosition, 126);
  EXPECT_EQ(ComputeMainLayout(TScaling{144, 10}, 10, 800, 600, 24).SplitterPosition, 165);

  EXPECT_TRUE(InSplitterStrip(scaling, 229, 229));
  EXPECT_TRUE(InSplitterStrip(scaling, 229, 236));
  EXPECT_FALSE(InSplitterStrip(scaling, 229, 237));
  EXPECT_EQ(SplitterLineX(TScaling{144, 16}, 300), 306);
}

TEST(viewer_layout, filter_row_pushes_the_grid_down_but_not_the_text) {
  const TScaling scaling{96, 16};
  TTabLayout t = ComputeTabLayout(scaling, 500, 400, 25, true, 19);
  EXPECT_EQ(t.FilterHeight, 27);
  EXPECT_EQ(t.Grid.Top, 25 + 27 + 3);
  EXPECT_EQ(t.Grid.Left, 3);
  EXPECT_EQ(t.Grid.Width(), 494);
  EXPECT_EQ(t.Grid.Bottom, 397);
  EXPECT_EQ(t.Text.Top, 25);
  t = ComputeTabLayout(scaling, 500, 400, 25, false, 19);
  EXPECT_EQ(t.FilterHeight, 0);
  EXPECT_EQ(t.Grid.Top, 25);
  EXPECT_EQ(ComputeTabLayout(scaling, 2, 2, 25, true, 19).Grid.Height(), 0);
}

using test::Arr;
using test::Int;
using test::Obj;

TEST(tree_rules, initial_selection_follows_the_documents_shape) {
  // [1, 2, 3]: no container child, the root stays.
  EXPECT_EQ(InitialTreeChild(Arr({1, 2, 3}).get(), 0, false), -1);
  // {version: 1, services: {a: {}}, name: x}: the only container.
  auto one = Obj({{"version", Int(1)}, {"services", Obj({{"a", Obj({})}})}, {"name", test::Str("x")}});
  EXPECT_EQ(InitialTreeChild(one.get(), 0, false), 1);
  EXPECT_EQ(InitialTreeChild(one.get(), 0, true), -1);
  // {version: 1, a: {}, b: []}: two containers, the root stays.
  EXPECT_EQ(InitialTreeChild(Obj({{"version", Int(1)}, {"a", Obj({})}, {"b", Arr({})}}).get(), 0, false), -1);
  // {server: {host: h}, port: 1}: the first child is a container.
  EXPECT_EQ(InitialTreeChild(Obj({{"server", Obj({{"host", test::Str("h")}})}, {"port", Int(1)}}).get(), 0, false), 0);
  // [{a: 1}, {a: 2}]: the root flattens at level 1 and stays selected.
  auto rows = Arr({Obj({{"a", Int(1)}}), Obj({{"a", Int(2)}})});
  EXPECT_EQ(InitialTreeChild(rows.get(), 1, false), -1);
  EXPECT_EQ(InitialTreeChild(rows.get(), 0, false), 0);
  EXPECT_EQ(InitialTreeChild(Obj({}).get(), 0, false), -1);
  EXPECT_EQ(InitialTreeChild(Int(4).get(), 0, false), -1);
}

TEST(tree_rules, labels_buttons_and_the_path_down_to_a_node) {
  auto doc = Obj({{"a", Arr({1, Obj({{"b", Int(2)}})})}, {"e", Arr({})}});
  auto* a = static_cast<TJsonContainer*>(static_cast<TJsonObject*>(doc.get())->Child(0));
  EXPECT_EQ(TreeEntryLabel(doc.get(), 0), u"a");
  EXPECT_EQ(TreeEntryLabel(a, 1), u"[1]");
  EXPECT_EQ(TreeRootLabel(), u"<<root>>");
  EXPECT_TRUE(HasTreeChildren(a));
  EXPECT_FALSE(HasTreeChildren(static_cast<TJsonObject*>(doc.get())->Child(1)));
  EXPECT_FALSE(HasTreeChildren(a->Child(0)));

  std::vector<int> path;
  TJsonData* b = static_cast<TJsonObject*>(a->Child(1))->Child(0);
  ASSERT_TRUE(TreeIndexPath(doc.get(), b, &path));
  EXPECT_EQ(path, (std::vector<int>{0, 1, 0}));
  ASSERT_TRUE(TreeIndexPath(doc.get(), doc.get(), &path));
  EXPECT_TRUE(path.empty());
  auto other = Arr({1});
  EXPECT_FALSE(TreeIndexPath(doc.get(), static_cast<TJsonContainer*>(other.get())->Child(0), &path));

  // A node deeper than the tree follows is not found.
  auto deep = Arr({});
  TJsonContainer* level = static_cast<TJsonContainer*>(deep.get());
  for (size_t i = 0; i < kTreePathMaxDepth; ++i)
    level = static_cast<TJsonContainer*>(static_cast<TJsonArray*>(level)->Add(Arr({})));
  EXPECT_TRUE(TreeIndexPath(deep.get(), level, &path));
  TJsonData* tooDeep = static_cast<TJsonArray*>(level)->Add(Int(1));
  EXPECT_FALSE(TreeIndexPath(deep.get(), tooDeep, &path));
}

// A level of more than 1,000 children is shown through range entries of at
// most 1,000 entries each, nested as deep as the count needs; the steps lead
// through them to every child.
TEST(tree_rules, large_levels_are_split_into_ranges_that_lead_to_every_child) {
  EXPECT_EQ(TreeRangeSpan(0), 1u);
  EXPECT_EQ(TreeRangeSpan(1000), 1u);
  EXPECT_EQ(TreeRangeSpan(1001), 1000u);
  EXPECT_EQ(TreeRangeSpan(1000000), 1000u);
  EXPECT_EQ(TreeRangeSpan(1000001), 1000000u);
  EXPECT_EQ(TreeRangeSpan(size_t{4000000000u}), size_t{1000000000u});
  EXPECT_EQ(TreeRangeLabel(2000, 2499), u"[2000 \u2026 2499]");

  EXPECT_EQ(TreeEntrySteps(3, 2), std::vector<int>{2});
  EXPECT_EQ(TreeEntrySteps(100000, 54321), (std::vector<int>{54, 321}));
  EXPECT_EQ(TreeEntrySteps(100000, 99999), (std::vector<int>{99, 999}));
  EXPECT_EQ(TreeEntrySteps(1000001, 1000000), (std::vector<int>{1, 0}));
  EXPECT_EQ(TreeEntrySteps(2500000, 1234567), (std::vector<int>{1, 234, 567}));
  // Every child is reached, and no level holds more than 1,000 entries.
  for (size_t count : {size_t{1}, size_t{999}, size_t{1000}, size_t{1001}, size_t{250000}, size_t{1000000}}) {
    for (size_t index : {size_t{0}, count / 2, count - 1}) {
      size_t first = 0, level = count;
      for (int step : TreeEntrySteps(count, index)) {
        const size_t span = TreeRangeSpan(level);
        ASSERT_LT(size_t(step), kTreeRangeSize);
        ASSERT_LT(size_t(step) * span, level);
        first += size_t(step) * span;
        level = std::min(span, level - size_t(step) * span);
      }
      EXPECT_EQ(first, index) << count;
      EXPECT_EQ(level, 1u) << count;
    }
  }
}

}  // namespace
}  // namespace corvane
