// Helpers shared by every test program: where the sources and the shared
// conformance corpus are, reading and writing whole files, scratch folders.
#pragma once

#include <string>
#include <vector>

#include "test_seams.h"

namespace corvane::test {

// The project's source folder (CORVANE_SOURCE_DIR in the environment wins,
// so a cross-built test under wine can be pointed at it).
std::string SourceDir();

// The conformance corpus beside the project, or "" when it is absent; tests
// that use it skip themselves then (GTEST_SKIP), never fail.
std::string CorpusDir();

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Every regular file below root whose name ends with suffix, sorted.
std::vector<std::string> ListFiles(const std::string& root, const std::string& suffix);

// A fresh empty folder, removed with its contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // A folder inside, made when missing; its path.
  std::string Folder(const std::string& name) const;
  std::vector<std::string> Names() const;  // file names inside, sorted

 private:
  std::string path_;
};

}  // namespace corvane::test
