// TOML half of the parser library: toml++ parses the text, and the document
// is then mirrored into flat, pre-ordered tables and arrays whose keys and raw
// value texts live in one string arena of the handle.
//
// Contract:
//  - open/validate refuse a NUL byte within the given length (or null data
//    with a non-zero length) with "Invalid NUL byte in TOML source" before
//    any parsing, and refuse nesting deeper than kMaxTomlDepth with
//    "line N: ..." (toml++ recurses over nested tables).
//  - Parse errors read "line N: <toml++ description>", N from the error's
//    source position; error texts are cut to errbufsize - 1 bytes; a null
//    errbuf or a size below 1 suppresses the text but not the result.
//  - A raw value is the exact source slice of a leaf (delimiters, signs,
//    underscores and prefixes included), found from toml++'s source regions.
//  - A table's keys come as leaf keys, then array keys (arrays of tables
//    included), then table keys, each group in order of first appearance in
//    the source. Keys are looked up by exact bytes.
//  - Everything handed out stays valid until cvn_toml_close; no exception
//    leaves an export.
#include "corvane_parser.h"
#include "cvn_toml_scan.h"

// toml++ configuration: no exceptions (errors come back in the parse
// result), no formatters, no Windows wide-string overloads (they would pull
// in <windows.h>), and no assertions: toml++ asserts on some malformed input
// (a third '[' opening a header) where its release path reports a proper
// error, and clang would turn the assertions into optimiser assumptions.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#define TOML_ENABLE_WINDOWS_COMPAT 0
#include <toml++/impl/preprocessor.h>
#undef TOML_ASSERT
#define TOML_ASSERT(expr) static_assert(true)
#undef TOML_ASSERT_ASSUME
#define TOML_ASSERT_ASSUME(expr) static_assert(true)
#include <toml++/toml.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

using corvane::parser::TTomlPositionMap;

namespace {

enum TEntryKind : unsigned char { ekLeaf = 0, ekArray = 1, ekTable = 2 };

struct TEntry {
  size_t KeyOffset = 0;  // into the arena; NUL-terminated there
  size_t KeyLength = 0;
  TEntryKind Kind = ekLeaf;
  size_t RawOffset = 0;  // leaves only
  void* Child = nullptr;  // cvn_toml_table* or cvn_toml_array*
};

const char kNulMessage[] = "Invalid NUL byte in TOML source";

void WriteError(char* errbuf, int errbufsize, const std::string& text) {
  if (!errbuf || errbufsize <= 0) return;
  const size_t n = std::min(text.size(), static_cast<size_t>(errbufsize) - 1);
  std::memcpy(errbuf, text.data(), n);
  errbuf[n] = '\0';
}

std::string LineMessage(size_t line, std::string_view description) {
  return "line " + std::to_string(line) + ": " + std::string(description);
}

// Checks what must hold before toml++ sees the text; the error text is
// empty when the text may be parsed.
std::string Precheck(const char* data, size_t length) {
  if (!data) return length ? kNulMessage : "";
  if (std::memchr(data, '\0', length)) return kNulMessage;
  int line = 0;
  if (!corvane::parser::TomlNestingWithinLimit(data, length, line))
    return LineMessage(static_cast<size_t>(line),
                       "nesting deeper than " + std::to_string(corvane::parser::kMaxTomlDepth) + " levels");
  return "";
}

// toml++ quotes the offending input in its descriptions, line breaks and
// other control characters included; they are spelled as escapes so the
// message stays on one line.
std::string OneLine(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (byte < 0x20 || byte == 0x7F) out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    else out += c;
  }
  return out;
}

std::string ParseErrorText(const toml::parse_error& error) {
  return LineMessage(error.source().begin.line, OneLine(error.description()));
}

}  // namespace

struct cvn_toml_table {
  const cvn_toml_doc* Doc = nullptr;
  std::vector<TEntry> Entries;      // in enumeration order
  std::vector<unsigned> ByKey;      // entry indexes sorted by key bytes
  const TEntry* Find(const char* key) const;
};

struct cvn_toml_array {
  const cvn_toml_doc* Doc = nullptr;
  std::vector<TEntry> Elements;     // KeyOffset/KeyLength unused
};

struct cvn_toml_doc {
  std::string Arena;  // keys and raw values, each followed by a NUL
  std::deque<cvn_toml_table> Tables;  // Tables[0] is the root when present
  std::deque<cvn_toml_array> Arrays;
  bool Empty = true;

  const char* Text(size_t offset) const { return Arena.data() + offset; }
  std::string_view Key(const TEntry& e) const { return {Arena.data() + e.KeyOffset, e.KeyLength}; }
};

const TEntry* cvn_toml_table::Find(const char* key) const {
  const std::string_view wanted(key);
  auto it = std::lower_bound(ByKey.begin(), ByKey.end(), wanted,
                             [this](unsigned i, std::string_view k) { return Doc->Key(Entries[i]) < k; });
  if (it == ByKey.end() || Doc->Key(Entries[*it]) != wanted) return nullptr;
  return &Entries[*it];
}

namespace {

// Copies a parsed toml++ document into the handle's own structures. Works
// through an explicit queue, so the mirror is built without recursion.
class TMirrorBuilder {
 public:
  TMirrorBuilder(cvn_toml_doc& doc, const char* text, size_t length)
      : doc_(doc), text_(text), positions_(text, length) {}

  // Empty result on success, else the error text.
  std::string Build(const toml::table& root) {
    doc_.Tables.emplace_back();
    doc_.Tables.back().Doc = &doc_;
    pending_.push_back({&root, &doc_.Tables.back()});
    for (size_t i = 0; i < pending_.size(); ++i) {
      const TPending work = pending_[i];
      std::string error = work.Source->is_table()
                              ? FillTable(*work.Source->as_table(), *static_cast<cvn_toml_table*>(work.Target))
                              : FillArray(*work.Source->as_array(), *static_cast<cvn_toml_array*>(work.Target));
      if (!error.empty()) return error;
    }
    return "";
  }

 private:
  struct TPending {
    const toml::node* Source;
    void* Target;
  };

  cvn_toml_doc& doc_;
  const char* text_;
  TTomlPositionMap positions_;
  std::vector<TPending> pending_;

  static TEntryKind KindOf(const toml::node& node) {
    if (node.is_table()) return ekTable;
    if (node.is_array()) return ekArray;
    return ekLeaf;
  }

  size_t Store(std::string_view bytes) {
    const size_t offset = doc_.Arena.size();
    doc_.Arena.append(bytes.data(), bytes.size());
    doc_.Arena.push_back('\0');
    return offset;
  }

  std::string MakeEntry(const toml::node& node, TEntry& entry) {
    entry.Kind = KindOf(node);
    if (entry.Kind == ekLeaf) return StoreRaw(node, entry);
    if (entry.Kind == ekTable) {
      doc_.Tables.emplace_back();
      doc_.Tables.back().Doc = &doc_;
      entry.Child = &doc_.Tables.back();
    } else {
      doc_.Arrays.emplace_back();
      doc_.Arrays.back().Doc = &doc_;
      entry.Child = &doc_.Arrays.back();
    }
    pending_.push_back({&node, entry.Child});
    return "";
  }

  std::string StoreRaw(const toml::node& node, TEntry& entry) {
    const toml::source_region& region = node.source();
    size_t begin = 0, end = 0;
    if (!positions_.ByteOffset(region.begin.line, region.begin.column, begin) ||
        !positions_.ByteOffset(region.end.line, region.end.column, end) || end <= begin)
      return LineMessage(region.begin.line, "cannot locate the value's source text");
    entry.RawOffset = Store(std::string_view(text_ + begin, end - begin));
    return "";
  }

  std::string FillTable(const toml::table& source, cvn_toml_table& target) {
    struct TItem {
      const toml::key* Key;
      const toml::node* Node;
      TEntryKind Kind;
    };
    std::vector<TItem> items;
    items.reserve(source.size());
    for (auto&& [key, node] : source) items.push_back({&key, &node, KindOf(node)});
    std::stable_sort(items.begin(), items.end(), [](const TItem& a, const TItem& b) {
      if (a.Kind != b.Kind) return a.Kind < b.Kind;
      return a.Key->source().begin < b.Key->source().begin;
    });
    target.Entries.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      TEntry& entry = target.Entries[i];
      entry.KeyLength = items[i].Key->str().size();
      entry.KeyOffset = Store(items[i].Key->str());
      std::string error = MakeEntry(*items[i].Node, entry);
      if (!error.empty()) return error;
    }
    IndexKeys(target);
    return "";
  }

  void IndexKeys(cvn_toml_table& table) {
    table.ByKey.resize(table.Entries.size());
    for (size_t i = 0; i < table.ByKey.size(); ++i) table.ByKey[i] = static_cast<unsigned>(i);
    std::sort(table.ByKey.begin(), table.ByKey.end(), [&](unsigned a, unsigned b) {
      return doc_.Key(table.Entries[a]) < doc_.Key(table.Entries[b]);
    });
  }

  std::string FillArray(const toml::array& source, cvn_toml_array& target) {
    target.Elements.resize(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
      std::string error = MakeEntry(source[i], target.Elements[i]);
      if (!error.empty()) return error;
    }
    return "";
  }
};

// Parses `length` bytes at `text` (already prechecked) into `doc`, or gives
// the error text. The toml++ tree is dropped before returning.
std::string ParseInto(cvn_toml_doc& doc, const char* text, size_t length) {
  toml::parse_result result = toml::parse(std::string_view(text, length));
  if (!result) return ParseErrorText(result.error());
  doc.Empty = false;
  TMirrorBuilder builder(doc, text, length);
  return builder.Build(result.table());
}

const TEntry* TableEntry(cvn_toml_table* table, const char* key, TEntryKind kind) {
  if (!table || !key) return nullptr;
  const TEntry* entry = table->Find(key);
  return entry && entry->Kind == kind ? entry : nullptr;
}

const TEntry* ArrayElement(cvn_toml_array* array, int index, TEntryKind kind) {
  if (!array || index < 0 || static_cast<size_t>(index) >= array->Elements.size()) return nullptr;
  const TEntry& entry = array->Elements[static_cast<size_t>(index)];
  return entry.Kind == kind ? &entry : nullptr;
}

}  // namespace

extern "C" {

cvn_toml_doc* cvn_toml_open(const char* data, size_t length, char* errbuf, int errbufsize) {
  WriteError(errbuf, errbufsize, "");
  try {
    const std::string refusal = Precheck(data, length);
    if (!refusal.empty()) {
      WriteError(errbuf, errbufsize, refusal);
      return nullptr;
    }
    std::unique_ptr<cvn_toml_doc> doc(new cvn_toml_doc);
    if (length == 0) return doc.release();
    // The private copy lives only while the mirror is built: every string
    // handed out afterwards is in the arena.
    const std::string copy(data, length);
    const std::string error = ParseInto(*doc, copy.c_str(), copy.size());
    if (!error.empty()) {
      WriteError(errbuf, errbufsize, error);
      return nullptr;
    }
    return doc.release();
  } catch (...) {
    return nullptr;  // out of memory: no message, as documented
  }
}

int cvn_toml_validate(const char* data, size_t length, char* errbuf, int errbufsize) {
  WriteError(errbuf, errbufsize, "");
  try {
    const std::string refusal = Precheck(data, length);
    if (!refusal.empty()) {
      WriteError(errbuf, errbufsize, refusal);
      return 0;
    }
    if (length == 0) return 1;
    toml::parse_result result = toml::parse(std::string_view(data, length));
    if (result) return 1;
    WriteError(errbuf, errbufsize, ParseErrorText(result.error()));
    return 0;
  } catch (...) {
    WriteError(errbuf, errbufsize, "Out of memory");
    return 0;
  }
}

void cvn_toml_close(cvn_toml_doc* handle) { delete handle; }

cvn_toml_table* cvn_toml_root(cvn_toml_doc* handle) {
  if (!handle || handle->Empty || handle->Tables.empty()) return nullptr;
  return &handle->Tables.front();
}

const char* cvn_toml_table_key(cvn_toml_table* table, int index) {
  if (!table || index < 0 || static_cast<size_t>(index) >= table->Entries.size()) return nullptr;
  return table->Doc->Text(table->Entries[static_cast<size_t>(index)].KeyOffset);
}

const char* cvn_toml_table_raw(cvn_toml_table* table, const char* key) {
  const TEntry* entry = TableEntry(table, key, ekLeaf);
  return entry ? table->Doc->Text(entry->RawOffset) : nullptr;
}

cvn_toml_array* cvn_toml_table_array(cvn_toml_table* table, const char* key) {
  const TEntry* entry = TableEntry(table, key, ekArray);
  return entry ? static_cast<cvn_toml_array*>(entry->Child) : nullptr;
}

cvn_toml_table* cvn_toml_table_table(cvn_toml_table* table, const char* key) {
  const TEntry* entry = TableEntry(table, key, ekTable);
  return entry ? static_cast<cvn_toml_table*>(entry->Child) : nullptr;
}

int cvn_toml_array_count(cvn_toml_array* array) {
  return array ? static_cast<int>(std::min<size_t>(array->Elements.size(), 0x7FFFFFFF)) : 0;
}

const char* cvn_toml_array_raw(cvn_toml_array* array, int index) {
  const TEntry* entry = ArrayElement(array, index, ekLeaf);
  return entry ? array->Doc->Text(entry->RawOffset) : nullptr;
}

cvn_toml_array* cvn_toml_array_array(cvn_toml_array* array, int index) {
  const TEntry* entry = ArrayElement(array, index, ekArray);
  return entry ? static_cast<cvn_toml_array*>(entry->Child) : nullptr;
}

cvn_toml_table* cvn_toml_array_table(cvn_toml_array* array, int index) {
  const TEntry* entry = ArrayElement(array, index, ekTable);
  return entry ? static_cast<cvn_toml_table*>(entry->Child) : nullptr;
}

}  // extern "C"
