// POSIX: fork and exec, the output streams into files that are read after
// the program ended (no pipe can fill up and stall it).
#include "process_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"
#include "uUnicode.h"

namespace corvane::test {

TProgramRun RunProgram(const std::u16string& program, const std::vector<std::u16string>& args,
                       const std::vector<std::pair<std::string, std::string>>& environment) {
  TempDir dir;
  const std::string out = dir.File("out"), err = dir.File("err");
  std::vector<std::string> argv{Utf16ToUtf8(program)};
  for (const std::u16string& arg : args) argv.push_back(Utf16ToUtf8(arg));
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    const int in = open("/dev/null", O_RDONLY);
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || o < 0 || e < 0 || dup2(in, 0) < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(127);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  TProgramRun run;
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return run;
  run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.Out = ReadFileBytes(out);
  run.Err = ReadFileBytes(err);
  return run;
}

}  // namespace corvane::test
