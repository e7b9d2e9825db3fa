// Line colouring of the text pane.
//
// Contract:
//  - Per line: optional TOML table header (whole line, key role); otherwise
//    a key before the separator ("=" in TOML, ":" followed by a blank or the
//    line end in YAML) and a value scan of quoted runs, comments and tokens.
//  - A quoted run ends at the next same quotation mark that directly follows
//    the opening mark or is not preceded by a backslash; unterminated runs
//    reach the line end.
//  - Every scan advances at least one unit per step, so the work is linear in
//    the text length.
#include "uTextColouring.h"

#include <algorithm>

#include "uTextChars.h"

namespace corvane {

namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool IsValueSkip(char c) {
  switch (c) {
    case ' ': case '\t': case ',': case '-': case '[': case ']': case '{': case '}':
      return true;
    default:
      return false;
  }
}

bool EndsToken(char c) {
  switch (c) {
    case ' ': case '\t': case '#': case ',': case '[': case ']': case '{': case '}':
      return true;
    default:
      return false;
  }
}

// Index just past the quoted run opened at line[open].
size_t QuotedRunEnd(std::string_view line, size_t open) {
  const char mark = line[open];
  for (size_t i = open + 1; i < line.size(); ++i) {
    if (line[i] != mark) continue;
    if (i == open + 1 || line[i - 1] != '\\') return i + 1;
  }
  return line.size();
}

// Position of the key separator at or after from, or npos.
size_t FindSeparator(std::string_view line, size_t from, TDocumentLanguage language) {
  const bool isToml = language == TDocumentLanguage::Toml;
  size_t i = from;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') return std::string_view::npos;
    if (IsQuote(c)) {
      i = QuotedRunEnd(line, i);
      continue;
    }
    if (isToml && c == '=') return i;
    if (!isToml && c == ':' && (i + 1 == line.size() || IsBlank(line[i + 1]))) return i;
    ++i;
  }
  return std::string_view::npos;
}

TSyntaxRole TokenRole(std::string_view token) {
  const char first = token.front();
  if (token == "true" || token == "false" || (first >= '0' && first <= '9')) return srBoolean;
  if (token == "null" || first == '~') return srNull;
  return srString;
}

class TLineColourer {
 public:
  TLineColourer(std::string_view line, int32_t lineStart, std::vector<TColourSpan>* spans)
      : line_(line), start_(lineStart), spans_(spans) {}

  void Add(size_t from, size_t to, TSyntaxRole role) {
    if (to <= from) return;
    spans_->push_back({start_ + static_cast<int32_t>(from), static_cast<int32_t>(to - from), role});
  }

  void ColourKey(size_t separator) {
    size_t from = 0;
    while (from < separator && (IsBlank(line_[from]) || line_[from] == '-')) ++from;
    size_t to = separator;
    while (to > from && IsBlank(line_[to - 1])) --to;
    Add(from, to, srKey);
  }

  // Colours the value part from position i to the line end.
  void ScanValue(size_t i) {
    while (i < line_.size()) {
      const char c = line_[i];
      if (c == '#') {
        Add(i, line_.size(), srComment);
        return;
      }
      if (IsQuote(c)) {
        const size_t end = QuotedRunEnd(line_, i);
        Add(i, end, srString);
        i = end;
      } else if (IsValueSkip(c)) {
        ++i;
      } else {
        i = ScanToken(i);
      }
    }
  }

 private:
  size_t ScanToken(size_t from) {
    size_t end = from;
    while (end < line_.size() && !EndsToken(line_[end])) ++end;
    size_t coloured = end;
    while (coloured > from && line_[coloured - 1] == ':') --coloured;
    if (coloured > from) {
      Add(from, coloured, TokenRole(line_.substr(from, coloured - from)));
    }
    return end;
  }

  std::string_view line_;
  int32_t start_;
  std::vector<TColourSpan>* spans_;
};

// Calls f(line, start) for each line of text (lines end at CR or LF).
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  size_t lineStart = 0;
  while (lineStart <= text.size()) {
    size_t lineEnd = lineStart;
    while (lineEnd < text.size() && !IsLineBreak(text[lineEnd])) ++lineEnd;
    f(text.substr(lineStart, lineEnd - lineStart), lineStart);
    lineStart = lineEnd + 1;
  }
}

}  // namespace

void ColourLine(std::string_view line, int32_t lineStart, TDocumentLanguage language,
                std::vector<TColourSpan>* spans) {
  TLineColourer colourer(line, lineStart, spans);
  size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  if (language == TDocumentLanguage::Toml && first < line.size() && line[first] == '[') {
    colourer.Add(first, line.size(), srKey);
    return;
  }
  const size_t separator = FindSeparator(line, first, language);
  if (separator == std::string_view::npos) {
    colourer.ScanValue(0);
    return;
  }
  colourer.ColourKey(separator);
  colourer.ScanValue(separator + 1);
}

std::vector<TColourSpan> ColourLines(std::string_view text, TDocumentLanguage language) {
  std::vector<TColourSpan> spans;
  if (text.empty()) return spans;
  spans.push_back({0, static_cast<int32_t>(text.size()), srText});
  ForEachLine(text, [&](std::string_view line, size_t start) {
    ColourLine(line, static_cast<int32_t>(start), language, &spans);
  });
  return spans;
}

void ColourBytes(std::string_view text, TDocumentLanguage language, char* roles) {
  std::fill(roles, roles + text.size(), static_cast<char>(srText));
  std::vector<TColourSpan> spans;
  ForEachLine(text, [&](std::string_view line, size_t start) {
    spans.clear();
    ColourLine(line, static_cast<int32_t>(start), language, &spans);
    for (const TColourSpan& span : spans)
      std::fill(roles + span.Start, roles + span.Start + span.Length, static_cast<char>(span.Role));
  });
}

// ---- which lines carry their colours --------------------------------------------

void TColouredLines::Reset(size_t lineCount) {
  lines_ = lineCount;
  bits_.assign((lineCount + 63) / 64, 0);
}

bool TColouredLines::IsColoured(size_t line) const {
  return line < lines_ && (bits_[line / 64] >> (line % 64) & 1) != 0;
}

void TColouredLines::MarkColoured(size_t first, size_t end) {
  end = std::min(end, lines_);
  for (size_t line = first; line < end; ++line) bits_[line / 64] |= uint64_t{1} << (line % 64);
}

size_t TColouredLines::FirstUncoloured(size_t line) const {
  while (line < lines_) {
    const uint64_t free = ~bits_[line / 64] >> (line % 64);
    if (free != 0) {
      size_t step = 0;
      while ((free >> step & 1) == 0) ++step;
      return std::min(line + step, lines_);
    }
    line = (line / 64 + 1) * 64;
  }
  return lines_;
}

TLineRange LinesToColour(size_t styledLine, size_t neededLine, size_t firstVisible, size_t lineCount) {
  TLineRange range;
  range.End = std::min(neededLine + 1, lineCount);
  range.First = std::min(styledLine, range.End);
  if (range.End - range.First <= kMaxColouredLines) return range;
  range.First = std::clamp(firstVisible, range.First, range.End);
  range.End = std::min(range.End, range.First + kMaxColouredLines);
  return range;
}

}  // namespace corvane
