// Translated texts: the process-wide table, the language choice and the
// language-file reader.
//
// Contract (see uI18n.h): one table and one current language, both guarded
// by one mutex; language files are UTF-8, at most 1 MiB, key=text lines;
// nothing here reports a failure.
#include "uI18n.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "uFiles.h"
#include "uSettings.h"
#include "uSettingsAccess.h"
#include "uUnicode.h"
#include "uUserLanguage.h"

namespace corvane {

namespace {

constexpr size_t kMaxLanguageFileBytes = 1048576;

std::mutex gLock;  // guards gTable and gLanguage
std::vector<TTranslation> gTable;
std::u16string gLanguage;
// Set once a language is active, so tr can check it without the lock.
std::atomic<bool> gLanguageChosen{false};

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimBytes(std::string_view s) {
  while (!s.empty() && IsControlOrBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsControlOrBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Sets one entry: a present key gets the new text, a new key is appended.
void SetEntryLocked(TTranslation entry) {
  for (TTranslation& existing : gTable)
    if (existing.Key == entry.Key) {
      existing.Text = std::move(entry.Text);
      return;
    }
  gTable.push_back(std::move(entry));
}

// Compares a UTF-16 key with an ASCII/UTF-8 key without allocating.
bool KeyEquals(const std::u16string& stored, std::string_view key) {
  if (stored.size() != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i)
    if (stored[i] != static_cast<unsigned char>(key[i])) return false;
  return true;
}

bool ReadLanguageBytes(const std::u16string& path, std::string* bytes) {
  // Check the size before reading, so a huge file is never loaded at all.
  std::error_code ec;
  const auto size = std::filesystem::file_size(std::filesystem::path(path), ec);
  if (ec || size > kMaxLanguageFileBytes) return false;
  std::u16string error;
  if (!platform::ReadFileBytes(path, *bytes, error)) return false;
  return bytes->size() <= kMaxLanguageFileBytes;  // it may have grown meanwhile
}

bool LoadLanguageFileLocked(const std::u16string& code) {
  std::string bytes;
  if (!ReadLanguageBytes(PluginDirectory() + u"corvane." + code + u".lng", &bytes)) return false;
  for (TTranslation& entry : ParseLanguageText(bytes)) SetEntryLocked(std::move(entry));
  return true;
}

}  // namespace

std::vector<TTranslation> ParseLanguageText(std::string_view bytes) {
  std::vector<TTranslation> entries;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    const std::string_view key = TrimBytes(line.substr(0, eq));
    if (key.empty()) continue;  // a key of blanks only could never be looked up
    entries.push_back({Utf8ToUtf16(key), Utf8ToUtf16(line.substr(eq + 1))});
  }
  return entries;
}

std::u16string PluginDirectory() {
  const std::u16string name = PluginModuleFileName();
  const size_t separator = name.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return u".\\";
  return name.substr(0, separator + 1);
}

std::u16string NormaliseLanguage(const std::u16string& requested) {
  std::u16string code = requested;
  while (!code.empty() && code.back() <= 32) code.pop_back();
  size_t start = 0;
  while (start < code.size() && code[start] <= 32) ++start;
  code = AsciiLowerText(std::u16string_view(code).substr(start));
  if (code.empty() || code == u"auto") {
    switch (platform::UserUiPrimaryLanguage()) {
      case 7: return u"de";
      case 25: return u"ru";
      case 34: return u"uk";
      default: return u"en";
    }
  }
  code = code.substr(0, code.find(u'-'));
  code = code.substr(0, code.find(u'_'));
  if (code == u"en" || code == u"de" || code == u"ru" || code == u"uk") return code;
  return u"en";
}

void SetLanguage(const std::u16string& requested) {
  const std::u16string code = NormaliseLanguage(requested);
  std::lock_guard<std::mutex> lock(gLock);
  if (code == gLanguage) return;
  gTable.clear();
  LoadLanguageFileLocked(u"en");
  if (code != u"en") LoadLanguageFileLocked(code);
  gLanguage = code;
  gLanguageChosen.store(true);
}

bool LoadLanguageFile(const std::u16string& code) {
  std::lock_guard<std::mutex> lock(gLock);
  return LoadLanguageFileLocked(code);
}

std::u16string tr(std::string_view key, std::u16string_view englishDefault) {
  if (!gLanguageChosen.load()) SetLanguage(FileSettingsAccess().ReadText(setting::kLanguage));
  std::lock_guard<std::mutex> lock(gLock);
  for (const TTranslation& entry : gTable)
    if (KeyEquals(entry.Key, key)) return entry.Text;
  return std::u16string(englishDefault);
}

std::u16string tr(const TI18nKey& key) { return tr(key.Key, key.English); }

std::u16string CurrentLanguage() {
  std::lock_guard<std::mutex> lock(gLock);
  return gLanguage;
}

void ResetTranslations() {
  std::lock_guard<std::mutex> lock(gLock);
  gTable.clear();
  gLanguage.clear();
  gLanguageChosen.store(false);
}

}  // namespace corvane
