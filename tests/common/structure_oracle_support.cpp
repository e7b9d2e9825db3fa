// The structure oracle: node trees built the plain way, their values, and
// edit locating on them. See structure_oracle_support.h.
#include "structure_oracle_support.h"

#include <algorithm>
#include <new>

#include "uEditForms.h"
#include "uI18n.h"
#include "uParserBinding.h"
#include "uScalarTyping.h"
#include "uUnicode.h"

namespace corvane::test {

TStructuredNode::~TStructuredNode() {
  // Detach the whole subtree into a flat list so no destructor below this one
  // ever has children left to free.
  std::vector<TStructuredNodePtr> pending = std::move(Children);
  while (!pending.empty()) {
    TStructuredNodePtr node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->Children) pending.push_back(std::move(child));
    node->Children.clear();
  }
}

TStructuredNode* TStructuredNode::AddChild(std::unique_ptr<TStructuredNode> child) {
  Children.push_back(std::move(child));
  return Children.back().get();
}

namespace {

bool HasBom(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF"; }
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// ---- YAML ----------------------------------------------------------------------

// Places event marks in the text the plain way: through line and column,
// scanned from the start each time. The YAML parser also ends lines at NEL,
// LS and PS; in a text holding one of those, and for the marks it puts on a
// line after the last one (an empty node at the end of a text without a
// final line break), the mark's character index is used instead.
class TMarks {
 public:
  explicit TMarks(std::string_view text) : text_(text) {
    otherBreaks_ = text.find("\xC2\x85") != std::string_view::npos ||
                   text.find("\xE2\x80\xA8") != std::string_view::npos ||
                   text.find("\xE2\x80\xA9") != std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines_;
  }

  std::ptrdiff_t Place(std::ptrdiff_t line, std::ptrdiff_t column, std::ptrdiff_t character) const {
    if (otherBreaks_) return OffsetOfCharacter(character);
    const std::ptrdiff_t offset = LineColumnToOffset(text_, line, column);
    if (offset < 0 && line > lines_) return OffsetOfCharacter(character);
    return offset;
  }

 private:
  std::string_view text_;
  bool otherBreaks_ = false;
  std::ptrdiff_t lines_ = 1;

  std::ptrdiff_t OffsetOfCharacter(std::ptrdiff_t character) const {
    std::ptrdiff_t seen = 0;
    for (size_t i = HasBom(text_) ? 3 : 0; i < text_.size(); ++i) {
      if (IsContinuation(text_[i])) continue;
      if (seen++ == character) return static_cast<std::ptrdiff_t>(i);
    }
    return seen == character ? static_cast<std::ptrdiff_t>(text_.size()) : -1;
  }
};

class TYamlTreeBuilder {
 public:
  TYamlTreeBuilder(const std::string& text, TYamlEventReader& reader) : marks_(text), reader_(reader) {}

  void Read(TYamlEvent& e) {
    if (!reader_.Next(e)) throw EStructureError(reader_.LastErrorUtf8());
  }

  std::ptrdiff_t Place(std::ptrdiff_t line, std::ptrdiff_t column, std::ptrdiff_t character) const {
    return marks_.Place(line, column, character);
  }

  // The node that starts with e and its whole subtree.
  TStructuredNodePtr Node(const TYamlEvent& e) {
    int kind;
    switch (e.Kind) {
      case yeAlias: kind = skAlias; break;
      case yeScalar: kind = skScalar; break;
      case yeSequenceStart: kind = skSequence; break;
      case yeMappingStart: kind = skMapping; break;
      default: throw EStructureError("Unexpected YAML event");
    }
    auto node = std::make_unique<TStructuredNode>(kind);
    node->Value = kind == skAlias ? e.Anchor : e.Value;
    node->Anchor = e.Anchor;
    node->Tag = e.Tag;
    node->Style = e.ScalarStyle;
    node->StartOffset = marks_.Place(e.Line, e.Column, e.StartIndex);
    if (node->StartOffset < 0) throw EStructureError("Cannot locate YAML node in source");
    node->EndOffset = marks_.Place(e.EndLine, e.EndColumn, e.EndIndex);
    if (kind == skSequence || kind == skMapping) Children(*node);
    return node;
  }

 private:
  TMarks marks_;
  TYamlEventReader& reader_;

  void Children(TStructuredNode& collection) {
    const int end = collection.Kind == skSequence ? yeSequenceEnd : yeMappingEnd;
    TYamlEvent e;
    for (Read(e); e.Kind != end; Read(e)) {
      if (collection.Kind == skSequence) {
        collection.AddChild(Node(e));
        continue;
      }
      const TStructuredNodePtr key = Node(e);
      Read(e);
      TStructuredNode* value = collection.AddChild(Node(e));
      value->Key = key->Value;
      value->KeyNotScalar = key->Kind != skScalar;
      value->KeyStart = key->StartOffset;
      value->KeyEnd = key->EndOffset;
      value->KeyStyle = key->Style;
    }
    collection.EndOffset = marks_.Place(e.EndLine, e.EndColumn, e.EndIndex);
  }
};

TStructuredNodePtr YamlTree(const std::string& text) {
  TYamlEventReader reader(text);
  TYamlTreeBuilder builder(text, reader);
  TYamlEvent e;
  builder.Read(e);
  if (e.Kind != yeStreamStart) throw EStructureError("YAML stream start missing");
  auto root = std::make_unique<TStructuredNode>(skStream);
  for (builder.Read(e); e.Kind != yeStreamEnd; builder.Read(e)) {
    if (e.Kind != yeDocumentStart) throw EStructureError("YAML document start missing");
    TStructuredNode* doc = root->AddChild(std::make_unique<TStructuredNode>(skDocument));
    doc->StartOffset = builder.Place(e.Line, e.Column, e.StartIndex);
    builder.Read(e);
    if (e.Kind != yeDocumentEnd) {
      doc->AddChild(builder.Node(e));
      builder.Read(e);
      if (e.Kind != yeDocumentEnd) throw EStructureError("YAML document end missing");
    }
    doc->EndOffset = builder.Place(e.EndLine, e.EndColumn, e.EndIndex);
  }
  return root;
}

// ---- TOML ----------------------------------------------------------------------

TStructuredNodePtr Unplaced(int kind) {
  auto node = std::make_unique<TStructuredNode>(kind);
  node->StartOffset = node->EndOffset = -1;
  return node;
}

// A leaf's value span, when the library gives one that holds exactly its
// raw text; a key's span, when the library gives one within the text.
void PlaceValue(TStructuredNode& leaf, bool given, size_t start, size_t end, const std::string& text) {
  if (!given || start >= end || end > text.size() || text.compare(start, end - start, leaf.Value) != 0) return;
  leaf.StartOffset = std::ptrdiff_t(start);
  leaf.EndOffset = std::ptrdiff_t(end);
  leaf.Style = 1;
}

void PlaceKey(const TTomlNative& n, void* table, TStructuredNode& child, const std::string& text) {
  size_t start = 0, end = 0;
  if (!n.toml_table_key_span || !n.toml_table_key_span(table, child.Key.c_str(), &start, &end) || start >= end ||
      end > text.size())
    return;
  child.KeyStart = std::ptrdiff_t(start);
  child.KeyEnd = std::ptrdiff_t(end);
  child.KeyStyle = 1;
}

TStructuredNodePtr ArrayNode(const TTomlNative& n, void* array, const std::string& text);

TStructuredNodePtr TableNode(const TTomlNative& n, void* table, const std::string& text) {
  TStructuredNodePtr mapping = Unplaced(skMapping);
  for (int i = 0;; ++i) {
    const char* key = n.toml_table_key(table, i);
    if (!key) break;
    TStructuredNodePtr child;
    if (void* sub = n.toml_table_table(table, key)) {
      child = TableNode(n, sub, text);
    } else if (void* array = n.toml_table_array(table, key)) {
      child = ArrayNode(n, array, text);
    } else {
      child = Unplaced(skScalar);
      if (const char* raw = n.toml_table_raw(table, key)) {
        child->Value = raw;
        size_t start = 0, end = 0;
        const bool given = n.toml_table_raw_span && n.toml_table_raw_span(table, key, &start, &end);
        PlaceValue(*child, given, start, end, text);
      }
    }
    child->Key = key;
    PlaceKey(n, table, *child, text);
    mapping->AddChild(std::move(child));
  }
  return mapping;
}

TStructuredNodePtr ArrayNode(const TTomlNative& n, void* array, const std::string& text) {
  TStructuredNodePtr sequence = Unplaced(skSequence);
  for (int i = 0; i < n.toml_array_count(array); ++i) {
    if (void* table = n.toml_array_table(array, i)) {
      sequence->AddChild(TableNode(n, table, text));
    } else if (void* sub = n.toml_array_array(array, i)) {
      sequence->AddChild(ArrayNode(n, sub, text));
    } else {
      TStructuredNode* leaf = sequence->AddChild(Unplaced(skScalar));
      if (const char* raw = n.toml_array_raw(array, i)) {
        leaf->Value = raw;
        size_t start = 0, end = 0;
        const bool given = n.toml_array_raw_span && n.toml_array_raw_span(array, i, &start, &end);
        PlaceValue(*leaf, given, start, end, text);
      }
    }
  }
  return sequence;
}

TStructuredNodePtr TomlTree(const std::string& text) {
  const TTomlNative native(text);
  auto root = std::make_unique<TStructuredNode>(skStream);
  TStructuredNode* doc = root->AddChild(std::make_unique<TStructuredNode>(skDocument));
  void* table = native.toml_root(native.DocumentHandle);
  doc->AddChild(table ? TableNode(native, table, text) : std::make_unique<TStructuredNode>(skMapping));
  return root;
}

// ---- values ----------------------------------------------------------------------

TJsonDataPtr ToValue(const TStructuredNode& s, TDocumentLanguage language) {
  switch (s.Kind) {
    case skStream:
    case skSequence: {
      auto array = std::make_unique<TJsonArray>();
      for (const auto& child : s.Children) array->Add(ToValue(*child, language));
      return array;
    }
    case skDocument:
      return s.ChildCount() ? ToValue(*s.ChildAt(0), language) : std::make_unique<TJsonNull>();
    case skMapping: {
      auto object = std::make_unique<TJsonObject>();
      // Each name is taken before its value is built, so that of two
      // repeated names the one met first in the text is reported, as the
      // loader reports it (a value built first would report a repeat
      // inside it, further down the text).
      for (const auto& child : s.Children) {
        object->Add(child->Key, std::make_unique<TJsonNull>());
        object->Replace(object->Count() - 1, ToValue(*child, language));
      }
      return object;
    }
    case skScalar: return ScalarToValue(s.Value, s.Style, language);
    case skAlias: return std::make_unique<TJsonString>("*" + s.Value);
    default: return std::make_unique<TJsonNull>();
  }
}

}  // namespace

std::ptrdiff_t LineColumnToOffset(std::string_view text, std::ptrdiff_t line, std::ptrdiff_t column) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text.size());
  std::ptrdiff_t l = 1, c = 1, i = HasBom(text) ? 3 : 0;
  for (; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const bool continuation = IsContinuation(text[i]);
    if (!continuation && l == line && c == column) return i;
    if (b == '\r') {
      ++l, c = 1;
      if (i + 1 < n && text[i + 1] == '\n') ++i;
    } else if (b == '\n') {
      ++l, c = 1;
    } else if (!continuation) {
      ++c;
    }
  }
  return (l == line && c == column) ? n : -1;
}

bool ParseTree(const std::string& text, TDocumentLanguage language, TStructuredNodePtr& root,
               std::u16string& error) {
  root.reset();
  error.clear();
  try {
    root = language == TDocumentLanguage::Toml ? TomlTree(text) : YamlTree(text);
    return true;
  } catch (const std::exception& e) {
    error = Utf8ToUtf16(e.what());
  }
  return false;
}

TJsonDataPtr TreeRootToValue(const TStructuredNode& root, TDocumentLanguage language) {
  return ToValue(root.ChildCount() == 1 ? *root.ChildAt(0) : root, language);
}

std::string CompareWithRecords(const TStructuredNode& root, const TStructureIndex& index, std::string_view text) {
  std::vector<const TStructuredNode*> pending{&root};
  size_t i = 0;
  for (; !pending.empty(); ++i) {
    const TStructuredNode& n = *pending.back();
    pending.pop_back();
    if (i >= index.Records.size()) return "more nodes than records";
    const TNodeView r = index.View(i, text);
    const std::string where = "record " + std::to_string(i) + " (key '" + n.Key + "', value '" + n.Value + "'): ";
    if (index.ChildCount(i) != n.ChildCount()) return where + "child counts differ";
    if (r.Kind != n.Kind || r.Style != n.Style || r.KeyStyle != n.KeyStyle || r.KeyNotScalar != n.KeyNotScalar)
      return where + "kind or style differs";
    if (r.Key != n.Key || r.Value != n.Value || r.Anchor != n.Anchor || r.Tag != n.Tag)
      return where + "texts differ: '" + std::string(r.Key) + "', '" + std::string(r.Value) + "'";
    if (r.StartOffset != n.StartOffset || r.EndOffset != n.EndOffset || r.KeyStart != n.KeyStart ||
        r.KeyEnd != n.KeyEnd)
      return where + "spans differ: " + std::to_string(r.StartOffset) + ".." + std::to_string(r.EndOffset) +
             " instead of " + std::to_string(n.StartOffset) + ".." + std::to_string(n.EndOffset);
    for (size_t c = n.ChildCount(); c-- > 0;) pending.push_back(n.ChildAt(c));
  }
  return i == index.Records.size() ? "" : "more records than nodes";
}

std::string CompareValues(const TJsonData& a, const TJsonData& b) {
  std::vector<std::pair<const TJsonData*, const TJsonData*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->Kind() != y->Kind()) return "kinds differ";
    if (x->Kind() != nkArray && x->Kind() != nkObject) {
      if (x->JsonText() != y->JsonText()) return "scalar " + x->JsonText() + " vs " + y->JsonText();
      continue;
    }
    const auto* cx = static_cast<const TJsonContainer*>(x);
    const auto* cy = static_cast<const TJsonContainer*>(y);
    if (cx->Count() != cy->Count()) return "counts differ";
    for (size_t i = 0; i < cx->Count(); ++i) {
      if (x->Kind() == nkObject &&
          static_cast<const TJsonObject*>(x)->Name(i) != static_cast<const TJsonObject*>(y)->Name(i))
        return "member names differ";
      pending.emplace_back(cx->Child(i), cy->Child(i));
    }
  }
  return "";
}

// ---- edit locating on a tree --------------------------------------------------------

namespace {

TLocatedEdit Refused(const TI18nKey& reason) {
  TLocatedEdit refused;
  refused.Refusal = tr(reason);
  return refused;
}

// Walks the structure tree and the value tree side by side from (s, v):
// documents are stepped through, and the i-th child pairs with the i-th item
// or member. parent receives the container of the node found.
const TStructuredNode* Find(const TStructuredNode* s, const TJsonData* v, const TJsonData* target,
                            const TStructuredNode** parent) {
  if (!s || !v) return nullptr;
  if (s->Kind == skDocument) return s->ChildCount() ? Find(s->ChildAt(0), v, target, parent) : nullptr;
  if (v == target) return s;
  if ((s->Kind != skStream && s->Kind != skMapping && s->Kind != skSequence) ||
      (v->Kind() != nkArray && v->Kind() != nkObject))
    return nullptr;
  const auto* items = static_cast<const TJsonContainer*>(v);
  for (size_t i = 0; i < s->ChildCount() && i < items->Count(); ++i) {
    if (const TStructuredNode* hit = Find(s->ChildAt(i), items->Child(i), target, parent)) {
      if (!*parent) *parent = s;
      return hit;
    }
  }
  return nullptr;
}

// A one-document file's value tree is that document's content; several
// documents make an array of them.
const TStructuredNode* FindFromRoot(const TStructuredNode& root, const TJsonData* valueRoot,
                                    const TJsonData* target, const TStructuredNode** parent) {
  *parent = nullptr;
  return Find(root.ChildCount() == 1 ? root.ChildAt(0) : &root, valueRoot, target, parent);
}

// A tree node as the writing rules read a record.
TNodeView ViewOf(const TStructuredNode& n) {
  TNodeView v;
  v.Kind = n.Kind;
  v.Style = n.Style;
  v.KeyStyle = n.KeyStyle;
  v.KeyNotScalar = n.KeyNotScalar;
  v.StartOffset = int32_t(n.StartOffset);
  v.EndOffset = int32_t(n.EndOffset);
  v.KeyStart = int32_t(n.KeyStart);
  v.KeyEnd = int32_t(n.KeyEnd);
  v.Key = n.Key;
  v.Value = n.Value;
  v.Anchor = n.Anchor;
  v.Tag = n.Tag;
  return v;
}

// Where s stands in parent, by the writing rules' own reading.
TEditPlace PlaceOf(const std::string& bytes, const TStructuredNode& s, const TStructuredNode* parent) {
  if (!parent) return EditPlaceOf(bytes, ViewOf(s), nullptr);
  const TNodeView container = ViewOf(*parent);
  return EditPlaceOf(bytes, ViewOf(s), &container);
}

// The replaced text parsed again must give the same tree, except that the
// target's Value (or, for a rename, its Key) now reads expected. newTarget
// receives the target's node in the new tree.
bool Proven(const std::string& bytes, const TLocatedEdit& edit, TDocumentLanguage language,
            const TStructuredNode& before, const TStructuredNode* target, bool rename, std::string_view expected,
            TStructuredNodePtr& after, const TStructuredNode** newTarget) {
  const std::string text = bytes.substr(0, size_t(edit.Start)) + edit.Replacement +
                           bytes.substr(size_t(edit.Start + edit.Length));
  std::u16string error;
  if (!ParseTree(text, language, after, error)) return false;
  std::vector<std::pair<const TStructuredNode*, const TStructuredNode*>> pending{{&before, after.get()}};
  while (!pending.empty()) {
    auto [b, a] = pending.back();
    pending.pop_back();
    if (b == target) *newTarget = a;
    if (b->ChildCount() != a->ChildCount() || b->Kind != a->Kind || b->Anchor != a->Anchor || b->Tag != a->Tag ||
        b->KeyNotScalar != a->KeyNotScalar)
      return false;
    const bool same = b != target ? b->Key == a->Key && b->Value == a->Value && b->Style == a->Style &&
                                        b->KeyStyle == a->KeyStyle
                      : rename ? a->Key == expected && b->Value == a->Value && b->Style == a->Style
                               : b->Key == a->Key && a->Value == expected;
    if (!same) return false;
    for (size_t i = 0; i < b->ChildCount(); ++i) pending.emplace_back(b->ChildAt(i), a->ChildAt(i));
  }
  return true;
}

}  // namespace

TLocatedEdit LocateValueEditOnTree(const std::string& bytes, const TStructuredNode& root,
                                   const TJsonData* valueRoot, const TJsonData* valueNode,
                                   TDocumentLanguage language, std::u16string_view newText,
                                   const TJsonData* newValue) {
  const TStructuredNode* parent = nullptr;
  const TStructuredNode* s = FindFromRoot(root, valueRoot, valueNode, &parent);
  if (!s) return Refused(i18n::kErrorUnsafeEdit);
  const TJsonData& value = newValue ? *newValue : *valueNode;
  const TLocatedEdit edit =
      WriteValueEdit(bytes, language, ViewOf(*s), PlaceOf(bytes, *s, parent), WritesAsString(value), newText);
  if (!edit.Accepted()) return edit;
  const std::string typed = Utf16ToUtf8(newText);
  TStructuredNodePtr after;
  const TStructuredNode* now = nullptr;
  const bool bySearch = language == TDocumentLanguage::Toml && s->StartOffset < 0;
  if (!Proven(bytes, edit, language, root, s, false, ExpectedRecordValue(language, edit, typed), after, &now))
    return Refused(bySearch ? i18n::kErrorTomlAmbiguous : i18n::kErrorUnsafeEdit);
  if (!ReadsBackAsTyped(language, ViewOf(*now), value, typed)) return Refused(i18n::kErrorUnsafeEdit);
  return edit;
}

TLocatedEdit LocateKeyRenameOnTree(const std::string& bytes, const TStructuredNode& root,
                                   const TJsonData* valueRoot, const TJsonData* valueNode,
                                   TDocumentLanguage language, std::u16string_view newKey) {
  const TStructuredNode* parent = nullptr;
  const TStructuredNode* s = newKey.empty() ? nullptr : FindFromRoot(root, valueRoot, valueNode, &parent);
  if (!s || s->Key.empty() || s->KeyNotScalar) return Refused(i18n::kErrorUnsafeKey);
  const std::string key = Utf16ToUtf8(newKey);
  for (size_t i = 0; parent && i < parent->ChildCount(); ++i)
    if (parent->ChildAt(i) != s && !parent->ChildAt(i)->KeyNotScalar && parent->ChildAt(i)->Key == key)
      return Refused(i18n::kErrorUnsafeKey);
  const TLocatedEdit edit = WriteKeyRename(bytes, language, ViewOf(*s), PlaceOf(bytes, *s, parent), newKey);
  if (!edit.Accepted()) return edit;
  TStructuredNodePtr after;
  const TStructuredNode* now = nullptr;
  if (!Proven(bytes, edit, language, root, s, true, key, after, &now)) return Refused(i18n::kErrorUnsafeKey);
  return edit;
}

std::string CompareEdits(const TLocatedEdit& a, const TLocatedEdit& b) {
  if (a.Start != b.Start || a.Length != b.Length) return "spans differ";
  if (a.Replacement != b.Replacement) return "replacements differ: " + a.Replacement + " / " + b.Replacement;
  if (a.Refusal != b.Refusal) return "refusals differ: " + Utf16ToUtf8(a.Refusal) + " / " + Utf16ToUtf8(b.Refusal);
  return "";
}

}  // namespace corvane::test
