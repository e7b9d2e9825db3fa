// The layout of a TOML text: statements, key paths, inline items. See
// uTomlLayout.h.
#include "uTomlLayout.h"

#include <map>

#include "uScalarWriting.h"
#include "uTextChars.h"
#include "uTomlText.h"

namespace corvane {

namespace {

constexpr size_t kNone = std::string_view::npos;

size_t SkipBlanks(std::string_view t, size_t p) {
  while (p < t.size() && IsBlank(t[p])) ++p;
  return p;
}

// After the line break that ends the line p is on (or the text's end).
size_t NextLine(std::string_view t, size_t p) {
  while (p < t.size() && !IsLineBreak(t[p])) ++p;
  if (p < t.size() && t[p] == '\r') ++p;
  if (p < t.size() && t[p] == '\n') ++p;
  return p;
}

// Blanks, line breaks and comments.
size_t SkipSpace(std::string_view t, size_t p) {
  for (;;) {
    p = SkipBlanks(t, p);
    if (p < t.size() && t[p] == '#') {
      while (p < t.size() && !IsLineBreak(t[p])) ++p;
    } else if (p < t.size() && IsLineBreak(t[p])) {
      ++p;
    } else {
      return p;
    }
  }
}

// After a string that starts at p with quote q (one of " and '), single or
// triple; npos when it does not end.
size_t SkipString(std::string_view t, size_t p) {
  const char q = t[p];
  const bool basic = q == '"';
  if (t.substr(p, 3) == std::string(3, q)) {
    for (size_t i = p + 3; i + 3 <= t.size(); ++i) {
      if (basic && t[i] == '\\') {
        ++i;
        continue;
      }
      if (t.substr(i, 3) == std::string(3, q)) {
        size_t end = i + 3;
        // Up to two quotes more belong to the content.
        for (int extra = 0; extra < 2 && end < t.size() && t[end] == q; ++extra) ++end;
        return end;
      }
    }
    return kNone;
  }
  for (size_t i = p + 1; i < t.size(); ++i) {
    if (IsLineBreak(t[i])) return kNone;
    if (basic && t[i] == '\\') {
      ++i;
      continue;
    }
    if (t[i] == q) return i + 1;
  }
  return kNone;
}

// After an inline array or table at p, strings and comments inside skipped.
size_t SkipInline(std::string_view t, size_t p) {
  size_t depth = 0;
  for (size_t i = p; i < t.size();) {
    const char c = t[i];
    if (c == '"' || c == '\'') {
      i = SkipString(t, i);
      if (i == kNone) return kNone;
      continue;
    }
    if (c == '#') {
      while (i < t.size() && !IsLineBreak(t[i])) ++i;
      continue;
    }
    if (c == '[' || c == '{') ++depth;
    if ((c == ']' || c == '}') && --depth == 0) return i + 1;
    ++i;
  }
  return kNone;
}

// One key segment at p: bare, "basic" or 'literal'; npos when none.
size_t ReadSegment(std::string_view t, size_t p, TTomlKeySegment& segment) {
  segment.Begin = p;
  if (p < t.size() && (t[p] == '"' || t[p] == '\'')) {
    if (t.substr(p, 3) == std::string(3, t[p])) return kNone;  // no multi-line keys
    const size_t end = SkipString(t, p);
    if (end == kNone || !DecodeTomlString(t.substr(p, end - p), &segment.Name)) return kNone;
    segment.End = end;
    return end;
  }
  size_t end = p;
  while (end < t.size() && IsBareKeyChar(static_cast<unsigned char>(t[end]))) ++end;
  if (end == p) return kNone;
  segment.Name = std::string(t.substr(p, end - p));
  segment.End = end;
  return end;
}

// A dotted key at p; after it (blanks after the last segment not skipped).
size_t ReadKey(std::string_view t, size_t p, std::vector<TTomlKeySegment>& key) {
  key.clear();
  for (;;) {
    TTomlKeySegment segment;
    p = ReadSegment(t, p, segment);
    if (p == kNone) return kNone;
    key.push_back(std::move(segment));
    const size_t q = SkipBlanks(t, p);
    if (q >= t.size() || t[q] != '.') return p;
    p = SkipBlanks(t, q + 1);
  }
}

// After the statement's value and trailing comment: the line's end must
// follow (blanks and a comment allowed).
size_t EndOfLine(std::string_view t, size_t p) {
  p = SkipBlanks(t, p);
  if (p < t.size() && t[p] == '#')
    while (p < t.size() && !IsLineBreak(t[p])) ++p;
  if (p < t.size() && !IsLineBreak(t[p])) return kNone;
  return NextLine(t, p);
}

std::string PathKey(const TTomlPath& path) {
  std::string key;
  for (const TTomlStep& step : path) {
    key += step.Index >= 0 ? "#" + std::to_string(step.Index) : step.Key;
    key += '\x01';
  }
  return key;
}

// The resolved path of a header's segments: every prefix that is an array
// of tables stands for its last element so far; an array-of-tables header
// opens the next element of its own array.
class TPathResolver {
 public:
  TTomlPath Header(const std::vector<TTomlKeySegment>& key, bool arrayTable) {
    TTomlPath path;
    for (size_t i = 0; i < key.size(); ++i) {
      path.push_back({key[i].Name, -1});
      const bool last = i + 1 == key.size();
      const std::string id = PathKey(path);
      if (last && arrayTable) {
        path.push_back({{}, counts_[id]++});
      } else if (auto it = counts_.find(id); it != counts_.end()) {
        path.push_back({{}, it->second - 1});
      }
    }
    return path;
  }

 private:
  std::map<std::string, long long> counts_;  // elements of each array of tables so far
};

// Reads one statement at p (the first byte of a header or key).
bool ReadStatement(std::string_view t, size_t p, TTomlStatement& s) {
  s.Begin = p;
  if (t[p] == '[') {
    const bool array = p + 1 < t.size() && t[p + 1] == '[';
    s.Kind = array ? TTomlStatementKind::ArrayTable : TTomlStatementKind::Table;
    size_t q = ReadKey(t, SkipBlanks(t, p + (array ? 2 : 1)), s.Key);
    if (q == kNone) return false;
    q = SkipBlanks(t, q);
    const std::string_view close = array ? "]]" : "]";
    if (t.substr(q, close.size()) != close) return false;
    s.ValueBegin = s.ValueEnd = q + close.size();
  } else {
    s.Kind = TTomlStatementKind::KeyValue;
    size_t q = ReadKey(t, p, s.Key);
    if (q == kNone) return false;
    q = SkipBlanks(t, q);
    if (q >= t.size() || t[q] != '=') return false;
    s.ValueBegin = SkipBlanks(t, q + 1);
    s.ValueEnd = SkipTomlValue(t, s.ValueBegin);
    if (s.ValueEnd == kNone) return false;
  }
  s.LineEnd = EndOfLine(t, s.ValueEnd);
  return s.LineEnd != kNone;
}

}  // namespace

bool TomlPathStartsWith(const TTomlPath& path, const TTomlPath& prefix) {
  if (prefix.size() > path.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (!(path[i] == prefix[i])) return false;
  return true;
}

size_t SkipTomlValue(std::string_view t, size_t p) {
  if (p >= t.size()) return kNone;
  const char c = t[p];
  if (c == '"' || c == '\'') return SkipString(t, p);
  if (c == '[' || c == '{') return SkipInline(t, p);
  // A bare value (number, boolean, date and time, which may hold a blank)
  // runs to a comment, a separator or the line's end, less trailing blanks.
  size_t end = p;
  while (end < t.size() && std::string_view("#,]}\r\n").find(t[end]) == std::string_view::npos) ++end;
  while (end > p && IsBlank(t[end - 1])) --end;
  return end > p ? end : kNone;
}

bool ScanTomlLayout(std::string_view t, std::vector<TTomlStatement>& statements) {
  statements.clear();
  TPathResolver resolver;
  TTomlPath headerPath;
  int header = -1;
  size_t p = t.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  for (;;) {
    p = SkipSpace(t, p);
    if (p >= t.size()) return true;
    TTomlStatement s;
    size_t lineStart = p;
    while (lineStart > 0 && !IsLineBreak(t[lineStart - 1])) --lineStart;
    s.LineStart = lineStart;
    if (!ReadStatement(t, p, s)) return false;
    if (s.Kind == TTomlStatementKind::KeyValue) {
      s.Path = headerPath;
      for (const TTomlKeySegment& segment : s.Key) s.Path.push_back({segment.Name, -1});
      s.Header = header;
    } else {
      s.Path = headerPath = resolver.Header(s.Key, s.Kind == TTomlStatementKind::ArrayTable);
      header = int(statements.size());
      s.Header = -1;
    }
    p = s.LineEnd;
    statements.push_back(std::move(s));
  }
}

bool ScanTomlItems(std::string_view t, size_t open, std::vector<TTomlItem>& items, size_t& close) {
  items.clear();
  if (open >= t.size() || (t[open] != '[' && t[open] != '{')) return false;
  const bool table = t[open] == '{';
  const char closer = table ? '}' : ']';
  size_t p = SkipSpace(t, open + 1);
  for (;;) {
    if (p >= t.size()) return false;
    if (t[p] == closer) return close = p, true;
    TTomlItem item;
    item.Begin = p;
    if (table) {
      p = ReadKey(t, p, item.Key);
      if (p == kNone) return false;
      p = SkipBlanks(t, p);
      if (p >= t.size() || t[p] != '=') return false;
      p = SkipBlanks(t, p + 1);
    }
    item.ValueBegin = p;
    item.End = SkipTomlValue(t, p);
    if (item.End == kNone) return false;
    items.push_back(std::move(item));
    p = SkipSpace(t, items.back().End);
    if (p < t.size() && t[p] == ',') p = SkipSpace(t, p + 1);
    else if (p >= t.size() || t[p] != closer) return false;
  }
}

std::string_view TomlLineBreakOf(std::string_view text) {
  const size_t at = text.find('\n');
  if (at != std::string_view::npos && at > 0 && text[at - 1] == '\r') return "\r\n";
  return "\n";
}

}  // namespace corvane
