// The source patch document: the bytes of the viewed file exactly as read,
// plus the sorted list of byte-span replacements that edits produced.
//
// Contract:
// - Nothing is ever re-encoded or re-serialised. The text that is saved is the
//   loaded bytes with the replacements spliced in, so every byte outside an
//   edited span (comments, indentation, quoting, CR LF, a byte-order mark)
//   stays as it was.
// - All patch offsets refer to LoadedBytes, never to the patched text; patches
//   are kept sorted by Start and pairwise non-overlapping (touching is fine).
//   The same span given again replaces the earlier replacement.
// - SaveToFile rereads the file, refuses when it differs from LoadedBytes or
//   is read-only (before anything is written), validates the patched text,
//   writes it to a "cvn" temporary in the same folder and replaces the file
//   with it, keeping what the file was (attributes, ACL, streams, creation
//   time; mode and owner on POSIX). A symbolic link is saved through to the
//   file it points to and stays a link. Any failure leaves the file, the
//   loaded bytes and the patches exactly as they were (a retry is possible)
//   and leaves no temporary file behind, with one exception: when the system
//   removed the file and could not put the new one in its place, the
//   temporary file holds the only copy of the text and is kept (its name is
//   in the error text).
// - Operations return false plus a translated error text; nothing throws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "uFiles.h"
#include "uSharedBytes.h"

namespace corvane {

struct TSourcePatch {
  int64_t Start = 0;        // first replaced byte of LoadedBytes (a BOM counts)
  int64_t Length = 0;       // bytes replaced; 0 is a pure insertion
  std::string Replacement;  // UTF-8 bytes put in their place
};

using TSourcePatches = std::vector<TSourcePatch>;

// Checks patched text before it is written: true, or false with the parser's
// message (ValidateYaml / ValidateToml have this shape).
using TValidateText = std::function<bool(const std::string& text, std::u16string& error)>;

class TSourcePatchDocument {
 public:
  // Reads the whole file; on failure the document is unchanged and error is
  // the "Cannot read source file" text.
  bool LoadFromFile(const std::u16string& fileName, std::u16string& error);
  // Takes bytes already read from fileName (the viewer reads the file once
  // for showing and editing); empties the patches. Handed a loaded
  // document's bytes it shares them instead of copying them.
  void LoadFromBytes(const std::u16string& fileName, TSharedBytes bytes);
  void LoadFromBytes(const std::u16string& fileName, std::string bytes) {
    LoadFromBytes(fileName, TSharedBytes(std::move(bytes)));
  }

  // Records one replacement; false when refused (no file, span outside the
  // bytes, or overlapping a different span).
  bool AddPatch(int64_t start, int64_t length, std::string replacement);
  // Whether AddPatch would take this span; nothing changes.
  bool CanAddPatch(int64_t start, int64_t length) const;
  // Records replacements given in offsets of the patched text (BuildText),
  // sorted and disjoint: each becomes one patch of the loaded bytes that
  // takes in the patches it overlaps or touches, so BuildText then gives
  // the patched text with these replacements. False (nothing changed) when
  // one lies outside the text or they overlap.
  bool AddTextPatches(const TSourcePatches& textPatches);
  void ClearPatches() { patches_.clear(); }

  // LoadedBytes with all patches applied.
  std::string BuildText() const;

  // The checked, atomic save. validate may be empty. On success *how (when
  // given) tells whether the file kept its attributes, ACL and streams or
  // had to be moved into place plainly.
  bool SaveToFile(const TValidateText& validate, std::u16string& error,
                  platform::TReplaceOutcome* how = nullptr);

  const std::u16string& FileName() const { return fileName_; }
  const TSharedBytes& LoadedBytes() const { return loadedBytes_; }
  const TSourcePatches& Patches() const { return patches_; }

 private:
  // Where a span goes in the patch list: its index, whether it replaces
  // the patch there, or false when it is refused.
  bool FindSlot(int64_t start, int64_t length, size_t& position, bool& replaces) const;
  void AddTextPatch(int64_t start, int64_t length, const std::string& replacement);
  bool WritePatched(const std::string& text, const std::u16string& target, std::u16string& error,
                    platform::TReplaceOutcome& how);

  std::u16string fileName_;
  TSharedBytes loadedBytes_;
  TSourcePatches patches_;
};

// bytes[begin, end) with the patches that lie inside it spliced in (patch
// offsets count from the start of bytes); the patches are sorted and
// disjoint, as a document keeps them.
std::string SplicePatches(std::string_view bytes, const TSourcePatches& patches, size_t begin = 0,
                          size_t end = std::string_view::npos);

// Whole-file routines of the unit (shared-access read, exact size; create,
// write and flush).
bool ReadFileBytes(const std::u16string& fileName, std::string& bytes);
bool WriteFileBytes(const std::u16string& fileName, const std::string& bytes);

// Folder part of a path including its last "\" or "/"; "" when it has none
// (the current folder).
std::u16string FolderOfPath(const std::u16string& fileName);

}  // namespace corvane
