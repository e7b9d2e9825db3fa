// Running a program of the build as a separate process, the way a script
// runs it: arguments without a shell, no input, and its exit code, standard
// output and standard error as bytes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

struct TProgramRun {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

// environment: variables set for the program's run only.
TProgramRun RunProgram(const std::u16string& program, const std::vector<std::u16string>& args,
                       const std::vector<std::pair<std::string, std::string>>& environment = {});

// Full path of a program built beside this test program (".exe" added on
// Windows).
std::u16string ProgramBeside(const std::string& name);

}  // namespace corvane::test
