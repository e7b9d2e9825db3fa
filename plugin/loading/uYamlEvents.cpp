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

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

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
    int32_t keyEnd = -1;
    TPendingKey* key = nullptr;
    if (!isKey && !open_.empty() && open_.back().Kind == skMapping) {
      // The value of a pair carries its key.
      key = &open_.back().Key;
      keyText = key->Text;
      r.KeyStart = key->Start;
      keyEnd = key->End;
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
    const size_t record = index_.Add(r, marks_.Text(), value, keyText, anchor, tag, keyEnd);
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

// The check that answers as the full load would, without records or a value
// tree. It follows ParseEvents and TYamlIndexBuilder event by event, raising
// the same failures at the same events, and proves what the value tree would
// refuse: a mapping key named twice (names cut as TJsonObject cuts them; the
// keys inside a key that is a collection are dropped with it, so they are
// not compared; a collection key's name is empty, an alias key's its
// target). What it cannot prove cheaply it leaves undecided:
//  - an event whose start the mark locator could not place (it counts
//    characters as bytes that are no UTF-8 continuation byte, which a UTF-16
//    text can undercount);
//  - texts that might fill the record pool beyond 4 GB (bounded by the sum
//    of every text the records could store);
//  - a container with more children than the value tree may hold.
class TYamlLoadCheck {
 public:
  explicit TYamlLoadCheck(const std::string& text) : text_(text) {}

  // Throws what ParseEvents throws; afterwards Duplicate() is the first
  // repeated name (the tree's error), Undecided() whether to load in full.
  void Run() {
    if (text_.size() > kMaxIndexedTextBytes) throw EStructureError("YAML text larger than 2147483647 bytes");
    TYamlEventReader reader(text_);
    TYamlEventView event;
    ReadEvent(reader, event);
    if (event.Kind() != yeStreamStart) throw EStructureError("YAML stream start missing");
    size_t documents = 0;
    for (;;) {
      ReadEvent(reader, event);
      if (event.Kind() == yeStreamEnd) break;
      if (event.Kind() != yeDocumentStart) throw EStructureError("YAML document start missing");
      Locate(event);
      ++documents;
      ReadEvent(reader, event);
      if (event.Kind() != yeDocumentEnd) {
        Node(reader, event);
        ReadEvent(reader, event);
        if (event.Kind() != yeDocumentEnd) throw EStructureError("YAML document end missing");
      }
    }
    if (documents > kMostChildren) tooMany_ = true;
  }

  bool Undecided() const {
    return tooMany_ || poolBound_ > UINT32_MAX || (maxStart_ >= 0 && maxStart_ > Characters());
  }
  bool HasDuplicate() const { return duplicateFound_; }
  const std::string& Duplicate() const { return duplicate_; }

 private:
  // Fewer than the value tree holds in one container on any platform.
  static constexpr size_t kMostChildren = size_t{1} << 28;
  // Names of more members than this are found through a hash table.
  static constexpr size_t kLinearNames = 12;

  struct TName {
    uint32_t At;  // in names_
    uint32_t Length;
    uint32_t Hash;
  };
  struct TFrame {
    int Kind = 0;
    bool IsKey = false;
    bool Dropped = false;  // a key or inside one: its members are never named in the tree
    bool KeyPresent = false;
    size_t Children = 0;
    size_t NamesFrom = 0;  // its names in names_ and entries_
    size_t EntriesFrom = 0;
    std::vector<uint32_t> Table;  // entry index + 1 per slot, when the names are many
  };

  const std::string& text_;
  std::vector<TFrame> frames_;  // [0, depth_) are open; kept to reuse their tables
  size_t depth_ = 0;
  std::string names_;  // the names of the open mappings, and the pending key's at the end
  std::vector<TName> entries_;
  TName pending_{};
  std::ptrdiff_t maxStart_ = -1;
  uint64_t poolBound_ = 0;
  bool tooMany_ = false;
  bool duplicateFound_ = false;
  std::string duplicate_;

  // What the locator counts: characters after an optional UTF-8 byte-order mark.
  std::ptrdiff_t Characters() const {
    const bool bom = text_.size() >= 3 && static_cast<unsigned char>(text_[0]) == 0xEF &&
                     static_cast<unsigned char>(text_[1]) == 0xBB && static_cast<unsigned char>(text_[2]) == 0xBF;
    const char* t = text_.data();
    size_t i = bom ? 3 : 0;
    std::ptrdiff_t count = 0;
    for (; i + 8 <= text_.size(); i += 8) {
      uint64_t word;
      std::memcpy(&word, t + i, 8);
      // A continuation byte has bit 7 set and bit 6 clear.
      uint64_t continuation = word & ~(word << 1) & 0x8080808080808080ull;
      int bytes = 0;
      for (; continuation; continuation &= continuation - 1) ++bytes;
      count += 8 - bytes;
    }
    for (; i < text_.size(); ++i) count += (static_cast<unsigned char>(t[i]) & 0xC0) != 0x80;
    return count;
  }

  void Locate(const TYamlEventView& e) {
    const std::ptrdiff_t start = e.StartIndex();
    if (start < 0) throw EStructureError("Cannot locate YAML node in source");
    if (start > maxStart_) maxStart_ = start;
  }

  // A text a record might store: its bytes and at most ten of length.
  void MayStore(std::string_view text) {
    if (!text.empty()) poolBound_ += text.size() + 10;
  }

  static uint32_t HashName(std::string_view name) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ name.size();
    for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return static_cast<uint32_t>(h ^ (h >> 32));
  }

  bool SameName(const TName& a, const TName& b) const {
    return a.Hash == b.Hash && a.Length == b.Length &&
           std::memcmp(names_.data() + a.At, names_.data() + b.At, a.Length) == 0;
  }

  void TableInsert(TFrame& f, size_t entry) {
    const size_t mask = f.Table.size() - 1;
    size_t slot = entries_[entry].Hash & mask;
    while (f.Table[slot] != 0) slot = (slot + 1) & mask;
    f.Table[slot] = static_cast<uint32_t>(entry + 1);
  }

  // Adds the pending name to mapping f; false when f already has it.
  bool AddName(TFrame& f) {
    const size_t count = entries_.size() - f.EntriesFrom;
    if (count <= kLinearNames) {
      for (size_t i = f.EntriesFrom; i < entries_.size(); ++i)
        if (SameName(entries_[i], pending_)) return false;
    } else {
      if (f.Table.size() < 2 * (count + 1)) {
        size_t size = 64;
        while (size < 4 * (count + 1)) size *= 2;
        f.Table.assign(size, 0);
        for (size_t i = f.EntriesFrom; i < entries_.size(); ++i) TableInsert(f, i);
      }
      const size_t mask = f.Table.size() - 1;
      for (size_t slot = pending_.Hash & mask; f.Table[slot] != 0; slot = (slot + 1) & mask)
        if (SameName(entries_[f.Table[slot] - 1], pending_)) return false;
      entries_.push_back(pending_);
      TableInsert(f, entries_.size() - 1);
      return true;
    }
    entries_.push_back(pending_);
    return true;
  }

  // The key of the top mapping, cut as the tree cuts member names, put after
  // the names kept so far.
  void SetPendingKey(std::string_view name) {
    TFrame& top = frames_[depth_ - 1];
    MayStore(name);
    top.KeyPresent = true;
    if (top.Dropped || duplicateFound_) return;
    const std::string_view cut = CutMemberName(name);
    pending_.At = static_cast<uint32_t>(names_.size());
    pending_.Length = static_cast<uint32_t>(cut.size());
    pending_.Hash = HashName(cut);
    names_.append(cut.data(), cut.size());
  }

  bool ExpectsKey() const {
    return depth_ > 0 && frames_[depth_ - 1].Kind == skMapping && !frames_[depth_ - 1].KeyPresent;
  }

  bool ClosesTop(const TYamlEventView& e) const {
    const TFrame& top = frames_[depth_ - 1];
    if (top.Kind == skSequence) return e.Kind() == yeSequenceEnd;
    return e.Kind() == yeMappingEnd && !top.KeyPresent;
  }

  void Node(TYamlEventReader& reader, const TYamlEventView& first) {
    depth_ = 0;
    names_.clear();
    entries_.clear();
    TYamlEventView event;
    const TYamlEventView* current = &first;
    for (;;) {
      Start(*current);
      for (;;) {
        if (depth_ == 0) return;
        ReadEvent(reader, event);
        if (!ClosesTop(event)) break;
        Close();
      }
      current = &event;
    }
  }

  void Start(const TYamlEventView& e) {
    const int kind = NodeKindOf(e);
    const bool isCollection = kind == skSequence || kind == skMapping;
    const bool isKey = ExpectsKey();
    if (isKey && !isCollection) {
      Locate(e);
      SetPendingKey(kind == skAlias ? e.Anchor() : e.Value());
      return;
    }
    if (isCollection && depth_ >= static_cast<size_t>(kMaxYamlNesting)) throw TooDeep(e.Line(), e.Column());
    Locate(e);
    if (kind == skAlias) {
      MayStore(e.Anchor());
    } else {
      if (kind == skScalar) MayStore(e.Value());
      MayStore(e.Anchor());
      MayStore(e.Tag());
    }
    bool dropped = isKey;
    if (depth_ > 0) {
      TFrame& parent = frames_[depth_ - 1];
      dropped = dropped || parent.Dropped;
      if (!isKey) {
        if (++parent.Children > kMostChildren) tooMany_ = true;
        if (parent.Kind == skMapping) {
          parent.KeyPresent = false;
          if (!parent.Dropped && !duplicateFound_ && !AddName(parent)) {
            duplicateFound_ = true;
            duplicate_.assign(names_, pending_.At, pending_.Length);
          }
        }
      }
    }
    if (!isCollection) return;
    if (frames_.size() <= depth_) frames_.emplace_back();
    TFrame& f = frames_[depth_++];
    f.Kind = kind;
    f.IsKey = isKey;
    f.Dropped = dropped;
    f.KeyPresent = false;
    f.Children = 0;
    f.NamesFrom = names_.size();
    f.EntriesFrom = entries_.size();
    f.Table.clear();
  }

  void Close() {
    TFrame& done = frames_[--depth_];
    names_.resize(done.NamesFrom);
    entries_.resize(done.EntriesFrom);
    if (!done.Table.empty()) done.Table = std::vector<uint32_t>();
    // A collection used as a key: an empty name, and the record's span only.
    if (done.IsKey) SetPendingKey({});
  }
};

// The same handling of a failure as the full load's: the error's text with
// its place, or the machine's out-of-memory text.
template <typename F>
bool CatchLoadFailure(const std::string& text, TLoadError& error, F&& work) {
  try {
    work();
    return true;
  } catch (const std::bad_alloc&) {
    error.Text = tr(i18n::kErrorOutOfMemory);
  } catch (const ELoadFailure& e) {
    error = LoadErrorOf(e, text);
  } catch (const std::exception& e) {
    error.Text = Utf8ToUtf16(e.what());
    error.InText = true;
  }
  return false;
}

}  // namespace

bool ParseYamlIndex(const std::string& text, TStructureIndex& index, TLoadError& error) {
  error = TLoadError();
  index.Clear();
  if (CatchLoadFailure(text, error, [&] { ParseEvents(text, index); })) return true;
  index.Clear();
  return false;
}

TLoadCheck CheckYamlLoads(const std::string& text, TLoadError& error) {
  error = TLoadError();
  TYamlLoadCheck check(text);
  const bool parsed = CatchLoadFailure(text, error, [&] { check.Run(); });
  // Out of memory here says nothing of the text; the full load decides.
  if (check.Undecided() || (!parsed && !error.InText)) {
    error = TLoadError();
    return TLoadCheck::Undecided;
  }
  if (!parsed) return TLoadCheck::Fails;
  if (check.HasDuplicate()) {
    // The tree's failure: its text alone, no place.
    error.Text = Utf8ToUtf16("Duplicate object member: \"" + check.Duplicate() + "\"");
    error.InText = true;
    return TLoadCheck::Fails;
  }
  return TLoadCheck::Loads;
}

bool ValidateYaml(const std::string& text, std::u16string& error) {
  TStructureIndex index;
  TLoadError failure;
  const bool ok = ParseYamlIndex(text, index, failure);
  error = std::move(failure.Text);
  return ok;
}

}  // namespace corvane
