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

}  // namespace
}  // namespace corvane
