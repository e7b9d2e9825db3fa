// YAML structure tree from the parser library's events.
//
// Contract:
//  - Event order: STREAM-START, then per document DOCUMENT-START, at most one
//    content node, DOCUMENT-END, and finally STREAM-END. Anything else fails
//    with "YAML stream start missing", "YAML document start missing" or
//    "YAML document end missing"; a syntax error fails with the library's
//    "... at line L, column C" text.
//  - Node spans are byte offsets into exactly the parsed text (a byte-order
//    mark counted), from the events' line and column. The YAML parser also
//    ends lines at NEL, LS and PS; in a text holding one of those, spans come
//    from the events' character index instead, so they cannot drift. A start
//    position that is not in the text fails with "Cannot locate YAML node in
//    source"; an end position that is not in the text leaves EndOffset -1.
//  - Collections are built with an explicit stack of open nodes, never by
//    recursion. Nesting deeper than kMaxYamlNesting collections fails with
//    "YAML nesting deeper than N levels at line L, column C" and stops reading
//    events there: the YAML parser's own cost grows with the square of the
//    flow nesting depth, so a small file of brackets would otherwise hold the
//    host's window for minutes.
#include "uYamlEvents.h"

#include <new>
#include <string>

#include "uUnicode.h"

namespace corvane {

namespace {

// The key of a mapping pair while its value is being built. Scalar and
// alias keys are kept as these few fields only (no node is allocated for
// them); a key that is a collection is built as a node and reduced to this
// once it is complete.
struct TPendingKey {
  bool Present = false;
  std::string Text;
  std::ptrdiff_t Start = -1;
  std::ptrdiff_t End = -1;
  int Style = 0;
  bool NotScalar = false;
};

// One open collection: the node being filled and, for a mapping, the key
// waiting for its value. Its finished children wait in the builder's shared
// pending list from FirstChild on, and move into the node's own list, sized
// exactly, when the collection closes: no list grows by doubling and no
// spare capacity stays behind in the finished tree.
struct TOpenNode {
  TStructuredNodePtr Node;
  TPendingKey Key;
  size_t FirstChild;
};

struct TBuildState {
  std::vector<TOpenNode> Open;
  std::vector<TStructuredNodePtr> Pending;
  TStructuredNodePtr Result;
};

// Node kind an event starts; raises for an event that starts no node.
int NodeKindOf(const TYamlEvent& e) {
  switch (e.Kind) {
    case yeAlias: return skAlias;
    case yeScalar: return skScalar;
    case yeSequenceStart: return skSequence;
    case yeMappingStart: return skMapping;
    default: throw EStructureError("Unexpected YAML event");
  }
}

// Byte offset of an event mark. Normally from its line and column; in a
// text where the parser counts more line breaks than CR and LF, from its
// character index, which no line-break rule can shift.
// At the end of a text without a final line break, the parser places the
// marks of the stream's last (empty) nodes on a line after the last one, as
// if the break were there: "a: 1\n---" would then fail to load. Such a mark
// is taken from the character index, which still points at the text's end.
std::ptrdiff_t Locate(const TLineIndex& index, std::ptrdiff_t line, std::ptrdiff_t column, std::ptrdiff_t character) {
  if (index.HasOtherLineBreaks()) return index.OffsetOfCharacter(character);
  const std::ptrdiff_t offset = index.Offset(line, column);
  if (offset < 0 && line > index.LineCount()) return index.OffsetOfCharacter(character);
  return offset;
}

std::ptrdiff_t EndOf(const TYamlEvent& e, const TLineIndex& index) {
  return Locate(index, e.EndLine, e.EndColumn, e.EndIndex);
}

std::ptrdiff_t StartOf(const TYamlEvent& e, const TLineIndex& index) {
  const std::ptrdiff_t start = Locate(index, e.Line, e.Column, e.StartIndex);
  if (start < 0) throw EStructureError("Cannot locate YAML node in source");
  return start;
}

TStructuredNodePtr NodeFromEvent(TYamlEvent& e, const TLineIndex& index) {
  const int kind = NodeKindOf(e);
  auto node = std::make_unique<TStructuredNode>(kind);
  node->StartOffset = StartOf(e, index);
  node->EndOffset = EndOf(e, index);
  node->Value = kind == skAlias ? std::string_view(e.Anchor) : std::string_view(e.Value);
  node->Anchor = e.Anchor;
  node->Tag = e.Tag;
  node->Style = e.ScalarStyle;
  node->Line = e.Line;
  node->Column = e.Column;
  return node;
}

// A scalar or alias event read where a mapping expects a key: its text and
// span go straight into the pending key.
void TakeKeyEvent(TYamlEvent& e, const TLineIndex& index, TPendingKey& key) {
  const int kind = NodeKindOf(e);
  key.Start = StartOf(e, index);
  key.End = EndOf(e, index);
  key.Text = kind == skAlias ? std::move(e.Anchor) : std::move(e.Value);
  key.Style = e.ScalarStyle;
  key.NotScalar = kind != skScalar;
  key.Present = true;
}

bool ExpectsKey(const std::vector<TOpenNode>& open) {
  return !open.empty() && open.back().Node->Kind == skMapping && !open.back().Key.Present;
}

void ReadEvent(TYamlEventReader& reader, TYamlEvent& e) {
  if (!reader.Next(e)) throw EStructureError(reader.LastErrorUtf8());
}

// Hands a finished node to the innermost open collection (or to the result
// when none is open). In a mapping the first node of a pair is the key, kept
// until its value arrives; the value node then carries the key's text and
// span.
void Attach(TBuildState& state, TStructuredNodePtr node) {
  if (state.Open.empty()) {
    state.Result = std::move(node);
    return;
  }
  TOpenNode& parent = state.Open.back();
  if (parent.Node->Kind == skSequence) {
    state.Pending.push_back(std::move(node));
  } else if (!parent.Key.Present) {
    // A collection used as a key: only its kind and span are kept.
    parent.Key = TPendingKey{true, node->Value.str(), node->StartOffset, node->EndOffset, node->Style,
                             node->Kind != skScalar};
  } else {
    TPendingKey& key = parent.Key;
    node->Key = std::move(key.Text);
    node->KeyNotScalar = key.NotScalar;
    node->KeyStart = key.Start;
    node->KeyEnd = key.End;
    node->KeyStyle = key.Style;
    key = TPendingKey{};
    state.Pending.push_back(std::move(node));
  }
}

// Closes the innermost open collection: its pending children move into it.
TStructuredNodePtr CloseTop(TBuildState& state) {
  TOpenNode& top = state.Open.back();
  TStructuredNodePtr done = std::move(top.Node);
  const size_t first = top.FirstChild;
  state.Open.pop_back();
  done->Children.reserve(state.Pending.size() - first);
  for (size_t i = first; i < state.Pending.size(); ++i) done->Children.push_back(std::move(state.Pending[i]));
  state.Pending.resize(first);
  return done;
}

// True when e closes the innermost open collection (a mapping only when no
// key is waiting for its value).
bool ClosesTop(const std::vector<TOpenNode>& open, const TYamlEvent& e) {
  const TOpenNode& top = open.back();
  if (top.Node->Kind == skSequence) return e.Kind == yeSequenceEnd;
  return e.Kind == yeMappingEnd && !top.Key.Present;
}

EStructureError TooDeep(const TStructuredNode& node) {
  return EStructureError("YAML nesting deeper than " + std::to_string(kMaxYamlNesting) + " levels at line " +
                         std::to_string(node.Line) + ", column " + std::to_string(node.Column));
}

}  // namespace

TStructuredNodePtr BuildYamlNode(TYamlEventReader& reader, TYamlEvent& first, const TLineIndex& index) {
  TBuildState state;
  std::vector<TOpenNode>& open = state.Open;
  TYamlEvent event;
  TYamlEvent* current = &first;
  for (;;) {
    if (ExpectsKey(open) && (current->Kind == yeScalar || current->Kind == yeAlias)) {
      TakeKeyEvent(*current, index, open.back().Key);
    } else {
      TStructuredNodePtr node = NodeFromEvent(*current, index);
      if (node->Kind == skSequence || node->Kind == skMapping) {
        if (open.size() >= static_cast<size_t>(kMaxYamlNesting)) throw TooDeep(*node);
        open.push_back({std::move(node), TPendingKey{}, state.Pending.size()});
      } else {
        Attach(state, std::move(node));
      }
    }
    // Close every collection whose end event follows.
    for (;;) {
      if (open.empty()) return std::move(state.Result);
      ReadEvent(reader, event);
      if (!ClosesTop(open, event)) break;
      TStructuredNodePtr done = CloseTop(state);
      done->EndOffset = EndOf(event, index);
      Attach(state, std::move(done));
    }
    current = &event;
  }
}

namespace {

TStructuredNodePtr ParseEvents(const std::string& text) {
  const TLineIndex index(text);
  TYamlEventReader reader(text);
  TYamlEvent event;
  ReadEvent(reader, event);
  if (event.Kind != yeStreamStart) throw EStructureError("YAML stream start missing");
  auto root = std::make_unique<TStructuredNode>(skStream);
  for (;;) {
    ReadEvent(reader, event);
    if (event.Kind == yeStreamEnd) break;
    if (event.Kind != yeDocumentStart) throw EStructureError("YAML document start missing");
    TStructuredNode* doc = root->AddChild(std::make_unique<TStructuredNode>(skDocument));
    ReadEvent(reader, event);
    if (event.Kind == yeDocumentEnd) continue;
    doc->AddChild(BuildYamlNode(reader, event, index));
    ReadEvent(reader, event);
    if (event.Kind != yeDocumentEnd) throw EStructureError("YAML document end missing");
  }
  return root;
}

}  // namespace

bool ParseYamlStructure(const std::string& text, TStructuredNodePtr& root, std::u16string& error) {
  error.clear();
  root.reset();
  try {
    root = ParseEvents(text);
    return true;
  } catch (const std::bad_alloc&) {
    error = u"Not enough memory to parse the YAML text";
  } catch (const std::exception& e) {
    error = Utf8ToUtf16(e.what());
  }
  root.reset();
  return false;
}

bool ValidateYaml(const std::string& text, std::u16string& error) {
  TStructuredNodePtr root;
  return ParseYamlStructure(text, root, error);
}

}  // namespace corvane
