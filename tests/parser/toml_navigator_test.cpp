// The TOML half of the parser library: raw source text of leaves, key order,
// lookups, array access, error texts and buffers, nesting limits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "parser_walk_support.h"
#include "cvn_toml_scan.h"

namespace corvane::test {
namespace {

std::string OpenError(const std::string& text, int size = 256) {
  char err[256];
  std::memset(err, 'x', sizeof err);
  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), err, size);
  cvn_toml_close(doc);
  return doc ? "opened" : std::string(err);
}

TEST(toml_document, empty_text_opens_with_a_null_root_and_validates) {
  char err[16] = "x";
  cvn_toml_doc* doc = cvn_toml_open("", 0, err, sizeof err);
  ASSERT_NE(doc, nullptr);
  EXPECT_STREQ(err, "");
  EXPECT_EQ(cvn_toml_root(doc), nullptr);
  cvn_toml_close(doc);
  EXPECT_EQ(cvn_toml_validate(nullptr, 0, err, sizeof err), 1);
  const TTomlRun blank = ReadToml("  \n# only a comment\n");
  EXPECT_TRUE(blank.Opened);
  EXPECT_FALSE(blank.RootIsNull);
}

TEST(toml_document, every_function_tolerates_null_handles) {
  cvn_toml_close(nullptr);
  EXPECT_EQ(cvn_toml_root(nullptr), nullptr);
  EXPECT_EQ(cvn_toml_table_key(nullptr, 0), nullptr);
  EXPECT_EQ(cvn_toml_table_raw(nullptr, "a"), nullptr);
  EXPECT_EQ(cvn_toml_table_array(nullptr, "a"), nullptr);
  EXPECT_EQ(cvn_toml_table_table(nullptr, "a"), nullptr);
  EXPECT_EQ(cvn_toml_array_count(nullptr), 0);
  EXPECT_EQ(cvn_toml_array_raw(nullptr, 0), nullptr);
  EXPECT_EQ(cvn_toml_array_array(nullptr, 0), nullptr);
  EXPECT_EQ(cvn_toml_array_table(nullptr, 0), nullptr);
  const std::string text = "a = 1\n";
  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), nullptr, 0);
  EXPECT_EQ(cvn_toml_table_raw(cvn_toml_root(doc), nullptr), nullptr);
  cvn_toml_close(doc);
}

TEST(toml_document, values_outlive_the_callers_text_and_only_its_length_is_read) {
  const std::string source = "a = 'first'\nb = [1, 22]\nt.k = \"v\"\nc = 12345";
  std::vector<char> buffer(source.begin(), source.end());
  cvn_toml_doc* doc = cvn_toml_open(buffer.data(), buffer.size() - 3, nullptr, 0);
  ASSERT_NE(doc, nullptr);
  std::fill(buffer.begin(), buffer.end(), '#');
  std::vector<char>().swap(buffer);
  cvn_toml_table* root = cvn_toml_root(doc);
  EXPECT_STREQ(cvn_toml_table_raw(root, "a"), "'first'");
  EXPECT_STREQ(cvn_toml_array_raw(cvn_toml_table_array(root, "b"), 1), "22");
  EXPECT_STREQ(cvn_toml_table_raw(cvn_toml_table_table(root, "t"), "k"), "\"v\"");
  EXPECT_STREQ(cvn_toml_table_raw(root, "c"), "12");
  EXPECT_STREQ(cvn_toml_table_key(root, 0), "a");
  cvn_toml_close(doc);
}

TEST(toml_raw_values, are_the_exact_source_text_of_each_leaf) {
  const std::string text =
      "s = \"a \\\"q\\\" é€\"\nl = 'C:\\path'\nml = \"\"\"\nline1\n  line2\\\n  \"\"\"\n"
      "mll = '''x\r\ny'''\ni = +1_000\nh = 0xDEAD_beef\no = 0o17\nb = 0b1010\nf = -3.14e+2\n"
      "pinf = +inf\nnn = nan\nt = true\nd = 1979-05-27T07:32:00.999-07:00\nld = 1979-05-27\n"
      "lt = 07:32:00\nldt = 1979-05-27 07:32:00\nq = \"ends here\" # comment\nu = '§ ¶'\nlast = 42";
  const std::vector<std::pair<std::string, std::string>> expected = {
      {".s", "\"a \\\"q\\\" é€\""}, {".l", "'C:\\path'"}, {".ml", "\"\"\"\nline1\n  line2\\\n  \"\"\""},
      {".mll", "'''x\r\ny'''"}, {".i", "+1_000"}, {".h", "0xDEAD_beef"}, {".o", "0o17"}, {".b", "0b1010"},
      {".f", "-3.14e+2"}, {".pinf", "+inf"}, {".nn", "nan"}, {".t", "true"},
      {".d", "1979-05-27T07:32:00.999-07:00"}, {".ld", "1979-05-27"}, {".lt", "07:32:00"},
      {".ldt", "1979-05-27 07:32:00"}, {".q", "\"ends here\""}, {".u", "'§ ¶'"}, {".last", "42"}};
  const TTomlRun run = ReadToml(text);
  ASSERT_TRUE(run.Opened) << run.Error;
  ASSERT_EQ(run.Leaves.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(run.Leaves[i].Path, expected[i].first);
    EXPECT_EQ(run.Leaves[i].Raw, expected[i].second) << expected[i].first;
  }
}

TEST(toml_raw_values, positions_hold_after_a_byte_order_mark_and_long_non_ascii_lines) {
  std::string line = "a = [";
  for (int i = 0; i < 300; ++i) line += "\"ü" + std::to_string(i) + "\", ";
  const TTomlRun run = ReadToml("\xEF\xBB\xBF" "k = \"ä\"\n" + line + "\"end\"]\n");
  ASSERT_TRUE(run.Opened) << run.Error;
  ASSERT_EQ(run.Leaves.size(), 302u);
  EXPECT_EQ(run.Leaves[0].Raw, "\"ä\"");
  EXPECT_EQ(run.Leaves[1 + 257].Raw, "\"ü257\"");
  EXPECT_EQ(run.Leaves[301].Raw, "\"end\"");
}

TEST(toml_key_order, leaves_then_arrays_then_tables_each_in_source_order) {
  EXPECT_EQ(TomlKeys("a = 1\nb = { x = 1 }\nc = [1]\n"), (std::vector<std::string>{"a", "c", "b"}));
  const std::string text =
      "zeta = 1\nalpha = 2\n[[items]]\nn = 1\n[zz]\nm = 1\n[aa]\nk = 1\n[[items]]\nn = 2\n"
      "[zz.sub]\n[zz.arr]\n[mid]\ny.b = 1\ny.a = 2\nx = 3\n";
  EXPECT_EQ(TomlKeys(text), (std::vector<std::string>{"zeta", "alpha", "items", "zz", "aa", "mid"}));
  EXPECT_EQ(TomlKeys(text, "zz"), (std::vector<std::string>{"m", "sub", "arr"}));
  EXPECT_EQ(TomlKeys(text, "mid"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(TomlKeys(text, "mid.y"), (std::vector<std::string>{"b", "a"}));
}

TEST(toml_lookup, matches_exact_key_bytes_and_the_kind_asked_for) {
  const std::string text = "\"a.b\" = 1\nA = 2\n\"ключ\" = 3\nt = { x = 1 }\narr = [1]\n";
  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), nullptr, 0);
  cvn_toml_table* root = cvn_toml_root(doc);
  EXPECT_STREQ(cvn_toml_table_key(root, 4), "t");
  EXPECT_EQ(cvn_toml_table_key(root, 5), nullptr);
  EXPECT_EQ(cvn_toml_table_key(root, -1), nullptr);
  EXPECT_STREQ(cvn_toml_table_raw(root, "a.b"), "1");
  EXPECT_EQ(cvn_toml_table_raw(root, "a"), nullptr);
  EXPECT_EQ(cvn_toml_table_raw(root, "a.b "), nullptr);
  EXPECT_STREQ(cvn_toml_table_raw(root, "A"), "2");
  EXPECT_EQ(cvn_toml_table_raw(root, "a.B"), nullptr);
  EXPECT_STREQ(cvn_toml_table_raw(root, "ключ"), "3");
  EXPECT_EQ(cvn_toml_table_raw(root, "t"), nullptr);
  EXPECT_EQ(cvn_toml_table_array(root, "t"), nullptr);
  EXPECT_NE(cvn_toml_table_table(root, "t"), nullptr);
  EXPECT_EQ(cvn_toml_table_table(root, "arr"), nullptr);
  EXPECT_NE(cvn_toml_table_array(root, "arr"), nullptr);
  EXPECT_EQ(cvn_toml_table_array(root, "A"), nullptr);
  cvn_toml_close(doc);
}

TEST(toml_lookup, large_tables_keep_their_order_and_find_every_key_by_its_bytes) {
  // Prefixes whose byte order differs from the source order, non-ASCII
  // bytes included, spread over the three kinds.
  const char* const prefixes[] = {"\xC3\xBC", "z", "Z", "a", "ab", "\xC3\xA9"};
  std::string text;
  std::vector<std::string> leaves, arrays, tables;
  for (int i = 0; i < 60; ++i) {
    const std::string key = prefixes[i % 6] + std::to_string(100 - i);
    const std::string value = std::to_string(i);
    if (i % 3 == 0) text += "\"" + key + "\" = " + value + "\n", leaves.push_back(key);
    if (i % 3 == 1) text += "\"" + key + "\" = [" + value + "]\n", arrays.push_back(key);
    if (i % 3 == 2) text += "\"" + key + "\" = { v = " + value + " }\n", tables.push_back(key);
  }
  std::vector<std::string> expected = leaves;
  expected.insert(expected.end(), arrays.begin(), arrays.end());
  expected.insert(expected.end(), tables.begin(), tables.end());
  EXPECT_EQ(TomlKeys(text), expected);

  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), nullptr, 0);
  cvn_toml_table* root = cvn_toml_root(doc);
  for (int i = 0; i < 60; ++i) {
    const std::string key = prefixes[i % 6] + std::to_string(100 - i);
    const std::string value = std::to_string(i);
    const char* raw = cvn_toml_table_raw(root, key.c_str());
    cvn_toml_array* array = cvn_toml_table_array(root, key.c_str());
    cvn_toml_table* table = cvn_toml_table_table(root, key.c_str());
    EXPECT_EQ(!!raw + !!array + !!table, 1) << key;
    if (raw) {
      EXPECT_EQ(raw, value) << key;
    } else if (array) {
      EXPECT_STREQ(cvn_toml_array_raw(array, 0), value.c_str()) << key;
    } else if (table) {
      EXPECT_STREQ(cvn_toml_table_raw(table, "v"), value.c_str()) << key;
    }
  }
  for (const char* absent : {"", "a", "ab", "ab1", "\xC3\xBC", "\xC3", "z1000", "Z9", "\xC3\xA9" "95 "}) {
    EXPECT_EQ(cvn_toml_table_raw(root, absent), nullptr) << absent;
    EXPECT_EQ(cvn_toml_table_array(root, absent), nullptr) << absent;
    EXPECT_EQ(cvn_toml_table_table(root, absent), nullptr) << absent;
  }
  cvn_toml_close(doc);
}

TEST(toml_arrays, give_each_element_through_the_accessor_of_its_kind) {
  const std::string text = "a = [1, { x = 'y' }, [2, 3], \"s\"]\n[[t]]\nk = 1\n[[t]]\n";
  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), nullptr, 0);
  cvn_toml_table* root = cvn_toml_root(doc);
  cvn_toml_array* a = cvn_toml_table_array(root, "a");
  ASSERT_EQ(cvn_toml_array_count(a), 4);
  EXPECT_STREQ(cvn_toml_array_raw(a, 0), "1");
  EXPECT_EQ(cvn_toml_array_raw(a, 1), nullptr);
  EXPECT_STREQ(cvn_toml_table_raw(cvn_toml_array_table(a, 1), "x"), "'y'");
  EXPECT_EQ(cvn_toml_array_table(a, 0), nullptr);
  EXPECT_STREQ(cvn_toml_array_raw(cvn_toml_array_array(a, 2), 1), "3");
  EXPECT_STREQ(cvn_toml_array_raw(a, 3), "\"s\"");
  EXPECT_EQ(cvn_toml_array_raw(a, 4), nullptr);
  EXPECT_EQ(cvn_toml_array_raw(a, -1), nullptr);
  EXPECT_EQ(cvn_toml_array_table(a, 4), nullptr);
  cvn_toml_array* t = cvn_toml_table_array(root, "t");
  ASSERT_EQ(cvn_toml_array_count(t), 2);
  EXPECT_STREQ(cvn_toml_table_raw(cvn_toml_array_table(t, 0), "k"), "1");
  EXPECT_EQ(cvn_toml_table_key(cvn_toml_array_table(t, 1), 0), nullptr);
  cvn_toml_close(doc);
}

TEST(toml_errors, a_nul_byte_is_refused_before_parsing) {
  const std::string text("a = 1\n\0 this is = = not toml", 28);
  EXPECT_EQ(OpenError(text), "Invalid NUL byte in TOML source");
  char err[64];
  EXPECT_EQ(cvn_toml_validate(text.data(), text.size(), err, sizeof err), 0);
  EXPECT_STREQ(err, "Invalid NUL byte in TOML source");
  EXPECT_EQ(cvn_toml_open(nullptr, 3, err, sizeof err), nullptr);
  EXPECT_STREQ(err, "Invalid NUL byte in TOML source");
  // Only the given length counts: a NUL just past it is not part of the text.
  EXPECT_EQ(OpenError(std::string("a = 1\0", 6).substr(0, 5)), "opened");
}

TEST(toml_errors, parse_errors_carry_the_line_and_stay_on_one_line) {
  EXPECT_EQ(OpenError("a = 1\nb = 2\na = 3\n").rfind("line 3: ", 0), 0u);
  const std::string broken = OpenError("ok = true\nx = fals\n");
  EXPECT_EQ(broken.rfind("line 2: ", 0), 0u) << broken;
  EXPECT_EQ(broken.find('\n'), std::string::npos) << broken;
  char err[64];
  const std::string text = "[a]\n[a]\n";
  EXPECT_EQ(cvn_toml_validate(text.data(), text.size(), err, sizeof err), 0);
  EXPECT_EQ(std::string(err).rfind("line 2: ", 0), 0u) << err;
}

TEST(toml_errors, texts_are_truncated_to_the_buffer_and_can_be_suppressed) {
  const std::string full = OpenError("a = = 1\n");
  ASSERT_GT(full.size(), 8u);
  EXPECT_EQ(OpenError("a = = 1\n", 8), full.substr(0, 7));
  EXPECT_EQ(OpenError("a = = 1\n", 1), "");
  const std::string text = "a = = 1\n";
  EXPECT_EQ(cvn_toml_open(text.data(), text.size(), nullptr, 100), nullptr);
  char untouched[4] = "abc";
  EXPECT_EQ(cvn_toml_open(text.data(), text.size(), untouched, 0), nullptr);
  EXPECT_STREQ(untouched, "abc");
  EXPECT_EQ(cvn_toml_validate(text.data(), text.size(), nullptr, 0), 0);
}

TEST(toml_nesting, deep_input_is_refused_quickly_with_a_line_message) {
  std::string dotted, header = "[", inlineTables = "x = ";
  for (int i = 0; i < 100000; ++i) dotted += "a.";
  for (int i = 0; i < 100000; ++i) header += "h.";
  for (int i = 0; i < 100000; ++i) inlineTables += "{ a = ";
  const std::string inputs[] = {"x = " + std::string(100000, '['), std::string(100000, '['), dotted + "b = 1",
                                header + "z]", inlineTables};
  for (const std::string& input : inputs) {
    const auto started = std::chrono::steady_clock::now();
    const std::string error = OpenError("ok = 1\n" + input + "\n");
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  }
}

TEST(toml_nesting, dots_and_brackets_in_strings_comments_and_numbers_do_not_count) {
  std::string text = "s = \"" + std::string(2000, '.') + "\"\nl = '" + std::string(2000, '[') + "'\n";
  text += "ml = \"\"\"\n" + std::string(2000, '{') + "\n\"\"\"\n# " + std::string(2000, '.') + "\n";
  text += "f = [";
  for (int i = 0; i < 2000; ++i) text += "1.5, ";
  text += "]\nt = [";
  for (int i = 0; i < 2000; ++i) text += "{ a.b.c = 1 },\n";
  std::string header = "k";
  for (int i = 0; i < 99; ++i) header += ".k";
  text += "]\n[" + header + "]\n";
  std::string dotted = "d";
  for (int i = 0; i < 400; ++i) dotted += ".d";
  text += dotted + " = 1\n";
  const TTomlRun run = ReadToml(text);
  EXPECT_TRUE(run.Opened) << run.Error;
}

TEST(toml_nesting, trees_near_the_limit_open_with_every_value_reachable) {
  const std::string header = "[" + [] {
    std::string path = "h";
    for (int i = 1; i < 300; ++i) path += ".h";
    return path;
  }() + "]\n";
  std::string inlineTables = "x = ";
  for (int i = 0; i < 200; ++i) inlineTables += "{ a = ";
  inlineTables += "3" + std::string(200, '}') + "\n";
  const std::string text =
      "a = " + std::string(250, '[') + "1, [2]" + std::string(250, ']') + "\n" + inlineTables + header + "v = 4\n";
  const TTomlRun run = ReadToml(text);
  ASSERT_TRUE(run.Opened) << run.Error;
  ASSERT_EQ(run.Leaves.size(), 4u);
  std::string nested = ".a";
  for (int i = 0; i < 250; ++i) nested += "[0]";
  EXPECT_EQ(run.Leaves[0].Path, nested);
  EXPECT_EQ(run.Leaves[0].Raw, "1");
  EXPECT_EQ(run.Leaves[1].Raw, "2");
  EXPECT_EQ(run.Leaves[2].Raw, "3");
  EXPECT_EQ(run.Leaves[3].Raw, "4");
  EXPECT_EQ(run.Leaves[3].Path.size(), 2 * 300 + 2u);
}

TEST(toml_offsets, hold_values_past_four_gibibytes) {
  const std::uint64_t gib4 = std::uint64_t(1) << 32;
  const std::vector<std::uint64_t> values = {0, 7, gib4 - 1, gib4, gib4 + 5, gib4 + 5, 3 * gib4 + 2, 5 * gib4};
  corvane::parser::TOffsetList list;
  for (const std::uint64_t value : values) list.Append(value);
  ASSERT_EQ(list.Size(), values.size());
  for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(list[i], values[i]) << i;
}

}  // namespace
}  // namespace corvane::test
