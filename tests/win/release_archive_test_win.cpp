// The release archive as a user installs it: tools/check-package.sh unpacks
// it into a fresh folder and names that folder in CORVANE_PACKAGE_DIR. The
// shipped plug-in is loaded from there with its own corvane.ini asking for a
// language, and the texts of that language's file are read back from the
// real controls: tabs, status bar, context menu, a refused edit. Every
// binary of the archive carries the version pluginst.inf names, and the
// command prints it and finds its parser library from the cli folder.
// Without CORVANE_PACKAGE_DIR (the ordinary test run) these tests skip.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "gui_test_support.h"
#include "process_support.h"
#include "uI18n.h"
#include "uUnicode.h"

namespace corvane::test {
namespace {

// The unpacked archive, with a trailing separator; empty when not given.
std::wstring PackageDir() {
  const char* dir = std::getenv("CORVANE_PACKAGE_DIR");
  if (!dir || !*dir) return {};
  std::wstring path = WinPath(dir);
  if (path.back() != L'\\') path += L'\\';
  return path;
}

std::string Narrow(const std::wstring& path) { return Utf8(path); }

// key -> text of one language file of the archive.
std::map<std::string, std::wstring> LanguageTexts(const std::wstring& dir, const std::string& code) {
  std::map<std::string, std::wstring> texts;
  for (const TTranslation& entry : ParseLanguageText(ReadFileBytes(Narrow(dir) + "corvane." + code + ".lng")))
    texts[Utf16ToUtf8(entry.Key)] = std::wstring(entry.Text.begin(), entry.Text.end());
  return texts;
}

std::wstring TabText(HWND tab, int index) {
  wchar_t text[128] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 128;
  SendMessageW(tab, TCM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::wstring WithNumbers(std::wstring format, int first, int second) {
  for (const int number : {first, second}) format.replace(format.find(L"%d"), 2, std::to_wstring(number));
  return format;
}

// Context menu commands and their keys, in menu order.
const std::pair<UINT, const char*> kMenuKeys[] = {
    {5000, "menu.copy"},        {5001, "menu.copy_rows"},     {5002, "menu.copy_column"},
    {5003, "menu.copy_json"},   {5004, "menu.copy_path"},     {5016, "menu.select_item"},
    {5007, "menu.hide_column"}, {5008, "menu.show_columns"},  {5015, "menu.insert_row"},
    {5013, "menu.delete_row"},  {5014, "menu.delete_column"}, {5006, "menu.filters"},
    {5009, "menu.edit_mode"},   {5019, "menu.save"},          {5005, "menu.theme_tc"},
    {5017, "menu.theme_light"}, {5018, "menu.theme_dark"},
};

void ExpectTextsOf(const std::string& code, const std::wstring& dir, const std::string& shippedIni) {
  SCOPED_TRACE("language=" + code);
  WriteFileBytes(Narrow(dir) + "corvane.ini", shippedIni + "language=" + code + "\r\n");
  auto t = LanguageTexts(dir, code);
  ASSERT_GT(t.size(), 50u);
  EXPECT_NE(t["menu.copy"], L"Copy");  // the language's own file, not English
  TPluginDll dll((dir + L"corvane.wlx64").c_str());
  HWND main = dll.OpenYaml("name: corvane\nport: &p 8080\nbase: *p\n");
  ASSERT_NE(main, nullptr);
  const TViewerControls v(main);
  EXPECT_EQ(TabText(v.Tab, 0), t["tab.grid"]);
  EXPECT_EQ(TabText(v.Tab, 1), t["tab.text"]);
  EXPECT_EQ(StatusText(v.Status, 2), L" " + t["type.object"]);
  EXPECT_EQ(StatusText(v.Status, 4), WithNumbers(t["status.rows"], 3, 3));
  const TMenuSeen menu = CaptureMenu([&] { SendMessageW(v.Grid, WM_CONTEXTMENU, WPARAM(v.Grid), -1); });
  ASSERT_TRUE(menu.Opened);
  for (const auto& [id, key] : kMenuKeys) {
    const TMenuItemSeen* item = menu.Find(id);
    ASSERT_NE(item, nullptr) << key;
    EXPECT_EQ(item->Text, t[key]) << key;
  }
  // Edit mode, then Enter on the alias: refused with the reason, no box.
  SetForegroundWindow(dll.Parent());
  SetFocus(v.Grid);
  PressKey(v.Grid, 'E', true);
  EXPECT_EQ(StatusText(v.Status, 6), t["status.edit"]);
  EXPECT_EQ(OpenCellEditor(v, 2, 1), nullptr);
  EXPECT_EQ(StatusText(v.Status, 6), L" " + t["error.alias_value"]);
  dll.Close(main);
}

TEST(ReleaseArchive, shows_the_texts_of_the_language_its_ini_asks_for) {
  const std::wstring dir = PackageDir();
  if (dir.empty()) GTEST_SKIP() << "CORVANE_PACKAGE_DIR names no unpacked archive";
  const std::string shippedIni = ReadFileBytes(Narrow(dir) + "corvane.ini");
  ASSERT_NE(shippedIni.find("[corvane]"), std::string::npos);
  ExpectTextsOf("de", dir, shippedIni);
  ExpectTextsOf("ru", dir, shippedIni);
  WriteFileBytes(Narrow(dir) + "corvane.ini", shippedIni);
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  return value;
}

std::wstring FixedVersion(DWORD high, DWORD low) {
  return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." + std::to_wstring(HIWORD(low)) +
         (LOWORD(low) ? L"." + std::to_wstring(LOWORD(low)) : L"");
}

void ExpectVersionResource(const std::wstring& file, const std::wstring& version) {
  SCOPED_TRACE(Narrow(file));
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(FixedVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS), version);
  EXPECT_EQ(FixedVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS), version);
  EXPECT_EQ(VersionString(info, L"FileVersion"), version);
  EXPECT_EQ(VersionString(info, L"ProductVersion"), version);
  EXPECT_EQ(VersionString(info, L"ProductName"), L"corvane");
  EXPECT_NE(VersionString(info, L"FileDescription").find(L"corvane"), std::wstring::npos);
}

TEST(ReleaseArchive, carries_the_version_of_pluginst_inf_in_every_binary_and_the_command) {
  const std::wstring dir = PackageDir();
  if (dir.empty()) GTEST_SKIP() << "CORVANE_PACKAGE_DIR names no unpacked archive";
  wchar_t version[64] = {};
  GetPrivateProfileStringW(L"plugininstall", L"version", L"", version, 64, (dir + L"pluginst.inf").c_str());
  ASSERT_NE(version[0], L'\0') << "pluginst.inf names no version";
  for (const wchar_t* name : {L"corvane.wlx64", L"corvane.wlx", L"corvane_parser64.dll", L"corvane_parser32.dll",
                              L"cli\\corvane.exe", L"cli\\corvane32.exe"})
    ExpectVersionResource(dir + name, version);
  const std::u16string command = Utf8ToUtf16(Narrow(dir + L"cli\\corvane.exe"));
  EXPECT_EQ(RunProgram(command, {u"--version"}).Out, "corvane " + Narrow(version) + "\n");
  // From the cli folder the command loads the parser library above it.
  const std::string yaml = Narrow(dir) + "check.yaml";
  WriteFileBytes(yaml, "a: 1\n");
  const TProgramRun check = RunProgram(command, {u"check", Utf8ToUtf16(yaml)});
  EXPECT_EQ(check.ExitCode, 0) << check.Err;
  DeleteFileW(WinPath(yaml).c_str());
}

}  // namespace
}  // namespace corvane::test
