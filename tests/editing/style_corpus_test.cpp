// Styles over the editing corpus, as a user edits real files: every scalar
// edited to a text of its own shape (a letter or digit changed, a number
// counted up, a boolean flipped, a null filled in) and every key renamed
// the same way must keep the style it was written in; every string edited
// to a text that needs quoting must take the least quoting that reads back
// as typed, change only its span and load as the expected document. Prints,
// per language, the shares of value edits and renames that kept their style
// and of scalars that could be edited at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "editing_support.h"
#include "test_support.h"
#include "uEditLocate.h"
#include "uScalarWriting.h"
#include "uUnicode.h"

namespace corvane {
namespace {

const char* const kAliasRefusal = "This value is an alias of another value: edit the anchored value it stands for";
const char* const kMergeRefusal = "A merge key (<<) names the mappings merged here: it cannot be edited or renamed";

// The style a written value or key is in: for YAML its first character
// (after the blank an empty value gets) names plain, quoted or block; for
// TOML the value's form or the key's quoting.
std::string StyleOf(std::string_view written, TDocumentLanguage language, bool key) {
  if (language == TDocumentLanguage::Toml) {
    if (key) return std::to_string(int(TomlKeyStyleOf(written)));
    const TTomlForm form = TomlFormOf(written);
    return std::to_string(int(form == TTomlForm::Float ? TTomlForm::Integer : form));  // a number is a number
  }
  while (!written.empty() && written[0] == ' ') written.remove_prefix(1);
  const char first = written.empty() ? ' ' : written[0];
  return first == '\'' || first == '"' || first == '|' || first == '>' ? std::string(1, first) : "plain";
}

// The text with its last ASCII letter or digit changed (only digits for a
// date): the same shape, as a new version, tag, name or day has.
std::string Mutated(std::string text, int step = 1, bool digitsOnly = false) {
  for (size_t i = text.size(); i-- > 0;) {
    char& c = text[i];
    for (const auto& [first, last] : {std::pair{'0', '9'}, std::pair{'a', 'z'}, std::pair{'A', 'Z'}}) {
      if (digitsOnly && first != '0') break;
      if (c >= first && c <= last) return c = char(first + (c - first + step) % (last - first + 1)), text;
    }
  }
  return text + std::string(size_t(step), 'x');
}

// A new text of a node's own shape: a number counted up, a boolean
// flipped, a null filled in, a string or date with a letter or digit
// changed.
std::u16string SameShapeText(const TJsonData& node) {
  const std::string shown = Utf16ToUtf8(ValueSummaryText(&node));
  switch (node.Kind()) {
    case nkNumber:
      if (static_cast<const TJsonNumber&>(node).IsFloat()) return shown == "2.5" ? u"3.5" : u"2.5";
      return Utf8ToUtf16(std::to_string(static_cast<const TJsonNumber&>(node).AsInt64() % 1000000 + 1));
    case nkBoolean: return shown == "true" ? u"false" : u"true";
    case nkNull: return u"filled";
    default: return Utf8ToUtf16(Mutated(shown, 1, dynamic_cast<const TDateTimeString*>(&node) != nullptr));
  }
}

// Texts that need quoting in a plain YAML scalar (or hold nothing special
// in TOML): the least quoting that holds each is checked.
const char16_t* const kQuotingTexts[] = {u"a: b",    u"x #y", u"*x",     u"&x",    u"!x",      u"[x",
                                         u"yes",     u"null", u"1e5",    u" lead", u"trail ", u"a\tb",
                                         u"{x}, y", u"- x",  u"12:30", u"42",    u"",        u"caf\u00E9 \u00FC"};

struct TTally {
  int Tried = 0, Accepted = 0, Kept = 0, Aliases = 0;
  void Add(const TTally& o) { Tried += o.Tried, Accepted += o.Accepted, Kept += o.Kept, Aliases += o.Aliases; }
};

struct TFileRun {
  TTally Values, Keys;
  std::vector<std::string> Changed;  // edits whose style changed, for the message
};

// The text an accepted edit replaces.
template <typename TEdit>
std::string_view OldText(const TLoadedDocument& doc, const TEdit& edit) {
  return std::string_view(doc.Bytes).substr(size_t(edit.Start), size_t(edit.Length));
}

test::TEditResult Finish(const TLocatedEdit& located) {
  return {located.Accepted(), located.Start, located.Length, located.Replacement, Utf16ToUtf8(located.Refusal), ""};
}

// The style a string typed over a scalar of style `old` must be written in
// (YAML): the old quotes where they hold the text, else double quotes; a
// plain scalar single quotes unless the text needs escapes.
std::string LeastQuoting(const std::string& old, const std::string& text) {
  const bool singleHolds = YamlSingleQuotedHolds(text);
  if (old == "\"") return "\"";
  if (old == "plain" || old == "'") return singleHolds ? "'" : "\"";
  return old;  // a block scalar stays one
}

// A plain string some YAML readers take for a boolean: "yes" may stay plain
// over it, those readers read the place so already.
bool IsYaml11Boolean(const TJsonData* node) {
  static const std::set<std::u16string> kWords = {u"y", u"Y", u"yes", u"Yes", u"YES", u"n", u"N", u"no", u"No", u"NO",
                                                  u"on", u"On", u"ON", u"off", u"Off", u"OFF"};
  return kWords.count(ValueSummaryText(node)) > 0;
}

void CheckQuotingTexts(const test::TParsed& parsed, const test::TItem& item, const std::string& where) {
  const TLoadedDocument& doc = parsed.Doc;
  if (item.Node->Kind() != nkString || dynamic_cast<const TDateTimeString*>(item.Node)) return;
  const TLocatedEdit probe = LocateValueEdit(doc, item.Node, u"x");
  if (!probe.Accepted()) return;  // an alias
  const std::string old = StyleOf(OldText(doc, probe), doc.Language, false);
  for (const char16_t* text : kQuotingTexts) {
    const test::TEditResult edit = Finish(LocateValueEdit(doc, item.Node, text));
    const std::string typed = Utf16ToUtf8(text), what = where + " <- '" + typed + "'";
    if (!edit.Accepted && (old == "|" || old == ">")) continue;  // a block scalar holds no leading blank
    ASSERT_TRUE(edit.Accepted) << what << ": " << edit.Error;
    const std::string now = StyleOf(edit.Replacement, doc.Language, false);
    if (doc.Language == TDocumentLanguage::Toml)
      EXPECT_EQ(now, old) << what << ": " << edit.Replacement;
    else if (typed == "caf\xC3\xA9 \xC3\xBC" || (typed == "yes" && IsYaml11Boolean(item.Node)))
      EXPECT_EQ(now, old) << what << ": " << edit.Replacement;
    else
      EXPECT_EQ(now, LeastQuoting(old, typed)) << what << ": " << edit.Replacement;
    const test::TPath path = item.Path;
    test::ExpectOnlyTheEdit(parsed, edit, [&](TJsonData* root) {
      static_cast<TJsonString*>(test::NodeAt(root, path))->SetValue(typed);
    }, what);
  }
}

// The edit of a node's value to a text of its own shape, written as its
// own kind (a null: as the string filled in); the proof has held the value
// to the text, the round-trip test holds the rest of the file.
void TryValue(const TLoadedDocument& doc, const test::TItem& item, const std::string& where, TFileRun& run) {
  const std::u16string text = SameShapeText(*item.Node);
  const TJsonString filled(Utf16ToUtf8(text));
  const TJsonData& written = item.Node->Kind() == nkNull ? filled : *item.Node;
  ++run.Values.Tried;
  const test::TEditResult edit = Finish(LocateValueEdit(doc, item.Node, text, written));
  const std::string what = where + " <- '" + Utf16ToUtf8(text) + "'";
  if (!edit.Accepted) {
    // Every scalar but an alias (a merge key's value is one) can be edited.
    const bool alias = edit.Error == kAliasRefusal || edit.Error == kMergeRefusal;
    run.Values.Aliases += alias;
    EXPECT_TRUE(alias) << what << ": " << edit.Error;
    return;
  }
  ++run.Values.Accepted;
  const std::string before = StyleOf(OldText(doc, edit), doc.Language, false);
  if (before == StyleOf(edit.Replacement, doc.Language, false)) ++run.Values.Kept;
  else run.Changed.push_back(what + ": " + before + " -> " + edit.Replacement);
}

void TryRename(const TLoadedDocument& doc, const test::TItem& item, const std::string& where, TFileRun& run) {
  const auto* parent = static_cast<const TJsonObject*>(item.Node->Parent());
  std::string name = Mutated(item.Name);
  for (int step = 2; parent->IndexOfName(name) >= 0 && step < 26; ++step) name = Mutated(item.Name, step);
  ++run.Keys.Tried;
  const test::TEditResult edit = Finish(LocateKeyRename(doc, item.Node, Utf8ToUtf16(name)));
  if (!edit.Accepted) return;  // a table named in more places, a merge key: not a matter of style
  ++run.Keys.Accepted;
  if (StyleOf(OldText(doc, edit), doc.Language, true) == StyleOf(edit.Replacement, doc.Language, true))
    ++run.Keys.Kept;
  else
    run.Changed.push_back(where + " key '" + item.Name + "' -> " + edit.Replacement);
}

TFileRun RunFile(const std::string& file, TDocumentLanguage language) {
  TFileRun run;
  const test::TParsed parsed = test::Parse(test::ReadFileBytes(file), language);
  EXPECT_TRUE(parsed.Ok) << file << ": " << Utf16ToUtf8(parsed.Error);
  if (!parsed.Ok) return run;
  for (const test::TItem& item : test::Enumerate(parsed.Doc.Value.get())) {
    const std::string where = file.substr(file.rfind('/') + 1) + test::PathText(item.Path);
    if (!IsContainer(item.Node)) TryValue(parsed.Doc, item, where, run);
    if (!IsContainer(item.Node)) CheckQuotingTexts(parsed, item, where);
    if (item.IsMember) TryRename(parsed.Doc, item, where, run);
  }
  return run;
}

std::string Share(int part, int whole) {
  char text[64];
  std::snprintf(text, sizeof text, "%d of %d (%.1f %%)", part, whole, whole ? 100.0 * part / whole : 100.0);
  return text;
}

// The files written for this measure: a compose stack with anchors and
// merge keys, Helm values with empty values, a home-automation file with
// tags, a release workflow, a Cargo workspace, a pyproject.
bool IsRealistic(const std::string& file) {
  for (const char* name : {"compose-stack.yaml", "helm-chart-values.yaml", "home-assistant.yaml",
                           "release-workflow.yml", "cargo-workspace.toml", "pyproject-tool.toml"})
    if (file.size() >= std::string(name).size() && file.substr(file.size() - std::string(name).size()) == name)
      return true;
  return false;
}

void RunLanguage(const std::vector<std::string>& files, TDocumentLanguage language, const char* label,
                 double valueGoal) {
  std::map<bool, std::pair<TTally, TTally>> totals;  // realistic files, all files: values, keys
  for (const std::string& file : files) {
    const TFileRun run = RunFile(file, language);
    for (const std::string& change : run.Changed) ADD_FAILURE() << "style not kept: " << change;
    for (const bool realistic : {true, false}) {
      if (realistic && !IsRealistic(file)) continue;
      totals[realistic].first.Add(run.Values);
      totals[realistic].second.Add(run.Keys);
    }
  }
  for (const bool realistic : {true, false}) {
    const auto& [values, keys] = totals[realistic];
    std::printf("%s %s: style kept by %s value edits and %s key renames (%d renames tried); %s scalars editable, "
                "%d aliases\n",
                label, realistic ? "realistic files" : "whole corpus", Share(values.Kept, values.Accepted).c_str(),
                Share(keys.Kept, keys.Accepted).c_str(), keys.Tried, Share(values.Accepted, values.Tried).c_str(),
                values.Aliases);
    EXPECT_GE(values.Kept * 100.0, values.Accepted * valueGoal) << label;
    EXPECT_GE(keys.Kept * 100.0, keys.Accepted * 95.0) << label;
    EXPECT_EQ(values.Accepted + values.Aliases, values.Tried) << label;
  }
}

std::string CorpusFolder() { return test::SourceDir() + "/tests/editing/corpus"; }

TEST(corpus_styles, yaml_values_and_keys_keep_their_style) {
  std::vector<std::string> files = test::ListFiles(CorpusFolder(), ".yaml");
  for (const std::string& yml : test::ListFiles(CorpusFolder(), ".yml")) files.push_back(yml);
  RunLanguage(files, TDocumentLanguage::Yaml, "YAML", 95.0);
}

TEST(corpus_styles, toml_values_and_keys_keep_their_style) {
  RunLanguage(test::ListFiles(CorpusFolder(), ".toml"), TDocumentLanguage::Toml, "TOML", 98.0);
}

}  // namespace
}  // namespace corvane
