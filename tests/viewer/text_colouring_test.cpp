#include <gtest/gtest.h>

#include <utility>

#include "uTextColouring.h"

namespace corvane {
namespace {

// One letter per character for the role that colours it last:
// . text, K key, S string, B boolean, N null, C comment.
std::string Roles(std::string_view text, TDocumentLanguage language) {
  const char kLetters[] = ".KSBNC";
  std::string out(text.size(), '?');
  for (const TColourSpan& span : ColourLines(text, language)) {
    for (int32_t i = span.Start; i < span.Start + span.Length; ++i) {
      out.at(static_cast<size_t>(i)) = kLetters[span.Role];
    }
  }
  return out;
}

std::string Yaml(const char* line) { return Roles(line, TDocumentLanguage::Yaml); }
std::string Toml(const char* line) { return Roles(line, TDocumentLanguage::Toml); }

TEST(text_colouring, separates_yaml_keys_only_at_a_colon_before_a_blank) {
  EXPECT_EQ(Yaml("ratio: a:b"), "KKKKK..SSS");
  EXPECT_EQ(Yaml("time: 12:30"), "KKKK..BBBBB");
  EXPECT_EQ(Yaml("url: http://x"), "KKK..SSSSSSSS");
  EXPECT_EQ(Yaml("key:"), "KKK.");
  EXPECT_EQ(Yaml("a:b"), "SSS");  // no separator: the whole line is a value
}

TEST(text_colouring, colours_list_items_quoted_values_and_comments) {
  EXPECT_EQ(Yaml("  - name: \"a: b\" # note"), "....KKKK..SSSSSS.CCCCCC");
  EXPECT_EQ(Yaml("k: 'it''s' x"), "K..SSSSSSS.S");
  EXPECT_EQ(Yaml("k: \"a\\\"b\" c"), "K..SSSSSS.S");
  EXPECT_EQ(Yaml("k: \"open"), "K..SSSSS");  // unterminated run reaches the line end
  EXPECT_EQ(Yaml("\"a:b\": 1"), "KKKKK..B");  // the quoted key hides its colon
  EXPECT_EQ(Yaml("# only: comment"), "CCCCCCCCCCCCCCC");
  EXPECT_EQ(Yaml("k: a#b"), "K..SCC");
}

TEST(text_colouring, classifies_plain_tokens_by_exact_literal_or_first_character) {
  EXPECT_EQ(Yaml("k: true"), "K..BBBB");
  EXPECT_EQ(Yaml("k: True"), "K..SSSS");
  EXPECT_EQ(Yaml("k: null"), "K..NNNN");
  EXPECT_EQ(Yaml("k: Null"), "K..SSSS");
  EXPECT_EQ(Yaml("k: ~"), "K..N");
  EXPECT_EQ(Yaml("k: -5"), "K...B");  // the minus stays in the text colour
  EXPECT_EQ(Yaml("k: [a, 1, {b: c}]"), "K...S..B...S..S..");
  EXPECT_EQ(Yaml("- [x, y:]"), "...S..S..");  // trailing colons are not coloured
}

TEST(text_colouring, colours_block_scalars_line_by_line) {
  const std::string roles = Yaml("text: |\n  hello world\n  a: b");
  EXPECT_EQ(roles, "KKKK..S."
                   "..SSSSS.SSSSS."
                   "..K..S");
}

TEST(text_colouring, colours_toml_headers_keys_and_arrays) {
  EXPECT_EQ(Toml("[server.alpha] # x"), "KKKKKKKKKKKKKKKKKK");
  EXPECT_EQ(Toml("  [[bin]]"), "..KKKKKKK");
  EXPECT_EQ(Toml("ports = [ 8001, 8002 ]"), "KKKKK.....BBBB..BBBB..");
  EXPECT_EQ(Toml("\"a=b\" = 'x' # c"), "KKKKK...SSS.CCC");
  EXPECT_EQ(Toml("when = 1979-05-27T07:32:00Z"), "KKKK..." + std::string(20, 'B'));
  EXPECT_EQ(Toml("k: v"), "S..S");  // a colon separates nothing in TOML
}

TEST(text_colouring, gives_every_byte_of_a_character_its_token_role) {
  // UTF-8 bytes in: "é" and "ü" are two bytes each, part of their tokens.
  EXPECT_EQ(Yaml("caf\xC3\xA9: \xC3\xBC" "ber # \xC3\xA9"), "KKKKK..SSSSS.CCCC");
  EXPECT_EQ(Yaml("\xEF\xBB\xBF" "a: 1"), "KKKK..B");  // a byte-order mark starts the first key
  std::string roles(12, '?');
  ColourBytes("a: 1\r\nb: ~", TDocumentLanguage::Yaml, &roles[0]);
  EXPECT_EQ(roles, std::string("\x01\0\0\x03\0\0\x01\0\0\x04", 10) + "??");
}

TEST(text_colouring, accepts_empty_text_nuls_and_invalid_utf8) {
  EXPECT_TRUE(ColourLines("", TDocumentLanguage::Yaml).empty());
  const std::string odd = std::string("k: a\0b", 6) + "\xFF \"\x80";
  EXPECT_EQ(Roles(odd, TDocumentLanguage::Yaml), "K..SSSS.SS");
  EXPECT_EQ(Roles("\n\r\n", TDocumentLanguage::Toml), "...");
}

TEST(coloured_lines, finds_the_first_line_not_yet_coloured) {
  TColouredLines lines;
  lines.Reset(200);
  EXPECT_EQ(lines.FirstUncoloured(0), 0u);
  lines.MarkColoured(0, 130);
  lines.MarkColoured(140, 500);  // clamped to the line count
  EXPECT_TRUE(lines.IsColoured(129));
  EXPECT_FALSE(lines.IsColoured(130));
  EXPECT_FALSE(lines.IsColoured(200));
  EXPECT_EQ(lines.FirstUncoloured(0), 130u);
  EXPECT_EQ(lines.FirstUncoloured(140), 200u);  // none left: the line count
  lines.Reset(3);  // a new load: nothing coloured
  EXPECT_EQ(lines.FirstUncoloured(0), 0u);
  EXPECT_EQ(lines.FirstUncoloured(9), 3u);
}

// What a request colours: a short one whole, a jump only from the lines on
// screen on, never more than a pass colours.
TEST(coloured_lines, a_jump_colours_the_lines_on_screen_only) {
  const auto range = [](size_t styled, size_t needed, size_t visible, size_t count) {
    const TLineRange r = LinesToColour(styled, needed, visible, count);
    return std::make_pair(r.First, r.End);
  };
  using Range = std::pair<size_t, size_t>;
  EXPECT_EQ(range(0, 40, 0, 100), (Range{0, 41}));
  EXPECT_EQ(range(10, 1010, 970, 5000), (Range{10, 1011}));          // 1,001 lines: met whole
  EXPECT_EQ(range(0, 500040, 500000, 900000), (Range{500000, 500041}));
  EXPECT_EQ(range(0, 500040, 0, 900000), (Range{0, 1001}));          // at most one pass
  EXPECT_EQ(range(0, 99, 0, 50), (Range{0, 50}));                    // past the end
  EXPECT_TRUE(LinesToColour(60, 40, 30, 100).Empty());
}

}  // namespace
}  // namespace corvane
