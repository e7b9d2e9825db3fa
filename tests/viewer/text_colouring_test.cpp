#include <gtest/gtest.h>

#include "uHostSearch.h"
#include "uTextColouring.h"
#include "uUnicode.h"

namespace corvane {
namespace {

// One letter per character for the role that colours it last:
// . text, K key, S string, B boolean, N null, C comment.
std::string Roles(std::u16string_view text, TDocumentLanguage language) {
  const char kLetters[] = ".KSBNC";
  std::string out(text.size(), '?');
  for (const TColourSpan& span : ColourLines(text, language, false)) {
    for (int32_t i = span.Start; i < span.Start + span.Length; ++i) {
      out.at(static_cast<size_t>(i)) = kLetters[span.Role];
    }
  }
  return out;
}

std::string Yaml(const char* line) { return Roles(U16(line), TDocumentLanguage::Yaml); }
std::string Toml(const char* line) { return Roles(U16(line), TDocumentLanguage::Toml); }

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

TEST(text_colouring, makes_only_keys_and_headers_bold) {
  for (const TColourSpan& span : ColourLines(u"[t]\nk = \"v\" # c", TDocumentLanguage::Toml, true)) {
    EXPECT_EQ(span.Bold, span.Role == srKey) << span.Start;
  }
  for (const TColourSpan& span : ColourLines(u"k = 1", TDocumentLanguage::Toml, false)) EXPECT_FALSE(span.Bold);
}

TEST(text_colouring, counts_positions_over_reduced_line_breaks) {
  EXPECT_EQ(ReduceCrLf(u"a\r\nb\r\rc\n"), u"a\rb\r\rc\n");
  const std::u16string text = ReduceCrLf(u"a: 1\r\nb: x\r\n");
  EXPECT_EQ(Roles(text, TDocumentLanguage::Yaml), "K..B.K..S.");
}

TEST(text_colouring, accepts_empty_text_nuls_and_lone_surrogates) {
  EXPECT_TRUE(ColourLines(u"", TDocumentLanguage::Yaml, false).empty());
  const std::u16string odd = std::u16string(u"k: a\0b", 6) + u'\xD800' + u" \"" + u'\xDC00';
  EXPECT_EQ(Roles(odd, TDocumentLanguage::Yaml), "K..SSSS.SS");
  EXPECT_EQ(Roles(u"\n\r\n", TDocumentLanguage::Toml), "...");
}

}  // namespace
}  // namespace corvane
