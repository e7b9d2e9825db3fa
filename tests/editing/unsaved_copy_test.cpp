// Unsaved copies: the names they take and the folders they go to.
#include <gtest/gtest.h>

#include "test_support.h"
#include "uFiles.h"
#include "uUnicode.h"
#include "uUnsavedCopy.h"

namespace corvane {
namespace {

TEST(unsaved_copy, names_keep_the_extension_and_count_on) {
  EXPECT_EQ(UnsavedCopyName(u"C:\\charts\\values.yaml", 1), u"values.corvane-unsaved.yaml");
  EXPECT_EQ(UnsavedCopyName(u"/srv/Cargo.toml", 3), u"Cargo.corvane-unsaved-3.toml");
  EXPECT_EQ(UnsavedCopyName(u"a.b/compose.prod.yml", 1), u"compose.prod.corvane-unsaved.yml");
  EXPECT_EQ(UnsavedCopyName(u"Makefile", 1), u"Makefile.corvane-unsaved");
  EXPECT_EQ(UnsavedCopyName(u".env", 2), u".env.corvane-unsaved-2");
}

TEST(unsaved_copy, goes_beside_the_file_and_never_replaces_a_copy) {
  test::TempDir dir;
  const std::u16string source = Utf8ToUtf16(dir.File("values.yaml"));
  const std::u16string first = KeepUnsavedCopy(source, "a: 2\n");
  EXPECT_EQ(first, Utf8ToUtf16(dir.File("values.corvane-unsaved.yaml")));
  const std::u16string second = KeepUnsavedCopy(source, "a: 3\n");
  EXPECT_EQ(second, Utf8ToUtf16(dir.File("values.corvane-unsaved-2.yaml")));
  EXPECT_EQ(test::ReadFileBytes(dir.File("values.corvane-unsaved.yaml")), "a: 2\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("values.corvane-unsaved-2.yaml")), "a: 3\n");
}

TEST(unsaved_copy, goes_to_the_temporary_folder_when_the_files_folder_is_gone) {
  test::TempDir dir;
  const std::u16string source = Utf8ToUtf16(dir.File("gone/unsaved-test-values.yaml"));
  const std::u16string kept = KeepUnsavedCopy(source, "a: 2\n");
  const std::u16string temporary = platform::TemporaryFolder();
  ASSERT_FALSE(temporary.empty());
  ASSERT_EQ(kept.substr(0, temporary.size()), temporary);
  // The first free name there (an earlier run may have left one behind).
  EXPECT_EQ(kept.substr(temporary.size()).substr(0, 35), u"unsaved-test-values.corvane-unsaved");
  std::string bytes;
  std::u16string error;
  EXPECT_TRUE(platform::ReadFileBytes(kept, bytes, error));
  EXPECT_EQ(bytes, "a: 2\n");
  EXPECT_TRUE(platform::DeleteFilePath(kept));
}

}  // namespace
}  // namespace corvane
