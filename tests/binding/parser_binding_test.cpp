// The binding against the real parser library, which is built beside the
// test program just as it is installed beside the plug-in.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "binding_support.h"
#include "uModule.h"
#include "uParserBinding.h"
#include "uUnicode.h"

namespace corvane {
namespace {

std::vector<TYamlEvent> ReadAll(TYamlEventReader& reader) {
  std::vector<TYamlEvent> events;
  TYamlEvent event;
  while (reader.Next(event)) {
    events.push_back(event);
    if (event.Kind == yeStreamEnd || events.size() > 1000) break;
  }
  return events;
}

std::string LibraryPathUtf8() { return Utf16ToUtf8(ParserLibraryPath()); }

TEST(parser_binding, looks_for_the_library_beside_the_running_module) {
  const std::u16string program = platform::OwnModuleFileName();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(ParserLibraryPath(), program.substr(0, program.find_last_of(u"\\/") + 1) + ParserLibraryFileName());
#if defined(_WIN32)
  EXPECT_EQ(Utf16ToUtf8(ParserLibraryFileName()), sizeof(void*) == 8 ? "corvane_parser64.dll" : "corvane_parser32.dll");
#endif
}

TEST(yaml_event_reader, delivers_events_with_positions_anchor_tag_and_style) {
  TYamlEventReader reader("key: &a !t \"x\"\n");
  const auto events = ReadAll(reader);
  ASSERT_EQ(events.size(), 8u);
  const int kinds[] = {yeStreamStart, yeDocumentStart, yeMappingStart, yeScalar, yeScalar,
                       yeMappingEnd,  yeDocumentEnd,   yeStreamEnd};
  for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].Kind, kinds[i]) << i;

  const TYamlEvent& key = events[3];
  EXPECT_EQ(key.Value, "key");
  EXPECT_EQ(key.ScalarStyle, 1);
  EXPECT_EQ(key.Anchor, "");
  EXPECT_EQ(key.Tag, "");
  EXPECT_EQ(key.StartIndex, 0);
  EXPECT_EQ(key.EndIndex, 3);
  EXPECT_EQ(key.Line, 1);
  EXPECT_EQ(key.Column, 1);
  EXPECT_EQ(key.EndLine, 1);
  EXPECT_EQ(key.EndColumn, 4);

  const TYamlEvent& value = events[4];
  EXPECT_EQ(value.Value, "x");
  EXPECT_EQ(value.ScalarStyle, 3);
  EXPECT_EQ(value.Anchor, "a");
  EXPECT_EQ(value.Tag, "!t");
  EXPECT_EQ(value.Column, 6);

  // Events other than scalars carry no value and no style.
  EXPECT_EQ(events[2].Value, "");
  EXPECT_EQ(events[2].ScalarStyle, 0);
}

TEST(yaml_event_reader, keeps_escaped_nul_bytes_in_a_scalar) {
  TYamlEventReader reader("\"a\\0b\\0\"");
  const auto events = ReadAll(reader);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[2].Kind, yeScalar);
  EXPECT_EQ(events[2].Value, std::string("a\0b\0", 4));
}

TEST(yaml_event_reader, reads_an_empty_text_as_an_empty_stream) {
  TYamlEventReader reader("");
  TYamlEvent event;
  ASSERT_TRUE(reader.Next(event));
  EXPECT_EQ(event.Kind, yeStreamStart);
  ASSERT_TRUE(reader.Next(event));
  EXPECT_EQ(event.Kind, yeStreamEnd);
  ASSERT_TRUE(reader.Next(event));
  EXPECT_EQ(event.Kind, yeNone);
  EXPECT_EQ(event.Line, 0);
}

TEST(yaml_event_reader, reports_a_syntax_error_with_its_position) {
  TYamlEventReader reader("a: [1, 2\nb: c\n");
  TYamlEvent event;
  int guard = 0;
  while (reader.Next(event) && event.Kind != yeStreamEnd && ++guard < 100) {
  }
  ASSERT_NE(event.Kind, yeStreamEnd);
  EXPECT_EQ(event.Kind, yeNone);  // the record is cleared before each read
  const std::string error = Utf16ToUtf8(reader.LastError());
  EXPECT_EQ(error, reader.LastErrorUtf8());
  EXPECT_TRUE(std::regex_match(error, std::regex(".+ at line [0-9]+, column [0-9]+"))) << error;
}

TEST(toml_native, walks_tables_and_arrays_through_the_entries) {
  TTomlNative toml("a = 1\nb = { x = \"s\" }\nc = [1, [2], { y = 0x1F }]\n");
  void* root = toml.toml_root(toml.DocumentHandle);
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(toml.toml_table_key(root, 0), "a");
  EXPECT_STREQ(toml.toml_table_key(root, 1), "c");
  EXPECT_STREQ(toml.toml_table_key(root, 2), "b");
  EXPECT_EQ(toml.toml_table_key(root, 3), nullptr);
  EXPECT_STREQ(toml.toml_table_raw(root, "a"), "1");

  void* b = toml.toml_table_table(root, "b");
  ASSERT_NE(b, nullptr);
  EXPECT_STREQ(toml.toml_table_raw(b, "x"), "\"s\"");

  void* c = toml.toml_table_array(root, "c");
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(toml.toml_array_count(c), 3);
  EXPECT_STREQ(toml.toml_array_raw(c, 0), "1");
  void* inner = toml.toml_array_array(c, 1);
  ASSERT_NE(inner, nullptr);
  EXPECT_STREQ(toml.toml_array_raw(inner, 0), "2");
  EXPECT_EQ(toml.toml_array_raw(c, 2), nullptr);
  void* y = toml.toml_array_table(c, 2);
  ASSERT_NE(y, nullptr);
  EXPECT_STREQ(toml.toml_table_raw(y, "y"), "0x1F");
}

TEST(toml_native, opens_an_empty_text_with_no_root) {
  TTomlNative toml("");
  EXPECT_NE(toml.DocumentHandle, nullptr);
  EXPECT_EQ(toml.toml_root(toml.DocumentHandle), nullptr);
}

TEST(toml_native, raises_the_library_message_for_bad_text) {
  try {
    TTomlNative toml("a = 1\na = 2\n");
    FAIL() << "duplicate key accepted";
  } catch (const EParserBinding& e) {
    EXPECT_EQ(std::string(e.what()).rfind("line ", 0), 0u) << e.what();
  }
  try {
    TTomlNative toml(std::string("a = \"x\0\"", 8));
    FAIL() << "NUL byte accepted";
  } catch (const EParserBinding& e) {
    EXPECT_STREQ(e.what(), "Invalid NUL byte in TOML source");
  }
}

TEST(parser_binding, releases_the_real_library_after_each_parse_and_each_failure) {
  const std::string path = LibraryPathUtf8();
  {
    TYamlEventReader reader("a: 1");
    EXPECT_TRUE(test::IsLibraryLoaded(path));
  }
  EXPECT_FALSE(test::IsLibraryLoaded(path));
  {
    TTomlNative toml("a = 1");
    EXPECT_TRUE(test::IsLibraryLoaded(path));
  }
  EXPECT_FALSE(test::IsLibraryLoaded(path));
  EXPECT_THROW(TTomlNative("a = "), EParserBinding);
  EXPECT_FALSE(test::IsLibraryLoaded(path));
}

// A host opens thousands of files in one process, and the library is loaded
// for each: nothing one load leaves behind may add up (reading a float once
// ended a Windows process after about a thousand loads).
TEST(parser_binding, loads_the_library_for_thousands_of_parses_in_one_process) {
  for (int i = 0; i < 1500; ++i) {
    TTomlNative toml("ratio = 1.5\nbig = 6.022e23\n");
    ASSERT_NE(toml.toml_root(toml.DocumentHandle), nullptr) << i;
    TYamlEventReader reader("a: 1.5");
  }
  EXPECT_FALSE(test::IsLibraryLoaded(LibraryPathUtf8()));
}

// A large document's parse (millions of small nodes for a real file) must
// give its memory back when the document is closed, even while what the
// caller built from it stays (as the viewer's tree does), and not leave it
// committed in the process's heap; everything read from it must be intact.
TEST(parser_binding, gives_back_the_memory_of_a_large_document_when_it_is_closed) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "[[package]]\nname = \"crate-" + std::to_string(i) + "\"\nversion = \"1." + std::to_string(i % 7) +
            ".0\"\nratio = 0.75\ntags = [\"a\", \"b\"]\n[package.meta]\nnote = \"Ähnlich " + std::to_string(i) + "\"\n\n";
  const size_t before = test::PrivateBytes();
  std::vector<std::string> kept;
  kept.reserve(20000);
  {
    TTomlNative toml(text);
    void* packages = toml.toml_table_array(toml.toml_root(toml.DocumentHandle), "package");
    ASSERT_EQ(toml.toml_array_count(packages), 20000);
    for (int i = 0; i < 20000; ++i)
      kept.push_back(std::string(toml.toml_table_raw(toml.toml_array_table(packages, i), "name")) + " kept after the close");
    void* last = toml.toml_array_table(packages, 19999);
    EXPECT_STREQ(toml.toml_table_raw(toml.toml_table_table(last, "meta"), "note"), "\"Ähnlich 19999\"");
  }
  EXPECT_EQ(kept.back(), "\"crate-19999\" kept after the close");
  if (before == 0) GTEST_SKIP() << "the process's private memory is not known here";
  const size_t after = test::PrivateBytes();
  EXPECT_LT(after, before + text.size()) << "held " << (after - before) << " bytes more for a text of " << text.size();
}

}  // namespace
}  // namespace corvane
