// TOML structure records from the parser library's table/array navigator.
//
// Contract:
//  - Only the entry pointers held by TTomlNative are called; every text they
//    return is borrowed and copied at once.
//  - Keys in the library's order (leaf keys, array keys, table keys); the
//    children of every node in that order, exactly as a depth-first walk
//    would give them. The walk keeps its own stack of open tables/arrays and
//    writes the nodes into a structure index in pre-order.
//  - Every table, array and leaf node has StartOffset = EndOffset = -1; the
//    stream, the document and the empty mapping of an empty text have 0.
#include "uTomlTree.h"

#include <algorithm>
#include <new>

#include "uI18n.h"

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

void Open(const TTomlNative& n, std::vector<TTomlFrame>& stack, void* handle, bool isTable, size_t record) {
  const int count = isTable ? TableKeyCount(n, handle) : std::max(0, n.toml_array_count(handle));
  stack.push_back({handle, isTable, record, 0, count});
}

// Visits the next child of the innermost frame; false when it has no more.
// A child that is a table or array is pushed as a new frame.
bool VisitNext(const TTomlNative& n, TStructureIndex& index, std::vector<TTomlFrame>& stack) {
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
  stack.back().Next++;
  const int kind = sub ? skMapping : arr ? skSequence : skScalar;
  const size_t record = index.Add(Unplaced(kind), {}, raw ? std::string_view(raw) : std::string_view(),
                                  key ? std::string_view(key) : std::string_view(), {}, {});
  if (sub) Open(n, stack, sub, true, record);
  if (arr) Open(n, stack, arr, false, record);
  return true;
}

// Writes the subtree below handle after its own record (a mapping for a
// table, a sequence for an array).
void Walk(const TTomlNative& n, TStructureIndex& index, void* handle, bool isTable, size_t record) {
  std::vector<TTomlFrame> stack;
  Open(n, stack, handle, isTable, record);
  while (!stack.empty()) {
    if (VisitNext(n, index, stack)) continue;
    index.Records[stack.back().Record].SubtreeEnd = static_cast<uint32_t>(index.Records.size());
    stack.pop_back();
  }
}

void BuildTomlIndex(const TTomlNative& native, TStructureIndex& index) {
  TStructureRecord plain;
  plain.Kind = skStream;
  index.Add(plain, {}, {}, {}, {}, {});
  plain.Kind = skDocument;
  index.Add(plain, {}, {}, {}, {}, {});
  void* table = native.toml_root(native.DocumentHandle);
  if (table) {
    Walk(native, index, table, true, index.Add(Unplaced(skMapping), {}, {}, {}, {}, {}));
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
    BuildTomlIndex(native, index);
    return true;
  } catch (const std::bad_alloc&) {
    error.Text = tr(i18n::kErrorOutOfMemory);
  } catch (const std::exception& e) {
    error = ParserError(e.what());
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
