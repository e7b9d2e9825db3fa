// Whole-file operations the core needs: reading a file that other programs
// may hold open, and the pieces of an atomic rewrite (a temporary file in the
// source's own folder, written and flushed, then moved over the source).
//
// Contract:
// - ReadFileBytes opens with full sharing (read, write, delete), so a file an
//   editor keeps open can still be read. It returns exactly the bytes of the
//   file; a file that changes size while it is read (a short or long read) is
//   a failure, never a partial success. Files above 2,147,483,647 bytes fail.
// - No function throws. Failures return false; where an error text is given it
//   is a short English description of what failed on which path, meant for
//   callers that put their own user-facing text in front of it.
// - Paths are UTF-16; on POSIX they are converted to UTF-8.
#pragma once

#include <string>

namespace corvane::platform {

// Largest file the core reads: the byte count must fit a signed 32-bit int.
constexpr long long kMaxFileBytes = 2147483647LL;

bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error);
bool FileExists(const std::u16string& path);

// Creates (or truncates) the file, writes all bytes and flushes them to disk.
// On failure a file created here is left for the caller to delete.
bool WriteFileBytes(const std::u16string& path, const std::string& bytes);

// Creates a new empty file with a unique name starting with "cvn" in folder
// (which ends with a path separator, or is "" for the current folder) and
// returns its full name.
bool CreateTempFileIn(const std::u16string& folder, std::u16string& tempPath);

// Moves from over to, replacing to if it exists, with the move flushed to disk
// before returning (MoveFileExW flags 9 on Windows, rename + folder fsync on
// POSIX).
bool MoveFileReplace(const std::u16string& from, const std::u16string& to);

// Deletes a file; false when it could not be deleted (or did not exist).
bool DeleteFilePath(const std::u16string& path);

// The kinds of file operation a test can make fail as if the operating
// system refused them (uTestSeams.h); the plug-in never fails them on purpose.
enum class TFileFault { None, CreateTemp, WriteTemp, Replace };

}  // namespace corvane::platform
