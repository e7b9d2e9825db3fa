// POSIX console output: the bytes to file descriptors 1 and 2.
#include "uConsole.h"

#include <errno.h>
#include <unistd.h>

namespace corvane::cli {

namespace {

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(size_t(written));
  }
}

}  // namespace

void WriteStandardOutput(std::string_view text) { WriteAll(1, text); }
void WriteStandardError(std::string_view text) { WriteAll(2, text); }

}  // namespace corvane::cli
