// How edits are written: spans and replacement bytes of value edits and key
// renames in YAML and TOML. See uEditForms.h.
#include "uEditForms.h"

#include <vector>

#include "uI18n.h"
#include "uScalarTyping.h"
#include "uTomlText.h"
#include "uUnicode.h"

namespace corvane {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr size_t kNone = std::string::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasBom(std::string_view bytes) { return bytes.substr(0, 3) == "\xEF\xBB\xBF"; }

TLocatedEdit Refused(const TI18nKey& reason) {
  TLocatedEdit refused;
  refused.Refusal = tr(reason);
  return refused;
}

// The span [start, end) when it lies within the bytes.
bool TakeSpan(int64_t start, int64_t end, std::string_view bytes, TLocatedEdit& edit) {
  if (start < 0 || end <= start || static_cast<uint64_t>(end) > bytes.size()) return false;
  edit.Start = start;
  edit.Length = end - start;
  return true;
}

// ---- escapes --------------------------------------------------------------------

void AppendUnicodeEscape(std::string& out, unsigned value) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

// Code points that are valid UTF-8 but not allowed (or not kept) as raw text
// in a YAML double-quoted scalar or a TOML basic string: DEL and the C1
// controls are refused by both grammars, U+2028/U+2029 are line breaks that
// YAML folds into a space, U+FFFE/U+FFFF are not printable. Returns the code
// point and its byte length, or 0.
unsigned EscapedSequenceAt(std::string_view text, size_t i, size_t& bytes) {
  auto at = [&](size_t k) { return i + k < text.size() ? (unsigned char)text[i + k] : 0u; };
  unsigned b0 = at(0);
  if (b0 == 0x7F) return bytes = 1, 0x7F;
  if (b0 == 0xC2 && at(1) >= 0x80 && at(1) <= 0x9F) return bytes = 2, at(1);
  if (b0 == 0xE2 && at(1) == 0x80 && (at(2) == 0xA8 || at(2) == 0xA9))
    return bytes = 3, 0x2000 | (at(2) - 0x80);
  if (b0 == 0xEF && at(1) == 0xBF && (at(2) == 0xBE || at(2) == 0xBF))
    return bytes = 3, 0xFFC0 | (at(2) - 0x80);
  return bytes = 0, 0;
}

// Appends the character at i of text as a double-quoted string holds it and
// returns its byte length. lineBreak is how a line feed is written: empty
// for the "\n" escape, else as those bytes, with a tab kept as it is too
// (a multi-line string).
size_t AppendEscaped(std::string& out, std::string_view text, size_t i, std::string_view lineBreak) {
  size_t width = 0;
  const unsigned escaped = EscapedSequenceAt(text, i, width);
  if (width) {
    AppendUnicodeEscape(out, escaped);
    return width;
  }
  const auto c = static_cast<unsigned char>(text[i]);
  switch (c) {
    case '\t': out += lineBreak.empty() ? "\\t" : "\t"; break;
    case '\n': out += lineBreak.empty() ? std::string_view("\\n") : lineBreak; break;
    case '\r': out += "\\r"; break;
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    default:
      if (c < 32) AppendUnicodeEscape(out, c);
      else out += char(c);
  }
  return 1;
}

// True when text has a character no unescaped form holds: a control
// character other than tab and line feed, or one EscapedSequenceAt names.
bool NeedsEscapes(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t width = 0;
    EscapedSequenceAt(text, i, width);
    if (width || (c < 32 && c != '\t' && c != '\n')) return true;
  }
  return false;
}

// ---- TOML values --------------------------------------------------------------------

// True when only blanks stand between the start of p's line and p. A leading
// byte-order mark belongs to no line.
bool FirstTokenOnLine(std::string_view bytes, size_t p) {
  size_t j = p;
  while (j > 0 && IsBlank(bytes[j - 1])) --j;
  if (j == 0 || bytes[j - 1] == '\n' || bytes[j - 1] == '\r') return true;
  return j == 3 && HasBom(bytes);
}

size_t SkipBlanks(std::string_view bytes, size_t p) {
  while (p < bytes.size() && IsBlank(bytes[p])) ++p;
  return p;
}

// After a value on a "key = value" line only blanks, a comment or the line
// end may follow; anything else means the raw text was only the prefix of a
// longer value (80 inside 8080).
bool ValueEndsLine(std::string_view bytes, size_t p) {
  p = SkipBlanks(bytes, p);
  return p == bytes.size() || bytes[p] == '#' || bytes[p] == '\r' || bytes[p] == '\n';
}

// Offset of raw when the key at p starts a "key = raw" line, else npos.
size_t TomlLineValueAt(std::string_view bytes, size_t p, std::string_view key, std::string_view raw) {
  if (!FirstTokenOnLine(bytes, p)) return kNone;
  size_t e = p + key.size();
  if (e < bytes.size() && IsBareKeyChar(static_cast<unsigned char>(bytes[e]))) return kNone;
  e = SkipBlanks(bytes, e);
  if (e >= bytes.size() || bytes[e] != '=') return kNone;
  e = SkipBlanks(bytes, e + 1);
  if (bytes.substr(e, raw.size()) != raw) return kNone;
  if (!ValueEndsLine(bytes, e + raw.size())) return kNone;
  return e;
}

// The line break a multi-line string writes: the one it already holds, else
// the file's first, else LF.
std::string_view LineBreakFor(std::string_view raw, std::string_view bytes) {
  for (const std::string_view text : {raw, bytes}) {
    const size_t at = text.find('\n');
    if (at != kNone) return at > 0 && text[at - 1] == '\r' ? "\r\n" : "\n";
  }
  return "\n";
}

// True when a literal string (multi-line or not) holds text as it is.
bool FitsLiteral(std::string_view text, bool multiLine) {
  if (NeedsEscapes(text) || text.find('\r') != kNone) return false;
  if (!multiLine) return text.find_first_of("'\n") == kNone;
  return text.find("'''") == kNone;
}

// The opening of a multi-line string: the delimiter, then a line break when
// the old value had one there or the text starts with one (the first line
// break after the delimiter is not part of the value).
std::string MultiLineOpening(const char* delimiter, std::string_view text, bool leadingBreak,
                             std::string_view lineBreak) {
  std::string out = delimiter;
  if (leadingBreak || (!text.empty() && text[0] == '\n')) out += lineBreak;
  return out;
}

std::string MultiLineBasic(std::string_view text, bool leadingBreak, std::string_view lineBreak) {
  std::string out = MultiLineOpening("\"\"\"", text, leadingBreak, lineBreak);
  for (size_t i = 0; i < text.size();) {
    // A quote stays unescaped unless another one or the closing delimiter
    // follows it: no run of three can form.
    if (text[i] == '"' && i + 1 < text.size() && text[i + 1] != '"') {
      out += '"';
      ++i;
      continue;
    }
    i += AppendEscaped(out, text, i, lineBreak);
  }
  return out + "\"\"\"";
}

std::string MultiLineLiteral(std::string_view text, bool leadingBreak, std::string_view lineBreak) {
  std::string out = MultiLineOpening("'''", text, leadingBreak, lineBreak);
  for (const char c : text) {
    if (c == '\n') out += lineBreak;
    else out += c;
  }
  return out + "'''";
}

// text written as a TOML string of the old value's form where that form can
// hold it, else of the nearest form that can.
std::string TomlString(const std::string& text, TTomlForm form, std::string_view raw, std::string_view bytes) {
  const std::string_view lineBreak = LineBreakFor(raw, bytes);
  const bool leadingBreak = raw.size() > 3 && (raw[3] == '\n' || raw[3] == '\r');
  switch (form) {
    case TTomlForm::LiteralString:
      if (FitsLiteral(text, false)) return "'" + text + "'";
      break;
    case TTomlForm::MultiLineLiteralString:
      if (FitsLiteral(text, true)) return MultiLineLiteral(text, leadingBreak, lineBreak);
      return MultiLineBasic(text, leadingBreak, lineBreak);
    case TTomlForm::MultiLineBasicString:
      return MultiLineBasic(text, leadingBreak, lineBreak);
    default:
      break;
  }
  return QuoteDoubleStringUtf8(text);
}

TLocatedEdit TomlValueEdit(std::string_view bytes, const TNodeView& node, bool isString, std::u16string_view text) {
  TLocatedEdit edit;
  if (!TakeSpan(node.StartOffset, node.EndOffset, bytes, edit)) {
    // A parser library without spans: the one "key = raw" line.
    if (!FindTomlValueOffset(bytes, node.Key, node.Value, edit.Start)) return Refused(i18n::kErrorTomlAmbiguous);
    edit.Length = int64_t(node.Value.size());
  }
  // A date or time shows as a string but is written as typed, like a
  // number; the proof holds it to its kind.
  const TTomlForm form = TomlFormOf(node.Value);
  const bool quoted = IsTomlStringForm(form);
  if (quoted != (isString && !IsTomlDateTimeForm(form))) return Refused(i18n::kErrorUnsafeEdit);
  const std::string typed = Utf16ToUtf8(text);
  edit.Replacement = quoted ? TomlString(typed, form, node.Value, bytes) : typed;
  return edit;
}

// ---- YAML block scalars ----------------------------------------------------------

struct TBlockHeader {
  size_t Start = 0;          // the "|" or ">"
  size_t IndicatorsEnd = 0;  // after the chomping and indentation indicators
  char Chomp = 0;            // '-', '+' or 0 (clip)
  int Indent = 0;            // the indentation indicator, 0 when none
  size_t LineEnd = 0;        // the header line's break
  std::string_view LineBreak;
};

bool ReadBlockHeader(std::string_view bytes, size_t at, TBlockHeader& h) {
  if (at >= bytes.size() || (bytes[at] != '|' && bytes[at] != '>')) return false;
  h.Start = at;
  size_t i = at + 1;
  for (; i < bytes.size() && i < at + 3; ++i) {
    if ((bytes[i] == '-' || bytes[i] == '+') && !h.Chomp) h.Chomp = bytes[i];
    else if (bytes[i] >= '1' && bytes[i] <= '9' && !h.Indent) h.Indent = bytes[i] - '0';
    else break;
  }
  h.IndicatorsEnd = i;
  h.LineEnd = bytes.find_first_of("\r\n", i);
  if (h.LineEnd == kNone) return false;
  if (bytes[h.LineEnd] == '\n') h.LineBreak = "\n";
  else if (bytes.substr(h.LineEnd, 2) == "\r\n") h.LineBreak = "\r\n";
  return !h.LineBreak.empty();
}

// Characters from the start of p's line to p.
int ColumnOf(std::string_view bytes, size_t p) {
  size_t start = p;
  while (start > 0 && bytes[start - 1] != '\n' && bytes[start - 1] != '\r') --start;
  if (start == 0 && HasBom(bytes)) start = 3;
  int column = 0;
  for (size_t i = start; i < p; ++i) column += (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80;
  return column;
}

// The indentation of the collection holding the block scalar: its key's
// column in a mapping, its "-" column in a sequence, -1 at the top.
int ParentIndent(std::string_view bytes, const TNodeView& node, size_t header) {
  if (node.KeyStart >= 0) return ColumnOf(bytes, size_t(node.KeyStart));
  size_t p = header;
  while (p > 0 && IsBlank(bytes[p - 1])) --p;
  return p > 0 && bytes[p - 1] == '-' ? ColumnOf(bytes, p - 1) : -1;
}

// The content lines of a block scalar: where they start, where the last
// line holding more than spaces ends (with its line break), and that
// line's first indentation.
struct TBlockContent {
  size_t Start = 0;
  size_t LastTextEnd = 0;
  size_t FirstIndent = kNone;
};

TBlockContent ReadBlockContent(std::string_view bytes, size_t start, size_t end) {
  TBlockContent content{start, start, kNone};
  for (size_t p = start; p < end;) {
    size_t e = bytes.find_first_of("\r\n", p);
    if (e == kNone || e > end) e = end;
    size_t next = e;
    if (next < end) next += bytes.substr(next, 2) == "\r\n" ? 2 : 1;
    const size_t text = bytes.substr(p, e - p).find_first_not_of(' ');
    if (text != kNone) {
      content.LastTextEnd = next;
      if (content.FirstIndent == kNone) content.FirstIndent = text;
    }
    p = next;
  }
  return content;
}

// The chomping indicator that makes the content read back with exactly
// breaks trailing line breaks: the header's own where it does.
char NeededChomp(char current, size_t breaks, bool hasText) {
  if (breaks == 0) return current == 0 && !hasText ? 0 : '-';
  if (breaks == 1 && hasText) return current == '+' ? '+' : 0;
  return '+';
}

std::string BlockHeaderText(std::string_view bytes, const TBlockHeader& h, char chomp) {
  std::string out(1, bytes[h.Start]);
  for (size_t i = h.Start + 1; i < h.IndicatorsEnd; ++i)
    if (bytes[i] != '-' && bytes[i] != '+') out += bytes[i];
  if (chomp) out += chomp;
  out += bytes.substr(h.IndicatorsEnd, h.LineEnd - h.IndicatorsEnd);  // blanks and a comment
  out += h.LineBreak;
  return out;
}

// The content lines of body at indentation pad. A folded scalar folds the
// line break between two lines that start with neither blank nor tab into a
// space, so an extra empty line keeps each such break.
std::string BlockLines(std::string_view body, bool folded, const std::string& pad, std::string_view lineBreak) {
  std::string out;
  bool lastWasPlain = false;
  for (size_t p = 0; p <= body.size() && !body.empty();) {
    size_t e = body.find('\n', p);
    if (e == kNone) e = body.size();
    const std::string_view line = body.substr(p, e - p);
    if (!line.empty()) {
      const bool plain = !IsBlank(line[0]);
      if (folded && plain && lastWasPlain) out += lineBreak;
      lastWasPlain = plain;
      out += pad;
      out += line;
    }
    out += lineBreak;
    p = e + 1;
  }
  return out;
}

TLocatedEdit BlockScalarEdit(std::string_view bytes, const TNodeView& node, const std::string& text) {
  TBlockHeader h;
  if (text.find('\r') != kNone || NeedsEscapes(text) || !ReadBlockHeader(bytes, size_t(node.StartOffset), h) ||
      h.LineEnd >= size_t(node.EndOffset))
    return Refused(i18n::kErrorUnsafeEdit);
  const TBlockContent content = ReadBlockContent(bytes, h.LineEnd + h.LineBreak.size(), size_t(node.EndOffset));
  const int parent = ParentIndent(bytes, node, h.Start);
  int indent = content.FirstIndent != kNone ? int(content.FirstIndent) : (parent < 0 ? 0 : parent) + 2;
  if (h.Indent) indent = (parent < 0 ? 0 : parent) + h.Indent;
  const size_t breaks = text.size() - (text.find_last_not_of('\n') + 1);
  const std::string_view body = std::string_view(text).substr(0, text.size() - breaks);
  const char chomp = NeededChomp(h.Chomp, breaks, !body.empty());
  std::string out = BlockHeaderText(bytes, h, chomp);
  out += BlockLines(body, bytes[h.Start] == '>', std::string(size_t(indent), ' '), h.LineBreak);
  // Kept trailing line breaks are empty lines after the last; without "+"
  // the old empty lines after the text stay as they are.
  for (size_t k = body.empty() ? 0 : 1; k < breaks; ++k) out += h.LineBreak;
  const size_t end = chomp == '+' ? size_t(node.EndOffset) : content.LastTextEnd;
  TLocatedEdit edit;
  edit.Start = node.StartOffset;
  edit.Length = int64_t(end) - node.StartOffset;
  edit.Replacement = std::move(out);
  return edit;
}

TLocatedEdit YamlValueEdit(std::string_view bytes, const TNodeView& node, bool isString, std::u16string_view text) {
  if (!node.Anchor.empty() || !node.Tag.empty() || node.StartOffset < 0 || node.EndOffset < node.StartOffset ||
      size_t(node.EndOffset) > bytes.size())
    return Refused(i18n::kErrorUnsafeEdit);
  if (node.Style == 4 || node.Style == 5)
    return isString ? BlockScalarEdit(bytes, node, Utf16ToUtf8(text)) : Refused(i18n::kErrorUnsafeEdit);
  if (node.Style < 1 || node.Style > 3) return Refused(i18n::kErrorUnsafeEdit);
  TLocatedEdit edit;
  edit.Replacement = isString ? QuoteDoubleString(text) : Utf16ToUtf8(text);
  if (node.EndOffset > node.StartOffset) {
    TakeSpan(node.StartOffset, node.EndOffset, bytes, edit);
    return edit;
  }
  // An empty value goes after its ":" or "-", with a blank between: "a:" +
  // "5" would be the one scalar "a:5".
  size_t indicator = size_t(node.StartOffset);
  while (indicator > 0 && IsBlank(bytes[indicator - 1])) --indicator;
  if (indicator == 0 || (bytes[indicator - 1] != ':' && bytes[indicator - 1] != '-'))
    return Refused(i18n::kErrorUnsafeEdit);
  edit.Start = node.StartOffset;
  edit.Length = 0;
  if (indicator == size_t(node.StartOffset)) edit.Replacement.insert(0, 1, ' ');
  return edit;
}

// ---- keys ----------------------------------------------------------------------------

bool YamlKeySpan(std::string_view bytes, const TNodeView& node, TLocatedEdit& edit) {
  if (node.KeyStyle > 3 || !TakeSpan(node.KeyStart, node.KeyEnd, bytes, edit)) return false;
  // A key span that begins with an anchor or tag would lose it; an alias
  // elsewhere would then point nowhere.
  const char first = bytes[size_t(node.KeyStart)];
  return first != '&' && first != '!';
}

bool TomlKeySpan(std::string_view bytes, const TNodeView& node, TLocatedEdit& edit) {
  if (TakeSpan(node.KeyStart, node.KeyEnd, bytes, edit)) return true;
  // A parser library without spans: the first token of the value's line.
  int64_t valueOffset = -1;
  if (node.Kind != skScalar || !FindTomlValueOffset(bytes, node.Key, node.Value, valueOffset)) return false;
  size_t p = size_t(valueOffset);
  while (p > 0 && bytes[p - 1] != '\n' && bytes[p - 1] != '\r') --p;
  if (p == 0 && HasBom(bytes)) p = 3;
  p = SkipBlanks(bytes, p);
  if (bytes.substr(p, node.Key.size()) != node.Key) return false;
  edit.Start = int64_t(p);
  edit.Length = int64_t(node.Key.size());
  return true;
}

}  // namespace

bool IsBareKeyChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::string QuoteDoubleStringUtf8(const std::string& text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size();) i += AppendEscaped(out, text, i, {});
  out += '"';
  return out;
}

std::string QuoteDoubleString(std::u16string_view text) { return QuoteDoubleStringUtf8(Utf16ToUtf8(text)); }

bool FindTomlValueOffset(std::string_view bytes, std::string_view key, std::string_view raw, int64_t& offset) {
  offset = -1;
  if (key.empty() || raw.empty()) return false;
  for (char c : key)
    if (!IsBareKeyChar((unsigned char)c)) return false;
  int matches = 0;
  for (size_t p = bytes.find(key); p != kNone; p = bytes.find(key, p + 1)) {
    const size_t value = TomlLineValueAt(bytes, p, key, raw);
    if (value == kNone) continue;
    ++matches;
    offset = int64_t(value);
  }
  if (matches != 1) offset = -1;
  return matches == 1;
}

TLocatedEdit WriteValueEdit(std::string_view bytes, TDocumentLanguage language, const TNodeView& node, bool isString,
                            std::u16string_view text) {
  // An alias stands for a value written elsewhere; replacing "*name" would
  // cut the link instead of changing the value.
  if (node.Kind == skAlias) return Refused(i18n::kErrorAliasEdit);
  if (node.Kind != skScalar) return Refused(i18n::kErrorUnsafeEdit);
  return language == TDocumentLanguage::Toml ? TomlValueEdit(bytes, node, isString, text)
                                             : YamlValueEdit(bytes, node, isString, text);
}

TLocatedEdit WriteKeyRename(std::string_view bytes, TDocumentLanguage language, const TNodeView& node,
                            std::u16string_view key) {
  TLocatedEdit edit;
  const bool located =
      language == TDocumentLanguage::Toml ? TomlKeySpan(bytes, node, edit) : YamlKeySpan(bytes, node, edit);
  if (!located) return Refused(i18n::kErrorUnsafeKey);
  edit.Replacement = QuoteDoubleString(key);
  return edit;
}

std::string_view ExpectedRecordValue(TDocumentLanguage language, const TLocatedEdit& edit, std::string_view typed) {
  return language == TDocumentLanguage::Toml ? std::string_view(edit.Replacement) : typed;
}

bool ReadsBackAsTyped(TDocumentLanguage language, const TNodeView& after, const TJsonData* valueNode,
                      std::string_view typed) {
  const TJsonDataPtr now = ScalarToValue(after.Value, after.Style, language);
  const int kind = NodeKind(valueNode);
  if (NodeKind(now.get()) != kind) return false;
  if (kind != nkString) return true;
  const auto* date = dynamic_cast<const TDateTimeString*>(valueNode);
  const auto* nowDate = dynamic_cast<const TDateTimeString*>(now.get());
  if ((date ? date->Form() : TTomlForm::None) != (nowDate ? nowDate->Form() : TTomlForm::None)) return false;
  return static_cast<const TJsonString&>(*now).Value() == typed;
}

}  // namespace corvane
