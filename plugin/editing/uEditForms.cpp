// How edits are written: spans and replacement bytes of value edits and key
// renames in YAML and TOML. See uEditForms.h.
#include "uEditForms.h"

#include <algorithm>
#include <vector>

#include "uI18n.h"
#include "uScalarTyping.h"
#include "uTextChars.h"
#include "uTomlText.h"
#include "uUnicode.h"

namespace corvane {

namespace {

constexpr size_t kNone = std::string::npos;

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

TLocatedEdit TomlValueEdit(std::string_view bytes, const TNodeView& node, bool asString, std::u16string_view text) {
  TLocatedEdit edit;
  if (!TakeSpan(node.StartOffset, node.EndOffset, bytes, edit)) {
    // A parser library without spans: the one "key = raw" line.
    if (!FindTomlValueOffset(bytes, node.Key, node.Value, edit.Start)) return Refused(i18n::kErrorTomlAmbiguous);
    edit.Length = int64_t(node.Value.size());
  }
  const std::string typed = Utf16ToUtf8(text);
  if (!asString) {
    edit.Replacement = typed;
    return edit;
  }
  const std::string_view raw = node.Value;
  const bool leadingBreak = raw.size() > 3 && (raw[3] == '\n' || raw[3] == '\r');
  edit.Replacement = WriteTomlString(typed, TomlFormOf(raw), LineBreakFor(raw, bytes), leadingBreak);
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

// ---- YAML scalars ----------------------------------------------------------------

// The end of the anchor or tag at p ("&name", "!tag", "!<verbatim>").
size_t PropertyEnd(std::string_view bytes, size_t p, size_t end) {
  if (bytes.substr(p, 2) == "!<") {
    const size_t close = bytes.find('>', p);
    return close == kNone || close >= end ? end : close + 1;
  }
  while (p < end && std::string_view(" \t\r\n,[]{}").find(bytes[p]) == std::string_view::npos) ++p;
  return p;
}

// Past the blanks, line breaks and comments from p, not beyond end.
size_t SkipSeparation(std::string_view bytes, size_t p, size_t end) {
  while (p < end) {
    if (IsBlank(bytes[p]) || IsLineBreak(bytes[p])) ++p;
    else if (bytes[p] == '#') while (p < end && !IsLineBreak(bytes[p])) ++p;
    else break;
  }
  return p;
}

// Where the content of a node spanning [start, end) begins: after its
// anchor and tag and what separates them from it.
size_t ContentStart(std::string_view bytes, size_t start, size_t end) {
  size_t p = start;
  while (p < end && (bytes[p] == '&' || bytes[p] == '!')) p = SkipSeparation(bytes, PropertyEnd(bytes, p, end), end);
  return p;
}

// The new text of a plain or quoted scalar: a string in the old scalar's
// style where that holds it, anything else as typed.
std::string YamlScalarText(const TNodeView& node, TEditPlace place, bool asString, std::string_view typed) {
  if (!asString) return std::string(typed);
  const bool wasString =
      node.Style != ysPlain || NodeKind(ScalarToValue(node.Value, ysPlain, TDocumentLanguage::Yaml).get()) == nkString;
  const std::string_view readAlike = node.Style == ysPlain && wasString ? node.Value : std::string_view();
  return WriteYamlString(typed, node.Style, {place.Flow, false}, wasString, readAlike);
}

// An empty value takes its text after its ":", "-", anchor or tag, with one
// blank between ("a:" + "5" would be the one scalar "a:5"): a blank that
// stands there already is used when only blanks or the line's end follow.
TLocatedEdit EmptyValueEdit(std::string_view bytes, size_t at, bool afterProperties, std::string text) {
  size_t indicator = at;
  while (indicator > 0 && IsBlank(bytes[indicator - 1])) --indicator;
  if (!afterProperties && (indicator == 0 || (bytes[indicator - 1] != ':' && bytes[indicator - 1] != '-')))
    return Refused(i18n::kErrorUnsafeEdit);
  TLocatedEdit edit;
  edit.Start = int64_t(at);
  edit.Length = 0;
  const bool blankOnly = at < bytes.size() && IsBlank(bytes[at]) &&
                         (at + 1 == bytes.size() || IsBlank(bytes[at + 1]) || IsLineBreak(bytes[at + 1]));
  if (blankOnly) ++edit.Start;
  else if (indicator == at) text.insert(0, 1, ' ');
  edit.Replacement = std::move(text);
  return edit;
}

TLocatedEdit YamlValueEdit(std::string_view bytes, const TNodeView& node, TEditPlace place, bool asString,
                           std::u16string_view text) {
  if (node.Kind == skAlias || place.MergeValue)
    return Refused(place.MergeValue ? i18n::kErrorMergeKey : i18n::kErrorAliasValue);
  if (node.Kind != skScalar || node.StartOffset < 0 || node.EndOffset < node.StartOffset ||
      size_t(node.EndOffset) > bytes.size())
    return Refused(i18n::kErrorUnsafeEdit);
  // The anchor and tag stay; only the scalar after them is replaced.
  TNodeView scalar = node;
  scalar.StartOffset = int32_t(ContentStart(bytes, size_t(node.StartOffset), size_t(node.EndOffset)));
  const std::string typed = Utf16ToUtf8(text);
  if (node.Style == 4 || node.Style == 5)
    return asString ? BlockScalarEdit(bytes, scalar, typed) : Refused(i18n::kErrorUnsafeEdit);
  if (node.Style < ysPlain || node.Style > ysDoubleQuoted) return Refused(i18n::kErrorUnsafeEdit);
  std::string written = YamlScalarText(node, place, asString, typed);
  if (scalar.EndOffset == scalar.StartOffset)
    return EmptyValueEdit(bytes, size_t(scalar.StartOffset), scalar.StartOffset > node.StartOffset, std::move(written));
  TLocatedEdit edit;
  TakeSpan(scalar.StartOffset, scalar.EndOffset, bytes, edit);
  edit.Replacement = std::move(written);
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

TEditPlace EditPlaceOf(std::string_view bytes, const TNodeView& node, const TNodeView* parent) {
  TEditPlace place;
  const bool collection = parent && (parent->Kind == skMapping || parent->Kind == skSequence);
  if (!collection) return place;
  const bool plainMerge = node.Key == "<<" && node.KeyStyle == ysPlain;
  const bool mergeItem = parent->Kind == skSequence && parent->Key == "<<" && parent->KeyStyle == ysPlain;
  place.MergeValue = plainMerge || mergeItem;
  // A start that is not known counts as flow: the stricter rules.
  if (parent->StartOffset < 0 || size_t(parent->StartOffset) >= bytes.size()) return place.Flow = true, place;
  const size_t end = parent->EndOffset > parent->StartOffset ? size_t(parent->EndOffset) : bytes.size();
  const size_t at = ContentStart(bytes, size_t(parent->StartOffset), std::min(end, bytes.size()));
  place.Flow = at >= bytes.size() || bytes[at] == '[' || bytes[at] == '{';
  return place;
}

bool WritesAsString(const TJsonData& value) {
  return value.Kind() == nkString && !dynamic_cast<const TDateTimeString*>(&value);
}

TLocatedEdit WriteValueEdit(std::string_view bytes, TDocumentLanguage language, const TNodeView& node,
                            TEditPlace place, bool asString, std::u16string_view text) {
  if (language == TDocumentLanguage::Yaml) return YamlValueEdit(bytes, node, place, asString, text);
  if (node.Kind != skScalar) return Refused(i18n::kErrorUnsafeEdit);
  return TomlValueEdit(bytes, node, asString, text);
}

TLocatedEdit WriteKeyRename(std::string_view bytes, TDocumentLanguage language, const TNodeView& node,
                            TEditPlace place, std::u16string_view key) {
  TLocatedEdit edit;
  const std::string name = Utf16ToUtf8(key);
  if (language == TDocumentLanguage::Toml) {
    if (!TomlKeySpan(bytes, node, edit)) return Refused(i18n::kErrorUnsafeKey);
    edit.Replacement = WriteTomlKey(name, TomlKeyStyleOf(bytes.substr(size_t(edit.Start))));
    return edit;
  }
  if (node.Key == "<<" && node.KeyStyle == ysPlain) return Refused(i18n::kErrorMergeKey);
  if (!YamlKeySpan(bytes, node, edit)) return Refused(i18n::kErrorUnsafeKey);
  const std::string_view readAlike = node.KeyStyle == ysPlain ? node.Key : std::string_view();
  edit.Replacement = WriteYamlString(name, node.KeyStyle, {place.Flow, true}, true, readAlike);
  return edit;
}

std::string_view ExpectedRecordValue(TDocumentLanguage language, const TLocatedEdit& edit, std::string_view typed) {
  return language == TDocumentLanguage::Toml ? std::string_view(edit.Replacement) : typed;
}

bool ReadsBackAsTyped(TDocumentLanguage language, const TNodeView& after, const TJsonData& value,
                      std::string_view typed) {
  const TJsonDataPtr now = ScalarToValue(after.Value, after.Style, language);
  const int kind = value.Kind();
  if (NodeKind(now.get()) != kind) return false;
  if (kind != nkString) return true;
  const auto* date = dynamic_cast<const TDateTimeString*>(&value);
  const auto* nowDate = dynamic_cast<const TDateTimeString*>(now.get());
  if ((date ? date->Form() : TTomlForm::None) != (nowDate ? nowDate->Form() : TTomlForm::None)) return false;
  return static_cast<const TJsonString&>(*now).Value() == typed;
}

}  // namespace corvane
