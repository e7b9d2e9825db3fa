// The proof's re-parse, narrowed to the YAML entries or documents a patch
// falls in, must judge every patched text as a parse of the whole text does;
// and the save's check of several located edits.
#include <gtest/gtest.h>

#include <random>

#include "editing_support.h"
#include "test_support.h"
#include "uEditLocate.h"
#include "uEditProof.h"
#include "uUnicode.h"

namespace corvane {
namespace {

// Texts with the boundaries narrowing must respect: documents with "..."
// ends, directives before "---", content on the "---" line; top-level
// entries holding block and flow collections, quoted, plain and block
// scalars over several lines, comments, anchors and tags; a top-level flow
// collection over lines, an indented one; a byte-order mark and CR LF.
const char* const kTexts[] = {
    "a: 1\n---\nb: |\n  x\n---\n- [1, 'two']\n...\n---\nc: \"q\"\n",
    "%YAML 1.1\n---\na: 1\n...\n%TAG !e! tag:e,2000:\n---\n- !e!x 1\n---\nz: plain\n  more\n",
    "\xEF\xBB\xBF" "k: v\r\n--- {x: 1}\r\n--- 'doc'\r\n---\r\n? a\r\n: b\r\n",
    "top\n---\n---\nlast: [x, y]\n",
    "a: 1\nb:\n  - x\n  - y: |\n      text\n# c\nc: 'q\n  r'\nd: [1,\n  2]\ne: plain\n  continued\n"
    "f: &x end\ng: *x\nh: !t 5\n",
    "- name: a\n  v: 1\n-   name: b\n    v: [x, y]\n- &anc {k: v}\n- *anc\n- \"multi\n  line\"\n-\n  late\n- last\n",
    "%TAG ! tag:x,2000:\n---\na: !foo 1\nb: 2\nc: 3\n",
    "{a: 1,\nb: 2,\nc: 3}\n",
    "  a: 1\n  b: 2\n  c: 3\n",
    "\xEF\xBB\xBF" "a: 1\r\nb: 'x'\r\nc:\r\n- 1\r\nd: e\r\n",
};

// Records equal but for the value of a scalar whose span the patch touches.
bool SameButPatched(const TSourcePatch& patch, const TNodeView& b, const TNodeView& a) {
  if (b.Kind != a.Kind || b.Key != a.Key || b.Anchor != a.Anchor || b.Tag != a.Tag) return false;
  const bool touched = b.Kind == skScalar && patch.Start <= b.EndOffset && patch.Start + patch.Length >= b.StartOffset;
  return touched || (b.Value == a.Value && b.Style == a.Style);
}

// The same judgement from a parse of the whole patched text.
bool WholeTextHolds(const TLoadedDocument& doc, const TSourcePatch& patch) {
  const std::string text = SplicePatches(doc.Bytes, {patch});
  TStructureIndex after;
  TLoadError error;
  if (!ParseDocumentIndex(text, doc.Language, after, error) || after.Records.size() != doc.Index.Records.size())
    return false;
  for (size_t i = 0; i < after.Records.size(); ++i)
    if (after.Records[i].SubtreeEnd != doc.Index.Records[i].SubtreeEnd ||
        !SameButPatched(patch, doc.Index.View(i, doc.Bytes), after.View(i, text)))
      return false;
  return true;
}

TEST(edit_proof, judges_random_replacements_as_a_parse_of_the_whole_text_does) {
  static const char* const kPieces[] = {"---", "\n", "...", "'", "\"", "[", "]", "{", "}", ": ", " ", "#",
                                        "|", ">", "- ", "%YAML 1.1", "&a ", "*a", "!t ", "x", "\t", ",", "? "};
  std::mt19937 random(14);
  std::vector<std::string> texts(std::begin(kTexts), std::end(kTexts));
  for (const char* name : {"k8s-manifests.yaml", "ci-workflow.yml", "flow-and-quoting.yaml"})
    texts.push_back(test::ReadFileBytes(test::SourceDir() + "/tests/editing/corpus/" + name));
  int passed = 0;
  for (const std::string& text : texts) {
    test::TParsed parsed = test::Parse(text, TDocumentLanguage::Yaml);
    ASSERT_TRUE(parsed.Ok) << Utf16ToUtf8(parsed.Error);
    for (int round = 0; round < 200; ++round) {
      TSourcePatch patch;
      patch.Start = int64_t(random() % (text.size() + 1));
      // Every fourth at the start of its line, where entries and documents begin.
      if (random() % 4 == 0 && patch.Start > 0)
        patch.Start = int64_t(text.find_last_of('\n', size_t(patch.Start - 1)) + 1);
      patch.Length = std::min<int64_t>(int64_t(random() % 6), int64_t(text.size()) - patch.Start);
      for (unsigned n = random() % 4; n > 0; --n) patch.Replacement += kPieces[random() % std::size(kPieces)];
      const bool holds = PatchedRecordsHold(parsed.Doc, {patch}, [&](size_t, const TNodeView& b, const TNodeView& a) {
        return SameButPatched(patch, b, a);
      });
      ASSERT_EQ(holds, WholeTextHolds(parsed.Doc, patch))
          << "at " << patch.Start << "+" << patch.Length << " '" << patch.Replacement << "' in\n" << text;
      passed += holds;
    }
  }
  EXPECT_GT(passed, 200);  // the replacements that keep the structure are not a rare case
}

// Several edits located one by one, as a caller collects them.
TSourcePatches Locate(const test::TParsed& parsed, const std::vector<std::pair<std::string, std::u16string>>& edits) {
  TSourcePatches patches;
  for (const auto& [path, text] : edits) {
    const TLocatedEdit edit = LocateValueEdit(parsed.Doc, test::ValueAt(parsed, path), text);
    EXPECT_TRUE(edit.Accepted()) << path << ": " << Utf16ToUtf8(edit.Refusal);
    patches.push_back({edit.Start, edit.Length, edit.Replacement});
  }
  std::sort(patches.begin(), patches.end(), [](auto& x, auto& y) { return x.Start < y.Start; });
  return patches;
}

TEST(save_check, passes_located_edits_in_one_and_in_several_documents) {
  const test::TParsed yaml = test::Parse(kTexts[0], TDocumentLanguage::Yaml);
  const TSourcePatches patches = Locate(yaml, {{"0/a", u"2"}, {"2/0/1", u"three"}, {"3/c", u"r"}});
  std::u16string error;
  EXPECT_TRUE(CheckPatchedStructure(yaml.Doc, patches, error)) << Utf16ToUtf8(error);
  EXPECT_TRUE(LocatedEditsValidation(yaml.Doc, patches)(SplicePatches(yaml.Doc.Bytes, patches), error));

  const test::TParsed toml =
      test::Parse("name = \"a\"\nport = 80\n[db]\nhost = 'h'\n", TDocumentLanguage::Toml);
  const TSourcePatches tomlPatches = Locate(toml, {{"name", u"b"}, {"port", u"81"}, {"db/host", u"x"}});
  EXPECT_TRUE(CheckPatchedStructure(toml.Doc, tomlPatches, error)) << Utf16ToUtf8(error);
}

TEST(save_check, refuses_patched_text_that_changes_more_than_the_edited_values) {
  const test::TParsed yaml = test::Parse("a: 1\nb: 2\n---\nc: 3\n", TDocumentLanguage::Yaml);
  std::u16string error;
  // A value that turns into a mapping, one that pulls in a key, a change
  // outside every value's span.
  for (const TSourcePatches& patches :
       {TSourcePatches{{3, 1, "{x: 1}"}, {18, 1, "4"}}, TSourcePatches{{3, 1, "1\nd: 5"}, {18, 1, "4"}},
        TSourcePatches{{0, 1, "\"a\""}, {18, 1, "4"}}}) {
    EXPECT_FALSE(CheckPatchedStructure(yaml.Doc, patches, error));
    EXPECT_EQ(Utf16ToUtf8(error), "This value cannot be edited without changing its syntax");
  }
  EXPECT_FALSE(CheckPatchedStructure(yaml.Doc, {{3, 1, "'1"}, {18, 1, "4"}}, error));
  EXPECT_NE(Utf16ToUtf8(error).find("line"), std::string::npos) << Utf16ToUtf8(error);  // the parser's message

  const test::TParsed toml = test::Parse("a = 1\nb = 2\n", TDocumentLanguage::Toml);
  EXPECT_FALSE(CheckPatchedStructure(toml.Doc, {{4, 1, "3\nc = 4"}}, error));
  // TOML records carry no spans: one patch may change one text, not two.
  EXPECT_TRUE(CheckPatchedStructure(toml.Doc, {{4, 1, "3"}}, error));
  EXPECT_FALSE(CheckPatchedStructure(toml.Doc, {{4, 7, "3\nb = 4"}}, error));
}

TEST(save_check, validates_only_the_text_of_exactly_its_patches) {
  const test::TParsed yaml = test::Parse("a: 1\nb: 2\n", TDocumentLanguage::Yaml);
  const TSourcePatches one = Locate(yaml, {{"a", u"5"}});
  const TValidateText validate = LocatedEditsValidation(yaml.Doc, one);
  std::u16string error;
  EXPECT_TRUE(validate("a: 5\nb: 2\n", error));
  EXPECT_FALSE(validate("a: 5\nb: 3\n", error));
  EXPECT_FALSE(validate("a: 1\nb: 2\n", error));
  EXPECT_FALSE(validate("a: 5\nb: 2\nc: 3\n", error));
}

}  // namespace
}  // namespace corvane
