// Writing texts as YAML and TOML scalars and keys. See uScalarWriting.h.
#include "uScalarWriting.h"

#include <algorithm>
#include <iterator>

#include "uScalarTyping.h"
#include "uUnicode.h"

namespace corvane {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr size_t kNone = std::string::npos;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOneOf(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

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

// ---- YAML plain scalars ----------------------------------------------------------

// How the YAML 1.1 types and the YAML 1.2 core schema read a plain text that
// this system reads as a string.
enum class TOtherReading { String, Boolean, Number, Date, Merge, Value };

// Numbers as the YAML 1.1 types and the YAML 1.2 core schema spell them (a
// superset of both): an optional sign, then ".inf" or ".nan", a 0b/0o/0x
// integer, or digits with "_" and sexagesimal ":N" parts, at most one "."
// and an exponent. "1.2.3" is no number to any of them.
bool LooksLikeYamlNumber(std::string_view t) {
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) t.remove_prefix(1);
  for (std::string_view word : {".inf", ".Inf", ".INF", ".nan", ".NaN", ".NAN"})
    if (t == word) return true;
  if (t.size() > 2 && t[0] == '0' && IsOneOf(t[1], "bBoOxX"))
    return t.find_first_not_of("0123456789abcdefABCDEF_", 2) == kNone;
  size_t p = 0;
  auto run = [&](std::string_view chars) {
    const size_t start = p;
    while (p < t.size() && IsOneOf(t[p], chars)) ++p;
    return p - start;
  };
  if (p < t.size() && IsDigit(t[p])) {
    run("0123456789_");
    while (p + 1 < t.size() && t[p] == ':' && IsDigit(t[p + 1])) ++p, run("0123456789");
    if (p < t.size() && t[p] == '.') ++p, run("0123456789_");
  } else if (p + 1 < t.size() && t[p] == '.' && IsDigit(t[p + 1])) {
    ++p, run("0123456789_");
  } else {
    return false;
  }
  if (p < t.size() && (t[p] == 'e' || t[p] == 'E')) {
    ++p;
    if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
    if (run("0123456789") == 0) return false;
  }
  return p == t.size();
}

// A YAML 1.1 timestamp's start: YYYY-M-D, then the end or a time.
bool LooksLikeYamlDate(std::string_view t) {
  size_t p = 0;
  auto digits = [&](size_t fewest, size_t most) {
    const size_t start = p;
    while (p < t.size() && p - start < most && IsDigit(t[p])) ++p;
    return p - start >= fewest;
  };
  auto dash = [&] { return p < t.size() && t[p++] == '-'; };
  if (!digits(4, 4) || !dash() || !digits(1, 2) || !dash() || !digits(1, 2)) return false;
  return p == t.size() || IsOneOf(t[p], "Tt \t");
}

TOtherReading OtherReading(std::string_view t) {
  static constexpr std::string_view kBooleans[] = {"y",  "Y",  "yes", "Yes", "YES", "n",   "N",   "no",
                                                   "No", "NO", "on",  "On",  "ON",  "off", "Off", "OFF"};
  if (std::find(std::begin(kBooleans), std::end(kBooleans), t) != std::end(kBooleans)) return TOtherReading::Boolean;
  if (t == "<<") return TOtherReading::Merge;
  if (t == "=") return TOtherReading::Value;
  if (LooksLikeYamlNumber(t)) return TOtherReading::Number;
  if (LooksLikeYamlDate(t)) return TOtherReading::Date;
  return TOtherReading::String;
}

// True when plain text starts as a plain scalar at place: no blank, no
// indicator except "-" (and, in block context, "?" and ":") with a
// non-blank after it, no document marker.
bool PlainStartFits(std::string_view text, TYamlPlace place) {
  if (text.substr(0, 3) == "---" || text.substr(0, 3) == "...") return false;
  const char c = text[0];
  if (c == ' ' || text.back() == ' ') return false;
  if (!IsOneOf(c, "-?:,[]{}#&*!|>'\"%@`")) return true;
  const bool nextIsText = text.size() > 1 && text[1] != ' ';
  if (c == '-') return nextIsText;
  return (c == '?' || c == ':') && !place.Flow && nextIsText;
}

// True when every character of text may stand in a plain scalar at place
// (a byte-order mark at the start of a line would be taken for the
// stream's).
bool PlainCharactersFit(std::string_view text, TYamlPlace place) {
  if (NeedsEscapes(text) || text.find_first_of("\t\r\n") != kNone || text.find("\xEF\xBB\xBF") != kNone)
    return false;
  if (text.find(": ") != kNone || text.back() == ':' || text.find(" #") != kNone) return false;
  if (place.Flow && text.find_first_of(",[]{}:") != kNone) return false;
  // An implicit key must stay within the parser's 1,024 characters.
  return !place.Key || text.size() <= 1000;
}

}  // namespace

bool NeedsEscapes(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t width = 0;
    EscapedSequenceAt(text, i, width);
    if (width || (c < 32 && c != '\t' && c != '\n')) return true;
  }
  return false;
}

bool YamlPlainHolds(std::string_view text, TYamlPlace place, std::string_view readAlike) {
  if (text.empty() || !PlainStartFits(text, place) || !PlainCharactersFit(text, place)) return false;
  const TJsonDataPtr read = ScalarToValue(text, ysPlain, TDocumentLanguage::Yaml);
  if (NodeKind(read.get()) != nkString || static_cast<const TJsonString&>(*read).Value() != text) return false;
  const TOtherReading other = OtherReading(text);
  return other == TOtherReading::String || (!readAlike.empty() && OtherReading(readAlike) == other);
}

bool YamlSingleQuotedHolds(std::string_view text) {
  return text.find_first_of("\t\r\n") == kNone && !NeedsEscapes(text);
}

TYamlStyle YamlStringStyle(std::string_view text, int style, TYamlPlace place, bool singleAfterPlain,
                           std::string_view readAlike) {
  if (style == ysPlain && YamlPlainHolds(text, place, readAlike)) return ysPlain;
  const bool singleWanted = style == ysSingleQuoted || (style == ysPlain && singleAfterPlain);
  return singleWanted && YamlSingleQuotedHolds(text) ? ysSingleQuoted : ysDoubleQuoted;
}

std::string WriteYamlScalar(std::string_view text, TYamlStyle style) {
  if (style == ysPlain) return std::string(text);
  if (style == ysDoubleQuoted) return QuoteDoubleStringUtf8(text);
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string_view("''") : std::string_view(&c, 1);
  return out + "'";
}

std::string WriteYamlString(std::string_view text, int style, TYamlPlace place, bool singleAfterPlain,
                            std::string_view readAlike) {
  return WriteYamlScalar(text, YamlStringStyle(text, style, place, singleAfterPlain, readAlike));
}

// ---- TOML --------------------------------------------------------------------------

namespace {

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

}  // namespace

TTomlKeyStyle TomlKeyStyleOf(std::string_view written) {
  if (!written.empty() && written[0] == '"') return TTomlKeyStyle::Basic;
  if (!written.empty() && written[0] == '\'') return TTomlKeyStyle::Literal;
  return TTomlKeyStyle::Bare;
}

bool IsTomlBareKey(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return IsBareKeyChar((unsigned char)c); });
}

std::string WriteTomlKey(std::string_view name, TTomlKeyStyle style) {
  if (style == TTomlKeyStyle::Bare && IsTomlBareKey(name)) return std::string(name);
  if (style == TTomlKeyStyle::Literal && TomlLiteralHolds(name, false)) return "'" + std::string(name) + "'";
  return QuoteDoubleStringUtf8(name);
}

bool TomlLiteralHolds(std::string_view text, bool multiLine) {
  if (NeedsEscapes(text) || text.find('\r') != kNone) return false;
  if (!multiLine) return text.find_first_of("'\n") == kNone;
  return text.find("'''") == kNone;
}

std::string WriteTomlString(std::string_view text, TTomlForm form, std::string_view lineBreak, bool leadingBreak) {
  switch (form) {
    case TTomlForm::LiteralString:
      if (TomlLiteralHolds(text, false)) return "'" + std::string(text) + "'";
      break;
    case TTomlForm::MultiLineLiteralString:
      if (TomlLiteralHolds(text, true)) return MultiLineLiteral(text, leadingBreak, lineBreak);
      return MultiLineBasic(text, leadingBreak, lineBreak);
    case TTomlForm::MultiLineBasicString:
      return MultiLineBasic(text, leadingBreak, lineBreak);
    default:
      break;
  }
  return QuoteDoubleStringUtf8(text);
}

// ---- shared --------------------------------------------------------------------------

bool IsBareKeyChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::string QuoteDoubleStringUtf8(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size();) i += AppendEscaped(out, text, i, {});
  out += '"';
  return out;
}

std::string QuoteDoubleString(std::u16string_view text) { return QuoteDoubleStringUtf8(Utf16ToUtf8(text)); }

}  // namespace corvane
