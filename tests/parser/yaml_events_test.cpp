// The YAML half of the parser library: event stream, positions, scalar data,
// failures and the exhausted state, and null-safety.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "parser_walk_support.h"

namespace corvane::test {
namespace {

TEST(yaml_event_stream, empty_text_gives_stream_start_and_end_then_no_event) {
  for (const char* data : {"", static_cast<const char*>(nullptr)}) {
    cvn_yaml_parser* y = cvn_yaml_open(data, 0);
    ASSERT_NE(y, nullptr);
    EXPECT_STREQ(cvn_yaml_error(y), "");
    EXPECT_EQ(cvn_yaml_type(y), 0);  // nothing before the first event
    EXPECT_EQ(cvn_yaml_line(y) + cvn_yaml_column(y) + cvn_yaml_end_line(y) + cvn_yaml_end_column(y), 0u);
    ASSERT_EQ(cvn_yaml_next(y), 1);
    EXPECT_EQ(cvn_yaml_type(y), CVN_YAML_STREAM_START);
    ASSERT_EQ(cvn_yaml_next(y), 1);
    EXPECT_EQ(cvn_yaml_type(y), CVN_YAML_STREAM_END);
    for (int i = 0; i < 2; ++i) {
      ASSERT_EQ(cvn_yaml_next(y), 1);
      EXPECT_EQ(cvn_yaml_type(y), 0);
      EXPECT_EQ(cvn_yaml_line(y), 0u);
    }
    cvn_yaml_close(y);
  }
}

TEST(yaml_event_stream, refuses_null_data_with_a_length) {
  EXPECT_EQ(cvn_yaml_open(nullptr, 5), nullptr);
}

TEST(yaml_event_stream, every_function_tolerates_a_null_handle) {
  cvn_yaml_close(nullptr);
  EXPECT_EQ(cvn_yaml_next(nullptr), 0);
  EXPECT_STREQ(cvn_yaml_error(nullptr), "No parser");
  EXPECT_EQ(cvn_yaml_type(nullptr), 0);
  EXPECT_EQ(cvn_yaml_start(nullptr) + cvn_yaml_end(nullptr) + cvn_yaml_line(nullptr) + cvn_yaml_column(nullptr) +
                cvn_yaml_end_line(nullptr) + cvn_yaml_end_column(nullptr) + cvn_yaml_value_length(nullptr),
            0u);
  EXPECT_EQ(cvn_yaml_value(nullptr), nullptr);
  EXPECT_EQ(cvn_yaml_anchor(nullptr), nullptr);
  EXPECT_EQ(cvn_yaml_tag(nullptr), nullptr);
  EXPECT_EQ(cvn_yaml_scalar_style(nullptr), 0);
}

TEST(yaml_event_positions, lines_and_columns_are_one_based_and_indexes_count_characters) {
  // "é" is two bytes but one character; the CR LF pair counts as two.
  const TYamlRun run = ReadYaml("é: x\r\nkey: 'quoted'\n");
  ASSERT_FALSE(run.Failed) << run.Error;
  const TEventRecord& e = run.Events[4];  // the scalar x
  EXPECT_EQ(e.Value, "x");
  EXPECT_EQ(e.Start, 3u);
  EXPECT_EQ(e.End, 4u);
  EXPECT_EQ(e.Line, 1u);
  EXPECT_EQ(e.Column, 4u);
  const TEventRecord& q = run.Events[6];  // 'quoted' starts after "é: x\r\nkey: "
  EXPECT_EQ(q.Start, 11u);
  EXPECT_EQ(q.End, 19u);
  EXPECT_EQ(q.Line, 2u);
  EXPECT_EQ(q.Column, 6u);
  EXPECT_EQ(q.EndLine, 2u);
  EXPECT_EQ(q.EndColumn, 14u);
}

TEST(yaml_event_positions, a_byte_order_mark_is_not_counted) {
  const TYamlRun run = ReadYaml("\xEF\xBB\xBF" "a: b\n");
  ASSERT_FALSE(run.Failed) << run.Error;
  EXPECT_EQ(run.Events[3].Start, 0u);
  EXPECT_EQ(run.Events[3].Column, 1u);
}

TEST(yaml_event_positions, utf16_text_with_a_byte_order_mark_is_read) {
  const std::string text("\xFF\xFE" "a\0:\0 \0b\0\n\0", 12);
  const TYamlRun run = ReadYaml(text);
  ASSERT_FALSE(run.Failed) << run.Error;
  EXPECT_EQ(run.Events[4].Value, "b");
  EXPECT_EQ(run.Events[4].Column, 4u);
}

TEST(yaml_scalars, values_are_decoded_with_their_styles) {
  const TYamlRun run = ReadYaml("- plain\n- 'it''s'\n- \"tab\\there\"\n- |\n  lit\n  eral\n- >\n  fol\n  ded\n");
  ASSERT_FALSE(run.Failed) << run.Error;
  const std::vector<std::pair<std::string, int>> expected = {
      {"plain", CVN_YAML_PLAIN}, {"it's", CVN_YAML_SINGLE_QUOTED}, {"tab\there", CVN_YAML_DOUBLE_QUOTED},
      {"lit\neral\n", CVN_YAML_LITERAL}, {"fol ded\n", CVN_YAML_FOLDED}};
  for (size_t i = 0; i < expected.size(); ++i) {
    const TEventRecord& e = run.Events[3 + i];
    EXPECT_EQ(e.Type, CVN_YAML_SCALAR);
    EXPECT_EQ(e.Value, expected[i].first);
    EXPECT_EQ(e.Style, expected[i].second);
  }
  EXPECT_EQ(run.Events[2].Style, 0);  // SEQUENCE-START has no style
  EXPECT_FALSE(run.Events[2].HasValue);
}

TEST(yaml_scalars, an_escaped_nul_keeps_the_full_length) {
  const TYamlRun run = ReadYaml("k: \"a\\0bc\"\n");
  ASSERT_FALSE(run.Failed) << run.Error;
  EXPECT_EQ(run.Events[4].Value, std::string("a\0bc", 4));
}

TEST(yaml_scalars, anchors_aliases_and_tags_are_reported_bare) {
  const TYamlRun run = ReadYaml("%TAG !e! tag:example.com,2000:\n---\n"
                                "a: &x !!str v\nb: *x\nc: &s !e!list [1]\nd: !local {k: 1}\ne: w\n");
  ASSERT_FALSE(run.Failed) << run.Error;
  const auto& ev = run.Events;
  EXPECT_EQ(ev[4].Anchor, "x");
  EXPECT_EQ(ev[4].Tag, "tag:yaml.org,2002:str");
  EXPECT_EQ(ev[6].Type, CVN_YAML_ALIAS);
  EXPECT_EQ(ev[6].Anchor, "x");
  EXPECT_EQ(ev[8].Type, CVN_YAML_SEQUENCE_START);
  EXPECT_EQ(ev[8].Anchor, "s");
  EXPECT_EQ(ev[8].Tag, "tag:example.com,2000:list");
  EXPECT_EQ(ev[12].Type, CVN_YAML_MAPPING_START);
  EXPECT_EQ(ev[12].Tag, "!local");
  EXPECT_EQ(ev[12].AnchorPtr, nullptr);
  EXPECT_EQ(ev[17].Value, "w");
  EXPECT_EQ(ev[17].AnchorPtr, nullptr);
  EXPECT_EQ(ev[17].Tag, "");
}

TEST(yaml_failures, a_syntax_error_names_problem_line_and_column_and_exhausts_the_handle) {
  const std::string text = "a: 1\nb: [1, 2\n";
  cvn_yaml_parser* y = cvn_yaml_open(text.data(), text.size());
  int result = 1;
  while (result == 1 && cvn_yaml_type(y) != CVN_YAML_STREAM_END) result = cvn_yaml_next(y);
  ASSERT_EQ(result, 0);
  const std::string error = cvn_yaml_error(y);
  EXPECT_EQ(error, "did not find expected ',' or ']' at line 3, column 1");
  EXPECT_EQ(cvn_yaml_type(y), 0);
  EXPECT_EQ(cvn_yaml_next(y), 1);
  EXPECT_EQ(cvn_yaml_type(y), 0);
  EXPECT_EQ(cvn_yaml_value(y), nullptr);
  EXPECT_EQ(cvn_yaml_error(y), error);
  cvn_yaml_close(y);
}

TEST(yaml_failures, an_encoding_error_reports_where_the_bad_byte_is) {
  // libyaml gives such errors as a byte offset only; the position is derived.
  const TYamlRun run = ReadYaml("a: 1\nbb: \"\xFF\"\n");
  ASSERT_TRUE(run.Failed);
  EXPECT_EQ(run.Error, "invalid leading UTF-8 octet at line 2, column 6");
  const TYamlRun crlf = ReadYaml("a: é\r\n\r\n  \xC3(\n");
  ASSERT_TRUE(crlf.Failed);
  EXPECT_EQ(crlf.Error, "invalid trailing UTF-8 octet at line 3, column 4");
}

TEST(yaml_failures, deep_nesting_is_refused_quickly_and_moderate_nesting_is_read) {
  for (const char open : {'[', '{'}) {
    const auto started = std::chrono::steady_clock::now();
    const TYamlRun deep = ReadYaml(std::string(100000, open));
    EXPECT_TRUE(deep.Failed);
    EXPECT_EQ(deep.Error, "nesting deeper than 512 levels at line 1, column 513");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  }
  std::string dashes;
  for (int i = 0; i < 100000; ++i) dashes += "- ";
  EXPECT_TRUE(ReadYaml(dashes).Failed);
  const TYamlRun ok = ReadYaml(std::string(512, '[') + std::string(512, ']'));
  EXPECT_FALSE(ok.Failed) << ok.Error;
}

}  // namespace
}  // namespace corvane::test
