// Edit locating: spans and replacement bytes for value edits and key renames,
// each proven by parsing the replaced text again. See uEditLocate.h.
#include "uEditLocate.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "uEditProof.h"
#include "uI18n.h"
#include "uNodeRecords.h"
#include "uUnicode.h"

namespace corvane {

namespace {

constexpr size_t kNone = std::string::npos;

// ---- locating the node ----------------------------------------------------------

// The records of a loaded document walked beside its value tree: the i-th
// child record pairs with the i-th item or member, documents are stepped
// through, and a one-document file starts at its document, several at the
// stream (as the value tree was built).
class TRecordWalk {
 public:
  explicit TRecordWalk(const TLoadedDocument& doc) : doc_(doc), index_(doc.Index), bytes_(doc.Bytes) {}

  // The record of target and of the container holding it (kNone for the
  // top); false when target is not in the value tree.
  bool Find(const TJsonData* target, size_t& node, size_t& parent) const {
    return FindNodeRecord(doc_, target, &node, &parent);
  }

  TNodeView View(size_t i) const { return index_.View(i, bytes_); }

  // Where node (the record found) stands in the collection parent.
  TEditPlace PlaceOf(const TNodeView& node, size_t parent) const {
    if (parent == kNone) return EditPlaceOf(bytes_, node, nullptr);
    const TNodeView container = View(parent);
    return EditPlaceOf(bytes_, node, &container);
  }

  bool KeyTakenBySibling(size_t parent, size_t node, std::string_view key) const {
    if (parent == kNone) return false;
    for (size_t c = parent + 1; c < index_.Records[parent].SubtreeEnd; c = index_.Records[c].SubtreeEnd)
      if (c != node && !(index_.Records[c].Flags & TStructureIndex::kKeyNotScalar) && index_.Key(c, bytes_) == key)
        return true;
    return false;
  }

 private:
  const TLoadedDocument& doc_;
  const TStructureIndex& index_;
  std::string_view bytes_;
};

// ---- the proof ------------------------------------------------------------------

// What the one replacement may change: the target's Value (a value edit) or
// Key (a rename), which must then read exactly Text.
struct TExpectedChange {
  size_t Target = kNone;
  bool Rename = false;
  std::string_view Text;
};

bool SameExceptChange(const TNodeView& b, const TNodeView& a, bool isTarget, const TExpectedChange& change) {
  if (b.Kind != a.Kind || b.Anchor != a.Anchor || b.Tag != a.Tag || b.KeyNotScalar != a.KeyNotScalar) return false;
  if (!isTarget) return b.Key == a.Key && b.Value == a.Value && b.Style == a.Style && b.KeyStyle == a.KeyStyle;
  if (change.Rename) return a.Key == change.Text && b.Value == a.Value && b.Style == a.Style;
  return b.Key == a.Key && a.Value == change.Text;
}

// True when the loaded bytes with this one replacement parse to the loaded
// records except the expected change (uEditProof.h parses only what the
// replacement can change). readsBack tells whether the target's record as
// parsed again passed targetCheck; it is false when the target was not
// judged at all.
bool OnlyTheChange(const TLoadedDocument& doc, const TLocatedEdit& edit, const TExpectedChange& change,
                   const std::function<bool(const TNodeView&)>& targetCheck, bool& readsBack) {
  readsBack = false;
  const TSourcePatches patch{{edit.Start, edit.Length, edit.Replacement}};
  return PatchedRecordsHold(doc, patch, [&](size_t i, const TNodeView& before, const TNodeView& after) {
    const bool isTarget = i == change.Target;
    if (!SameExceptChange(before, after, isTarget, change)) return false;
    if (isTarget) readsBack = targetCheck(after);
    return true;
  });
}

TLocatedEdit Refused(const TI18nKey& reason) {
  TLocatedEdit refused;
  refused.Refusal = tr(reason);
  return refused;
}

}  // namespace

TLocatedEdit LocateValueEdit(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newText) {
  if (!valueNode) return Refused(i18n::kErrorUnsafeEdit);
  return LocateValueEdit(doc, valueNode, newText, *valueNode);
}

TLocatedEdit LocateValueEdit(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newText,
                             const TJsonData& newValue) {
  const TRecordWalk walk(doc);
  size_t found = kNone, parent = kNone;
  if (!walk.Find(valueNode, found, parent)) return Refused(i18n::kErrorUnsafeEdit);
  const TNodeView node = walk.View(found);
  TLocatedEdit edit =
      WriteValueEdit(doc.Bytes, doc.Language, node, walk.PlaceOf(node, parent), WritesAsString(newValue), newText);
  if (!edit.Accepted()) return edit;
  // The value must read back as exactly the typed text: "81 # note" would
  // leave 81 and a comment, a quote or a line break too many would end the
  // value early. Without spans a TOML value was found by its text, and a
  // failed proof means that line was not the value's.
  const std::string typed = Utf16ToUtf8(newText);
  const bool bySearch = doc.Language == TDocumentLanguage::Toml && node.StartOffset < 0;
  bool readsBack = false;
  if (!OnlyTheChange(
          doc, edit, {found, false, ExpectedRecordValue(doc.Language, edit, typed)},
          [&](const TNodeView& after) { return ReadsBackAsTyped(doc.Language, after, newValue, typed); }, readsBack))
    return Refused(bySearch ? i18n::kErrorTomlAmbiguous : i18n::kErrorUnsafeEdit);
  if (!readsBack) return Refused(i18n::kErrorUnsafeEdit);
  return edit;
}

TLocatedEdit LocateKeyRename(const TLoadedDocument& doc, const TJsonData* valueNode, std::u16string_view newKey) {
  const TRecordWalk walk(doc);
  size_t found = kNone, parent = kNone;
  if (newKey.empty() || !walk.Find(valueNode, found, parent)) return Refused(i18n::kErrorUnsafeKey);
  const TNodeView node = walk.View(found);
  if (node.Key.empty() || node.KeyNotScalar) return Refused(i18n::kErrorUnsafeKey);
  const std::string key = Utf16ToUtf8(newKey);
  if (walk.KeyTakenBySibling(parent, found, key)) return Refused(i18n::kErrorUnsafeKey);
  TLocatedEdit edit = WriteKeyRename(doc.Bytes, doc.Language, node, walk.PlaceOf(node, parent), newKey);
  if (!edit.Accepted()) return edit;
  // A key named in more places than the one replaced (a table header that
  // other headers extend, a dotted key's segment used on other lines) would
  // split its table: the structure would differ.
  bool judged = false;
  if (!OnlyTheChange(doc, edit, {found, true, key}, [](const TNodeView&) { return true; }, judged) || !judged)
    return Refused(i18n::kErrorUnsafeKey);
  return edit;
}

}  // namespace corvane
