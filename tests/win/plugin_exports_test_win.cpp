// The plug-in DLL as the file manager sees it: loaded by path, its exports
// called with the host's calling convention, its windows made inside a parent
// window of ours. Needs a display (tools/with-wine.sh provides one).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "test_support.h"

namespace {

struct ListDefaultParamStruct {
  int size;
  DWORD PluginInterfaceVersionLow;
  DWORD PluginInterfaceVersionHi;
  char DefaultIniName[MAX_PATH];
};

using FListLoadW = HWND(__stdcall*)(HWND, WCHAR*, int);
using FListLoad = HWND(__stdcall*)(HWND, char*, int);
using FListCloseWindow = void(__stdcall*)(HWND);
using FListGetDetectString = void(__stdcall*)(char*, int);
using FListSetDefaultParams = void(__stdcall*)(ListDefaultParamStruct*);
using FListSearchTextW = int(__stdcall*)(HWND, WCHAR*, int);
using FListSendCommand = int(__stdcall*)(HWND, int, int);

const char* const kExports[] = {"ListLoad",           "ListLoadW",           "ListCloseWindow",
                                "ListGetDetectString", "ListSetDefaultParams", "ListSearchText",
                                "ListSearchTextW",     "ListSendCommand"};

template <typename F>
F EntryOf(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::wstring ProgramFolder() {
  wchar_t buffer[1024] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, 1024);
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring Wide(const std::string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &text[0], int(text.size()))));
  for (wchar_t& c : text)
    if (c == L'/') c = L'\\';
  return text;
}

std::string WindowTextUtf8(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, &text[0], int(text.size()))));
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &utf8[0], int(utf8.size()),
                                         nullptr, nullptr)));
  return utf8;
}

std::string Utf8(const std::wstring& text) {
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &utf8[0], int(utf8.size()),
                                         nullptr, nullptr)));
  return utf8;
}

BOOL CALLBACK CountOne(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int CountChildren(HWND parent) {
  int count = 0;
  EnumChildWindows(parent, CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The plug-in loaded from a folder, plus a top-level window standing in for
// the host's lister window.
class PluginDll : public ::testing::Test {
 protected:
  void SetUp() override { Load(ProgramFolder()); }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
    if (plugin_) FreeLibrary(plugin_);
  }

  void Load(const std::wstring& folder) {
    plugin_ = LoadLibraryW((folder + L"corvane.wlx64").c_str());
    ASSERT_NE(plugin_, nullptr) << "corvane.wlx64 not loadable from the test folder";
    parent_ = CreateWindowExW(0, L"STATIC", L"lister", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
  }

  template <typename F>
  F Export(const char* name) {
    return EntryOf<F>(plugin_, name);
  }

  HWND LoadFile(const std::string& path) {
    std::wstring file = Wide(path);
    return Export<FListLoadW>("ListLoadW")(parent_, &file[0], 0);
  }

  HMODULE plugin_ = nullptr;
  HWND parent_ = nullptr;
  corvane::test::TempDir dir_;
};

TEST_F(PluginDll, exports_the_eight_lister_functions) {
  for (const char* name : kExports) EXPECT_NE(GetProcAddress(plugin_, name), nullptr) << name;
}

TEST_F(PluginDll, gives_the_detect_string_cut_to_the_buffer) {
  auto detect = Export<FListGetDetectString>("ListGetDetectString");
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

TEST_F(PluginDll, parses_yaml_and_toml_through_the_parser_beside_it) {
  const std::string yaml = dir_.File("ci.yaml");
  const std::string toml = dir_.File("Cargo.toml");
  corvane::test::WriteFileBytes(yaml, "name: ci\non: [push]\n");
  corvane::test::WriteFileBytes(toml, "[package]\nname = \"x\"\nversion = \"1.0\"\n");
  const std::string parserPath = Utf8(ProgramFolder() + L"corvane_parser64.dll");

  HWND yamlWin = LoadFile(yaml);
  ASSERT_NE(yamlWin, nullptr);
  EXPECT_EQ(GetParent(yamlWin), parent_);
  const std::string yamlText = WindowTextUtf8(yamlWin);
  EXPECT_NE(yamlText.find("YAML: 12 events"), std::string::npos) << yamlText;
  EXPECT_NE(yamlText.find("Parser: " + parserPath), std::string::npos) << yamlText;

  HWND tomlWin = LoadFile(toml);
  ASSERT_NE(tomlWin, nullptr);
  const std::string tomlText = WindowTextUtf8(tomlWin);
  EXPECT_NE(tomlText.find("TOML: 1 top-level keys"), std::string::npos) << tomlText;

  // The parser is loaded for each parse only.
  EXPECT_EQ(GetModuleHandleW(Wide(parserPath).c_str()), nullptr);

  auto close = Export<FListCloseWindow>("ListCloseWindow");
  close(yamlWin);
  close(tomlWin);
  EXPECT_FALSE(IsWindow(yamlWin));
  EXPECT_FALSE(IsWindow(tomlWin));
}

TEST_F(PluginDll, reports_a_yaml_syntax_error_in_its_window) {
  const std::string yaml = dir_.File("bad.yml");
  corvane::test::WriteFileBytes(yaml, "a: [1, 2\n");
  HWND window = LoadFile(yaml);
  ASSERT_NE(window, nullptr);
  const std::string text = WindowTextUtf8(window);
  EXPECT_NE(text.find(" at line "), std::string::npos) << text;
  Export<FListCloseWindow>("ListCloseWindow")(window);
}

TEST_F(PluginDll, opens_no_window_for_other_or_missing_files) {
  const std::string json = dir_.File("a.json");
  corvane::test::WriteFileBytes(json, "{}");
  EXPECT_EQ(LoadFile(json), nullptr);
  EXPECT_EQ(LoadFile(dir_.File("missing.yaml")), nullptr);
  EXPECT_EQ(Export<FListLoadW>("ListLoadW")(parent_, nullptr, 0), nullptr);
  EXPECT_EQ(CountChildren(parent_), 0);
}

TEST_F(PluginDll, converts_ansi_names_in_list_load) {
  const std::string yaml = dir_.File("plain.yaml");
  corvane::test::WriteFileBytes(yaml, "a: 1\n");
  std::string ansi = yaml;
  for (char& c : ansi)
    if (c == '/') c = '\\';
  HWND window = Export<FListLoad>("ListLoad")(parent_, &ansi[0], 0);
  ASSERT_NE(window, nullptr);
  Export<FListCloseWindow>("ListCloseWindow")(window);
}

TEST_F(PluginDll, leaves_foreign_windows_and_odd_calls_alone) {
  HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent_, nullptr, nullptr, nullptr);
  Export<FListCloseWindow>("ListCloseWindow")(foreign);
  EXPECT_TRUE(IsWindow(foreign));
  Export<FListCloseWindow>("ListCloseWindow")(nullptr);
  Export<FListSetDefaultParams>("ListSetDefaultParams")(nullptr);
  wchar_t text[] = L"x";
  EXPECT_EQ(Export<FListSearchTextW>("ListSearchTextW")(foreign, text, 1), 0);
  EXPECT_EQ(Export<FListSendCommand>("ListSendCommand")(foreign, 2, 0x80), 0);
}

// Copied on its own into a folder, the plug-in must not fall back to the
// parser beside this test program (which the loader's search order would
// reach: it is the program's own folder).
TEST(plugin_dll_alone, does_not_use_a_parser_outside_its_folder) {
  corvane::test::TempDir dir;
  const std::wstring source = ProgramFolder() + L"corvane.wlx64";
  const std::wstring copy = Wide(dir.File("corvane.wlx64"));
  ASSERT_TRUE(CopyFileW(source.c_str(), copy.c_str(), FALSE));
  HMODULE plugin = LoadLibraryW(copy.c_str());
  ASSERT_NE(plugin, nullptr);
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                nullptr);
  corvane::test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  std::wstring file = Wide(dir.File("a.yaml"));
  HWND window = EntryOf<FListLoadW>(plugin, "ListLoadW")(parent, &file[0], 0);
  ASSERT_NE(window, nullptr);
  const std::string text = WindowTextUtf8(window);
  EXPECT_NE(text.find("Cannot load native corvane parser"), std::string::npos) << text;
  EntryOf<FListCloseWindow>(plugin, "ListCloseWindow")(window);
  DestroyWindow(parent);
  FreeLibrary(plugin);
}

}  // namespace
