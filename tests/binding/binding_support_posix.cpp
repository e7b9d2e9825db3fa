#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "binding_support.h"

namespace corvane::test {

std::string SharedLibraryName(const std::string& baseName) { return baseName + ".so"; }
std::string ProgramName(const std::string& baseName) { return baseName; }

size_t PrivateBytes() { return 0; }

bool IsLibraryLoaded(const std::string& fullPath) {
  // RTLD_NOLOAD only looks the library up among those already mapped.
  void* lib = dlopen(fullPath.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (lib == nullptr) return false;
  dlclose(lib);
  return true;
}

void MarkRunnable(const std::string& path) { chmod(path.c_str(), 0755); }

int RunWithLibrarySearchPath(const std::string& program, const std::string& argument,
                             const std::string& workFolder, const std::string& searchFolder) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    // ld.so reads LD_LIBRARY_PATH when the program starts, so it is set here
    // for the new program rather than in this process.
    setenv("LD_LIBRARY_PATH", searchFolder.c_str(), 1);
    if (chdir(workFolder.c_str()) != 0) _exit(126);
    execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace corvane::test
