// The style an edit is written in: each YAML and TOML value and key keeps
// the style it had where that style holds the new text, else the lightest
// quoting that reads back as typed; anchors and tags stay in front of a new
// value; nulls are filled in; line breaks follow the file.
#include <gtest/gtest.h>

#include "editing_support.h"
#include "uEditLocate.h"
#include "uUnicode.h"

namespace corvane {
namespace {

using test::EditValue;
using test::RenameKey;

test::TParsed Parse(const std::string& text, TDocumentLanguage language) {
  test::TParsed parsed = test::Parse(text, language);
  EXPECT_TRUE(parsed.Ok) << Utf16ToUtf8(parsed.Error);
  return parsed;
}

// The value (or, for a rename, the key's member) under path after the edit,
// as compact JSON.
std::string ReadBack(const test::TEditResult& edit, TDocumentLanguage language, const std::string& path) {
  const test::TParsed again = test::Parse(edit.Patched, language);
  if (!again.Ok) return "<does not parse: " + Utf16ToUtf8(again.Error) + ">";
  return test::JsonOf(test::ValueAt(again, path));
}

std::string Json(const std::u16string& text) { return TJsonString(Utf16ToUtf8(text)).JsonText(); }

// One text typed over a string at each place, and what each place writes.
struct TStyleRow {
  std::u16string Text;
  const char* Written[6];  // block plain, block item, flow item, flow value, single-quoted, double-quoted
};

TEST(yaml_value_style, keeps_each_string_in_its_style_or_takes_the_least_quoting_that_reads_back) {
  const test::TParsed doc = Parse(
      "plain: old\nseq:\n  - old\nflow: [old, x]\nmap: {k: old}\nsingle: 'old'\ndouble: \"old\"\n",
      TDocumentLanguage::Yaml);
  const char* paths[6] = {"plain", "seq/0", "flow/0", "map/k", "single", "double"};
  const TStyleRow rows[] = {
      {u"new value", {"new value", "new value", "new value", "new value", "'new value'", "\"new value\""}},
      {u"nginx:1.27", {"nginx:1.27", "nginx:1.27", "'nginx:1.27'", "'nginx:1.27'", "'nginx:1.27'", "\"nginx:1.27\""}},
      {u"x, y", {"x, y", "x, y", "'x, y'", "'x, y'", "'x, y'", "\"x, y\""}},
      {u"it's", {"it's", "it's", "it's", "it's", "'it''s'", "\"it's\""}},
      {u"caf\u00E9 \u65E5", {"caf\xC3\xA9 \xE6\x97\xA5", "caf\xC3\xA9 \xE6\x97\xA5", "caf\xC3\xA9 \xE6\x97\xA5",
                             "caf\xC3\xA9 \xE6\x97\xA5", "'caf\xC3\xA9 \xE6\x97\xA5'", "\"caf\xC3\xA9 \xE6\x97\xA5\""}},
      {u"-x", {"-x", "-x", "-x", "-x", "'-x'", "\"-x\""}},
      {u"a: b", {"'a: b'", "'a: b'", "'a: b'", "'a: b'", "'a: b'", "\"a: b\""}},
      {u"a #b", {"'a #b'", "'a #b'", "'a #b'", "'a #b'", "'a #b'", "\"a #b\""}},
      {u"ends:", {"'ends:'", "'ends:'", "'ends:'", "'ends:'", "'ends:'", "\"ends:\""}},
      {u"- x", {"'- x'", "'- x'", "'- x'", "'- x'", "'- x'", "\"- x\""}},
      {u"*x", {"'*x'", "'*x'", "'*x'", "'*x'", "'*x'", "\"*x\""}},
      {u"&x", {"'&x'", "'&x'", "'&x'", "'&x'", "'&x'", "\"&x\""}},
      {u"!x", {"'!x'", "'!x'", "'!x'", "'!x'", "'!x'", "\"!x\""}},
      {u"[x", {"'[x'", "'[x'", "'[x'", "'[x'", "'[x'", "\"[x\""}},
      {u"#x", {"'#x'", "'#x'", "'#x'", "'#x'", "'#x'", "\"#x\""}},
      {u"---", {"'---'", "'---'", "'---'", "'---'", "'---'", "\"---\""}},
      {u"yes", {"'yes'", "'yes'", "'yes'", "'yes'", "'yes'", "\"yes\""}},
      {u"null", {"'null'", "'null'", "'null'", "'null'", "'null'", "\"null\""}},
      {u"True", {"'True'", "'True'", "'True'", "'True'", "'True'", "\"True\""}},
      {u"1e5", {"'1e5'", "'1e5'", "'1e5'", "'1e5'", "'1e5'", "\"1e5\""}},
      {u"0o17", {"'0o17'", "'0o17'", "'0o17'", "'0o17'", "'0o17'", "\"0o17\""}},
      {u"12:30", {"'12:30'", "'12:30'", "'12:30'", "'12:30'", "'12:30'", "\"12:30\""}},
      {u"2024-05-01", {"'2024-05-01'", "'2024-05-01'", "'2024-05-01'", "'2024-05-01'", "'2024-05-01'",
                       "\"2024-05-01\""}},
      {u"42", {"'42'", "'42'", "'42'", "'42'", "'42'", "\"42\""}},
      {u"", {"''", "''", "''", "''", "''", "\"\""}},
      {u" lead", {"' lead'", "' lead'", "' lead'", "' lead'", "' lead'", "\" lead\""}},
      {u"trail ", {"'trail '", "'trail '", "'trail '", "'trail '", "'trail '", "\"trail \""}},
      {u"a\tb", {"\"a\\tb\"", "\"a\\tb\"", "\"a\\tb\"", "\"a\\tb\"", "\"a\\tb\"", "\"a\\tb\""}},
      {u"two\nlines", {"\"two\\nlines\"", "\"two\\nlines\"", "\"two\\nlines\"", "\"two\\nlines\"", "\"two\\nlines\"",
                       "\"two\\nlines\""}},
      {u"\u2028", {"\"\\u2028\"", "\"\\u2028\"", "\"\\u2028\"", "\"\\u2028\"", "\"\\u2028\"", "\"\\u2028\""}},
      // "1.2.3" is a string to every reader; "<<" a merge key to some.
      {u"1.2.3", {"1.2.3", "1.2.3", "1.2.3", "1.2.3", "'1.2.3'", "\"1.2.3\""}},
      {u"<<", {"'<<'", "'<<'", "'<<'", "'<<'", "'<<'", "\"<<\""}},
  };
  for (const TStyleRow& row : rows) {
    for (int place = 0; place < 6; ++place) {
      const test::TEditResult edit = EditValue(doc, paths[place], row.Text);
      const std::string where = std::string(paths[place]) + " <- " + Utf16ToUtf8(row.Text);
      ASSERT_TRUE(edit.Accepted) << where << ": " << edit.Error;
      EXPECT_EQ(edit.Replacement, row.Written[place]) << where;
      EXPECT_EQ(ReadBack(edit, TDocumentLanguage::Yaml, paths[place]), Json(row.Text)) << where << "\n" << edit.Patched;
    }
  }
}

// A plain value the file's readers take for a YAML 1.1 boolean, a number or
// a date stays plain for a text they take the same way: the file's readers
// read the place so already.
TEST(yaml_value_style, keeps_a_plain_value_plain_for_a_text_read_like_the_old_one) {
  const test::TParsed doc =
      Parse("flag: yes\nsize: 1e5\nday: 2024-05-01\nname: x\n", TDocumentLanguage::Yaml);
  struct TCase {
    const char* Path;
    const char16_t* Text;
    const char* Written;
  };
  for (const TCase& c : {TCase{"flag", u"no", "no"}, TCase{"flag", u"maybe", "maybe"}, TCase{"flag", u"2e5", "'2e5'"},
                         TCase{"size", u"2.5e3x", "2.5e3x"}, TCase{"size", u"2e5", "2e5"},
                         TCase{"day", u"2025-01-31", "2025-01-31"}, TCase{"name", u"no", "'no'"}}) {
    const test::TEditResult edit = EditValue(doc, c.Path, c.Text);
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    EXPECT_EQ(edit.Replacement, c.Written) << c.Path << " <- " << Utf16ToUtf8(c.Text);
  }
}

TEST(yaml_value_style, writes_numbers_booleans_and_nulls_as_typed_and_a_new_string_double_quoted) {
  const test::TParsed doc = Parse("port: 8080\nname: 'x'\nflag: true\nnone: ~\n", TDocumentLanguage::Yaml);
  const TJsonString asString("8080");
  const TJsonInteger asNumber(12);
  const TJsonNull asNull;
  struct TCase {
    const char* Path;
    const char16_t* Text;
    const TJsonData* Value;
    const char* Written;
  };
  for (const TCase& c : {TCase{"port", u"8080", &asString, "\"8080\""}, TCase{"port", u"web", &asString, "web"},
                         TCase{"flag", u"a: b", &asString, "\"a: b\""}, TCase{"name", u"12", &asNumber, "12"},
                         TCase{"name", u"~", &asNull, "~"}, TCase{"none", u"8080", &asString, "\"8080\""}}) {
    const test::TEditResult edit = test::EditValueAs(doc, c.Path, c.Text, *c.Value);
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    EXPECT_EQ(edit.Replacement, c.Written) << c.Path;
    const std::string expected = c.Value->Kind() == nkString ? Json(c.Text) : c.Value->JsonText();
    EXPECT_EQ(ReadBack(edit, TDocumentLanguage::Yaml, c.Path), expected) << c.Path;
  }
}

// A null is filled in after its ":", "-", anchor or tag, with one blank.
TEST(yaml_value_style, fills_in_an_empty_value_with_one_blank_before_it) {
  struct TCase {
    const char* Text;
    const char* Path;
    const char* After;
  };
  const TJsonString value("v");
  for (const TCase& c : {TCase{"a:\nb: 1\n", "a", "a: v\nb: 1\n"}, TCase{"a: \nb: 1\n", "a", "a: v\nb: 1\n"},
                         TCase{"a:   # set me\n", "a", "a: v  # set me\n"}, TCase{"a: # set me\n", "a", "a: v # set me\n"},
                         TCase{"a:\r\n", "a", "a: v\r\n"}, TCase{"a:", "a", "a: v"},
                         TCase{"l:\n  -\n  - x\n", "l/0", "l:\n  - v\n  - x\n"}, TCase{"f: {k: }\n", "f/k", "f: {k: v}\n"},
                         TCase{"s: !secret\n", "s", "s: !secret v\n"}, TCase{"s: &anchor\n", "s", "s: &anchor v\n"}}) {
    const test::TParsed doc = Parse(c.Text, TDocumentLanguage::Yaml);
    const test::TEditResult edit = test::EditValueAs(doc, c.Path, u"v", value);
    ASSERT_TRUE(edit.Accepted) << c.Text << ": " << edit.Error;
    EXPECT_EQ(edit.Patched, c.After) << c.Text;
  }
}

TEST(yaml_value_style, replaces_only_the_scalar_after_an_anchor_or_tag) {
  const std::string text =
      "api_password: !secret api_password\nimage: &img nginx:1.25\ntarget: !input 'light'\n"
      "count: !!str 42\nnext:  !t\n  on next line\nlit: &l |\n  text\nverbatim: !<tag:yaml.org,2002:str> v\n"
      "flow: [&a x, !t y]\nuse: *img\n";
  const test::TParsed doc = Parse(text, TDocumentLanguage::Yaml);
  struct TCase {
    const char* Path;
    const char16_t* Text;
    const char* Before;
    const char* After;
  };
  for (const TCase& c : {TCase{"api_password", u"new_password", "!secret api_password", "!secret new_password"},
                         TCase{"image", u"nginx:1.27", "&img nginx:1.25", "&img nginx:1.27"},
                         TCase{"target", u"fan", "!input 'light'", "!input 'fan'"},
                         TCase{"count", u"43", "!!str 42", "!!str 43"},
                         TCase{"next", u"other", "!t\n  on next line", "!t\n  other"},
                         TCase{"lit", u"new\ntext", "&l |\n  text\n", "&l |-\n  new\n  text\n"},
                         TCase{"verbatim", u"w", "2002:str> v", "2002:str> w"},
                         TCase{"flow/0", u"z", "[&a x,", "[&a z,"}, TCase{"flow/1", u"z", "!t y]", "!t z]"}}) {
    const test::TEditResult edit = EditValue(doc, c.Path, c.Text);
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    std::string expected = text;
    expected.replace(expected.find(c.Before), std::string(c.Before).size(), c.After);
    EXPECT_EQ(edit.Patched, expected) << c.Path;
  }
}

TEST(yaml_key_style, keeps_each_key_in_its_style_where_it_holds_the_new_key) {
  const std::string text = "server:\n  port: 80\n  'host': x\n  \"user\": y\nflow: {k: 1}\n";
  const test::TParsed doc = Parse(text, TDocumentLanguage::Yaml);
  struct TCase {
    const char* Path;
    const char16_t* Key;
    const char* Written;
  };
  for (const TCase& c : {TCase{"server/port", u"web port", "web port"}, TCase{"server/port", u"a: b", "'a: b'"},
                         TCase{"server/port", u"yes", "'yes'"}, TCase{"server/port", u"8080", "'8080'"},
                         TCase{"server/port", u"<<", "'<<'"}, TCase{"server/port", u"? x", "'? x'"},
                         TCase{"server/port", u"tab\there", "\"tab\\there\""}, TCase{"server/host", u"h", "'h'"},
                         TCase{"server/host", u"it's", "'it''s'"}, TCase{"server/user", u"u", "\"u\""},
                         TCase{"flow/k", u"a,b", "'a,b'"}, TCase{"flow/k", u"ab", "ab"}, TCase{"server", u"srv", "srv"}}) {
    const test::TEditResult edit = RenameKey(doc, c.Path, c.Key);
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    EXPECT_EQ(edit.Replacement, c.Written) << c.Path << " <- " << Utf16ToUtf8(c.Key);
  }
}

TEST(toml_key_style, keeps_bare_keys_bare_and_quoted_keys_in_their_quote_kind) {
  const std::string text =
      "port = 80\n'lit' = 1\n\"basic\" = 2\nweb = { port = 80 }\nsrv.host = 'h'\n[server]\nx = 1\n[[item]]\ny = 1\n";
  const test::TParsed doc = Parse(text, TDocumentLanguage::Toml);
  struct TCase {
    const char* Path;
    const char16_t* Key;
    const char* Before;
    const char* After;
  };
  for (const TCase& c : {TCase{"port", u"new_port", "port = 80", "new_port = 80"},
                         TCase{"port", u"new port", "port = 80", "\"new port\" = 80"},
                         TCase{"lit", u"new-lit", "'lit'", "'new-lit'"}, TCase{"lit", u"it's", "'lit'", "\"it's\""},
                         TCase{"basic", u"b2", "\"basic\"", "\"b2\""}, TCase{"web/port", u"p2", "{ port", "{ p2"},
                         TCase{"srv", u"service", "srv.host", "service.host"},
                         TCase{"srv/host", u"name", "srv.host", "srv.name"},
                         TCase{"server", u"main", "[server]", "[main]"}, TCase{"item", u"entry", "[[item]]", "[[entry]]"}}) {
    const test::TEditResult edit = RenameKey(doc, c.Path, c.Key);
    ASSERT_TRUE(edit.Accepted) << c.Path << ": " << edit.Error;
    std::string expected = text;
    expected.replace(expected.find(c.Before), std::string(c.Before).size(), c.After);
    EXPECT_EQ(edit.Patched, expected) << c.Path << " <- " << Utf16ToUtf8(c.Key);
  }
}

// A value written with line breaks uses the file's own line end, also when
// the old value held none: every multi-line form, in LF and CR LF files.
TEST(located_edits, write_line_breaks_as_the_file_does) {
  struct TCase {
    TDocumentLanguage Language;
    const char* Text;  // with "\n"; the CR LF variant is made from it
    const char* Path;
    const char* Written;
  };
  const TCase cases[] = {
      {TDocumentLanguage::Toml, "a = 1\nnotes = \"\"\"first line\"\"\"\n", "notes", "\"\"\"one\ntwo\"\"\""},
      {TDocumentLanguage::Toml, "notes = \"\"\"\nold\n\"\"\"\n", "notes", "\"\"\"\none\ntwo\"\"\""},
      {TDocumentLanguage::Toml, "a = 1\nnotes = '''first'''\n", "notes", "'''one\ntwo'''"},
      {TDocumentLanguage::Toml, "notes = '''\nold\n'''\n", "notes", "'''\none\ntwo'''"},
      {TDocumentLanguage::Yaml, "a: |\n  x\nb: 1\n", "a", "|-\n  one\n  two\n"},
      {TDocumentLanguage::Yaml, "a: >\n  x\nb: 1\n", "a", ">-\n  one\n\n  two\n"},
      {TDocumentLanguage::Yaml, "a: |+\n  x\n\nb: 1\n", "a", "|-\n  one\n  two\n"},
      {TDocumentLanguage::Yaml, "l:\n  - >-\n    x\n", "l/0", ">-\n    one\n\n    two\n"},
  };
  for (const TCase& c : cases) {
    for (const bool crlf : {false, true}) {
      auto lineEnds = [crlf](std::string text) {
        for (size_t at = 0; crlf && (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, 1, '\r');
        return text;
      };
      const test::TParsed doc = Parse(lineEnds(c.Text), c.Language);
      const test::TEditResult edit = EditValue(doc, c.Path, u"one\ntwo");
      ASSERT_TRUE(edit.Accepted) << c.Text << ": " << edit.Error;
      EXPECT_EQ(edit.Replacement, lineEnds(c.Written)) << c.Text << (crlf ? " (CR LF)" : "");
      EXPECT_EQ(ReadBack(edit, c.Language, c.Path), "\"one\\ntwo\"") << edit.Patched;
    }
  }
}

}  // namespace
}  // namespace corvane
