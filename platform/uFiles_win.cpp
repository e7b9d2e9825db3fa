// Win32 side of the whole-file operations.
//
// Reads share read, write and delete with other programs (an editor may keep
// the file open); the rewrite goes through GetTempFileNameW ("cvn" prefix, same
// folder, so the replace stays on one volume) and ReplaceFileW, which keeps
// the replaced file's attributes, ACL, alternate data streams and creation
// time; MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
// only where the volume cannot replace in place.
#include "uFiles.h"

#include <windows.h>

#include "uTestSeams.h"
#include "uUnicode.h"

namespace corvane::platform {

namespace {

bool Faulted(TFileFault fault) { return seams::InjectedFileFault() == fault; }

const wchar_t* W(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string Describe(const char* what, const std::u16string& path) {
  return Utf8ToUtf16(std::string(what) + ": ") + path;
}

// Reads until count bytes are in or the file ends; returns the bytes read or -1.
long long ReadFully(HANDLE file, char* data, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD chunk = DWORD(count - done > 0x1000000 ? 0x1000000 : count - done);
    DWORD got = 0;
    if (!ReadFile(file, data + done, chunk, &got, nullptr)) return -1;
    if (got == 0) break;
    done += got;
  }
  return (long long)done;
}

bool WriteFully(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = DWORD(bytes.size() - done > 0x1000000 ? 0x1000000 : bytes.size() - done);
    DWORD put = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

}  // namespace

bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error) {
  HANDLE file = CreateFileW(W(path), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return error = Describe("cannot open", path), false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) != 0;
  if (!ok) error = Describe("cannot take the size of", path);
  if (ok && (size.QuadPart < 0 || size.QuadPart > kMaxFileBytes)) {
    ok = false;
    error = Describe("file too large", path);
  }
  std::string data;
  if (ok) {
    data.resize(size_t(size.QuadPart));
    char probe = 0;
    // Exactly the size taken above must be read: fewer bytes mean the file
    // shrank meanwhile, a further byte that it grew; neither is one
    // consistent version of the file.
    ok = ReadFully(file, &data[0], data.size()) == (long long)data.size() &&
         ReadFully(file, &probe, 1) == 0;
    if (!ok) error = Describe("file changed size while being read", path);
  }
  CloseHandle(file);
  if (!ok) return false;
  bytes.swap(data);
  error.clear();
  return true;
}

bool FileExists(const std::u16string& path) {
  DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteFileBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = !Faulted(TFileFault::WriteTemp) && WriteFully(file, bytes) &&
            FlushFileBuffers(file) != 0;
  if (!CloseHandle(file)) ok = false;
  return ok;
}

bool CreateNewFileWithBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteFully(file, bytes) && FlushFileBuffers(file) != 0;
  if (!CloseHandle(file)) ok = false;
  if (!ok) DeleteFileW(W(path));
  return ok;
}

std::u16string TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH + 1) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

bool CreateTempFileIn(const std::u16string& folder, std::u16string& tempPath) {
  if (Faulted(TFileFault::CreateTemp)) return false;
  std::u16string where = folder.empty() ? std::u16string(u".\\") : folder;
  wchar_t buffer[MAX_PATH + 1] = {};
  if (GetTempFileNameW(W(where), L"cvn", 0, buffer) == 0) return false;
  tempPath.assign(reinterpret_cast<const char16_t*>(buffer));
  return true;
}

bool MoveFileReplace(const std::u16string& from, const std::u16string& to) {
  if (Faulted(TFileFault::Replace)) return false;
  return MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFilePath(const std::u16string& path) { return DeleteFileW(W(path)) != 0; }

namespace {

bool Exists(const std::u16string& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" -> "\\server\share".
std::u16string WithoutLongPrefix(std::u16string path) {
  if (path.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + path.substr(8);
  if (path.rfind(u"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

// ReplaceFileW's answers that mean the volume (a network share, some file
// systems) cannot replace a file in place, rather than that this file cannot
// be replaced now.
bool VolumeCannotReplace(DWORD error) {
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER ||
         error == ERROR_CALL_NOT_IMPLEMENTED;
}

bool PlainMove(const std::u16string& from, const std::u16string& to) {
  return MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Puts back what the replaced file was where the replace did not keep it
// (a fallback move, or a system whose ReplaceFileW keeps less): the hidden,
// system and not-indexed attributes, and the creation time. The archive bit
// is set, as for any changed file.
void RestoreWhatWasKept(const std::u16string& path, const WIN32_FILE_ATTRIBUTE_DATA& before) {
  const DWORD now = GetFileAttributesW(W(path));
  if (now == INVALID_FILE_ATTRIBUTES) return;
  const DWORD wanted = (before.dwFileAttributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  if ((now & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE)) != wanted)
    SetFileAttributesW(W(path), (now & ~kKeptAttributes) | wanted);
  HANDLE file = CreateFileW(W(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FILETIME created{};
  if (GetFileTime(file, &created, nullptr, nullptr) && CompareFileTime(&created, &before.ftCreationTime) != 0)
    SetFileTime(file, &before.ftCreationTime, nullptr, nullptr);
  CloseHandle(file);
}

// The full form of a path (some ReplaceFileW implementations refuse
// relative names); the path itself when it cannot be made full.
std::u16string FullPath(const std::u16string& path) {
  const DWORD size = GetFullPathNameW(W(path), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::u16string full(size, u'\0');
  const DWORD length = GetFullPathNameW(W(path), size, reinterpret_cast<wchar_t*>(&full[0]), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

// The answer ReplaceFileW gives (0 on success), or the one a test asked for.
DWORD TryReplaceFile(const std::u16string& from, const std::u16string& to) {
  if (Faulted(TFileFault::ReplaceUnsupported)) return ERROR_NOT_SUPPORTED;
  if (ReplaceFileW(W(FullPath(to)), W(FullPath(from)), nullptr,
                   REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
    return 0;
  return GetLastError();
}

// True when another program holds the file open without letting it be
// deleted, so no replace can succeed now. Asked before the replace because
// some ReplaceFileW implementations first make a temporary file of their own
// beside the file and leave it behind when the replace then fails.
bool HeldByAnotherProgram(const std::u16string& path) {
  HANDLE file = CreateFileW(W(path), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

}  // namespace

std::u16string SaveTargetOf(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  HANDLE file = CreateFileW(W(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::u16string buffer(32768, u'\0');
  const DWORD length = GetFinalPathNameByHandleW(file, reinterpret_cast<wchar_t*>(&buffer[0]), 32767,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(file);
  if (length == 0 || length >= 32767) return path;
  buffer.resize(length);
  return WithoutLongPrefix(buffer);
}

bool IsReadOnlyFile(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

TReplaceOutcome ReplaceFileKeeping(const std::u16string& from, const std::u16string& to) {
  if (Faulted(TFileFault::Replace)) return TReplaceOutcome::Failed;
  if (Faulted(TFileFault::ReplaceStrands)) {
    DeleteFileW(W(to));
    return TReplaceOutcome::Failed;
  }
  if (HeldByAnotherProgram(to)) return TReplaceOutcome::Failed;
  WIN32_FILE_ATTRIBUTE_DATA before{};
  const bool known = GetFileAttributesExW(W(to), GetFileExInfoStandard, &before) != 0;
  const DWORD error = TryReplaceFile(from, to);
  TReplaceOutcome outcome = TReplaceOutcome::Kept;
  if (error != 0) {
    // Without a backup name, ERROR_UNABLE_TO_MOVE_REPLACEMENT means the old
    // file is gone and the new text is still under its temporary name: it
    // must get the file's name, or the caller keeps it.
    const bool stranded = !Exists(to) && Exists(from);
    if (!stranded && !VolumeCannotReplace(error)) return TReplaceOutcome::Failed;
    if (!PlainMove(from, to)) return TReplaceOutcome::Failed;
    outcome = TReplaceOutcome::PlainMove;
  }
  if (known) RestoreWhatWasKept(to, before);
  return outcome;
}

}  // namespace corvane::platform
