// The POSIX file layer under real conditions: files whose size changes while
// they are read, permissions kept across a save, temporary names.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"
#include "uFiles.h"
#include "uSourcePatch.h"
#include "uUnicode.h"

namespace corvane {
namespace {

TEST(posix_file_layer, refuses_a_file_whose_content_outgrows_its_size) {
  // /proc files report size 0 yet yield bytes: exactly the "size taken, then
  // the file held something else" case, which must not pass as success.
  std::string bytes = "untouched";
  std::u16string error;
  EXPECT_FALSE(platform::ReadFileBytes(u"/proc/self/status", bytes, error));
  EXPECT_EQ(bytes, "untouched");
  EXPECT_NE(error.find(u"changed size"), std::u16string::npos);
}

TEST(posix_file_layer, refuses_folders_and_missing_files) {
  test::TempDir dir;
  std::string bytes;
  std::u16string error;
  EXPECT_FALSE(platform::ReadFileBytes(Utf8ToUtf16(dir.Path()), bytes, error));
  EXPECT_FALSE(platform::ReadFileBytes(Utf8ToUtf16(dir.File("none")), bytes, error));
  EXPECT_FALSE(error.empty());
}

TEST(posix_file_layer, keeps_the_permission_bits_of_a_saved_file) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  ::chmod(dir.File("a.yaml").c_str(), 0640);
  TSourcePatchDocument doc;
  std::u16string error;
  ASSERT_TRUE(doc.LoadFromFile(Utf8ToUtf16(dir.File("a.yaml")), error));
  ASSERT_TRUE(doc.AddPatch(3, 1, "2"));
  ASSERT_TRUE(doc.SaveToFile(nullptr, error));
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("a.yaml").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(test::ReadFileBytes(dir.File("a.yaml")), "a: 2\n");
}

// A patch document over one file with the value of "a: 1" changed to 2.
bool SaveAEquals2(const std::string& path, std::u16string& error) {
  TSourcePatchDocument doc;
  return doc.LoadFromFile(Utf8ToUtf16(path), error) && doc.AddPatch(3, 1, "2") && doc.SaveToFile(nullptr, error);
}

TEST(posix_file_layer, saves_through_a_symbolic_link_which_stays_a_link) {
  test::TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0755), 0);
  test::WriteFileBytes(dir.File("real/a.yaml"), "a: 1\n");
  ::chmod(dir.File("real/a.yaml").c_str(), 0604);
  ASSERT_EQ(::symlink("real/a.yaml", dir.File("link.yaml").c_str()), 0);
  std::u16string error;
  ASSERT_TRUE(SaveAEquals2(dir.File("link.yaml"), error)) << Utf16ToUtf8(error);
  struct stat info {};
  ASSERT_EQ(::lstat(dir.File("link.yaml").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(test::ReadFileBytes(dir.File("real/a.yaml")), "a: 2\n");
  ASSERT_EQ(::stat(dir.File("real/a.yaml").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0604u);
  // The temporary file was made beside the target, and is gone.
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.yaml", "real"}));
  EXPECT_EQ(test::ListFiles(dir.File("real"), ""), std::vector<std::string>{dir.File("real/a.yaml")});
}

TEST(posix_file_layer, refuses_a_read_only_file_before_writing_anything) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  ::chmod(dir.File("a.yaml").c_str(), 0444);
  std::u16string error;
  EXPECT_FALSE(SaveAEquals2(dir.File("a.yaml"), error));
  EXPECT_EQ(error, u"Source file is read-only");
  EXPECT_EQ(test::ReadFileBytes(dir.File("a.yaml")), "a: 1\n");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a.yaml"}));
  ::chmod(dir.File("a.yaml").c_str(), 0644);
  EXPECT_TRUE(SaveAEquals2(dir.File("a.yaml"), error)) << Utf16ToUtf8(error);
}

}  // namespace
}  // namespace corvane
