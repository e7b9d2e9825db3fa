// Win32: CreateProcessW with a command line quoted the way the C runtime
// splits it again, the output streams into files read after the program
// ended.
#include "process_support.h"

#include <windows.h>

#include <string>

#include "test_support.h"
#include "uUnicode.h"

namespace corvane::test {

namespace {

// One argument as the C runtime reads it back: in quotation marks, with the
// backslashes before a quotation mark (or the closing one) doubled.
std::u16string Quoted(const std::u16string& arg) {
  std::u16string out = u"\"";
  size_t backslashes = 0;
  for (const char16_t c : arg) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, u'\\');
  return out + u"\"";
}

HANDLE Inheritable(const std::u16string& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TProgramRun RunProgram(const std::u16string& program, const std::vector<std::u16string>& args,
                       const std::vector<std::pair<std::string, std::string>>& environment) {
  TempDir dir;
  const std::string out = dir.File("out"), err = dir.File("err");
  std::u16string commandLine = Quoted(program);
  for (const std::u16string& arg : args) commandLine += u" " + Quoted(arg);
  for (const auto& [name, value] : environment) SetEnvironmentVariableA(name.c_str(), value.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable(u"NUL", false);
  startup.hStdOutput = Inheritable(Utf8ToUtf16(out), true);
  startup.hStdError = Inheritable(Utf8ToUtf16(err), true);
  PROCESS_INFORMATION process{};
  // Under wine on a loaded machine a start now and then fails for a moment;
  // the program itself has not run then, so starting it again is safe.
  BOOL started = FALSE;
  DWORD startError = 0;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessW(reinterpret_cast<LPCWSTR>(program.c_str()), reinterpret_cast<LPWSTR>(commandLine.data()),
                             nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    if (!started) startError = GetLastError();
  }
  for (const auto& [name, value] : environment) SetEnvironmentVariableA(name.c_str(), nullptr);
  for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) CloseHandle(h);
  TProgramRun run;
  if (!started) {
    run.Err = "the program did not start (error " + std::to_string(startError) + ")";
    return run;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.hProcess, &code)) run.ExitCode = int(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.Out = ReadFileBytes(out);
  run.Err = ReadFileBytes(err);
  return run;
}

}  // namespace corvane::test
