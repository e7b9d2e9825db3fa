// The Win32 file layer under real faults: another program holding the file
// open without delete sharing, and reading while it is held for writing.
#include <gtest/gtest.h>

#include <windows.h>

#include "test_support.h"
#include "uFiles.h"
#include "uSourcePatch.h"
#include "uUnicode.h"

namespace corvane {
namespace {

std::u16string Wide(const std::string& path) { return Utf8ToUtf16(path); }

HANDLE HoldOpen(const std::string& path, DWORD access, DWORD share) {
  return CreateFileW(reinterpret_cast<const wchar_t*>(Wide(path).c_str()), access, share, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(win32_file_layer, reads_a_file_another_program_holds_open_for_writing) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("held.toml"), "port = 80\n");
  HANDLE held = HoldOpen(dir.File("held.toml"), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string bytes;
  std::u16string error;
  EXPECT_TRUE(platform::ReadFileBytes(Wide(dir.File("held.toml")), bytes, error));
  EXPECT_EQ(bytes, "port = 80\n");
  CloseHandle(held);
}

TEST(win32_file_layer, keeps_the_source_when_another_program_blocks_the_replace) {
  test::TempDir dir;
  const std::string original = "port = 80\r\n";
  test::WriteFileBytes(dir.File("held.toml"), original);
  TSourcePatchDocument doc;
  std::u16string error;
  ASSERT_TRUE(doc.LoadFromFile(Wide(dir.File("held.toml")), error));
  ASSERT_TRUE(doc.AddPatch(7, 2, "81"));
  // Readable by others, but neither writable nor deletable while held.
  HANDLE held = HoldOpen(dir.File("held.toml"), GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(doc.SaveToFile(nullptr, error));
  EXPECT_EQ(error, u"Cannot replace source file");
  CloseHandle(held);
  EXPECT_EQ(test::ReadFileBytes(dir.File("held.toml")), original);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"held.toml"});
  ASSERT_EQ(doc.Patches().size(), 1u);
  ASSERT_TRUE(doc.SaveToFile(nullptr, error)) << Utf16ToUtf8(error);
  EXPECT_EQ(test::ReadFileBytes(dir.File("held.toml")), "port = 81\r\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"held.toml"});
}

TEST(win32_file_layer, makes_temporary_names_with_the_cvn_prefix_in_the_given_folder) {
  test::TempDir dir;
  std::u16string temp;
  ASSERT_TRUE(platform::CreateTempFileIn(Wide(dir.Path() + "/"), temp));
  std::vector<std::string> names = dir.Names();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("cvn", 0), 0u);
  EXPECT_TRUE(platform::DeleteFilePath(temp));
  EXPECT_TRUE(dir.Names().empty());
}

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

bool SaveAEquals2(const std::string& path, std::u16string& error) {
  TSourcePatchDocument doc;
  return doc.LoadFromFile(Wide(path), error) && doc.AddPatch(3, 1, "2") && doc.SaveToFile(nullptr, error);
}

TEST(win32_file_layer, a_saved_file_keeps_its_hidden_and_system_attributes) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  const std::u16string path = Wide(dir.File("a.yaml"));
  ASSERT_TRUE(SetFileAttributesW(W(path), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  std::u16string error;
  ASSERT_TRUE(SaveAEquals2(dir.File("a.yaml"), error)) << Utf16ToUtf8(error);
  const DWORD attributes = GetFileAttributesW(W(path));
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(test::ReadFileBytes(dir.File("a.yaml")), "a: 2\n");
  SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
}

TEST(win32_file_layer, refuses_a_read_only_file_before_writing_anything) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  const std::u16string path = Wide(dir.File("a.yaml"));
  ASSERT_TRUE(SetFileAttributesW(W(path), FILE_ATTRIBUTE_READONLY));
  std::u16string error;
  EXPECT_FALSE(SaveAEquals2(dir.File("a.yaml"), error));
  EXPECT_EQ(error, u"Source file is read-only");
  EXPECT_EQ(test::ReadFileBytes(dir.File("a.yaml")), "a: 1\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.yaml"});
  SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(SaveAEquals2(dir.File("a.yaml"), error)) << Utf16ToUtf8(error);
}

}  // namespace
}  // namespace corvane
