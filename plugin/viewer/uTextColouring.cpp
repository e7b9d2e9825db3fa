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

namespace corvane {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }
bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

bool IsValueSkip(char16_t c) {
  switch (c) {
    case u' ': case u'\t': case u',': case u'-': case u'[': case u']': case u'{': case u'}':
      return true;
    default:
      return false;
  }
}

bool EndsToken(char16_t c) {
  switch (c) {
    case u' ': case u'\t': case u'#': case u',': case u'[': case u']': case u'{': case u'}':
      return true;
    default:
      return false;
  }
}

// Index just past the quoted run opened at line[open].
size_t QuotedRunEnd(std::u16string_view line, size_t open) {
  const char16_t mark = line[open];
  for (size_t i = open + 1; i < line.size(); ++i) {
    if (line[i] != mark) continue;
    if (i == open + 1 || line[i - 1] != u'\\') return i + 1;
  }
  return line.size();
}

// Position of the key separator at or after from, or npos.
size_t FindSeparator(std::u16string_view line, size_t from, TDocumentLanguage language) {
  const bool isToml = language == TDocumentLanguage::Toml;
  size_t i = from;
  while (i < line.size()) {
    const char16_t c = line[i];
    if (c == u'#') return std::u16string_view::npos;
    if (IsQuote(c)) {
      i = QuotedRunEnd(line, i);
      continue;
    }
    if (isToml && c == u'=') return i;
    if (!isToml && c == u':' && (i + 1 == line.size() || IsBlank(line[i + 1]))) return i;
    ++i;
  }
  return std::u16string_view::npos;
}

TSyntaxRole TokenRole(std::u16string_view token) {
  const char16_t first = token.front();
  if (token == u"true" || token == u"false" || (first >= u'0' && first <= u'9')) return srBoolean;
  if (token == u"null" || first == u'~') return srNull;
  return srString;
}

class TLineColourer {
 public:
  TLineColourer(std::u16string_view line, int32_t lineStart, std::vector<TColourSpan>* spans)
      : line_(line), start_(lineStart), spans_(spans) {}

  void Add(size_t from, size_t to, TSyntaxRole role, bool bold) {
    if (to <= from) return;
    spans_->push_back({start_ + static_cast<int32_t>(from), static_cast<int32_t>(to - from), role,
                       bold});
  }

  void ColourKey(size_t separator, bool bold) {
    size_t from = 0;
    while (from < separator && (IsBlank(line_[from]) || line_[from] == u'-')) ++from;
    size_t to = separator;
    while (to > from && IsBlank(line_[to - 1])) --to;
    Add(from, to, srKey, bold);
  }

  // Colours the value part from position i to the line end.
  void ScanValue(size_t i) {
    while (i < line_.size()) {
      const char16_t c = line_[i];
      if (c == u'#') {
        Add(i, line_.size(), srComment, false);
        return;
      }
      if (IsQuote(c)) {
        const size_t end = QuotedRunEnd(line_, i);
        Add(i, end, srString, false);
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
    while (coloured > from && line_[coloured - 1] == u':') --coloured;
    if (coloured > from) {
      Add(from, coloured, TokenRole(line_.substr(from, coloured - from)), false);
    }
    return end;
  }

  std::u16string_view line_;
  int32_t start_;
  std::vector<TColourSpan>* spans_;
};

}  // namespace

void ColourLine(std::u16string_view line, int32_t lineStart, TDocumentLanguage language, bool bold,
                std::vector<TColourSpan>* spans) {
  TLineColourer colourer(line, lineStart, spans);
  size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  if (language == TDocumentLanguage::Toml && first < line.size() && line[first] == u'[') {
    colourer.Add(first, line.size(), srKey, bold);
    return;
  }
  const size_t separator = FindSeparator(line, first, language);
  if (separator == std::u16string_view::npos) {
    colourer.ScanValue(0);
    return;
  }
  colourer.ColourKey(separator, bold);
  colourer.ScanValue(separator + 1);
}

std::vector<TColourSpan> ColourLines(std::u16string_view text, TDocumentLanguage language, bool bold) {
  std::vector<TColourSpan> spans;
  if (text.empty()) return spans;
  spans.push_back({0, static_cast<int32_t>(text.size()), srText, false});
  size_t lineStart = 0;
  while (lineStart <= text.size()) {
    size_t lineEnd = lineStart;
    while (lineEnd < text.size() && !IsLineBreak(text[lineEnd])) ++lineEnd;
    ColourLine(text.substr(lineStart, lineEnd - lineStart), static_cast<int32_t>(lineStart),
               language, bold, &spans);
    lineStart = lineEnd + 1;
  }
  return spans;
}

// ---- which lines show the current colours -----------------------------------

void TLineColourState::TextLoaded(size_t lineCount) {
  coloured_.assign(lineCount, 0);
  loadGeneration_ = generation_;
}

void TLineColourState::ColoursChanged() { ++generation_; }

bool TLineColourState::NeedsColouring(size_t line) const {
  return line >= coloured_.size() || coloured_[line] != generation_;
}

bool TLineColourState::NeedsBase(size_t line) const {
  if (line >= coloured_.size()) return true;
  return coloured_[line] != 0 || loadGeneration_ != generation_;
}

void TLineColourState::Coloured(size_t line) {
  if (line < coloured_.size()) coloured_[line] = generation_;
}

size_t CountTextLines(std::u16string_view text) {
  size_t lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    if (IsLineBreak(text[i])) ++lines;
  }
  return lines;
}

std::vector<TColourSpan> PendingColourSpans(std::u16string_view text, size_t firstLine, TDocumentLanguage language,
                                            bool bold, TLineColourState* state) {
  std::vector<TColourSpan> bases, spans;
  size_t lineStart = 0;
  for (size_t line = firstLine; lineStart <= text.size(); ++line) {
    size_t lineEnd = lineStart;
    while (lineEnd < text.size() && !IsLineBreak(text[lineEnd])) ++lineEnd;
    if (state->NeedsColouring(line)) {
      const auto start = static_cast<int32_t>(lineStart);
      const auto end = static_cast<int32_t>(lineEnd);
      if (state->NeedsBase(line) && end > start) {
        // Joins the previous run when only the line break lies between.
        if (!bases.empty() && bases.back().Start + bases.back().Length + 1 >= start)
          bases.back().Length = end - bases.back().Start;
        else
          bases.push_back({start, end - start, srText, false});
      }
      ColourLine(text.substr(lineStart, lineEnd - lineStart), start, language, bold, &spans);
      state->Coloured(line);
    }
    lineStart = lineEnd + 1;
  }
  bases.insert(bases.end(), spans.begin(), spans.end());
  return bases;
}

}  // namespace corvane
