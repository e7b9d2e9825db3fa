// The shipped plug-in DLL as the file manager sees it: loaded by path, its
// exports called with the host's calling convention, its windows made inside
// a parent window of ours. Needs a display (tools/with-wine.sh provides one).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

class PluginExports : public ::testing::Test {
 protected:
  TPluginDll dll_{L"corvane.wlx64"};
};

TEST_F(PluginExports, exports_the_eight_lister_functions) {
  for (const char* name : kListerExportNames) EXPECT_NE(GetProcAddress(dll_.Module(), name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(dll_.Module(), "CorvaneTestLiveCount"), nullptr);
}

TEST_F(PluginExports, gives_the_detect_string_cut_to_the_buffer) {
  auto detect = ListerExport<FListGetDetectString>(dll_.Module(), "ListGetDetectString");
  char buffer[256];
  std::memset(buffer, 'X', sizeof buffer);
  detect(buffer, int(sizeof buffer));
  EXPECT_STREQ(buffer, "ext=\"YAML\" | ext=\"YML\" | ext=\"TOML\"");

  std::memset(buffer, 'X', sizeof buffer);
  detect(buffer, 5);
  EXPECT_STREQ(buffer, "ext=");
  EXPECT_EQ(buffer[5], 'X');  // nothing written past the given size

  std::memset(buffer, 'X', sizeof buffer);
  detect(buffer, 1);
  EXPECT_EQ(buffer[0], '\0');
  detect(buffer, 0);
  detect(nullptr, 10);
}

TEST_F(PluginExports, opens_yaml_and_toml_through_the_parser_beside_it) {
  const std::string yaml = dll_.Dir.File("ci.yaml");
  const std::string toml = dll_.Dir.File("Cargo.toml");
  WriteFileBytes(yaml, "name: ci\non: [push]\n");
  WriteFileBytes(toml, "[package]\nname = \"x\"\nversion = \"1.0\"\n");

  HWND yamlWin = dll_.Open(yaml);
  ASSERT_NE(yamlWin, nullptr);
  EXPECT_EQ(GetParent(yamlWin), dll_.Parent());
  HWND tomlWin = dll_.Open(toml);
  ASSERT_NE(tomlWin, nullptr);
  TViewerControls controls(tomlWin);
  EXPECT_EQ(SelectedTreeText(controls.Tree), L"package");
  EXPECT_EQ(CellText(controls.Grid, 1, 1), L"1.0");

  // The parser is loaded for each parse only.
  EXPECT_EQ(GetModuleHandleW((ProgramFolder() + L"corvane_parser64.dll").c_str()), nullptr);
  dll_.Close(yamlWin);
  dll_.Close(tomlWin);
  EXPECT_FALSE(IsWindow(yamlWin));
  EXPECT_FALSE(IsWindow(tomlWin));
  EXPECT_EQ(CountChildren(dll_.Parent()), 0);
}

// The host shows these files its own way: other extensions, missing files,
// files over the size limit, files that are no UTF-8 text (UTF-16 with and
// without its mark, binary), and, with "show-parse-errors" off, broken ones.
TEST_F(PluginExports, opens_no_window_for_other_missing_large_non_utf8_or_unshown_broken_files) {
  const auto file = [&](const char* name, const std::string& bytes) {
    WriteFileBytes(dll_.Dir.File(name), bytes);
    return dll_.Dir.File(name);
  };
  dll_.WriteIni("max-file-size=100\r\n");
  for (const std::string& path :
       {file("a.json", "{}"), dll_.Dir.File("missing.yaml"), file("big.yaml", "a: " + std::string(200, 'x') + "\n"),
        file("bom16.yaml", std::string("\xFF\xFE" "a\0:\0 \0" "1\0\n\0", 12)),
        file("plain16.toml", std::string("a\0 \0=\0 \0" "1\0\n\0", 12)),
        file("binary.yml", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\x9C\xFF", 14))})
    EXPECT_EQ(dll_.Open(path), nullptr) << path;
  const std::string broken = file("bad.yml", "a: [1, 2\n");
  dll_.WriteIni("show-parse-errors=0\r\n");
  EXPECT_EQ(dll_.Open(broken), nullptr);
  EXPECT_EQ(ListerExport<FListLoadW>(dll_.Module(), "ListLoadW")(dll_.Parent(), nullptr, 0), nullptr);
  EXPECT_EQ(CountChildren(dll_.Parent()), 0);
}

TEST_F(PluginExports, converts_ansi_names_in_list_load) {
  const std::string yaml = dll_.Dir.File("plain.yaml");
  WriteFileBytes(yaml, "a: 1\n");
  std::string ansi = yaml;
  for (char& c : ansi)
    if (c == '/') c = '\\';
  HWND window = ListerExport<FListLoad>(dll_.Module(), "ListLoad")(dll_.Parent(), &ansi[0], 0);
  ASSERT_NE(window, nullptr);
  dll_.Close(window);
}

TEST_F(PluginExports, leave_foreign_windows_and_odd_calls_alone) {
  HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, dll_.Parent(), nullptr, nullptr, nullptr);
  SetWindowLongPtrW(foreign, GWLP_USERDATA, 1234);  // a slot that is not ours
  dll_.Close(foreign);
  EXPECT_TRUE(IsWindow(foreign));
  dll_.Close(nullptr);
  ListerExport<FListSetDefaultParams>(dll_.Module(), "ListSetDefaultParams")(nullptr);
  EXPECT_EQ(dll_.Search(foreign, L"x", 1), 0);
  EXPECT_EQ(dll_.SendCommand(foreign, 2, 0x80), 0);
  auto searchAnsi = ListerExport<FListSearchText>(dll_.Module(), "ListSearchText");
  EXPECT_EQ(searchAnsi(foreign, nullptr, 1), 0);
}

// Copied on its own into a folder, the plug-in must not fall back to the
// parser beside this test program (which the loader's search order would
// reach: it is the program's own folder): without its parser it opens
// nothing.
TEST(plugin_dll_alone, does_not_use_a_parser_outside_its_folder) {
  TempDir dir;
  const std::wstring copy = WinPath(dir.File("corvane.wlx64"));
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"corvane.wlx64").c_str(), copy.c_str(), FALSE));
  HMODULE plugin = LoadLibraryW(copy.c_str());
  ASSERT_NE(plugin, nullptr);
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                nullptr);
  WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  std::wstring file = WinPath(dir.File("a.yaml"));
  EXPECT_EQ(ListerExport<FListLoadW>(plugin, "ListLoadW")(parent, &file[0], 0), nullptr);
  EXPECT_EQ(CountChildren(parent), 0);
  DestroyWindow(parent);
  FreeLibrary(plugin);
}

}  // namespace
}  // namespace corvane::test
