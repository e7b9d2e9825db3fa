// The lister host program driving the plug-in the way the file manager does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

std::wstring ProgramFolder() {
  wchar_t buffer[1024] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, 1024);
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.begin(), text.end());  // the scratch paths are ASCII
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  return wide;
}

// Runs lister_host in check mode; returns its exit code (-1: not started).
int RunListerHost(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + ProgramFolder() + L"lister_host.exe\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
  DWORD code = DWORD(-1);
  if (waited == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  else TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return int(code);
}

TEST(lister_host, loads_the_plugin_and_shows_a_file) {
  corvane::test::TempDir dir;
  corvane::test::WriteFileBytes(dir.File("compose.yml"), "services:\n  web:\n    image: nginx\n");
  const std::wstring report = Wide(dir.File("report.txt"));
  const int code = RunListerHost(L"--check --close-after-ms 200 --out \"" + report + L"\" \"" +
                                 Wide(dir.File("compose.yml")) + L"\"");
  EXPECT_EQ(code, 0);
  const std::string text = corvane::test::ReadFileBytes(dir.File("report.txt"));
  EXPECT_NE(text.find("detect: ext=\"YAML\" | ext=\"YML\" | ext=\"TOML\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("window: yes\n"), std::string::npos) << text;
  EXPECT_NE(text.find("YAML: 14 events"), std::string::npos) << text;
  EXPECT_NE(text.find("sized: yes\n"), std::string::npos) << text;
  EXPECT_NE(text.find("closed: yes\n"), std::string::npos) << text;
}

TEST(lister_host, reports_a_file_the_plugin_refuses) {
  corvane::test::TempDir dir;
  corvane::test::WriteFileBytes(dir.File("a.json"), "{}");
  const std::wstring report = Wide(dir.File("report.txt"));
  EXPECT_EQ(RunListerHost(L"--check --out \"" + report + L"\" \"" + Wide(dir.File("a.json")) + L"\""), 1);
  const std::string text = corvane::test::ReadFileBytes(dir.File("report.txt"));
  EXPECT_NE(text.find("window: no\n"), std::string::npos) << text;
}

}  // namespace
