// Structural edits: locating the entries, the proof by a whole re-parse,
// the value tree brought along, and located edits put into the patch
// document in loaded or patched-text offsets. See uEntryEdits.h.
#include "uEntryEdits.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "uEditForms.h"
#include "uEditLocate.h"
#include "uEditProof.h"
#include "uEntryForms.h"
#include "uI18n.h"
#include "uNodeRecords.h"
#include "uValueChecks.h"

namespace corvane {

namespace {

constexpr size_t kNone = std::string::npos;

TEntryChange RefusedChange(const TI18nKey& reason) {
  TEntryChange change;
  change.Refusal = tr(reason);
  return change;
}

// ---- the proof ----------------------------------------------------------------------

// An added or copied entry as the proof expects it under its container.
struct TExpectedEntry {
  size_t Parent = kNone;    // the container's record before
  size_t Position = kNone;  // a sequence element's index after; kNone: found by its key
  std::optional<std::string> Key;
  size_t CopyOf = kNone;    // the record copied; kNone: a new scalar
  const TNewEntry* New = nullptr;
};

std::vector<size_t> Children(const TStructureIndex& index, size_t i) {
  std::vector<size_t> children;
  for (size_t c = i + 1; c < index.Records[i].SubtreeEnd; c = index.Records[c].SubtreeEnd) children.push_back(c);
  return children;
}

// True when a record as parsed again stands for the record before: the same
// kind and texts (keyOverride: the key it must have instead), and in YAML
// the same scalar styles.
bool SameNode(const TNodeView& b, const TNodeView& a, bool yaml, const std::string* keyOverride) {
  if (b.Kind != a.Kind || b.Anchor != a.Anchor || b.Tag != a.Tag || b.KeyNotScalar != a.KeyNotScalar ||
      b.Value != a.Value)
    return false;
  if (keyOverride ? a.Key != *keyOverride : (b.Key != a.Key || (yaml && b.KeyStyle != a.KeyStyle))) return false;
  return !yaml || b.Kind != skScalar || b.Style == a.Style;
}

// A new entry as parsed again (record i of after): under its key, a scalar
// that loads as the value it was typed as, or an empty mapping or sequence
// where an empty object or array was asked for.
bool HoldsNewEntry(const TStructureIndex& after, size_t i, const std::string& text, const TExpectedEntry& e,
                   TDocumentLanguage language) {
  const TNodeView a = after.View(i, text);
  if (!a.Anchor.empty() || !a.Tag.empty() || (e.Key && a.Key != *e.Key)) return false;
  switch (NodeKind(e.New->Value)) {
    case nkObject:
      return a.Kind == skMapping && after.ChildCount(i) == 0;
    case nkArray:
      return a.Kind == skSequence && after.ChildCount(i) == 0;
    default:
      return a.Kind == skScalar && ReadsBackAsTyped(language, a, *e.New->Value, e.New->Typed);
  }
}

struct TPair {
  size_t Before;
  size_t After;
  const std::string* KeyOverride;
};

// Compares the children of one pair, leaving the added entry out (its
// index after in *added) and pushing the rest.
bool MatchChildren(const TLoadedDocument& doc, const TStructureIndex& after, const std::string& text, const TPair& p,
                   const std::vector<size_t>& removed, const TExpectedEntry* e, std::vector<TPair>& work,
                   size_t& added, size_t& addedIndex) {
  std::vector<size_t> bc = Children(doc.Index, p.Before), ac = Children(after, p.After);
  bc.erase(std::remove_if(bc.begin(), bc.end(),
                          [&](size_t c) { return std::binary_search(removed.begin(), removed.end(), c); }),
           bc.end());
  if (e && e->Parent == p.Before && p.KeyOverride == nullptr) {
    size_t k = e->Position;
    if (e->Key) {
      k = kNone;
      for (size_t i = 0; i < ac.size(); ++i)
        if (after.Key(ac[i], text) == *e->Key) k = i;
    }
    if (k >= ac.size()) return false;
    if (e->CopyOf == kNone) {
      if (!HoldsNewEntry(after, ac[k], text, *e, doc.Language)) return false;
    } else {
      work.push_back({e->CopyOf, ac[k], e->Key ? &*e->Key : nullptr});
    }
    added = ac[k];
    addedIndex = k;
    ac.erase(ac.begin() + std::ptrdiff_t(k));
  }
  if (bc.size() != ac.size()) return false;
  for (size_t i = 0; i < bc.size(); ++i) work.push_back({bc[i], ac[i], nullptr});
  return true;
}

// True when text parses to doc's records with the removed subtrees gone
// and the expected entry added; its records are left in after.
bool ChangeHolds(const TLoadedDocument& doc, const std::string& text, const std::vector<size_t>& removed,
                 const TExpectedEntry* e, TStructureIndex& after, size_t& added, size_t& addedIndex) {
  TLoadError error;
  if (!ParseDocumentIndex(text, doc.Language, after, error) || after.Records.empty()) return false;
  const bool yaml = doc.Language == TDocumentLanguage::Yaml;
  added = kNone;
  std::vector<TPair> work{{0, 0, nullptr}};
  while (!work.empty()) {
    const TPair p = work.back();
    work.pop_back();
    if (!SameNode(doc.Index.View(p.Before, doc.Bytes), after.View(p.After, text), yaml, p.KeyOverride)) return false;
    if (!MatchChildren(doc, after, text, p, removed, e, work, added, addedIndex)) return false;
  }
  return e == nullptr || added != kNone;
}

// ---- locating --------------------------------------------------------------------------

// The record of an entry and of its collection; false for the top of a
// document and for a document.
bool EntryRecords(const TLoadedDocument& doc, const TJsonData* node, size_t& record, size_t& parent) {
  if (!node || !node->Parent() || !FindNodeRecord(doc, node, &record, &parent)) return false;
  return parent != kNone && doc.Index.Records[parent].Kind != skStream;
}

// The TOML path of a node: member names and element indexes from the root.
TTomlPath TomlPathOf(const TJsonData* node) {
  TTomlPath path;
  for (; node && node->Parent(); node = node->Parent()) {
    const TJsonData* parent = node->Parent();
    const size_t i = size_t(static_cast<const TJsonContainer*>(parent)->IndexOf(node));
    if (parent->Kind() == nkObject) path.push_back({std::string(static_cast<const TJsonObject*>(parent)->Name(i)), -1});
    else path.push_back({{}, static_cast<long long>(i)});
  }
  std::reverse(path.begin(), path.end());
  return path;
}

bool Contains(const TJsonData* outer, const TJsonData* node) {
  for (; node; node = node->Parent())
    if (node == outer) return true;
  return false;
}

// An anchor defined in the subtree of record that an alias outside it uses.
bool AnchorUsedElsewhere(const TLoadedDocument& doc, size_t record) {
  const TStructureIndex& index = doc.Index;
  const size_t end = index.Records[record].SubtreeEnd;
  std::vector<std::string_view> anchors;
  for (size_t i = record; i < end; ++i)
    if (index.Records[i].Kind != skAlias && !index.Anchor(i, doc.Bytes).empty())
      anchors.push_back(index.Anchor(i, doc.Bytes));
  if (anchors.empty()) return false;
  for (size_t i = 0; i < index.Records.size(); ++i) {
    if (i == record) i = end;
    if (i >= index.Records.size()) break;
    if (index.Records[i].Kind == skAlias &&
        std::find(anchors.begin(), anchors.end(), index.Value(i, doc.Bytes)) != anchors.end())
      return true;
  }
  return false;
}

bool DefinesAnchor(const TLoadedDocument& doc, size_t record) {
  for (size_t i = record; i < doc.Index.Records[record].SubtreeEnd; ++i)
    if (doc.Index.Records[i].Kind != skAlias && !doc.Index.Anchor(i, doc.Bytes).empty()) return true;
  return false;
}

// The plan proven: the change with its text and records, or the refusal.
TEntryChange Proven(const TLoadedDocument& doc, TEntryPlan plan, const std::vector<size_t>& removed,
                    const TExpectedEntry* e, const TI18nKey& unsafe) {
  if (plan.Refused()) return RefusedChange(*plan.Refusal);
  if (plan.Patches.empty()) return RefusedChange(unsafe);
  TEntryChange change;
  change.NewText = SplicePatches(doc.Bytes, plan.Patches);
  size_t added = kNone, addedIndex = 0;
  if (change.NewText.empty() || !ChangeHolds(doc, change.NewText, removed, e, change.NewIndex, added, addedIndex))
    return RefusedChange(unsafe);
  change.Patches = std::move(plan.Patches);
  change.InsertRecord = added;
  change.InsertIndex = addedIndex;
  return change;
}

}  // namespace

TEntryChange LocateEntryRemoval(const TLoadedDocument& doc, const std::vector<TJsonData*>& entries) {
  // Records of the entries, grouped by collection.
  std::vector<std::pair<size_t, size_t>> found;  // collection, record
  for (TJsonData* entry : entries) {
    size_t record = kNone, parent = kNone;
    if (!EntryRecords(doc, entry, record, parent)) return RefusedChange(i18n::kErrorEntryDocument);
    for (TJsonData* other : entries)
      if (other != entry && Contains(other, entry)) return RefusedChange(i18n::kErrorEntryUnsafe);
    if (doc.Language == TDocumentLanguage::Yaml && AnchorUsedElsewhere(doc, record))
      return RefusedChange(i18n::kErrorEntryAnchor);
    found.emplace_back(parent, record);
  }
  if (found.empty()) return RefusedChange(i18n::kErrorEntryUnsafe);
  std::sort(found.begin(), found.end());
  std::vector<size_t> removed;
  for (const auto& f : found) removed.push_back(f.second);
  std::sort(removed.begin(), removed.end());
  TEntryPlan plan;
  if (doc.Language == TDocumentLanguage::Toml) {
    std::vector<TTomlPath> paths;
    for (TJsonData* entry : entries) paths.push_back(TomlPathOf(entry));
    plan = TomlRemovalPlan(doc.Bytes, paths);
  } else {
    for (size_t i = 0; i < found.size() && !plan.Refused();) {
      std::vector<size_t> mine;
      const size_t parent = found[i].first;
      for (; i < found.size() && found[i].first == parent; ++i) mine.push_back(found[i].second);
      TEntryPlan part = YamlRemovalPlan(doc.Bytes, doc.Index, parent, mine);
      if (part.Refused()) plan = part;
      else plan.Patches.insert(plan.Patches.end(), part.Patches.begin(), part.Patches.end());
    }
    std::sort(plan.Patches.begin(), plan.Patches.end(),
              [](const TSourcePatch& x, const TSourcePatch& y) { return x.Start < y.Start; });
    for (size_t k = 1; k < plan.Patches.size(); ++k)
      if (plan.Patches[k - 1].Start + plan.Patches[k - 1].Length > plan.Patches[k].Start)
        return RefusedChange(i18n::kErrorEntryUnsafe);
  }
  TEntryChange change = Proven(doc, std::move(plan), removed, nullptr, i18n::kErrorEntryUnsafe);
  if (change.Accepted()) change.Removed = entries;
  return change;
}

TEntryChange LocateEntryAddition(const TLoadedDocument& doc, TJsonData* container, const TJsonData* after,
                                 const TNewEntry& entry) {
  const int kind = NodeKind(container);
  if ((kind != nkObject && kind != nkArray) || !entry.Value || entry.Key.has_value() != (kind == nkObject))
    return RefusedChange(i18n::kErrorEntryContainer);
  if (IsContainer(entry.Value) && static_cast<const TJsonContainer*>(entry.Value)->Count() > 0)
    return RefusedChange(i18n::kErrorEntryAddUnsafe);
  if (after && after->Parent() != container) return RefusedChange(i18n::kErrorEntryAddUnsafe);
  if (entry.Key && static_cast<const TJsonObject*>(container)->IndexOfName(*entry.Key) >= 0)
    return RefusedChange(i18n::kErrorEntryExists);
  if (entry.Key && (entry.Key->empty() || CutMemberName(*entry.Key).size() != entry.Key->size()))
    return RefusedChange(i18n::kErrorEntryAddUnsafe);
  size_t record = kNone, parent = kNone, afterRecord = kNone, afterParent = kNone;
  if (!FindNodeRecord(doc, container, &record, &parent)) return RefusedChange(i18n::kErrorEntryAddUnsafe);
  const int recordKind = doc.Index.Records[record].Kind;
  if (recordKind != skMapping && recordKind != skSequence) return RefusedChange(i18n::kErrorEntryContainer);
  if (after && !FindNodeRecord(doc, after, &afterRecord, &afterParent)) return RefusedChange(i18n::kErrorEntryAddUnsafe);
  TEntryPlan plan;
  if (doc.Language == TDocumentLanguage::Toml) {
    const TTomlPath at = TomlPathOf(container), sibling = after ? TomlPathOf(after) : TTomlPath();
    plan = TomlAdditionPlan(doc.Bytes, at, kind == nkArray, after ? &sibling : nullptr, entry);
  } else {
    plan = YamlAdditionPlan(doc.Bytes, doc.Index, record, afterRecord, entry);
  }
  TExpectedEntry expected;
  expected.Parent = record;
  expected.Key = entry.Key;
  expected.New = &entry;
  const size_t count = static_cast<const TJsonContainer*>(container)->Count();
  expected.Position = after ? size_t(static_cast<const TJsonContainer*>(container)->IndexOf(after)) + 1 : count;
  TEntryChange change = Proven(doc, std::move(plan), {}, &expected, i18n::kErrorEntryAddUnsafe);
  if (change.Accepted()) {
    change.InsertParent = container;
    change.InsertKey = entry.Key.value_or(std::string());
  }
  return change;
}

TJsonDataPtr NewEntryValue(std::u16string_view typed, TDocumentLanguage language) {
  if (typed == u"{}") return std::make_unique<TJsonObject>();
  if (typed == u"[]") return std::make_unique<TJsonArray>();
  return ValueTypedOverNull(typed, language);
}

std::string UniqueCopyKey(const TJsonData* object, std::string_view key) {
  size_t digits = key.size();
  while (digits > 0 && key[digits - 1] >= '0' && key[digits - 1] <= '9') --digits;
  const std::string stem(key.substr(0, digits));
  unsigned long long n = 1;
  if (digits < key.size() && key.size() - digits < 18) n = std::stoull(std::string(key.substr(digits)));
  const auto* members = NodeKind(object) == nkObject ? static_cast<const TJsonObject*>(object) : nullptr;
  for (;;) {
    std::string candidate = stem + std::to_string(++n);
    if (digits == key.size() && n == 2) candidate = std::string(key) + "2";
    // Longer names are told apart by their first bytes only: every longer
    // candidate would stand for the same member.
    if (candidate.size() > kMaxMemberNameBytes) return {};
    if (!members || members->IndexOfName(candidate) < 0) return candidate;
  }
}

TEntryChange LocateEntryCopy(const TLoadedDocument& doc, TJsonData* entry) {
  size_t record = kNone, parent = kNone;
  if (!EntryRecords(doc, entry, record, parent)) return RefusedChange(i18n::kErrorEntryDocument);
  TJsonData* container = entry->Parent();
  const bool member = container->Kind() == nkObject;
  if (doc.Language == TDocumentLanguage::Yaml && DefinesAnchor(doc, record))
    return RefusedChange(i18n::kErrorEntryCopyAnchor);
  const auto* holder = static_cast<const TJsonContainer*>(container);
  const size_t at = size_t(holder->IndexOf(entry));
  std::string newKey;
  if (member) {
    newKey = UniqueCopyKey(container, static_cast<const TJsonObject*>(container)->Name(at));
    if (newKey.empty()) return RefusedChange(i18n::kErrorEntryCopyLongKey);
    if (doc.Index.Records[record].Flags & TStructureIndex::kKeyNotScalar) return RefusedChange(i18n::kErrorEntryCopyUnsafe);
  }
  TEntryPlan plan = doc.Language == TDocumentLanguage::Toml
                        ? TomlCopyPlan(doc.Bytes, TomlPathOf(entry), newKey)
                        : YamlCopyPlan(doc.Bytes, doc.Index, parent, record, newKey);
  TExpectedEntry expected;
  expected.Parent = parent;
  expected.Position = at + 1;
  expected.CopyOf = record;
  if (member) expected.Key = newKey;
  TEntryChange change = Proven(doc, std::move(plan), {}, &expected, i18n::kErrorEntryCopyUnsafe);
  if (change.Accepted()) {
    change.InsertParent = container;
    change.InsertKey = newKey;
  }
  return change;
}

std::vector<TJsonDataPtr> ApplyEntryChange(TLoadedDocument& doc, TEntryChange& change, TJsonData** added) {
  std::vector<TJsonDataPtr> gone;
  for (TJsonData* node : change.Removed) {
    auto* parent = static_cast<TJsonContainer*>(node->Parent());
    const size_t i = size_t(parent->IndexOf(node));
    gone.push_back(parent->Kind() == nkObject ? static_cast<TJsonObject*>(parent)->Remove(i)
                                              : static_cast<TJsonArray*>(parent)->Remove(i));
  }
  TJsonData* made = nullptr;
  if (change.InsertParent) {
    TJsonDataPtr value = IndexToValue(change.NewIndex, change.NewText, change.InsertRecord, doc.Language);
    if (change.InsertParent->Kind() == nkObject)
      made = static_cast<TJsonObject*>(change.InsertParent)->Insert(change.InsertIndex, change.InsertKey, std::move(value));
    else
      made = static_cast<TJsonArray*>(change.InsertParent)->Insert(change.InsertIndex, std::move(value));
  }
  doc.Bytes = std::move(change.NewText);
  doc.Index = std::move(change.NewIndex);
  if (added) *added = made;
  return gone;
}

// ---- located edits and the patch document -------------------------------------------------

bool DescribesPatchedText(const TLoadedDocument& doc, const TSourcePatchDocument& patches) {
  return doc.Bytes != patches.LoadedBytes();
}

bool DescribePatchedText(TLoadedDocument& doc, const TSourcePatchDocument& patches) {
  if (DescribesPatchedText(doc, patches) || patches.Patches().empty()) return true;
  std::string text = patches.BuildText();
  TStructureIndex index;
  TLoadError error;
  if (!ParseDocumentIndex(text, doc.Language, index, error)) return false;
  doc.Bytes = std::move(text);
  doc.Index = std::move(index);
  return true;
}

bool CommitEntryChange(TLoadedDocument& doc, TSourcePatchDocument& patches, TEntryChange& change,
                       std::vector<TJsonDataPtr>& removed, TJsonData** added) {
  if (!change.Accepted() || doc.Bytes != patches.BuildText() || !patches.AddTextPatches(change.Patches)) return false;
  const bool asLoaded = change.NewText == patches.LoadedBytes();
  if (asLoaded) patches.ClearPatches();  // back to the file as loaded
  removed = ApplyEntryChange(doc, change, added);
  if (asLoaded) doc.Bytes = patches.LoadedBytes();  // one buffer again
  return true;
}

bool CanRecordLocatedEdits(const TLoadedDocument& doc, const TSourcePatchDocument& patches,
                           const TSourcePatches& edits) {
  if (DescribesPatchedText(doc, patches)) return true;
  for (const TSourcePatch& edit : edits)
    if (!patches.CanAddPatch(edit.Start, edit.Length)) return false;
  return true;
}

bool RecordLocatedEdits(TLoadedDocument& doc, TSourcePatchDocument& patches, const TSourcePatches& edits) {
  if (!CanRecordLocatedEdits(doc, patches, edits)) return false;
  if (!DescribesPatchedText(doc, patches)) {
    for (const TSourcePatch& edit : edits) patches.AddPatch(edit.Start, edit.Length, edit.Replacement);
    return true;
  }
  // doc.Bytes is the patched text: the edits' offsets are its own.
  std::string text = SplicePatches(doc.Bytes, edits);
  TStructureIndex index;
  TLoadError error;
  if (!ParseDocumentIndex(text, doc.Language, index, error) || !patches.AddTextPatches(edits)) return false;
  if (text == patches.LoadedBytes()) {
    patches.ClearPatches();  // back to the file as loaded, one buffer again
    doc.Bytes = patches.LoadedBytes();
  } else {
    doc.Bytes = std::move(text);
  }
  doc.Index = std::move(index);
  return true;
}

TValidateText EditedTextValidation(const TLoadedDocument& doc, const TSourcePatchDocument& patches) {
  if (!DescribesPatchedText(doc, patches)) return LocatedEditsValidation(doc, patches.Patches());
  return [&doc](const std::string& text, std::u16string& error) {
    if (text != doc.Bytes) return error = tr(i18n::kErrorUnsafeEdit), false;
    return ValidateDocument(text, doc.Language, error);
  };
}

}  // namespace corvane
