// Locating value edits and key renames in YAML and TOML: spans, replacement
// bytes, the refusals, and what the edited file then holds.
#include <gtest/gtest.h>

#include "editing_support.h"
#include "uEditLocate.h"
#include "uUnicode.h"

namespace corvane {
namespace {

using test::EditValue;
using test::Parse;
using test::RenameKey;

const char* kUnsafeEdit = "This value cannot be edited without changing its syntax";
const char* kUnsafeKey = "This key cannot be renamed safely";

test::TParsed Yaml(const std::string& text) {
  test::TParsed parsed = Parse(text, TDocumentLanguage::Yaml);
  EXPECT_TRUE(parsed.Ok) << Utf16ToUtf8(parsed.Error);
  return parsed;
}

test::TParsed Toml(const std::string& text) {
  test::TParsed parsed = Parse(text, TDocumentLanguage::Toml);
  EXPECT_TRUE(parsed.Ok) << Utf16ToUtf8(parsed.Error);
  return parsed;
}

// The value under path after the edit was applied and the text reparsed.
std::string ValueAfter(const test::TEditResult& edit, TDocumentLanguage language, const std::string& path) {
  test::TParsed again = Parse(edit.Patched, language);
  if (!again.Ok) return "<does not parse: " + Utf16ToUtf8(again.Error) + ">";
  return test::JsonOf(test::ValueAt(again, path));
}

TEST(quote_double_string, escapes_what_both_grammars_need) {
  EXPECT_EQ(QuoteDoubleString(u"plain"), "\"plain\"");
  EXPECT_EQ(QuoteDoubleString(u""), "\"\"");
  EXPECT_EQ(QuoteDoubleString(u"a\tb\nc\rd\"e\\f"), "\"a\\tb\\nc\\rd\\\"e\\\\f\"");
  EXPECT_EQ(QuoteDoubleString(u"\x1B\x01"), "\"\\u001B\\u0001\"");
  EXPECT_EQ(QuoteDoubleString(u"caf\u00E9 \u65E5\U0001F600"), "\"caf\xC3\xA9 \xE6\x97\xA5\xF0\x9F\x98\x80\"");
  // DEL, C1 controls, line/paragraph separators and non-characters are
  // escaped: raw they would be refused by the parsers or folded by YAML.
  EXPECT_EQ(QuoteDoubleString(u"\x7F\u0085\u009F\u2028\u2029\uFFFE"),
            "\"\\u007F\\u0085\\u009F\\u2028\\u2029\\uFFFE\"");
}

TEST(toml_value_search, needs_exactly_one_key_equals_value_line) {
  int64_t offset = 0;
  EXPECT_TRUE(FindTomlValueOffset("a = 1\nport = 80\n", "port", "80", offset));
  EXPECT_EQ(offset, 13);
  EXPECT_TRUE(FindTomlValueOffset("  port\t=\t80 # web\r\n", "port", "80", offset));
  EXPECT_EQ(offset, 9);
  EXPECT_FALSE(FindTomlValueOffset("[a]\nport = 80\n[b]\nport = 80\n", "port", "80", offset));
  EXPECT_EQ(offset, -1);
  EXPECT_FALSE(FindTomlValueOffset("ports = 80\nsport = 80\n", "port", "80", offset));
  EXPECT_FALSE(FindTomlValueOffset("x = { port = 80 }\n", "port", "80", offset));
  EXPECT_FALSE(FindTomlValueOffset("\"port\" = 80\n", "\"port\"", "80", offset));
  EXPECT_FALSE(FindTomlValueOffset("port = 80\n", "", "80", offset));
  // A prefix of a longer value is no match: 80 is not the value of port = 8080.
  EXPECT_FALSE(FindTomlValueOffset("port = 8080\n", "port", "80", offset));
  EXPECT_TRUE(FindTomlValueOffset("[a]\nport = 8080\n[b]\nport = 80\n", "port", "80", offset));
  EXPECT_EQ(offset, 27);
  // The key of the first line after a byte-order mark.
  EXPECT_TRUE(FindTomlValueOffset("\xEF\xBB\xBFport = 80\n", "port", "80", offset));
  EXPECT_EQ(offset, 10);
}

TEST(yaml_value_edit, replaces_exactly_the_bytes_of_the_old_value) {
  test::TParsed doc = Yaml("count: 5\nname: 'a b'\nplain: John  # who\n");
  test::TEditResult number = EditValue(doc, "count", u"6");
  ASSERT_TRUE(number.Accepted) << number.Error;
  EXPECT_EQ(number.Start, 7);
  EXPECT_EQ(number.Length, 1);
  EXPECT_EQ(number.Replacement, "6");
  test::TEditResult quoted = EditValue(doc, "name", u"c");
  ASSERT_TRUE(quoted.Accepted) << quoted.Error;
  EXPECT_EQ(quoted.Length, 5);
  EXPECT_EQ(quoted.Replacement, "'c'");
  test::TEditResult plain = EditValue(doc, "plain", u"Jane");
  ASSERT_TRUE(plain.Accepted);
  EXPECT_EQ(plain.Patched, "count: 5\nname: 'a b'\nplain: Jane  # who\n");
}

TEST(yaml_value_edit, refuses_aliases_merge_keys_and_containers_each_with_its_reason) {
  test::TParsed doc = Yaml("base: &b {x: 1}\nuse: *b\nm:\n  <<: *b\n  y: 2\nn:\n  <<: [*b]\nmap: {a: 1}\n");
  const char* kAlias = "This value is an alias of another value: edit the anchored value it stands for";
  const char* kMerge = "A merge key (<<) names the mappings merged here: it cannot be edited or renamed";
  for (const auto& [path, reason] : {std::pair{"use", kAlias}, std::pair{"m/<<", kMerge}, std::pair{"n/<</0", kMerge},
                                     std::pair{"map", kUnsafeEdit}, std::pair{"base", kUnsafeEdit}}) {
    test::TEditResult edit = EditValue(doc, path, u"x");
    EXPECT_EQ(edit.Error, reason) << path;
    EXPECT_EQ(edit.Start, -1) << path;
  }
  EXPECT_EQ(RenameKey(doc, "m/<<", u"merged").Error, kMerge);
  EXPECT_TRUE(EditValue(doc, "m/y", u"3").Accepted);
}

TEST(yaml_value_edit, rewrites_block_scalars_under_their_own_header) {
  test::TParsed doc = Yaml(
      "lit: |\n  one\n  two\n\nfold: >-  # note\n  a\n  b\nkeep: |+\n  x\n\n"
      "seq:\n  - |2\n      spaced\nlast: 1\n");
  const std::u16string texts[] = {u"one line", u"two\nlines\n", u"ends\n\n\n", u"", u"\n", u"para\n\nafter",
                                  u"a\n  more indented\nb\n", u"q\"uote\\ back\ttab caf\u00E9 \u65E5\u672C"};
  for (const char* path : {"lit", "fold", "keep", "seq/0"}) {
    for (const std::u16string& text : texts) {
      test::TEditResult edit = EditValue(doc, path, text);
      ASSERT_TRUE(edit.Accepted) << path << " <- " << Utf16ToUtf8(text) << ": " << edit.Error;
      EXPECT_EQ(ValueAfter(edit, TDocumentLanguage::Yaml, path), TJsonString(Utf16ToUtf8(text)).JsonText())
          << path << " <- " << Utf16ToUtf8(text) << "\n" << edit.Patched;
    }
  }
  // The header stays, its chomping indicator set to what the text needs;
  // the empty line after the old text stays too.
  EXPECT_EQ(EditValue(doc, "lit", u"new").Patched.substr(0, 24), "lit: |-\n  new\n\nfold: >- ");
  EXPECT_EQ(EditValue(doc, "fold", u"p\nq\n").Patched.substr(20, 34), "fold: >  # note\n  p\n\n  q\nkeep: |+\n");
  // A space leading the first line would need an indentation indicator.
  EXPECT_EQ(EditValue(doc, "lit", u" lead").Error, kUnsafeEdit);
  EXPECT_TRUE(EditValue(doc, "seq/0", u" lead").Accepted);
  EXPECT_EQ(EditValue(doc, "lit", u"cr\rlf").Error, kUnsafeEdit);
}

TEST(yaml_value_edit, gives_an_empty_value_a_blank_before_its_text) {
  test::TParsed doc = Yaml("empty:\nlist:\n  -\n  - x\nflow: {k: }\n");
  test::TEditResult value = EditValue(doc, "empty", u"null");
  ASSERT_TRUE(value.Accepted) << value.Error;
  EXPECT_EQ(value.Length, 0);
  EXPECT_EQ(value.Patched, "empty: null\nlist:\n  -\n  - x\nflow: {k: }\n");
  test::TEditResult item = EditValue(doc, "list/0", u"~");
  ASSERT_TRUE(item.Accepted) << item.Error;
  EXPECT_EQ(item.Patched, "empty:\nlist:\n  - ~\n  - x\nflow: {k: }\n");
  test::TEditResult flow = EditValue(doc, "flow/k", u"null");
  ASSERT_TRUE(flow.Accepted) << flow.Error;
  EXPECT_EQ(flow.Patched, "empty:\nlist:\n  -\n  - x\nflow: {k: null}\n");
}

TEST(yaml_value_edit, writes_any_string_so_that_it_reads_back_unchanged) {
  test::TParsed map = Yaml("a: x\nlist: [one, two]\nflow: {k: v}\n");
  const std::u16string texts[] = {u"a: b", u"#x", u"- x", u"", u"  padded  ", u"null", u"true",
                                  u"42", u"line\nbreak", u"x, y]", u"{}", u"&a *b !t",
                                  u"quote\" back\\slash\ttab", u"caf\u00E9 \u65E5\u672C",
                                  u"\x7F\u0085\u2028"};
  for (const std::u16string& text : texts) {
    for (const char* path : {"a", "list/0", "flow/k"}) {
      test::TEditResult edit = EditValue(map, path, text);
      ASSERT_TRUE(edit.Accepted) << path << " " << Utf16ToUtf8(text) << ": " << edit.Error;
      EXPECT_EQ(ValueAfter(edit, TDocumentLanguage::Yaml, path), TJsonString(Utf16ToUtf8(text)).JsonText()) << path;
    }
  }
}

TEST(yaml_value_edit, replaces_a_multi_line_scalar_by_one_line) {
  test::TParsed doc = Yaml("text: first\n  second\n  third\nnext: 1\n");
  test::TEditResult edit = EditValue(doc, "text", u"one");
  ASSERT_TRUE(edit.Accepted) << edit.Error;
  EXPECT_EQ(edit.Patched, "text: one\nnext: 1\n");
}

TEST(yaml_value_edit, finds_values_in_the_second_document_and_after_a_bom) {
  test::TParsed doc = Yaml("\xEF\xBB\xBF" "a: 1\r\n---\r\nb: [2, 3]\r\n");
  test::TEditResult first = EditValue(doc, "0/a", u"7");
  ASSERT_TRUE(first.Accepted) << first.Error;
  EXPECT_EQ(first.Start, 6);
  test::TEditResult second = EditValue(doc, "1/b/1", u"9");
  ASSERT_TRUE(second.Accepted) << second.Error;
  EXPECT_EQ(second.Patched, "\xEF\xBB\xBF" "a: 1\r\n---\r\nb: [2, 9]\r\n");
}

TEST(yaml_key_rename, refuses_keys_it_cannot_rewrite_safely) {
  test::TParsed doc = Yaml("list:\n  - a\n&k key: 1\nother: x\n? |\n  block\n: 2\n");
  EXPECT_EQ(RenameKey(doc, "list/0", u"x").Error, kUnsafeKey);  // sequence item
  // An anchored key: the anchor would be lost with the old key text.
  EXPECT_FALSE(RenameKey(doc, "key", u"x").Accepted);
  EXPECT_FALSE(RenameKey(doc, "block\n", u"x").Accepted);       // block scalar key
  EXPECT_FALSE(RenameKey(doc, "other", u"list").Accepted);      // taken by a sibling
  EXPECT_FALSE(RenameKey(doc, "other", u"").Accepted);
}

TEST(toml_value_edit, finds_values_wherever_they_stand) {
  const std::string text =
      "notes = \"\"\"\nport = 80\n\"\"\"\nweb = { port = 80, enabled = true }\nlist = [4, [5, 'six']]\n"
      "srv.port = 80\n\"quoted key\" = 80\n[a]\nport = 80\n[b]\nport = 80\n";
  test::TParsed doc = Toml(text);
  for (const char* path : {"web/port", "list/0", "list/1/0", "srv/port", "quoted key", "a/port", "b/port"}) {
    test::TEditResult edit = EditValue(doc, path, u"81");
    ASSERT_TRUE(edit.Accepted) << path << ": " << edit.Error;
    EXPECT_EQ(edit.Replacement, "81") << path;
    EXPECT_EQ(ValueAfter(edit, TDocumentLanguage::Toml, path), "81") << path;
  }
  test::TEditResult inner = EditValue(doc, "list/1/1", u"seven");
  ASSERT_TRUE(inner.Accepted) << inner.Error;
  EXPECT_NE(inner.Patched.find("[5, 'seven']"), std::string::npos);
  test::TEditResult b = EditValue(doc, "b/port", u"90");
  EXPECT_EQ(b.Patched, text.substr(0, text.size() - 3) + "90\n");
}

TEST(toml_value_edit, keeps_each_string_in_its_form_where_the_form_can_hold_the_text) {
  test::TParsed doc = Toml(
      "basic = \"x\"\nlit = 'x'\nquoted = \"42\"\nml = \"\"\"\nold\n\"\"\"\nmll = '''\nold\n'''\n");
  struct TCase {
    const char* Path;
    const char16_t* Text;
    const char* Written;
  };
  for (const TCase& c : {TCase{"basic", u"a \"q\" \\ \t\u00E9", "\"a \\\"q\\\" \\\\ \\t\xC3\xA9\""},
                         TCase{"lit", u"C:\\Users \"x\"\t\u00E9", "'C:\\Users \"x\"\t\xC3\xA9'"},
                         TCase{"lit", u"it's", "\"it's\""},
                         TCase{"lit", u"two\nlines", "\"two\\nlines\""},
                         TCase{"quoted", u"43", "\"43\""},
                         TCase{"ml", u"new\ntext \"\"\" \\", "\"\"\"\nnew\ntext \\\"\\\"\" \\\\\"\"\""},
                         TCase{"ml", u"\nlead and end\"", "\"\"\"\n\nlead and end\\\"\"\"\""},
                         TCase{"mll", u"raw \\d\n'quoted'", "'''\nraw \\d\n'quoted''''"},
                         TCase{"mll", u"has '''", "\"\"\"\nhas '''\"\"\""}}) {
    test::TEditResult edit = EditValue(doc, c.Path, c.Text);
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    EXPECT_EQ(edit.Replacement, c.Written) << c.Path;
    EXPECT_EQ(ValueAfter(edit, TDocumentLanguage::Toml, c.Path), TJsonString(Utf16ToUtf8(c.Text)).JsonText())
        << c.Path << "\n" << edit.Patched;
  }
}

TEST(toml_value_edit, holds_dates_and_numbers_to_their_kind) {
  test::TParsed doc = Toml("when = 1979-05-27T07:32:00Z\nday = 1979-05-27\nhex = 0x1F\non = true\n");
  EXPECT_TRUE(EditValue(doc, "when", u"2024-02-29 23:59:59.5+01:00").Accepted);
  EXPECT_TRUE(EditValue(doc, "day", u"2000-01-01").Accepted);
  EXPECT_TRUE(EditValue(doc, "hex", u"32").Accepted);
  for (const auto& [path, text] : {std::pair{"when", u"1979-05-27"}, std::pair{"day", u"07:32:00"},
                                   std::pair{"day", u"tomorrow"}, std::pair{"day", u"1979-02-30"},
                                   std::pair{"hex", u"1979-05-27"}, std::pair{"on", u"1979-05-27"}})
    EXPECT_EQ(EditValue(doc, path, text).Error, kUnsafeEdit) << path << " <- " << Utf16ToUtf8(text);
}

TEST(toml_key_rename, quotes_a_key_that_is_not_bare_safe_wherever_the_key_stands) {
  const std::string text =
      "port = 80\n'lit' = 1\nweb = { port = 80 }\nsrv.host = 'h'\n[server]\nhosts = [\"a\"]\n"
      "[[item]]\nx = 1\n";
  test::TParsed doc = Toml(text);
  struct TCase {
    const char* Path;
    const char* Written;
  };
  for (const TCase& c : {TCase{"port", "\"new \xC3\xA9\" = 80\n'lit'"}, TCase{"lit", "'new \xC3\xA9' = 1"},
                         TCase{"web/port", "{ \"new \xC3\xA9\" = 80 }"}, TCase{"srv", "\"new \xC3\xA9\".host"},
                         TCase{"srv/host", "srv.\"new \xC3\xA9\" ="}, TCase{"server", "[\"new \xC3\xA9\"]"},
                         TCase{"server/hosts", "\"new \xC3\xA9\" = [\"a\"]"},
                         TCase{"item", "[[\"new \xC3\xA9\"]]"}}) {
    test::TEditResult edit = RenameKey(doc, c.Path, u"new \u00E9");
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    EXPECT_NE(edit.Patched.find(c.Written), std::string::npos) << c.Path << "\n" << edit.Patched;
  }
  EXPECT_EQ(RenameKey(doc, "port", u"lit").Error, kUnsafeKey);  // taken by a sibling
}

TEST(toml_key_rename, refuses_a_table_named_in_more_than_one_place) {
  test::TParsed doc = Toml("a.b = 1\na.c = 2\n[t]\nx = 1\n[t.sub]\ny = 2\n[[arr]]\nz = 1\n[[arr]]\nz = 2\n");
  for (const char* path : {"a", "t", "arr"}) EXPECT_EQ(RenameKey(doc, path, u"n").Error, kUnsafeKey) << path;
  EXPECT_TRUE(RenameKey(doc, "a/b", u"n").Accepted);
  EXPECT_TRUE(RenameKey(doc, "t/sub", u"n").Accepted);
}

// Every accepted value edit is proven by parsing the file again: the value
// must read back as exactly the typed text, and anything but a string must
// load as the same kind. These texts would not: a trailing comment, more
// lines, quotes, or a text the typing rules read as something else.
struct TUnreadable {
  const char* Path;
  const char16_t* Text;
};

void ExpectAllRefused(const test::TParsed& doc, std::initializer_list<TUnreadable> edits) {
  for (const TUnreadable& edit : edits) {
    const test::TEditResult result = EditValue(doc, edit.Path, edit.Text);
    EXPECT_FALSE(result.Accepted) << edit.Path << " <- " << Utf16ToUtf8(edit.Text) << " gave " << result.Patched;
  }
}

TEST(value_edit_proof, refuses_yaml_texts_that_would_not_read_back_as_typed) {
  test::TParsed doc = Yaml("port: 80\non: true\nnone: null\nratio: 1.5\nlast: x\n");
  ExpectAllRefused(doc, {{"port", u"81 # note"},   {"port", u"81\n# note"}, {"port", u"81\n"},
                         {"on", u"false #"},       {"on", u"false\n\n"},    {"none", u"null # x"},
                         {"ratio", u"2.5\n  # x"}, {"port", u" 81"},         {"port", u"'81'"},
                         {"port", u"\"81\""},      {"port", u"1e5"},         {"ratio", u"2e-3"},
                         {"on", u"yes"},           {"on", u"'true'"},        {"none", u"nothing"}});
  // The same cells take texts that do read back.
  for (const TUnreadable& edit : {TUnreadable{"port", u"81"}, TUnreadable{"port", u"0x1F"},
                                  TUnreadable{"on", u"false"}, TUnreadable{"ratio", u"2.5e-3"},
                                  TUnreadable{"none", u"~"}})
    EXPECT_TRUE(EditValue(doc, edit.Path, edit.Text).Accepted) << edit.Path << " <- " << Utf16ToUtf8(edit.Text);
}

TEST(value_edit_proof, refuses_toml_texts_that_would_not_read_back_as_typed) {
  test::TParsed doc = Toml("port = 80\non = true # flag\nratio = 1.5\nname = 'x'\n");
  ExpectAllRefused(doc, {{"port", u"81 # note"}, {"port", u"81\n# note"}, {"port", u"81\n"},
                         {"on", u"false # no"},  {"ratio", u"2.5 "},       {"port", u"'81'"},
                         {"port", u"\"81\""},    {"port", u"1e5x"},        {"on", u"\"true\""},
                         {"on", u"yes"}});
  // TOML spells numbers its own way: 1e5 and 0x1F are numbers.
  for (const TUnreadable& edit : {TUnreadable{"port", u"81"}, TUnreadable{"port", u"0x1F"}, TUnreadable{"port", u"1e5"},
                                  TUnreadable{"on", u"false"}, TUnreadable{"ratio", u"2.5e-3"},
                                  TUnreadable{"name", u"81 # not a comment"}})
    EXPECT_TRUE(EditValue(doc, edit.Path, edit.Text).Accepted) << edit.Path << " <- " << Utf16ToUtf8(edit.Text);
}

TEST(located_edits, refuse_without_a_document_or_node) {
  const TLoadedDocument empty;
  TJsonInteger loose(1);
  for (const TJsonData* node : {static_cast<const TJsonData*>(nullptr), static_cast<const TJsonData*>(&loose)}) {
    const TLocatedEdit value = LocateValueEdit(empty, node, u"2");
    EXPECT_FALSE(value.Accepted());
    EXPECT_EQ(value.Start, -1);
    EXPECT_EQ(Utf16ToUtf8(value.Refusal), kUnsafeEdit);
    EXPECT_EQ(Utf16ToUtf8(LocateKeyRename(empty, node, u"b").Refusal), kUnsafeKey);
  }
  // A node of another tree is not in the document's.
  test::TParsed doc = Yaml("a: 1\n");
  EXPECT_EQ(Utf16ToUtf8(LocateValueEdit(doc.Doc, &loose, u"2").Refusal), kUnsafeEdit);
}

}  // namespace
}  // namespace corvane
