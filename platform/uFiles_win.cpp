// Win32 side of the whole-file operations.
//
// Reads share read, write and delete with other programs (an editor may keep
// the file open); the rewrite goes through GetTempFileNameW ("cvn" prefix, same
// folder, so the move stays on one volume) and MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
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

}  // namespace corvane::platform
