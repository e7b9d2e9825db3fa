// The structure records of a loaded document against the structure oracle
// (a tree built the plain way from the same parse): same shape, texts and
// spans, same value tree; texts must come back exactly whether stored or read
// from the bytes, and large documents must cross the record blocks intact.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "record_support.h"
#include "structure_oracle_support.h"
#include "test_support.h"
#include "uFileLoading.h"
#include "uStructureIndex.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

namespace corvane {
namespace {

using test::TRecordNode;

std::string CorpusFolder(const std::string& name) {
  const std::string root = test::CorpusDir();
  return root.empty() ? root : root + "/" + name;
}

std::string ValueOrError(const std::function<TJsonDataPtr()>& convert, TJsonDataPtr& value) {
  try {
    value = convert();
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

// "" when the records of text and the oracle's tree agree: both parse or
// neither (with the same text), and then same structure and same value.
std::string CheckAgainstOracle(const std::string& text, TDocumentLanguage language) {
  TStructureIndex index;
  TLoadError error;
  const bool parsed = ParseDocumentIndex(text, language, index, error);
  test::TStructuredNodePtr tree;
  std::u16string treeError;
  const bool treeParsed = test::ParseTree(text, language, tree, treeError);
  if (parsed != treeParsed || error.Text != treeError)
    return "parse results differ: " + Utf16ToUtf8(error.Text) + " / " + Utf16ToUtf8(treeError);
  if (!parsed) return "";
  const std::string structure = test::CompareWithRecords(*tree, index, text);
  if (!structure.empty()) return structure;
  TJsonDataPtr fromRecords, fromTree;
  const std::string recordsError =
      ValueOrError([&] { return IndexRootToValue(index, text, language); }, fromRecords);
  const std::string treeValueError = ValueOrError([&] { return test::TreeRootToValue(*tree, language); }, fromTree);
  if (recordsError != treeValueError) return "conversions fail differently: " + recordsError + " / " + treeValueError;
  return fromRecords ? test::CompareValues(*fromRecords, *fromTree) : "";
}

TEST(structure_index, matches_the_oracle_tree_on_texts_with_every_line_end_and_mark) {
  const std::vector<std::string> yaml = {
      "a: 1\r\nb: [x, y]\r\n", "\xEF\xBB\xBFk: v\n- x", "\xEF\xBB\xBFk: v\nl: [x, 'y']\r\n", "a: 1\n---", "\"q\"\r", "a: 1\r\nb:\r  [x, \"\xC3\xA9\", y]\n",
      "- a\xC2\x85- b\n", "[x,\xC2\x85y,\xE2\x80\xA8z]\n", "k: [\xF0\x9F\x98\x80, z]\n", "k: &a !t 'it''s'\n*a : v\n",
      "? [p, {q: r}]\n: complex\nlast: |\n  block\n", "a: 1\na: 2\n", "a: [1, 2\n",
      // Found by the loading fuzzer: an outer repeat before an inner one.
      "::\n::\n n:\n n:\n"};
  for (const std::string& text : yaml) EXPECT_EQ(CheckAgainstOracle(text, TDocumentLanguage::Yaml), "") << text;
  const std::vector<std::string> toml = {"", "a = 1\n[t]\nb = [1, {c = 'x'}]\n", "[[x]]\ny = \"z\"\n[[x]]\n",
                                         "a = = 1\n", "\xEF\xBB\xBFk = 'v'\r\n"};
  for (const std::string& text : toml) EXPECT_EQ(CheckAgainstOracle(text, TDocumentLanguage::Toml), "") << text;
}

TEST(structure_index, keeps_the_spans_of_keys_of_any_length) {
  // A record keeps a key's span as a length of up to 65,534 bytes and puts
  // a longer one in the pool, after whatever texts the record stores there.
  for (const size_t length : {size_t{65534}, size_t{65535}, size_t{70000}}) {
    const std::string key(length, 'k');
    const std::string yaml = "? " + key + "\n: 1\n? &a !t 'it''s " + key + "'\n: [x]\n? \"" + key + "\"\n: *a\n";
    EXPECT_EQ(CheckAgainstOracle(yaml, TDocumentLanguage::Yaml), "") << length;
    const std::string toml = key + " = 1\n\"" + key + "\\t\" = 'x'\n[t]\n" + key + ".b = 2\n";
    EXPECT_EQ(CheckAgainstOracle(toml, TDocumentLanguage::Toml), "") << length;
  }
}

TEST(structure_index, matches_the_oracle_tree_over_both_corpora) {
  const std::string yaml = CorpusFolder("yaml-test-suite");
  const std::string toml = CorpusFolder("toml-test");
  if (yaml.empty() || toml.empty()) GTEST_SKIP() << "conformance corpus not present";
  int checked = 0;
  for (const std::string& file : test::ListFiles(yaml, "/in.yaml")) {
    EXPECT_EQ(CheckAgainstOracle(test::ReadFileBytes(file), TDocumentLanguage::Yaml), "") << file;
    ++checked;
  }
  for (const std::string& file : test::ListFiles(toml, ".toml")) {
    EXPECT_EQ(CheckAgainstOracle(test::ReadFileBytes(file), TDocumentLanguage::Toml), "") << file;
    ++checked;
  }
  EXPECT_GT(checked, 600);
}

TEST(structure_index, stores_only_texts_the_bytes_cannot_give_back) {
  const std::string plain = "a: 1\nb: [x, 'y', \"z\"]\nc: *ref\n";
  TStructureIndex index;
  TLoadError error;
  ASSERT_TRUE(ParseYamlIndex(plain, index, error)) << Utf16ToUtf8(error.Text);
  EXPECT_TRUE(index.Pool.empty());

  const std::string stored = "k: &x !t 'it''s'\n\"e\\tk\": \"a\\nb\"\nf: plain\n  folded\n";
  ASSERT_TRUE(ParseYamlIndex(stored, index, error)) << Utf16ToUtf8(error.Text);
  const TRecordNode map = TRecordNode(index, stored, 0).ChildAt(0).ChildAt(0);
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
  TLoadError error;
  ASSERT_TRUE(ParseYamlIndex(text, index, error)) << Utf16ToUtf8(error.Text);
  const TRecordNode map = TRecordNode(index, text, 0).ChildAt(0).ChildAt(0);
  ASSERT_EQ(map.ChildCount(), 4u);
  EXPECT_EQ(map.ChildAt(1)->Key, "b");
  EXPECT_TRUE(map.ChildAt(1)->KeyNotScalar);
  const TRecordNode complex = map.ChildAt(2);
  EXPECT_TRUE(complex->KeyNotScalar);
  EXPECT_TRUE(complex->Key.empty());
  EXPECT_EQ(complex.KeySpan(), "[p, q]");
  EXPECT_EQ(complex->Value, "complex");
  EXPECT_EQ(map.ChildAt(3)->Key, "last");
  // 1 stream, 1 document, 1 mapping, 4 values: the key's items left no record.
  EXPECT_EQ(index.Records.size(), 7u);
}

TEST(structure_index, crosses_record_blocks_in_large_documents) {
  std::string text;
  const size_t items = TRecordStore::kBlockSize * 2 + 17;
  for (size_t i = 0; i < items; ++i) text += "- {id: " + std::to_string(i) + "}\n";
  TLoadedDocument doc;
  TLoadError error;
  ASSERT_TRUE(LoadDocumentFromBytes(text, TDocumentLanguage::Yaml, doc, error)) << Utf16ToUtf8(error.Text);
  ASSERT_EQ(doc.Index.Records.size(), 3 + items * 2);
  const auto* list = static_cast<const TJsonArray*>(doc.Value.get());
  ASSERT_EQ(list->Count(), items);
  const auto* last = static_cast<const TJsonObject*>(list->Child(items - 1));
  EXPECT_EQ(last->Find("id")->JsonText(), std::to_string(items - 1));
  const TRecordNode seq = TRecordNode(doc.Index, doc.Bytes, 0).ChildAt(0).ChildAt(0);
  ASSERT_EQ(seq.ChildCount(), items);
  EXPECT_EQ(seq.ChildAt(items - 1).ChildAt(0).Span(), std::to_string(items - 1));
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
