// Loading files: extension rule, size limit, error texts, and the one-read
// load that hands back bytes, value tree and structure records together.
#include <gtest/gtest.h>

#include <string>

#include "record_support.h"
#include "test_support.h"
#include "uFileLoading.h"
#include "uSettings.h"
#include "uSettingsAccess.h"
#include "uUnicode.h"

namespace corvane {
namespace {

using test::TRecordNode;
using test::TempDir;

std::u16string Write(const TempDir& dir, const std::string& name, const std::string& bytes) {
  test::WriteFileBytes(dir.File(name), bytes);
  return Utf8ToUtf16(dir.File(name));
}

TEST(file_loading, chooses_toml_by_extension_in_any_letter_case) {
  EXPECT_EQ(LanguageOfFileName(u"C:\\x\\data.TOML"), TDocumentLanguage::Toml);
  EXPECT_EQ(LanguageOfFileName(u"data.toml"), TDocumentLanguage::Toml);
  EXPECT_EQ(LanguageOfFileName(u"data.yml"), TDocumentLanguage::Yaml);
  EXPECT_EQ(LanguageOfFileName(u"data.toml.yaml"), TDocumentLanguage::Yaml);
  EXPECT_EQ(LanguageOfFileName(u"toml"), TDocumentLanguage::Yaml);

  TempDir dir;
  TJsonDataPtr root;
  std::u16string encoding;
  TLoadError error;
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "data.TOML", "a = 1\n"), 0, root, encoding, error));
  EXPECT_EQ(root->Kind(), nkObject);
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "data.yml", "a = 1\n"), 0, root, encoding, error));
  EXPECT_EQ(root->Kind(), nkString);  // "a = 1" is a plain YAML scalar
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "data.yaml", "a: 1\n"), 0, root, encoding, error));
  EXPECT_EQ(root->Kind(), nkObject);
}

TEST(file_loading, the_viewer_takes_only_the_extensions_it_knows) {
  EXPECT_EQ(LanguageOfExtension(u"C:\\x\\data.YML"), TDocumentLanguage::Yaml);
  EXPECT_EQ(LanguageOfExtension(u"a.yaml"), TDocumentLanguage::Yaml);
  EXPECT_EQ(LanguageOfExtension(u"Cargo.Toml"), TDocumentLanguage::Toml);
  EXPECT_EQ(LanguageOfExtension(u"data.yaml.bak"), std::nullopt);
  EXPECT_EQ(LanguageOfExtension(u"a.json"), std::nullopt);
  EXPECT_EQ(LanguageOfExtension(u"yaml"), std::nullopt);
}

// Dots elsewhere in the path never make the extension: the language comes
// from the last dot of the file's own name, and the file loads that way.
TEST(file_loading, dots_in_folders_and_names_do_not_change_the_language) {
  const struct {
    std::u16string Rule;   // the path the rule reads
    std::string File;      // a file made like it below a test folder
    TDocumentLanguage Language;
  } cases[] = {
      {u"app.local.toml", "app.local.toml", TDocumentLanguage::Toml},
      {u"C:\\Users\\john.doe\\Cargo.toml", "john.doe/Cargo.toml", TDocumentLanguage::Toml},
      {u"/srv/proj.d/pyproject.TOML", "proj.d/pyproject.TOML", TDocumentLanguage::Toml},
      {u"config.toml.d/x.yaml", "config.toml.d/x.yaml", TDocumentLanguage::Yaml},
  };
  TempDir dir;
  for (const auto& c : cases) {
    EXPECT_EQ(LanguageOfExtension(c.Rule), c.Language) << c.File;
    const size_t slash = c.File.find('/');
    if (slash != std::string::npos) dir.Folder(c.File.substr(0, slash));
    const bool toml = c.Language == TDocumentLanguage::Toml;
    TLoadedDocument doc;
    TLoadError error;
    // Each text loads as an object only in its own language.
    ASSERT_TRUE(LoadDocument(Write(dir, c.File, toml ? "a = 1\n" : "a: 1\n"), 0, doc, error)) << c.File;
    EXPECT_EQ(doc.Language, c.Language) << c.File;
    EXPECT_EQ(doc.Value->Kind(), nkObject) << c.File;
  }
}

TEST(file_loading, loads_empty_files_and_names_the_encoding) {
  TempDir dir;
  TJsonDataPtr root;
  std::u16string encoding;
  TLoadError error;
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "e.yaml", ""), 0, root, encoding, error));
  EXPECT_EQ(root->Kind(), nkArray);
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "e.toml", ""), 0, root, encoding, error));
  EXPECT_EQ(root->Kind(), nkObject);
  EXPECT_EQ(encoding, u"UTF-8");
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "b.yaml", "\xEF\xBB\xBFk: v\n"), 0, root, encoding, error));
  EXPECT_EQ(encoding, u"UTF-8");
  ASSERT_TRUE(LoadStructuredFile(Write(dir, "b.toml", "\xEF\xBB\xBFk = 'v'\n"), 0, root, encoding, error));
  EXPECT_EQ(root->Kind(), nkObject);
}

TEST(file_loading, enforces_the_size_limit_at_exactly_the_limit) {
  TempDir dir;
  const std::string fits = "k: " + std::string(996, 'x') + "\n";  // 1000 bytes
  TJsonDataPtr root;
  std::u16string encoding;
  TLoadError error;
  EXPECT_TRUE(LoadStructuredFile(Write(dir, "a.yaml", fits), 1000, root, encoding, error));
  EXPECT_FALSE(LoadStructuredFile(Write(dir, "b.yaml", fits + " "), 1000, root, encoding, error));
  EXPECT_FALSE(root);
  EXPECT_TRUE(encoding.empty());
  EXPECT_EQ(error.Text, u"File exceeds configured max-file-size");
  EXPECT_TRUE(LoadStructuredFile(Write(dir, "c.yaml", fits + " "), 0, root, encoding, error));
  EXPECT_TRUE(LoadStructuredFile(Write(dir, "d.yaml", fits + " "), -1, root, encoding, error));
}

TEST(file_loading, takes_the_limit_the_caller_read_from_the_settings_file) {
  TempDir dir;
  OverridePluginModuleFileName(Utf8ToUtf16(dir.File("corvane.wlx64")));
  const TSettingsAccess settings = FileSettingsAccess();
  EXPECT_EQ(settings.ReadInt(setting::kMaxFileSize), 1000000);
  test::WriteFileBytes(dir.File("corvane.ini"), "[corvane]\nmax-file-size=10 ; small\n");
  const int32_t limit = settings.ReadInt(setting::kMaxFileSize);
  EXPECT_EQ(limit, 10);
  TJsonDataPtr root;
  std::u16string encoding;
  TLoadError error;
  EXPECT_FALSE(LoadStructuredFile(Write(dir, "big.yaml", "key: value\n"), limit, root, encoding, error));
  EXPECT_EQ(error.Text, u"File exceeds configured max-file-size");
  TLoadedDocument doc;
  EXPECT_FALSE(LoadDocument(Write(dir, "big.yaml", "key: value\n"), limit, doc, error));
  EXPECT_TRUE(LoadDocument(Write(dir, "small.yaml", "k: v\n"), limit, doc, error));
  OverridePluginModuleFileName(u"");
}

TEST(file_loading, reports_read_and_parse_failures_without_a_value) {
  TempDir dir;
  TJsonDataPtr root;
  std::u16string encoding;
  TLoadError error;
  EXPECT_FALSE(LoadStructuredFile(Utf8ToUtf16(dir.File("missing.yaml")), 0, root, encoding, error));
  EXPECT_EQ(error.Text, u"Cannot read source file");
  const std::string utf16 = std::string("\xFF\xFE" "a\0 \0=\0 \0" "1\0\n\0", 14);
  EXPECT_FALSE(LoadStructuredFile(Write(dir, "w.toml", utf16), 0, root, encoding, error));
  EXPECT_EQ(error.Text, u"Invalid NUL byte in TOML source");
  EXPECT_FALSE(LoadStructuredFile(Write(dir, "d.yaml", "a: 1\nb: 2\na: 3\n"), 0, root, encoding, error));
  EXPECT_EQ(error.Text, u"Duplicate object member: \"a\"");
  EXPECT_FALSE(root);
}

// The viewer shows only UTF-8 text: UTF-16 (with or without its mark) and
// binary files are left to the host.
TEST(file_loading, tells_utf8_text_from_utf16_and_binary_bytes) {
  struct TCase {
    std::string Bytes;
    bool Text;
  };
  const TCase cases[] = {
      {"a: 1\n", true},
      {"\xEF\xBB\xBFname: caf\xC3\xA9 \xF0\x9F\x98\x80 \xEF\xBF\xBD\n", true},
      {"", true},
      {std::string("\xFF\xFE" "a\0:\0", 6), false},
      {std::string("a\0:\0 \0" "1\0", 8), false},
      {"\xC0\xAF", false},           // overlong "/"
      {"\xED\xA0\x80", false},       // a surrogate
      {"caf\xC3", false},             // cut short
      {"\x7F" "ELF\x02\x01", true},   // control characters alone are still text
  };
  for (const TCase& c : cases) EXPECT_EQ(IsUtf8Text(c.Bytes), c.Text) << c.Bytes.size();
}

// One read, one parse: the bytes handed back are the ones the spans point
// into, and a failure leaves the document empty.
TEST(document_loading, keeps_bytes_value_and_structure_consistent) {
  TempDir dir;
  const std::string text = "\xEF\xBB\xBFname: caf\xC3\xA9\r\nport: 8080\r\n";
  TLoadedDocument doc;
  TLoadError error;
  ASSERT_TRUE(LoadDocument(Write(dir, "c.yml", text), 0, doc, error)) << Utf16ToUtf8(error.Text);
  EXPECT_EQ(doc.Bytes, text);
  EXPECT_EQ(doc.Language, TDocumentLanguage::Yaml);
  EXPECT_EQ(doc.EncodingName, u"UTF-8");
  ASSERT_TRUE(doc.Value);
  const TRecordNode port = TRecordNode(doc.Index, doc.Bytes, 0).ChildAt(0).ChildAt(0).ChildAt(1);
  EXPECT_EQ(port.Span(), "8080");
  EXPECT_EQ(static_cast<const TJsonObject&>(*doc.Value).Find("port")->PlainText(), "8080");

  EXPECT_FALSE(LoadDocument(Write(dir, "c.yml", "a: [\n"), 0, doc, error));
  EXPECT_TRUE(doc.Bytes.empty());
  EXPECT_FALSE(doc.Value);
  EXPECT_TRUE(doc.Index.Empty());
  EXPECT_FALSE(error.Text.empty());
  EXPECT_GT(error.Region.Line, 0);
}

}  // namespace
}  // namespace corvane
