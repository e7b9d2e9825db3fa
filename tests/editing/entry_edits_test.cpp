// Structural edits on small texts: each removal, addition and copy gives
// exactly the expected text (every other byte kept), and the value tree
// brought along equals the tree of that text loaded afresh; the refusals,
// each with its reason, change nothing.
#include <gtest/gtest.h>

#include <functional>

#include "editing_support.h"
#include "test_support.h"
#include "uEditLocate.h"
#include "uEntryEdits.h"
#include "uI18n.h"
#include "uUnicode.h"
#include "uValueChecks.h"

namespace corvane {
namespace {

using test::JsonOf;
using test::Parse;
using test::TParsed;
using test::ValueAt;

enum class TOp { Remove, Add, Copy };

struct TCase {
  const char* Name;
  TDocumentLanguage Language;
  TOp Op;
  std::string Text;
  std::string Path;   // the entry (Remove, Copy) or the container (Add)
  std::string Key;    // Add: "-" for a sequence element
  std::string Value;  // Add: typed as a null takes it
  std::string After;  // Add: the sibling it goes after ("" = at the end)
  std::string Expected;  // the text afterwards, or the refusal's key
};

constexpr auto Y = TDocumentLanguage::Yaml;
constexpr auto T = TDocumentLanguage::Toml;

TEntryChange Locate(const TParsed& parsed, const TCase& c, TJsonDataPtr& value, TNewEntry& entry) {
  TJsonData* node = c.Path.empty() ? parsed.Doc.Value.get() : ValueAt(parsed, c.Path);
  switch (c.Op) {
    case TOp::Remove:
      return LocateEntryRemoval(parsed.Doc, {node});
    case TOp::Copy:
      return LocateEntryCopy(parsed.Doc, node);
    case TOp::Add:
      value = NewEntryValue(Utf8ToUtf16(c.Value), c.Language);
      if (c.Key != "-") entry.Key = c.Key;
      entry.Typed = c.Value;
      entry.Value = value.get();
      return LocateEntryAddition(parsed.Doc, node, c.After.empty() ? nullptr : ValueAt(parsed, c.After), entry);
  }
  return {};
}

void Check(const TCase& c) {
  SCOPED_TRACE(c.Name);
  TParsed parsed = Parse(c.Text, c.Language);
  ASSERT_TRUE(parsed.Ok) << Utf16ToUtf8(parsed.Error);
  TJsonDataPtr value;
  TNewEntry entry;
  TEntryChange change = Locate(parsed, c, value, entry);
  if (c.Expected.rfind("error.", 0) == 0) {
    EXPECT_FALSE(change.Accepted()) << change.NewText;
    EXPECT_EQ(Utf16ToUtf8(change.Refusal), test::EnglishText(c.Expected));
    return;
  }
  ASSERT_TRUE(change.Accepted()) << Utf16ToUtf8(change.Refusal);
  EXPECT_EQ(change.NewText, c.Expected);
  ApplyEntryChange(parsed.Doc, change);
  TParsed fresh = Parse(c.Expected, c.Language);
  ASSERT_TRUE(fresh.Ok);
  EXPECT_EQ(JsonOf(parsed.Doc.Value.get()), JsonOf(fresh.Doc.Value.get()));
}

class EntryEdits : public ::testing::TestWithParam<TCase> {};

TEST_P(EntryEdits, GiveExactlyTheExpectedText) { Check(GetParam()); }

const TCase kYamlRemovals[] = {
    {"block member with nested block and last-line comment", Y, TOp::Remove,
     "a: 1\n# about b\nb:\n  c: 2\n  d: |\n    text\n    more\n  e: 3 # last\nf: 4\n", "b", "", "", "",
     "a: 1\n# about b\nf: 4\n"},
    {"block member, blank line kept", Y, TOp::Remove, "a: 1\n\nb: 2\n\nc: 3\n", "b", "", "", "", "a: 1\n\n\nc: 3\n"},
    {"last member of a nested mapping becomes {}", Y, TOp::Remove, "top:\n  only: 1\nnext: 2\n", "top/only", "", "",
     "", "top:\n  {}\nnext: 2\n"},
    {"whole document content becomes {}", Y, TOp::Remove, "only: 1\n", "only", "", "", "", "{}\n"},
    {"sequence item with its lines", Y, TOp::Remove, "list:\n  - a\n  - name: b\n    x: 1\n  - c\n", "list/1", "",
     "", "", "list:\n  - a\n  - c\n"},
    {"first key after a dash leaves the dash", Y, TOp::Remove, "- name: a\n  image: b\n- name: c\n", "0/name", "",
     "", "", "-\n  image: b\n- name: c\n"},
    {"first key of several lines after a dash", Y, TOp::Remove, "- name: # n\n    x: 1\n  # c\n  image: b\n", "0/name",
     "", "", "", "-\n  # c\n  image: b\n"},
    {"flow item with its separator", Y, TOp::Remove, "x: [a, b, c]\n", "x/1", "", "", "", "x: [a, c]\n"},
    {"last flow item", Y, TOp::Remove, "x: [a, b, c]\n", "x/2", "", "", "", "x: [a, b]\n"},
    {"flow item on a line of its own", Y, TOp::Remove, "x: [\n  a,  # first\n  b\n]\n", "x/0", "", "", "",
     "x: [\n  b\n]\n"},
    {"every item of a flow list with a trailing comma", Y, TOp::Remove, "x: [\n  a,\n]\n", "x/0", "", "", "",
     "x: [\n  \n]\n"},
    {"flow member", Y, TOp::Remove, "x: {x: 1, y: 2}\n", "x/x", "", "", "", "x: {y: 2}\n"},
    {"only flow item", Y, TOp::Remove, "x: [a]\n", "x/0", "", "", "", "x: []\n"},
    {"CRLF lines", Y, TOp::Remove, "a: 1\r\nb: 2\r\nc: 3\r\n", "b", "", "", "", "a: 1\r\nc: 3\r\n"},
    {"second document's member", Y, TOp::Remove, "a: 1\n---\nb: 2\nc: 3\n", "1/b", "", "", "", "a: 1\n---\nc: 3\n"},
    {"a whole document is refused", Y, TOp::Remove, "a: 1\n---\nb: 2\n", "1", "", "", "", "error.entry_document"},
    {"an anchor used elsewhere is refused", Y, TOp::Remove, "base: &b\n  x: 1\nuse: *b\n", "base", "", "", "",
     "error.entry_anchor"},
    {"the alias itself goes", Y, TOp::Remove, "base: &b 1\nuse: *b\n", "use", "", "", "", "base: &b 1\n"},
    {"a kept block scalar's blank lines", Y, TOp::Remove, "a: |+\n  x\n\nb: 1\n", "a", "", "", "", "b: 1\n"},
};
INSTANTIATE_TEST_SUITE_P(YamlRemovals, EntryEdits, ::testing::ValuesIn(kYamlRemovals));

const TCase kYamlAdditions[] = {
    {"member at the end of a block mapping", Y, TOp::Add, "env:\n  A: 1\n  B: x\nother: 2\n", "env", "C", "hello", "",
     "env:\n  A: 1\n  B: x\n  C: hello\nother: 2\n"},
    {"member after a given one", Y, TOp::Add, "env:\n  A: 1\n  B: x\n", "env", "C", "2", "env/A",
     "env:\n  A: 1\n  C: 2\n  B: x\n"},
    {"neighbour's quoting", Y, TOp::Add, "env:\n  \"A\": 'x'\n", "env", "B", "y", "", "env:\n  \"A\": 'x'\n  \"B\": 'y'\n"},
    {"a text that reads as something else is quoted", Y, TOp::Add, "a: x\n", "", "b", "yes", "", "a: x\nb: 'yes'\n"},
    {"sequence item in its dash style", Y, TOp::Add, "hosts:\n  -   a\n  -   b\n", "hosts", "-", "c", "",
     "hosts:\n  -   a\n  -   b\n  -   c\n"},
    {"after a nested block", Y, TOp::Add, "a:\n  b: 1\n  c:\n    d: 2\nz: 0\n", "a", "e", "3", "",
     "a:\n  b: 1\n  c:\n    d: 2\n  e: 3\nz: 0\n"},
    {"into a mapping after a dash", Y, TOp::Add, "- name: a\n  image: b\n", "0", "port", "80", "",
     "- name: a\n  image: b\n  port: 80\n"},
    {"flow sequence", Y, TOp::Add, "x: [a, b]\n", "x", "-", "c", "", "x: [a, b, c]\n"},
    {"flow mapping", Y, TOp::Add, "x: {a: 1}\n", "x", "b", "2", "", "x: {a: 1, b: 2}\n"},
    {"empty flow sequence", Y, TOp::Add, "x: []\n", "x", "-", "c", "", "x: [c]\n"},
    {"CRLF and no final line break", Y, TOp::Add, "a: 1\r\nb: 2", "", "c", "3", "", "a: 1\r\nb: 2\r\nc: 3"},
    {"an existing key is refused", Y, TOp::Add, "a: 1\n", "", "a", "2", "", "error.entry_exists"},
    {"a key for a sequence is refused", Y, TOp::Add, "a: [1]\n", "a", "k", "2", "", "error.entry_container"},
    {"an empty mapping", Y, TOp::Add, "a:\n  - x\n", "", "b", "{}", "", "a:\n  - x\nb: {}\n"},
    {"an empty sequence item", Y, TOp::Add, "- a\n", "", "-", "[]", "", "- a\n- []\n"},
};
INSTANTIATE_TEST_SUITE_P(YamlAdditions, EntryEdits, ::testing::ValuesIn(kYamlAdditions));

const TCase kYamlCopies[] = {
    {"member under a numbered key", Y, TOp::Copy, "web:\n  image: a # pinned\ndb: 1\n", "web", "", "", "",
     "web:\n  image: a # pinned\nweb2:\n  image: a # pinned\ndb: 1\n"},
    {"a numbered key counts on", Y, TOp::Copy, "item1: 1\nitem2: 2\n", "item1", "", "", "",
     "item1: 1\nitem3: 1\nitem2: 2\n"},
    {"sequence item after a dash", Y, TOp::Copy, "- name: a\n  x: 1\n- b\n", "0", "", "", "",
     "- name: a\n  x: 1\n- name: a\n  x: 1\n- b\n"},
    {"first member after a dash", Y, TOp::Copy, "- name: a\n  x: 1\n", "0/name", "", "", "",
     "- name: a\n  name2: a\n  x: 1\n"},
    {"flow item", Y, TOp::Copy, "x: [a, b]\n", "x/0", "", "", "", "x: [a, a, b]\n"},
    {"an anchor is not defined twice", Y, TOp::Copy, "a: &x 1\nb: *x\n", "a", "", "", "", "error.entry_copy_anchor"},
    {"a key as long as a name can be has no copy key", Y, TOp::Copy, std::string(255, 'k') + ": 1\n",
     std::string(255, 'k'), "", "", "", "error.entry_copy_long_key"},
};
INSTANTIATE_TEST_SUITE_P(YamlCopies, EntryEdits, ::testing::ValuesIn(kYamlCopies));

const TCase kTomlCases[] = {
    {"key line with its comment", T, TOp::Remove, "a = 1\n# about b\nb = 2 # two\nc = 3\n", "b", "", "", "",
     "a = 1\n# about b\nc = 3\n"},
    {"table section", T, TOp::Remove, "[a]\nx = 1\n\n# about b\n[b]\ny = 2\n", "a", "", "", "",
     "\n# about b\n[b]\ny = 2\n"},
    {"table with its subtables", T, TOp::Remove, "[a]\nx = 1\n[a.sub]\ny = 2\n[b]\nz = 3\n", "a", "", "", "",
     "[b]\nz = 3\n"},
    {"last key of a table keeps the header", T, TOp::Remove, "[a]\nx = 1\n[b]\ny = 2\n", "a/x", "", "", "",
     "[a]\n[b]\ny = 2\n"},
    {"one array-of-tables entry", T, TOp::Remove, "[[p]]\nn = 1\n[p.sub]\nq = 1\n\n[[p]]\nn = 2\n", "p/0", "", "",
     "", "\n[[p]]\nn = 2\n"},
    {"inline table member", T, TOp::Remove, "dep = { version = \"1\", features = [\"x\"] }\n", "dep/features", "",
     "", "", "dep = { version = \"1\" }\n"},
    {"array element", T, TOp::Remove, "a = [1, 2, 3]\n", "a/0", "", "", "", "a = [2, 3]\n"},
    {"dotted key line", T, TOp::Remove, "site.name = \"x\"\nsite.url = \"y\"\n", "site/url", "", "", "",
     "site.name = \"x\"\n"},
    {"the last dotted key would drop its table", T, TOp::Remove, "site.name = \"x\"\nz = 1\n", "site/name", "", "",
     "", "error.entry_last"},
    {"the last array-of-tables entry", T, TOp::Remove, "[[p]]\nn = 1\n", "p/0", "", "", "", "error.entry_last"},
    {"dependency under its header, neighbour's form", T, TOp::Add,
     "[package]\nname = 'x'\n\n[dependencies]\nserde = '1.0'\n\n[dev]\n", "dependencies", "toml", "0.8.19", "",
     "[package]\nname = 'x'\n\n[dependencies]\nserde = '1.0'\ntoml = '0.8.19'\n\n[dev]\n"},
    {"aligned equals signs", T, TOp::Add, "[a]\nx    = 1\n", "a", "yy", "2", "", "[a]\nx    = 1\nyy    = 2\n"},
    {"root key before the first header's comments", T, TOp::Add, "# file\n\n# about a\n[a]\nx = 1\n", "", "b", "true",
     "", "# file\n\nb = true\n# about a\n[a]\nx = 1\n"},
    {"inline table member", T, TOp::Add, "dep = { version = \"1\" }\n", "dep", "optional", "true", "",
     "dep = { version = \"1\", optional = true }\n"},
    {"array element", T, TOp::Add, "a = [1, 2]\n", "a", "-", "3", "", "a = [1, 2, 3]\n"},
    {"dotted table", T, TOp::Add, "site.name = \"x\"\n", "site", "url", "y", "", "site.name = \"x\"\nsite.url = \"y\"\n"},
    {"table named by subtables only", T, TOp::Add, "[a.b]\nx = 1\n", "a", "k", "1", "", "[a]\nk = 1\n\n[a.b]\nx = 1\n"},
    {"a new table after its parent's last section", T, TOp::Add,
     "[package]\nname = 'x'\n[package.meta]\nk = 1\n\n[deps]\na = 1\n", "package", "extra", "{}", "",
     "[package]\nname = 'x'\n[package.meta]\nk = 1\n\n[package.extra]\n\n[deps]\na = 1\n"},
    {"a new top-level table at the end", T, TOp::Add, "a = 1", "", "t", "{}", "", "a = 1\n\n[t]\n"},
    {"a new array-of-tables element", T, TOp::Add, "[[p]]\nn = 1\n[x]\n", "p", "-", "{}", "",
     "[[p]]\nn = 1\n\n[[p]]\n[x]\n"},
    {"an empty inline table in an inline table", T, TOp::Add, "d = { v = 1 }\n", "d", "f", "{}", "",
     "d = { v = 1, f = {} }\n"},
    {"array of tables takes no scalar", T, TOp::Add, "[[p]]\nn = 1\n", "p", "-", "1", "", "error.entry_add_unsafe"},
    {"key line copy", T, TOp::Copy, "[a]\nport = 80\nhost = 'h'\n", "a/port", "", "", "",
     "[a]\nport = 80\nport2 = 80\nhost = 'h'\n"},
    {"table copy after its parent's last section", T, TOp::Copy, "[s.a]\nx = 1\n[s.a.deep]\ny = 2\n[s.b]\nz = 3\n",
     "s/a", "", "", "", "[s.a]\nx = 1\n[s.a.deep]\ny = 2\n[s.b]\nz = 3\n\n[s.a2]\nx = 1\n[s.a2.deep]\ny = 2\n"},
    {"array-of-tables entry copy", T, TOp::Copy, "[[p]]\nn = 1\n[[p]]\nn = 2\n", "p/0", "", "", "",
     "[[p]]\nn = 1\n[[p]]\nn = 1\n[[p]]\nn = 2\n"},
};
INSTANTIATE_TEST_SUITE_P(Toml, EntryEdits, ::testing::ValuesIn(kTomlCases));

// Value edits and structural changes mixed, each located in the text the
// changes before it left: the patch document holds them as patches of the
// loaded bytes and one save writes exactly the text they make together.
TEST(entry_edits, several_changes_and_value_edits_go_out_in_one_save) {
  test::TempDir dir;
  const std::string original = "a: 1 # one\nb:\n  - x\n  - y\nc: {p: 1, q: 2}\nd: 4\n";
  test::WriteFileBytes(dir.File("doc.yaml"), original);
  TParsed parsed = Parse(original, Y);
  TLoadedDocument& doc = parsed.Doc;
  TSourcePatchDocument patches;
  std::u16string error;
  ASSERT_TRUE(patches.LoadFromFile(Utf8ToUtf16(dir.File("doc.yaml")), error));
  const auto edit = [&](const std::string& path, std::u16string text) {
    const TLocatedEdit located = LocateValueEdit(doc, ValueAt(parsed, path), text);
    ASSERT_TRUE(located.Accepted()) << path;
    ASSERT_TRUE(RecordLocatedEdits(doc, patches, {{located.Start, located.Length, located.Replacement}}));
  };
  // A change is located once doc describes the patched text.
  const auto commit = [&](const std::function<TEntryChange()>& locate) {
    ASSERT_TRUE(DescribePatchedText(doc, patches));
    TEntryChange change = locate();
    std::vector<TJsonDataPtr> removed;
    ASSERT_TRUE(CommitEntryChange(doc, patches, change, removed)) << Utf16ToUtf8(change.Refusal);
  };
  edit("a", u"10");
  commit([&] { return LocateEntryRemoval(doc, {ValueAt(parsed, "b/0")}); });
  const TJsonDataPtr three = ValueTypedOverNull(u"3", Y);
  commit([&] { return LocateEntryAddition(doc, ValueAt(parsed, "c"), nullptr, {std::string("r"), "3", three.get()}); });
  commit([&] { return LocateEntryCopy(doc, ValueAt(parsed, "d")); });
  edit("d2", u"5");
  edit("a", u"11");
  const std::string expected = "a: 11 # one\nb:\n  - y\nc: {p: 1, q: 2, r: 3}\nd: 4\nd2: 5\n";
  EXPECT_EQ(patches.BuildText(), expected);
  ASSERT_TRUE(patches.SaveToFile(EditedTextValidation(doc, patches), error)) << Utf16ToUtf8(error);
  EXPECT_EQ(test::ReadFileBytes(dir.File("doc.yaml")), expected);
}

}  // namespace
}  // namespace corvane
