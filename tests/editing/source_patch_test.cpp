// The patch list rules and the patched text of the source patch document.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "test_support.h"
#include "uSourcePatch.h"
#include "uUnicode.h"

namespace corvane {
namespace {

TSourcePatchDocument LoadedWith(test::TempDir& dir, const std::string& bytes) {
  test::WriteFileBytes(dir.File("doc.yaml"), bytes);
  TSourcePatchDocument doc;
  std::u16string error;
  EXPECT_TRUE(doc.LoadFromFile(Utf8ToUtf16(dir.File("doc.yaml")), error));
  EXPECT_TRUE(error.empty());
  return doc;
}

TEST(source_patch_document, refuses_patches_before_a_file_is_loaded) {
  TSourcePatchDocument doc;
  EXPECT_FALSE(doc.AddPatch(0, 0, "x"));
  std::u16string error;
  EXPECT_FALSE(doc.SaveToFile(nullptr, error));
  EXPECT_EQ(error, u"No source file loaded");
}

TEST(source_patch_document, reports_a_missing_file_and_keeps_its_state) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "a: 1\n");
  ASSERT_TRUE(doc.AddPatch(3, 1, "2"));
  std::u16string error;
  EXPECT_FALSE(doc.LoadFromFile(Utf8ToUtf16(dir.File("missing.yaml")), error));
  EXPECT_EQ(error, u"Cannot read source file");
  EXPECT_EQ(doc.LoadedBytes(), "a: 1\n");
  EXPECT_EQ(doc.Patches().size(), 1u);
}

TEST(source_patch_document, keeps_patches_sorted_and_splices_them_in_one_pass) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "a: 1\nb: 2\nc: 3\n");
  EXPECT_TRUE(doc.AddPatch(13, 1, "30"));
  EXPECT_TRUE(doc.AddPatch(3, 1, "10"));
  EXPECT_TRUE(doc.AddPatch(8, 1, "20"));
  ASSERT_EQ(doc.Patches().size(), 3u);
  EXPECT_EQ(doc.Patches()[0].Start, 3);
  EXPECT_EQ(doc.Patches()[2].Start, 13);
  EXPECT_EQ(doc.BuildText(), "a: 10\nb: 20\nc: 30\n");
  doc.ClearPatches();
  EXPECT_EQ(doc.BuildText(), "a: 1\nb: 2\nc: 3\n");
}

TEST(source_patch_document, replaces_the_text_of_a_span_edited_twice) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "name: John\n");
  EXPECT_TRUE(doc.AddPatch(6, 4, "\"Jane\""));
  EXPECT_TRUE(doc.AddPatch(6, 4, "\"Joan\""));
  ASSERT_EQ(doc.Patches().size(), 1u);
  EXPECT_EQ(doc.BuildText(), "name: \"Joan\"\n");
}

TEST(source_patch_document, accepts_touching_spans_and_refuses_any_shared_byte) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "0123456789");
  ASSERT_TRUE(doc.AddPatch(2, 3, "A"));   // [2,5)
  EXPECT_TRUE(doc.AddPatch(5, 2, "B"));   // touches at 5
  EXPECT_TRUE(doc.AddPatch(0, 2, "C"));   // touches at 2
  EXPECT_FALSE(doc.AddPatch(4, 2, "D"));  // shares byte 4 and 5
  EXPECT_FALSE(doc.AddPatch(6, 3, "E"));  // shares byte 6
  EXPECT_FALSE(doc.AddPatch(1, 5, "F"));  // covers several
  EXPECT_FALSE(doc.AddPatch(2, 1, "G"));  // same start, other length
  EXPECT_EQ(doc.Patches().size(), 3u);
  EXPECT_EQ(doc.BuildText(), "CAB789");
}

// A new span that runs into a patch after it is refused as surely as one
// that runs into a patch before it.
TEST(source_patch_document, refuses_a_span_running_into_a_later_patch) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "0123456789");
  ASSERT_TRUE(doc.AddPatch(5, 2, "B"));   // [5,7)
  ASSERT_TRUE(doc.AddPatch(8, 0, "+"));   // an insertion at 8
  EXPECT_FALSE(doc.AddPatch(3, 3, "A"));  // [3,6) runs into [5,7)
  EXPECT_FALSE(doc.AddPatch(0, 10, "Z")); // covers both
  EXPECT_FALSE(doc.AddPatch(7, 2, "C"));  // [7,9) holds the insertion point 8
  EXPECT_TRUE(doc.AddPatch(3, 2, "A"));   // [3,5) touches [5,7)
  EXPECT_EQ(doc.BuildText(), "012AB7+89");
}

// The spans a brute-force rule allows: two spans conflict when they share a
// byte, when an insertion falls strictly inside the other span, or when they
// start together with different lengths (the same span replaces).
bool Conflicts(const TSourcePatch& p, int64_t start, int64_t length) {
  if (p.Start == start) return p.Length != length;
  if (std::max(p.Start, start) < std::min(p.Start + p.Length, start + length)) return true;
  if (length == 0 && p.Start < start && start < p.Start + p.Length) return true;
  return p.Length == 0 && start < p.Start && p.Start < start + length;
}

std::string SplicedText(const std::string& bytes, std::vector<TSourcePatch> patches) {
  std::sort(patches.begin(), patches.end(), [](const TSourcePatch& a, const TSourcePatch& b) { return a.Start < b.Start; });
  std::string text;
  size_t copied = 0;
  for (const TSourcePatch& p : patches) {
    text += bytes.substr(copied, size_t(p.Start) - copied) + p.Replacement;
    copied = size_t(p.Start + p.Length);
  }
  return text + bytes.substr(copied);
}

// Random short spans added in random order (so every overlap comes in both
// insertion orders) against the brute-force rule, and the built text
// against a plain splice of the accepted spans.
TEST(source_patch_document, agrees_with_a_brute_force_overlap_rule_on_random_spans) {
  const std::string bytes = "abcdefghijkl";
  std::mt19937 rng(20240607);
  for (int round = 0; round < 3000; ++round) {
    TSourcePatchDocument doc;
    doc.LoadFromBytes(u"random.yaml", bytes);
    std::vector<TSourcePatch> accepted;
    for (int k = 0; k < 6; ++k) {
      const int64_t start = int64_t(rng() % (bytes.size() + 1));
      const int64_t length = std::min<int64_t>(int64_t(rng() % 5), int64_t(bytes.size()) - start);
      const std::string replacement(1 + rng() % 3, char('A' + k));
      bool allowed = true;
      for (const TSourcePatch& p : accepted) allowed = allowed && !Conflicts(p, start, length);
      ASSERT_EQ(doc.AddPatch(start, length, replacement), allowed)
          << "round " << round << ": [" << start << "," << start + length << ")";
      if (!allowed) continue;
      auto same = std::find_if(accepted.begin(), accepted.end(), [&](const TSourcePatch& p) { return p.Start == start; });
      if (same != accepted.end()) same->Replacement = replacement;
      else accepted.push_back({start, length, replacement});
    }
    ASSERT_EQ(doc.BuildText(), SplicedText(bytes, accepted)) << "round " << round;
  }
}

// Replacements given in offsets of the patched text, at random over
// earlier patches (inside, across, touching them): the built text is always
// the text before with the replacement spliced in, and the patches stay
// sorted and disjoint in the loaded bytes.
TEST(source_patch_document, takes_replacements_in_offsets_of_the_patched_text) {
  const std::string bytes = "abcdefghijkl";
  std::mt19937 rng(20261208);
  for (int round = 0; round < 3000; ++round) {
    TSourcePatchDocument doc;
    doc.LoadFromBytes(u"random.yaml", bytes);
    std::string text = bytes;
    for (int k = 0; k < 6; ++k) {
      const int64_t start = int64_t(rng() % (text.size() + 1));
      const int64_t length = std::min<int64_t>(int64_t(rng() % 5), int64_t(text.size()) - start);
      const std::string replacement(rng() % 3, char('A' + k));
      ASSERT_TRUE(doc.AddTextPatches({{start, length, replacement}}));
      text.replace(size_t(start), size_t(length), replacement);
      ASSERT_EQ(doc.BuildText(), text) << "round " << round << ", step " << k;
    }
    int64_t end = 0;
    for (const TSourcePatch& p : doc.Patches()) {
      EXPECT_LE(end, p.Start) << "round " << round;
      end = p.Start + p.Length;
    }
    EXPECT_LE(end, int64_t(bytes.size()));
  }
}

TEST(source_patch_document, applies_the_zero_length_rules) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "abcdef");
  ASSERT_TRUE(doc.AddPatch(1, 2, "X"));
  EXPECT_TRUE(doc.AddPatch(3, 0, "+"));   // at the end of another patch
  EXPECT_TRUE(doc.AddPatch(3, 0, "*"));   // same insertion point replaces
  EXPECT_FALSE(doc.AddPatch(1, 0, "-"));  // same start as a non-empty span
  EXPECT_FALSE(doc.AddPatch(2, 0, "-"));  // inside a span
  EXPECT_TRUE(doc.AddPatch(6, 0, "!"));   // the end of the text
  EXPECT_EQ(doc.BuildText(), "aX*def!");
}

TEST(source_patch_document, refuses_spans_outside_the_loaded_bytes) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "abc");
  EXPECT_FALSE(doc.AddPatch(-1, 1, "x"));
  EXPECT_FALSE(doc.AddPatch(0, -1, "x"));
  EXPECT_FALSE(doc.AddPatch(4, 0, "x"));
  EXPECT_FALSE(doc.AddPatch(2, 2, "x"));
  EXPECT_FALSE(doc.AddPatch(INT64_MAX, 1, "x"));
  EXPECT_FALSE(doc.AddPatch(1, INT64_MAX, "x"));
  EXPECT_TRUE(doc.AddPatch(0, 3, "xyz"));
  EXPECT_TRUE(doc.Patches().size() == 1);
}

TEST(source_patch_document, loads_an_empty_file_that_takes_only_an_insertion_at_zero) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "");
  EXPECT_TRUE(doc.LoadedBytes().empty());
  EXPECT_FALSE(doc.AddPatch(0, 1, "x"));
  EXPECT_FALSE(doc.AddPatch(1, 0, "x"));
  EXPECT_TRUE(doc.AddPatch(0, 0, "a: 1\n"));
  EXPECT_EQ(doc.BuildText(), "a: 1\n");
}

TEST(source_patch_document, saves_keeping_the_byte_order_mark_and_crlf_line_ends) {
  test::TempDir dir;
  const std::string original = "\xEF\xBB\xBFname: John\r\nage: 5 # years\r\n";
  TSourcePatchDocument doc = LoadedWith(dir, original);
  ASSERT_TRUE(doc.AddPatch(9, 4, "\"Jane\""));
  ASSERT_TRUE(doc.AddPatch(20, 1, "6"));
  std::u16string error;
  ASSERT_TRUE(doc.SaveToFile(nullptr, error)) << Utf16ToUtf8(error);
  const std::string saved = test::ReadFileBytes(dir.File("doc.yaml"));
  EXPECT_EQ(saved, "\xEF\xBB\xBFname: \"Jane\"\r\nage: 6 # years\r\n");
  EXPECT_EQ(doc.LoadedBytes(), saved);
  EXPECT_TRUE(doc.Patches().empty());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"doc.yaml"});
}

TEST(source_patch_document, saves_without_patches_without_touching_the_file) {
  test::TempDir dir;
  TSourcePatchDocument doc = LoadedWith(dir, "a: 1\n");
  test::WriteFileBytes(dir.File("doc.yaml"), "changed elsewhere\n");
  std::u16string error = u"stale";
  EXPECT_TRUE(doc.SaveToFile(nullptr, error));
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(test::ReadFileBytes(dir.File("doc.yaml")), "changed elsewhere\n");
}

}  // namespace
}  // namespace corvane
