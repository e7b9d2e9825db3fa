// Status-bar texts and widths, the width pass with decimal alignment, the
// number split, scaling, splitter clamps and the view-settings write-back.
#include <gtest/gtest.h>

#include "test_seams.h"
#include "test_support.h"
#include "uColumnWidths.h"
#include "uI18n.h"
#include "uNumberSplit.h"
#include "uScaling.h"
#include "uStatusTexts.h"
#include "uUnicode.h"
#include "uViewState.h"
#include "viewer_core_support.h"

namespace corvane {
namespace {

// Every character is 10 pixels wide.
int Measure(std::u16string_view text) { return static_cast<int>(text.size()) * 10; }

TEST(status_texts, parts_read_as_the_user_sees_them) {
  auto doc = test::Obj({{"a", test::Obj({{"b", test::Int(1)}})}});
  TJsonData* inner = static_cast<TJsonObject*>(doc.get())->Child(0);
  EXPECT_EQ(StatusEncodingText(u"UTF-8"), u" UTF-8");
  EXPECT_EQ(StatusDepthText(doc.get()), u" 1");
  EXPECT_EQ(StatusDepthText(inner), u" 2");
  EXPECT_EQ(StatusDepthText(nullptr), u" 1");
  EXPECT_EQ(StatusKindText(doc.get()), u" OBJECT");
  EXPECT_EQ(StatusKindText(nullptr), u" ");
  TTableModel table;
  EXPECT_EQ(StatusFlatText(0, table), u" Flat: 0");
  table.FlatView = true;
  table.Complete = true;
  EXPECT_EQ(StatusFlatText(1, table), u" Flat: 1+");
  table.Complete = false;
  EXPECT_EQ(StatusFlatText(2, table), u" Flat: 2*");
  EXPECT_EQ(StatusRowsText(2, 50), u" Rows: 2/50");
  EXPECT_EQ(StatusCursorText(0, 0), u" 1:1");
  EXPECT_EQ(StatusCursorText(-1, 0), u"");
  EXPECT_EQ(StatusCursorText(3, -1), u"");
  EXPECT_EQ(StatusEditText(true, true), u" EDIT MODE *");
  EXPECT_EQ(StatusEditText(true, false), u" EDIT MODE");
  EXPECT_EQ(StatusEditText(false, true), u" MODIFIED *");
  EXPECT_EQ(StatusEditText(false, false), u"");
  // A translated format with too few or odd placeholders cannot fail.
  EXPECT_EQ(FormatInts(u"%s %d %d %", {7}), u"%s 7 %d %");
}

TEST(status_texts, a_load_error_names_its_place_once) {
  struct TCase {
    const char16_t* Message;
    int64_t Line, Column;
    const char16_t* Shown;
  };
  const TCase cases[] = {
      {u"did not find expected ',' or ']' at line 2, column 2", 2, 2,
       u" NOT LOADED (line 2, column 2): did not find expected ',' or ']'"},
      {u"line 3: Error while parsing value", 3, 0, u" NOT LOADED (line 3): Error while parsing value"},
      {u"Duplicate object member: \"a\"", 0, 0, u" NOT LOADED: Duplicate object member: \"a\""},
      // A place the text does not repeat exactly stays in the text.
      {u"odd at line 9, column 1", 2, 5, u" NOT LOADED (line 2, column 5): odd at line 9, column 1"},
  };
  for (const TCase& c : cases) {
    TLoadError error;
    error.Text = c.Message;
    error.Region.Line = c.Line;
    error.Region.Column = c.Column;
    EXPECT_EQ(StatusLoadErrorText(error), c.Shown);
  }
}

TEST(status_texts, part_widths_follow_templates_minimums_and_dpi) {
  auto edges = StatusPartRightEdges(TScaling{144, 16}, Measure);
  ASSERT_EQ(edges.size(), 7u);
  EXPECT_EQ(edges[6], -1);
  EXPECT_GE(edges[4] - edges[3], 300);  // " Rows: 99999/99999" at 144 DPI
  EXPECT_EQ(edges[0], 90 + 27);          // template wider than the 105 minimum
  edges = StatusPartRightEdges(TScaling{96, 16}, nullptr);
  EXPECT_EQ(edges[0], 70);
  EXPECT_EQ(edges[5], 70 + 45 + 60 + 75 + 200 + 65);
  // A document that did not load: the message takes all but part 0.
  EXPECT_EQ(StatusPartRightEdges(TScaling{96, 16}, nullptr, true), (std::vector<int>{70, 70, 70, 70, 70, 70, -1}));
}

// A translation longer than English widens its part, so the status bar
// shows it whole.
TEST(status_texts, parts_are_as_wide_as_their_widest_text_in_the_current_language) {
  auto width = [](int part) {
    const auto edges = StatusPartRightEdges(TScaling{96, 16}, Measure);
    return edges[size_t(part)] - edges[size_t(part) - 1];
  };
  EXPECT_EQ(width(2), 80 + 18);  // " BOOLEAN", the widest kind name
  test::TempDir dir;
  test::WriteFileBytes(dir.File("corvane.ru.lng"),
                       "type.boolean=\xD0\x9B\xD0\x9E\xD0\x93\xD0\x98\xD0\xA7\xD0\x95\xD0\xA1\xD0\x9A\xD0\x98\xD0\x99\n"
                       "status.flat= Flat level: %d\nstatus.rows= Visible rows: %d of %d\n");
  OverridePluginModuleFileName(Utf8ToUtf16(dir.File("corvane.wlx64")));
  ResetTranslations();
  SetLanguage(u"ru");
  EXPECT_EQ(width(2), 110 + 18);                                      // " ЛОГИЧЕСКИЙ"
  EXPECT_EQ(width(3), int(std::u16string(u" Flat level: 99*").size()) * 10 + 18);
  EXPECT_EQ(width(4), int(std::u16string(u" Visible rows: 99999 of 99999").size()) * 10 + 18);
  ResetTranslations();
  OverridePluginModuleFileName(u"");
}

TEST(number_split, integer_and_decimal_forms) {
  auto split = SplitNumber(u" 12.5 ");
  EXPECT_TRUE(split.Numeric);
  EXPECT_EQ(split.IntegerPart, u"12");
  EXPECT_EQ(split.Rest, u".5");
  split = SplitNumber(u"-3,25");
  EXPECT_EQ(split.IntegerPart, u"-3");
  EXPECT_EQ(split.Rest, u",25");
  split = SplitNumber(u"+7");
  EXPECT_TRUE(split.Numeric);
  EXPECT_EQ(split.IntegerPart, u"+7");
  EXPECT_EQ(split.Rest, u"");
  for (auto text : {u".5", u"5.", u"-.5", u"1e5", u"1.2.3", u"", u"-", u"+", u"1 2", u"\xFF11"})
    EXPECT_FALSE(SplitNumber(text).Numeric);
}

struct TWidthCase {
  std::vector<std::u16string> Headers;
  std::vector<std::vector<std::u16string>> Rows;
  TWidthPassInput Input() const {
    TWidthPassInput in;
    in.CurrentWidths.assign(Headers.size(), 140);
    in.VisibleRows = static_cast<int>(Rows.size());
    in.HeaderText = [this](int c) { return std::u16string_view(Headers[c]); };
    in.CellText = [this](int p, int c) { return std::u16string_view(Rows[p][c]); };
    in.MeasureHeader = Measure;
    in.MeasureCell = Measure;
    return in;
  }
};

TEST(width_pass, limits_depend_on_the_column_count) {
  const std::u16string wide(100, u'w');  // 1000 pixels
  TWidthCase two{{std::u16string(40, u'h'), u"v"}, {{wide, wide}}};
  TWidthPassResult r = ComputeColumnWidths(two.Input());
  EXPECT_EQ(r.Widths[0], 300);   // header alone is 424, still capped
  EXPECT_EQ(r.Widths[1], 1016);  // no limit for the second of two
  TWidthCase one{{u"h"}, {{wide}}};
  TWidthPassInput in = one.Input();
  in.MaxColumnWidth = 5000;
  EXPECT_EQ(ComputeColumnWidths(in).Widths[0], 3 * 34);
  TWidthCase three{{u"a", u"b", u"c"}, {{wide, u"x", u""}}};
  in = three.Input();
  in.MaxColumnWidth = 50;
  r = ComputeColumnWidths(in);
  EXPECT_EQ(r.Widths[0], 50);
  EXPECT_EQ(r.Widths[2], 34);
  in.CurrentWidths[1] = 0;  // hidden columns stay hidden
  EXPECT_EQ(ComputeColumnWidths(in).Widths[1], -1);
  // A filter that leaves no row keeps every width; a column just shown
  // again (width 1) gets its header's.
  in.VisibleRows = 0;
  in.CurrentWidths = {200, 0, 1};
  EXPECT_EQ(ComputeColumnWidths(in).Widths, (std::vector<int>{-1, -1, 34}));
}

TEST(width_pass, decimal_alignment_needs_every_sampled_cell_numeric) {
  TWidthCase nums{{u"n"}, {{u"1.5"}, {u"10.25"}, {u""}}};
  TWidthPassResult r = ComputeColumnWidths(nums.Input());
  EXPECT_EQ(r.DecimalOffsets[0], 20 + 8);
  nums.Rows.push_back({u"n/a"});
  EXPECT_EQ(ComputeColumnWidths(nums.Input()).DecimalOffsets[0], 0);
  // A non-numeric cell beyond the 1,000-row sample does not count.
  TWidthCase many{{u"n"}, std::vector<std::vector<std::u16string>>(1000, {u"123456789.5"})};
  many.Rows.push_back({u"n/a"});
  TWidthPassInput in = many.Input();
  r = ComputeColumnWidths(in);
  EXPECT_EQ(r.DecimalOffsets[0], 98);
  EXPECT_GE(r.Widths[0], 6 + 98 + 6);
  in.DecimalAlign = false;
  EXPECT_EQ(ComputeColumnWidths(in).DecimalOffsets[0], 0);
  TWidthPassInput empty;
  EXPECT_TRUE(ComputeColumnWidths(empty).Widths.empty());
}

TEST(scaling, dpi_font_and_splitter_rules) {
  EXPECT_EQ(MulDiv(200, 16, 14), 229);
  EXPECT_EQ(MulDiv(-7, 3, 2), -11);  // rounds half away from zero
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 4, 1), -1);
  EXPECT_EQ(SaneDpi(0), 96);
  const TScaling normal{96, 16};
  EXPECT_EQ(InitialSplitterPosition(normal, 200), 229);
  EXPECT_EQ(normal.UnscaleFont(229), 200);
  const TScaling large{144, 10};
  EXPECT_EQ(InitialSplitterPosition(large, 200), 300);
  EXPECT_EQ(large.ScaleFont(110), 165);
  EXPECT_EQ(ClampSplitterPosition(normal, 10, 100), normal.ScaleFont(110));  // narrow: minimum only
  EXPECT_EQ(ClampSplitterPosition(normal, 5000, 1000), 1000 - normal.ScaleFont(80));
  EXPECT_EQ(FilterRowHeight(normal, 10), 23);
  EXPECT_EQ(FilterRowGap(TScaling{10, 16}), 1);
  EXPECT_EQ(StatusBarMinHeight(large, 30), 39);
  EXPECT_EQ(ZoomFontSize(48, 1), 48);
  EXPECT_EQ(ZoomFontSize(16, -120), 15);
  EXPECT_EQ(RescalePosition(229, 144, 96), 344);
  EXPECT_EQ(TScaling({96, INT32_MIN}).FontFactor(), INT32_MAX);
}

TEST(view_settings, untouched_viewers_write_nothing_and_changes_are_written_unscaled) {
  test::TMemorySettings settings;
  settings.Ints[u"FlatViewLevel"] = -7;
  settings.Ints[u"tab-no"] = 5;
  const TViewStartSettings start = ReadViewStartSettings(settings.Access(), 96);
  EXPECT_EQ(start.SplitterPosition, 229);
  EXPECT_EQ(start.FlatLevel, -1);
  EXPECT_EQ(InitialTab(start.TabNo), 0);
  const TViewSettingsSnapshot snapshot{start.SplitterPosition, start.FilterRowShown,
                                       start.FontSize, InitialTab(start.TabNo)};
  const TScaling scaling{96, start.FontSize};
  auto writes = ViewSettingsToWrite(snapshot, snapshot, start.FlatLevelRead, start.FlatLevel, scaling);
  ASSERT_EQ(writes.size(), 1u);  // only the corrected flat level
  EXPECT_EQ(writes[0].Key, &setting::kFlatViewLevel);
  EXPECT_EQ(writes[0].Value, -1);

  TViewSettingsSnapshot now = snapshot;
  now.SplitterPosition = 343;
  now.FilterRowShown = false;
  now.SelectedTab = 1;
  writes = ViewSettingsToWrite(snapshot, now, 0, 0, scaling);
  WriteBackViewSettings(settings.Access(), writes);
  EXPECT_EQ(settings.Written[u"splitter-position"], 300);
  EXPECT_EQ(settings.Written[u"filter-row"], 0);
  EXPECT_EQ(settings.Written[u"tab-no"], 1);
  EXPECT_EQ(settings.Written.count(u"font-size"), 0u);
}

}  // namespace
}  // namespace corvane
