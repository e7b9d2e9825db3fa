// POSIX side of the whole-file operations (native builds and tests).
//
// The temporary file is made with mkstemp ("cvnXXXXXX" in the source's folder)
// and therefore starts with mode 0600; before it replaces the source it takes
// the source's permission bits (and owner, where allowed), so a save never
// changes who may read the file. A symbolic link is saved through: its final
// target is the file rewritten (SaveTargetOf), so the link stays a link.
#include "uFiles.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "uTestSeams.h"
#include "uUnicode.h"

namespace corvane::platform {

namespace {

bool Faulted(TFileFault fault) { return seams::InjectedFileFault() == fault; }

std::u16string Describe(const char* what, const std::string& path) {
  return Utf8ToUtf16(std::string(what) + ": " + path);
}

// Reads until count bytes are in or the file ends; returns the bytes read or -1.
long long ReadFully(int fd, char* data, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t got = ::read(fd, data + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += size_t(got);
  }
  return (long long)done;
}

bool WriteFully(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += size_t(put);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Makes a completed rename durable; failure here does not undo the move.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Asks for large pages for the whole 2 MB stretches of a buffer not yet
// touched: filling a 100 MB file's buffer then faults in fifty pages
// instead of 25,600, which on a virtual machine was a tenth of a check.
// Only a hint: where large pages are off, nothing changes.
void AdviseLargePages(char* data, size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kLarge = uintptr_t{2} << 20;
  if (size < 2 * kLarge) return;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kLarge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace

bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error) {
  std::string name = Utf16ToUtf8(path);
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return error = Describe("cannot open", name), false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (!ok) error = Describe("not a regular file", name);
  if (ok && (info.st_size < 0 || info.st_size > kMaxFileBytes)) {
    ok = false;
    error = Describe("file too large", name);
  }
  std::string data;
  if (ok) {
    data.reserve(size_t(info.st_size));
    AdviseLargePages(data.data(), data.capacity());
    data.resize(size_t(info.st_size));
    char probe = 0;
    // The file must hold exactly the size taken above: a shorter read means it
    // shrank meanwhile, a further byte that it grew; either way the bytes are
    // not one consistent version of the file.
    ok = ReadFully(fd, data.data(), data.size()) == (long long)data.size() &&
         ReadFully(fd, &probe, 1) == 0;
    if (!ok) error = Describe("file changed size while being read", name);
  }
  ::close(fd);
  if (!ok) return false;
  bytes.swap(data);
  error.clear();
  return true;
}

bool FileExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(Utf16ToUtf8(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool WriteFileBytes(const std::u16string& path, const std::string& bytes) {
  int fd = ::open(Utf16ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = !Faulted(TFileFault::WriteTemp) && WriteFully(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  return ok;
}

bool CreateNewFileWithBytes(const std::u16string& path, const std::string& bytes) {
  const std::string name = Utf16ToUtf8(path);
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteFully(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (!ok) ::unlink(name.c_str());
  return ok;
}

std::u16string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return Utf8ToUtf16(path);
}

bool CreateTempFileIn(const std::u16string& folder, std::u16string& tempPath) {
  if (Faulted(TFileFault::CreateTemp)) return false;
  std::string pattern = folder.empty() ? std::string("./") : Utf16ToUtf8(folder);
  pattern += "cvnXXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = ::mkstemp(buffer.data());
  if (fd < 0) return false;
  ::close(fd);
  tempPath = Utf8ToUtf16(buffer.data());
  return true;
}

bool MoveFileReplace(const std::u16string& from, const std::u16string& to) {
  if (Faulted(TFileFault::Replace)) return false;
  std::string source = Utf16ToUtf8(from);
  std::string target = Utf16ToUtf8(to);
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) {
    // Keep the replaced file's permission bits (and owner, where allowed).
    ::chmod(source.c_str(), info.st_mode & 07777);
    if (::chown(source.c_str(), info.st_uid, info.st_gid) != 0) {
      // Only a privileged process may give a file away; the mode still holds.
    }
  }
  if (::rename(source.c_str(), target.c_str()) != 0) return false;
  SyncFolder(FolderOf(target));
  return true;
}

bool DeleteFilePath(const std::u16string& path) {
  return ::unlink(Utf16ToUtf8(path).c_str()) == 0;
}

std::u16string SaveTargetOf(const std::u16string& path) {
  const std::string name = Utf16ToUtf8(path);
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX + 1] = {};
  if (!::realpath(name.c_str(), resolved)) return path;
  return Utf8ToUtf16(resolved);
}

bool IsReadOnlyFile(const std::u16string& path) {
  const std::string name = Utf16ToUtf8(path);
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return false;
  // Root may write any file; a file nobody may write is still meant to be
  // left alone.
  return (info.st_mode & 0222) == 0 || ::access(name.c_str(), W_OK) != 0;
}

TReplaceOutcome ReplaceFileKeeping(const std::u16string& from, const std::u16string& to) {
  if (Faulted(TFileFault::ReplaceStrands)) {
    ::unlink(Utf16ToUtf8(to).c_str());
    return TReplaceOutcome::Failed;
  }
  if (!MoveFileReplace(from, to)) return TReplaceOutcome::Failed;
  return Faulted(TFileFault::ReplaceUnsupported) ? TReplaceOutcome::PlainMove : TReplaceOutcome::Kept;
}

}  // namespace corvane::platform
