// Positions reported by the parser (1-based line, column in code points) must
// map to the same byte offsets whether they go through a plain scan from the
// start of the text (the structure oracle's) or the line index built once
// per parse.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "structure_oracle_support.h"
#include "uLineIndex.h"

namespace corvane {
namespace {

using test::LineColumnToOffset;

std::ptrdiff_t Both(const std::string& text, std::ptrdiff_t line, std::ptrdiff_t column) {
  const std::ptrdiff_t scanned = LineColumnToOffset(text, line, column);
  EXPECT_EQ(TLineIndex(text).Offset(line, column), scanned) << "line " << line << " column " << column;
  return scanned;
}

TEST(line_column_offsets, count_code_points_every_line_end_style_and_a_byte_order_mark) {
  EXPECT_EQ(Both("ab\ncd", 2, 2), 4);
  EXPECT_EQ(Both("ab\r\ncd", 2, 1), 4);   // CR LF is one line end
  EXPECT_EQ(Both("ab\rcd", 2, 2), 4);     // a lone CR ends a line
  EXPECT_EQ(Both("ab\n\rcd", 3, 1), 4);   // LF then CR: two line ends
  EXPECT_EQ(Both("caf\xC3\xA9: x\n", 1, 5), 5);   // after the two bytes of é
  EXPECT_EQ(Both("\xE2\x82\xAC\xF0\x9F\x98\x80z", 1, 3), 7);
  EXPECT_EQ(Both("a\tb", 1, 3), 2);       // a tab is one column
  // A byte-order mark counts in offsets but not as a column.
  EXPECT_EQ(Both("\xEF\xBB\xBF" "a: 1", 1, 1), 3);
  EXPECT_EQ(Both("\xEF\xBB\xBF", 1, 1), 3);
  EXPECT_EQ(Both("\xEF\xBB", 1, 1), 0);   // too short to be a mark
}

TEST(line_column_offsets, treat_the_end_and_line_breaks_as_positions_and_refuse_others) {
  EXPECT_EQ(Both("ab", 1, 3), 2);
  EXPECT_EQ(Both("ab\n", 1, 3), 2);
  EXPECT_EQ(Both("ab\n", 2, 1), 3);
  EXPECT_EQ(Both("", 1, 1), 0);
  // Positions outside the text.
  EXPECT_EQ(Both("ab\ncd", 1, 4), -1);
  EXPECT_EQ(Both("ab\ncd", 3, 1), -1);
  EXPECT_EQ(Both("ab", 0, 1), -1);
  EXPECT_EQ(Both("ab", 1, 0), -1);
  EXPECT_EQ(Both("ab", -5, -5), -1);
  EXPECT_EQ(Both("\xC3\xA9", 1, 3), -1);
}

// Random texts made of the bytes that matter (line ends, multi-byte
// characters, stray continuation bytes, a mark at the start) must give the
// same offset for every position, valid or not.
TEST(line_index, agrees_with_the_scan_on_random_texts) {
  const char* pieces[] = {"a", " ", "\n", "\r", "\r\n", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                          "\x80", "\xBF", "\t", "\xEF\xBB\xBF"};
  std::mt19937 rng(1234);
  const size_t kinds = sizeof pieces / sizeof *pieces;
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = static_cast<int>(rng() % 40);
    for (int i = 0; i < count; ++i) text += pieces[rng() % kinds];
    const TLineIndex index(text);
    for (std::ptrdiff_t line = 0; line <= index.LineCount() + 1; ++line)
      for (std::ptrdiff_t column = 0; column <= 60; ++column)
        ASSERT_EQ(index.Offset(line, column), LineColumnToOffset(text, line, column))
            << "round " << round << " line " << line << " column " << column;
  }
  // Longer texts (long lines cross the index's checkpoints): random positions.
  for (int round = 0; round < 10; ++round) {
    std::string text;
    const char* lineText[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80"};
    for (int i = 0; i < 2000; ++i) text += (rng() % 300 == 0) ? pieces[rng() % kinds] : lineText[rng() % 5];
    const TLineIndex index(text);
    for (int probe = 0; probe < 4000; ++probe) {
      const std::ptrdiff_t line = static_cast<std::ptrdiff_t>(rng() % (index.LineCount() + 2));
      const std::ptrdiff_t column = static_cast<std::ptrdiff_t>(rng() % 900);
      ASSERT_EQ(index.Offset(line, column), LineColumnToOffset(text, line, column))
          << "long round " << round << " line " << line << " column " << column;
    }
  }
}

// A long line of multi-byte characters goes through the checkpoints.
TEST(line_index, finds_far_columns_on_a_long_non_ascii_line) {
  std::string text = "k: ";
  for (int i = 0; i < 5000; ++i) text += (i % 3 == 0) ? "\xC3\xA9" : "x";
  text += "\nnext";
  const TLineIndex index(text);
  for (std::ptrdiff_t column : {1, 128, 129, 256, 257, 1000, 4999, 5003, 5004, 5005})
    EXPECT_EQ(index.Offset(1, column), LineColumnToOffset(text, 1, column)) << column;
  EXPECT_EQ(index.Offset(2, 1), LineColumnToOffset(text, 2, 1));
}

// Character indexes (code points after a byte-order mark, CR LF as two) map
// to the byte where that code point starts.
TEST(line_index, maps_character_indexes_to_bytes) {
  std::mt19937 rng(99);
  const char* pieces[] = {"a", "\r\n", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC2\x85"};
  for (int round = 0; round < 20; ++round) {
    std::string text = round % 2 ? "\xEF\xBB\xBF" : "";
    std::vector<std::ptrdiff_t> starts;
    for (int i = 0; i < 700; ++i) {
      const std::string piece = pieces[rng() % 6];
      for (size_t k = 0; k < piece.size(); ++k)
        if ((static_cast<unsigned char>(piece[k]) & 0xC0) != 0x80) starts.push_back(text.size() + k);
      text += piece;
    }
    const TLineIndex index(text);
    for (size_t k = 0; k < starts.size(); ++k) ASSERT_EQ(index.OffsetOfCharacter(k), starts[k]) << k;
    EXPECT_EQ(index.OffsetOfCharacter(starts.size()), static_cast<std::ptrdiff_t>(text.size()));
    EXPECT_EQ(index.OffsetOfCharacter(starts.size() + 1), -1);
    EXPECT_EQ(index.OffsetOfCharacter(-1), -1);
  }
  EXPECT_FALSE(TLineIndex("a\nb\r\n\xC3\xA9").HasOtherLineBreaks());
  EXPECT_TRUE(TLineIndex("a\xE2\x80\xA9").HasOtherLineBreaks());
}

}  // namespace
}  // namespace corvane
