// The lister host program driving the shipped plug-in the way the file
// manager does: keys handed back, the find prompt, screenshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

// Runs lister_host; returns its exit code (-1: not started).
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

std::wstring Quoted(const std::string& path) { return L"\"" + WinPath(path) + L"\""; }

class ListerHost : public ::testing::Test {
 protected:
  // Runs the host in check mode on a file and returns its report.
  std::string Check(const std::string& file, const std::wstring& options, int* code = nullptr) {
    const int exit = RunListerHost(L"--check --ini " + Quoted(dir_.File("host.ini")) + L" --out " +
                                   Quoted(dir_.File("report.txt")) + L" " + options + L" " + Quoted(file));
    if (code) *code = exit;
    return ReadFileBytes(dir_.File("report.txt"));
  }
  TempDir dir_;
};

TEST_F(ListerHost, loads_the_plugin_and_shows_a_file_in_its_window) {
  WriteFileBytes(dir_.File("compose.yml"), "services:\n  web:\n    image: nginx\n");
  int code = 0;
  const std::string text = Check(dir_.File("compose.yml"), L"--close-after-ms 300", &code);
  EXPECT_EQ(code, 0);
  EXPECT_NE(text.find("detect: ext=\"YAML\" | ext=\"YML\" | ext=\"TOML\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("window: yes\nwindow-class: CorvaneViewer\n"), std::string::npos) << text;
  EXPECT_NE(text.find("sized: yes\n"), std::string::npos) << text;
  EXPECT_NE(text.find("closed: yes\n"), std::string::npos) << text;
}

TEST_F(ListerHost, reports_a_file_the_plugin_refuses) {
  WriteFileBytes(dir_.File("a.json"), "{}");
  int code = 0;
  const std::string text = Check(dir_.File("a.json"), L"", &code);
  EXPECT_EQ(code, 1);
  EXPECT_NE(text.find("window: no\n"), std::string::npos) << text;
}

// Keys typed in the plug-in that belong to the lister come back to the host
// as key presses: N and P name the neighbouring files, Ctrl+F opens the find
// prompt, Escape closes the lister.
TEST_F(ListerHost, takes_the_keys_the_plugin_hands_back) {
  for (const char* name : {"a.yaml", "b.yaml", "c.toml", "notes.txt"}) WriteFileBytes(dir_.File(name), "k: 1\n");
  const std::string text = Check(dir_.File("b.yaml"), L"--close-after-ms 5000 --send-keys Down,N,P,^F");
  EXPECT_NE(text.find("key: next c.toml\nkey: previous a.yaml\nkey: find\nfind-prompt: open\n"), std::string::npos)
      << text;

  const std::string closed = Check(dir_.File("b.yaml"), L"--close-after-ms 5000 --send-keys Esc");
  EXPECT_NE(closed.find("key: close\nclosed: yes\n"), std::string::npos) << closed;
}

TEST_F(ListerHost, writes_a_png_screenshot_of_the_viewer) {
  WriteFileBytes(dir_.File("c.toml"), "[server]\nhost = \"h\"\nport = 80\n");
  const std::string png = dir_.File("shot.png");
  const std::string text = Check(dir_.File("c.toml"), L"--screenshot " + Quoted(png));
  EXPECT_NE(text.find("screenshot: yes\n"), std::string::npos) << text;
  const std::string bytes = ReadFileBytes(png);
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
}

}  // namespace
}  // namespace corvane::test
