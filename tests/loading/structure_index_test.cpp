// The flat structure records of a loaded document: the value tree built
// from them must equal the one built from their node tree, texts must come
// back exactly whether stored or read from the bytes, and large documents
// must cross the record blocks intact.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_support.h"
#include "uFileLoading.h"
#include "uLineIndex.h"
#include "uParserBinding.h"
#include "uStructureIndex.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

namespace corvane {
namespace {

std::string CorpusFolder(const std::string& name) {
  const std::string root = test::CorpusDir();
  return root.empty() ? root : root + "/" + name;
}

// "" when both value trees are equal (kinds, member names and order, scalar
// texts), else where they first differ.
std::string CompareValues(const TJsonData& a, const TJsonData& b) {
  std::vector<std::pair<const TJsonData*, const TJsonData*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->Kind() != y->Kind()) return "kinds differ";
    if (x->Kind() != nkArray && x->Kind() != nkObject) {
      if (x->JsonText() != y->JsonText()) return "scalar " + x->JsonText() + " vs " + y->JsonText();
      continue;
    }
    const auto* cx = static_cast<const TJsonContainer*>(x);
    const auto* cy = static_cast<const TJsonContainer*>(y);
    if (cx->Count() != cy->Count()) return "counts differ";
    for (size_t i = 0; i < cx->Count(); ++i) {
      if (x->Kind() == nkObject &&
          std::string(static_cast<const TJsonObject*>(x)->Name(i)) != std::string(static_cast<const TJsonObject*>(y)->Name(i)))
        return "member names differ";
      pending.emplace_back(cx->Child(i), cy->Child(i));
    }
  }
  return "";
}

// Loads text both ways: the value from the records, and the value from the
// node tree the records give.
std::string CheckBothWays(const std::string& text, bool isToml) {
  TStructureIndex index;
  std::u16string error;
  const bool parsed = isToml ? ParseTomlIndex(text, index, error) : ParseYamlIndex(text, index, error);
  if (!parsed) return "";
  TJsonDataPtr fromRecords, fromTree;
  std::string recordsError, treeError;
  try {
    fromRecords = IndexRootToValue(index, text, isToml);
  } catch (const std::exception& e) {
    recordsError = e.what();
  }
  try {
    fromTree = StructureRootToValue(*Materialize(index, text), isToml);
  } catch (const std::exception& e) {
    treeError = e.what();
  }
  if (recordsError != treeError) return "errors differ: " + recordsError + " / " + treeError;
  if (!fromRecords) return "";
  return CompareValues(*fromRecords, *fromTree);
}

TEST(structure_index, gives_the_same_value_tree_as_its_node_tree_over_both_corpora) {
  const std::string yaml = CorpusFolder("yaml-test-suite");
  const std::string toml = CorpusFolder("toml-test");
  if (yaml.empty() || toml.empty()) GTEST_SKIP() << "conformance corpus not present";
  int checked = 0;
  for (const std::string& file : test::ListFiles(yaml, "/in.yaml")) {
    EXPECT_EQ(CheckBothWays(test::ReadFileBytes(file), false), "") << file;
    ++checked;
  }
  for (const std::string& file : test::ListFiles(toml + "/valid", ".toml")) {
    EXPECT_EQ(CheckBothWays(test::ReadFileBytes(file), true), "") << file;
    ++checked;
  }
  EXPECT_GT(checked, 400);
}

// "" when both indexes hold the same records and texts, else the first
// record that differs.
std::string CompareIndexes(const TStructureIndex& a, const TStructureIndex& b) {
  if (a.Records.size() != b.Records.size()) return "record counts differ";
  for (size_t i = 0; i < a.Records.size(); ++i) {
    const TStructureRecord &x = a.Records[i], &y = b.Records[i];
    if (x.StartOffset != y.StartOffset || x.EndOffset != y.EndOffset || x.KeyStart != y.KeyStart ||
        x.KeyEnd != y.KeyEnd || x.SubtreeEnd != y.SubtreeEnd ||
        x.TextsAt != y.TextsAt || x.Kind != y.Kind || x.Style != y.Style || x.KeyStyle != y.KeyStyle ||
        x.Flags != y.Flags)
      return "record " + std::to_string(i) + " differs";
  }
  return a.Pool == b.Pool ? "" : "texts differ";
}

TEST(structure_index, places_marks_of_ascii_texts_as_the_line_index_does) {
  const std::string yaml = CorpusFolder("yaml-test-suite");
  if (yaml.empty()) GTEST_SKIP() << "conformance corpus not present";
  std::vector<std::string> texts = {"a: 1\r\nb: [x, y]\r\n", "\xEF\xBB\xBFk: v\n- x", "a: 1\n---", "\"q\"\r"};
  for (const std::string& file : test::ListFiles(yaml, "/in.yaml")) texts.push_back(test::ReadFileBytes(file));
  int ascii = 0;
  for (const std::string& text : texts) {
    TStructureIndex fast, reference;
    std::u16string fastError, referenceError;
    const bool parsed = ParseYamlIndex(text, fast, fastError);
    EXPECT_EQ(parsed, ParseYamlIndexThroughLines(text, reference, referenceError)) << text;
    EXPECT_EQ(Utf16ToUtf8(fastError), Utf16ToUtf8(referenceError)) << text;
    if (parsed) {
      EXPECT_EQ(CompareIndexes(fast, reference), "") << text;
    }
    bool isAscii = true;
    for (char c : text) isAscii = isAscii && static_cast<unsigned char>(c) < 0x80;
    ascii += isAscii;
  }
  EXPECT_GT(ascii, 200);
}

// Every node-start event's own line and column against the position derived
// from the byte offset its marks give.
std::string CheckDerivedPositions(const std::string& text) {
  const TLineIndex lines(text);
  TYamlEventReader reader(text);
  TYamlEvent e;
  TParserPosition position;
  while (reader.Next(e) && e.Kind != yeStreamEnd && e.Kind != yeNone) {
    if (e.Kind != yeScalar && e.Kind != yeAlias && e.Kind != yeSequenceStart && e.Kind != yeMappingStart) continue;
    const std::ptrdiff_t offset =
        lines.HasOtherLineBreaks() ? lines.OffsetOfCharacter(e.StartIndex) : lines.Offset(e.Line, e.Column);
    if (offset < 0) continue;  // the end-of-text case the parser places on a line of its own
    position = ParserPosition(text, offset, position);
    if (position.Line != e.Line || position.Column != e.Column)
      return "offset " + std::to_string(offset) + ": " + std::to_string(position.Line) + ":" +
             std::to_string(position.Column) + " instead of " + std::to_string(e.Line) + ":" + std::to_string(e.Column);
  }
  return "";
}

TEST(structure_index, derives_the_line_and_column_the_parser_reports) {
  const std::string yaml = CorpusFolder("yaml-test-suite");
  if (yaml.empty()) GTEST_SKIP() << "conformance corpus not present";
  std::vector<std::string> texts = {"a: 1\r\nb:\r  [x, \"\xC3\xA9\", y]\n", "\xEF\xBB\xBFk: v\n- x",
                                    "- a\xC2\x85- b\n", "[x,\xC2\x85y,\xE2\x80\xA8z]\n", "k: [\xF0\x9F\x98\x80, z]\n"};
  for (const std::string& file : test::ListFiles(yaml, "/in.yaml")) texts.push_back(test::ReadFileBytes(file));
  for (const std::string& text : texts) EXPECT_EQ(CheckDerivedPositions(text), "") << text;
}

TEST(structure_index, stores_only_texts_the_bytes_cannot_give_back) {
  const std::string plain = "a: 1\nb: [x, 'y', \"z\"]\nc: *ref\n";
  TStructureIndex index;
  std::u16string error;
  ASSERT_TRUE(ParseYamlIndex(plain, index, error)) << Utf16ToUtf8(error);
  EXPECT_TRUE(index.Pool.empty());

  const std::string stored = "k: &x !t 'it''s'\n\"e\\tk\": \"a\\nb\"\nf: plain\n  folded\n";
  ASSERT_TRUE(ParseYamlIndex(stored, index, error)) << Utf16ToUtf8(error);
  TStructuredNodePtr tree = Materialize(index, stored);
  const TStructuredNode& map = *tree->ChildAt(0)->ChildAt(0);
  ASSERT_EQ(map.ChildCount(), 3u);
  EXPECT_EQ(map.ChildAt(0)->Value, "it's");
  EXPECT_EQ(map.ChildAt(0)->Anchor, "x");
  EXPECT_EQ(map.ChildAt(0)->Tag, "!t");
  EXPECT_EQ(map.ChildAt(1)->Key, "e\tk");
  EXPECT_EQ(map.ChildAt(1)->Value, "a\nb");
  EXPECT_EQ(map.ChildAt(2)->Value, "plain folded");
}

TEST(structure_index, keeps_alias_keys_and_drops_the_nodes_of_collection_keys) {
  const std::string text = "base: &b 1\n*b : alias-key\n? [p, q]\n: complex\nlast: 2\n";
  TStructureIndex index;
  std::u16string error;
  ASSERT_TRUE(ParseYamlIndex(text, index, error)) << Utf16ToUtf8(error);
  TStructuredNodePtr tree = Materialize(index, text);
  const TStructuredNode& map = *tree->ChildAt(0)->ChildAt(0);
  ASSERT_EQ(map.ChildCount(), 4u);
  EXPECT_EQ(map.ChildAt(1)->Key, "b");
  EXPECT_TRUE(map.ChildAt(1)->KeyNotScalar);
  const TStructuredNode& complex = *map.ChildAt(2);
  EXPECT_TRUE(complex.KeyNotScalar);
  EXPECT_TRUE(complex.Key.empty());
  EXPECT_EQ(text.substr(size_t(complex.KeyStart), size_t(complex.KeyEnd - complex.KeyStart)), "[p, q]");
  EXPECT_EQ(complex.Value, "complex");
  EXPECT_EQ(map.ChildAt(3)->Key, "last");
  // 1 stream, 1 document, 1 mapping, 4 values: the key's items left no record.
  EXPECT_EQ(index.Records.size(), 7u);
}

TEST(structure_index, crosses_record_blocks_in_large_documents) {
  std::string text;
  const size_t items = TRecordStore::kBlockSize * 2 + 17;
  for (size_t i = 0; i < items; ++i) text += "- {id: " + std::to_string(i) + "}\n";
  TLoadedDocument doc;
  std::u16string error;
  ASSERT_TRUE(LoadDocumentFromBytes(text, false, doc, error)) << Utf16ToUtf8(error);
  ASSERT_EQ(doc.Index.Records.size(), 3 + items * 2);
  const auto* list = static_cast<const TJsonArray*>(doc.Value.get());
  ASSERT_EQ(list->Count(), items);
  const auto* last = static_cast<const TJsonObject*>(list->Child(items - 1));
  EXPECT_EQ(last->Find("id")->JsonText(), std::to_string(items - 1));
  const TStructuredNode* seq = doc.Structure()->ChildAt(0)->ChildAt(0);
  ASSERT_EQ(seq->ChildCount(), items);
  const TStructuredNode& id = *seq->ChildAt(items - 1)->ChildAt(0);
  EXPECT_EQ(text.substr(size_t(id.StartOffset), size_t(id.EndOffset - id.StartOffset)), std::to_string(items - 1));
}

TEST(structure_index, truncating_drops_the_texts_of_the_dropped_records) {
  TStructureIndex index;
  TStructureRecord r;
  r.Kind = skScalar;
  r.Style = 3;
  index.Add(r, {}, "first", {}, {}, {});
  const size_t poolSize = index.Pool.size();
  index.Add(r, {}, "second", "key", "anchor", "!tag");
  index.Truncate(1);
  EXPECT_EQ(index.Records.size(), 1u);
  EXPECT_EQ(index.Pool.size(), poolSize);
  EXPECT_EQ(index.Value(0, {}), "first");
}

}  // namespace
}  // namespace corvane
