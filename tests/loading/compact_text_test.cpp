// The 8-byte texts of structure nodes: every length on both sides of the
// inline limit, any byte value, and the copy/move/assign paths that switch
// between the inline and the allocated form.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "uCompactText.h"

namespace corvane {
namespace {

// A text of length n that uses NUL, high bytes and ordinary letters.
std::string Sample(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>(i % 3 == 0 ? '\0' : i % 3 == 1 ? '\xFF' : 'a' + i % 26);
  return s;
}

TEST(compact_text, keeps_every_length_and_byte_on_both_sides_of_the_inline_limit) {
  static_assert(sizeof(TCompactText) == 8, "a compact text is 8 bytes");
  for (size_t n = 0; n <= 40; ++n) {
    const std::string s = Sample(n);
    TCompactText t(s);
    EXPECT_EQ(t.size(), n);
    EXPECT_EQ(t.empty(), n == 0);
    EXPECT_EQ(t.str(), s) << n;
    EXPECT_TRUE(t == s && s == t && t == std::string_view(s)) << n;
    EXPECT_FALSE(t != s);
    if (n > 0) {
      EXPECT_EQ(t[n - 1], s[n - 1]);
      EXPECT_TRUE(t != Sample(n - 1)) << n;  // a prefix is a different text
    }
  }
  EXPECT_TRUE(TCompactText() == "");
  EXPECT_TRUE(TCompactText(std::string_view("port")) == "port");
  const TCompactText image(std::string_view("registry.local/app"));
  EXPECT_TRUE("registry.local/app" == image);
  TCompactText fromNull;
  fromNull = static_cast<const char*>(nullptr);
  EXPECT_TRUE(fromNull.empty());
}

TEST(compact_text, copies_moves_and_reassigns_without_losing_or_sharing_bytes) {
  for (size_t a : {0u, 3u, 7u, 8u, 30u}) {
    for (size_t b : {0u, 5u, 7u, 8u, 25u}) {
      TCompactText x(Sample(a));
      TCompactText y(Sample(b) + "z");
      TCompactText copy = x;
      y = x;  // replaces the other form
      EXPECT_EQ(y.str(), Sample(a));
      x = Sample(b);  // the copies keep their own bytes
      EXPECT_EQ(copy.str(), Sample(a));
      EXPECT_EQ(y.str(), Sample(a));
      TCompactText moved = std::move(x);
      EXPECT_EQ(moved.str(), Sample(b));
      EXPECT_TRUE(x.empty());  // NOLINT: a moved-from text is left empty
      moved = std::move(moved);
      EXPECT_EQ(moved.str(), Sample(b));
    }
  }
  // Assigning a text its own bytes, or a part of them, keeps them intact.
  TCompactText self(std::string_view("a long value, allocated"));
  self = self.view().substr(2, 10);
  EXPECT_EQ(self.str(), "long value");
  self = self.view().substr(5);
  EXPECT_EQ(self.str(), "value");
  self = self;
  EXPECT_EQ(self.str(), "value");
}

}  // namespace
}  // namespace corvane
