// Edit locating: spans and replacement bytes for value edits and key renames,
// each proven by parsing the replaced text again. See uEditLocate.h.
#include "uEditLocate.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "uI18n.h"
#include "uScalarTyping.h"
#include "uUnicode.h"

namespace corvane {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr size_t kNone = std::string::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasBom(std::string_view bytes) { return bytes.substr(0, 3) == "\xEF\xBB\xBF"; }

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

void AppendUnicodeEscape(std::string& out, unsigned value) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

// Code points that are valid UTF-8 but not allowed (or not kept) as raw text
// in a YAML double-quoted scalar or a TOML basic string: DEL and the C1
// controls are refused by both grammars, U+2028/U+2029 are line breaks that
// YAML folds into a space, U+FFFE/U+FFFF are not printable. Returns the code
// point and its byte length, or 0.
unsigned EscapedSequenceAt(const std::string& text, size_t i, size_t& bytes) {
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

// ---- locating the node ----------------------------------------------------------

// Index path from value down to target, top first; false when target is not
// in value's subtree.
bool ValuePath(const TJsonData* value, const TJsonData* target, std::vector<size_t>& path) {
  path.clear();
  for (const TJsonData* node = target; node != value; node = node->Parent()) {
    const TJsonData* parent = node->Parent();
    if (!parent) return false;
    long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(node);
    if (index < 0) return false;
    path.push_back(size_t(index));
  }
  std::reverse(path.begin(), path.end());
  return true;
}

// The records of a loaded document walked beside its value tree: the i-th
// child record pairs with the i-th item or member, documents are stepped
// through, and a one-document file starts at its document, several at the
// stream (as the value tree was built).
class TRecordWalk {
 public:
  explicit TRecordWalk(const TLoadedDocument& doc) : index_(doc.Index), bytes_(doc.Bytes) {}

  // The record of target and of the container holding it (kNone for the
  // top); false when target is not in the value tree under valueRoot.
  bool Find(const TJsonData* valueRoot, const TJsonData* target, size_t& node, size_t& parent) const {
    std::vector<size_t> path;
    if (index_.Records.empty() || !valueRoot || !target || !ValuePath(valueRoot, target, path)) return false;
    size_t at = StepThroughDocument(index_.ChildCount(0) == 1 ? 1 : 0);
    parent = kNone;
    for (size_t step : path) {
      if (at == kNone || !IsContainer(at) || step >= index_.ChildCount(at)) return false;
      parent = at;
      size_t child = at + 1;
      for (size_t k = 0; k < step; ++k) child = index_.Records[child].SubtreeEnd;
      at = StepThroughDocument(child);
    }
    node = at;
    return at != kNone;
  }

  TNodeView View(size_t i) const { return index_.View(i, bytes_); }

  bool KeyTakenBySibling(size_t parent, size_t node, std::string_view key) const {
    if (parent == kNone) return false;
    for (size_t c = parent + 1; c < index_.Records[parent].SubtreeEnd; c = index_.Records[c].SubtreeEnd)
      if (c != node && !(index_.Records[c].Flags & TStructureIndex::kKeyNotScalar) && index_.Key(c, bytes_) == key)
        return true;
    return false;
  }

 private:
  const TStructureIndex& index_;
  std::string_view bytes_;

  bool IsContainer(size_t i) const {
    const int kind = index_.Records[i].Kind;
    return kind == skStream || kind == skMapping || kind == skSequence;
  }
  size_t StepThroughDocument(size_t i) const {
    if (i == kNone || index_.Records[i].Kind != skDocument) return i;
    return index_.Records[i].SubtreeEnd > i + 1 ? i + 1 : kNone;
  }
};

// ---- the proof ------------------------------------------------------------------

bool IsQuotedTomlRaw(std::string_view raw) { return raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\''); }

// What the one replacement may change: the target's Value (a value edit) or
// Key (a rename), which must then read exactly Text.
struct TExpectedChange {
  size_t Target = kNone;
  bool Rename = false;
  std::string_view Text;
};

bool SameExceptChange(const TNodeView& b, const TNodeView& a, bool isTarget, const TExpectedChange& change) {
  if (b.Kind != a.Kind || b.Anchor != a.Anchor || b.Tag != a.Tag || b.KeyNotScalar != a.KeyNotScalar) return false;
  if (!isTarget) return b.Key == a.Key && b.Value == a.Value && b.Style == a.Style && b.KeyStyle == a.KeyStyle;
  if (change.Rename) return a.Key == change.Text && b.Value == a.Value && b.Style == a.Style;
  return b.Key == a.Key && a.Value == change.Text;
}

// The loaded bytes with one replacement, parsed again into records.
struct TReparsed {
  std::string Text;
  TStructureIndex Index;
  bool Parsed = false;
};

TReparsed Reparse(const TLoadedDocument& doc, const TLocatedEdit& edit) {
  TReparsed after;
  after.Text = doc.Bytes.substr(0, size_t(edit.Start));
  after.Text += edit.Replacement;
  after.Text.append(doc.Bytes, size_t(edit.Start + edit.Length), std::string::npos);
  TLoadError error;
  after.Parsed = ParseDocumentIndex(after.Text, doc.Language, after.Index, error);
  return after;
}

// True when exactly the expected change happened. Both structures are
// records in pre-order: equal subtree ends at every record mean the same
// shape, so one pass over both compares them.
bool OnlyTheChange(const TLoadedDocument& doc, const TReparsed& after, const TExpectedChange& change) {
  const TStructureIndex& before = doc.Index;
  if (!after.Parsed || after.Index.Records.size() != before.Records.size()) return false;
  for (size_t i = 0; i < before.Records.size(); ++i) {
    if (before.Records[i].SubtreeEnd != after.Index.Records[i].SubtreeEnd ||
        !SameExceptChange(before.View(i, doc.Bytes), after.Index.View(i, after.Text), i == change.Target, change))
      return false;
  }
  return true;
}

// True when the edited value loads again as the kind of value the edited node
// has, for every reader: a number stays a number ("1e5" would become a
// string), a boolean a boolean ("yes" would too), and in TOML an unquoted
// value stays unquoted (a quoted "81" is a string to other readers, however
// loosely it is typed here).
bool LoadsAsSameKind(const TLoadedDocument& doc, const TReparsed& after, size_t target, int kind) {
  const TNodeView before = doc.Index.View(target, doc.Bytes);
  const TNodeView now = after.Index.View(target, after.Text);
  if (doc.Language == TDocumentLanguage::Toml && IsQuotedTomlRaw(before.Value) != IsQuotedTomlRaw(now.Value))
    return false;
  return NodeKind(ScalarToValue(now.Value, now.Style, doc.Language).get()) == kind;
}

// ---- per-format spans -------------------------------------------------------

bool YamlValueSpan(const TNodeView& node, size_t size, TLocatedEdit& edit) {
  if (!node.Anchor.empty() || !node.Tag.empty() || node.Style > 3) return false;
  // An empty plain scalar has no bytes to replace: text put at its position
  // would join the indicator before it ("a:" + "5" is the scalar "a:5").
  if (node.StartOffset < 0 || node.EndOffset <= node.StartOffset) return false;
  if (size_t(node.EndOffset) > size) return false;
  edit.Start = node.StartOffset;
  edit.Length = node.EndOffset - node.StartOffset;
  return true;
}

bool YamlKeySpan(std::string_view bytes, const TNodeView& node, TLocatedEdit& edit) {
  if (node.KeyStart < 0 || node.KeyEnd <= node.KeyStart || node.KeyStyle > 3 || size_t(node.KeyEnd) > bytes.size())
    return false;
  // A key span that begins with an anchor or tag would lose it; an alias
  // elsewhere would then point nowhere.
  const char first = bytes[size_t(node.KeyStart)];
  if (first == '&' || first == '!') return false;
  edit.Start = node.KeyStart;
  edit.Length = node.KeyEnd - node.KeyStart;
  return true;
}

bool TomlKeySpan(std::string_view bytes, const TNodeView& node, TLocatedEdit& edit) {
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

TLocatedEdit Refused(const TI18nKey& reason) {
  TLocatedEdit refused;
  refused.Refusal = tr(reason);
  return refused;
}

// The replacement text of a value edit and its span, or the refusal.
TLocatedEdit ValueReplacement(const TLoadedDocument& doc, const TNodeView& node, bool isString,
                              std::u16string_view newText) {
  TLocatedEdit edit;
  if (doc.Language == TDocumentLanguage::Yaml) {
    if (!YamlValueSpan(node, doc.Bytes.size(), edit)) return Refused(i18n::kErrorUnsafeEdit);
    edit.Replacement = isString ? QuoteDoubleString(newText) : Utf16ToUtf8(newText);
    return edit;
  }
  if (!FindTomlValueOffset(doc.Bytes, node.Key, node.Value, edit.Start)) return Refused(i18n::kErrorTomlAmbiguous);
  edit.Length = int64_t(node.Value.size());
  const bool quoted = IsQuotedTomlRaw(node.Value);
  if (isString && !quoted) return Refused(i18n::kErrorUnsafeEdit);
  // A quoted TOML value stays a string for every reader, whatever kind the
  // loose typing gave it ("42", "true").
  edit.Replacement = quoted ? QuoteDoubleString(newText) : Utf16ToUtf8(newText);
  return edit;
}

}  // namespace

bool IsBareKeyChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::string QuoteDoubleStringUtf8(const std::string& text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size();) {
    unsigned char c = (unsigned char)text[i];
    size_t width = 0;
    unsigned escaped = EscapedSequenceAt(text, i, width);
    if (width) {
      AppendUnicodeEscape(out, escaped);
      i += width;
      continue;
    }
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 32) AppendUnicodeEscape(out, c);
        else out += char(c);
    }
    ++i;
  }
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

TLocatedEdit LocateValueEdit(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newText) {
  const TRecordWalk walk(doc);
  size_t found = kNone, parent = kNone;
  if (!walk.Find(doc.Value.get(), valueNode, found, parent)) return Refused(i18n::kErrorUnsafeEdit);
  const TNodeView node = walk.View(found);
  if (node.Kind != skScalar) return Refused(i18n::kErrorUnsafeEdit);
  const int kind = NodeKind(valueNode);
  TLocatedEdit edit = ValueReplacement(doc, node, kind == nkString, newText);
  if (!edit.Accepted()) return edit;
  if (size_t(edit.Start + edit.Length) > doc.Bytes.size()) return Refused(i18n::kErrorUnsafeEdit);
  // The value must read back as exactly the typed text (YAML) or the
  // replacement token, quotes included (TOML): "81 # note" would leave 81
  // and a comment.
  const std::string typed = Utf16ToUtf8(newText);
  const bool toml = doc.Language == TDocumentLanguage::Toml;
  const TReparsed after = Reparse(doc, edit);
  if (!OnlyTheChange(doc, after, {found, false, toml ? std::string_view(edit.Replacement) : typed}))
    return Refused(toml ? i18n::kErrorTomlAmbiguous : i18n::kErrorUnsafeEdit);
  if (kind != nkString && !LoadsAsSameKind(doc, after, found, kind)) return Refused(i18n::kErrorUnsafeEdit);
  return edit;
}

TLocatedEdit LocateKeyRename(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newKey) {
  const TRecordWalk walk(doc);
  size_t found = kNone, parent = kNone;
  if (newKey.empty() || !walk.Find(doc.Value.get(), valueNode, found, parent)) return Refused(i18n::kErrorUnsafeKey);
  const TNodeView node = walk.View(found);
  if (node.Key.empty() || node.KeyNotScalar) return Refused(i18n::kErrorUnsafeKey);
  const std::string key = Utf16ToUtf8(newKey);
  if (walk.KeyTakenBySibling(parent, found, key)) return Refused(i18n::kErrorUnsafeKey);
  TLocatedEdit edit;
  const bool located = doc.Language == TDocumentLanguage::Toml ? TomlKeySpan(doc.Bytes, node, edit)
                                                               : YamlKeySpan(doc.Bytes, node, edit);
  if (!located) return Refused(i18n::kErrorUnsafeKey);
  edit.Replacement = QuoteDoubleString(newKey);
  if (!OnlyTheChange(doc, Reparse(doc, edit), {found, true, key})) return Refused(i18n::kErrorUnsafeKey);
  return edit;
}

}  // namespace corvane
