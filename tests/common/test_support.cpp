#include "test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace corvane::test {

std::string SourceDir() {
  if (const char* env = std::getenv("CORVANE_SOURCE_DIR"); env && *env) return env;
  return CORVANE_SOURCE_DIR;
}

std::string CorpusDir() {
  const fs::path corpus = fs::path(SourceDir()) / ".." / "shared" / "corpus";
  std::error_code ec;
  if (fs::is_directory(corpus, ec)) return fs::weakly_canonical(corpus, ec).generic_string();
  return "";
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::u8path(path), ec);
}

std::vector<std::string> ListFiles(const std::string& root, const std::string& suffix) {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(fs::u8path(root), ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().generic_u8string();
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      files.push_back(name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path dir = fs::temp_directory_path() /
      ("corvane-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  path_ = dir.generic_u8string();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(fs::u8path(path_), ec);
}

std::string TempDir::Folder(const std::string& name) const {
  const std::string path = File(name);
  fs::create_directories(fs::u8path(path));
  return path;
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(fs::u8path(path_), ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().generic_u8string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace corvane::test
