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

// Creates path, failing when a file of that name exists, and writes all
// bytes, flushed. A file created here that could not be written whole is
// deleted again.
bool CreateNewFileWithBytes(const std::u16string& path, const std::string& bytes);

// The user's folder for temporary files, ending with a path separator; ""
// when there is none.
std::u16string TemporaryFolder();

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

// ---- what a save rewrites and keeps ----

// The file a save of path rewrites: path itself, or, when path is a symbolic
// link, the file the link finally points to, so that the link stays a link
// and the file it names gets the new text. path when it cannot be resolved.
std::u16string SaveTargetOf(const std::u16string& path);

// True when the file itself forbids writing: the read-only attribute on
// Windows; on POSIX no write permission bit at all, or none for this process.
bool IsReadOnlyFile(const std::u16string& path);

enum class TReplaceOutcome {
  Kept,       // replaced, and the file keeps what it was (see below)
  PlainMove,  // replaced by a plain move: the volume cannot replace a file in
              // place, so the ACL and alternate data streams are not kept
  Failed,     // not replaced
};

// Replaces the file to with the file from (same folder), keeping what to was:
// on Windows with ReplaceFileW, which keeps its attributes, ACL, alternate
// data streams and creation time, falling back to MoveFileExW only where the
// volume cannot do that; hidden/system attributes and the creation time are
// put back when the replace did not keep them. On POSIX a rename after from
// took to's permission bits and, where allowed, its owner and group.
// On Failed the caller still has from, unless to is gone too (see
// TFileFault::ReplaceStrands): then from holds the only copy of the text.
TReplaceOutcome ReplaceFileKeeping(const std::u16string& from, const std::u16string& to);

// The kinds of file operation a test can make fail as if the operating
// system refused them (uTestSeams.h); the plug-in never fails them on purpose.
//  - Replace: the replace fails and both files stay as they were.
//  - ReplaceUnsupported: the volume cannot replace in place (the fallback
//    move runs).
//  - ReplaceStrands: the replace removes to and then fails to move from into
//    its place (what ReplaceFileW's ERROR_UNABLE_TO_MOVE_REPLACEMENT means).
enum class TFileFault { None, CreateTemp, WriteTemp, Replace, ReplaceUnsupported, ReplaceStrands };

}  // namespace corvane::platform
