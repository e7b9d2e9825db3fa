// Flat structure records: texts, node trees and value trees from them.
#include "uStructureIndex.h"

#include <cstring>

#include "uValueBuilding.h"

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
                            std::string_view key, std::string_view anchor, std::string_view tag) {
  const size_t poolStart = Pool.size();
  record.Flags &= kKeyNotScalar;
  std::string_view slice;
  if (SliceOf(source, record.Kind, record.Style, record.StartOffset, record.EndOffset, slice) && slice == value) {
    record.Flags |= kValueSlice;
  } else if (!value.empty()) {
    record.Flags |= kValueStored;
    PutText(Pool, value);
  }
  const int keyKind = (record.Flags & kKeyNotScalar) ? skAlias : skScalar;
  if (SliceOf(source, keyKind, record.KeyStyle, record.KeyStart, record.KeyEnd, slice) && slice == key) {
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
  if (Pool.size() > UINT32_MAX) {
    Pool.resize(poolStart);
    throw EStructureError("Document texts larger than 4 GB");
  }
  record.TextsAt = static_cast<uint32_t>(poolStart);
  if (record.SubtreeEnd == 0) record.SubtreeEnd = static_cast<uint32_t>(Records.size() + 1);
  Records.push_back(record);
  return Records.size() - 1;
}

void TStructureIndex::Truncate(size_t index) {
  if (index >= Records.size()) return;
  Pool.resize(Records[index].TextsAt);
  Records.truncate(index);
}

std::string_view TStructureIndex::Stored(size_t i, uint8_t which) const {
  const TStructureRecord& r = Records[i];
  if (!(r.Flags & which)) return {};
  const char* p = Pool.data() + r.TextsAt;
  for (uint8_t flag : {kValueStored, kKeyStored, kAnchorStored, kTagStored}) {
    if (!(r.Flags & flag)) continue;
    const size_t length = GetLength(p);
    if (flag == which) return std::string_view(p, length);
    p += length;
  }
  return {};
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
  if ((r.Flags & kKeySlice) && SliceOf(source, keyKind, r.KeyStyle, r.KeyStart, r.KeyEnd, slice)) return slice;
  return Stored(i, kKeyStored);
}

std::string_view TStructureIndex::Anchor(size_t i, std::string_view source) const {
  // An alias names its target in both its value and its anchor.
  if (Records[i].Kind == skAlias && !(Records[i].Flags & kAnchorStored)) return Value(i, source);
  return Stored(i, kAnchorStored);
}

std::string_view TStructureIndex::Tag(size_t i) const { return Stored(i, kTagStored); }

namespace {

size_t ChildCount(const TStructureIndex& index, size_t i) {
  const auto& r = index.Records;
  size_t count = 0;
  for (size_t c = i + 1; c < r[i].SubtreeEnd; c = r[c].SubtreeEnd) ++count;
  return count;
}

TStructuredNodePtr NodeOf(const TStructureIndex& index, std::string_view source, size_t i) {
  const TStructureRecord& r = index.Records[i];
  auto node = std::make_unique<TStructuredNode>(r.Kind);
  node->StartOffset = r.StartOffset;
  node->EndOffset = r.EndOffset;
  node->KeyStart = r.KeyStart;
  node->KeyEnd = r.KeyEnd;
  node->Style = r.Style;
  node->KeyStyle = r.KeyStyle;
  node->KeyNotScalar = (r.Flags & TStructureIndex::kKeyNotScalar) != 0;
  node->Key = index.Key(i, source);
  node->Value = index.Value(i, source);
  node->Anchor = index.Anchor(i, source);
  node->Tag = index.Tag(i);
  const size_t children = ChildCount(index, i);
  if (children) node->Children.reserve(children);
  return node;
}

// Records as a source for the shared conversion (uValueBuilding.h).
struct TRecordSource {
  using TNode = size_t;
  struct TCursor {
    size_t Next;
    size_t End;
  };
  const TStructureIndex& Index;
  std::string_view Text;

  TNode None() const { return std::string::npos; }
  bool IsNone(TNode n) const { return n == std::string::npos; }
  int Kind(TNode n) const { return Index.Records[n].Kind; }
  int Style(TNode n) const { return Index.Records[n].Style; }
  std::string_view Value(TNode n) const { return Index.Value(n, Text); }
  std::string_view Key(TNode n) const { return Index.Key(n, Text); }
  TNode FirstChild(TNode n) const { return Index.Records[n].SubtreeEnd > n + 1 ? n + 1 : None(); }
  size_t ChildCount(TNode n) const { return corvane::ChildCount(Index, n); }
  TCursor Children(TNode n) const { return {n + 1, Index.Records[n].SubtreeEnd}; }
  bool Done(const TCursor& c) const { return c.Next >= c.End; }
  TNode Take(TCursor& c) const {
    const size_t child = c.Next;
    c.Next = Index.Records[child].SubtreeEnd;
    return child;
  }
};

}  // namespace

TParserPosition ParserPosition(std::string_view text, std::ptrdiff_t offset, TParserPosition from) {
  const auto byte = [&](std::ptrdiff_t i) { return static_cast<unsigned char>(text[static_cast<size_t>(i)]); };
  const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(text.size());
  if (offset > size) offset = size;
  if (from.Offset > offset || from.Offset < 0) from = TParserPosition();
  std::ptrdiff_t i = from.Offset;
  if (i == 0 && size >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) i = offset >= 3 ? 3 : offset;
  std::ptrdiff_t line = from.Line, column = from.Column;
  while (i < offset) {
    const unsigned char b = byte(i);
    std::ptrdiff_t width = 1;
    bool lineBreak = false;
    if (b == '\n') {
      lineBreak = true;
    } else if (b == '\r') {
      lineBreak = true;
      if (i + 1 < size && byte(i + 1) == '\n') width = 2;
    } else if (b == 0xC2 && i + 1 < size && byte(i + 1) == 0x85) {
      lineBreak = true, width = 2;  // NEL
    } else if (b == 0xE2 && i + 2 < size && byte(i + 1) == 0x80 && (byte(i + 2) == 0xA8 || byte(i + 2) == 0xA9)) {
      lineBreak = true, width = 3;  // LS, PS
    }
    if (lineBreak && i + width <= offset) {
      ++line, column = 1;
      i += width;
      continue;
    }
    if ((b & 0xC0) != 0x80) ++column;
    ++i;
  }
  return {offset, line, column};
}

TStructuredNodePtr Materialize(const TStructureIndex& index, std::string_view source, size_t record) {
  if (record >= index.Records.size()) return nullptr;
  TParserPosition position;
  const auto place = [&](TStructuredNode& node) {
    if (node.Kind == skStream || node.Kind == skDocument || node.StartOffset < 0) return;
    position = ParserPosition(source, node.StartOffset, position);
    node.Line = position.Line;
    node.Column = position.Column;
  };
  TStructuredNodePtr root = NodeOf(index, source, record);
  place(*root);
  std::vector<std::pair<TStructuredNode*, size_t>> open{{root.get(), index.Records[record].SubtreeEnd}};
  const size_t end = index.Records[record].SubtreeEnd;
  for (size_t i = record + 1; i < end; ++i) {
    while (open.back().second <= i) open.pop_back();
    TStructuredNode* node = open.back().first->AddChild(NodeOf(index, source, i));
    place(*node);
    if (index.Records[i].SubtreeEnd > i + 1) open.emplace_back(node, index.Records[i].SubtreeEnd);
  }
  return root;
}

TStructuredNodePtr MaterializeNode(const TStructureIndex& index, std::string_view source, size_t record) {
  if (record >= index.Records.size()) return nullptr;
  TStructuredNodePtr node = NodeOf(index, source, record);
  std::vector<TStructuredNodePtr>().swap(node->Children);  // no room kept for children
  if (node->Kind != skStream && node->Kind != skDocument && node->StartOffset >= 0) {
    const TParserPosition position = ParserPosition(source, node->StartOffset);
    node->Line = position.Line;
    node->Column = position.Column;
  }
  return node;
}

TJsonDataPtr IndexToValue(const TStructureIndex& index, std::string_view source, size_t record, bool isToml) {
  return detail::BuildValue(TRecordSource{index, source}, record, isToml);
}

TJsonDataPtr IndexRootToValue(const TStructureIndex& index, std::string_view source, bool isToml) {
  if (index.Records.empty()) return std::make_unique<TJsonNull>();
  if (ChildCount(index, 0) == 1) return IndexToValue(index, source, 1, isToml);
  return IndexToValue(index, source, 0, isToml);
}

}  // namespace corvane
