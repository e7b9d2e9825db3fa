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

TEST(line_colour_state, colours_each_line_once_per_colour_set) {
  TLineColourState state;
  state.TextLoaded(3);
  EXPECT_TRUE(state.NeedsColouring(1));
  EXPECT_FALSE(state.NeedsBase(1));  // loaded in the base colour already
  state.Coloured(1);
  EXPECT_FALSE(state.NeedsColouring(1));
  state.ColoursChanged();  // a new theme: coloured and loaded lines alike
  EXPECT_TRUE(state.NeedsColouring(1));
  EXPECT_TRUE(state.NeedsBase(1));
  EXPECT_TRUE(state.NeedsBase(2));
  state.TextLoaded(2);  // loading again starts from the base colour
  EXPECT_FALSE(state.NeedsBase(1));
  EXPECT_TRUE(state.NeedsColouring(1));
  EXPECT_TRUE(state.NeedsColouring(7));  // beyond what was counted
  EXPECT_TRUE(state.NeedsBase(7));
  state.Coloured(7);
  EXPECT_TRUE(state.NeedsColouring(7));
}

TEST(line_colour_state, a_pass_formats_only_lines_not_yet_coloured) {
  TLineColourState state;
  state.TextLoaded(10);
  const std::u16string text = u"a: 1\rb: x\r\rc: true";  // lines 4 to 7
  std::vector<TColourSpan> spans = PendingColourSpans(text, 4, TDocumentLanguage::Yaml, false, &state);
  ASSERT_EQ(spans.size(), 6u);  // keys and values only: the text is in the base colour
  EXPECT_EQ(spans[0].Role, srKey);
  EXPECT_EQ(spans[5].Start, 14);  // "true", relative to the stretch
  EXPECT_TRUE(PendingColourSpans(text, 4, TDocumentLanguage::Yaml, false, &state).empty());
  // Scrolled by one line: only the new line is formatted.
  spans = PendingColourSpans(u"b: x\r\rc: true\rd: ~", 5, TDocumentLanguage::Yaml, false, &state);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[1].Role, srNull);
  // New colours: base runs over the lines with text (neighbours joined,
  // the empty line ends a run), then the spans.
  state.ColoursChanged();
  spans = PendingColourSpans(text, 4, TDocumentLanguage::Yaml, true, &state);
  ASSERT_EQ(spans.size(), 8u);
  EXPECT_EQ(spans[0].Role, srText);
  EXPECT_EQ(spans[0].Start, 0);
  EXPECT_EQ(spans[0].Length, 9);
  EXPECT_EQ(spans[1].Start, 11);
  EXPECT_EQ(spans[1].Length, 7);
  EXPECT_TRUE(spans[2].Bold);
}

TEST(line_colour_state, counts_lines_as_the_text_control_does) {
  EXPECT_EQ(CountTextLines(u""), 1u);
  EXPECT_EQ(CountTextLines(u"a\r\nb\rc\nd"), 4u);
  EXPECT_EQ(CountTextLines(u"a\r\n"), 2u);
  EXPECT_EQ(CountTextLines(u"\r\r\n\n"), 4u);
}

}  // namespace
}  // namespace corvane
