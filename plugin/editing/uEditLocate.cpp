// Edit locating: spans and replacement bytes for value edits and key renames,
// each proven by parsing the replaced text again. See uEditLocate.h.
#include "uEditLocate.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "uI18n.h"
#include "uStructureIndex.h"
#include "uTomlTree.h"
#include "uUnicode.h"

namespace corvane {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasBom(const std::string& bytes) {
  return bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
}

// True when only blanks stand between the start of p's line and p. A leading
// byte-order mark belongs to no line.
bool FirstTokenOnLine(const std::string& bytes, size_t p) {
  size_t j = p;
  while (j > 0 && IsBlank(bytes[j - 1])) --j;
  if (j == 0 || bytes[j - 1] == '\n' || bytes[j - 1] == '\r') return true;
  return j == 3 && HasBom(bytes);
}

size_t SkipBlanks(const std::string& bytes, size_t p) {
  while (p < bytes.size() && IsBlank(bytes[p])) ++p;
  return p;
}

// After a value on a "key = value" line only blanks, a comment or the line
// end may follow; anything else means the raw text was only the prefix of a
// longer value (80 inside 8080).
bool ValueEndsLine(const std::string& bytes, size_t p) {
  p = SkipBlanks(bytes, p);
  return p == bytes.size() || bytes[p] == '#' || bytes[p] == '\r' || bytes[p] == '\n';
}

// Offset of raw when the key at p starts a "key = raw" line, else npos.
size_t TomlLineValueAt(const std::string& bytes, size_t p, const std::string& key,
                       const std::string& raw) {
  if (!FirstTokenOnLine(bytes, p)) return std::string::npos;
  size_t e = p + key.size();
  if (e < bytes.size() && IsBareKeyChar((unsigned char)bytes[e])) return std::string::npos;
  e = SkipBlanks(bytes, e);
  if (e >= bytes.size() || bytes[e] != '=') return std::string::npos;
  e = SkipBlanks(bytes, e + 1);
  if (bytes.compare(e, raw.size(), raw) != 0) return std::string::npos;
  if (!ValueEndsLine(bytes, e + raw.size())) return std::string::npos;
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

// ---- locating the structure node ------------------------------------------

const TStructuredNode* StepThroughDocument(const TStructuredNode* node) {
  if (node && node->Kind == skDocument) return node->ChildCount() ? node->ChildAt(0) : nullptr;
  return node;
}

bool IsStructuredContainer(const TStructuredNode* node) {
  return node->Kind == skStream || node->Kind == skMapping || node->Kind == skSequence;
}

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

// FindStructuredNode that also hands back the node's parent (for siblings).
const TStructuredNode* FindWithParent(const TStructuredNode* node, const TJsonData* value,
                                      const TJsonData* target, const TStructuredNode** parent) {
  std::vector<size_t> path;
  if (!node || !value || !target || !ValuePath(value, target, path)) return nullptr;
  const TStructuredNode* above = nullptr;
  node = StepThroughDocument(node);
  for (size_t index : path) {
    if (!node || !IsStructuredContainer(node) || index >= node->ChildCount()) return nullptr;
    above = node;
    node = StepThroughDocument(node->ChildAt(index));
  }
  if (parent) *parent = above;
  return node;
}

const TStructuredNode* StartNode(const TStructuredNode* root) {
  return root && root->ChildCount() == 1 ? root->ChildAt(0) : root;
}

// ---- proving a replacement ----------------------------------------------------

struct TExpectedChange {
  const TStructuredNode* Target = nullptr;
  bool Rename = false;
  std::string Text;  // the target's new Value (value edit) or Key (rename)
};

// Compares a node of the loaded tree with record i of the re-parsed text.
bool SameNode(const TStructuredNode& before, const TStructureIndex& after, size_t i, std::string_view text,
              const TExpectedChange& change) {
  const TStructureRecord& r = after.Records[i];
  size_t children = 0;
  for (size_t c = i + 1; c < r.SubtreeEnd; c = after.Records[c].SubtreeEnd) ++children;
  const bool keyNotScalar = (r.Flags & TStructureIndex::kKeyNotScalar) != 0;
  if (before.Kind != r.Kind || before.ChildCount() != children || before.Anchor != after.Anchor(i, text) ||
      before.Tag != after.Tag(i) || before.KeyNotScalar != keyNotScalar)
    return false;
  const std::string_view key = after.Key(i, text), value = after.Value(i, text);
  if (&before != change.Target)
    return before.Key == key && before.Value == value && before.Style == r.Style && before.KeyStyle == r.KeyStyle;
  if (change.Rename) return key == change.Text && before.Value == value && before.Style == r.Style;
  return before.Key == key && value == change.Text;
}

// Walks the loaded tree in pre-order beside the re-parsed records (also in
// pre-order), with an explicit stack. Equal child counts at every node keep
// the two orders aligned.
bool SameTreeExceptChange(const TStructuredNode& before, const TStructureIndex& after, std::string_view text,
                          const TExpectedChange& change) {
  std::vector<const TStructuredNode*> pending{&before};
  size_t i = 0;
  while (!pending.empty()) {
    const TStructuredNode* b = pending.back();
    pending.pop_back();
    if (i >= after.Records.size() || !SameNode(*b, after, i, text, change)) return false;
    ++i;
    for (size_t c = b->ChildCount(); c-- > 0;) pending.push_back(b->ChildAt(c));
  }
  return i == after.Records.size();
}

// Parses the loaded bytes with this one replacement and checks that exactly
// the expected change happened. The re-parse stays in record form: no node
// tree is built for it.
bool ReplacementProven(const std::string& bytes, const TStructuredNode* root, bool isToml,
                       int64_t start, int64_t length, const std::string& replacement,
                       const TExpectedChange& change) {
  std::string text = bytes.substr(0, size_t(start));
  text += replacement;
  text.append(bytes, size_t(start + length), std::string::npos);
  TStructureIndex reparsed;
  std::u16string error;
  const bool parsed = isToml ? ParseTomlIndex(text, reparsed, error) : ParseYamlIndex(text, reparsed, error);
  return parsed && root && SameTreeExceptChange(*root, reparsed, text, change);
}

// ---- per-format spans ---------------------------------------------------------

bool YamlValueSpan(const TStructuredNode& node, size_t size, int64_t& start, int64_t& length) {
  if (!node.Anchor.empty() || !node.Tag.empty() || node.Style > 3) return false;
  // An empty plain scalar has no bytes to replace: text put at its position
  // would join the indicator before it ("a:" + "5" is the scalar "a:5").
  if (node.StartOffset < 0 || node.EndOffset <= node.StartOffset) return false;
  if (size_t(node.EndOffset) > size) return false;
  start = node.StartOffset;
  length = node.EndOffset - node.StartOffset;
  return true;
}

bool IsQuotedTomlRaw(const std::string& raw) {
  return raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\'');
}

bool YamlKeySpan(const std::string& bytes, const TStructuredNode& node, int64_t& start,
                 int64_t& length) {
  if (node.KeyStart < 0 || node.KeyEnd <= node.KeyStart || node.KeyStyle > 3 ||
      size_t(node.KeyEnd) > bytes.size())
    return false;
  // A key span that begins with an anchor or tag would lose it; an alias
  // elsewhere would then point nowhere.
  char first = bytes[size_t(node.KeyStart)];
  if (first == '&' || first == '!') return false;
  start = node.KeyStart;
  length = node.KeyEnd - node.KeyStart;
  return true;
}

bool TomlKeySpan(const std::string& bytes, const TStructuredNode& node, int64_t& start,
                 int64_t& length) {
  int64_t valueOffset = -1;
  if (node.Kind != skScalar || !FindTomlValueOffset(bytes, node.Key.str(), node.Value.str(), valueOffset))
    return false;
  size_t p = size_t(valueOffset);
  while (p > 0 && bytes[p - 1] != '\n' && bytes[p - 1] != '\r') --p;
  if (p == 0 && HasBom(bytes)) p = 3;
  p = SkipBlanks(bytes, p);
  if (bytes.compare(p, node.Key.size(), node.Key) != 0) return false;
  start = int64_t(p);
  length = int64_t(node.Key.size());
  return true;
}

bool KeyTakenBySibling(const TStructuredNode* parent, const TStructuredNode* node,
                       const std::string& key) {
  if (!parent) return false;
  for (size_t i = 0; i < parent->ChildCount(); ++i)
    if (parent->ChildAt(i) != node && !parent->ChildAt(i)->KeyNotScalar &&
        parent->ChildAt(i)->Key == key)
      return true;
  return false;
}

bool Refuse(int64_t& start, int64_t& length, std::string& replacement, std::u16string& error,
            const TI18nKey& reason) {
  start = -1;
  length = 0;
  replacement.clear();
  error = tr(reason);
  return false;
}

}  // namespace

bool IsBareKeyChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
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

std::string QuoteDoubleString(const std::u16string& text) {
  return QuoteDoubleStringUtf8(Utf16ToUtf8(text));
}

bool FindTomlValueOffset(const std::string& bytes, const std::string& key, const std::string& raw,
                         int64_t& offset) {
  offset = -1;
  if (key.empty() || raw.empty()) return false;
  for (char c : key)
    if (!IsBareKeyChar((unsigned char)c)) return false;
  int matches = 0;
  for (size_t p = bytes.find(key); p != std::string::npos; p = bytes.find(key, p + 1)) {
    size_t value = TomlLineValueAt(bytes, p, key, raw);
    if (value == std::string::npos) continue;
    ++matches;
    offset = int64_t(value);
  }
  if (matches != 1) offset = -1;
  return matches == 1;
}

const TStructuredNode* FindStructuredNode(const TStructuredNode* node, const TJsonData* value,
                                          const TJsonData* target) {
  return FindWithParent(node, value, target, nullptr);
}

const TStructuredNode* FindStructuredNodeFromRoot(const TStructuredNode* structureRoot,
                                                  const TJsonData* valueRoot,
                                                  const TJsonData* target) {
  return FindStructuredNode(StartNode(structureRoot), valueRoot, target);
}

bool LocateValueEdit(const std::string& loadedBytes, const TStructuredNode* structureRoot,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newText, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error) {
  Refuse(start, length, replacement, error, i18n::kErrorUnsafeEdit);
  const TStructuredNode* node =
      FindStructuredNodeFromRoot(structureRoot, valueRoot, valueNode);
  if (!node || node->Kind != skScalar) return false;
  const bool isString = NodeKind(valueNode) == nkString;
  int64_t s = -1, l = 0;
  std::string text;
  if (!isToml) {
    if (!YamlValueSpan(*node, loadedBytes.size(), s, l)) return false;
    text = isString ? QuoteDoubleString(newText) : Utf16ToUtf8(newText);
  } else {
    if (!FindTomlValueOffset(loadedBytes, node->Key.str(), node->Value.str(), s))
      return Refuse(start, length, replacement, error, i18n::kErrorTomlAmbiguous);
    l = int64_t(node->Value.size());
    const bool quoted = IsQuotedTomlRaw(node->Value.str());
    if (isString && !quoted) return false;
    // A quoted TOML value stays a string for every reader, whatever kind
    // the loose typing gave it ("42", "true").
    text = quoted ? QuoteDoubleString(newText) : Utf16ToUtf8(newText);
  }
  if (s < 0 || size_t(s + l) > loadedBytes.size()) return false;
  TExpectedChange change{node, false, isToml ? text : Utf16ToUtf8(newText)};
  if (!ReplacementProven(loadedBytes, structureRoot, isToml, s, l, text, change))
    return Refuse(start, length, replacement, error,
                  isToml ? i18n::kErrorTomlAmbiguous : i18n::kErrorUnsafeEdit);
  start = s;
  length = l;
  replacement = std::move(text);
  error.clear();
  return true;
}

bool LocateKeyRename(const std::string& loadedBytes, const TStructuredNode* structureRoot,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newKey, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error) {
  Refuse(start, length, replacement, error, i18n::kErrorUnsafeKey);
  if (newKey.empty() || !structureRoot || !valueNode) return false;
  const TStructuredNode* parent = nullptr;
  const TStructuredNode* node =
      FindWithParent(StartNode(structureRoot), valueRoot, valueNode, &parent);
  if (!node || node->Key.empty() || node->KeyNotScalar) return false;
  const std::string key = Utf16ToUtf8(newKey);
  if (KeyTakenBySibling(parent, node, key)) return false;
  int64_t s = -1, l = 0;
  bool found = isToml ? TomlKeySpan(loadedBytes, *node, s, l) : YamlKeySpan(loadedBytes, *node, s, l);
  if (!found) return false;
  std::string text = QuoteDoubleString(newKey);
  if (!ReplacementProven(loadedBytes, structureRoot, isToml, s, l, text, {node, true, key}))
    return false;
  start = s;
  length = l;
  replacement = std::move(text);
  error.clear();
  return true;
}

}  // namespace corvane
