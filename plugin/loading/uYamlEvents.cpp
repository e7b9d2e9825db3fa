// YAML structure records from the parser library's events.
//
// Contract:
//  - Event order: STREAM-START, then per document DOCUMENT-START, at most one
//    content node, DOCUMENT-END, and finally STREAM-END. Anything else fails
//    with "YAML stream start missing", "YAML document start missing" or
//    "YAML document end missing"; a syntax error fails with the library's
//    "... at line L, column C" text.
//  - Node spans are byte offsets into exactly the parsed text (a byte-order
//    mark counted), from the events' character index (see TMarkLocator),
//    which, unlike their line and column, no line-break rule (the YAML
//    parser also ends lines at NEL, LS and PS) can shift. A document's span
//    runs from its first token (a directive, "---", or its content) to the
//    end of its end event. A start position that is not in the text fails
//    with "Cannot locate YAML node in source"; an end position that is not in the text leaves
//    EndOffset -1.
//  - Nodes go into a structure index in pre-order as their start events
//    arrive; collections are tracked with an explicit stack of open nodes,
//    never by recursion. Nesting deeper than kMaxYamlNesting collections fails
//    with "YAML nesting deeper than N levels at line L, column C" and stops reading
//    events there: the YAML parser's own cost grows with the square of the
//    flow nesting depth, so a small file of brackets would otherwise hold the
//    host's window for minutes.
//  - Inside, a failure raises EStructureError (or the binding's
//    EParserBinding); ParseYamlIndex catches it at its boundary, empties the
//    records and returns false with the text.
#include "uYamlEvents.h"

#include <cstring>
#include <new>
#include <string>

#include "uI18n.h"
#include "uParserBinding.h"
#include "uUnicode.h"

namespace corvane {

namespace {

// The key of a mapping pair while its value is being read. Scalar and alias
// keys are kept as these few fields only; a key that is a collection is read
// into the index like any node and then cut back to this once it is complete.
struct TPendingKey {
  bool Present = false;
  std::string Text;
  int32_t Start = -1;
  int32_t End = -1;
  int Style = 0;
  bool NotScalar = false;
};

// One open collection: its record and, for a mapping, the key waiting for
// its value. IsKey marks a collection that is itself a mapping key.
struct TOpenNode {
  size_t Record;
  int Kind;
  bool IsKey;
  TPendingKey Key;
};

// Node kind an event starts; raises for an event that starts no node.
int NodeKindOf(const TYamlEventView& e) {
  switch (e.Kind()) {
    case yeAlias: return skAlias;
    case yeScalar: return skScalar;
    case yeSequenceStart: return skSequence;
    case yeMappingStart: return skMapping;
    default: throw EStructureError("Unexpected YAML event");
  }
}

// Places event marks in the text. The parser counts a mark's character
// index from the first character after an optional UTF-8 byte-order mark,
// one per code point (CR LF is two), so the byte offset of a mark is where
// the index-th byte that is no UTF-8 continuation byte (10xxxxxx) stands.
// No line-break rule can shift that index, unlike the mark's line and
// column, which the parser counts with NEL, LS and PS as line breaks too.
// The marks of a document's events come in text order, give or take a
// node's end and the next node's start, so a cursor kept at the last mark
// walks each stretch of the text about once: a whole file costs one pass
// over its bytes, eight at a time.
class TMarkLocator {
 public:
  explicit TMarkLocator(std::string_view text) : text_(text) {
    const bool bom = text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
                     static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
    base_ = byte_ = bom ? 3 : 0;
  }

  std::string_view Text() const { return text_; }

  int32_t Start(const TYamlEventView& e) {
    const std::ptrdiff_t start = FromIndex(e.StartIndex());
    if (start < 0) throw EStructureError("Cannot locate YAML node in source");
    return static_cast<int32_t>(start);
  }

  int32_t End(const TYamlEventView& e) { return static_cast<int32_t>(FromIndex(e.EndIndex())); }

 private:
  std::string_view text_;
  // The cursor: byte_ is where the character numbered char_ starts (or the
  // text's end).
  std::ptrdiff_t char_ = 0;
  std::ptrdiff_t byte_ = 0;
  std::ptrdiff_t base_ = 0;  // where character 0 starts

  static bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

  // Characters (bytes that are not continuation bytes) among eight bytes.
  static int CharactersIn(const char* at) {
    uint64_t word;
    std::memcpy(&word, at, 8);
    // A continuation byte has bit 7 set and bit 6 clear.
    const uint64_t continuation = word & ~(word << 1) & 0x8080808080808080ull;
    int count = 0;
    for (uint64_t bits = continuation; bits; bits &= bits - 1) ++count;
    return 8 - count;
  }

  std::ptrdiff_t FromIndex(std::ptrdiff_t index) {
    if (index < 0) return -1;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text_.size());
    const char* t = text_.data();
    if (index >= char_) {
      // Whole words while at least eight characters remain to pass: a word
      // holds at most eight, so it never overshoots.
      while (index - char_ >= 8 && byte_ + 8 <= n) {
        char_ += CharactersIn(t + byte_);
        byte_ += 8;
      }
      // A word may have ended inside a character: its remaining bytes
      // belong to the character before the cursor.
      while (byte_ < n && IsContinuation(t[byte_])) ++byte_;
      while (char_ < index && byte_ < n) {
        ++byte_;
        while (byte_ < n && IsContinuation(t[byte_])) ++byte_;
        ++char_;
      }
    } else {
      while (char_ > index && byte_ > base_) {
        --byte_;
        while (byte_ > base_ && IsContinuation(t[byte_])) --byte_;
        --char_;
      }
    }
    return char_ == index ? byte_ : -1;
  }
};

void ReadEvent(TYamlEventReader& reader, TYamlEventView& e) {
  if (!reader.NextView(e))
    throw EStructureError(reader.LastErrorUtf8(), reader.LastErrorLine(), reader.LastErrorColumn());
}

EStructureError TooDeep(std::ptrdiff_t line, std::ptrdiff_t column) {
  return EStructureError("YAML nesting deeper than " + std::to_string(kMaxYamlNesting) + " levels at line " +
                             std::to_string(line) + ", column " + std::to_string(column),
                         line, column);
}

class TYamlIndexBuilder {
 public:
  TYamlIndexBuilder(TStructureIndex& index, TMarkLocator& marks) : index_(index), marks_(marks) {}

  // Reads the node that starts with `first` and its whole subtree.
  // Every event's texts are used before the next one is read.
  void BuildNode(TYamlEventReader& reader, const TYamlEventView& first) {
    open_.clear();
    TYamlEventView event;
    const TYamlEventView* current = &first;
    for (;;) {
      Start(*current);
      // Close every collection whose end event follows.
      for (;;) {
        if (open_.empty()) return;
        ReadEvent(reader, event);
        if (!ClosesTop(event)) break;
        Close(event);
      }
      current = &event;
    }
  }

 private:
  TStructureIndex& index_;
  TMarkLocator& marks_;
  std::vector<TOpenNode> open_;

  bool ExpectsKey() const { return !open_.empty() && open_.back().Kind == skMapping && !open_.back().Key.Present; }

  // True when e closes the innermost open collection (a mapping only when no
  // key is waiting for its value).
  bool ClosesTop(const TYamlEventView& e) const {
    const TOpenNode& top = open_.back();
    if (top.Kind == skSequence) return e.Kind() == yeSequenceEnd;
    return e.Kind() == yeMappingEnd && !top.Key.Present;
  }

  // Only the fields the node needs are asked of the event: a collection's
  // end comes from its end event, so its start event's end mark is skipped.
  void Start(const TYamlEventView& e) {
    const int kind = NodeKindOf(e);
    const bool isCollection = kind == skSequence || kind == skMapping;
    const bool isKey = ExpectsKey();
    if (isKey && !isCollection) {
      // A scalar or alias key: its text and span wait for the value.
      TPendingKey& key = open_.back().Key;
      key.Start = marks_.Start(e);
      key.End = marks_.End(e);
      if (kind == skAlias) {
        key.Text = e.Anchor();
        key.Style = 0;
      } else {
        key.Text = e.Value();
        key.Style = e.ScalarStyle();
      }
      key.NotScalar = kind != skScalar;
      key.Present = true;
      return;
    }
    if (isCollection && open_.size() >= static_cast<size_t>(kMaxYamlNesting)) throw TooDeep(e.Line(), e.Column());
    TStructureRecord r;
    r.Kind = static_cast<int8_t>(kind);
    r.StartOffset = marks_.Start(e);
    r.EndOffset = isCollection ? -1 : marks_.End(e);
    if (kind == skScalar) r.Style = static_cast<int8_t>(e.ScalarStyle());
    std::string_view keyText;
    TPendingKey* key = nullptr;
    if (!isKey && !open_.empty() && open_.back().Kind == skMapping) {
      // The value of a pair carries its key.
      key = &open_.back().Key;
      keyText = key->Text;
      r.KeyStart = key->Start;
      r.KeyEnd = key->End;
      r.KeyStyle = static_cast<int8_t>(key->Style);
      if (key->NotScalar) r.Flags = TStructureIndex::kKeyNotScalar;
    }
    std::string_view value, anchor, tag;
    if (kind == skAlias) {
      value = e.Anchor();
    } else {
      if (kind == skScalar) value = e.Value();
      anchor = e.Anchor();
      tag = e.Tag();
    }
    const size_t record = index_.Add(r, marks_.Text(), value, keyText, anchor, tag);
    if (key) *key = TPendingKey{};
    if (isCollection) open_.push_back({record, kind, isKey, TPendingKey{}});
  }

  // Closes the innermost open collection at its end event.
  void Close(const TYamlEventView& e) {
    const TOpenNode done = std::move(open_.back());
    open_.pop_back();
    TStructureRecord& r = index_.Records[done.Record];
    r.EndOffset = marks_.End(e);
    r.SubtreeEnd = static_cast<uint32_t>(index_.Records.size());
    if (!done.IsKey) return;
    // A collection used as a key: only its kind and span are kept.
    TPendingKey& key = open_.back().Key;
    key = TPendingKey{true, std::string(), r.StartOffset, r.EndOffset, 0, true};
    index_.Truncate(done.Record);
  }
};

void ParseEvents(const std::string& text, TStructureIndex& index) {
  if (text.size() > kMaxIndexedTextBytes) throw EStructureError("YAML text larger than 2147483647 bytes");
  TMarkLocator marks(text);
  TYamlEventReader reader(text);
  TYamlIndexBuilder builder(index, marks);
  TYamlEventView event;
  ReadEvent(reader, event);
  if (event.Kind() != yeStreamStart) throw EStructureError("YAML stream start missing");
  TStructureRecord stream;
  stream.Kind = skStream;
  index.Add(stream, text, {}, {}, {}, {});
  for (;;) {
    ReadEvent(reader, event);
    if (event.Kind() == yeStreamEnd) break;
    if (event.Kind() != yeDocumentStart) throw EStructureError("YAML document start missing");
    TStructureRecord document;
    document.Kind = skDocument;
    document.StartOffset = marks.Start(event);
    const size_t doc = index.Add(document, text, {}, {}, {}, {});
    ReadEvent(reader, event);
    if (event.Kind() != yeDocumentEnd) {
      builder.BuildNode(reader, event);
      ReadEvent(reader, event);
      if (event.Kind() != yeDocumentEnd) throw EStructureError("YAML document end missing");
    }
    index.Records[doc].EndOffset = marks.End(event);
    index.Records[doc].SubtreeEnd = static_cast<uint32_t>(index.Records.size());
  }
  index.Records[0].SubtreeEnd = static_cast<uint32_t>(index.Records.size());
}

}  // namespace

bool ParseYamlIndex(const std::string& text, TStructureIndex& index, TLoadError& error) {
  error = TLoadError();
  index.Clear();
  try {
    ParseEvents(text, index);
    return true;
  } catch (const std::bad_alloc&) {
    error.Text = tr(i18n::kErrorOutOfMemory);
  } catch (const ELoadFailure& e) {
    error = LoadErrorOf(e, text);
  } catch (const std::exception& e) {
    error.Text = Utf8ToUtf16(e.what());
    error.InText = true;
  }
  index.Clear();
  return false;
}

bool ValidateYaml(const std::string& text, std::u16string& error) {
  TStructureIndex index;
  TLoadError failure;
  const bool ok = ParseYamlIndex(text, index, failure);
  error = std::move(failure.Text);
  return ok;
}

}  // namespace corvane
