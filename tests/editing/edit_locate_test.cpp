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
const char* kAmbiguous = "TOML value position is ambiguous or unsupported";
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
  EXPECT_EQ(quoted.Replacement, "\"c\"");
  test::TEditResult plain = EditValue(doc, "plain", u"Jane");
  ASSERT_TRUE(plain.Accepted);
  EXPECT_EQ(plain.Patched, "count: 5\nname: 'a b'\nplain: \"Jane\"  # who\n");
}

TEST(yaml_value_edit, refuses_block_scalars_anchors_tags_aliases_and_containers) {
  test::TParsed doc = Yaml(
      "lit: |\n  text\nfold: >\n  text\nbase: &b 1\nuse: *b\ntagged: !!str 42\n"
      "map: {a: 1}\nempty:\n");
  for (const char* path : {"lit", "fold", "base", "use", "tagged", "map"}) {
    test::TEditResult edit = EditValue(doc, path, u"x");
    EXPECT_FALSE(edit.Accepted) << path;
    EXPECT_EQ(edit.Error, kUnsafeEdit) << path;
    EXPECT_EQ(edit.Start, -1) << path;
  }
  // An empty plain value has no bytes of its own: text put at its position
  // would join the colon ("empty:5").
  EXPECT_FALSE(EditValue(doc, "empty", u"null").Accepted);
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
  EXPECT_EQ(edit.Patched, "text: \"one\"\nnext: 1\n");
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

TEST(yaml_key_rename, writes_the_new_key_double_quoted_before_the_colon) {
  test::TParsed doc = Yaml("server:\n  port: 80\n  'host': x\n");
  test::TEditResult edit = RenameKey(doc, "server/port", u"web port");
  ASSERT_TRUE(edit.Accepted) << edit.Error;
  EXPECT_EQ(edit.Patched, "server:\n  \"web port\": 80\n  'host': x\n");
  test::TEditResult container = RenameKey(doc, "server", u"srv");
  ASSERT_TRUE(container.Accepted);
  EXPECT_EQ(container.Replacement, "\"srv\"");
  EXPECT_TRUE(RenameKey(doc, "server/host", u"h: #").Accepted);
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

TEST(toml_value_edit, keeps_quoted_values_strings_whatever_their_loose_type) {
  test::TParsed doc = Toml("version = \"42\"\nflag = 'true'\ncount = 42\non = true\n");
  test::TEditResult quotedNumber = EditValue(doc, "version", u"43");
  ASSERT_TRUE(quotedNumber.Accepted) << quotedNumber.Error;
  EXPECT_EQ(quotedNumber.Replacement, "\"43\"");
  test::TEditResult quotedBool = EditValue(doc, "flag", u"false");
  ASSERT_TRUE(quotedBool.Accepted) << quotedBool.Error;
  EXPECT_EQ(quotedBool.Replacement, "\"false\"");
  test::TEditResult number = EditValue(doc, "count", u"43");
  ASSERT_TRUE(number.Accepted);
  EXPECT_EQ(number.Replacement, "43");
  test::TEditResult boolean = EditValue(doc, "on", u"false");
  ASSERT_TRUE(boolean.Accepted);
  EXPECT_EQ(boolean.Patched, "version = \"42\"\nflag = 'true'\ncount = 42\non = false\n");
}

TEST(toml_value_edit, rewrites_literal_strings_as_basic_strings) {
  test::TParsed doc = Toml("name = 'John' # owner\r\n");
  test::TEditResult edit = EditValue(doc, "name", u"Jane \"J\" \\ \u00E9");
  ASSERT_TRUE(edit.Accepted) << edit.Error;
  EXPECT_EQ(edit.Patched, "name = \"Jane \\\"J\\\" \\\\ \xC3\xA9\" # owner\r\n");
}

TEST(toml_value_edit, refuses_a_value_written_in_two_tables_and_allows_distinct_ones) {
  test::TParsed same = Toml("[a]\nenabled = true\n[b]\nenabled = true\n");
  EXPECT_EQ(EditValue(same, "a/enabled", u"false").Error, kAmbiguous);
  EXPECT_EQ(EditValue(same, "b/enabled", u"false").Error, kAmbiguous);
  test::TParsed distinct = Toml("[a]\nenabled = true\n[b]\nenabled = false\n");
  test::TEditResult edit = EditValue(distinct, "b/enabled", u"true");
  ASSERT_TRUE(edit.Accepted) << edit.Error;
  EXPECT_EQ(edit.Patched, "[a]\nenabled = true\n[b]\nenabled = true\n");
}

TEST(toml_value_edit, refuses_values_it_cannot_find_on_their_own_line) {
  test::TParsed doc = Toml(
      "srv.port = 1\n\"quoted key\" = 2\ninline = { x = 3 }\nlist = [4, 5]\n"
      "when = 1979-05-27\n");
  EXPECT_EQ(EditValue(doc, "srv/port", u"9").Error, kAmbiguous);
  EXPECT_EQ(EditValue(doc, "quoted key", u"9").Error, kAmbiguous);
  EXPECT_EQ(EditValue(doc, "inline/x", u"9").Error, kAmbiguous);
  EXPECT_EQ(EditValue(doc, "list/0", u"9").Error, kAmbiguous);
  EXPECT_EQ(EditValue(doc, "when", u"1980-01-01").Error, kUnsafeEdit);
}

TEST(toml_value_edit, never_edits_a_lookalike_line_of_another_table_or_string) {
  // The target sits in an inline table; the only "enabled = true" line belongs
  // to another table, and the only "port = 80" line is text inside a string.
  test::TParsed doc = Toml(
      "notes = \"\"\"\nport = 80\n\"\"\"\nweb = { port = 80, enabled = true }\n"
      "[other]\nenabled = true\n");
  EXPECT_EQ(EditValue(doc, "web/enabled", u"false").Error, kAmbiguous);
  EXPECT_EQ(EditValue(doc, "web/port", u"81").Error, kAmbiguous);
  test::TEditResult real = EditValue(doc, "other/enabled", u"false");
  ASSERT_TRUE(real.Accepted) << real.Error;
  EXPECT_EQ(real.Patched.substr(real.Patched.size() - 24), "[other]\nenabled = false\n");
}

TEST(toml_key_rename, quotes_the_new_key_and_keeps_the_value) {
  test::TParsed doc = Toml("[server]\nport = 80\nhosts = [\"a\"]\n[server.tls]\non = true\n");
  test::TEditResult edit = RenameKey(doc, "server/port", u"web port");
  ASSERT_TRUE(edit.Accepted) << edit.Error;
  EXPECT_EQ(edit.Start, 9);
  EXPECT_EQ(edit.Length, 4);
  EXPECT_EQ(edit.Replacement, "\"web port\"");
  EXPECT_EQ(edit.Patched, "[server]\n\"web port\" = 80\nhosts = [\"a\"]\n[server.tls]\non = true\n");
  EXPECT_EQ(RenameKey(doc, "server/hosts", u"h").Error, kUnsafeKey);
  EXPECT_EQ(RenameKey(doc, "server/tls", u"t").Error, kUnsafeKey);
  EXPECT_EQ(RenameKey(doc, "server/port", u"hosts").Error, kUnsafeKey);
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
                         {"port", u"\"81\""},    {"port", u"1e5"},         {"on", u"\"true\""},
                         {"on", u"yes"}});
  for (const TUnreadable& edit : {TUnreadable{"port", u"81"}, TUnreadable{"port", u"0x1F"},
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
