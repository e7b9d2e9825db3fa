// Structural edits over the corpus of realistic YAML and TOML files: every
// entry removed on its own and every container given a new entry (at its
// end, and after its first entry). An accepted change must load as the
// original document with exactly that entry removed or added, and change no
// line outside the entry's own lines (or, for an item added inside a flow
// collection, outside the collection's line). The shares of entries that
// can be removed and of containers that take a new entry are printed per
// file and in total, with the lines changed outside the entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "editing_support.h"
#include "test_support.h"
#include "uEditLocate.h"
#include "uEntryEdits.h"
#include "uNodeRecords.h"
#include "uUnicode.h"
#include "uValueChecks.h"

namespace corvane {
namespace {

using test::Enumerate;
using test::JsonOf;
using test::NodeAt;
using test::Parse;
using test::PathText;
using test::TItem;
using test::TParsed;
using test::TPath;

struct TCounts {
  size_t Entries = 0, Removed = 0, Containers = 0, Added = 0, LinesOutside = 0;
  void operator+=(const TCounts& o) {
    Entries += o.Entries, Removed += o.Removed, Containers += o.Containers, Added += o.Added;
    LinesOutside += o.LinesOutside;
  }
};

size_t LineOf(const std::string& text, size_t offset) {
  return size_t(std::count(text.begin(), text.begin() + std::ptrdiff_t(std::min(offset, text.size())), '\n'));
}

bool AtLineStart(const std::string& text, size_t p) { return p == 0 || text[p - 1] == '\n' || text[p - 1] == '\r'; }

// The original lines a change touches: those a removal or replacement
// overlaps, and the line an insertion goes into when it does not start one.
std::vector<size_t> TouchedLines(const std::string& text, const TSourcePatches& patches) {
  std::vector<size_t> lines;
  for (const TSourcePatch& p : patches) {
    const size_t from = size_t(p.Start), to = size_t(p.Start + p.Length);
    if (p.Length == 0) {
      if (!AtLineStart(text, from)) lines.push_back(LineOf(text, from));
      continue;
    }
    for (size_t line = LineOf(text, from); line <= LineOf(text, to - 1); ++line) lines.push_back(line);
  }
  return lines;
}

// The lines an entry's own text spans, from the records: its key (or a
// sequence item's "-"), through the last key or scalar of its subtree; a
// TOML array-of-tables element from its [[header]] line.
std::pair<size_t, size_t> EntryLines(const TLoadedDocument& doc, const TJsonData* node) {
  size_t record = 0, parent = 0;
  EXPECT_TRUE(FindNodeRecord(doc, node, &record, &parent));
  const std::string& b = doc.Bytes;
  size_t first = b.size(), last = 0;
  for (size_t r = record; r < doc.Index.Records[record].SubtreeEnd; ++r) {
    const TNodeView v = doc.Index.View(r, b);
    if (v.KeyStart >= 0) first = std::min(first, size_t(v.KeyStart)), last = std::max(last, size_t(v.KeyEnd));
    if (v.StartOffset < 0 || v.EndOffset <= v.StartOffset) continue;
    if (v.Kind == skScalar || v.Kind == skAlias) {
      // A block scalar's own blank lines count as its lines.
      size_t end = size_t(v.EndOffset);
      while (v.Style < 4 && end > size_t(v.StartOffset) + 1 && std::isspace(static_cast<unsigned char>(b[end - 1])))
        --end;
      first = std::min(first, size_t(v.StartOffset)), last = std::max(last, end);
    } else if (b.find_first_of("[{", size_t(v.StartOffset)) == size_t(v.StartOffset)) {
      first = std::min(first, size_t(v.StartOffset)), last = std::max(last, size_t(v.EndOffset));
    }
  }
  if (first == b.size()) return {0, b.size()};  // nothing placed: every line counts as its own
  size_t top = LineOf(b, first);
  // A sequence item's "-" (YAML) or an element's [[header]] (TOML) above.
  size_t p = first;
  while (p > 0 && std::isspace(static_cast<unsigned char>(b[p - 1]))) --p;
  if (p > 0 && b[p - 1] == '-') top = LineOf(b, p - 1);
  if (doc.Language == TDocumentLanguage::Toml && top > 0) {
    const size_t lineStart = b.rfind('\n', first - 1 < b.size() ? first : 0);
    const size_t prev = lineStart == std::string::npos || lineStart == 0 ? std::string::npos : b.rfind('\n', lineStart - 1);
    const size_t prevStart = prev == std::string::npos ? 0 : prev + 1;
    if (b.compare(prevStart, 2, "[[") == 0) top = LineOf(b, prevStart);
  }
  size_t bottom = LineOf(b, last == 0 ? 0 : last - 1);
  // TOML arrays and inline tables have no span: lines that only close one
  // belong to the value above.
  for (size_t p = b.find('\n', last); doc.Language == TDocumentLanguage::Toml && p != std::string::npos;
       p = b.find('\n', p + 1)) {
    const size_t q = b.find_first_not_of(" \t", p + 1);
    if (q == std::string::npos || (b[q] != ']' && b[q] != '}')) break;
    bottom = LineOf(b, q);
  }
  return {top, bottom};
}

// The tree of a text, or "<none>" when it does not load.
std::string TreeOf(const std::string& text, TDocumentLanguage language) {
  const TParsed parsed = Parse(text, language);
  return parsed.Ok ? JsonOf(parsed.Doc.Value.get()) : "<none>";
}

// Removes the entry at path from a fresh copy of the file: accepted ones
// must give the original tree less the entry, within the entry's lines.
void TryRemoval(const std::string& bytes, TDocumentLanguage language, const TPath& path, TCounts& counts,
                const std::string& where) {
  TParsed parsed = Parse(bytes, language);
  TJsonData* node = NodeAt(parsed.Doc.Value.get(), path);
  ++counts.Entries;
  const TEntryChange change = LocateEntryRemoval(parsed.Doc, {node});
  if (!change.Accepted()) return;
  ++counts.Removed;
  const auto [top, bottom] = EntryLines(parsed.Doc, node);
  for (size_t line : TouchedLines(bytes, change.Patches)) {
    const bool inside = line >= top && line <= bottom;
    counts.LinesOutside += !inside;
    EXPECT_TRUE(inside) << where << ": line " << line + 1 << " outside " << top + 1 << "-" << bottom + 1;
  }
  auto* parent = static_cast<TJsonContainer*>(node->Parent());
  const size_t at = size_t(parent->IndexOf(node));
  if (parent->Kind() == nkObject) static_cast<TJsonObject*>(parent)->Remove(at);
  else static_cast<TJsonArray*>(parent)->Remove(at);
  EXPECT_EQ(TreeOf(change.NewText, language), JsonOf(parsed.Doc.Value.get())) << where;
}

// Adds a string entry to the container at path (after its first entry, or
// at its end): accepted ones must load as the original tree with it, and
// keep every line but, inside a flow collection, the collection's own.
void TryAddition(const std::string& bytes, TDocumentLanguage language, const TPath& path, bool afterFirst,
                 TCounts& counts, const std::string& where) {
  TParsed parsed = Parse(bytes, language);
  auto* container = static_cast<TJsonContainer*>(NodeAt(parsed.Doc.Value.get(), path));
  const TJsonString value("added value");
  TNewEntry entry;
  entry.Typed = "added value";
  entry.Value = &value;
  if (container->Kind() == nkObject) entry.Key = UniqueCopyKey(container, "corvane_added");
  const TJsonData* after = afterFirst ? container->Child(0) : nullptr;
  counts.Containers += !afterFirst;
  const TEntryChange change = LocateEntryAddition(parsed.Doc, container, after, entry);
  if (!change.Accepted()) return;
  counts.Added += !afterFirst;
  const std::vector<size_t> touched = TouchedLines(bytes, change.Patches);
  counts.LinesOutside += touched.size() > 1 ? touched.size() - 1 : 0;
  EXPECT_LE(touched.size(), 1u) << where;
  TParsed fresh = Parse(change.NewText, language);
  ASSERT_TRUE(fresh.Ok) << where;
  auto* now = static_cast<TJsonContainer*>(NodeAt(fresh.Doc.Value.get(), path));
  ASSERT_TRUE(now && now->Count() == container->Count() + 1) << where;
  const long long k = entry.Key ? static_cast<TJsonObject*>(now)->IndexOfName(*entry.Key)
                                 : static_cast<long long>(after ? 1 : container->Count());
  ASSERT_GE(k, 0) << where;
  EXPECT_EQ(JsonOf(now->Child(size_t(k))), "\"added value\"") << where;
  if (now->Kind() == nkObject) static_cast<TJsonObject*>(now)->Remove(size_t(k));
  else static_cast<TJsonArray*>(now)->Remove(size_t(k));
  EXPECT_EQ(JsonOf(fresh.Doc.Value.get()), JsonOf(parsed.Doc.Value.get())) << where;
}

TCounts MeasureFile(const std::string& file) {
  const std::string bytes = test::ReadFileBytes(file);
  const TDocumentLanguage language = LanguageOfFileName(Utf8ToUtf16(file));
  const TParsed parsed = Parse(bytes, language);
  EXPECT_TRUE(parsed.Ok) << file;
  TCounts counts;
  if (!parsed.Ok) return counts;
  const bool documents = parsed.Doc.Index.ChildCount(0) > 1;
  std::vector<TPath> containers;
  if (IsContainer(parsed.Doc.Value.get()) && !documents) containers.push_back({});
  for (const TItem& item : Enumerate(parsed.Doc.Value.get())) {
    const std::string where = file + " " + PathText(item.Path);
    if (IsContainer(item.Node)) containers.push_back(item.Path);
    if (documents && item.Path.size() == 1) continue;  // a whole document is no entry
    TryRemoval(bytes, language, item.Path, counts, where + " removed");
  }
  for (const TPath& path : containers) {
    const std::string where = file + " " + PathText(path);
    TryAddition(bytes, language, path, false, counts, where + " added");
    if (AsContainer(NodeAt(parsed.Doc.Value.get(), path))->Count() > 1)
      TryAddition(bytes, language, path, true, counts, where + " added after the first");
  }
  return counts;
}

double Share(size_t part, size_t whole) { return whole ? 100.0 * double(part) / double(whole) : 100.0; }

TEST(entry_corpus, removes_and_adds_entries_within_their_own_lines) {
  TCounts total;
  std::printf("%-28s %9s %9s %7s\n", "file", "removable", "addable", "outside");
  for (const std::string& file : test::ListFiles(test::SourceDir() + "/tests/editing/corpus", "")) {
    const TCounts c = MeasureFile(file);
    const std::string name = file.substr(file.find_last_of('/') + 1);
    std::printf("%-28s %4zu/%-4zu %4zu/%-4zu %7zu\n", name.c_str(), c.Removed, c.Entries, c.Added, c.Containers,
                c.LinesOutside);
    total += c;
  }
  std::printf("entries removable: %.1f %% (%zu of %zu); containers that take an entry: %.1f %% (%zu of %zu); "
              "lines changed outside the entries: %zu\n",
              Share(total.Removed, total.Entries), total.Removed, total.Entries, Share(total.Added, total.Containers),
              total.Added, total.Containers, total.LinesOutside);
  EXPECT_EQ(total.LinesOutside, 0u);
  EXPECT_GE(Share(total.Removed, total.Entries), 95.0);
  EXPECT_GE(Share(total.Added, total.Containers), 95.0);
}

}  // namespace
}  // namespace corvane
