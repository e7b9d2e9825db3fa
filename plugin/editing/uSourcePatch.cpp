// Source patch document: patch list, patched text and the checked save.
// See uSourcePatch.h for the contract.
#include "uSourcePatch.h"

#include <algorithm>
#include <utility>

#include "uFiles.h"
#include "uI18n.h"

namespace corvane {

bool ReadFileBytes(const std::u16string& fileName, std::string& bytes) {
  std::u16string detail;
  return platform::ReadFileBytes(fileName, bytes, detail);
}

bool WriteFileBytes(const std::u16string& fileName, const std::string& bytes) {
  return platform::WriteFileBytes(fileName, bytes);
}

std::u16string FolderOfPath(const std::u16string& fileName) {
  size_t slash = fileName.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : fileName.substr(0, slash + 1);
}

bool TSourcePatchDocument::LoadFromFile(const std::u16string& fileName, std::u16string& error) {
  std::string bytes;
  if (fileName.empty() || !ReadFileBytes(fileName, bytes)) {
    error = tr(i18n::kErrorRead);
    return false;
  }
  LoadFromBytes(fileName, std::move(bytes));
  error.clear();
  return true;
}

void TSourcePatchDocument::LoadFromBytes(const std::u16string& fileName, TSharedBytes bytes) {
  fileName_ = fileName;
  loadedBytes_ = std::move(bytes);
  patches_.clear();
}

bool TSourcePatchDocument::FindSlot(int64_t start, int64_t length, size_t& position, bool& replaces) const {
  const int64_t size = int64_t(loadedBytes_.size());
  if (fileName_.empty() || start < 0 || length < 0 || start > size || size - start < length) return false;
  position = patches_.size();
  replaces = false;
  for (size_t i = 0; i < patches_.size(); ++i) {
    const TSourcePatch& patch = patches_[i];
    if (patch.Start == start) {
      // The same span again (a second edit of the same value) replaces the
      // earlier text; a different span from the same byte would overlap.
      position = i;
      replaces = true;
      return patch.Length == length;
    }
    if (patch.Start > start) {
      position = i;
      return patch.Start >= start + length;
    }
    if (start < patch.Start + patch.Length) return false;
  }
  return true;
}

bool TSourcePatchDocument::CanAddPatch(int64_t start, int64_t length) const {
  size_t position = 0;
  bool replaces = false;
  return FindSlot(start, length, position, replaces);
}

bool TSourcePatchDocument::AddPatch(int64_t start, int64_t length, std::string replacement) {
  size_t position = 0;
  bool replaces = false;
  if (!FindSlot(start, length, position, replaces)) return false;
  if (replaces)
    patches_[position].Replacement = std::move(replacement);
  else
    patches_.insert(patches_.begin() + std::ptrdiff_t(position), TSourcePatch{start, length, std::move(replacement)});
  return true;
}

// One replacement of the patched text, [start, start + length) of it, put
// into the patch list: its ends map to loaded offsets, an end that falls
// into (or onto either edge of) a patch's replacement takes that patch in,
// and the patches between go into the new one.
void TSourcePatchDocument::AddTextPatch(int64_t start, int64_t length, const std::string& replacement) {
  const int64_t end = start + length;
  int64_t delta = 0, from = start, to = end;
  std::string prefix, suffix;
  size_t first = patches_.size(), last = patches_.size();  // the patches taken in: [first, last)
  bool startPlaced = false;
  for (size_t i = 0; i < patches_.size(); ++i) {
    const TSourcePatch& p = patches_[i];
    const int64_t at = p.Start + delta, size = int64_t(p.Replacement.size());
    if (!startPlaced && start < at) from = start - delta, first = i, startPlaced = true;
    if (!startPlaced && start <= at + size) {
      from = p.Start, first = i, startPlaced = true;
      prefix = p.Replacement.substr(0, size_t(start - at));
    }
    if (end < at) {
      to = end - delta, last = i;
      break;
    }
    if (end <= at + size) {
      to = p.Start + p.Length, last = i + 1;
      suffix = p.Replacement.substr(size_t(end - at));
      break;
    }
    delta += size - p.Length;
    to = end - delta;
  }
  if (!startPlaced) from = start - delta, first = patches_.size();
  first = std::min(first, last);
  patches_.erase(patches_.begin() + std::ptrdiff_t(first), patches_.begin() + std::ptrdiff_t(last));
  std::string text = prefix + replacement + suffix;
  if (to > from || !text.empty())  // an insertion taken out again leaves nothing
    patches_.insert(patches_.begin() + std::ptrdiff_t(first), TSourcePatch{from, to - from, std::move(text)});
}

bool TSourcePatchDocument::AddTextPatches(const TSourcePatches& textPatches) {
  int64_t size = int64_t(loadedBytes_.size());
  for (const TSourcePatch& p : patches_) size += int64_t(p.Replacement.size()) - p.Length;
  int64_t previousEnd = 0;
  for (const TSourcePatch& p : textPatches) {
    if (fileName_.empty() || p.Start < previousEnd || p.Length < 0 || p.Start + p.Length > size) return false;
    previousEnd = p.Start + p.Length;
  }
  // From the last: each keeps the text offsets of those before it valid.
  for (auto p = textPatches.rbegin(); p != textPatches.rend(); ++p) AddTextPatch(p->Start, p->Length, p->Replacement);
  return true;
}

std::string SplicePatches(std::string_view bytes, const TSourcePatches& patches, size_t begin, size_t end) {
  // Patches are sorted and disjoint, so one forward pass splices them all.
  end = std::min(end, bytes.size());
  std::string text;
  size_t extra = 0;
  for (const TSourcePatch& patch : patches) extra += patch.Replacement.size();
  text.reserve(end - std::min(begin, end) + extra);
  size_t copied = begin;
  for (const TSourcePatch& patch : patches) {
    const size_t start = size_t(patch.Start);
    if (start < begin || start + size_t(patch.Length) > end) continue;
    text.append(bytes, copied, start - copied);
    text += patch.Replacement;
    copied = start + size_t(patch.Length);
  }
  if (copied < end) text.append(bytes, copied, end - copied);
  return text;
}

std::string TSourcePatchDocument::BuildText() const { return SplicePatches(loadedBytes_, patches_); }

bool TSourcePatchDocument::SaveToFile(const TValidateText& validate, std::u16string& error,
                                      platform::TReplaceOutcome* how) {
  error.clear();
  if (fileName_.empty()) return error = tr(i18n::kErrorNoSource), false;
  if (patches_.empty()) return true;
  std::string current;
  if (!ReadFileBytes(fileName_, current)) return error = tr(i18n::kErrorReread), false;
  if (current != loadedBytes_) return error = tr(i18n::kErrorChanged), false;
  // A link is saved through: the file it names is rewritten, the link stays.
  const std::u16string target = platform::SaveTargetOf(fileName_);
  if (platform::IsReadOnlyFile(target)) return error = tr(i18n::kErrorReadOnly), false;
  std::string text = BuildText();
  if (validate && !validate(text, error)) {
    // A validator that fails without a message still must not look like success.
    if (error.empty()) error = tr(i18n::kErrorUnsafeEdit);
    return false;
  }
  platform::TReplaceOutcome outcome = platform::TReplaceOutcome::Failed;
  if (!WritePatched(text, target, error, outcome)) return false;
  loadedBytes_ = std::move(text);
  patches_.clear();
  if (how) *how = outcome;
  return true;
}

// Writes text to a fresh "cvn" temporary beside the target and replaces the
// target with it. The temporary is deleted on every failure path (after the
// replace its name no longer exists) unless it holds the only copy of the
// text because the target is gone.
bool TSourcePatchDocument::WritePatched(const std::string& text, const std::u16string& target,
                                        std::u16string& error, platform::TReplaceOutcome& how) {
  std::u16string tempName;
  if (!platform::CreateTempFileIn(FolderOfPath(target), tempName)) return error = tr(i18n::kErrorTemp), false;
  if (!WriteFileBytes(tempName, text)) {
    platform::DeleteFilePath(tempName);
    return error = tr(i18n::kErrorWriteTemp), false;
  }
  how = platform::ReplaceFileKeeping(tempName, target);
  if (how != platform::TReplaceOutcome::Failed) return true;
  error = tr(i18n::kErrorReplace);
  if (!platform::FileExists(target) && platform::FileExists(tempName))
    error += u": " + tempName;
  else
    platform::DeleteFilePath(tempName);
  return false;
}

}  // namespace corvane
