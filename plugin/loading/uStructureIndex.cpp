// Flat structure records: their texts, and the value tree built from them.
#include "uStructureIndex.h"

#include <algorithm>
#include <cstring>

#include "uScalarTyping.h"

namespace corvane {

namespace {

void PutLength(std::string& pool, size_t length) {
  while (length >= 0x80) {
    pool.push_back(static_cast<char>((length & 0x7F) | 0x80));
    length >>= 7;
  }
  pool.push_back(static_cast<char>(length));
}

size_t GetLength(const char*& p) {
  size_t length = 0;
  for (int shift = 0;; shift += 7) {
    const unsigned char b = static_cast<unsigned char>(*p++);
    length |= static_cast<size_t>(b & 0x7F) << shift;
    if (b < 0x80) return length;
  }
}

void PutText(std::string& pool, std::string_view text) {
  PutLength(pool, text.size());
  pool.append(text.data(), text.size());
}

}  // namespace

bool TStructureIndex::SliceOf(std::string_view source, int kind, int style, int32_t start, int32_t end,
                              std::string_view& slice) {
  if (start < 0 || end < start || static_cast<size_t>(end) > source.size()) return false;
  size_t b = static_cast<size_t>(start), e = static_cast<size_t>(end);
  if (kind == skAlias) {
    if (b == e || source[b] != '*') return false;
    ++b;
  } else if (kind != skScalar) {
    return false;
  } else if (style == 2 || style == 3) {
    if (e - b < 2) return false;
    ++b, --e;
  } else if (style != 1) {
    return false;
  }
  slice = source.substr(b, e - b);
  return true;
}

size_t TStructureIndex::Add(TStructureRecord record, std::string_view source, std::string_view value,
                            std::string_view key, std::string_view anchor, std::string_view tag, int32_t keyEnd) {
  const size_t poolStart = Pool.size();
  record.Flags &= kKeyNotScalar;
  const bool keyEndFits = record.KeyStart < 0 ? keyEnd == -1
                                              : keyEnd >= record.KeyStart &&
                                                    int64_t{keyEnd} - record.KeyStart < TStructureRecord::kKeyEndStored;
  record.KeyLength = !keyEndFits            ? TStructureRecord::kKeyEndStored
                     : record.KeyStart < 0 ? 0
                                            : static_cast<uint16_t>(keyEnd - record.KeyStart);
  std::string_view slice;
  if (SliceOf(source, record.Kind, record.Style, record.StartOffset, record.EndOffset, slice) && slice == value) {
    record.Flags |= kValueSlice;
  } else if (!value.empty()) {
    record.Flags |= kValueStored;
    PutText(Pool, value);
  }
  const int keyKind = (record.Flags & kKeyNotScalar) ? skAlias : skScalar;
  if (SliceOf(source, keyKind, record.KeyStyle, record.KeyStart, keyEnd, slice) && slice == key) {
    record.Flags |= kKeySlice;
  } else if (!key.empty()) {
    record.Flags |= kKeyStored;
    PutText(Pool, key);
  }
  if (!anchor.empty()) {
    record.Flags |= kAnchorStored;
    PutText(Pool, anchor);
  }
  if (!tag.empty()) {
    record.Flags |= kTagStored;
    PutText(Pool, tag);
  }
  // After the texts: the key span's end, one more than it so that -1 fits.
  if (!keyEndFits) PutLength(Pool, static_cast<uint32_t>(keyEnd) + 1u);
  if (Pool.size() > UINT32_MAX) {
    Pool.resize(poolStart);
    throw EStructureError("Document texts larger than 4 GB");
  }
  if (record.SubtreeEnd == 0) record.SubtreeEnd = static_cast<uint32_t>(Records.size() + 1);
  if (Pool.size() > poolStart) textsAt_.push_back({static_cast<uint32_t>(Records.size()), static_cast<uint32_t>(poolStart)});
  Records.push_back(record);
  return Records.size() - 1;
}

void TStructureIndex::Truncate(size_t index) {
  if (index >= Records.size()) return;
  const auto from = std::lower_bound(textsAt_.begin(), textsAt_.end(), index,
                                     [](const TTextsAt& t, size_t record) { return t.Record < record; });
  if (from != textsAt_.end()) Pool.resize(from->At);
  textsAt_.erase(from, textsAt_.end());
  Records.truncate(index);
}

const char* TStructureIndex::StoredAt(size_t i) const {
  const auto texts = std::lower_bound(textsAt_.begin(), textsAt_.end(), i,
                                      [](const TTextsAt& t, size_t record) { return t.Record < record; });
  return texts == textsAt_.end() || texts->Record != i ? nullptr : Pool.data() + texts->At;
}

std::string_view TStructureIndex::Stored(size_t i, uint8_t which) const {
  const TStructureRecord& r = Records[i];
  if (!(r.Flags & which)) return {};
  const char* p = StoredAt(i);
  if (!p) return {};
  for (uint8_t flag : {kValueStored, kKeyStored, kAnchorStored, kTagStored}) {
    if (!(r.Flags & flag)) continue;
    const size_t length = GetLength(p);
    if (flag == which) return std::string_view(p, length);
    p += length;
  }
  return {};
}

int32_t TStructureIndex::KeyEnd(size_t i) const {
  const TStructureRecord& r = Records[i];
  if (r.KeyLength != TStructureRecord::kKeyEndStored) return r.KeyStart < 0 ? -1 : r.KeyStart + r.KeyLength;
  const char* p = StoredAt(i);
  if (!p) return -1;
  for (uint8_t flag : {kValueStored, kKeyStored, kAnchorStored, kTagStored})
    if (r.Flags & flag) p += GetLength(p);
  return static_cast<int32_t>(static_cast<uint32_t>(GetLength(p)) - 1u);
}

std::string_view TStructureIndex::Value(size_t i, std::string_view source) const {
  const TStructureRecord& r = Records[i];
  std::string_view slice;
  if ((r.Flags & kValueSlice) && SliceOf(source, r.Kind, r.Style, r.StartOffset, r.EndOffset, slice)) return slice;
  return Stored(i, kValueStored);
}

std::string_view TStructureIndex::Key(size_t i, std::string_view source) const {
  const TStructureRecord& r = Records[i];
  std::string_view slice;
  const int keyKind = (r.Flags & kKeyNotScalar) ? skAlias : skScalar;
  if ((r.Flags & kKeySlice) && SliceOf(source, keyKind, r.KeyStyle, r.KeyStart, KeyEnd(i), slice)) return slice;
  return Stored(i, kKeyStored);
}

std::string_view TStructureIndex::Anchor(size_t i, std::string_view source) const {
  // An alias names its target in both its value and its anchor.
  if (Records[i].Kind == skAlias && !(Records[i].Flags & kAnchorStored)) return Value(i, source);
  return Stored(i, kAnchorStored);
}

std::string_view TStructureIndex::Tag(size_t i) const { return Stored(i, kTagStored); }

TNodeView TStructureIndex::View(size_t i, std::string_view source) const {
  const TStructureRecord& r = Records[i];
  TNodeView v;
  v.Kind = r.Kind;
  v.Style = r.Style;
  v.KeyStyle = r.KeyStyle;
  v.KeyNotScalar = (r.Flags & kKeyNotScalar) != 0;
  v.StartOffset = r.StartOffset;
  v.EndOffset = r.EndOffset;
  v.KeyStart = r.KeyStart;
  v.KeyEnd = KeyEnd(i);
  v.Key = Key(i, source);
  v.Value = Value(i, source);
  v.Anchor = Anchor(i, source);
  v.Tag = Tag(i);
  return v;
}

size_t TStructureIndex::ChildCount(size_t i) const {
  size_t count = 0;
  for (size_t c = i + 1; c < Records[i].SubtreeEnd; c = Records[c].SubtreeEnd) ++count;
  return count;
}

namespace {

size_t SkipDocuments(const TStructureIndex& index, size_t i) {
  while (i != std::string::npos && index.Records[i].Kind == skDocument)
    i = index.Records[i].SubtreeEnd > i + 1 ? i + 1 : std::string::npos;
  return i;
}

bool HasChildren(const TStructureIndex& index, size_t i) {
  if (i == std::string::npos) return false;
  const int kind = index.Records[i].Kind;
  return (kind == skStream || kind == skSequence || kind == skMapping) && index.Records[i].SubtreeEnd > i + 1;
}

// The value for record i without its children: containers come back empty
// (with room for their children, so each allocates its list once).
TJsonDataPtr Shell(const TStructureIndex& index, std::string_view source, size_t i, TDocumentLanguage language) {
  if (i == std::string::npos) return std::make_unique<TJsonNull>();
  switch (index.Records[i].Kind) {
    case skStream:
    case skSequence: {
      auto array = std::make_unique<TJsonArray>();
      array->Reserve(index.ChildCount(i));
      return array;
    }
    case skMapping: {
      auto object = std::make_unique<TJsonObject>();
      object->Reserve(index.ChildCount(i));
      return object;
    }
    case skScalar: return ScalarToValue(index.Value(i, source), index.Records[i].Style, language);
    case skAlias: {
      const std::string_view target = index.Value(i, source);
      std::string text;
      text.reserve(target.size() + 1);
      text += '*';
      text += target;
      return std::make_unique<TJsonString>(text);
    }
    default: return std::make_unique<TJsonNull>();
  }
}

}  // namespace

TJsonDataPtr IndexToValue(const TStructureIndex& index, std::string_view source, size_t record,
                          TDocumentLanguage language) {
  struct TFrame {
    size_t Record;
    TJsonData* Target;
    size_t Next;  // the next child's record
    // The object among the children built last, and the one the target
    // object may take its member names from: in an array of similar
    // objects each repeats the names of the one before.
    TJsonObject* LastObject;
    const TJsonObject* Like;
  };
  // The whole tree shares large blocks: it is freed in a few heap calls.
  TNodeBatch batch;
  const size_t top = SkipDocuments(index, record);
  TJsonDataPtr result = Shell(index, source, top, language);
  if (!HasChildren(index, top)) return result;
  std::vector<TFrame> stack{{top, result.get(), top + 1, nullptr, nullptr}};
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.Next >= index.Records[frame.Record].SubtreeEnd) {
      stack.pop_back();
      continue;
    }
    const size_t child = frame.Next;
    frame.Next = index.Records[child].SubtreeEnd;
    const size_t inner = SkipDocuments(index, child);
    TJsonDataPtr value = Shell(index, source, inner, language);
    TJsonData* added = value.get();
    if (index.Records[frame.Record].Kind == skMapping)
      static_cast<TJsonObject*>(frame.Target)
          ->Add(std::string(index.Key(child, source)), std::move(value), frame.Like);
    else
      static_cast<TJsonArray*>(frame.Target)->Add(std::move(value));
    if (!HasChildren(index, inner)) continue;
    const TJsonObject* like = nullptr;
    if (added->Kind() == nkObject) {
      like = frame.LastObject;
      frame.LastObject = static_cast<TJsonObject*>(added);
    }
    stack.push_back({inner, added, inner + 1, nullptr, like});
  }
  return result;
}

TJsonDataPtr IndexRootToValue(const TStructureIndex& index, std::string_view source, TDocumentLanguage language) {
  if (index.Records.empty()) return std::make_unique<TJsonNull>();
  if (index.ChildCount(0) == 1) return IndexToValue(index, source, 1, language);
  return IndexToValue(index, source, 0, language);
}

}  // namespace corvane
