// The YAML check without records or a value tree (CheckYamlLoads) against
// the full load, over every YAML text at hand and over texts aimed at what
// the value tree refuses: the same verdict, the same text, the same place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "uFileLoading.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

namespace corvane {
namespace {

struct TOutcome {
  bool Loads = false;
  TLoadError Error;
};

TOutcome FullLoad(const std::string& text) {
  TOutcome out;
  std::string bytes = text;
  TLoadedDocument doc;
  out.Loads = LoadDocumentTakingBytes(bytes, TDocumentLanguage::Yaml, doc, out.Error);
  return out;
}

std::string Describe(const TOutcome& o) {
  if (o.Loads) return "loads";
  return Utf16ToUtf8(o.Error.Text) + " @" + std::to_string(o.Error.Region.Line) + ":" +
         std::to_string(o.Error.Region.Column) + "+" + std::to_string(o.Error.Region.Offset) +
         (o.Error.InText ? " in text" : " machine");
}

#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

struct TCount {
  int Tried = 0;
  int Decided = 0;  // settled by the event check itself
};

// Compares both checks with the full load.
void ExpectSameVerdict(const std::string& text, const std::string& name, TCount* count = nullptr) {
  const TOutcome full = FullLoad(text);
  TOutcome fast;
  const TLoadCheck verdict = CheckYamlLoads(text, fast.Error);
  if (verdict != TLoadCheck::Undecided) {
    fast.Loads = verdict == TLoadCheck::Loads;
    EXPECT_EQ(Describe(fast), Describe(full)) << name;
    if (count) ++count->Decided;
  } else {
    EXPECT_TRUE(fast.Error.Text.empty()) << name;
  }
  TOutcome checked;
  std::string bytes = text;
  checked.Loads = CheckDocumentLoads(bytes, TDocumentLanguage::Yaml, checked.Error);
  EXPECT_EQ(Describe(checked), Describe(full)) << name;
  if (count) ++count->Tried;
}

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

TEST(yaml_load_check, answers_as_the_full_load_for_texts_aimed_at_the_tree) {
  const std::string k254(254, 'k');
  const std::string k255(255, 'k');
  std::string manyKeys, manyKeysRepeat, manyFlow;
  for (int i = 0; i < 2000; ++i) manyKeys += "key" + std::to_string(i) + ": " + std::to_string(i) + "\n";
  manyKeysRepeat = manyKeys + "key1999: again\n";
  manyFlow = "{";
  for (int i = 0; i < 300; ++i) manyFlow += "k" + std::to_string(i % 299) + ": 1, ";
  manyFlow += "}\n";
  std::string deep, deepRepeat;
  for (int i = 0; i < 120; ++i) deep += std::string(size_t(i) * 2, ' ') + "m" + std::to_string(i) + ":\n";
  deepRepeat = deep + std::string(240, ' ') + "x: 1\n" + std::string(240, ' ') + "x: 2\n";
  deep += std::string(240, ' ') + "x: 1\n";
  const struct {
    const char* Name;
    std::string Text;
  } cases[] = {
      {"empty", ""},
      {"blank lines", "\n\n"},
      {"comment only", "# nothing\n"},
      {"empty document", "---\n"},
      {"empty documents", "---\n---\n...\n"},
      {"byte-order mark only", "\xEF\xBB\xBF"},
      {"byte-order mark, repeat", "\xEF\xBB\xBF" "a: 1\na: 2\n"},
      {"byte-order mark, syntax error", "\xEF\xBB\xBF" "a: [1\nb: 2\n"},
      {"scalar document", "just text\n"},
      {"scalar documents", "--- 1\n--- two\n--- [3]\n"},
      {"top-level repeat", "a: 1\nb: 2\na: 3\n"},
      {"nested repeat", "top:\n  inner:\n    x: 1\n    x: 2\n"},
      {"repeat in a sequence item", "- a: 1\n  a: 2\n"},
      {"repeat in a flow mapping", "{a: 1, b: 2, a: 3}\n"},
      {"same names in sibling mappings", "x: {a: 1}\ny: {a: 2}\n- \n"},
      {"same names in sibling mappings, valid", "x: {a: 1}\ny: {a: 2}\n"},
      {"same names in parent and child", "a:\n  a:\n    a: 1\n"},
      {"repeat in a later document", "a: 1\n---\nb: 1\nc: 2\n---\nd: 1\nd: 2\n"},
      {"same name in two documents", "a: 1\n---\na: 2\n"},
      {"repeat deep down", deepRepeat},
      {"deep without repeat", deep},
      {"quoted and plain spelling", "a: 1\n'a': 2\n"},
      {"double-quoted escape spelling", "\"\\x41\": 1\nA: 2\n"},
      {"numbers spelt differently", "1: x\n01: y\n0x1: z\n"},
      {"null keys", "? \n: 1\n? \n: 2\n"},
      {"null and tilde", "~: 1\nnull: 2\n"},
      {"tagged key", "!!str a: 1\na: 2\n"},
      {"names equal in the first 255 bytes", k255 + "1: x\n" + k255 + "2: y\n"},
      {"names differing at byte 255", k254 + "1: x\n" + k254 + "2: y\n"},
      {"cut inside a character", k254 + "\xC3\xA9" "1: x\n" + k254 + "\xC3\xA9" "2: y\n"},
      {"long names repeated", k255 + k255 + ": x\n" + k255 + k255 + ": y\n"},
      {"merge key twice", "base: &b {x: 1}\nuse:\n  <<: *b\n  <<: *b\n"},
      {"merge key beside its own member", "base: &b {x: 1}\nuse:\n  <<: *b\n  x: 2\n"},
      {"alias key and plain key", "&a a: 1\n*a : 2\n"},
      {"alias key and other name", "&a b: 1\n*a : 2\n"},
      {"alias key against a name like its target", "x: &k v\n*k : 1\nk: 2\n"},
      {"alias value not resolved", "a: &x 1\nb: *x\nc: *x\n"},
      {"collection keys", "? [a]\n: 1\n? [b]\n: 2\n"},
      {"collection key and empty name", "? {a: 1}\n: 1\n\"\": 2\n"},
      {"repeat inside a collection key", "? {x: 1, x: 2}\n: 1\n"},
      {"repeat inside a key's nested value", "? {x: {y: 1, y: 2}}\n: 1\nz: 3\n"},
      {"one collection key", "? [a, a]\n: 1\nb: 2\n"},
      {"repeat after a collection key", "? [a]\n: {q: 1, q: 2}\n"},
      {"repeat then syntax error", "a: 1\na: 2\nb: [\n"},
      {"syntax error then repeat", "b: [\na: 1\na: 2\n"},
      {"repeat then bad indentation", "a: 1\na: 2\n  - x\n b: 1\n"},
      {"two repeats, inner first", "a:\n  b: 1\n  b: 2\na: 3\n"},
      {"two repeats, outer first", "a: 1\na:\n  b: 1\n  b: 2\n"},
      {"many names", manyKeys},
      {"many names, last repeated", manyKeysRepeat},
      {"many flow names, repeat", manyFlow},
      {"anchors and tags", "%TAG !e! tag:example.com,2000:\n---\na: !e!x &n 1\nb: *n\n"},
      {"tab in indentation", "a:\n\tb: 1\n"},
      {"invalid UTF-8", "a: \xFF\xFE\n"},
      {"NUL byte", BYTES("a: 1\n\0b: 2\n")},
      {"UTF-16 little-endian", BYTES("\xFF\xFE" "a\0:\0 \0" "1\0\n\0" "a\0:\0 \0" "2\0\n\0")},
      {"UTF-16 big-endian", BYTES("\xFE\xFF" "\0a\0:\0 \0" "1\0\n")},
      {"UTF-16 of characters the byte count misses",
       BYTES("\xFF\xFE") + Repeat(BYTES("\x80\x80"), 40) + BYTES(":\0 \0" "1\0\n\0")},
      {"document end marker", "a: 1\n...\n---\na: 1\n...\n"},
      {"directive without document", "%YAML 1.1\n"},
  };
  for (const auto& c : cases) ExpectSameVerdict(c.Text, c.Name);
}

TEST(yaml_load_check, nesting_limit_as_the_full_load) {
  // Compact block sequences nest one level per two bytes.
  const size_t limit = static_cast<size_t>(kMaxYamlNesting);
  const struct {
    const char* Name;
    std::string Text;
  } cases[] = {
      {"at the limit", Repeat("- ", limit) + "x\n"},
      {"one past the limit", Repeat("- ", limit + 1) + "x\n"},
      {"past the limit after a repeat", "a: 1\na: 2\nb:\n" + Repeat("- ", limit + 5) + "x\n"},
      {"past the limit inside a key", "? " + Repeat("- ", limit + 1) + "x\n: 1\n"},
      {"at the limit in a later document", "a: 1\n---\n" + Repeat("- ", limit) + "{a: 1, a: 2}\n"},
  };
  for (const auto& c : cases) ExpectSameVerdict(c.Text, c.Name);
}

TEST(yaml_load_check, answers_as_the_full_load_for_every_yaml_file_at_hand) {
  std::vector<std::string> files;
  const std::string source = test::SourceDir();
  for (const char* folder : {"/samples", "/tests/editing/corpus"})
    for (const char* suffix : {".yaml", ".yml"})
      for (const std::string& f : test::ListFiles(source + folder, suffix)) files.push_back(f);
  const std::vector<std::string> seeds = test::ListFiles(source + "/fuzz/corpus", "");
  const std::string corpus = test::CorpusDir();
  std::vector<std::string> suite;
  if (!corpus.empty()) suite = test::ListFiles(corpus + "/yaml-test-suite", "/in.yaml");
  TCount count;
  int loads = 0;
  for (const std::string& f : files) ExpectSameVerdict(test::ReadFileBytes(f), f, &count);
  for (const std::string& f : seeds) {
    // A fuzz seed starts with a flag byte: the text with and without it.
    const std::string bytes = test::ReadFileBytes(f);
    ExpectSameVerdict(bytes, f, &count);
    if (!bytes.empty()) ExpectSameVerdict(bytes.substr(1), f + " (past the flag)", &count);
  }
  for (const std::string& f : suite) {
    const std::string text = test::ReadFileBytes(f);
    ExpectSameVerdict(text, f, &count);
    loads += FullLoad(text).Loads;
  }
  EXPECT_GE(files.size(), 15u);
  // None of these is UTF-16, so the event check settles each itself.
  EXPECT_EQ(count.Decided, count.Tried);
  if (suite.empty()) GTEST_SKIP() << "conformance corpus not present";
  EXPECT_GT(suite.size(), 300u);
  EXPECT_GT(loads, 200);
}

}  // namespace
}  // namespace corvane
