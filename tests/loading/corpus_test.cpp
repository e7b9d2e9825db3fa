// Conformance data beside the project (the YAML test suite and toml-test).
// The folder is not shipped with the project: these tests skip when it is
// absent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "uFileLoading.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

namespace corvane {
namespace {

std::string CorpusFolder(const std::string& name) {
  const std::string corpus = test::CorpusDir();
  if (corpus.empty()) return "";
  const std::string folder = corpus + "/" + name;
  return test::FileExists(folder + "/LICENSE") || !test::ListFiles(folder, "").empty() ? folder : "";
}

// The byte a scalar's span must start with: its anchor, tag, quote, block
// indicator or first content byte. Empty when anything goes (an empty plain
// scalar has no bytes of its own).
std::string AllowedFirstBytes(const TNodeView& n) {
  std::string allowed;
  if (!n.Anchor.empty()) allowed += '&';
  if (!n.Tag.empty()) allowed += '!';
  switch (n.Style) {
    case 2: allowed += '\''; break;
    case 3: allowed += '"'; break;
    case 4: allowed += '|'; break;
    case 5: allowed += '>'; break;
    default:
      if (!n.Value.empty()) allowed += n.Value[0];
  }
  return allowed;
}

// Every scalar span lies inside the text and starts where the scalar does;
// returns the first problem found, or "".
std::string CheckSpans(const std::string& text, const TStructureIndex& index) {
  const int32_t size = static_cast<int32_t>(text.size());
  for (size_t i = 0; i < index.Records.size(); ++i) {
    const TNodeView n = index.View(i, text);
    if (n.KeyStart > size || n.KeyEnd > size || n.KeyStart > n.KeyEnd)
      return "key span outside the text for key " + std::string(n.Key);
    if (n.Kind != skScalar) continue;
    if (n.StartOffset < 0 || n.StartOffset > n.EndOffset || n.EndOffset > size)
      return "span outside the text for " + std::string(n.Value);
    const std::string allowed = AllowedFirstBytes(n);
    if (allowed.empty()) continue;
    if (n.StartOffset == size || allowed.find(text[size_t(n.StartOffset)]) == std::string::npos)
      return "span of '" + std::string(n.Value) + "' starts at '" + text.substr(size_t(n.StartOffset), 8) + "'";
  }
  return "";
}

TEST(yaml_corpus, spans_of_every_scalar_start_at_the_scalar) {
  const std::string folder = CorpusFolder("yaml-test-suite");
  if (folder.empty()) GTEST_SKIP() << "conformance corpus not present";
  int checked = 0;
  for (const std::string& file : test::ListFiles(folder, "/in.yaml")) {
    const std::string caseDir = file.substr(0, file.size() - 8);
    if (test::FileExists(caseDir + "/error")) continue;
    const std::string text = test::ReadFileBytes(file);
    TStructureIndex index;
    TLoadError error;
    if (!ParseYamlIndex(text, index, error)) {
      // The YAML parser refuses a few valid cases; it must never be us.
      EXPECT_EQ(error.Text.find(u"Cannot locate"), std::u16string::npos) << file;
      continue;
    }
    ++checked;
    EXPECT_EQ(CheckSpans(text, index), "") << file;
  }
  EXPECT_GT(checked, 200);
}

TEST(yaml_corpus, every_case_loads_or_fails_with_a_text) {
  const std::string folder = CorpusFolder("yaml-test-suite");
  if (folder.empty()) GTEST_SKIP() << "conformance corpus not present";
  for (const std::string& file : test::ListFiles(folder, "/in.yaml")) {
    TLoadedDocument doc;
    TLoadError error;
    if (LoadDocumentFromBytes(test::ReadFileBytes(file), TDocumentLanguage::Yaml, doc, error))
      EXPECT_TRUE(doc.Value && !doc.Index.Empty()) << file;
    else
      EXPECT_FALSE(error.Text.empty()) << file;
  }
}

// Rank of a member in the library's key order: leaves, arrays, tables.
int GroupRank(int kind) { return kind == skScalar ? 0 : kind == skSequence ? 1 : 2; }

TEST(toml_corpus, every_valid_file_loads_with_members_in_group_order) {
  const std::string folder = CorpusFolder("toml-test");
  if (folder.empty()) GTEST_SKIP() << "conformance corpus not present";
  int loaded = 0;
  for (const std::string& file : test::ListFiles(folder + "/valid", ".toml")) {
    TLoadedDocument doc;
    TLoadError error;
    if (!LoadDocumentFromBytes(test::ReadFileBytes(file), TDocumentLanguage::Toml, doc, error)) {
      ADD_FAILURE() << file << ": " << Utf16ToUtf8(error.Text);
      continue;
    }
    ++loaded;
    const TRecordStore& records = doc.Index.Records;
    for (size_t i = 0; i < records.size(); ++i) {
      if (records[i].Kind != skMapping) continue;
      int rank = 0;
      for (size_t c = i + 1; c < records[i].SubtreeEnd; c = records[c].SubtreeEnd) {
        EXPECT_LE(rank, GroupRank(records[c].Kind)) << file << ": member " << doc.Index.Key(c, doc.Bytes);
        rank = GroupRank(records[c].Kind);
      }
    }
  }
  EXPECT_GT(loaded, 100);
}

}  // namespace
}  // namespace corvane
