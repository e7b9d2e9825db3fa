// The re-parse of patched text, narrowed to the YAML entries or documents
// the patches fall in, and the checks built on it. See uEditProof.h.
#include "uEditProof.h"

#include <utility>
#include <vector>

#include "uI18n.h"
#include "uTextChars.h"

namespace corvane {

namespace {

// A stretch of the loaded bytes parsed again on its own, and the loaded
// record it stands for: the stream (the whole text), a document, or a
// top-level entry of a document. Parsed alone, the stretch gives Wrappers
// records before that one: none, a stream and a document, or those and the
// entry's collection.
struct TReparseSlice {
  size_t Record = 0;
  size_t Begin = 0;
  size_t End = 0;
  size_t Wrappers = 0;
  size_t Collection = 0;  // an entry's collection
};

bool IsFlowStart(char c) { return c == '{' || c == '['; }

bool AtLineStart(std::string_view bytes, size_t p) {
  return p == 0 || bytes[p - 1] == '\n' || bytes[p - 1] == '\r';
}

// "---" (or "...") followed by a blank, a line break or the end of the text.
bool IsMarker(std::string_view bytes, size_t p, std::string_view marker = "---") {
  if (bytes.substr(p, 3) != marker) return false;
  return p + 3 == bytes.size() || IsBlank(bytes[p + 3]) || bytes[p + 3] == '\r' || bytes[p + 3] == '\n';
}

bool IsDocumentHead(std::string_view bytes, size_t p) {
  return AtLineStart(bytes, p) && (IsMarker(bytes, p) || (p < bytes.size() && bytes[p] == '%'));
}

// True when a line of text starts with "---", "..." or a directive: tokens
// of the stream, which mean one thing at the start of a text parsed alone
// and another inside a document.
bool HasStreamTokenLine(std::string_view text) {
  for (size_t p = 0; p < text.size(); ++p)
    if (AtLineStart(text, p) && (IsMarker(text, p) || IsMarker(text, p, "...") || text[p] == '%')) return true;
  return false;
}

// The children of record i: their indexes.
std::vector<size_t> Children(const TStructureIndex& index, size_t i) {
  std::vector<size_t> children;
  for (size_t c = i + 1; c < index.Records[i].SubtreeEnd; c = index.Records[c].SubtreeEnd) children.push_back(c);
  return children;
}

// Where the content of document d starts: past its directives and its
// "---" with the blank after it, which a patch must leave alone. No content:
// the end of the text, so that no patch counts as inside.
size_t ContentStart(const TStructureIndex& index, size_t d) {
  if (index.Records[d].SubtreeEnd <= d + 1 || index.Records[d + 1].StartOffset < 0) return std::string::npos;
  return size_t(index.Records[d + 1].StartOffset);
}

// Start of the line of a top-level entry of a block collection written at
// the start of its lines: a key at the start of its line, or a "-" there
// with the item after it on the same line. npos when the entry is not.
size_t EntryLineStart(std::string_view bytes, const TNodeView& entry, bool inMapping) {
  if (inMapping) return entry.KeyStart >= 0 && AtLineStart(bytes, size_t(entry.KeyStart)) ? size_t(entry.KeyStart)
                                                                                           : std::string::npos;
  if (entry.StartOffset <= 0) return std::string::npos;
  size_t p = size_t(entry.StartOffset);
  while (p > 0 && IsBlank(bytes[p - 1])) --p;
  return p > 0 && bytes[p - 1] == '-' && AtLineStart(bytes, p - 1) ? p - 1 : std::string::npos;
}

// True when the entry starting its line at begin still starts there, with
// a key, after the patch: the patch comes later on, or is a key put in place
// of the entry's key that starts as a quoted or plain scalar does (no blank,
// line break, comment, indicator or stream token).
bool KeepsEntryStart(const TSourcePatch& patch, size_t begin) {
  if (size_t(patch.Start) != begin) return size_t(patch.Start) > begin;
  if (patch.Replacement.empty() || patch.Length == 0) return false;
  const char first = patch.Replacement[0];
  return first == '"' || first == '\'' ||
         std::string_view(" \t\r\n#-?:,[]{}&*!|>%@`.").find(first) == std::string_view::npos;
}

// Slices of the top-level entries of document d that the patches fall in,
// when its content is a block mapping or sequence whose entries start their
// lines: at the start of a line in block context the scanner has closed
// everything of the entry before (a plain scalar or block scalar cannot run
// on there, a quoted scalar or flow collection would have been an error),
// so an entry parses alone as it does in place, but for its collection's
// start and end. The last entry is left to its document. Empty when the
// patches cannot be placed so.
std::vector<TReparseSlice> EntrySlices(const TLoadedDocument& doc, size_t d, const TSourcePatches& patches) {
  const TStructureIndex& index = doc.Index;
  const std::string_view bytes = doc.Bytes;
  const size_t c = d + 1;
  const int32_t head = index.Records[d].StartOffset;
  if (index.Records[d].SubtreeEnd <= c || head < 0 || bytes[size_t(head)] == '%') return {};
  const TNodeView collection = index.View(c, bytes);
  const bool mapping = collection.Kind == skMapping;
  if ((!mapping && collection.Kind != skSequence) || !collection.Anchor.empty() || !collection.Tag.empty() ||
      collection.StartOffset < 0 || IsFlowStart(bytes[size_t(collection.StartOffset)]))
    return {};
  const std::vector<size_t> entries = Children(index, c);
  std::vector<TReparseSlice> slices;
  size_t k = 0;
  for (const TSourcePatch& patch : patches) {
    const size_t start = size_t(patch.Start), end = start + size_t(patch.Length);
    // The entry at k is the last whose line starts at or before the patch.
    while (k + 1 < entries.size() && index.Records[entries[k + 1]].StartOffset >= 0 &&
           EntryLineStart(bytes, index.View(entries[k + 1], bytes), mapping) <= start)
      ++k;
    if (k + 1 >= entries.size()) return {};
    const size_t begin = EntryLineStart(bytes, index.View(entries[k], bytes), mapping);
    const size_t stop = EntryLineStart(bytes, index.View(entries[k + 1], bytes), mapping);
    const int32_t entryEnd = index.Records[entries[k]].EndOffset;
    if (begin == std::string::npos || stop == std::string::npos || !KeepsEntryStart(patch, begin) || end >= stop ||
        entryEnd < 0 || size_t(entryEnd) > stop)
      return {};
    if (slices.empty() || slices.back().Record != entries[k]) slices.push_back({entries[k], begin, stop, 3, c});
  }
  return slices;
}

// What to parse again for these patches (uEditProof.h): per document the
// top-level entries they fall in, or the document, or else the whole text.
std::vector<TReparseSlice> SlicesToReparse(const TLoadedDocument& doc, const TSourcePatches& patches) {
  const std::string_view bytes = doc.Bytes;
  const std::vector<TReparseSlice> whole{{0, 0, bytes.size(), 0}};
  if (doc.Language != TDocumentLanguage::Yaml || doc.Index.Records.empty()) return whole;
  std::vector<size_t> documents = Children(doc.Index, 0);
  std::vector<TReparseSlice> slices;
  for (size_t k = 0, first = 0; first < patches.size(); ++k) {
    if (k == documents.size() || doc.Index.Records[documents[k]].StartOffset < 0) return whole;
    // The patches of document k: those before the next document's start.
    const bool last = k + 1 == documents.size();
    const size_t begin = k == 0 ? 0 : size_t(doc.Index.Records[documents[k]].StartOffset);
    const size_t stop = last ? bytes.size() : size_t(doc.Index.Records[documents[k + 1]].StartOffset);
    size_t after = first;
    while (after < patches.size() && size_t(patches[after].Start) < stop) ++after;
    if (after == first) continue;
    const TSourcePatches mine(patches.begin() + std::ptrdiff_t(first), patches.begin() + std::ptrdiff_t(after));
    first = after;
    std::vector<TReparseSlice> entries = EntrySlices(doc, documents[k], mine);
    if (!entries.empty()) {
      slices.insert(slices.end(), entries.begin(), entries.end());
      continue;
    }
    if (documents.size() < 2) return whole;
    const size_t lastEnd = size_t(mine.back().Start + mine.back().Length);
    const bool headKept = k == 0 || (size_t(mine.front().Start) >= ContentStart(doc.Index, documents[k]) &&
                                     IsDocumentHead(bytes, begin));
    const bool nextKept = last || (lastEnd < stop && AtLineStart(bytes, stop) && IsMarker(bytes, stop));
    if (!headKept || !nextKept) return whole;
    slices.push_back({documents[k], begin, stop, 1});
  }
  return slices;
}

// Parses one slice of the patched text and holds its records against the
// loaded ones: all of them for the whole text; for a slice, its wrappers
// must be the stream, a document and (for an entry) a collection of the
// entry's kind, holding nothing but the record it stands for.
bool SliceHolds(const TLoadedDocument& doc, const TSourcePatches& patches, const TReparseSlice& slice,
                const TRecordCheck& check, TLoadError* parseError) {
  const std::string text = SplicePatches(doc.Bytes, patches, slice.Begin, slice.End);
  if (slice.Wrappers == 3 && HasStreamTokenLine(text)) return false;
  TStructureIndex after;
  TLoadError error;
  if (!ParseDocumentIndex(text, doc.Language, after, error)) {
    if (parseError) *parseError = std::move(error);
    return false;
  }
  const TStructureIndex& before = doc.Index;
  const size_t first = slice.Record, last = before.Records[first].SubtreeEnd, shift = slice.Wrappers;
  if (after.Records.size() != last - first + shift) return false;
  if (shift == 3 && after.Records[2].Kind != before.Records[slice.Collection].Kind) return false;
  for (size_t i = first; i < last; ++i) {
    const size_t j = i - first + shift;
    if (size_t(after.Records[j].SubtreeEnd) + first != size_t(before.Records[i].SubtreeEnd) + shift) return false;
    if (!check(i, before.View(i, doc.Bytes), after.View(j, text))) return false;
  }
  return true;
}

// True when a patch replaces bytes of the span [start, end] (an insertion
// counts at either end); a span that is not known (a TOML record the parser
// library gave no span for) may always change.
bool MayChange(const TSourcePatches& patches, int32_t start, int32_t end) {
  if (start < 0 || end < start) return true;
  for (const TSourcePatch& p : patches) {
    const bool hits = p.Length == 0 ? (start <= p.Start && p.Start <= end)
                                    : (p.Start < end && p.Start + p.Length > start);
    if (hits) return true;
  }
  return false;
}

// True when text is bytes with exactly these patches spliced in.
bool IsPatchedText(std::string_view text, std::string_view bytes, const TSourcePatches& patches) {
  size_t t = 0, b = 0;
  for (const TSourcePatch& p : patches) {
    const size_t kept = size_t(p.Start) - b;
    if (text.substr(t, kept) != bytes.substr(b, kept)) return false;
    t += kept;
    if (text.substr(t, p.Replacement.size()) != p.Replacement) return false;
    t += p.Replacement.size();
    b = size_t(p.Start + p.Length);
  }
  return text.substr(t) == bytes.substr(b);
}

}  // namespace

bool PatchedRecordsHold(const TLoadedDocument& doc, const TSourcePatches& patches, const TRecordCheck& check,
                        TLoadError* parseError) {
  const std::vector<TReparseSlice> slices = SlicesToReparse(doc, patches);
  bool holds = true;
  for (const TReparseSlice& slice : slices)
    if (!(holds = SliceHolds(doc, patches, slice, check, parseError))) break;
  if (holds || (slices.size() == 1 && slices[0].Record == 0)) return holds;
  // A stretch parsed alone that does not hold proves nothing against the
  // text: the whole text decides.
  if (parseError) *parseError = TLoadError();
  return SliceHolds(doc, patches, {0, 0, doc.Bytes.size(), 0, 0}, check, parseError);
}

bool CheckPatchedStructure(const TLoadedDocument& doc, const TSourcePatches& patches, std::u16string& error) {
  size_t changedTexts = 0;
  TLoadError parseError;
  const bool holds = PatchedRecordsHold(
      doc, patches,
      [&](size_t record, const TNodeView& b, const TNodeView& a) {
        if (record == 0) changedTexts = 0;  // a comparison of the whole text starts over
        if (b.Kind != a.Kind || b.Anchor != a.Anchor || b.Tag != a.Tag || b.KeyNotScalar != a.KeyNotScalar)
          return false;
        const bool valueKept = b.Value == a.Value && b.Style == a.Style;
        const bool keyKept = b.Key == a.Key && b.KeyStyle == a.KeyStyle;
        if (!valueKept && (b.Kind != skScalar || !MayChange(patches, b.StartOffset, b.EndOffset))) return false;
        if (!keyKept && !MayChange(patches, b.KeyStart, b.KeyEnd)) return false;
        changedTexts += size_t(!valueKept) + size_t(!keyKept);
        return changedTexts <= patches.size();
      },
      &parseError);
  if (holds) return error.clear(), true;
  error = parseError.Text.empty() ? tr(i18n::kErrorUnsafeEdit) : parseError.Text;
  return false;
}

TValidateText LocatedEditsValidation(const TLoadedDocument& doc, TSourcePatches patches) {
  return [&doc, patches = std::move(patches)](const std::string& text, std::u16string& error) {
    if (!IsPatchedText(text, doc.Bytes, patches)) return error = tr(i18n::kErrorUnsafeEdit), false;
    // One patch: its proof parsed exactly this text and held every record.
    if (patches.size() <= 1) return error.clear(), true;
    return CheckPatchedStructure(doc, patches, error);
  };
}

}  // namespace corvane
