// The binding against libraries other than the real one: missing from the
// module's folder, lacking entries, or failing on purpose.
#include <gtest/gtest.h>

#include "binding_support.h"
#include "test_support.h"
#include "uEditLocate.h"
#include "uFileLoading.h"
#include "uModule.h"
#include "uParserBinding.h"
#include "uUnicode.h"

namespace corvane {
namespace {

std::string ParserFileName() { return Utf16ToUtf8(ParserLibraryFileName()); }

// Points the binding at a scratch folder for the life of the object, holding
// the given library under the parser library's name.
class TLibraryFolder {
 public:
  explicit TLibraryFolder(const std::string& libraryBaseName) {
    test::CopyBinary(test::ProgramFolder() + test::SharedLibraryName(libraryBaseName), LibraryPath());
    SetParserLibraryFolderForTesting(Utf8ToUtf16(dir_.Path() + "/"));
  }
  ~TLibraryFolder() { SetParserLibraryFolderForTesting(u""); }
  std::string LibraryPath() const { return dir_.Path() + "/" + ParserFileName(); }

 private:
  test::TempDir dir_;
};

template <typename TBinding>
std::string ConstructionError(const std::string& text) {
  try {
    TBinding binding(text);
  } catch (const EParserBinding& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(parser_binding, ignores_a_library_of_that_name_on_the_search_path) {
  test::TempDir dir;
  const std::string probe = dir.File(test::ProgramName("corvane_binding_probe"));
  test::CopyBinary(test::ProgramFolder() + test::ProgramName("corvane_binding_probe"), probe);
  const std::string report = dir.File("report.txt");
  ASSERT_EQ(test::RunWithLibrarySearchPath(probe, report, dir.Path(), test::ProgramFolder()), 0);
  // The control line proves the library was reachable through the search path.
  EXPECT_EQ(test::ReadFileBytes(report),
            "search: found\nbinding: Cannot load native corvane parser\n");
}

TEST(parser_binding, fails_and_unloads_a_library_lacking_an_entry) {
  TLibraryFolder folder("corvane_fake_parser");
  EXPECT_EQ(ConstructionError<TYamlEventReader>("a: 1"), "Missing native parser entry: cvn_yaml_scalar_style");
  EXPECT_FALSE(test::IsLibraryLoaded(folder.LibraryPath()));
  EXPECT_EQ(ConstructionError<TTomlNative>("a = 1"), "Missing native TOML entry: cvn_toml_array_table");
  EXPECT_FALSE(test::IsLibraryLoaded(folder.LibraryPath()));
}

TEST(parser_binding, releases_the_library_after_each_parse_and_each_failure) {
  TLibraryFolder folder("corvane_recording_parser");
  {
    TYamlEventReader reader("a: 1");
    EXPECT_TRUE(test::IsLibraryLoaded(folder.LibraryPath()));
  }
  EXPECT_FALSE(test::IsLibraryLoaded(folder.LibraryPath()));
  {
    TTomlNative toml("");
    EXPECT_TRUE(test::IsLibraryLoaded(folder.LibraryPath()));
  }
  EXPECT_FALSE(test::IsLibraryLoaded(folder.LibraryPath()));
  EXPECT_EQ(ConstructionError<TYamlEventReader>("fail-open"), "Cannot initialize YAML parser");
  EXPECT_FALSE(test::IsLibraryLoaded(folder.LibraryPath()));
  EXPECT_EQ(ConstructionError<TTomlNative>("x"), "line 1: fake failure");
  EXPECT_FALSE(test::IsLibraryLoaded(folder.LibraryPath()));
}

TEST(parser_binding, fails_when_the_folder_has_no_library) {
  test::TempDir dir;
  SetParserLibraryFolderForTesting(Utf8ToUtf16(dir.Path() + "/"));
  EXPECT_EQ(ConstructionError<TYamlEventReader>("a: 1"), "Cannot load native corvane parser");
  EXPECT_EQ(ConstructionError<TTomlNative>("a = 1"), "Cannot load native corvane parser");
  // A load that fails so is no fault of the text (the viewer shows no text
  // error for it), while a text that does not parse is.
  TLoadedDocument doc;
  TLoadError error;
  EXPECT_FALSE(LoadDocumentFromBytes("a: 1\n", TDocumentLanguage::Yaml, doc, error));
  EXPECT_FALSE(error.InText);
  SetParserLibraryFolderForTesting(u"");
  EXPECT_FALSE(LoadDocumentFromBytes("a: [1\n", TDocumentLanguage::Yaml, doc, error));
  EXPECT_TRUE(error.InText);
  EXPECT_FALSE(LoadDocumentFromBytes("a: 1\na: 2\n", TDocumentLanguage::Yaml, doc, error));
  EXPECT_TRUE(error.InText);
}

// A library from before the span entries: TOML loads as it did, without
// spans, and a value is edited only where its one "key = value" line is.
TEST(parser_binding, edits_toml_by_its_lines_with_a_library_without_spans) {
  TLibraryFolder folder("corvane_spanless_parser");
  TLoadedDocument doc;
  TLoadError error;
  ASSERT_TRUE(LoadDocumentFromBytes("name = 'x'\nlist = [1, 2]\n[t]\nport = 80\n", TDocumentLanguage::Toml, doc,
                                    error))
      << Utf16ToUtf8(error.Text);
  for (size_t i = 3; i < doc.Index.Records.size(); ++i) {
    EXPECT_EQ(doc.Index.Records[i].StartOffset, -1) << i;
    EXPECT_EQ(doc.Index.Records[i].KeyStart, -1) << i;
  }
  const auto& root = static_cast<const TJsonObject&>(*doc.Value);
  const TLocatedEdit name = LocateValueEdit(doc, root.Find("name"), u"y");
  EXPECT_EQ(name.Start, 7);
  EXPECT_EQ(name.Replacement, "'y'");
  const TJsonData* port = static_cast<const TJsonObject*>(root.Find("t"))->Find("port");
  EXPECT_TRUE(LocateValueEdit(doc, port, u"81").Accepted());
  const TJsonData* item = static_cast<const TJsonArray*>(root.Find("list"))->Child(0);
  EXPECT_EQ(Utf16ToUtf8(LocateValueEdit(doc, item, u"9").Refusal), "TOML value position is ambiguous or unsupported");
  EXPECT_EQ(LocateKeyRename(doc, root.Find("name"), u"n").Start, 0);
  EXPECT_FALSE(LocateKeyRename(doc, root.Find("t"), u"u").Accepted());
}

TEST(module_loading, refuses_names_without_a_folder) {
  EXPECT_EQ(platform::LoadLibraryByPath(ParserLibraryFileName()), nullptr);
  EXPECT_EQ(platform::LoadLibraryByPath(u""), nullptr);
  EXPECT_EQ(platform::ResolveSymbol(nullptr, "cvn_yaml_open"), nullptr);
  platform::ReleaseLibrary(nullptr);
}

// A complete fake that records what the binding hands to its open entries.
class RecordingParser : public ::testing::Test {
 protected:
  void SetUp() override {
    // Holding our own reference keeps the fake's recorded state alive across
    // the binding's load and release.
    lib_ = platform::LoadLibraryByPath(Utf8ToUtf16(folder_.LibraryPath()));
    ASSERT_NE(lib_, nullptr);
    lastData_ = reinterpret_cast<const char* (*)()>(platform::ResolveSymbol(lib_, "fake_last_open_data"));
    lastLength_ = reinterpret_cast<size_t (*)()>(platform::ResolveSymbol(lib_, "fake_last_open_length"));
    ASSERT_TRUE(lastData_ && lastLength_);
  }
  void TearDown() override { platform::ReleaseLibrary(lib_); }

  TLibraryFolder folder_{"corvane_recording_parser"};
  platform::TLibraryHandle lib_ = nullptr;
  const char* (*lastData_)() = nullptr;
  size_t (*lastLength_)() = nullptr;
};

TEST_F(RecordingParser, passes_an_empty_text_as_null_with_length_zero) {
  { TYamlEventReader reader(""); }
  EXPECT_EQ(lastData_(), nullptr);
  EXPECT_EQ(lastLength_(), 0u);
  { TTomlNative toml(""); }
  EXPECT_EQ(lastData_(), nullptr);
  EXPECT_EQ(lastLength_(), 0u);
  { TYamlEventReader reader(std::string("a\0b", 3)); }
  EXPECT_NE(lastData_(), nullptr);
  EXPECT_EQ(lastLength_(), 3u);
}

TEST_F(RecordingParser, reports_failed_opens_and_reads) {
  EXPECT_EQ(ConstructionError<TYamlEventReader>("fail-open"), "Cannot initialize YAML parser");
  EXPECT_EQ(ConstructionError<TTomlNative>("x"), "line 1: fake failure");
  // A failure without a message from the library still says what failed.
  EXPECT_EQ(ConstructionError<TTomlNative>("fail-silent"), "Cannot parse TOML text");

  TYamlEventReader reader("a");
  TYamlEvent event;
  event.Value = "stale";
  EXPECT_FALSE(reader.Next(event));
  EXPECT_EQ(event.Value, "");
  EXPECT_EQ(reader.LastError(), u"fake problem at line 3, column 4");
}

}  // namespace
}  // namespace corvane
