// How nodes become tables: plain views, flat views, the path/value listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <new>

#include "uTableModel.h"
#include "uUnicode.h"
#include "viewer_core_support.h"

namespace corvane {
namespace {

using test::Arr;
using test::Bool;
using test::Int;
using test::Obj;
using test::Str;

std::vector<std::string> Headers(const TTableModel& t) {
  std::vector<std::string> out;
  for (const auto& h : t.Headers) out.push_back(Utf16ToUtf8(h));
  return out;
}

std::string Cell(const TTableModel& t, int row, int column) {
  return Utf16ToUtf8(t.CellText(row, column));
}

using Names = std::vector<std::string>;

TTableModel Build(TJsonData* node, int level, TTableOptions options = {}) {
  TTableModel table;
  BuildTableModel(node, node, level, options, &table);
  return table;
}

TEST(table_model_plain_view, array_of_objects_unites_member_names_and_marks_missing_cells) {
  auto doc = Arr({Obj({{"a", Int(1)}, {"b", Int(2)}}), Obj({{"b", Int(3)}, {"c", Int(4)}})});
  TTableModel t = Build(doc.get(), 0);
  EXPECT_EQ(Headers(t), (Names{"a", "b", "c"}));
  EXPECT_EQ(Cell(t, 1, 0), "<N/A>");
  EXPECT_EQ(Cell(t, 1, 2), "4");
  EXPECT_FALSE(t.FlatView);
  EXPECT_EQ(t.RowNode(1), static_cast<TJsonContainer*>(doc.get())->Child(1));
  EXPECT_TRUE(t.CellNodes.empty());

  const TTableOptions skip{u"-", true};
  t = Build(doc.get(), 0, skip);
  EXPECT_EQ(Headers(t), (Names{"a", "b"}));
  EXPECT_EQ(Cell(t, 1, 0), "-");
}

TEST(table_model_plain_view, arrays_without_objects_objects_and_scalars) {
  auto mixed = Arr({1, "x", Arr({2})});
  TTableModel t = Build(mixed.get(), 0);
  EXPECT_EQ(Headers(t), (Names{"Element"}));
  EXPECT_EQ(Cell(t, 0, 0), "1");
  EXPECT_EQ(Cell(t, 1, 0), "x");
  EXPECT_EQ(Cell(t, 2, 0), "[Array]");

  auto partly = Arr({Obj({{"a", Int(1)}}), 5});
  for (int level : {0, 1}) {
    t = Build(partly.get(), level);
    EXPECT_EQ(Headers(t), (Names{"a"}));
    EXPECT_EQ(Cell(t, 1, 0), "<N/A>");
    EXPECT_FALSE(t.FlatView);
  }

  auto object = Obj({{"k", Str("v")}, {"o", Obj({})}});
  t = Build(object.get(), 0);
  EXPECT_EQ(Headers(t), (Names{"Attribute", "Value"}));
  EXPECT_EQ(Cell(t, 0, 0), "k");
  EXPECT_EQ(Cell(t, 1, 1), "[Object]");

  auto scalar = Bool(true);
  t = Build(scalar.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"Value"}));
  EXPECT_EQ(Cell(t, 0, 0), "true");

  t = Build(nullptr, 1);
  EXPECT_EQ(t.ColumnCount(), 0);
  EXPECT_EQ(t.RowCount(), 0);
}

TEST(table_model_flat_view, objects_mode_opens_nested_objects_up_to_the_depth) {
  auto nested = Arr({Obj({{"n", Obj({{"x", Int(1)}, {"y", Int(2)}})}})});
  TTableModel t = Build(nested.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"n.x", "n.y"}));
  EXPECT_TRUE(t.FlatView);
  EXPECT_TRUE(t.Complete);
  EXPECT_EQ(t.ColumnKeys[1], "n\x01y");
  EXPECT_EQ(Cell(t, 0, 1), "2");
  t = Build(nested.get(), 0);
  EXPECT_EQ(Headers(t), (Names{"n"}));
  EXPECT_EQ(Cell(t, 0, 0), "[Object]");

  auto deep = Arr({Obj({{"n", Obj({{"m", Obj({{"x", Int(1)}})}})}})});
  EXPECT_FALSE(TryFlatten(deep.get(), 1, {}, &t));
  EXPECT_EQ(Headers(t), (Names{"n"}));  // a failed attempt leaves the table alone
  t = Build(deep.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"n"}));
  EXPECT_FALSE(t.FlatView);
  t = Build(deep.get(), 2);
  EXPECT_EQ(Headers(t), (Names{"n.m.x"}));
}

TEST(table_model_flat_view, arrays_of_scalars_spread_over_indexed_columns) {
  auto doc = Arr({Obj({{"t", Arr({1, 2})}}), Obj({{"t", Arr({3})}})});
  TTableModel t = Build(doc.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"t.0", "t.1"}));
  EXPECT_EQ(Cell(t, 1, 1), "<N/A>");
  EXPECT_EQ(t.CellNode(1, 1), nullptr);
  EXPECT_NE(t.CellNode(1, 0), nullptr);
  EXPECT_FALSE(t.Complete);
  EXPECT_EQ(t.CompletenessMark(), u"*");

  auto empty = Arr({Obj({{"t", Arr({})}})});
  t = Build(empty.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"t"}));
  EXPECT_FALSE(t.FlatView);
  EXPECT_EQ(Cell(t, 0, 0), "[Array]");

  auto holding = Arr({Obj({{"t", Arr({Obj({{"u", Int(1)}})})}})});
  t = Build(holding.get(), 1);
  EXPECT_TRUE(t.FlatView);
  EXPECT_EQ(Headers(t), (Names{"t"}));
  EXPECT_EQ(Cell(t, 0, 0), "[Array]");

  auto rows = Arr({Arr({1, 2}), Arr({3})});
  t = Build(rows.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"0", "1"}));
  EXPECT_EQ(Cell(t, 1, 1), "<N/A>");
  auto bad = Arr({Arr({1, Arr({2})})});
  EXPECT_FALSE(CanFlatten(bad.get(), 2));
}

TEST(table_model_flat_view, keyed_objects_need_leaves_at_exactly_the_depth) {
  auto doc = Obj({{"x", Obj({{"a", Int(1)}})}, {"y", Obj({{"a", Int(2)}, {"b", Int(3)}})}});
  TTableModel t = Build(doc.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"Attribute", "a", "b"}));
  EXPECT_EQ(t.ColumnKeys[0], "");
  EXPECT_EQ(Cell(t, 1, 0), "y");
  EXPECT_EQ(Cell(t, 0, 2), "<N/A>");
  EXPECT_FALSE(t.Complete);

  auto deep = Obj({{"x", Obj({{"a", Obj({{"k", Int(1)}})}})}});
  EXPECT_FALSE(CanFlatten(deep.get(), 1));
  EXPECT_TRUE(CanFlatten(deep.get(), 2));
  t = Build(deep.get(), 2);
  EXPECT_EQ(Headers(t), (Names{"Attribute", "a.k"}));
  EXPECT_TRUE(t.Complete);

  // Level 3 from the settings: depths 3 and 2 fail, depth 1 is used; a
  // nonsense level costs no more than a small one.
  auto shallow = Obj({{"x", Obj({{"a", Int(1)}})}});
  for (int level : {3, 1000000000}) {
    t = Build(shallow.get(), level);
    EXPECT_EQ(Headers(t), (Names{"Attribute", "a"}));
    EXPECT_EQ(t.CompletenessMark(), u"+");
  }
}

TEST(table_model_flat_view, dotted_member_names_share_headers_but_not_keys) {
  auto doc = Arr({Obj({{"x.y", Int(1)}, {"x", Obj({{"y", Int(2)}})}})});
  TTableModel t = Build(doc.get(), 1);
  EXPECT_EQ(Headers(t), (Names{"x.y", "x.y"}));
  EXPECT_NE(t.ColumnKeys[0], t.ColumnKeys[1]);
  EXPECT_EQ(Cell(t, 0, 0), "1");
  EXPECT_EQ(Cell(t, 0, 1), "2");
}

TEST(table_model_path_value, lists_every_leaf_of_the_document_with_its_path) {
  auto doc = Obj({{"a", Obj({{"b", Arr({10, Obj({{"c", Bool(true)}})})}})}, {"d", Obj({})}});
  auto* a = static_cast<TJsonObject*>(doc.get())->Child(0);
  for (TJsonData* selected : {static_cast<TJsonData*>(doc.get()), a}) {
    TTableModel t;
    BuildTableModel(selected, doc.get(), -1, {}, &t);
    EXPECT_EQ(Headers(t), (Names{"Path", "Value"}));
    ASSERT_EQ(t.RowCount(), 2);
    EXPECT_EQ(Cell(t, 0, 0), "a.b[0]");
    EXPECT_EQ(Cell(t, 0, 1), "10");
    EXPECT_EQ(Cell(t, 1, 0), "a.b[1].c");
    EXPECT_EQ(Cell(t, 1, 1), "true");
    EXPECT_EQ(t.CellNode(1, 1), t.RowNode(1));
    EXPECT_EQ(t.CellNode(1, 0), nullptr);
    EXPECT_EQ(LeafPath(t.RowNode(1)), u"a.b[1].c");
    EXPECT_TRUE(t.FlatView && t.Complete);
  }
  auto scalar = Int(7);
  TTableModel t;
  BuildPathValueListing(scalar.get(), &t);
  ASSERT_EQ(t.RowCount(), 1);
  EXPECT_EQ(Cell(t, 0, 0), "");
}

// Nesting far beyond any stack: every walk must stay iterative, and a huge
// flat level must not turn into one attempt per level.
TEST(table_model_path_value, cells_show_each_leafs_display_text_and_survive_edits) {
  // Texts stored by the table must read back exactly: ASCII, other scripts,
  // invalid UTF-8, empty strings, NULs, long texts beyond a storage block,
  // numbers and literals.
  auto doc = Arr({Str("plain"), Str("\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD"), Str("bad \xC3 byte"), Str(""),
                  Str(std::string("nul\0in", 6)), Str(std::string(70000, 'x')), Int(-42), Bool(true),
                  TJsonDataPtr(std::make_unique<TJsonFloat>(0.1)), TJsonDataPtr(std::make_unique<TJsonFloat>(1e300)),
                  TJsonDataPtr(std::make_unique<TSourceFloatNumber>(1.5, "1.50")),
                  TJsonDataPtr(std::make_unique<TSourceFloatNumber>(2.0)), Str("last"),
                  // Around the longest length kept in one unit in front of a text.
                  Str(std::string(0x7FFF, 'y')), Str(std::string(0x8000, 'z')), Str(std::string(0x10001, 'w'))});
  TTableModel t = Build(doc.get(), kFlatLevelPathValue);
  ASSERT_EQ(t.RowCount(), 16);
  for (int r = 0; r < t.RowCount(); ++r) EXPECT_EQ(t.CellText(r, 1), ValueSummaryText(t.RowNode(r))) << r;
  EXPECT_EQ(Cell(t, 10, 1), "1.50");
  EXPECT_EQ(Cell(t, 12, 0), "[12]");
  // A changed cell reads back; its neighbours keep theirs; a copy holds its own texts.
  t.Cells.Set(3, 1, u"changed");
  TTableModel copy = t;
  t.Cells.Set(3, 1, u"again");
  EXPECT_EQ(Cell(copy, 3, 1), "changed");
  EXPECT_EQ(Cell(t, 3, 1), "again");
  EXPECT_EQ(Cell(t, 4, 1), std::string("nul\0in", 6));
  EXPECT_EQ(Cell(copy, 5, 1).size(), 70000u);
  EXPECT_EQ(Cell(copy, 13, 1), std::string(0x7FFF, 'y'));
  EXPECT_EQ(Cell(copy, 14, 1), std::string(0x8000, 'z'));
  EXPECT_EQ(Cell(copy, 15, 1), std::string(0x10001, 'w'));
}

// A cell repeating the text above shares it: changing one of them must
// leave the other as it was.
TEST(cell_texts, a_changed_cell_leaves_the_cell_sharing_its_text_alone) {
  TCellTexts cells;
  cells.Reset(2);
  for (int row = 0; row < 3; ++row) {
    cells.Append(u"same");
    cells.AppendUtf8(row == 1 ? "caf\xC3\xA9" : "same");
  }
  cells.Set(1, 0, u"changed");
  EXPECT_EQ(cells.Cell(0, 0).ToString(), u"same");
  EXPECT_EQ(cells.Cell(1, 0).ToString(), u"changed");
  EXPECT_EQ(cells.Cell(2, 0).ToString(), u"same");
  EXPECT_EQ(cells.Cell(1, 1).ToString(), u"caf\u00E9");
  EXPECT_EQ(cells.Cell(2, 1).ToString(), u"same");
}

// Texts whose units all fit 8 bits are kept narrow; every reader must still
// see exactly the UTF-16 text, across the narrow/wide edge and the lengths
// where the length words in front of a text change form.
TEST(cell_texts, narrow_and_wide_texts_read_back_exactly) {
  const std::u16string kTexts[] = {
      u"", u"a", u"\u00FF", u"\u0100", u"caf\u00E9", std::u16string(u"nul\0in", 6), u"x\u00FF\u0100",
      u"\U0001F600", std::u16string(0x3FFF, u'y'), std::u16string(0x4000, u'\u00E9'),
      std::u16string(0x3FFF, u'\u0416'), std::u16string(0x4000, u'\u0416'),
      std::u16string(0x10001, u'w') + u"\u0100", std::u16string(0x20001, u'v')};
  const size_t count = std::size(kTexts);
  TCellTexts cells;
  cells.Reset(3);
  for (const std::u16string& text : kTexts) {
    cells.Append(text);
    cells.AppendUtf8(Utf16ToUtf8(text));
    cells.Append(u"\u00E9");  // narrow above narrow: shared from the second row on
  }
  // Replacing a narrow cell with a wide text, and a wide one with a narrow
  // text, leaves the shared neighbours as they were.
  cells.Set(1, 2, u"\u0416");
  cells.Set(6, 0, u"narrow");
  TCellTexts copy = cells;
  for (size_t r = 0; r < count; ++r) {
    const std::u16string& text = r == 6 ? std::u16string(u"narrow") : kTexts[r];
    for (const TCellTexts* store : {&cells, &copy}) {
      for (int c = 0; c < 2; ++c) {
        const TCellText cell = store->Cell(int(r), c);
        std::u16string scratch, copied(cell.size(), u'?');
        cell.CopyTo(copied.data(), copied.size());
        ASSERT_EQ(cell.ToString(), c == 0 ? text : kTexts[r]) << r;
        EXPECT_EQ(cell.View(&scratch), cell.ToString()) << r;
        EXPECT_EQ(copied, cell.ToString()) << r;
        EXPECT_TRUE(cell == cell.ToString()) << r;
        const std::u16string read = cell.ToString();
        EXPECT_EQ(cell.IsNarrow(), !read.empty() && std::all_of(read.begin(), read.end(), [](char16_t u) { return u < 0x100; }))
            << r;
        if (!cell.empty()) {
          EXPECT_EQ(cell[cell.size() - 1], cell.ToString().back()) << r;
        }
      }
      EXPECT_EQ(store->Cell(int(r), 2).ToString(), r == 1 ? u"\u0416" : u"\u00E9") << r;
    }
  }
}

// Every reader of a cell must see exactly this text.
void ExpectCellsRead(const TCellTexts& cells, const std::vector<std::u16string>& expected) {
  ASSERT_EQ(size_t(cells.RowCount()) * size_t(cells.ColumnCount()), expected.size());
  std::u16string scratch;
  for (size_t i = 0; i < expected.size(); ++i) {
    const int row = int(i / size_t(cells.ColumnCount())), column = int(i % size_t(cells.ColumnCount()));
    const TCellText cell = cells.Cell(row, column);
    const std::u16string& text = expected[i];
    ASSERT_EQ(cell.size(), text.size()) << row << "," << column;
    ASSERT_TRUE(cell == text) << row << "," << column;
    ASSERT_EQ(cell.View(&scratch), text) << row << "," << column;
    std::u16string copied(text.size(), u'?');
    cell.CopyTo(copied.data(), copied.size());
    ASSERT_EQ(copied, text) << row << "," << column;
    if (!text.empty()) {
      ASSERT_EQ(cell[0], text[0]) << row << "," << column;
      ASSERT_EQ(cell[text.size() - 1], text.back()) << row << "," << column;
    }
  }
}

// A cell refers to its text by block number and offset. Texts filling many
// blocks to their ends, texts just below and above the size that gets a
// block of its own (with the normal block still filled after them), wide
// texts at odd offsets and shared texts must all read back, after
// replacements and in a copy.
TEST(cell_texts, texts_over_many_blocks_and_in_blocks_of_their_own_read_back) {
  // Narrow texts of 65,532 units and wide ones of 32,766 just fill half a
  // block with their 4 length bytes; one unit more gets a block of its own.
  const size_t kBigLengths[] = {65532, 65533, 32766, 32767, 70000, 140000};
  uint32_t seed = 7;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  const auto text = [&next](size_t length, bool wide) {
    std::u16string out(length, u' ');
    for (char16_t& unit : out) unit = char16_t((wide ? 0x0400 : 0x20) + next() % 0x60);
    return out;
  };
  TCellTexts cells;
  cells.Reset(3);
  std::vector<std::u16string> expected;
  for (int row = 0; row < 6000; ++row) {
    for (int column = 0; column < 3; ++column) {
      std::u16string cell;
      if (column == 2 && row % 4 != 0)
        cell = expected[expected.size() - 3];  // repeats the row above: shared
      else if (column == 1 && row % 250 == 3)
        cell = text(kBigLengths[size_t(row / 250) % std::size(kBigLengths)], row % 500 == 253);
      else
        cell = text(next() % 90, next() % 3 == 0);
      if (column == 0 && row % 2)
        cells.AppendUtf8(Utf16ToUtf8(cell));
      else
        cells.Append(cell);
      expected.push_back(std::move(cell));
    }
  }
  ExpectCellsRead(cells, expected);
  for (int row = 5; row < 6000; row += 97) {
    const std::u16string cell = text(row % 5 == 0 ? kBigLengths[size_t(row) % std::size(kBigLengths)] : size_t(row % 40),
                                     row % 3 == 0);
    cells.Set(row, row % 3, cell);
    expected[size_t(row) * 3 + size_t(row % 3)] = cell;
  }
  ExpectCellsRead(cells, expected);
  const TCellTexts copy = cells;
  const std::vector<std::u16string> copied = expected;
  cells.Set(8, 2, u"after the copy");
  expected[8 * 3 + 2] = u"after the copy";
  ExpectCellsRead(cells, expected);
  ExpectCellsRead(copy, copied);
}

// Running out of block references refuses the text as a failed allocation
// would and leaves every cell as it was: appending, replacing and copying.
TEST(cell_texts, running_out_of_blocks_refuses_the_text_and_keeps_the_store) {
  TCellTexts cells;
  cells.SetBlockLimit(2);
  cells.Reset(1);
  std::vector<std::u16string> expected;
  // 40,005 bytes with the length words: three to a block.
  const auto big = [](int i) { return std::u16string(40000, u'b') + char16_t(u'0' + i); };
  for (int i = 0; i < 6; ++i) {
    cells.Append(big(i));
    expected.push_back(big(i));
  }
  EXPECT_THROW(cells.Append(big(6)), std::bad_alloc);
  EXPECT_THROW(cells.Append(std::u16string(70000, u'\u0416')), std::bad_alloc);
  EXPECT_THROW(cells.AppendUtf8(std::string(70000, 'o')), std::bad_alloc);
  EXPECT_THROW(cells.Set(0, 0, big(9)), std::bad_alloc);
  ExpectCellsRead(cells, expected);
  // What needs no new block still goes in: an empty text, a repeated one,
  // a short one in the last block's free end.
  cells.Append(u"");
  cells.Append(u"");
  cells.Append(u"x");
  expected.insert(expected.end(), {u"", u"", u"x"});
  ExpectCellsRead(cells, expected);
  const TCellTexts copy = cells;
  ExpectCellsRead(copy, expected);
  // A copy that runs out leaves the target as it was.
  cells.SetBlockLimit(1);
  TCellTexts target;
  target.Reset(2);
  target.AddRow({u"kept", u"\u0416"});
  EXPECT_THROW(target = cells, std::bad_alloc);
  ExpectCellsRead(target, {u"kept", u"\u0416"});
}

TEST(table_model_robustness, survives_a_hundred_thousand_levels_of_nesting) {
  constexpr int kDepth = 100000;
  auto mixed = std::make_unique<TJsonArray>();
  auto chain = std::make_unique<TJsonObject>();
  TJsonContainer* tip = mixed.get();
  TJsonObject* link = chain.get();
  for (int i = 0; i < kDepth; ++i) {
    auto next = i % 2 ? TJsonDataPtr(new TJsonArray) : TJsonDataPtr(new TJsonObject);
    TJsonData* raw = next.get();
    if (tip->Kind() == nkArray)
      static_cast<TJsonArray*>(tip)->Add(std::move(next));
    else
      static_cast<TJsonObject*>(tip)->Add("k", std::move(next));
    tip = static_cast<TJsonContainer*>(raw);
    link = static_cast<TJsonObject*>(link->Add("k", TJsonDataPtr(new TJsonObject)));
  }
  static_cast<TJsonArray*>(tip)->Add(Int(1));
  link->Add("leaf", Int(2));

  TTableModel t;
  BuildTableModel(mixed.get(), mixed.get(), -1, {}, &t);
  ASSERT_EQ(t.RowCount(), 1);
  EXPECT_EQ(t.CellText(0, 1), u"1");
  EXPECT_EQ(LeafPath(t.RowNode(0)), t.CellText(0, 0));

  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(CanFlatten(chain.get(), 2));
  EXPECT_TRUE(CanFlatten(chain.get(), 1000000000));
  BuildTableModel(chain.get(), chain.get(), 1000000000, {}, &t);
  EXPECT_EQ(t.ColumnCount(), 2);  // Attribute and one very long key
  EXPECT_EQ(t.Headers[1].size(), 2u * kDepth + 2);  // "k." per inner level, then "leaf"
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(table_model_robustness, queries_outside_the_table_give_nothing) {
  TTableModel t;
  EXPECT_FALSE(t.HasCell(0, 0));
  EXPECT_EQ(t.CellText(-1, -1), u"");
  EXPECT_EQ(t.RowNode(-1), nullptr);
  EXPECT_EQ(t.CellNode(3, 3), nullptr);
  EXPECT_EQ(t.Header(0), u"");
  EXPECT_EQ(t.CompletenessMark(), u"");
  EXPECT_EQ(ClampFlatLevel(-7), -1);
  EXPECT_EQ(ClampFlatLevel(9), 2);
}

}  // namespace
}  // namespace corvane
