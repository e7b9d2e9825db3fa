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

// ---- the structure the locators work on ----------------------------------------

// Compares the fields two nodes must share for a replacement to count as
// proven: everything except the target's new text.
struct TExpectedChange {
  bool IsTarget = false;
  bool Rename = false;
  std::string_view Text;  // the target's new Value (value edit) or Key (rename)
};

bool SameFields(int kindBefore, int kindAfter, bool keyNotScalarBefore, bool keyNotScalarAfter,
                std::string_view anchorBefore, std::string_view anchorAfter, std::string_view tagBefore,
                std::string_view tagAfter, std::string_view keyBefore, std::string_view keyAfter,
                std::string_view valueBefore, std::string_view valueAfter, int styleBefore, int styleAfter,
                int keyStyleBefore, int keyStyleAfter, const TExpectedChange& change) {
  if (kindBefore != kindAfter || anchorBefore != anchorAfter || tagBefore != tagAfter ||
      keyNotScalarBefore != keyNotScalarAfter)
    return false;
  if (!change.IsTarget)
    return keyBefore == keyAfter && valueBefore == valueAfter && styleBefore == styleAfter &&
           keyStyleBefore == keyStyleAfter;
  if (change.Rename) return keyAfter == change.Text && valueBefore == valueAfter && styleBefore == styleAfter;
  return keyBefore == keyAfter && valueAfter == change.Text;
}

// A node tree: nodes are the tree's own.
class TTreeAccess {
 public:
  using TNode = const TStructuredNode*;
  explicit TTreeAccess(const TStructuredNode* root) : root_(root) {}

  bool Find(const TJsonData* valueRoot, const TJsonData* target, TNode& node, TNode& parent) const {
    parent = nullptr;
    node = root_ ? FindWithParent(StartNode(root_), valueRoot, target, &parent) : nullptr;
    return node != nullptr;
  }
  const TStructuredNode& Fields(TNode n) { return *n; }

  bool KeyTakenBySibling(TNode parent, TNode node, const std::string& key) const {
    if (!parent) return false;
    for (size_t i = 0; i < parent->ChildCount(); ++i)
      if (parent->ChildAt(i) != node && !parent->ChildAt(i)->KeyNotScalar && parent->ChildAt(i)->Key == key)
        return true;
    return false;
  }

  // Walks the tree in pre-order beside the re-parsed records (also in
  // pre-order), with an explicit stack. Equal child counts at every node keep
  // the two orders aligned.
  bool SameExceptChange(const TStructureIndex& after, std::string_view text, TNode target, bool rename,
                        std::string_view expected) const {
    std::vector<const TStructuredNode*> pending{root_};
    size_t i = 0;
    while (!pending.empty()) {
      const TStructuredNode* b = pending.back();
      pending.pop_back();
      if (i >= after.Records.size()) return false;
      const TStructureRecord& r = after.Records[i];
      size_t children = 0;
      for (size_t c = i + 1; c < r.SubtreeEnd; c = after.Records[c].SubtreeEnd) ++children;
      if (b->ChildCount() != children ||
          !SameFields(b->Kind, r.Kind, b->KeyNotScalar, (r.Flags & TStructureIndex::kKeyNotScalar) != 0,
                      b->Anchor, after.Anchor(i, text), b->Tag, after.Tag(i), b->Key, after.Key(i, text), b->Value,
                      after.Value(i, text), b->Style, r.Style, b->KeyStyle, r.KeyStyle,
                      {b == target, rename, expected}))
        return false;
      ++i;
      for (size_t c = b->ChildCount(); c-- > 0;) pending.push_back(b->ChildAt(c));
    }
    return i == after.Records.size();
  }

 private:
  const TStructuredNode* root_;
};

// Structure records: nodes are record numbers; the located node's fields are
// read into a node object of its own (without children).
class TRecordAccess {
 public:
  using TNode = size_t;
  TRecordAccess(const TStructureIndex& index, std::string_view bytes) : index_(index), bytes_(bytes) {}

  bool Find(const TJsonData* valueRoot, const TJsonData* target, TNode& node, TNode& parent) const {
    std::vector<size_t> path;
    if (index_.Records.empty() || !valueRoot || !target || !ValuePath(valueRoot, target, path)) return false;
    // A one-document file starts at its document, several at the stream.
    size_t at = ChildCount(0) == 1 ? 1 : 0;
    at = StepThroughDocument(at);
    parent = kNone;
    for (size_t step : path) {
      if (at == kNone || !IsContainer(at) || step >= ChildCount(at)) return false;
      parent = at;
      size_t child = at + 1;
      for (size_t k = 0; k < step; ++k) child = index_.Records[child].SubtreeEnd;
      at = StepThroughDocument(child);
    }
    node = at;
    return at != kNone;
  }

  const TStructuredNode& Fields(TNode n) {
    fields_ = MaterializeNode(index_, bytes_, n);
    return *fields_;
  }

  bool KeyTakenBySibling(TNode parent, TNode node, const std::string& key) const {
    if (parent == kNone) return false;
    const TStructureRecord& p = index_.Records[parent];
    for (size_t c = parent + 1; c < p.SubtreeEnd; c = index_.Records[c].SubtreeEnd)
      if (c != node && !(index_.Records[c].Flags & TStructureIndex::kKeyNotScalar) && index_.Key(c, bytes_) == key)
        return true;
    return false;
  }

  // Both structures are records in pre-order: equal subtree ends at every
  // record mean the same shape, so one pass over both compares them.
  bool SameExceptChange(const TStructureIndex& after, std::string_view text, TNode target, bool rename,
                        std::string_view expected) const {
    if (after.Records.size() != index_.Records.size()) return false;
    for (size_t i = 0; i < after.Records.size(); ++i) {
      const TStructureRecord &b = index_.Records[i], &r = after.Records[i];
      if (b.SubtreeEnd != r.SubtreeEnd ||
          !SameFields(b.Kind, r.Kind, (b.Flags & TStructureIndex::kKeyNotScalar) != 0,
                      (r.Flags & TStructureIndex::kKeyNotScalar) != 0, index_.Anchor(i, bytes_), after.Anchor(i, text),
                      index_.Tag(i), after.Tag(i), index_.Key(i, bytes_), after.Key(i, text), index_.Value(i, bytes_),
                      after.Value(i, text), b.Style, r.Style, b.KeyStyle, r.KeyStyle, {i == target, rename, expected}))
        return false;
    }
    return true;
  }

 private:
  static constexpr size_t kNone = std::string::npos;
  const TStructureIndex& index_;
  std::string_view bytes_;
  TStructuredNodePtr fields_;

  size_t ChildCount(size_t i) const {
    size_t count = 0;
    for (size_t c = i + 1; c < index_.Records[i].SubtreeEnd; c = index_.Records[c].SubtreeEnd) ++count;
    return count;
  }
  bool IsContainer(size_t i) const {
    const int kind = index_.Records[i].Kind;
    return kind == skStream || kind == skMapping || kind == skSequence;
  }
  size_t StepThroughDocument(size_t i) const {
    if (i == kNone || index_.Records[i].Kind != skDocument) return i;
    return index_.Records[i].SubtreeEnd > i + 1 ? i + 1 : kNone;
  }
};

// Parses the loaded bytes with this one replacement and checks that exactly
// the expected change happened. The re-parse stays in record form.
template <typename TAccess>
bool ReplacementProven(const TAccess& access, const std::string& bytes, bool isToml, int64_t start, int64_t length,
                       const std::string& replacement, typename TAccess::TNode target, bool rename,
                       std::string_view expected) {
  std::string text = bytes.substr(0, size_t(start));
  text += replacement;
  text.append(bytes, size_t(start + length), std::string::npos);
  TStructureIndex reparsed;
  std::u16string error;
  const bool parsed = isToml ? ParseTomlIndex(text, reparsed, error) : ParseYamlIndex(text, reparsed, error);
  return parsed && access.SameExceptChange(reparsed, text, target, rename, expected);
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

namespace {

template <typename TAccess>
bool LocateValueEditIn(TAccess& access, const std::string& loadedBytes, const TJsonData* valueRoot,
                       const TJsonData* valueNode, bool isToml, const std::u16string& newText, int64_t& start,
                       int64_t& length, std::string& replacement, std::u16string& error) {
  Refuse(start, length, replacement, error, i18n::kErrorUnsafeEdit);
  typename TAccess::TNode found{}, parent{};
  if (!access.Find(valueRoot, valueNode, found, parent)) return false;
  const TStructuredNode& node = access.Fields(found);
  if (node.Kind != skScalar) return false;
  const bool isString = NodeKind(valueNode) == nkString;
  int64_t s = -1, l = 0;
  std::string text;
  if (!isToml) {
    if (!YamlValueSpan(node, loadedBytes.size(), s, l)) return false;
    text = isString ? QuoteDoubleString(newText) : Utf16ToUtf8(newText);
  } else {
    if (!FindTomlValueOffset(loadedBytes, node.Key.str(), node.Value.str(), s))
      return Refuse(start, length, replacement, error, i18n::kErrorTomlAmbiguous);
    l = int64_t(node.Value.size());
    const bool quoted = IsQuotedTomlRaw(node.Value.str());
    if (isString && !quoted) return false;
    // A quoted TOML value stays a string for every reader, whatever kind
    // the loose typing gave it ("42", "true").
    text = quoted ? QuoteDoubleString(newText) : Utf16ToUtf8(newText);
  }
  if (s < 0 || size_t(s + l) > loadedBytes.size()) return false;
  const std::string expected = isToml ? text : Utf16ToUtf8(newText);
  if (!ReplacementProven(access, loadedBytes, isToml, s, l, text, found, false, expected))
    return Refuse(start, length, replacement, error,
                  isToml ? i18n::kErrorTomlAmbiguous : i18n::kErrorUnsafeEdit);
  start = s;
  length = l;
  replacement = std::move(text);
  error.clear();
  return true;
}

template <typename TAccess>
bool LocateKeyRenameIn(TAccess& access, const std::string& loadedBytes, const TJsonData* valueRoot,
                       const TJsonData* valueNode, bool isToml, const std::u16string& newKey, int64_t& start,
                       int64_t& length, std::string& replacement, std::u16string& error) {
  Refuse(start, length, replacement, error, i18n::kErrorUnsafeKey);
  if (newKey.empty() || !valueNode) return false;
  typename TAccess::TNode found{}, parent{};
  if (!access.Find(valueRoot, valueNode, found, parent)) return false;
  const TStructuredNode& node = access.Fields(found);
  if (node.Key.empty() || node.KeyNotScalar) return false;
  const std::string key = Utf16ToUtf8(newKey);
  if (access.KeyTakenBySibling(parent, found, key)) return false;
  int64_t s = -1, l = 0;
  bool located = isToml ? TomlKeySpan(loadedBytes, node, s, l) : YamlKeySpan(loadedBytes, node, s, l);
  if (!located) return false;
  std::string text = QuoteDoubleString(newKey);
  if (!ReplacementProven(access, loadedBytes, isToml, s, l, text, found, true, key)) return false;
  start = s;
  length = l;
  replacement = std::move(text);
  error.clear();
  return true;
}

}  // namespace

bool LocateValueEdit(const std::string& loadedBytes, const TStructuredNode* structureRoot,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newText, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error) {
  TTreeAccess access(structureRoot);
  return LocateValueEditIn(access, loadedBytes, valueRoot, valueNode, isToml, newText, start, length, replacement,
                           error);
}

bool LocateValueEdit(const std::string& loadedBytes, const TStructureIndex& structure, const TJsonData* valueRoot,
                     const TJsonData* valueNode, bool isToml, const std::u16string& newText, int64_t& start,
                     int64_t& length, std::string& replacement, std::u16string& error) {
  TRecordAccess access(structure, loadedBytes);
  return LocateValueEditIn(access, loadedBytes, valueRoot, valueNode, isToml, newText, start, length, replacement,
                           error);
}

bool LocateKeyRename(const std::string& loadedBytes, const TStructuredNode* structureRoot,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newKey, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error) {
  TTreeAccess access(structureRoot);
  return LocateKeyRenameIn(access, loadedBytes, valueRoot, valueNode, isToml, newKey, start, length, replacement,
                           error);
}

bool LocateKeyRename(const std::string& loadedBytes, const TStructureIndex& structure, const TJsonData* valueRoot,
                     const TJsonData* valueNode, bool isToml, const std::u16string& newKey, int64_t& start,
                     int64_t& length, std::string& replacement, std::u16string& error) {
  TRecordAccess access(structure, loadedBytes);
  return LocateKeyRenameIn(access, loadedBytes, valueRoot, valueNode, isToml, newKey, start, length, replacement,
                           error);
}

}  // namespace corvane
