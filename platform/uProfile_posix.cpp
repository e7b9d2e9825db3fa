// POSIX: an INI reader and writer with the observable behaviour of the
// Windows private-profile functions (see uProfile.h). Files are UTF-8 (a
// byte-order mark is skipped); lines end at LF with an optional CR before it.
// Writing edits only the one line concerned (or appends), so every other byte
// of the file stays as it was.
#include <string>
#include <string_view>
#include <vector>

#include "uFiles.h"
#include "uProfile.h"
#include "uUnicode.h"

namespace corvane::platform {

namespace {

struct TLine {
  size_t Start;     // first byte of the line
  size_t End;       // end of its content (before CR LF / LF)
  size_t Next;      // first byte of the following line
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::vector<TLine> SplitLines(const std::string& bytes) {
  std::vector<TLine> lines;
  size_t pos = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    const size_t next = lf == std::string::npos ? bytes.size() : lf + 1;
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    if (end > pos && bytes[end - 1] == '\r') --end;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

// The section name of a "[name]" line; false for other lines.
bool SectionName(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  line.remove_prefix(1);
  *name = Trim(line.substr(0, line.find(']')));
  return true;
}

// Key and raw value of a key line; a line without "=" is a key without value.
void KeyAndValue(std::string_view line, std::string_view* key, std::string_view* value) {
  const size_t eq = line.find('=');
  *key = Trim(line.substr(0, eq));
  *value = eq == std::string_view::npos ? std::string_view() : Trim(line.substr(eq + 1));
}

// Where a key lives in the file: line indexes, or -1.
struct TLocation {
  long long Section = -1;      // header line of the first matching section
  long long Key = -1;          // first matching key line inside it
  long long LastContent = -1;  // last non-blank line of that section
};

TLocation Locate(const std::string& bytes, const std::vector<TLine>& lines, std::string_view section,
                 std::string_view key) {
  TLocation at;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line(bytes.data() + lines[i].Start, lines[i].End - lines[i].Start);
    std::string_view name;
    if (SectionName(line, &name)) {
      if (at.Section >= 0) break;  // only the first matching section counts
      inside = SameNoCase(name, section);
      if (inside) at.Section = at.LastContent = static_cast<long long>(i);
      continue;
    }
    if (!inside || Trim(line).empty()) continue;
    at.LastContent = static_cast<long long>(i);
    std::string_view k, v;
    KeyAndValue(line, &k, &v);
    if (at.Key < 0 && line.find('=') != std::string_view::npos && SameNoCase(k, key))
      at.Key = static_cast<long long>(i);
  }
  return at;
}

std::u16string Cut(std::u16string text) {
  if (text.size() > kProfileBufferChars - 1) text.resize(kProfileBufferChars - 1);
  return text;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Replaces the file's content: through a temporary file and a move when the
// folder allows it, so a failed write never leaves a half-written file.
bool StoreFile(const std::u16string& file, const std::string& bytes) {
  std::u16string temp;
  if (CreateTempFileIn(Utf8ToUtf16(Folder(Utf16ToUtf8(file))), temp)) {
    if (WriteFileBytes(temp, bytes) && MoveFileReplace(temp, file)) return true;
    DeleteFilePath(temp);
  }
  return WriteFileBytes(file, bytes);
}

}  // namespace

std::u16string ReadProfileString(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, const std::u16string& defaultValue) {
  std::u16string fallback = defaultValue;
  while (!fallback.empty() && (fallback.back() == u' ' || fallback.back() == u'\t')) fallback.pop_back();
  std::string bytes;
  std::u16string error;
  if (!ReadFileBytes(file, bytes, error)) return Cut(fallback);
  const std::vector<TLine> lines = SplitLines(bytes);
  const TLocation at = Locate(bytes, lines, Utf16ToUtf8(section), Utf16ToUtf8(key));
  if (at.Key < 0) return Cut(fallback);
  const TLine& line = lines[static_cast<size_t>(at.Key)];
  std::string_view k, value;
  KeyAndValue(std::string_view(bytes.data() + line.Start, line.End - line.Start), &k, &value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return Cut(Utf8ToUtf16(value));
}

bool WriteProfileString(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, const std::u16string& value) {
  std::string bytes;
  std::u16string error;
  if (!ReadFileBytes(file, bytes, error) && FileExists(file)) return false;  // unreadable: keep it
  const std::string keyText = Utf16ToUtf8(key);
  const std::string entry = keyText + "=" + Utf16ToUtf8(value);
  const std::vector<TLine> lines = SplitLines(bytes);
  const TLocation at = Locate(bytes, lines, Utf16ToUtf8(section), keyText);
  if (at.Key >= 0) {
    const TLine& line = lines[static_cast<size_t>(at.Key)];
    bytes.replace(line.Start, line.End - line.Start, entry);
  } else if (at.Section >= 0) {
    size_t pos = lines[static_cast<size_t>(at.LastContent)].Next;
    if (bytes[pos - 1] != '\n') {  // the file's last line had no complete line end
      const char* ending = bytes[pos - 1] == '\r' ? "\n" : "\r\n";
      bytes.insert(pos, ending);
      pos += std::char_traits<char>::length(ending);
    }
    bytes.insert(pos, entry + "\r\n");
  } else {
    if (!bytes.empty() && bytes.back() != '\n') bytes += "\r\n";
    bytes += "[" + Utf16ToUtf8(section) + "]\r\n" + entry + "\r\n";
  }
  return StoreFile(file, bytes);
}

}  // namespace corvane::platform
