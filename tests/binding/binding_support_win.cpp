#include <windows.h>

#include <psapi.h>

#include <vector>

#include "binding_support.h"
#include "uUnicode.h"

namespace corvane::test {

namespace {
std::wstring Wide(const std::string& utf8) {
  std::u16string text = Utf8ToUtf16(utf8);
  for (char16_t& c : text)
    if (c == u'/') c = u'\\';
  return std::wstring(text.begin(), text.end());
}
}  // namespace

std::string SharedLibraryName(const std::string& baseName) { return baseName + ".dll"; }
std::string ProgramName(const std::string& baseName) { return baseName + ".exe"; }

bool IsLibraryLoaded(const std::string& fullPath) { return GetModuleHandleW(Wide(fullPath).c_str()) != nullptr; }

void MarkRunnable(const std::string&) {}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters))
    return 0;
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;  // Wine fills only the latter
}

int RunWithLibrarySearchPath(const std::string& program, const std::string& argument,
                             const std::string& workFolder, const std::string& searchFolder) {
  // The child inherits the environment, so PATH is changed around its start.
  std::vector<wchar_t> oldPath(32768, L'\0');
  const DWORD oldLength = GetEnvironmentVariableW(L"PATH", oldPath.data(), DWORD(oldPath.size()));
  const std::wstring newPath = Wide(searchFolder) + L";" + std::wstring(oldPath.data(), oldLength);
  SetEnvironmentVariableW(L"PATH", newPath.c_str());
  std::wstring commandLine = L"\"" + Wide(program) + L"\" \"" + Wide(argument) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      Wide(workFolder).c_str(), &startup, &process);
  SetEnvironmentVariableW(L"PATH", oldLength > 0 ? oldPath.data() : nullptr);
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = DWORD(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace corvane::test
