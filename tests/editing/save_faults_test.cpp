// The checked save under each failure: the exact reason, the source file
// byte-identical, no "cvn" temporary left, and the patches kept for a retry.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"
#include "uFiles.h"
#include "uSourcePatch.h"
#include "uYamlEvents.h"
#include "uUnicode.h"

namespace corvane {
namespace {

const std::string kOriginal = "# settings\r\nname: John\r\nport: 80\r\n";

class save_under_faults : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(Path(), kOriginal);
    std::u16string error;
    ASSERT_TRUE(doc.LoadFromFile(Utf8ToUtf16(Path()), error));
    ASSERT_TRUE(doc.AddPatch(18, 4, "\"Jane\""));
  }
  void TearDown() override { platform::SetFileFaultForTesting(platform::TFileFault::None); }

  std::string Path() const { return dir.File("settings.yaml"); }

  bool Save(std::u16string& error) {
    return doc.SaveToFile([](const std::string& text, std::u16string& e) { return ValidateYaml(text, e); },
                          error);
  }

  bool NoTemporaryLeft() const {
    for (const std::string& name : dir.Names())
      if (name.rfind("cvn", 0) == 0) return false;
    return true;
  }

  // The state a failed save must leave, and a retry that then succeeds.
  void ExpectUntouchedThenRetry(const std::string& fileNow) {
    EXPECT_EQ(test::ReadFileBytes(Path()), fileNow);
    EXPECT_TRUE(NoTemporaryLeft());
    EXPECT_EQ(doc.LoadedBytes(), kOriginal);
    ASSERT_EQ(doc.Patches().size(), 1u);
    platform::SetFileFaultForTesting(platform::TFileFault::None);
    test::WriteFileBytes(Path(), kOriginal);
    std::u16string error;
    ASSERT_TRUE(Save(error)) << Utf16ToUtf8(error);
    EXPECT_EQ(test::ReadFileBytes(Path()), "# settings\r\nname: \"Jane\"\r\nport: 80\r\n");
    EXPECT_TRUE(NoTemporaryLeft());
  }

  test::TempDir dir;
  TSourcePatchDocument doc;
};

TEST_F(save_under_faults, refuses_when_the_file_was_deleted) {
  std::filesystem::remove(std::filesystem::u8path(Path()));
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error, u"Cannot reread source file");
  EXPECT_FALSE(test::FileExists(Path()));
  EXPECT_TRUE(NoTemporaryLeft());
  test::WriteFileBytes(Path(), kOriginal);
  ExpectUntouchedThenRetry(kOriginal);
}

TEST_F(save_under_faults, leaves_the_other_writers_content_when_the_file_changed) {
  const std::string other = "# settings\r\nname: Max\r\nport: 80\r\n";
  test::WriteFileBytes(Path(), other);
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error, u"Source file changed outside corvane");
  ExpectUntouchedThenRetry(other);
}

TEST_F(save_under_faults, notices_a_change_that_keeps_the_length) {
  const std::string other = "# settings\r\nname: Jack\r\nport: 80\r\n";
  test::WriteFileBytes(Path(), other);
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error, u"Source file changed outside corvane");
  ExpectUntouchedThenRetry(other);
}

TEST_F(save_under_faults, writes_nothing_when_the_patched_text_does_not_parse) {
  ASSERT_TRUE(doc.AddPatch(30, 2, "[80"));
  std::u16string expected;
  ASSERT_FALSE(ValidateYaml(doc.BuildText(), expected));
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error, expected);
  EXPECT_EQ(test::ReadFileBytes(Path()), kOriginal);
  EXPECT_TRUE(NoTemporaryLeft());
  EXPECT_EQ(doc.Patches().size(), 2u);
  ASSERT_TRUE(doc.AddPatch(30, 2, "81"));  // the same span, now valid
  ASSERT_TRUE(Save(error)) << Utf16ToUtf8(error);
  EXPECT_EQ(test::ReadFileBytes(Path()), "# settings\r\nname: \"Jane\"\r\nport: 81\r\n");
}

TEST_F(save_under_faults, reports_a_temporary_file_that_cannot_be_created) {
  platform::SetFileFaultForTesting(platform::TFileFault::CreateTemp);
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error, u"Cannot create temporary file");
  ExpectUntouchedThenRetry(kOriginal);
}

TEST_F(save_under_faults, deletes_a_temporary_file_that_cannot_be_written) {
  platform::SetFileFaultForTesting(platform::TFileFault::WriteTemp);
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error, u"Cannot write temporary file");
  ExpectUntouchedThenRetry(kOriginal);
}

TEST_F(save_under_faults, deletes_the_temporary_file_when_the_source_cannot_be_replaced) {
  platform::SetFileFaultForTesting(platform::TFileFault::Replace);
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error, u"Cannot replace source file");
  ExpectUntouchedThenRetry(kOriginal);
}

TEST_F(save_under_faults, keeps_the_temporary_file_when_it_holds_the_only_copy_of_the_text) {
  // The system removed the source and could not move the new text into its
  // place: deleting the temporary file now would lose the file altogether.
  platform::SetFileFaultForTesting(platform::TFileFault::ReplaceStrands);
  std::u16string error;
  EXPECT_FALSE(Save(error));
  EXPECT_EQ(error.rfind(u"Cannot replace source file: ", 0), 0u) << Utf16ToUtf8(error);
  ASSERT_FALSE(test::FileExists(Path()));
  std::vector<std::string> names = dir.Names();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_NE(Utf16ToUtf8(error).find(names[0]), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(dir.File(names[0])), "# settings\r\nname: \"Jane\"\r\nport: 80\r\n");
  EXPECT_EQ(doc.Patches().size(), 1u);
}

TEST_F(save_under_faults, says_when_the_file_was_moved_into_place_plainly) {
  platform::SetFileFaultForTesting(platform::TFileFault::ReplaceUnsupported);
  std::u16string error;
  platform::TReplaceOutcome how = platform::TReplaceOutcome::Failed;
  ASSERT_TRUE(doc.SaveToFile(nullptr, error, &how)) << Utf16ToUtf8(error);
  EXPECT_EQ(how, platform::TReplaceOutcome::PlainMove);
  EXPECT_EQ(test::ReadFileBytes(Path()), "# settings\r\nname: \"Jane\"\r\nport: 80\r\n");
  EXPECT_TRUE(NoTemporaryLeft());
}

TEST(save_with_a_bare_file_name, puts_the_temporary_file_in_the_current_folder) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("plain.yaml"), "a: 1\n");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::u8path(dir.Path()));
  TSourcePatchDocument doc;
  std::u16string error;
  bool loaded = doc.LoadFromFile(u"plain.yaml", error);
  bool saved = loaded && doc.AddPatch(3, 1, "2") && doc.SaveToFile(nullptr, error);
  std::filesystem::current_path(previous);
  EXPECT_TRUE(saved) << Utf16ToUtf8(error);
  EXPECT_EQ(test::ReadFileBytes(dir.File("plain.yaml")), "a: 2\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"plain.yaml"});
}

}  // namespace
}  // namespace corvane
