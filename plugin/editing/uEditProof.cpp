// The re-parse of patched text, narrowed to the YAML documents the patches
// fall in, and the checks built on it. See uEditProof.h.
#include "uEditProof.h"

#include <utility>
#include <vector>

#include "uI18n.h"

namespace corvane {

namespace {

// A stretch of the loaded bytes parsed again on its own, and the record it
// stands for: the stream for the whole text, else one document.
struct TReparseSlice {
  size_t Record = 0;
  size_t Begin = 0;
  size_t End = 0;
};

bool AtLineStart(std::string_view bytes, size_t p) {
  return p == 0 || bytes[p - 1] == '\n' || bytes[p - 1] == '\r';
}

// "---" followed by a blank, a line break or the end of the text.
bool IsDocumentMarker(std::string_view bytes, size_t p) {
  if (bytes.substr(p, 3) != "---") return false;
  if (p + 3 == bytes.size()) return true;
  const char next = bytes[p + 3];
  return next == ' ' || next == '\t' || next == '\r' || next == '\n';
}

bool IsDocumentHead(std::string_view bytes, size_t p) {
  return AtLineStart(bytes, p) && (IsDocumentMarker(bytes, p) || (p < bytes.size() && bytes[p] == '%'));
}

// The documents of a YAML stream with their start offsets; empty when one of
// them has no known start.
std::vector<std::pair<size_t, size_t>> Documents(const TStructureIndex& index) {
  std::vector<std::pair<size_t, size_t>> documents;
  for (size_t d = 1; d < index.Records[0].SubtreeEnd; d = index.Records[d].SubtreeEnd) {
    if (index.Records[d].StartOffset < 0) return {};
    documents.emplace_back(d, size_t(index.Records[d].StartOffset));
  }
  return documents;
}

// Where the content of document d starts: past its directives and its
// "---" with the blank after it, which a patch must leave alone. No content:
// the end of the text, so that no patch counts as inside.
size_t ContentStart(const TStructureIndex& index, size_t d) {
  if (index.Records[d].SubtreeEnd <= d + 1 || index.Records[d + 1].StartOffset < 0) return std::string::npos;
  return size_t(index.Records[d + 1].StartOffset);
}

// What to parse again for these patches: the documents they fall in when
// each can be parsed on its own (uEditProof.h), otherwise the whole text.
std::vector<TReparseSlice> SlicesToReparse(const TLoadedDocument& doc, const TSourcePatches& patches) {
  const std::string_view bytes = doc.Bytes;
  const std::vector<TReparseSlice> whole{{0, 0, bytes.size()}};
  if (doc.Language != TDocumentLanguage::Yaml || doc.Index.Records.empty()) return whole;
  const auto documents = Documents(doc.Index);
  if (documents.size() < 2) return whole;
  std::vector<TReparseSlice> slices;
  size_t k = 0;
  for (const TSourcePatch& patch : patches) {
    const size_t start = size_t(patch.Start), end = start + size_t(patch.Length);
    while (k + 1 < documents.size() && documents[k + 1].second <= start) ++k;
    const bool first = k == 0, last = k + 1 == documents.size();
    const size_t begin = first ? 0 : documents[k].second;
    const size_t stop = last ? bytes.size() : documents[k + 1].second;
    if ((!first && start < ContentStart(doc.Index, documents[k].first)) || (!last && end >= stop))
      return whole;  // on the document's head or the next one's
    if (!slices.empty() && slices.back().Record == documents[k].first) continue;
    if ((!first && !IsDocumentHead(bytes, begin)) || (!last && !(AtLineStart(bytes, stop) && IsDocumentMarker(bytes, stop))))
      return whole;
    slices.push_back({documents[k].first, begin, stop});
  }
  return slices;
}

// Parses one slice of the patched text and holds its records against the
// loaded ones: the whole stream, or the one document a slice must give.
bool SliceHolds(const TLoadedDocument& doc, const TSourcePatches& patches, const TReparseSlice& slice,
                const TRecordCheck& check, TLoadError* parseError) {
  const std::string text = SplicePatches(doc.Bytes, patches, slice.Begin, slice.End);
  TStructureIndex after;
  TLoadError error;
  if (!ParseDocumentIndex(text, doc.Language, after, error)) {
    if (parseError) *parseError = std::move(error);
    return false;
  }
  const TStructureIndex& before = doc.Index;
  const size_t first = slice.Record, last = before.Records[first].SubtreeEnd;
  const size_t shift = first == 0 ? 0 : 1;  // a slice's document follows its own stream record
  if (after.Records.size() != last - first + shift) return false;
  for (size_t i = first; i < last; ++i) {
    const size_t j = i - first + shift;
    if (size_t(after.Records[j].SubtreeEnd) + first != size_t(before.Records[i].SubtreeEnd) + shift) return false;
    if (!check(i, before.View(i, doc.Bytes), after.View(j, text))) return false;
  }
  return true;
}

// True when a patch replaces bytes of the span [start, end] (an insertion
// counts at either end); a span that is not known (TOML) may always change.
bool MayChange(const TSourcePatches& patches, int32_t start, int32_t end) {
  if (start < 0 || end < start) return true;
  for (const TSourcePatch& p : patches) {
    const bool hits = p.Length == 0 ? (start <= p.Start && p.Start <= end) : (p.Start < end && p.Start + p.Length > start);
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
  for (const TReparseSlice& slice : SlicesToReparse(doc, patches))
    if (!SliceHolds(doc, patches, slice, check, parseError)) return false;
  return true;
}

bool CheckPatchedStructure(const TLoadedDocument& doc, const TSourcePatches& patches, std::u16string& error) {
  size_t changedTexts = 0;
  TLoadError parseError;
  const bool holds = PatchedRecordsHold(
      doc, patches,
      [&](size_t, const TNodeView& b, const TNodeView& a) {
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
