// TOML structure records from the parser library's table/array navigator.
//
// Contract:
//  - Only the entry pointers held by TTomlNative are called; every text they
//    return is borrowed and copied at once.
//  - Keys in the library's order (leaf keys, array keys, table keys); the
//    children of every node in that order, exactly as a depth-first walk
//    would give them. The walk keeps its own stack of open tables/arrays and
//    writes the nodes into a structure index in pre-order.
//  - A leaf's StartOffset / EndOffset are the span of its raw value text and
//    a table member's KeyStart / KeyEnd the span of its key as written, both
//    as the library's span entries give them; a span is kept only when it
//    lies within the text (a value's span must hold exactly its raw text),
//    and is -1 otherwise, as it is for every node when the library has no
//    span entries. Placed leaves and keys have style 1, so that a text equal
//    to its span (every raw value, every bare key) is not stored twice.
//    Tables and arrays have no spans (-1); the stream, the document and the
//    empty mapping of an empty text have 0.
#include "uTomlTree.h"

#include <algorithm>
#include <new>

#include "uI18n.h"
#include "uUnicode.h"

namespace corvane {

namespace {

// One open table or array of the library and the record receiving its
// children; Next is the index of the next key or element to visit.
struct TTomlFrame {
  void* Handle;
  bool IsTable;
  size_t Record;
  int Next;
  int Count;  // keys or elements
};

// Number of keys of a table: the library hands them out by index until null.
int TableKeyCount(const TTomlNative& n, void* table) {
  int count = 0;
  while (n.toml_table_key(table, count)) ++count;
  return count;
}

TStructureRecord Unplaced(int kind) {
  TStructureRecord r;
  r.Kind = static_cast<int8_t>(kind);
  r.StartOffset = r.EndOffset = -1;
  return r;
}

// A span the library gave, when it lies within the text.
bool Placed(bool given, size_t start, size_t end, std::string_view text, int32_t& from, int32_t& to) {
  if (!given || start >= end || end > text.size()) return false;
  from = static_cast<int32_t>(start);
  to = static_cast<int32_t>(end);
  return true;
}

// The spans of the child being visited: its value (a leaf) and its key (a
// table member).
void PlaceChild(const TTomlNative& n, const TTomlFrame& f, const char* key, const char* raw, std::string_view text,
                TStructureRecord& r, int32_t& keyEnd) {
  size_t start = 0, end = 0;
  if (raw) {
    const bool given = f.IsTable ? n.toml_table_raw_span && n.toml_table_raw_span(f.Handle, key, &start, &end)
                                 : n.toml_array_raw_span && n.toml_array_raw_span(f.Handle, f.Next, &start, &end);
    if (Placed(given, start, end, text, r.StartOffset, r.EndOffset) && text.substr(start, end - start) == raw)
      r.Style = 1;
    else
      r.StartOffset = r.EndOffset = -1;
  }
  if (!key) return;
  const bool given = n.toml_table_key_span && n.toml_table_key_span(f.Handle, key, &start, &end);
  if (Placed(given, start, end, text, r.KeyStart, keyEnd)) r.KeyStyle = 1;
}

void Open(const TTomlNative& n, std::vector<TTomlFrame>& stack, void* handle, bool isTable, size_t record) {
  const int count = isTable ? TableKeyCount(n, handle) : std::max(0, n.toml_array_count(handle));
  stack.push_back({handle, isTable, record, 0, count});
}

// Visits the next child of the innermost frame; false when it has no more.
// A child that is a table or array is pushed as a new frame.
bool VisitNext(const TTomlNative& n, std::string_view text, TStructureIndex& index, std::vector<TTomlFrame>& stack) {
  TTomlFrame f = stack.back();
  void *sub = nullptr, *arr = nullptr;
  const char* raw = nullptr;
  const char* key = nullptr;
  if (f.IsTable) {
    key = n.toml_table_key(f.Handle, f.Next);
    if (!key) return false;
    // Most keys hold leaves: asking for a raw value first needs one lookup
    // for them.
    raw = n.toml_table_raw(f.Handle, key);
    if (!raw) arr = n.toml_table_array(f.Handle, key);
    if (!raw && !arr) sub = n.toml_table_table(f.Handle, key);
  } else {
    if (f.Next >= f.Count) return false;
    raw = n.toml_array_raw(f.Handle, f.Next);
    if (!raw) arr = n.toml_array_array(f.Handle, f.Next);
    if (!raw && !arr) sub = n.toml_array_table(f.Handle, f.Next);
  }
  TStructureRecord r = Unplaced(sub ? skMapping : arr ? skSequence : skScalar);
  int32_t keyEnd = -1;
  PlaceChild(n, f, key, raw, text, r, keyEnd);
  stack.back().Next++;
  const size_t record = index.Add(r, text, raw ? std::string_view(raw) : std::string_view(),
                                  key ? std::string_view(key) : std::string_view(), {}, {}, keyEnd);
  if (sub) Open(n, stack, sub, true, record);
  if (arr) Open(n, stack, arr, false, record);
  return true;
}

// Writes the subtree below handle after its own record (a mapping for a
// table, a sequence for an array).
void Walk(const TTomlNative& n, std::string_view text, TStructureIndex& index, void* handle, bool isTable,
          size_t record) {
  std::vector<TTomlFrame> stack;
  Open(n, stack, handle, isTable, record);
  while (!stack.empty()) {
    if (VisitNext(n, text, index, stack)) continue;
    index.Records[stack.back().Record].SubtreeEnd = static_cast<uint32_t>(index.Records.size());
    stack.pop_back();
  }
}

void BuildTomlIndex(const TTomlNative& native, std::string_view text, TStructureIndex& index) {
  TStructureRecord plain;
  plain.Kind = skStream;
  index.Add(plain, {}, {}, {}, {}, {});
  plain.Kind = skDocument;
  index.Add(plain, {}, {}, {}, {}, {});
  void* table = native.toml_root(native.DocumentHandle);
  if (table) {
    Walk(native, text, index, table, true, index.Add(Unplaced(skMapping), {}, {}, {}, {}, {}));
  } else {
    plain.Kind = skMapping;
    index.Add(plain, {}, {}, {}, {}, {});
  }
  const uint32_t end = static_cast<uint32_t>(index.Records.size());
  index.Records[0].SubtreeEnd = index.Records[1].SubtreeEnd = end;
}

}  // namespace

bool ParseTomlIndex(const std::string& text, TStructureIndex& index, TLoadError& error) {
  error = TLoadError();
  index.Clear();
  try {
    if (text.size() > kMaxIndexedTextBytes) throw EStructureError("TOML text larger than 2147483647 bytes");
    // The library's document is released as soon as its structure is copied.
    const TTomlNative native(text);
    BuildTomlIndex(native, text, index);
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

bool ValidateToml(const std::string& text, std::u16string& error) {
  TStructureIndex index;
  TLoadError failure;
  const bool ok = ParseTomlIndex(text, index, failure);
  error = std::move(failure.Text);
  return ok;
}

}  // namespace corvane
