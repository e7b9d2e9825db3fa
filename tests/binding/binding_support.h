// Operating-system helpers of the binding tests: where the test program and
// its sibling binaries are, whether a library is still loaded, running a
// helper program with a changed library search path.
#pragma once

#include <cstddef>
#include <string>

namespace corvane::test {

// Folder of the running test program, with a trailing '/'; the parser
// library and the test helpers are built into it.
std::string ProgramFolder();

// File names of the binaries built beside the test program.
std::string SharedLibraryName(const std::string& baseName);  // + ".so" / ".dll"
std::string ProgramName(const std::string& baseName);        // + "" / ".exe"

// True while the library at this full path is mapped into the process.
bool IsLibraryLoaded(const std::string& fullPath);

// Memory the process holds privately (committed), or 0 where it is not
// known (POSIX).
size_t PrivateBytes();

// Copies a binary and makes it runnable.
void CopyBinary(const std::string& from, const std::string& to);
void MarkRunnable(const std::string& path);

// Runs program with one argument, in workFolder, with searchFolder put first
// on the system's library search path (LD_LIBRARY_PATH, or PATH on Windows).
// Returns the exit code, or -1 when it could not be started.
int RunWithLibrarySearchPath(const std::string& program, const std::string& argument,
                             const std::string& workFolder, const std::string& searchFolder);

}  // namespace corvane::test
